// REGION outlines: the renderer's edges joined into loops, loops kept apart
// by zero-width bridges through their first points.
#include "golden.h"
#include "store_values.h"

#include "toolkit/db/started_toolkit.h"
#include "toolkit/display/region_outline.h"

#include <vector>

namespace {

class RegionOutline : public StartedToolkit {
protected:
    // What a write puts in the stream, as x, y values.
    template <typename Write>
    std::vector<double> outline(Write write) {
        AdStore* store = adStoreCreate(AD_STORE_BLOCK_SIZE);
        AdStream* out = adStreamOpenWrite(store);
        EXPECT_EQ(write(out), 1);
        adStreamCloseWrite(out);
        const std::vector<double> values = storeDoubles(store);
        adStoreFree(store);
        return values;
    }
};

}  // namespace

TEST_F(RegionOutline, LoopsAreJoinedEndToEnd) {
    const struct {
        const char* name;
        std::vector<AdRegionLoop> loops;
        std::vector<double> outline;
    } cases[] = {
        {"a square as four segments: one closed loop of five points, then its first point",
         {{0, 0, 1, 0}, {1, 0, 1, 1}, {1, 1, 0, 1}, {0, 1, 0, 0}},
         {0, 1, 0, 0, 1, 0, 1, 1, 0, 1, 0, 1}},
        {"a segment the wrong way round is turned",
         {{0, 0, 1, 0}, {1, 1, 1, 0}, {1, 1, 0, 0}},
         {1, 1, 0, 0, 1, 0, 1, 1, 1, 1}},
        {"two open strips stay apart, each closed, bridged through their first points",
         {{0, 0, 1, 0, 1, 1}, {5, 5, 6, 5}},
         {0, 0, 1, 0, 1, 1, 1, 1, 5, 5, 6, 5, 6, 5, 5, 5, 0, 0}},
        {"ends that meet within the tolerance", {{0, 0, 2, 0}, {2.0000001, 0, 2, 2}}, {0, 0, 2, 0, 2, 2, 2, 2, 0, 0}},
        {"nothing", {}, {}},
    };
    for (const auto& c : cases) {
        std::vector<AdRegionLoop> loops = c.loops;
        EXPECT_EQ(outline([&](AdStream* out) { return adWriteRegionLoops(loops, out); }), c.outline) << c.name;
    }
}

// A unit square face through the solid-model renderer; a region without
// SAT text gives an empty outline.
TEST_F(RegionOutline, FromTheRenderer) {
    const std::string text = readText(std::string(VT_TEST_DATA_DIR) + "/sat/square_103.sat");
    AdStore* sat = adStoreCreate(AD_STORE_BLOCK_SIZE);
    AdStream* out = adStreamOpenWrite(sat);
    adStreamWrite(out, text.data(), static_cast<std::int32_t>(text.size()));
    adStreamCloseWrite(out);
    const std::vector<double> square = outline([&](AdStream* s) { return adRegionOutline(sat, s, 10); });
    adStoreFree(sat);
    ASSERT_EQ(square.size(), 2u * 6) << "five points of a closed loop and its first point again";
    EXPECT_EQ(square[0], square[8]);
    EXPECT_EQ(square[1], square[9]);
    EXPECT_EQ(square[10], square[0]);
    for (double v : square) EXPECT_TRUE(v == 0.0 || v == 1.0) << v;
    EXPECT_TRUE(outline([](AdStream* s) { return adRegionOutline(nullptr, s, 10); }).empty());
}
