// The font manager: every kind of font file loaded with its information,
// built-in fonts, name lookup, remembered failures and fallbacks, truncated
// files, memory failures, and TrueType names handed to the host.
#include "font_fixture.h"
#include "temp_dir.h"
#include "toolkit/db/host_fault.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// File finders the tests install: one that counts its calls and answers the
// name unchanged, one that looks in a directory of the test's.
int finderCalls = 0;
std::string finderDirectory;
std::string finderLastName;
void countingFinder(char* name, char* result, void*) {
    ++finderCalls;
    finderLastName = name;
    std::strcpy(result, name);
}
void directoryFinder(char* name, char* result, void*) {
    ++finderCalls;
    finderLastName = name;
    std::snprintf(result, AD_PATH_SIZE, "%s", (finderDirectory + "\\" + name).c_str());
}

// Names as the default file finder answers them: with '\' separators.
std::string windowsName(std::string path) {
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

struct KindCase {
    const char* file;
    bool shared;
    std::int32_t mask;
    std::uint8_t kind;
    std::int16_t above, below;
    std::uint8_t modes;
};

class FontKinds : public FontTest, public testing::WithParamInterface<KindCase> {};

TEST_P(FontKinds, LoadsTheFileAndItsInformation) {
    const KindCase& c = GetParam();
    if (c.shared) SKIP_WITHOUT_SHARED_FONTS();
    const std::string path = c.shared ? sharedFont(c.file) : testFont(c.file);
    AdFont* font = load(path, c.mask);
    ASSERT_NE(font, &fallback) << path;
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->kind, c.kind);
    EXPECT_EQ(font->above, c.above);
    EXPECT_EQ(font->below, c.below);
    EXPECT_EQ(font->modes, c.modes);
    EXPECT_EQ(adStrCompareNoCase(font->filePath, windowsName(path).c_str()), 0) << font->filePath;
    EXPECT_EQ(d->fonts, font);
    EXPECT_EQ(load(path, c.mask), font) << "a loaded font is answered again";
}

INSTANTIATE_TEST_SUITE_P(
    Files, FontKinds,
    testing::Values(KindCase{"iso3098b_shapes.shx", true, AD_FONT_MASK_ANY, AD_FONT_SHAPES_10, 20, 6, 2},
                    KindCase{"ltype_shapes_v11.shx", true, AD_FONT_MASK_SHAPE, AD_FONT_SHAPES_11, 0, 0, 0},
                    KindCase{"iso3098_unifont.shx", true, AD_FONT_MASK_ANY, AD_FONT_UNIFONT, 32, 0, 2},
                    KindCase{"kst32b_unifont.shx", true, AD_FONT_MASK_SHAPE, AD_FONT_UNIFONT, 32, 0, 2},
                    KindCase{"edge.shx", false, AD_FONT_MASK_ANY, AD_FONT_SPECIAL, 10, 2, 0},
                    KindCase{"bigfont.shx", false, AD_FONT_MASK_BIGFONT, AD_FONT_BIGFONT, 0, 0, 2}));

TEST_F(FontTest, BigFontInformationAndBuiltinFonts) {
    AdFont* big = load(testFont("bigfont.shx"), AD_FONT_MASK_BIGFONT);
    ASSERT_NE(big, &fallback);
    EXPECT_EQ(big->bigFontHeight, 8) << "a height of 0 means 8";
    EXPECT_EQ(big->bigFontWidth, 9) << "a width byte of 0 is followed by modes and the width";
    EXPECT_EQ(big->escapeRangeCount, 1);

    for (int which : {0, 1}) {
        const AdFont* font = builtin(which);
        ASSERT_NE(font, nullptr);
        EXPECT_EQ(font->above, 21);
        EXPECT_EQ(font->modes, 2);
        EXPECT_EQ(font->pageCount, 1);
        EXPECT_EQ(font->last, 258);
    }
    EXPECT_EQ(builtin(0)->kind, AD_FONT_SHAPES_11);
    EXPECT_EQ(builtin(1)->kind, AD_FONT_SHAPES_11 | AD_FONT_BUILTIN_GDT);
    EXPECT_EQ(builtin(0)->indexCount, AD_SIMPLEX_SHAPE_COUNT);
    EXPECT_EQ(builtin(1)->indexCount, AD_GDT_SHAPE_COUNT);
}

TEST_F(FontTest, ShortNamesAreCompletedUpperCasedAndFoundInAnyCase) {
    SKIP_WITHOUT_SHARED_FONTS();
    TempDir dir;
    dir.write("txt.shx", fileBytes(sharedFont("iso3098b_shapes.shx")));
    finderDirectory = dir.path().string();
    adSetFileFinderHook(directoryFinder);
    finderCalls = 0;
    AdFont* font = load("txt");
    ASSERT_NE(font, &fallback);
    EXPECT_EQ(finderLastName, "TXT.SHX");
    EXPECT_STREQ(font->requestedName, "TXT.SHX");
    EXPECT_EQ(font->kind, AD_FONT_SHAPES_10);
    EXPECT_EQ(load("Txt.shx"), font);
    EXPECT_EQ(load("TXT"), font);
    EXPECT_EQ(finderCalls, 1);
}

TEST_F(FontTest, GdtIsBuiltInWithoutLookingForAFile) {
    adSetFileFinderHook(countingFinder);
    finderCalls = 0;
    for (const char* name : {"gdt", "GDT.SHX", "Gdt.shx"}) EXPECT_EQ(load(name), builtin(1)) << name;
    EXPECT_EQ(finderCalls, 0);
    adSetFileFinderHook([](char*, char* result, void*) { result[0] = '\0'; });
    EXPECT_EQ(load("amgdt"), builtin(1)) << "GDT stands in for AMGDT when nothing is found";
    adSetFileFinderHook(countingFinder);
    EXPECT_EQ(load("amgdt", AD_FONT_MASK_SHAPE), &fallback) << "a missing file is not nothing found";
}

TEST_F(FontTest, AFailedNameIsNotSearchedAgainWhileAmongTheLastFive) {
    adSetFileFinderHook(countingFinder);
    finderCalls = 0;
    EXPECT_EQ(load("missing0", AD_FONT_MASK_SHAPE), &fallback);
    EXPECT_EQ(load("MISSING0.shx", AD_FONT_MASK_SHAPE), &fallback);
    EXPECT_EQ(finderCalls, 1);
    for (int i = 1; i <= 4; ++i) load("missing" + std::to_string(i), AD_FONT_MASK_SHAPE);
    EXPECT_EQ(load("missing0", AD_FONT_MASK_SHAPE), &fallback);
    EXPECT_EQ(finderCalls, 5);
    load("missing5", AD_FONT_MASK_SHAPE);
    EXPECT_EQ(load("missing0", AD_FONT_MASK_SHAPE), &fallback);
    EXPECT_EQ(finderCalls, 7) << "five other failures push a name out of the ring";
    adFreeFonts(d);
    EXPECT_EQ(d->failedFontCount, 0);
}

struct RefusedCase {
    const char* what;
    std::string bytes;     // written as the file the finder answers
    std::string fileName;  // its name in the test's directory
    std::int32_t mask;
};

class RefusedFonts : public FontTest, public testing::WithParamInterface<RefusedCase> {};

TEST_P(RefusedFonts, AnswerTheFallbackAndAreRemembered) {
    const RefusedCase& c = GetParam();
    TempDir dir;
    finderDirectory = dir.path().string();
    if (!c.bytes.empty()) dir.write(c.fileName, c.bytes);
    adSetFileFinderHook(directoryFinder);
    finderCalls = 0;
    EXPECT_EQ(load(c.fileName, c.mask), &fallback) << c.what;
    EXPECT_EQ(load(c.fileName, c.mask), &fallback) << c.what;
    EXPECT_EQ(finderCalls, 1) << c.what;
    EXPECT_EQ(d->fonts, nullptr);
}

const std::string kShapesHeader = std::string("AutoCAD-86 shapes 1.0\r\n\x1a", 24);
INSTANTIATE_TEST_SUITE_P(
    Cases, RefusedFonts,
    testing::Values(
        RefusedCase{"no file", "", "NONE.SHX", AD_FONT_MASK_SHAPE},
        RefusedCase{"no 0x1A in the first 41 bytes", std::string(60, 'x'), "JUNK.SHX", AD_FONT_MASK_SHAPE},
        RefusedCase{"an unknown signature", "AutoCAD-86 shapes 2.0\r\n\x1a", "NEW.SHX", AD_FONT_MASK_SHAPE},
        RefusedCase{"an index cut short", kShapesHeader + std::string("\0\0\1\0\x20\0\1\0\4", 9), "CUT.SHX",
                    AD_FONT_MASK_SHAPE},
        RefusedCase{"a kind outside the mask", kShapesHeader + std::string(6, '\0'), "SHAPES.SHX",
                    AD_FONT_MASK_BIGFONT},
        RefusedCase{"not a .shx file", kShapesHeader, "FONT.PFB", AD_FONT_MASK_ANY},
        RefusedCase{"a path too long for the font's path field", kShapesHeader + std::string(6, '\0'),
                    std::string(60, 'L') + "/LONG.SHX", AD_FONT_MASK_SHAPE}),
    [](const testing::TestParamInfo<RefusedCase>& info) { return "Case" + std::to_string(info.index); });

// Every cut of a real file either is refused or gives a font whose shapes
// all lie in what is left; nothing reads past the end.
TEST_F(FontTest, TruncatedFilesKeepOnlyTheShapesTheyHold) {
    SKIP_WITHOUT_SHARED_FONTS();
    TempDir dir;
    for (const std::string& source : {sharedFont("iso3098b_shapes.shx"), sharedFont("iso3098_unifont.shx"),
                                      testFont("bigfont.shx"), testFont("edge.shx")}) {
        const std::string whole = fileBytes(source);
        for (std::size_t cut : {std::size_t{0}, std::size_t{10}, std::size_t{24}, std::size_t{31}, std::size_t{100},
                                whole.size() / 2, whole.size() - 1}) {
            const std::string name = "CUT" + std::to_string(cut) + "_" + std::filesystem::path(source).filename().string();
            const std::string path = dir.write(name, whole.substr(0, cut));
            AdFont* font = adLoadFont(d, path.c_str(), AD_FONT_MASK_ANY | AD_FONT_MASK_BIGFONT, &fallback, nullptr, 0);
            ASSERT_NE(font, nullptr);
            if (font == &fallback) continue;
            for (std::int32_t i = 0; i < font->indexCount; ++i) EXPECT_LT(font->index[i].offset, cut) << path;
            for (std::uint32_t code = 0; code < 300; ++code) {
                double end[2];
                adShapeStrokes(d, font, font, code, 0, 0, nullptr, nullptr, end);
            }
        }
    }
}

TEST_F(FontTest, RunningOutOfMemoryFailsTheLoadAndLeaksNothing) {
    SKIP_WITHOUT_SHARED_FONTS();
    for (const std::string& path : {sharedFont("iso3098b_shapes.shx"), testFont("bigfont.shx")}) {
        const std::int32_t mask = path.find("bigfont") != std::string::npos ? AD_FONT_MASK_BIGFONT : AD_FONT_MASK_SHAPE;
        std::int32_t n = 0;
        for (; n < 100; ++n) {
            HostFailAllocationAfter(n);
            AdFont* font = load(path, mask);
            HostFailAllocationAfter(-1);
            if (font) break;
            EXPECT_TRUE(adGlobals->errorCode == AD_ERR_FONT_MEMORY || adGlobals->errorCode == AD_ERR_FONT_INDEX_MEMORY ||
                        adGlobals->errorCode == AD_ERR_FONT_INDEX_BUFFER ||
                        adGlobals->errorCode == AD_ERR_BIGFONT_INDEX_MEMORY)
                << path << " allocation " << n << " error " << adGlobals->errorCode;
            EXPECT_EQ(d->fonts, nullptr);
            EXPECT_EQ(d->failedFontCount, 0) << "running out of memory says nothing about the name";
        }
        EXPECT_GT(n, 2) << path;
        ASSERT_NE(d->fonts, nullptr);
        EXPECT_NE(d->fonts, &fallback);
        adFreeFonts(d);
    }
}

TEST_F(FontTest, SimplexSixIsMarked) {
    SKIP_WITHOUT_SHARED_FONTS();
    TempDir dir;
    const std::string path = dir.write("simplex6.shx", fileBytes(sharedFont("iso3098b_shapes.shx")));
    AdFont* font = load(path);
    ASSERT_NE(font, &fallback);
    EXPECT_EQ(font->kind, AD_FONT_SHAPES_10 | AD_FONT_SIMPLEX6);
}

// The TrueType path, with a fake face resolver and a glyph slot as the
// display engine would set it.
int resolverCalls = 0;
AdFontRequest lastRequest;
int fakeResolver(void* record) {
    auto* request = static_cast<AdFontRequest*>(record);
    ++resolverCalls;
    lastRequest = *request;
    if (adStrCompareNoCaseN(request->name, "arial", 5) == 0 || std::strcmp(request->face, "Arial") == 0) {
        std::strcpy(request->face, "Arial");
    } else {
        request->name[0] = '\0';
        request->face[0] = '\0';
    }
    return 1;
}
void fakeGlyphRoutine() {}

class TrueTypeFonts : public FontTest {
protected:
    void SetUp() override {
        FontTest::SetUp();
        adSetFontNameHook(fakeResolver);
        adGlobals->hooks.display[AD_DISPLAY_HOOK_GLYPH] = reinterpret_cast<void*>(&fakeGlyphRoutine);
        adSetFileFinderHook(countingFinder);
        resolverCalls = 0;
    }
};

TEST_F(TrueTypeFonts, OptionsAreReadAndTheNameCutAtTheBar) {
    AdFont* bold = load("arial.ttf|b1|i0");
    ASSERT_NE(bold, &fallback);
    EXPECT_EQ(bold->kind, AD_FONT_TRUETYPE);
    EXPECT_EQ(bold->above, 1000);
    EXPECT_STREQ(lastRequest.name, "arial.ttf");
    EXPECT_EQ(lastRequest.faceParameters, AD_FACE_BOLD);
    EXPECT_STREQ(bold->trueType.face, "Arial");
    EXPECT_STREQ(bold->requestedName, "arial.ttf");

    EXPECT_EQ(load("arial.ttf|b1|i0"), bold);
    AdFont* italic = load("arial.ttf|b0|i1|c128|p34");
    EXPECT_NE(italic, bold) << "other face parameters are another font";
    EXPECT_EQ(italic->trueType.faceParameters, AD_FACE_ITALIC | 128 << 8 | 34);
    EXPECT_EQ(resolverCalls, 2);
    EXPECT_EQ(adFontFindShape(d, italic, nullptr, 'A', 0), italic) << "the host draws TrueType glyphs";
}

TEST_F(TrueTypeFonts, ASecondNameOrAMissingShapeFileAsksTheHost) {
    AdFont* face = adLoadFont(d, "", AD_FONT_MASK_ANY, &fallback, "Arial", -1);
    ASSERT_NE(face, &fallback);
    EXPECT_EQ(lastRequest.faceParameters, -1);
    EXPECT_STREQ(lastRequest.face, "Arial");

    EXPECT_EQ(load("romans"), &fallback);
    EXPECT_EQ(resolverCalls, 2) << "a shape file that does not exist is tried as TrueType";
    EXPECT_STREQ(lastRequest.name, "ROMANS.SHX");
    EXPECT_EQ(load("romans"), &fallback);
    EXPECT_EQ(resolverCalls, 2);

    EXPECT_EQ(load("courier.ttf"), &fallback) << "the resolver found no face";
    EXPECT_EQ(load("arial.ttf", AD_FONT_MASK_SHAPE), &fallback) << "the mask excludes TrueType";
}

TEST_F(TrueTypeFonts, NothingIsResolvedWithoutTheGlyphSlot) {
    adGlobals->hooks.display[AD_DISPLAY_HOOK_GLYPH] = nullptr;
    EXPECT_EQ(load("arial.ttf"), &fallback);
    adGlobals->hooks.display[AD_DISPLAY_HOOK_GLYPH] = reinterpret_cast<void*>(&fakeGlyphRoutine);
    adSetFontNameHook(nullptr);
    EXPECT_EQ(load("arial2.ttf"), &fallback);
    EXPECT_EQ(resolverCalls, 0);
}

}  // namespace
