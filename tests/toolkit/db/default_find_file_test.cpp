// The default file finder: the order of the places it looks, and results
// that stay inside their buffers whatever the names' lengths.
#include "toolkit/ad.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void setAcad(const std::string& value) {
#ifdef _WIN32
    _putenv_s("ACAD", value.c_str());
#else
    setenv("ACAD", value.c_str(), 1);
#endif
}

void clearAcad() {
#ifdef _WIN32
    _putenv_s("ACAD", "");
#else
    unsetenv("ACAD");
#endif
}

std::string withBackslashes(std::string text) {
    for (char& c : text)
        if (c == '/') c = '\\';
    return text;
}

// A working directory and an ACAD search path:
//   work/fonts/simplex.shx   work/txt.shx   acad/fonts/gdt.shx   acad2/isocp.shx
class DefaultFindFile : public testing::Test {
protected:
    void SetUp() override {
        dir_.write("work/fonts/simplex.shx", "s");
        dir_.write("work/txt.shx", "t");
        dir_.write("acad/fonts/gdt.shx", "g");
        dir_.write("acad2/isocp.shx", "i");
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(dir_.path() / "work");
        root_ = withBackslashes(dir_.path().string());
        setAcad(root_ + "\\missing;;" + root_ + "\\acad;" + root_ + "\\acad2\\");
    }
    void TearDown() override {
        std::filesystem::current_path(previous_);
        clearAcad();
    }

    std::string find(const std::string& name) {
        std::string buffer = name;
        char result[AD_PATH_SIZE];
        std::memset(result, 'x', sizeof result);
        adDefaultFindFile(buffer.data(), result, nullptr);
        EXPECT_EQ(buffer, name) << "the caller's name is not changed";
        return result;
    }

    TempDir dir_;
    std::filesystem::path previous_;
    std::string root_;
};

TEST_F(DefaultFindFile, LooksAtTheNameThenTheCurrentDirectoryThenAcad) {
    EXPECT_EQ(find("fonts/simplex.shx"), "fonts\\simplex.shx");
    EXPECT_EQ(find("FONTS\\SIMPLEX.SHX"), "FONTS\\SIMPLEX.SHX");  // any letter case
    EXPECT_EQ(find("fonts/txt.shx"), "txt.shx");
    EXPECT_EQ(find("fonts/gdt.shx"), root_ + "\\acad\\fonts\\gdt.shx");
    EXPECT_EQ(find("isocp.shx"), root_ + "\\acad2\\isocp.shx");  // no doubled separator
    EXPECT_EQ(find("fonts/none.shx"), "fonts\\none.shx");
    // A name with a drive is not searched for on the ACAD path.
    EXPECT_EQ(find("q:/fonts/gdt.shx"), "q:\\fonts\\gdt.shx");
}

TEST_F(DefaultFindFile, WithoutAcadOnlyTheNameAndTheCurrentDirectory) {
    clearAcad();
    EXPECT_EQ(find("fonts/gdt.shx"), "fonts\\gdt.shx");
    EXPECT_EQ(find("other/txt.shx"), "txt.shx");
}

TEST_F(DefaultFindFile, LongNamesAndEntriesStayInsideTheResult) {
    const std::string longName(3 * AD_PATH_SIZE, 'n');
    const std::string found = find(longName);
    EXPECT_EQ(found, longName.substr(0, AD_PATH_SIZE - 1));

    setAcad(std::string(2 * AD_PATH_SIZE, 'd') + ";" + root_ + "\\acad");
    EXPECT_EQ(find("fonts/gdt.shx"), root_ + "\\acad\\fonts\\gdt.shx");
    const std::string nearlyFull(AD_PATH_SIZE - 20, 'm');
    EXPECT_EQ(find(nearlyFull), nearlyFull);
}

TEST_F(DefaultFindFile, ResultMayBeTheNameBuffer) {
    char buffer[AD_PATH_SIZE] = "fonts/txt.shx";
    adDefaultFindFile(buffer, buffer, nullptr);
    EXPECT_STREQ(buffer, "txt.shx");
}

}  // namespace

// The display engine's finder writes into a buffer of a given capacity and
// says whether it found the file; a path that does not fit is never cut.
TEST_F(DefaultFindFile, TheCapacityFinderNeverWritesPastItsBuffer) {
    const std::string acadPath = root_ + "\\acad\\fonts\\gdt.shx";
    const struct {
        const char* name;
        std::size_t capacity;
        int found;
        std::string path;
    } cases[] = {
        {"txt.shx", 64, 1, "txt.shx"},
        {"fonts\\gdt.shx", acadPath.size() + 1, 1, acadPath},
        {"fonts\\gdt.shx", acadPath.size(), 0, ""},  // one byte short: nothing, not a cut path
        {"nowhere.shx", 64, 0, "nowhere.shx"},
        {"", 64, 0, ""},
    };
    for (const auto& c : cases) {
        char buffer[AD_PATH_SIZE + 8];
        std::memset(buffer, 'x', sizeof buffer);
        EXPECT_EQ(adDefaultFileFinder(c.name, buffer, c.capacity, nullptr), c.found) << c.name;
        EXPECT_EQ(std::string(buffer), c.path) << c.name;
        EXPECT_EQ(buffer[c.capacity], 'x') << c.name;
    }
    EXPECT_EQ(adDefaultFileFinder("txt.shx", nullptr, 64, nullptr), 0);
}
