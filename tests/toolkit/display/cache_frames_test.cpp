// Frames of host-drawn images in the display-list cache: the host hears the
// same frames with the cache on as with it off, a replay after a pan hears
// what a regeneration there hears, the bytes of an image frame's record,
// and the host's pictures: opened once, released once when the display
// ends, never named by a frame after their release, external references'
// pictures included.
#include "cache_lists.h"
#include "displayed_drawing.h"

#include "toolkit/display/view.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <vector>

namespace {

struct Frame {
    std::int32_t hostImage;
    std::vector<DevicePoint> corners, outline, clip;
};

struct FrameHost {
    std::vector<Frame> frames;
    std::int32_t opened = 0;
    std::set<std::int32_t> released;
    std::int32_t releases = 0;
    std::int32_t framesOfReleased = 0;
};
FrameHost frameHost;

int openImage(const char*, std::int32_t* hostImage, void*) {
    *hostImage = ++frameHost.opened;
    return 1;
}
void imageFrame(AdImageFrameRecord* record, void*) {
    Frame f{record->hostImage, {record->corners, record->corners + 4}, {}, {}};
    f.outline.assign(record->outline, record->outline + record->outlineCount);
    if (record->clip) f.clip.assign(record->clip, record->clip + record->clipCount);
    if (frameHost.released.count(record->hostImage)) ++frameHost.framesOfReleased;
    frameHost.frames.push_back(f);
}
void releaseImage(void* record, void*) {
    ++frameHost.releases;
    frameHost.released.insert(static_cast<AdImageFrameRecord*>(record)->hostImage);
}
void ignoreMove(std::int32_t, std::int32_t, void*) {}
void ignorePolygon(const std::int16_t*, const DevicePoint*, void*) {}

// External references are looked for beside the images.
int findBesideImages(const char* name, char* pathOut, std::size_t capacity, void*) {
    std::snprintf(pathOut, capacity, "%s", (displayDataDir() + "images/" + name).c_str());
    return 1;
}

void installFrameHost() {
    frameHost = FrameHost{};
    adSetImageOpenHook(openImage);
    adSetImageFrameHook(imageFrame);
    adSetImageReleaseHook(releaseImage);
    adSetMoveToHook(ignoreMove);
    adSetLineToHook(ignoreMove);
    adSetPolygonHook(ignorePolygon);
    adSetXrefFinderHook(findBesideImages);
}

// Each point of a has one of b within a device unit and the other way
// round: drawing through the virtual device truncates twice, the clippers
// may start an outline at another vertex, and a corner a hair outside the
// device may be cut into two points a unit apart.
::testing::AssertionResult samePoints(const std::vector<DevicePoint>& a, const std::vector<DevicePoint>& b) {
    if (a.empty() != b.empty()) return ::testing::AssertionFailure() << a.size() << " points against " << b.size();
    for (const auto* pair : {&a, &b}) {
        const auto& other = pair == &a ? b : a;
        for (const DevicePoint& p : *pair) {
            const bool near = std::any_of(other.begin(), other.end(), [&](const DevicePoint& q) {
                return std::abs(p.x - q.x) <= 1 && std::abs(p.y - q.y) <= 1;
            });
            if (!near) return ::testing::AssertionFailure() << "no point near " << p.x << "," << p.y;
        }
    }
    return ::testing::AssertionSuccess();
}

void expectSameFrames(const std::vector<Frame>& a, const std::vector<Frame>& b) {
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(a[i].hostImage, b[i].hostImage);
        EXPECT_TRUE(samePoints(a[i].corners, b[i].corners));
        EXPECT_TRUE(samePoints(a[i].outline, b[i].outline));
        EXPECT_TRUE(samePoints(a[i].clip, b[i].clip));
    }
}

// Frames in the order of their pictures: a replay sends the root slot's
// frames in recording order, which is the drawing's.
std::vector<Frame> byImage(std::vector<Frame> frames) {
    std::stable_sort(frames.begin(), frames.end(),
                     [](const Frame& a, const Frame& b) { return a.hostImage < b.hostImage; });
    return frames;
}

constexpr std::int32_t kRect[4] = {0, 0, 360, 216};
const AdViewRecord kWhole{{0, 0, 1, 0}, {22.5, 13.5, 0, 1}, {0, 1, 0, 0}, 45, 27};

class CacheFrames : public DisplayedDrawing {
protected:
    std::vector<Frame> draw(AdViewRecord view) {
        frameHost.frames.clear();
        adMakeViewTransform(d, &view, kRect, nullptr);
        adDrawDrawing(d);
        return frameHost.frames;
    }
    void showImages(std::uint8_t caching) {
        adSetDisplayCaching(caching);
        AdViewRecord view{};
        ASSERT_TRUE(begin(displayDataDir() + "images/images.dxf", kRect, &view));
        installFrameHost();
    }
};

}  // namespace

TEST_F(CacheFrames, TheHostHearsTheSameFramesWithTheCacheOnAndAfterAReplay) {
    showImages(0);
    const auto off = draw(kWhole);
    ASSERT_EQ(off.size(), 7u) << "the host is asked for the missing picture too";
    closeDrawing();
    showImages(1);
    const auto recorded = draw(kWhole);
    EXPECT_EQ(frameHost.opened, 7);
    expectSameFrames(off, recorded);
    EXPECT_TRUE(d->display->cacheBlock.valid) << "frames of host-drawn images are recorded";
    const auto replayed = draw(kWhole);
    EXPECT_EQ(frameHost.opened, 7) << "a replay opens nothing";
    expectSameFrames(recorded, replayed);

    // A pan and a zoom inside the cached view: some pictures leave the view
    // or show only part of themselves.
    AdViewRecord moved = kWhole;
    adViewPan(&moved, 6.0, 3.0);
    moved.width /= 1.5, moved.height /= 1.5;
    EXPECT_EQ(adMakeViewTransform(d, &moved, kRect, nullptr), 0);
    const auto panned = draw(moved);
    adInvalidateViewCache(d);
    const auto regenerated = draw(moved);
    EXPECT_LT(regenerated.size(), off.size());
    expectSameFrames(byImage(regenerated), byImage(panned));
    EXPECT_EQ(frameHost.opened, 7) << "a regeneration reuses the pictures";
    closeDrawing();
    EXPECT_EQ(frameHost.releases, 7) << "each picture released once, when the display ends";
    EXPECT_EQ(frameHost.framesOfReleased, 0);
}

// The pictures of an external reference outlive the reference's display,
// which ends after every draw: a replay names them, so they are released
// with the top-level display, once each, and not opened again at the next
// regeneration.
TEST_F(CacheFrames, PicturesOfAnExternalReferenceLiveAsLongAsTheDisplay) {
    adSetDisplayCaching(1);
    AdViewRecord view{};
    ASSERT_TRUE(begin(displayDataDir() + "images/images_xref_host.dxf", kRect, &view));
    installFrameHost();
    const auto recorded = draw(kWhole);
    ASSERT_EQ(recorded.size(), 7u);
    EXPECT_EQ(frameHost.releases, 0) << "released while the cache names them";
    const auto replayed = draw(kWhole);
    expectSameFrames(recorded, replayed);
    adInvalidateViewCache(d);
    expectSameFrames(recorded, draw(kWhole));
    EXPECT_EQ(frameHost.opened, 7);
    EXPECT_EQ(frameHost.framesOfReleased, 0);
    closeDrawing();
    EXPECT_EQ(frameHost.releases, 7);
}

// A clip boundary that the view leaves out of the picture's visible part:
// no frame, where one without a clip boundary would have the host paint
// the picture whole.
TEST_F(CacheFrames, APictureWhoseClipBoundaryIsOutOfViewIsNotFramed) {
    showImages(0);
    // The view shows only the top-right corner of the rectangle-clipped
    // picture at (1, 19)..(14, 26), whose boundary keeps x 3.5 to 10.5.
    const AdViewRecord corner{{0, 0, 1, 0}, {13.0, 26.0, 0, 1}, {0, 1, 0, 0}, 4, 2.4};
    EXPECT_TRUE(draw(corner).empty());
    EXPECT_EQ(draw(kWhole).size(), 7u);
}

namespace {

void put32(std::vector<std::uint8_t>& out, std::int32_t v) {
    for (int k = 0; k < 4; ++k) out.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(v) >> (8 * k)));
}

}  // namespace

TEST_F(CacheLists, AnImageFrameIsOneSpecialRecordInTheRoot) {
    DevicePoint outline[3] = {{1000, 1000}, {9000, 1000}, {1000, 5000}};
    DevicePoint clip[3] = {{2000, 2000}, {3000, 2000}, {2000, 3000}};
    double boundary[6] = {0, 0, 1, 0, 0, 1};
    AdImageFrameRecord frame{{{1000, 1000}, {9000, 1000}, {9000, 5000}, {1000, 5000}}, 3, 3, outline, clip, 42,
                             boundary, 3};
    adRecImageFrame(&frame, &host);
    std::vector<std::uint8_t> expected = {0x20, 2};
    for (std::int32_t v : {42, 1000, 1000, 9000, 1000, 9000, 5000, 1000, 5000, 3, 1000, 1000, 9000, 1000, 1000, 5000,
                           3, 2000, 2000, 3000, 2000, 2000, 3000})
        put32(expected, v);
    EXPECT_EQ(list(AD_CACHE_ROOT), expected);
    // The host hears device units; the caller's record is left as it was.
    const std::string heard = "image-frame 42 10,10 90,10 90,50 10,50 | 10,10 90,10 10,50 | 20,20 30,20 20,30\n";
    EXPECT_EQ(host.stream(), heard);
    EXPECT_EQ(frame.corners[1].x, 9000);
    EXPECT_EQ(outline[1].x, 9000);
    // The replay hears the same record.
    adCacheEndRecording(&drawing);
    host.clear();
    adCacheReplay(&drawing);
    EXPECT_NE(host.stream().find(heard), std::string::npos) << host.stream();
}

// A list cut short inside an image frame's record, or one whose count runs
// past its end, ends the slot's replay without a frame.
TEST_F(CacheLists, ACutImageFrameRecordSendsNothing) {
    std::vector<std::uint8_t> record = {0x20, 2};
    for (std::int32_t v : {7, 0, 0, 10, 0, 10, 10, 0, 10, 1000000}) put32(record, v);
    for (std::size_t size : {record.size() - 3, record.size()}) {
        std::size_t at = 2;
        host.clear();
        EXPECT_FALSE(adCacheReplaySpecial(&drawing, 2, record.data(), size, at)) << size;
        EXPECT_EQ(host.stream(), "");
    }
}
