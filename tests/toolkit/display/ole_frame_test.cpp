// OLE2FRAME from the file to the host: the object bytes after the stored
// header go to oleData, whose picture is framed once in every layout
// viewport that shows model space, and once on the paper; the same frames
// with the display cache on and after a replay.
#include "displayed_drawing.h"
#include "oracle.h"

#include <cstdlib>
#include <vector>

namespace {

struct OleFrame {
    std::int32_t left, top, right, bottom;
    std::vector<std::uint8_t> picture;
    std::vector<DevicePoint> outline;
    std::int32_t width() const { return std::abs(right - left); }
    std::int32_t height() const { return std::abs(bottom - top); }
    double middleX() const { return (left + right) / 2.0; }
};

std::vector<OleFrame> frames;
std::vector<std::vector<std::uint8_t>> objects;

std::vector<std::uint8_t> bytesOf(AdStore* store) {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(adStoreSize(store)));
    AdStream* in = adStreamOpenRead(store);
    if (in && !bytes.empty()) adStreamRead(in, bytes.data(), static_cast<std::int32_t>(bytes.size()));
    adStreamCloseRead(in);
    return bytes;
}

// The picture: a metafile tag and the object's first and last bytes.
int oleData(AdStore* object, AdStore** pictureOut, void*) {
    objects.push_back(bytesOf(object));
    *pictureOut = adStoreCreate(AD_STORE_BLOCK_SIZE);
    AdStream* out = adStreamOpenWrite(*pictureOut);
    const std::uint8_t picture[3] = {0, objects.back().front(), objects.back().back()};
    adStreamWrite(out, picture, sizeof picture);
    adStreamCloseWrite(out);
    return 1;
}
void oleFrame(AdOleFrameRecord* frame, void*) {
    OleFrame f{frame->left, frame->top, frame->right, frame->bottom, bytesOf(frame->picture), {}};
    EXPECT_EQ(frame->pictureLength, static_cast<std::int32_t>(f.picture.size()));
    f.outline.assign(frame->outline, frame->outline + frame->outlineCount);
    frames.push_back(f);
}
void ignoreMove(std::int32_t, std::int32_t, void*) {}
void ignorePolygon(const std::int16_t*, const DevicePoint*, void*) {}

class OleFrames : public DisplayedDrawing {
protected:
    // Shows the drawing at the view: the frames of its first draw.
    std::vector<OleFrame> show(const std::string& path, std::uint8_t caching, AdViewRecord view) {
        closeDrawing();
        adInstallDwgReadOps();
        adSetDisplayCaching(caching);
        AdViewRecord initial{};
        if (!begin(path, kRect, &initial)) return {};
        adSetOleDataHook(oleData);
        adSetOleFrameHook(oleFrame);
        adSetMoveToHook(ignoreMove);
        adSetLineToHook(ignoreMove);
        adSetPolygonHook(ignorePolygon);
        adMakeViewTransform(d, &view, kRect, nullptr);
        return draw();
    }
    std::vector<OleFrame> draw() {
        frames.clear(), objects.clear();
        adDrawDrawing(d);
        return frames;
    }
    static constexpr std::int32_t kRect[4] = {0, 0, 400, 200};
};

void expectSameFrames(const std::vector<OleFrame>& a, const std::vector<OleFrame>& b) {
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_NEAR(a[i].left, b[i].left, 1);
        EXPECT_NEAR(a[i].top, b[i].top, 1);
        EXPECT_NEAR(a[i].right, b[i].right, 1);
        EXPECT_NEAR(a[i].bottom, b[i].bottom, 1);
        EXPECT_EQ(a[i].picture, b[i].picture);
        EXPECT_EQ(a[i].outline.size(), b[i].outline.size());
    }
}

}  // namespace

// ole_frames.dxf: the model-space frame (8 x 6 units) in two viewports of
// the same size, the second at half the scale, and a 4 x 3 frame on the
// paper, shown whole (40 x 20 paper units).
TEST_F(OleFrames, AFrameForEachViewportAndThePaper) {
    const std::string path = displayDataDir() + "images/ole_frames.dxf";
    const AdViewRecord sheet{{0, 0, 1, 0}, {20, 10, 0, 1}, {0, 1, 0, 0}, 40, 20};
    const auto off = show(path, 0, sheet);
    ASSERT_EQ(off.size(), 3u);
    std::vector<std::uint8_t> object(40);
    for (int i = 0; i < 40; ++i) object[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
    ASSERT_EQ(objects.size(), 2u) << "the object data once per entity and draw";
    EXPECT_EQ(objects[0], object) << "the bytes after the 128-byte header";
    for (const OleFrame& f : off) {
        EXPECT_EQ(f.picture, (std::vector<std::uint8_t>{0, 0, 39}));
        EXPECT_EQ(f.outline.size(), 4u);
    }
    // The model-space frame is 9.6 paper units wide in the first viewport
    // and 4.8 in the second; the paper's frame is 4 wide.
    const OleFrame &first = off[0], &second = off[1], &paper = off[2];
    EXPECT_NEAR(first.width(), 2 * second.width(), 2);
    EXPECT_NEAR(first.height(), 2 * second.height(), 2);
    EXPECT_NEAR(first.width() * 4.0, paper.width() * 9.6, 10);
    EXPECT_NEAR(first.width() * 3.0, first.height() * 4.0, 4) << "the frame keeps its shape";
    EXPECT_LT(first.middleX(), second.middleX()) << "the first viewport stands left of the second";

    const auto on = show(path, 1, sheet);
    expectSameFrames(off, on);
    expectSameFrames(on, draw());
    EXPECT_TRUE(objects.empty()) << "a replay asks for no object data";
}

// The same OLE2FRAME read from a DWG file and from its DXF counterpart
// reaches the host as the same frame, about 5.1 x 3.4 units at
// (30.1, -22.4)..(35.3, -19.0), shown at 20 device units a unit.
TEST_F(OleFrames, AFrameFromADwgAndItsDxf) {
    const std::string skip = sharedDataSkipReason();
    if (!skip.empty()) GTEST_SKIP() << skip;
    const std::string dwg = std::string(VT_SHARED_DATA_DIR) + "/dwg/ac1015_ts1_sampler.dwg";
    const std::string dxf = std::string(VT_SHARED_DATA_DIR) + "/dxf/ac1015_ts1_sampler.dxf";
    const AdViewRecord around{{0, 0, 1, 0}, {32.7, -20.7, 0, 1}, {0, 1, 0, 0}, 20, 10};
    const auto fromDwg = show(dwg, 0, around);
    ASSERT_EQ(fromDwg.size(), 1u);
    EXPECT_NEAR(fromDwg[0].width(), 103, 2);
    EXPECT_NEAR(fromDwg[0].height(), 68, 2);
    expectSameFrames(fromDwg, show(dxf, 0, around));
}
