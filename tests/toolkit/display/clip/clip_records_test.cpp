// Polygon and strip records, the wrappers, results that replace an operand,
// running out of memory, and hostile input.
#include "clip_fixture.h"
#include "toolkit/db/scratch_fixture.h"

#include <cmath>
#include <numbers>
#include <limits>

namespace {

const std::vector<Contour> kSquaresIntersect{{0, {{2, 1}, {1, 1}, {1, 2}, {2, 2}}}};

}  // namespace

TEST(ClipRecords, BuildCopyReadAndFree) {
    const Ring points = box(0, 0, 2, 1);
    Poly one;
    ASSERT_EQ(adClipPolygonFromPoints(one.get(), 4, points.data()), 1);
    EXPECT_EQ(contoursOf(one.get()), (std::vector<Contour>{{0, points}}));

    Poly copy;
    ASSERT_EQ(adClipPolygonCopy(copy.get(), one.get()), 1);
    EXPECT_NE(adClipPolygonContourPoints(copy.get(), 0), adClipPolygonContourPoints(one.get(), 0));
    EXPECT_EQ(contoursOf(copy.get()), contoursOf(one.get()));

    const std::int32_t counts[] = {3, 0};
    Poly two;
    ASSERT_EQ(adClipPolygonAlloc(two.get(), 2, counts), 1);
    EXPECT_EQ(adClipPolygonContourCount(two.get()), 2);
    EXPECT_EQ(adClipPolygonContourSize(two.get(), 0), 3);
    EXPECT_EQ(adClipPolygonContourSize(two.get(), 1), 0);
    EXPECT_EQ(two.p.holeFlags[0], 0);
    // Indexes outside the polygon read as nothing.
    EXPECT_EQ(adClipPolygonContourSize(two.get(), 2), 0);
    EXPECT_EQ(adClipPolygonContourPoints(two.get(), -1), nullptr);

    adClipPolygonFree(two.get());
    EXPECT_EQ(two.p.contourCount, 0);
    EXPECT_EQ(two.p.contours, nullptr);
    ASSERT_EQ(adClipPolygonAlloc(two.get(), 0, nullptr), 1);
    EXPECT_EQ(two.p.contours, nullptr);
}

TEST(ClipRecords, WrappersCountWhatTheyProduce) {
    Poly a{box(0, 0, 2, 2)}, b{box(1, 1, 3, 3)}, result;
    EXPECT_EQ(adClipIntersect(a.get(), b.get(), result.get()), 1);
    EXPECT_EQ(contoursOf(result.get()), kSquaresIntersect);
    Strips strips;
    EXPECT_EQ(adClipIntersectStrips(a.get(), b.get(), strips.get()), 1);
    EXPECT_EQ(adTriStripsSize(strips.get(), 0), 4);
    EXPECT_EQ(adTriStripsPoints(strips.get(), 1), nullptr);
    Strips own;
    ASSERT_EQ(adClipPolygonToStrips(a.get(), own.get()), 1);
    EXPECT_EQ(stripsOf(own.get()), (std::vector<Ring>{{{0, 0}, {2, 0}, {0, 2}, {2, 2}}}));
    adTriStripsFree(own.get());
    EXPECT_EQ(adTriStripsCount(own.get()), 0);
}

// The result may be either operand; the operand's old contents are released
// (the sanitizer build sees any leak).
TEST(ClipRecords, AResultReplacesTheOperandItIs) {
    for (int which = 0; which < 2; ++which) {
        Poly a{box(0, 0, 2, 2)}, b{box(1, 1, 3, 3)};
        AdClipPolygon* target = which == 0 ? a.get() : b.get();
        ASSERT_EQ(adClipBoolean(AD_CLIP_INTERSECTION, a.get(), b.get(), target), 1);
        EXPECT_EQ(contoursOf(target), kSquaresIntersect);
    }
    Poly a{box(0, 0, 2, 2)}, empty;
    ASSERT_EQ(adClipBoolean(AD_CLIP_INTERSECTION, a.get(), empty.get(), a.get()), 1);
    EXPECT_EQ(a.p.contourCount, 0);
    EXPECT_EQ(a.p.contours, nullptr);
}

class ClipMemory : public ScratchFixture {};

// Every allocation of every operation fails in turn: the operation answers 0
// with the memory error, leaks nothing, and leaves its operands, an operand
// that is the result included, as they were.
TEST_F(ClipMemory, RunningOutLeavesEverythingAsItWas) {
    const std::vector<Ring> subjectRings{box(0, 0, 4, 4), box(1, 1, 3, 3), {{0, 0}, {5, 5}, {5, 0}, {0, 5}}};
    const std::vector<Ring> clipRings{box(2, -1, 6, 2), {{1, 1}, {6, 3}, {1, 4}}};
    for (AdClipOp op : {AD_CLIP_DIFFERENCE, AD_CLIP_INTERSECTION, AD_CLIP_XOR, AD_CLIP_UNION}) {
        for (int mode = 0; mode < 3; ++mode) {  // contours into a fresh result, into the subject; strips
            bool done = false;
            for (std::int32_t n = 0; !done; ++n) {
                SCOPED_TRACE(testing::Message() << "operation " << op << " mode " << mode << " failing allocation " << n);
                ASSERT_LT(n, 1000);
                Poly subject(subjectRings), clip(clipRings), result;
                const std::vector<Contour> before = contoursOf(subject.get());
                Strips strips;
                state.get()->errorCode = 0;
                HostFailAllocationAfter(n);
                int ok = mode == 0   ? adClipBoolean(op, subject.get(), clip.get(), result.get())
                         : mode == 1 ? adClipBoolean(op, subject.get(), clip.get(), subject.get())
                                     : adClipBooleanStrips(op, subject.get(), clip.get(), strips.get());
                HostFailAllocationAfter(-1);
                done = ok == 1;
                if (done) continue;
                EXPECT_EQ(state.get()->errorCode, AD_ERR_CLIP_MEMORY);
                EXPECT_EQ(fatal.conditions().back(), AD_FATAL_NO_MEMORY);
                EXPECT_EQ(contoursOf(subject.get()), before);
                EXPECT_EQ(contoursOf(clip.get()), contoursOf(Poly(clipRings).get()));
                EXPECT_EQ(result.p.contours, nullptr);
                EXPECT_EQ(strips.s.strips, nullptr);
            }
        }
    }
}

TEST_F(ClipMemory, RecordRoutinesFailWholeAndEmpty) {
    const Ring points = box(0, 0, 1, 1);
    const std::int32_t counts[] = {4, 3};
    Poly source{box(0, 0, 1, 1), {{0, 0}, {1, 0}, {0, 1}}};
    for (int routine = 0; routine < 3; ++routine) {
        for (std::int32_t n = 0;; ++n) {
            Poly out;
            HostFailAllocationAfter(n);
            const int ok = routine == 0   ? adClipPolygonFromPoints(out.get(), 4, points.data())
                           : routine == 1 ? adClipPolygonAlloc(out.get(), 2, counts)
                                          : adClipPolygonCopy(out.get(), source.get());
            HostFailAllocationAfter(-1);
            if (ok) break;
            EXPECT_EQ(state.get()->errorCode, AD_ERR_CLIP_MEMORY);
            EXPECT_EQ(out.p.contourCount, 0);
            EXPECT_EQ(out.p.contours, nullptr);
        }
    }
}

// What hostile operands give: each is intersected with the square (0,0)-(2,2)
// and united with nothing.
TEST_F(ClipMemory, HostileOperandsAreSafe) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        const char* name;
        std::vector<Ring> rings;
        std::vector<Contour> intersection;
    };
    const std::vector<Case> cases = {
        {"a NaN coordinate drops its contour", {{{0, 0}, {nan, 0}, {1, 1}}, box(1, 1, 3, 3)}, kSquaresIntersect},
        {"an infinite coordinate drops its contour", {{{0, 0}, {inf, 1}, {1, -inf}}, box(1, 1, 3, 3)}, kSquaresIntersect},
        {"a contour without area", {{{0, 0}, {1, 1}, {2, 2}}}, {}},
        {"a contour on one line across the square", {{{-1, 1}, {3, 1}}}, {}},
        {"one vertex", {{{1, 1}}}, {}},
        {"a contour over itself", {box(1, 1, 3, 3), box(1, 1, 3, 3), box(1, 1, 3, 3)}, kSquaresIntersect},
    };
    Poly square{box(0, 0, 2, 2)};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Poly hostile(c.rings), result, alone, empty;
        ASSERT_EQ(adClipBoolean(AD_CLIP_INTERSECTION, square.get(), hostile.get(), result.get()), 1);
        EXPECT_EQ(contoursOf(result.get()), c.intersection);
        EXPECT_EQ(adClipBoolean(AD_CLIP_UNION, hostile.get(), empty.get(), alone.get()), 1);
        Strips strips;
        EXPECT_EQ(adClipPolygonToStrips(hostile.get(), strips.get()), 1);
    }

    // Counts and arrays that do not hold together read as nothing.
    AdClipPoint p[3] = {{0, 0}, {1, 0}, {0, 1}};
    AdClipContour badContours[] = {{-5, p}, {3, nullptr}};
    std::int32_t holes[2] = {0, 0};
    AdClipPolygon bad{2, holes, badContours};
    AdClipPolygon negative{-1, holes, badContours};
    for (AdClipPolygon* operand : {&bad, &negative}) {
        Poly result;
        ASSERT_EQ(adClipBoolean(AD_CLIP_UNION, square.get(), operand, result.get()), 1);
        EXPECT_EQ(contoursOf(result.get()).size(), 1u);
    }

    // Coordinates near the largest double: no crash, no hang.
    Poly huge{{{-1e308, -1e308}, {1e308, -1e308}, {1e308, 1e308}, {-1e308, 1e308}}, {{-1e308, 1e-300}, {1e308, 0}, {0, 1e308}}};
    for (AdClipOp op : {AD_CLIP_DIFFERENCE, AD_CLIP_INTERSECTION, AD_CLIP_XOR, AD_CLIP_UNION}) {
        Poly result;
        Strips strips;
        EXPECT_EQ(adClipBoolean(op, huge.get(), square.get(), result.get()), 1);
        EXPECT_EQ(adClipBooleanStrips(op, huge.get(), square.get(), strips.get()), 1);
    }

    // Bad arguments touch nothing.
    Poly result;
    state.get()->errorCode = 0;
    EXPECT_EQ(adClipBoolean(static_cast<AdClipOp>(7), square.get(), square.get(), result.get()), 0);
    EXPECT_EQ(state.get()->errorCode, AD_ERR_CLIP_ARGUMENT);
    EXPECT_EQ(adClipPolygonFromPoints(result.get(), -1, p), 0);
    const std::int32_t negativeCount[] = {-2};
    EXPECT_EQ(adClipPolygonAlloc(result.get(), 1, negativeCount), 0);
    EXPECT_EQ(result.p.contours, nullptr);
}

// A many-vertex circle against a box, a comb against a box: large inputs stay
// fast (the sanitizer build included) and exact in area.
TEST(ClipLarge, ManyVerticesClipInAreaAndInTime) {
    const int n = 200000;
    Ring circle(n);
    for (int i = 0; i < n; ++i) circle[i] = {std::cos(2 * std::numbers::pi * i / n), std::sin(2 * std::numbers::pi * i / n)};
    Ring comb;
    for (int t = 0; t < 5000; ++t) {
        comb.push_back({double(2 * t), 0});
        comb.push_back({2 * t + 1.0, 0});
        comb.push_back({2 * t + 1.0, 10});
        comb.push_back({2 * t + 2.0, 10});
    }
    comb.push_back({10000, -1});
    comb.push_back({0, -1});
    struct Case {
        Ring subject;
        Ring clip;
        double area;
    };
    // The right half of the circle; the comb's base, 4999 whole teeth cut at
    // height 5 and half of the last one.
    const Case cases[] = {{circle, box(0, -2, 2, 2), signedArea(circle) / 2},
                          {comb, box(0.5, -2, 9999.5, 5), 9999 + 4999 * 5 + 2.5}};
    for (const Case& c : cases) {
        Poly subject{c.subject}, clip{c.clip}, result;
        ASSERT_EQ(adClipBoolean(AD_CLIP_INTERSECTION, subject.get(), clip.get(), result.get()), 1);
        double area = 0;
        for (const Contour& k : contoursOf(result.get())) area -= signedArea(k.points);
        EXPECT_NEAR(area, c.area, 1e-9 * c.area);
    }
}
