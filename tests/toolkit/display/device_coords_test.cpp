// World to device and back, with and without the display-list cache's
// window, and the one double-to-device conversion.
#include "render_fixture.h"

#include <cmath>
#include <limits>

namespace {

class DeviceCoords : public RenderTest {};

// A view turned and scaled onto the device, with a depth axis: world z goes
// to device depth, so only points at depth 0 come back unchanged.
AdMatrix4 turnedView() {
    AdMatrix4 m = adIdentityMatrix;
    adMatrixRotateZ(0.3, &m);
    adMatrixScaleAxes(40, 40, 40, &m);
    adMatrixPostTranslate(320, 240, 0, &m);
    return m;
}

}  // namespace

TEST(DeviceCoord, TruncatesTowardZeroAndSaturates) {
    constexpr std::int32_t lo = std::numeric_limits<std::int32_t>::min();
    constexpr std::int32_t hi = std::numeric_limits<std::int32_t>::max();
    const struct {
        double value;
        std::int32_t device;
    } cases[] = {
        {0.0, 0},        {2.9, 2},          {-2.9, -2},     {40000.5, 40000}, {-0.5, 0},
        {2147483646.9, 2147483646},         {2147483647.0, hi}, {3e9, hi},  {-3e9, lo},
        {1e300, hi},     {-1e300, lo},      {std::numeric_limits<double>::infinity(), hi},
        {-std::numeric_limits<double>::infinity(), lo}, {std::nan(""), 0},
    };
    for (const auto& c : cases) EXPECT_EQ(adDeviceCoord(c.value), c.device) << c.value;
}

TEST_F(DeviceCoords, DepthZeroPointsComeBackAndOthersLandOnDepthZero) {
    show(turnedView());
    const struct {
        double world[3];
        double back[3];
    } cases[] = {
        {{0, 0, 0}, {0, 0, 0}},
        {{12.5, -3.25, 0}, {12.5, -3.25, 0}},
        {{1e5, 2e5, 0}, {1e5, 2e5, 0}},
        {{2, 3, 7}, {2, 3, 0}},  // same device position, depth 0
    };
    for (const auto& c : cases) {
        double device[2], world[3];
        adWorldToDevice(&drawing, c.world, device);
        ASSERT_EQ(adDeviceToWorld(&drawing, device, world), 1);
        for (int j = 0; j < 3; ++j) EXPECT_NEAR(world[j], c.back[j], 1e-9 * (1 + std::fabs(c.back[j]))) << j;
    }
}

TEST_F(DeviceCoords, TheCacheWindowMapsTheVirtualDeviceOntoTheRealOne) {
    show(turnedView());
    const double world[3] = {3, 4, 0};
    double plain[2];
    adWorldToDevice(&drawing, world, plain);
    displayState.caching = 1;
    displayState.cache = AdCacheMapping{100, 50, 400, 300, 800, 600};
    double device[2];
    adWorldToDevice(&drawing, world, device);
    EXPECT_NEAR(device[0], (plain[0] - 100) * 2, 1e-9);
    EXPECT_NEAR(device[1], (plain[1] - 50) * 2, 1e-9);
    double back[3];
    ASSERT_EQ(adDeviceToWorld(&drawing, device, back), 1);
    EXPECT_NEAR(back[0], 3, 1e-9);
    EXPECT_NEAR(back[1], 4, 1e-9);
    // An empty window or device divides by nothing: the coordinates pass.
    displayState.cache = AdCacheMapping{};
    adWorldToDevice(&drawing, world, device);
    EXPECT_EQ(device[0], plain[0]);
    EXPECT_TRUE(std::isfinite(device[1]));
}

TEST_F(DeviceCoords, ASingularViewHasNoWayBack) {
    AdMatrix4 flat = adIdentityMatrix;
    flat.m[1][1] = 0;
    show(flat);
    const double device[2] = {1, 2};
    double world[3] = {7, 7, 7};
    EXPECT_EQ(adDeviceToWorld(&drawing, device, world), 0);
    EXPECT_EQ(world[0], 7);
}
