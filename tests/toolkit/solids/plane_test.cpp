// Planes: repaired normals, right-handed frames of quadrics, and planes
// meeting lines.
#include <sstream>

#include "solids_fixture.h"
#include "toolkit/solids/intersection_result.h"
#include "toolkit/solids/line.h"
#include "toolkit/solids/plane.h"

namespace {

using Planes = SolidsTest;

// The frame of the quadric bases, seen through a minimal concrete class.
class FramedProbe : public c_FramedQuadric {
public:
    FramedProbe(const aPoint& o, const aVector& reference, const aVector& axis)
        : c_FramedQuadric(o, reference, axis) {}
    std::ostream& print(std::ostream& os) const override { return os; }
    const char* className() const override { return "probe"; }
    std::int32_t algebraicCoefficients(double*) const override { return 0; }
};

TEST_F(Planes, NormalsAreRepaired) {
    struct Case {
        c_Plane plane;
        aVector want;
    } cases[] = {
        {c_Plane(aPoint(0, 0, 0), aPoint(1, 0, 0), aPoint(0, 1, 0)), zAxis},
        {c_Plane(aPoint(0, 0, 0), aPoint(1, 1, 1), aPoint(2, 2, 2)), zAxis},
        {c_Plane(aPoint(0, 0, 0), aVector(0, 0, 5)), zAxis},
        {c_Plane(aPoint(0, 0, 0), aVector(1e-7, 0, 0)), zAxis},
        {c_Plane(aPoint(0, 0, 0), aVector(0, -3, 0)), -yAxis},
    };
    for (const auto& c : cases) expectNear(c.plane.getNormal(), c.want);
    c_Plane plane;
    EXPECT_EQ(plane.signedDistance({0, 0, -2}), -2);
    expectNear(plane.normalAt({100, -7, 55}), zAxis);
    std::ostringstream text;
    plane.print(text);
    EXPECT_EQ(text.str(), "c_Plane( (0,0,0) , (0,0,1) )");
    EXPECT_TRUE(err.empty());  // the plane messages are switched off
}

TEST_F(Planes, QuadricFramesAreRightHanded) {
    struct Case {
        aVector reference, axis;
        aVector x, y, z;
    } cases[] = {
        {{1, 0, 1}, {0, 0, 2}, xAxis, yAxis, zAxis},
        {{0, 0, 3}, {0, 0, 2}, xAxis, yAxis, zAxis},
        {{0, 0, 0}, {0, 0, 1}, xAxis, yAxis, zAxis},
        {{5, 5, 5}, {0, 0, 0}, xAxis, yAxis, zAxis},
        {{0, 1, 0}, {1, 0, 0}, yAxis, zAxis, xAxis},
    };
    for (const auto& c : cases) {
        FramedProbe q({1, 2, 3}, c.reference, c.axis);
        expectNear(q.getXAxis(), c.x);
        expectNear(q.getYAxis(), c.y);
        expectNear(q.getAxis(), c.z);
    }
}

TEST_F(Planes, PlanesAndLinesMeetThroughTheLegacyLayer) {
    c_IntersectionResult planes(c_Plane({0, 0, 1}, zAxis), c_Plane({3, 0, 0}, xAxis));
    ASSERT_EQ(planes.getStatus(), 2);
    c_Line line;
    ASSERT_TRUE(c_IntersectionItem(planes, 0).getLine(line));
    EXPECT_NEAR(line.getPoint().x, 3, 1e-12);
    EXPECT_NEAR(line.getPoint().z, 1, 1e-12);

    c_IntersectionResult crossing(c_Line({1, 1, 5}, {0, 0, -1}), c_Plane({0, 0, 1}, zAxis));
    ASSERT_EQ(crossing.getStatus(), 2);
    aPoint p;
    ASSERT_TRUE(c_IntersectionItem(crossing, 0).getPoint(p));
    expectNear(p, {1, 1, 1});
    EXPECT_EQ(c_IntersectionResult(c_Line({0, 0, 5}, xAxis), c_Plane()).getStatus(), 1);
}

}  // namespace
