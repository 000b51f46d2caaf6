// The clipper's exact output on small cases: vertex order, hole flags and
// contour order as later drawing streams depend on them, and the strips.
#include "clip_fixture.h"

namespace {

const Ring kUnitCcw = box(0, 0, 1, 1);
const Ring kUnitCw{{0, 0}, {0, 1}, {1, 1}, {1, 0}};
const Ring kL{{0, 0}, {4, 0}, {4, 2}, {2, 2}, {2, 4}, {0, 4}};
const Ring kTriangle{{0, 0}, {4, 0}, {2, 3}};

struct ContourCase {
    const char* name;
    AdClipOp op;
    std::vector<Ring> subject;
    std::vector<Ring> clip;
    std::vector<Contour> expected;
};

const ContourCase kContourCases[] = {
    {"intersection with an empty clip polygon", AD_CLIP_INTERSECTION, {box(0, 0, 2, 2)}, {}, {}},
    {"empty subject, difference", AD_CLIP_DIFFERENCE, {}, {box(0, 0, 2, 2)}, {}},
    {"overlapping squares intersect", AD_CLIP_INTERSECTION, {box(0, 0, 2, 2)}, {box(1, 1, 3, 3)},
     {{0, {{2, 1}, {1, 1}, {1, 2}, {2, 2}}}}},
    {"unit square with nothing, counter-clockwise in", AD_CLIP_UNION, {kUnitCcw}, {}, {{0, {{1, 0}, {0, 0}, {0, 1}, {1, 1}}}}},
    {"unit square with nothing, clockwise in", AD_CLIP_UNION, {kUnitCw}, {}, {{0, {{1, 0}, {0, 0}, {0, 1}, {1, 1}}}}},
    {"square with a square hole, hole first", AD_CLIP_UNION, {box(0, 0, 4, 4), box(1, 1, 3, 3)}, {},
     {{1, {{3, 3}, {1, 3}, {1, 1}, {3, 1}}}, {0, {{4, 0}, {0, 0}, {0, 4}, {4, 4}}}}},
    {"a contour given twice cancels", AD_CLIP_UNION, {kL, kL}, {}, {}},
    {"squares sharing only an edge do not intersect", AD_CLIP_INTERSECTION, {box(0, 0, 1, 1)}, {box(1, 0, 2, 1)}, {}},
    {"squares sharing an edge unite", AD_CLIP_UNION, {box(0, 0, 1, 1)}, {box(1, 0, 2, 1)},
     {{0, {{2, 0}, {0, 0}, {0, 1}, {2, 1}}}}},
    {"a polygon intersected with itself", AD_CLIP_INTERSECTION, {kL}, {kL},
     {{0, {{2, 2}, {4, 2}, {4, 0}, {0, 0}, {0, 4}, {2, 4}}}}},
    {"a polygon minus itself", AD_CLIP_DIFFERENCE, {kL}, {kL}, {}},
    {"a far subject contour is passed over", AD_CLIP_INTERSECTION, {box(0, 0, 2, 2), box(100, 100, 101, 101)},
     {box(1, 1, 3, 3)}, {{0, {{2, 1}, {1, 1}, {1, 2}, {2, 2}}}}},
    {"overlapping squares unite across two crossings", AD_CLIP_UNION, {box(0, 0, 2, 2)}, {box(1, 1, 3, 3)},
     {{0, {{3, 1}, {2, 1}, {2, 0}, {0, 0}, {0, 2}, {1, 2}, {1, 3}, {3, 3}}}}},
    {"overlapping squares, exclusive-or", AD_CLIP_XOR, {box(0, 0, 2, 2)}, {box(1, 1, 3, 3)},
     {{0, {{3, 1}, {2, 1}, {2, 2}, {1, 2}, {1, 3}, {3, 3}}}, {0, {{1, 1}, {2, 1}, {2, 0}, {0, 0}, {0, 2}, {1, 2}}}}},
    {"overlapping squares, difference", AD_CLIP_DIFFERENCE, {box(0, 0, 2, 2)}, {box(1, 1, 3, 3)},
     {{0, {{1, 1}, {2, 1}, {2, 0}, {0, 0}, {0, 2}, {1, 2}}}}},
    {"a bow tie keeps both lobes, pinched at its crossing", AD_CLIP_UNION, {{{0, 0}, {2, 2}, {2, 0}, {0, 2}}}, {},
     {{0, {{2, 0}, {1, 1}, {0, 0}, {0, 2}, {1, 1}, {2, 2}}}}},
};

struct StripCase {
    const char* name;
    AdClipOp op;
    std::vector<Ring> subject;
    std::vector<Ring> clip;
    std::vector<Ring> expected;
};

const StripCase kStripCases[] = {
    {"an empty polygon", AD_CLIP_DIFFERENCE, {}, {}, {}},
    {"intersection with an empty clip polygon", AD_CLIP_INTERSECTION, {box(0, 0, 2, 2)}, {}, {}},
    {"the unit square", AD_CLIP_DIFFERENCE, {kUnitCcw}, {}, {{{0, 0}, {1, 0}, {0, 1}, {1, 1}}}},
    {"a square hole: below, left of, right of and above it", AD_CLIP_DIFFERENCE, {box(0, 0, 4, 4), box(1, 1, 3, 3)}, {},
     {{{0, 0}, {4, 0}, {0, 1}, {4, 1}},
      {{0, 1}, {1, 1}, {0, 3}, {1, 3}},
      {{3, 1}, {4, 1}, {3, 3}, {4, 3}},
      {{0, 3}, {4, 3}, {0, 4}, {4, 4}}}},
    {"overlapping squares intersect", AD_CLIP_INTERSECTION, {box(0, 0, 2, 2)}, {box(1, 1, 3, 3)},
     {{{1, 1}, {2, 1}, {1, 2}, {2, 2}}}},
    {"a triangle with a notch cut from its base", AD_CLIP_DIFFERENCE, {kTriangle}, {box(1, -1, 3, 1)},
     {{{0, 0}, {1, 0}, {2.0 / 3, 1}, {1, 1}}, {{3, 0}, {4, 0}, {3, 1}, {10.0 / 3, 1}}, {{2.0 / 3, 1}, {10.0 / 3, 1}, {2, 3}}}},
    {"a bow tie splits at its crossing", AD_CLIP_DIFFERENCE, {{{0, 0}, {2, 2}, {2, 0}, {0, 2}}}, {},
     {{{0, 0}, {1, 1}, {0, 1}}, {{2, 0}, {2, 1}, {1, 1}}, {{0, 1}, {1, 1}, {0, 2}}, {{1, 1}, {2, 1}, {2, 2}}}},
};

}  // namespace

TEST(ClipCases, ContoursComeOutInTheirExactOrder) {
    for (const ContourCase& c : kContourCases) {
        SCOPED_TRACE(c.name);
        Poly subject(c.subject), clip(c.clip), result;
        ASSERT_EQ(adClipBoolean(c.op, subject.get(), clip.get(), result.get()), 1);
        EXPECT_EQ(contoursOf(result.get()), c.expected);
        if (c.expected.empty()) {
            EXPECT_EQ(result.p.contours, nullptr);
            EXPECT_EQ(result.p.holeFlags, nullptr);
        }
    }
}

TEST(ClipCases, StripsComeOutInTheirExactOrder) {
    for (const StripCase& c : kStripCases) {
        SCOPED_TRACE(c.name);
        Poly subject(c.subject), clip(c.clip);
        Strips strips;
        ASSERT_EQ(adClipBooleanStrips(c.op, subject.get(), clip.get(), strips.get()), 1);
        EXPECT_EQ(stripsOf(strips.get()), c.expected);
    }
}
