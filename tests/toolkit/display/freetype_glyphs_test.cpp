// The native build's TrueType glyphs: faces that drawings name resolve to
// installed faces, and outlines come in the engine's units (the capital A
// 1000 high) as closed segment contours moved by the pen origin.
#ifdef VT_HAVE_FREETYPE
#include "tools/renderhost/freetype_glyphs.h"

#include "render_fixture.h"

#include <cmath>
#include <string>
#include <vector>

namespace {

class FreeTypeGlyphs : public RenderTest {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        ASSERT_EQ(ftStartGlyphs(), 1);
    }
    void TearDown() override {
        ftStopGlyphs();
        RenderTest::TearDown();
    }

    static AdFontRequest request(const char* name) {
        AdFontRequest r{};
        std::snprintf(r.name, sizeof r.name, "%s", name);
        EXPECT_EQ(ftResolveFace(&r), 1);
        return r;
    }

    // The segments of every contour of a character drawn at the origin.
    struct Outline {
        double advance = 0;
        std::vector<std::vector<double>> contours;  // x0 y0 x1 y1 ...
        double top = -1e300;
    };
    static Outline outline(AdFontRequest& r, std::uint32_t character, double x = 0, double y = 0) {
        AdGlyphAnswer answer;
        double origin[2] = {x, y};
        EXPECT_EQ(ftGlyphOutline(character, origin, &r, &answer, nullptr), 0);
        Outline result;
        result.advance = answer.advance;
        for (std::uint16_t c = 0; c < answer.contourCount; ++c) {
            std::vector<double> segments;
            AdStream* stream = adStreamOpenRead(answer.contours[c]);
            double s[4];
            while (adStreamRead(stream, s, sizeof s)) {
                segments.insert(segments.end(), s, s + 4);
                result.top = std::max({result.top, s[1], s[3]});
            }
            adStreamCloseRead(stream);
            adStoreFree(answer.contours[c]);
            result.contours.push_back(segments);
        }
        EXPECT_EQ(answer.kind, AD_GLYPH_FILL | AD_GLYPH_RECEIVER_FREES);
        HostFree(answer.contours);
        HostFree(answer.pointCounts);
        return result;
    }
};

}  // namespace

TEST_F(FreeTypeGlyphs, NamesResolveToInstalledFaces) {
    const struct {
        const char* name;
        const char* file;
    } cases[] = {
        {"arial.ttf", "LiberationSans-Regular.ttf"},
        {"C:\\WINDOWS\\Fonts\\ARIALBD.TTF", "LiberationSans-Bold.ttf"},
        {"times.ttf", "LiberationSerif-Regular.ttf"},
        {"nosuchface.ttf", "DejaVuSans.ttf"},
    };
    for (const auto& c : cases) {
        const std::string face = request(c.name).face;
        EXPECT_EQ(face.substr(face.size() - std::string(c.file).size()), c.file) << c.name;
    }
}

TEST_F(FreeTypeGlyphs, OutlinesAreClosedContoursInThousandthsOfTheCapital) {
    AdFontRequest r = request("arial.ttf");
    const Outline a = outline(r, 'A', 100, 50);
    ASSERT_FALSE(a.contours.empty());
    EXPECT_NEAR(a.top, 1050, 1e-9);
    EXPECT_GT(a.advance, 500);
    for (const std::vector<double>& c : a.contours) {
        ASSERT_GE(c.size(), 12u);
        EXPECT_EQ(c[c.size() - 2], c[0]);  // the last segment ends where the first began
        EXPECT_EQ(c[c.size() - 1], c[1]);
        for (std::size_t i = 4; i < c.size(); i += 4) {
            EXPECT_EQ(c[i], c[i - 2]);  // each segment starts where the last ended
        }
    }
    EXPECT_EQ(outline(r, 'o').contours.size(), 2u);  // the hole is a contour of its own
    EXPECT_TRUE(outline(r, ' ').contours.empty());
    EXPECT_GT(outline(r, ' ').advance, 0);
}
#endif
