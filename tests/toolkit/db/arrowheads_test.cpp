// Standard arrowhead blocks: the geometry of every arrowhead, drawn BYBLOCK
// between its BLOCK and ENDBLK; names told apart ignoring case and the
// leading underscore; nothing left behind by a build that fails.
#include "entity_list_fixture.h"

#include "toolkit/db/host_fault.h"

#include <gtest/gtest.h>

namespace {

using Values = std::vector<double>;

// An expected entity: LINE x1 y1 x2 y2; CIRCLE cx cy r; SOLID four corners
// (x, y); POLYLINE flags, start width, end width; VERTEX x y bulge; ARC cx cy
// r start end; SEQEND nothing.
struct Expected {
    std::uint16_t type;
    Values values;
};

constexpr std::uint16_t L = AD_ENTITY_LINE, C = AD_ENTITY_CIRCLE, S = AD_ENTITY_SOLID, P = AD_ENTITY_POLYLINE,
                        X = AD_ENTITY_VERTEX, Q = AD_ENTITY_SEQEND, A = AD_ENTITY_ARC;

Values valuesOf(const AdEntityHeader& h, const AdEntityData& d) {
    switch (h.type) {
        case AD_ENTITY_LINE: return {d.line.start[0], d.line.start[1], d.line.end[0], d.line.end[1]};
        case AD_ENTITY_CIRCLE: return {d.circle.centre[0], d.circle.centre[1], d.circle.radius};
        case AD_ENTITY_SOLID: {
            Values v;
            for (const auto& corner : d.trace.corners) v.insert(v.end(), {corner[0], corner[1]});
            return v;
        }
        case AD_ENTITY_POLYLINE:
            return {static_cast<double>(d.polyline.flags), d.polyline.startWidth, d.polyline.endWidth};
        case AD_ENTITY_VERTEX: return {d.vertex.point[0], d.vertex.point[1], d.vertex.bulge};
        case AD_ENTITY_ARC:
            return {d.arc.centre[0], d.arc.centre[1], d.arc.radius, d.arc.startAngle, d.arc.endAngle};
        default: return {};
    }
}

struct Case {
    const char* name;
    std::vector<Expected> entities;
};

const Expected kTailTip = {L, {0, 0, -1, 0}};
const Expected kTailHalf = {L, {-0.5, 0, -1, 0}};

const std::vector<Case> kCases = {
    {"NONE", {}},
    {"_CLOSED", {{L, {-1, 0.166667, 0, 0}}, {L, {0, 0, -1, -0.166667}}, {L, {-1, 0.166667, -1, -0.166667}}, kTailTip}},
    {"closedblank", {{L, {-1, 0.166667, 0, 0}}, {L, {0, 0, -1, -0.166667}}, {L, {-1, 0.166667, -1, -0.166667}}}},
    {"_Dot", {{P, {1, 0.5, 0.5}}, {X, {-0.25, 0, 1}}, {X, {0.25, 0, 1}}, {Q, {}}, kTailHalf}},
    {"DOTSMALL", {{P, {1, 0.5, 0.5}}, {X, {-0.0625, 0, 1}}, {X, {0.0625, 0, 1}}, {Q, {}}}},
    {"_DOTBLANK", {{C, {0, 0, 0.5}}, kTailHalf}},
    {"ORIGIN", {{C, {0, 0, 0.5}}, kTailTip}},
    {"_OPEN", {{L, {-1, 0.166667, 0, 0}}, {L, {0, 0, -1, -0.166667}}, kTailTip}},
    {"_OPEN90", {{L, {-0.5, 0.5, 0, 0}}, {L, {0, 0, -0.5, -0.5}}, kTailTip}},
    {"_OPEN30", {{L, {-1, 0.267949, 0, 0}}, {L, {0, 0, -1, -0.267949}}, kTailTip}},
    {"_OBLIQUE", {{L, {-0.5, -0.5, 0.5, 0.5}}}},
    {"_ARCHTICK", {{P, {1, 0.15, 0.15}}, {X, {-0.25, 0, 0}}, {X, {0.5, 0.5, 0}}, {Q, {}}}},
    {"_BOXFILLED", {{S, {-0.5, 0.5, 0.5, 0.5, -0.5, -0.5, 0.5, -0.5}}, kTailHalf}},
    {"_BOXBLANK",
     {{L, {-0.5, -0.5, 0.5, -0.5}},
      {L, {0.5, -0.5, 0.5, 0.5}},
      {L, {0.5, 0.5, -0.5, 0.5}},
      {L, {-0.5, 0.5, -0.5, -0.5}},
      kTailHalf}},
    {"_DATUMFILLED", {{S, {0, 0.57735, -1, 0, 0, -0.57735, 0, -0.57735}}}},
    {"_DATUMBLANK", {{L, {0, 0.57735, -1, 0}}, {L, {-1, 0, 0, -0.57735}}, {L, {0, -0.57735, 0, 0.57735}}}},
    {"_INTEGRAL",
     {{A, {0.444888, -0.091335, 0.454167, 102 * 3.14159265358979323846 / 180, 168 * 3.14159265358979323846 / 180}},
      {A, {-0.444888, 0.091335, 0.454167, 282 * 3.14159265358979323846 / 180,
           348 * 3.14159265358979323846 / 180}}}},
};

class Arrowheads : public EntityListTest {
protected:
    void TearDown() override {
        HostFailAllocationAfter(-1);
        EntityListTest::TearDown();
    }
    // The entities of a built block, BLOCK and ENDBLK included.
    std::vector<Entity> built(const AdHandle& block) {
        std::vector<Entity> result;
        AdRecordList* list = adBlockEntityList(d, &block);
        Entity e;
        adEntityRewind(list);
        while (list && adEntityNext(list, &e.header, &e.data)) result.push_back(e);
        return result;
    }
};

TEST_F(Arrowheads, EveryArrowheadHasItsGeometryDrawnByBlock) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        AdBlockHeader record;
        AdHandle block;
        ASSERT_EQ(adArrowheadBlock(d, &record, c.name, &block), 1);
        AdBlockHeader stored;
        ASSERT_EQ(adBlockByHandle(d, &block, &stored), 1);
        EXPECT_STREQ(stored.name, c.name);

        const std::vector<Entity> entities = built(block);
        ASSERT_EQ(entities.size(), c.entities.size() + 2);
        EXPECT_EQ(entities.front().header.type, AD_ENTITY_BLOCK);
        EXPECT_STREQ(entities.front().data.block.name, c.name);
        EXPECT_EQ(entities.back().header.type, AD_ENTITY_ENDBLK);
        for (std::size_t i = 0; i < entities.size(); ++i) {
            SCOPED_TRACE(i);
            const AdEntityHeader& h = entities[i].header;
            EXPECT_EQ(h.color, 0);
            EXPECT_EQ(h.lineweight, -2);
            EXPECT_EQ(V(h.linetype), kByBlock);
            EXPECT_FALSE(h.flags & AD_ENTITY_FLAG_PAPER_SPACE);
            if (i == 0 || i + 1 == entities.size()) continue;
            const Expected& expected = c.entities[i - 1];
            ASSERT_EQ(h.type, expected.type);
            const Values values = valuesOf(h, entities[i].data);
            ASSERT_EQ(values.size(), expected.values.size());
            for (std::size_t k = 0; k < values.size(); ++k) EXPECT_NEAR(values[k], expected.values[k], 1e-12) << k;
        }
    }
}

TEST_F(Arrowheads, CaseAndUnderscoreDoNotMatter) {
    std::vector<std::uint16_t> first;
    for (const char* name : {"CLOSED", "closed", "_Closed", "_CLOSED"}) {
        SCOPED_TRACE(name);
        AdBlockHeader record;
        AdHandle block;
        ASSERT_EQ(adArrowheadBlock(d, &record, name, &block), 1);
        std::vector<std::uint16_t> types;
        for (const Entity& e : built(block)) types.push_back(e.header.type);
        EXPECT_EQ(types, (std::vector<std::uint16_t>{AD_ENTITY_BLOCK, L, L, L, L, AD_ENTITY_ENDBLK}));
    }
}

TEST_F(Arrowheads, EmptyAndUnknownNamesBuildNothing) {
    const std::int32_t blocks = adBlockCount(d);
    for (const char* name : {"", "_", "ARROW", "_ARROW", "CLOSEDX"}) {
        SCOPED_TRACE(name);
        AdBlockHeader record;
        AdHandle block = H(0x77);
        EXPECT_EQ(adArrowheadBlock(d, &record, name, &block), 0);
        EXPECT_EQ(V(block), 0u);
        EXPECT_EQ(adBlockCount(d), blocks);
    }
}

// A build that fails at any allocation leaves no block header, entity or
// index entry behind.
TEST_F(Arrowheads, FailedBuildLeavesNothingBehind) {
    const std::int32_t blocks = adBlockCount(d);
    int failures = 0;
    for (std::int32_t n = 0;; ++n) {
        ASSERT_LT(n, 200);
        AdBlockHeader record;
        AdHandle block;
        AdHandle next;
        adNextHandle(d, &next);
        adSetHandleSeed(d, &next);
        HostFailAllocationAfter(n);
        const int builtOk = adArrowheadBlock(d, &record, "_DOT", &block);
        HostFailAllocationAfter(-1);
        if (builtOk) break;
        ++failures;
        EXPECT_EQ(adBlockCount(d), blocks);
        AdHandle byName;
        EXPECT_EQ(adBlockHandleByName(d, "_DOT", &byName), 0);
        for (std::uint64_t h = V(next); h < V(next) + 8; ++h) {
            const AdHandle handle = H(h);
            EXPECT_EQ(adHandleIndexFind(d, &handle), nullptr) << n;
        }
    }
    EXPECT_GT(failures, 5);
    EXPECT_EQ(adBlockCount(d), blocks + 1);
}

TEST_F(Arrowheads, BlockEntityNamesAreOneToThirtyTwoCharacters) {
    AdRecordList* list = blockLists[0];
    Entity e;
    const std::string longest(32, 'N');
    EXPECT_EQ(adArrowAddBlockEntity(d, list, &e.header, &e.data, "", nullptr, nullptr), 0);
    EXPECT_EQ(adArrowAddBlockEntity(d, list, &e.header, &e.data, (longest + "N").c_str(), nullptr, nullptr), 0);
    EXPECT_EQ(adListCount(list), 0);
    const double base[3] = {1, 2, 3};
    ASSERT_EQ(adArrowAddBlockEntity(d, list, &e.header, &e.data, longest.c_str(), base, "x.dwg"), 1);
    ASSERT_EQ(adEntityByHandle(d, list, &e.header.handle, &e.header, &e.data), 1);
    EXPECT_EQ(e.data.block.name, longest);
    EXPECT_STREQ(e.data.block.xrefPath, "x.dwg");
    EXPECT_EQ(e.data.block.basePoint[2], 3);
}

TEST_F(Arrowheads, PolylineSwitches) {
    struct PolylineCase {
        int closed, curveFit, spline, bezier, smooth, smoothType, ltgen;
        int result;
        std::int16_t flags, curveType;
    };
    const PolylineCase cases[] = {
        {1, 0, 0, 0, 0, 0, 0, 1, 1, 0},   {0, 1, 1, 0, 0, 0, 1, 1, 134, 0}, {0, 0, 0, 1, 0, 0, 0, 1, 0, 8},
        {0, 0, 0, 0, 1, 2, 0, 1, 0, 5},   {0, 0, 0, 0, 1, 3, 0, 1, 0, 6},   {0, 0, 0, 0, 1, 4, 0, 0, 0, 0},
    };
    AdRecordList* list = blockLists[0];
    for (const PolylineCase& c : cases) {
        Entity e;
        const std::int32_t count = adListCount(list);
        ASSERT_EQ(adArrowAddPolyline(d, list, &e.header, &e.data, c.closed, c.curveFit, c.spline, c.bezier, c.smooth,
                                     c.smoothType, c.ltgen, 2.5, 0.1, 0.2),
                  c.result);
        if (!c.result) {
            EXPECT_EQ(adListCount(list), count);
            continue;
        }
        ASSERT_EQ(adEntityByHandle(d, list, &e.header.handle, &e.header, &e.data), 1);
        EXPECT_EQ(e.data.polyline.flags, c.flags);
        EXPECT_EQ(e.data.polyline.curveType, c.curveType);
        EXPECT_EQ(e.data.polyline.elevation, 2.5);
        EXPECT_EQ(e.data.polyline.endWidth, 0.2);
    }
}

TEST(ArrowheadIndex, ClassifiesNames) {
    const struct {
        const char* name;
        std::int16_t code;
    } cases[] = {
        {"", 0},        {"_CLOSED", 1},   {"_open", 2},       {"_Dot", 3},     {"_ORIGIN", 4},  {"_OPEN90", 5},
        {"_NONE", 6},   {"_oblique", 7},  {"_OBLIQUE", 7},    {"OBLIQUE", 8},  {"_ARCHTICK", 8}, {"CLOSED", 8},
        {"_CLOSEDX", 8},
    };
    for (const auto& c : cases) {
        std::int16_t code = -1;
        EXPECT_EQ(adArrowheadIndex(c.name, &code), 1);
        EXPECT_EQ(code, c.code) << c.name;
    }
}

}  // namespace
