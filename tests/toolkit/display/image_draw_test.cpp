// Engine-drawn images: the pictures that the raster host paints from the
// engine's raster command blocks equal Pillow's decoding of the same files,
// placed one pixel a drawing unit; clip boundaries keep what is outside
// them unpainted, and a missing file shows the image's frame only.
#include "displayed_drawing.h"

#include "tools/renderhost/raster_images.h"
#ifdef VT_HAVE_PNG
#include "tools/renderhost/png_file.h"
#endif

#include <cmath>
#include <functional>
#include <vector>

namespace {

constexpr int kScale = 8;  // device units a drawing unit

class ImageDraw : public DisplayedDrawing {
protected:
    // Shows the window (0, 0)..(45, 27) of images.dxf on a 360 x 216 canvas.
    void draw() {
        const std::int32_t rect[4] = {0, 0, 45 * kScale, 27 * kScale};
        AdViewRecord view{};
        ASSERT_TRUE(begin(displayDataDir() + "images/images.dxf", rect, &view));
        view = AdViewRecord{{0, 0, 1, 0}, {22.5, 13.5, 0, 1}, {0, 1, 0, 0}, 45, 27};
        adMakeViewTransform(d, &view, rect, nullptr);
        host.install();
        host.setUserData(d);
        adDrawDrawing(d);
    }
    // The canvas colour at a drawing point.
    std::uint32_t at(double x, double y) const {
        return host.at(static_cast<int>(std::floor(x * kScale)), static_cast<int>(std::floor(y * kScale)));
    }
    RasterImageHost host{45 * kScale, 27 * kScale, displayDataDir() + "images"};
};

#ifdef VT_HAVE_PNG
struct Placed {
    const char* picture;
    double x, y;                                // lower left corner in the drawing
    std::function<bool(double, double)> inside;  // of the clip boundary, in the drawing
};

// Every pixel's centre: Pillow's colour inside the clip, nothing outside.
// A row is clipped along its upper edge and painted a pixel deep below it,
// so a pixel counts as inside when its upper edge is inside the boundary,
// outside when that edge is outside, and is not judged when the boundary
// cuts the edge.
void expectPictures(const std::function<std::uint32_t(double, double)>& canvas, const Placed& placed) {
    SCOPED_TRACE(placed.picture);
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgba;
    ASSERT_EQ(adReadPng(displayDataDir() + "images/" + placed.picture + ".png", &width, &height, &rgba), 1);
    int wrong = 0;
    for (int row = 0; row < height; ++row)
        for (int column = 0; column < width; ++column) {
            const double x = placed.x + column + 0.5, y = placed.y + (height - 1 - row) + 0.5;
            const std::size_t i = (static_cast<std::size_t>(row) * width + column) * 4;
            const std::uint32_t pillow = std::uint32_t{rgba[i]} << 16 | rgba[i + 1] << 8 | rgba[i + 2];
            const bool in = placed.inside(x, y + 0.5);
            if (in != placed.inside(x - 0.5, y + 0.5) || in != placed.inside(x + 0.5, y + 0.5)) continue;
            const std::uint32_t expected = in ? pillow : 0;
            if (canvas(x, y) != expected && ++wrong <= 3)
                ADD_FAILURE() << "pixel " << column << "," << row << ": " << std::hex << canvas(x, y) << " for "
                              << expected;
        }
}
#endif

}  // namespace

#ifdef VT_HAVE_PNG
TEST_F(ImageDraw, PicturesAreTheirFilesAsPillowReadsThem) {
    draw();
    const auto canvas = [&](double x, double y) { return at(x, y); };
    const auto whole = [](double, double) { return true; };
    // The rectangle (2.5, 1.5)..(9.5, 5.5) of pixel coordinates, the
    // triangle (-0.5, 6.5), (6, -0.5), (12.5, 6.5), in the drawing.
    const auto rectangle = [](double x, double y) { return x > 3.5 && x < 10.5 && y > 19.5 && y < 23.5; };
    const auto triangle = [](double x, double y) {
        const double leftEdge = 15.5 + (y - 18.5) * 6.5 / 7.0, rightEdge = 28.5 - (y - 18.5) * 6.5 / 7.0;
        return y > 18.5 && x > leftEdge && x < rightEdge;
    };
    const Placed placed[] = {
        {"rle8", 1, 1, whole},       {"rgb24", 16, 1, whole}, {"rle4", 1, 10, whole}, {"mono1", 16, 10, whole},
        {"palette8", 1, 19, rectangle}, {"palette8", 16, 19, triangle},
    };
    for (const Placed& p : placed) expectPictures(canvas, p);
    EXPECT_GT(host.blocks(), 0);
}
#endif

// The raster variables switch frames off: only the image without a file
// shows one, its whole rectangle (31, 1)..(44, 8), and nothing inside it.
TEST_F(ImageDraw, AMissingFileShowsTheFrameOnly) {
    draw();
    const std::uint32_t white = adPaletteRgb(7);
    EXPECT_EQ(at(37.5, 1.0), white);
    EXPECT_EQ(at(44.0, 4.5), white);
    EXPECT_EQ(at(37.5, 4.5), 0u);
    EXPECT_NE(at(15.95, 4.5), white);  // no frame beside an image that has its file
    EXPECT_NE(at(16.05, 4.5), white);
}
