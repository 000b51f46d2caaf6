// Host-drawn images: the host opens each picture once and hears, per
// viewport, its corners, its outline in the viewport and its clip boundary;
// an outline of any length, and a picture seen edge-on drawn as a line.
#include "displayed_drawing.h"
#include "render_fixture.h"

#include "toolkit/display/image.h"
#include "toolkit/display/view.h"
#include "tools/renderhost/recording_host.h"

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

namespace {

struct Frame {
    DevicePoint corners[4];
    std::vector<DevicePoint> outline;
    std::vector<DevicePoint> clip;
    std::int32_t hostImage;
};

std::vector<Frame> frames;
std::vector<std::string> opened;
std::int32_t lines = 0;

int openImage(const char* path, std::int32_t* hostImage, void*) {
    opened.push_back(path);
    *hostImage = static_cast<std::int32_t>(opened.size());
    return 1;
}
void imageFrame(AdImageFrameRecord* record, void*) {
    Frame f{};
    for (int k = 0; k < 4; ++k) f.corners[k] = record->corners[k];
    f.outline.assign(record->outline, record->outline + record->outlineCount);
    f.clip.assign(record->clip, record->clip + record->clipCount);
    f.hostImage = record->hostImage;
    frames.push_back(f);
}
void lineTo(std::int32_t, std::int32_t, void*) { ++lines; }
void moveTo(std::int32_t, std::int32_t, void*) {}

void installFrameHost() {
    frames.clear(), opened.clear(), lines = 0;
    adSetImageOpenHook(openImage);
    adSetImageFrameHook(imageFrame);
    adSetMoveToHook(moveTo);
    adSetLineToHook(lineTo);
}

class ImageFrames : public DisplayedDrawing {};

}  // namespace

TEST_F(ImageFrames, EachPictureIsOpenedOnceAndFramedPerDraw) {
    const std::int32_t rect[4] = {0, 0, 360, 216};
    AdViewRecord view{};
    ASSERT_TRUE(begin(displayDataDir() + "images/images.dxf", rect, &view));
    view = AdViewRecord{{0, 0, 1, 0}, {22.5, 13.5, 0, 1}, {0, 1, 0, 0}, 45, 27};
    adMakeViewTransform(d, &view, rect, nullptr);
    installFrameHost();
    adDrawDrawing(d);
    adDrawDrawing(d);
    EXPECT_EQ(opened.size(), 7u) << "once per IMAGE, not per draw";
    ASSERT_EQ(frames.size(), 14u);
    // The first picture: (1, 1)..(14, 8) at 8 device units a drawing unit.
    const Frame& first = frames[0];
    const DevicePoint steps[4] = {{0, 0}, {104, 0}, {104, 56}, {0, 56}};
    EXPECT_NEAR(first.corners[0].x, 8, 1);
    EXPECT_NEAR(first.corners[0].y, 8, 1);
    for (int k = 1; k < 4; ++k) {
        EXPECT_EQ(first.corners[k].x - first.corners[0].x, steps[k].x) << k;
        EXPECT_EQ(first.corners[k].y - first.corners[0].y, steps[k].y) << k;
    }
    EXPECT_EQ(first.outline.size(), 4u);
    EXPECT_TRUE(first.clip.empty());
    EXPECT_EQ(first.hostImage, 1);
    // The rectangular clip: a device rectangle.
    EXPECT_EQ(frames[4].clip.size(), 4u);
    EXPECT_EQ(frames[5].clip.size(), 3u);  // the triangle
}

class ImageFramesInRegions : public RenderTest {};

// A round clip region makes an outline of many more than 20 points; seen
// edge-on the picture is a line and no frame.
TEST_F(ImageFramesInRegions, OutlinesOfAnyLengthAndPicturesSeenEdgeOn) {
    show();
    installFrameHost();
    drawing.userData = nullptr;
    AdStore* circle = adStoreCreate(AD_STORE_BLOCK_SIZE);
    AdStream* out = adStreamOpenWrite(circle);
    for (int i = 0; i < 64; ++i) {
        const double a = std::numbers::pi * i / 32, p[3] = {500 + 300 * std::cos(a), 500 + 300 * std::sin(a), 0};
        adStreamWritePoint3D(out, p);
    }
    adStreamCloseWrite(out);
    ASSERT_EQ(adPushClipRegions(&displayState, nullptr, nullptr), 1);
    ASSERT_EQ(adPushClipRegions(&displayState, circle, nullptr), 1);
    AdImageData image{};
    image.insertion[0] = image.insertion[1] = 100;
    image.size[0] = image.size[1] = 800;
    image.uVector[0] = 1, image.vVector[1] = 1;
    AdImageFrameRecord record{};
    AdMatrix4 matrices[1] = {adIdentityMatrix};
    adDrawImageFrames(&drawing, &image, matrices, &record);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_GT(frames[0].outline.size(), 20u);
    // Edge-on: v along the view direction.
    image.vVector[1] = 0, image.vVector[2] = 1;
    image.insertion[1] = 500;  // through the middle of the circle
    adDrawImageFrames(&drawing, &image, matrices, &record);
    EXPECT_EQ(frames.size(), 1u);
    EXPECT_GT(lines, 0);
    adPopClipRegions(&displayState);
    adPopClipRegions(&displayState);
    adStoreFree(circle);
}
