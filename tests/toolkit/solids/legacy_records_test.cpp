// The older intersection layer's records: reuse of released records, the full
// list, dispatch, and plane and cone sections of quadrics.
#include <cmath>
#include <numbers>

#include "solids_fixture.h"
#include "toolkit/solids/legacy_intersections.h"
#include "toolkit/solids/legacy_records.h"

namespace {

using LegacyRecords = SolidsTest;

TEST_F(LegacyRecords, ReleasedRecordsAreReusedAndPushedOnce) {
    LegacyEntityHandle handle;
    LegacyNode* first = newLegacySphere({{1, 2, 3}, 4}, handle);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(handle.node, first);
    EXPECT_EQ(first->type, LEGACY_SPHERE);
    LegacyRecord* record = first->record;
    EXPECT_EQ(record->header.state, 0);
    EXPECT_EQ(record->header.link, first);
    EXPECT_EQ(std::get<LegacySphere>(record->geometry).radius, 4);

    // Released twice (once by hand, once with its entity), it must sit on the
    // list once: the next two allocations get two different records.
    releaseLegacyRecord(LEGACY_SPHERE, record);
    EXPECT_EQ(freeLegacyEntity(first), 1);
    LegacyRecord* again = allocLegacyRecord(LEGACY_SPHERE);
    LegacyRecord* fresh = allocLegacyRecord(LEGACY_SPHERE);
    EXPECT_EQ(again, record);
    EXPECT_NE(fresh, record);
    EXPECT_EQ(again->header.state, 0);
    EXPECT_EQ(again->header.link, nullptr);
    releaseLegacyRecord(LEGACY_SPHERE, again);
    releaseLegacyRecord(LEGACY_SPHERE, fresh);

    // Another type's pool does not hand out the sphere records.
    LegacyNode* plane = newLegacyPlane({{0, 0, 0}, {0, 0, 1}}, handle);
    EXPECT_NE(plane->record, again);
    EXPECT_NE(plane->record, fresh);
    freeLegacyEntity(plane);
    EXPECT_EQ(freeLegacyEntity(nullptr), 0);
    freeLegacyPools();
    LegacyRecord* after = allocLegacyRecord(LEGACY_PLANE);  // a new record after the pools were emptied
    ASSERT_NE(after, nullptr);
    releaseLegacyRecord(LEGACY_PLANE, after);
}

TEST_F(LegacyRecords, FullListDropsItemsWithOneMessageEach) {
    LegacyIntersectionList list;
    for (int i = 0; i < kLegacyMaxItems; ++i) addLegacyPoint({double(i), 0, 0}, 0, list);
    EXPECT_TRUE(out.empty());
    addLegacyPoint({99, 0, 0}, 0, list);
    EXPECT_EQ(list.count, 20);
    EXPECT_EQ(out, "*\n*\n*\n***** TOO MANY INTERSECTION POINTS\n*\n*\n*\n\n");
    addLegacyLine({0, 0, 0}, {1, 0, 0}, 0, list);  // curves never grow it either
    EXPECT_EQ(list.count, 20);

    LegacyIntersectionList target;
    addLegacyCircle({0, 0, 0}, xAxis, yAxis, zAxis, 1, 1, target);
    appendLegacyResults(list, target);
    EXPECT_EQ(target.count, 20);
    EXPECT_EQ(target.items[0].type, LEGACY_CIRCLE);
    EXPECT_EQ(target.items[0].tangent, 1);
    EXPECT_EQ(target.items[19].type, LEGACY_POINT);
    copyLegacyResults(list, target);
    EXPECT_EQ(std::get<aPoint>(target.items[0].geometry).x, 0);
}

TEST_F(LegacyRecords, DispatchersPickTheRoutineOrAnswerOne) {
    LegacyEntityHandle h;
    LegacyNode* circle = newLegacyCircle({{0, 0, 0}, xAxis, yAxis, zAxis, 1}, h);
    LegacyNode* line = newLegacyLine({{-5, 0, 0}, xAxis}, h);
    LegacyNode* plane = newLegacyPlane({{0, 0, 0}, zAxis}, h);
    LegacyNode* sphere = newLegacySphere({{0, 0, 0}, 2}, h);
    LegacyIntersectionList list;
    EXPECT_EQ(intersectLegacyCurves(circle, line, list), 0);  // reordered to line × circle
    EXPECT_EQ(list.count, 2);
    EXPECT_EQ(intersectLegacyCurveSurface(line, sphere, list), 0);
    EXPECT_EQ(list.count, 2);
    EXPECT_EQ(intersectLegacyCurveSurface(sphere, line, list), 1);  // surfaces never come first
    EXPECT_EQ(intersectLegacyCurves(plane, line, list), 1);
    EXPECT_EQ(intersectLegacyCurves(nullptr, line, list), 1);
    for (LegacyNode* n : {circle, line, plane, sphere}) freeLegacyEntity(n);
}

aPoint pointOf(const LegacyIntersectionList& list, int i) { return std::get<aPoint>(list.items[i].geometry); }

TEST_F(LegacyRecords, PlaneSectionsOfSphereAndCylinder) {
    LegacyIntersectionList list;
    const LegacySphere sphere{{0, 0, 0}, 2};
    EXPECT_EQ(intersectPlaneSphere({{0, 0, 2}, zAxis}, sphere, list), 0);
    ASSERT_EQ(list.count, 1);
    EXPECT_EQ(list.items[0].tangent, 1);
    expectNear(pointOf(list, 0), {0, 0, 2});
    EXPECT_EQ(intersectPlaneSphere({{0, 0, 1}, zAxis}, sphere, list), 0);
    ASSERT_EQ(list.items[0].type, LEGACY_CIRCLE);
    EXPECT_NEAR(std::get<LegacyCircle>(list.items[0].geometry).radius, std::sqrt(3.0), 1e-12);
    EXPECT_EQ(intersectPlaneSphere({{0, 0, 3}, zAxis}, sphere, list), 1);

    const LegacyCylinder cyl{{0, 0, 0}, xAxis, yAxis, zAxis, 1.5};
    EXPECT_EQ(intersectPlaneCylinder({{0, 0, 0}, xAxis}, cyl, list), 0);
    ASSERT_EQ(list.count, 2);
    LegacyLine a = std::get<LegacyLine>(list.items[0].geometry), b = std::get<LegacyLine>(list.items[1].geometry);
    EXPECT_NEAR(a.point.distanceTo(b.point), 3, 1e-12);
    EXPECT_EQ(intersectPlaneCylinder({{1.5, 0, 0}, xAxis}, cyl, list), 0);
    ASSERT_EQ(list.count, 1);
    EXPECT_EQ(list.items[0].tangent, 1);
    EXPECT_EQ(intersectPlaneCylinder({{2, 0, 0}, xAxis}, cyl, list), 1);

    // |A·n| = 1/2: semi-axes 2r and r.
    const double s = std::sqrt(3.0) / 2;
    EXPECT_EQ(intersectPlaneCylinder({{0, 0, 1}, {s, 0, 0.5}}, cyl, list), 0);
    ASSERT_EQ(list.items[0].type, LEGACY_ELLIPSE);
    auto e = std::get<LegacyEllipse>(list.items[0].geometry);
    EXPECT_NEAR(e.major, 3, 1e-12);
    EXPECT_NEAR(e.minor, 1.5, 1e-12);
    expectNear(e.centre, {0, 0, 1});
}

TEST_F(LegacyRecords, PlaneSectionsOfConeAndPlane) {
    const double half = std::numbers::pi / 6;
    const LegacyCone cone{{0, 0, 0}, xAxis, yAxis, zAxis, half, std::tan(half), std::cos(half)};
    LegacyIntersectionList list;
    EXPECT_EQ(intersectPlaneCone({{0, 0, 0}, zAxis}, cone, list), 0);
    ASSERT_EQ(list.count, 1);
    EXPECT_EQ(list.items[0].type, LEGACY_POINT);

    EXPECT_EQ(intersectPlaneCone({{0, 0, 0}, yAxis}, cone, list), 0);
    ASSERT_EQ(list.count, 2);
    for (int i = 0; i < 2; ++i) {
        auto line = std::get<LegacyLine>(list.items[i].geometry);
        EXPECT_NEAR(std::acos(std::fabs(dot(line.direction, zAxis))), half, 1e-12);
    }

    EXPECT_EQ(intersectPlaneCone({{0, 0, -2}, zAxis}, cone, list), 0);
    ASSERT_EQ(list.items[0].type, LEGACY_CIRCLE);
    auto c = std::get<LegacyCircle>(list.items[0].geometry);
    expectNear(c.centre, {0, 0, -2});
    EXPECT_NEAR(c.radius, 2 * std::tan(half), 1e-12);

    LegacyPlane p{{0, 0, 1}, zAxis};
    EXPECT_EQ(intersectPlanePlane(p, {{5, 3, 1}, {0, 0, -1}}, list), 0);
    EXPECT_EQ(list.count, 0);
    EXPECT_EQ(intersectPlanePlane(p, {{0, 0, 2}, zAxis}, list), -8);
    EXPECT_EQ(intersectPlanePlane(p, {{3, 0, 0}, xAxis}, list), 0);
    ASSERT_EQ(list.count, 1);
    auto line = std::get<LegacyLine>(list.items[0].geometry);
    EXPECT_NEAR(line.point.x, 3, 1e-12);
    EXPECT_NEAR(line.point.z, 1, 1e-12);
    EXPECT_NEAR(std::fabs(line.direction.y), 1, 1e-12);
}

// Every point of a conic the cone's plane sections give lies on the cone and
// in the plane, for planes of every inclination (ellipse, parabola, hyperbola).
TEST_F(LegacyRecords, ConeSectionsLieOnTheCone) {
    const double half = 0.5;
    const LegacyCone cone{{1, -1, 2}, xAxis, yAxis, zAxis, half, std::tan(half), std::cos(half)};
    auto onCone = [&](const aPoint& p) {
        aVector w = p - cone.apex;
        double h = dot(w, cone.axis);
        return std::sqrt(std::fmax(w.lengthSquared() - h * h, 0.0)) - std::fabs(h) * cone.tanHalfAngle;
    };
    for (double tilt : {0.2, 0.7, std::numbers::pi / 2 - half, 1.3, 1.5}) {
        for (double offset : {-3.0, 2.0}) {
            aVector n(std::sin(tilt), 0, std::cos(tilt));
            LegacyPlane plane{cone.apex + offset * zAxis, n};
            LegacyIntersectionList list;
            ASSERT_EQ(intersectPlaneCone(plane, cone, list), 0);
            ASSERT_EQ(list.count, 1);
            const LegacyItem& item = list.items[0];
            for (double t : {-0.9, -0.3, 0.0, 0.4, 1.1}) {
                aPoint p;
                if (item.type == LEGACY_ELLIPSE) {
                    auto e = std::get<LegacyEllipse>(item.geometry);
                    p = e.centre + (e.major * std::cos(3 * t)) * e.u + (e.minor * std::sin(3 * t)) * e.v;
                } else if (item.type == LEGACY_HYPERBOLA) {
                    auto h = std::get<LegacyHyperbola>(item.geometry);
                    p = h.centre + (h.a / std::cos(t)) * h.u + (h.b * std::tan(t)) * h.v;
                } else {
                    ASSERT_EQ(item.type, LEGACY_PARABOLA) << tilt;
                    auto pa = std::get<LegacyParabola>(item.geometry);
                    p = pa.vertex + (2 * pa.focal * t) * pa.u + (pa.focal * t * t) * pa.v;
                }
                EXPECT_NEAR(onCone(p), 0, 1e-9) << "tilt " << tilt << " offset " << offset << " type " << item.type;
                EXPECT_NEAR(dot(p - plane.point, n), 0, 1e-9) << "tilt " << tilt;
            }
        }
    }
}

}  // namespace
