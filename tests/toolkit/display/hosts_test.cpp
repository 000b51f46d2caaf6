// The two test hosts: a primitive script drawn through the recording host
// gives its golden stream (on every build), and through the raster host the
// checked-in picture, pixel for pixel; the raster host's pens, fills and
// y axis.
#include "golden.h"
#include "primitive_script.h"
#include "render_fixture.h"

#include "tools/renderhost/raster_host.h"
#include "tools/renderhost/recording_host.h"
#ifdef VT_HAVE_PNG
#include "tools/renderhost/png_file.h"
#endif

#include <string>

namespace {

std::string script() { return readText(displayDataDir() + "primitives.script"); }

class Hosts : public RenderTest {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        show();
    }
};

}  // namespace

TEST_F(Hosts, TheScriptThroughTheRecordingHostGivesItsGoldenStream) {
    RecordingHost host;
    host.install();
    host.setUserData(&drawing);
    playScript(script(), &drawing);
    expectGoldenText("primitives.stream", host.stream());
}

TEST_F(Hosts, RasterPensFillsAndTheYAxis) {
    RasterHost host(64, 48);
    host.install();
    host.setUserData(&drawing);
    const std::uint32_t white = adPaletteRgb(7), red = adPaletteRgb(1), blue = adPaletteRgb(5);
    EXPECT_EQ(white, 0xffffffu);
    EXPECT_EQ(red, 0xff0000u);
    playScript(script(), &drawing);
    const struct {
        int x, y;
        std::uint32_t rgb;
    } pixels[] = {
        {2, 2, white},  {61, 45, white}, {30, 2, white},   // the frame
        {8, 8, red},    {7, 7, red},     {9, 9, red},      // a pen 3 wide is a 3 x 3 square
        {6, 6, 0},      {8, 12, 0},
        {10, 28, blue}, {18, 34, 0},     {14, 32, 0},      // even-odd: the hole stays empty
        {46, 10, adPaletteRgb(3)},                         // the triangle's inside
        {5, 31, white}, {50, 31, 0},                       // a wild line is cut, not walked
    };
    for (const auto& p : pixels) EXPECT_EQ(host.at(p.x, p.y), p.rgb) << p.x << "," << p.y;
    // Device y grows upwards: the red pen at device (8, 8) is in canvas row
    // 47 - 8 from the top, and nothing is in row 8.
    const auto red8 = [&](int row) { return host.rgba()[static_cast<std::size_t>(row * 64 + 8) * 4]; };
    EXPECT_EQ(red8(47 - 8), 0xff);
    EXPECT_EQ(red8(8), 0);
}

#ifdef VT_HAVE_PNG
TEST_F(Hosts, TheScriptThroughTheRasterHostGivesTheReferencePicture) {
    RasterHost host(64, 48);
    host.install();
    host.setUserData(&drawing);
    playScript(script(), &drawing);
    const std::string path = displayDataDir() + "primitives.png";
    if (updatingGolden()) {
        ASSERT_EQ(adWritePng(path, host.width(), host.height(), host.rgba()), 1);
    }
    int width = 0, height = 0;
    std::vector<std::uint8_t> reference;
    ASSERT_EQ(adReadPng(path, &width, &height, &reference), 1);
    ASSERT_EQ(width, host.width());
    ASSERT_EQ(height, host.height());
    EXPECT_TRUE(reference == host.rgba());
}
#endif
