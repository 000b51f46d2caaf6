// Shape names and numbers looked up through the styles' shape files, and the
// cache of recent answers.
#include "font_fixture.h"
#include "table_fixture.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

namespace {

// Shape names of the STYLE records' shape files; the tests' drawing has no
// file finder, so a style's font file is opened by its own name.
class ShapeNames : public TableTest {
protected:
    void addStyle(std::uint64_t handle, const std::string& file, std::uint8_t flags) {
        AdStyleRecord r{};
        std::snprintf(r.name, sizeof r.name, "S%llu", static_cast<unsigned long long>(handle));
        std::snprintf(r.fontFile, sizeof r.fontFile, "%s", file.c_str());
        r.flags = flags;
        r.widthFactor = 1;
        r.xrefIndex = -1;
        r.handle = H(handle);
        store(d->styles, r);
    }
};

TEST_F(ShapeNames, NumbersAndNamesOfShapeFiles) {
    SKIP_WITHOUT_SHARED_FONTS();
    TempDir dir;
    // A longer signature moves the header: the count is not at a fixed place.
    std::string shapes(std::string("AutoCAD-86 shapes 1.0 (long)\r\n\x1a", 31));
    shapes += std::string("\x05\0\x05\0\x01\0\x05\0\x06\0", 10) + std::string("WIDE\0\0", 6);
    addStyle(0x10, "not a shape file.shx", 0);
    addStyle(0x11, "face.ttf", 1);
    addStyle(0x12, std::filesystem::path(sharedFont("test_shape.shx")).replace_extension().string(), 1);
    addStyle(0x13, sharedFont("line_shape.shx"), 1);
    addStyle(0x14, dir.write("wide.shx", shapes), 1);

    char name[AD_SHAPE_NAME_SIZE];
    const AdHandle s12 = H(0x12), s13 = H(0x13), s14 = H(0x14), s10 = H(0x10), s11 = H(0x11), none = H(0x99);
    ASSERT_EQ(adShapeNameFromFile(d, &s12, 1, name), 1) << "\".shx\" is added to a name without extension";
    EXPECT_STREQ(name, "MY-SHAPE");
    ASSERT_EQ(adShapeNameFromFile(d, &s13, 1, name), 1);
    EXPECT_STREQ(name, "SINGLE-LINE");
    ASSERT_EQ(adShapeNameFromFile(d, &s14, 5, name), 1);
    EXPECT_STREQ(name, "WIDE");
    EXPECT_EQ(adShapeNameFromFile(d, &s13, 2, name), 0) << "no such shape";
    EXPECT_EQ(adShapeNameFromFile(d, &s10, 1, name), 0) << "not a shape file";
    EXPECT_EQ(adShapeNameFromFile(d, &s11, 1, name), 0) << "a TrueType file";
    EXPECT_EQ(adShapeNameFromFile(d, &none, 1, name), 0) << "no such style";

    AdHandle style{};
    std::int16_t number = 0;
    ASSERT_EQ(adShapeNumberFromName(d, "SINGLE-LINE", &style, &number), 1);
    EXPECT_EQ(adHandleCompare(&style, &s13), 0);
    EXPECT_EQ(number, 1);
    EXPECT_EQ(adShapeNumberFromName(d, "NO-SUCH-SHAPE", &style, &number), 0);

    // Answers come from the cache once given, even when the file is gone.
    std::filesystem::remove(dir.path() / "wide.shx");
    ASSERT_EQ(adShapeNumberFromName(d, "WIDE", &style, &number), 1);
    EXPECT_EQ(adHandleCompare(&style, &s14), 0);
    EXPECT_EQ(number, 5);
}

TEST_F(ShapeNames, TheCacheHoldsTenAnswers) {
    SKIP_WITHOUT_SHARED_FONTS();
    TempDir dir;
    std::string shapes(std::string("AutoCAD-86 shapes 1.0\r\n\x1a", 24));
    shapes += std::string("\x01\0\x0C\0\x0C\0", 6);
    for (int i = 1; i <= 12; ++i) shapes += std::string{static_cast<char>(i), '\0', '\x03', '\0'};
    for (int i = 1; i <= 12; ++i) shapes += std::string{'N', static_cast<char>('A' + i - 1), '\0'};
    addStyle(0x20, dir.write("many.shx", shapes), 1);
    const AdHandle s20 = H(0x20);
    char name[AD_SHAPE_NAME_SIZE];
    for (std::int16_t i = 1; i <= 12; ++i) ASSERT_EQ(adShapeNameFromFile(d, &s20, i, name), 1) << i;
    EXPECT_EQ(d->shapeNameCount, 10);
    std::filesystem::remove(dir.path() / "many.shx");
    EXPECT_EQ(adShapeNameFromFile(d, &s20, 10, name), 1);
    EXPECT_STREQ(name, "NJ");
    EXPECT_EQ(adShapeNameFromFile(d, &s20, 11, name), 0) << "the eleventh answer found no room";
}

}  // namespace
