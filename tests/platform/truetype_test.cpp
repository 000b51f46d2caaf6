// The TrueType service: faces found from file names and scaled to the
// capital, style filters and missing faces, its use by the font manager
// through hooks, and double-byte codes through the code page.
#include "platform/truetype/ttf_service.h"
#include "toolkit/db/started_toolkit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

struct Outline {
    std::vector<std::vector<double>> contours;  // segments, four doubles each
    double advance = 0;
};

// Reads the answer's contours and frees them as the display engine would.
Outline take(AdGlyphAnswer* answer) {
    Outline outline;
    outline.advance = answer->advance;
    for (std::uint16_t i = 0; i < answer->contourCount; ++i) {
        AdStream* stream = adStreamOpenRead(answer->contours[i]);
        std::vector<double> segments(static_cast<std::size_t>(adStreamLength(stream)) / sizeof(double));
        EXPECT_EQ(adStreamRead(stream, segments.data(), static_cast<std::int32_t>(segments.size() * sizeof(double))), 1);
        adStreamCloseRead(stream);
        EXPECT_EQ(segments.size() / 4 + 1, answer->pointCounts[i]);
        outline.contours.push_back(segments);
        adStoreFree(answer->contours[i]);
    }
    HostFree(answer->contours);
    HostFree(answer->pointCounts);
    return outline;
}

int CALLBACK anyFace(const LOGFONTA* font, const TEXTMETRICA*, DWORD, LPARAM data) {
    std::snprintf(reinterpret_cast<char*>(data), LF_FACESIZE, "%s", font->lfFaceName);
    return 0;
}

// The first installed family of a character set, or "".
std::string familyOf(BYTE characterSet) {
    char face[LF_FACESIZE] = "";
    LOGFONTA wanted{};
    wanted.lfCharSet = characterSet;
    HDC dc = CreateCompatibleDC(nullptr);
    EnumFontFamiliesExA(dc, &wanted, anyFace, reinterpret_cast<LPARAM>(face), 0);
    DeleteDC(dc);
    return face;
}

class TrueTypeService : public StartedToolkit {
protected:
    void SetUp() override {
        StartedToolkit::SetUp();
        ASSERT_EQ(TTFInit(), 1);
    }
    void TearDown() override {
        TTFTerm();
        StartedToolkit::TearDown();
    }
    AdFontRequest request(const char* name, std::int32_t parameters = -1) {
        AdFontRequest r{};
        std::snprintf(r.name, sizeof r.name, "%s", name);
        r.faceParameters = parameters;
        return r;
    }
    Outline outline(AdFontRequest* r, std::uint32_t code, double x = 0, double y = 0) {
        double pen[2] = {x, y};
        AdGlyphAnswer answer;
        EXPECT_EQ(ttfGlyphOutline(code, pen, r, &answer, nullptr), 0);
        EXPECT_EQ(answer.kind, answer.contourCount || answer.contours ? 6 : 0);
        return take(&answer);
    }
    // A face of the test fonts, resolved from its file name.
    AdFontRequest dejaVu() {
        AdFontRequest r = request("C:\\Fonts\\DejaVuSans.ttf");
        ttfResolveFace(&r);
        return r;
    }
};

TEST_F(TrueTypeService, AFileNameResolvesToItsFaceScaledToTheCapital) {
    AdFontRequest r = dejaVu();
    if (r.face[0] == '\0') GTEST_SKIP() << "DejaVu Sans is not installed (fonts-dejavu-core)";
    EXPECT_STREQ(r.name, "DejaVuSans.ttf") << "the name is cut to the file's base name";
    EXPECT_EQ(std::strncmp(r.face, "DejaVu Sans", 11), 0) << r.face;

    const Outline a = outline(&r, 'A');
    ASSERT_FALSE(a.contours.empty());
    double top = 0;
    for (const auto& contour : a.contours)
        for (std::size_t i = 0; i < contour.size(); i += 4) top = std::max({top, contour[i + 1], contour[i + 3]});
    EXPECT_NEAR(top, 1000, 15);
    EXPECT_GT(a.advance, 0);

    const Outline o = outline(&r, 'O', 100, 50);
    ASSERT_EQ(o.contours.size(), 2u);
    for (const auto& contour : o.contours) {
        ASSERT_GE(contour.size(), 12u);
        EXPECT_EQ(contour[0], contour[contour.size() - 2]) << "closed";
        EXPECT_EQ(contour[1], contour[contour.size() - 1]) << "closed";
        for (std::size_t i = 4; i < contour.size(); i += 4) {
            EXPECT_EQ(contour[i], contour[i - 2]) << "segments join";
            EXPECT_GT(contour[i], 100) << "moved by the pen origin";
        }
    }
    // A straight-sided glyph: one segment per edge.
    const Outline l = outline(&r, 'l');
    ASSERT_EQ(l.contours.size(), 1u);
    EXPECT_EQ(l.contours[0].size(), 4u * 4);
}

TEST_F(TrueTypeService, StyleFilterAndMissingFaces) {
    AdFontRequest bold = request("", AD_FACE_BOLD);
    std::snprintf(bold.face, sizeof bold.face, "%s", "Liberation Sans");
    if (!ttfResolveFace(&bold)) GTEST_SKIP() << "Liberation Sans is not installed (fonts-liberation)";
    EXPECT_STREQ(bold.face, "Liberation Sans Bold");

    AdFontRequest missing = request("NoSuchFace.ttf");
    EXPECT_EQ(ttfResolveFace(&missing), 0);
    EXPECT_STREQ(missing.name, "");
    EXPECT_STREQ(missing.face, "") << "the font manager falls back";
}

TEST_F(TrueTypeService, TheFontManagerUsesTheServiceThroughItsHooks) {
    if (dejaVu().face[0] == '\0') GTEST_SKIP() << "DejaVu Sans is not installed (fonts-dejavu-core)";
    adSetFontNameHook(ttfResolveFace);
    adGlobals->hooks.display[AD_DISPLAY_HOOK_GLYPH] = reinterpret_cast<void*>(&ttfGlyphOutline);
    auto drawing = std::make_unique<AdDrawing>();
    AdFont fallback{};
    AdFont* font = adLoadFont(drawing.get(), "DejaVuSans.ttf", AD_FONT_MASK_ANY, &fallback, nullptr, 0);
    ASSERT_NE(font, &fallback);
    EXPECT_EQ(font->kind, AD_FONT_TRUETYPE);
    EXPECT_EQ(outline(&font->trueType, 'O').contours.size(), 2u);
    adFreeFonts(drawing.get());
}

TEST_F(TrueTypeService, DoubleByteCodesPairAndPassThroughTheCodePage) {
    const std::string family = familyOf(SHIFTJIS_CHARSET);
    if (family.empty()) GTEST_SKIP() << "no Japanese face is installed (for example fonts-ipafont)";
    AdFontRequest r = request("", SHIFTJIS_CHARSET << 8);
    std::snprintf(r.face, sizeof r.face, "%s", family.c_str());
    ASSERT_EQ(ttfResolveFace(&r), 1);
    EXPECT_TRUE(outline(&r, 0x82).contours.empty()) << "a lead byte waits";
    const Outline hiragana = outline(&r, 0xA0);
    EXPECT_FALSE(hiragana.contours.empty()) << "0x82A0 is HIRAGANA LETTER A";
    EXPECT_GT(hiragana.advance, 0);
}

}  // namespace
