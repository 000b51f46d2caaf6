// Solid fill of segment loops: the sweep's pieces, the island rules of the
// three hatch styles, open loops, the fixed edge table, the event sort, the
// point-in-loop test and the glyph fill with and without the poly-polygon
// hook.
#include "fill_fixture.h"
#include "segment_loops.h"

#include "toolkit/display/fill.h"

#include <random>

namespace {

class SolidFill : public FillTest {
protected:
    std::string fill(LoopSet& loops, std::int16_t style) {
        host.clear();
        adHatchSolidFill(&drawing, matrices(), loops.size(), loops.counts.data(),
                         loops.stores.data(), style, 0.0);
        return host.stream();
    }
};

}  // namespace

TEST_F(SolidFill, PiecesOfASquareAndATriangle) {
    // The square is one piece from x 0 to 1. The triangle's first piece
    // starts at one point and its second ends at one. (The emission layer
    // hands polygons on counter-clockwise.)
    const struct {
        const char* name;
        Vertices loop;
        const char* stream;
    } cases[] = {
        {"square", square(0, 0, 1, 1), "polygon 4 10,0 10,10 0,10 0,0\n"},
        {"triangle", {{0, 0}, {2, 0}, {1, 1}}, "polygon 3 10,10 0,0 10,0\npolygon 3 10,0 20,0 10,10\n"},
    };
    for (const auto& c : cases) {
        LoopSet loops;
        loops.add(c.loop);
        EXPECT_EQ(fill(loops, 0), c.stream) << c.name;
    }
}

TEST_F(SolidFill, IslandRulesOfTheThreeStyles) {
    // Areas in device units (100 per square drawing unit). Outer 0..10,
    // middle 2..8, inner 4..6.
    const struct {
        const char* name;
        int loops;
        std::int16_t style;
        double area;
    } cases[] = {
        {"island, normal: the ring", 2, 0, 6400},
        {"island, outer: the ring", 2, 1, 6400},
        {"island, ignore: the whole square", 2, 2, 10000},
        {"nested three, normal: ring and innermost", 3, 0, 6800},
        {"nested three, outer: the ring alone", 3, 1, 6400},
        {"nested three, ignore: everything", 3, 2, 10000},
        {"unknown style: as normal", 3, 7, 6800},
    };
    const Vertices squares[] = {square(0, 0, 10, 10), square(2, 2, 8, 8), square(4, 4, 6, 6)};
    for (const auto& c : cases) {
        LoopSet loops;
        for (int l = 0; l < c.loops; ++l) loops.add(squares[l]);
        EXPECT_NEAR(polygonArea(fill(loops, c.style)), c.area, 1.0) << c.name;
    }
}

TEST_F(SolidFill, IdenticalLoopsDropTheFirstExamined) {
    LoopSet loops;
    loops.add(square(0, 0, 10, 10));
    loops.add(square(0, 0, 10, 10));
    fill(loops, 0);
    EXPECT_EQ(loops.counts[0], 0);
    EXPECT_EQ(loops.counts[1], 4);
    EXPECT_NEAR(polygonArea(host.stream()), 10000, 1.0);
}

TEST_F(SolidFill, OpenAndBrokenLoopsAreLeftOut) {
    const struct {
        const char* name;
        double gap;
        double area;
    } cases[] = {
        {"gap of 0.001: not filled", 0.001, 100},
        {"gap of 1e-6: closed", 1e-6, 200},
        {"not a number", std::nan(""), 100},
        {"infinite", 1e308 * 10, 100},
    };
    for (const auto& c : cases) {
        LoopSet loops;
        loops.add(square(0, 0, 1, 1), c.gap);
        loops.add(square(5, 5, 6, 6));
        EXPECT_NEAR(polygonArea(fill(loops, 0)), c.area, 1.0) << c.name;
    }
}

namespace {

// A comb of teeth horizontal fingers from a spine at x 0 to x 10: every
// finger puts two edges across the whole sweep.
Vertices comb(int teeth) {
    Vertices v{{0, 0}};
    for (int k = 0; k < teeth; ++k) {
        const double y = 2.0 * k;
        v.push_back({10, y});
        v.push_back({10, y + 1});
        v.push_back({0.5, y + 1});
        v.push_back({0.5, y + 2});
    }
    v.push_back({0, 2.0 * teeth});
    return v;
}

}  // namespace

TEST_F(SolidFill, TheEdgeTableNeverOverflows) {
    showScaled(1.0, 100000.0);
    const struct {
        int teeth;
        std::int32_t error;
        bool drawn;
    } cases[] = {
        {400, AD_OK, true},                    // 800 edges at once: fits
        {404, AD_ERR_FILL_TOO_LARGE, false},  // 808: refused whole
        {5000, AD_ERR_FILL_TOO_LARGE, false},
    };
    for (const auto& c : cases) {
        adClearError();
        LoopSet loops;
        loops.add(comb(c.teeth));
        EXPECT_EQ(!fill(loops, 0).empty(), c.drawn) << c.teeth;
        EXPECT_EQ(adGlobals->errorCode, c.error) << c.teeth;
    }
}

TEST(EdgeEvents, CompareOrdersByXThenYAndSlopeDescending) {
    const struct {
        AdEdgeEvent a, b;
        int order;
    } cases[] = {
        {{0, 5, 1, 0, 1}, {1, 0, 0, 0, 2}, -1},
        {{1, 5, 1, 0, 1}, {1, 6, 0, 0, 2}, 1},
        {{1, 5, 2, 0, 1}, {1, 5, 1, 0, 2}, -1},
        {{1, 5, 1, 0, 1}, {1, 5, 1, 9, -3}, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(adHatchCompareEdgeEvents(&c.a, &c.b), c.order);
}

TEST(EdgeEvents, RunsMergeByXWithTheEarlierRunFirst) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> x(0, 200);
    std::vector<AdEdgeEvent> events;
    for (std::int32_t i = 1; i <= 5000; ++i)
        events.push_back(AdEdgeEvent{static_cast<double>(x(random)), static_cast<double>(i % 13), 0, 0, i});
    std::vector<AdEdgeEvent> sorted = events;
    double range = 0;
    ASSERT_EQ(adHatchSortEdgeEvents(&sorted, AD_ACTIVE_EDGE_LIMIT, &range), 1);
    ASSERT_EQ(sorted.size(), events.size());
    EXPECT_EQ(range, sorted.back().x - sorted.front().x);
    std::vector<bool> seen(events.size() + 1, false);
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        seen[static_cast<std::size_t>(sorted[i].edge)] = true;
        if (i == 0) continue;
        ASSERT_LE(sorted[i - 1].x, sorted[i].x);
        // Equal x: the run of the earlier event comes first.
        const auto run = [](const AdEdgeEvent& e) { return (e.edge - 1) / AD_ACTIVE_EDGE_LIMIT; };
        if (sorted[i - 1].x == sorted[i].x) {
            ASSERT_LE(run(sorted[i - 1]), run(sorted[i]));
        }
    }
    for (std::size_t i = 1; i < seen.size(); ++i) EXPECT_TRUE(seen[i]) << i;
}

TEST(PointInLoop, InsideOnAVertexOnAnEdgeAndOutside) {
    const AdSegment loop[] = {{0, 0, 4, 0}, {4, 0, 4, 4}, {4, 4, 0, 4}, {0, 4, 0, 0}};
    const struct {
        double x, y;
        int inside;
        std::uint8_t vertex;
    } cases[] = {
        {2, 2, 1, 0}, {4, 4, 1, 1}, {4.000001, 0, 1, 1}, {4, 2, 1, 0}, {5, 2, 0, 0}, {-1, 2, 0, 0}, {2, 5, 0, 0},
    };
    for (const auto& c : cases) {
        std::uint8_t vertex = 9;
        EXPECT_EQ(adHatchPointInLoop(loop, 4, c.x, c.y, 1e-4, &vertex), c.inside) << c.x << "," << c.y;
        EXPECT_EQ(vertex, c.vertex) << c.x << "," << c.y;
    }
    const double a[4] = {0, 0, 1, 1}, touching[4] = {1, 0, 2, 1}, apart[4] = {1.5, 0, 2, 1};
    EXPECT_EQ(adHatchBoxesOverlap(a, touching), 1);
    EXPECT_EQ(adHatchBoxesOverlap(a, apart), 0);
}

TEST_F(SolidFill, GlyphLoopsAsContoursOrJoinedIntoOne) {
    LoopSet loops;
    loops.add(square(0, 0, 10, 10));
    loops.add(square(3, 3, 6, 6));
    host.clear();
    adFillLoops(&drawing, matrices(), loops.size(), loops.counts.data(), loops.stores.data());
    EXPECT_EQ(host.stream(), "polypolygon 2 | 100,0 0,0 0,100 100,100 | 60,30 30,30 30,60 60,60\n");
    // Joined: the outer points, the inner points, the inner first point,
    // then the outer last point; the fill's triangles cover the ring.
    adSetPolyPolygonHook(nullptr);
    host.clear();
    adFillLoops(&drawing, matrices(), loops.size(), loops.counts.data(), loops.stores.data());
    EXPECT_NEAR(polygonArea(host.stream()), 10000 - 900, 1.0);
}

TEST_F(SolidFill, GlyphLoopsPastAContourAreRefused) {
    adSetPolyPolygonHook(nullptr);
    Vertices many;
    for (int k = 0; k < 40000; ++k) many.push_back({std::cos(k * 1e-4), std::sin(k * 1e-4)});
    LoopSet loops;
    loops.add(many);
    host.clear();
    adClearError();
    adFillLoops(&drawing, matrices(), loops.size(), loops.counts.data(), loops.stores.data());
    EXPECT_EQ(host.stream(), "");
    EXPECT_EQ(adGlobals->errorCode, AD_ERR_FILL_TOO_LARGE);
}
