// Topology records: their fields in each version, their words and their
// plain queries.
#include "sat_fixture.h"
#include "toolkit/solids/acis_attrib.h"
#include "toolkit/solids/acis_geometry.h"
#include "toolkit/solids/acis_topology.h"

#include <string>

namespace {

class AcisTopologyTest : public SolidsTest {};

TEST_F(AcisTopologyTest, FaceWordsByVersion) {
    const struct {
        int version;
        const char* fields;
        std::int32_t sense, sidedness, containment;
        const char* err;
    } cases[] = {
        {104, "1", 1, 0, 2, ""},
        {104, "7", 3, 0, 2, "*** ERROR: Bad face orientation int: 7\n"},
        {105, "reversed single", 1, 0, 2, ""},
        {400, "forward double in", 0, 1, 1, ""},
        {400, "forward double out", 0, 1, 0, ""},
        {400, "forward double sideways", 0, 1, 4, ""},
        {400, "sideways triple", 3, 3, 2, "*** ERROR: Bad face orientation string: sideways\n"},
        // Texts before version 200 write the three as numbers.
        {106, "0 1 0", 0, 1, 0, ""},
        {106, "1 0", 1, 0, 2, ""},
    };
    for (const auto& c : cases) {
        err.clear();
        ParsedSat sat(satHeader(c.version) + "face $-1 $-1 $-1 $-1 $-1 $-1 " + c.fields + " #\nbody $-1 $-1 $-1 $-1 #\n");
        SCOPED_TRACE(std::to_string(c.version) + " " + c.fields);
        auto* face = sat.at<acis_Face>(0);
        ASSERT_NE(face, nullptr);
        EXPECT_EQ(face->sense, c.sense);
        EXPECT_EQ(face->sidedness, c.sidedness);
        EXPECT_EQ(face->containment, c.containment);
        EXPECT_EQ(err, c.err);
    }
}

TEST_F(AcisTopologyTest, EdgeFieldsByVersion) {
    const struct {
        int version;
        const char* fields;
        std::int32_t sense;
    } cases[] = {
        {106, "$1 $1 $-1 $2 0", 0},
        {106, "$1 $1 $-1 $2 1", 1},
        {106, "$1 $1 $-1 $2 5", 3},
        {400, "$1 $1 $-1 $2 reversed", 1},
        {400, "$1 $1 $-1 $2 0", 3},
        {500, "$1 0 $1 1.5 $-1 $2 forward 7 unknown", 0},
        {600, "$1 0 $1 1.5 $-1 $2 reversed 6 convex", 1},
    };
    for (const auto& c : cases) {
        ParsedSat sat(satHeader(c.version) + "edge $-1 " + c.fields +
                      " #\nvertex $-1 $0 $3 #\nstraight-curve $-1 0 0 0 1 0 0 I I #\npoint $-1 1 2 3 #\n"
                      "body $-1 $-1 $-1 $-1 #\n");
        SCOPED_TRACE(std::to_string(c.version) + " " + c.fields);
        ASSERT_EQ(sat.answer(), SAT_DONE);
        auto* edge = sat.at<acis_Edge>(0);
        ASSERT_NE(edge, nullptr);
        EXPECT_EQ(edge->sense, c.sense);
        EXPECT_EQ(edge->start, sat.at<acis_Vertex>(1));
        EXPECT_EQ(edge->end, sat.at<acis_Vertex>(1));
        EXPECT_EQ(edge->curve, sat.at<acis_Curve>(2));
        EXPECT_EQ(edge->start->edge, edge);
        EXPECT_EQ(err, "");
    }
}

TEST_F(AcisTopologyTest, CoedgeAndWireWords) {
    const struct {
        const char* word;
        std::int32_t sense;
    } senses[] = {{"forward", 0}, {"0", 0}, {"reversed", 1}, {"1", 1}, {"sideways", -1}};
    for (const auto& c : senses) {
        err.clear();
        ParsedSat sat(satHeader(400) + "coedge $-1 $0 $0 $-1 $-1 " + c.word + " $-1 $-1 #\nbody $-1 $-1 $-1 $-1 #\n");
        auto* coedge = sat.at<acis_CoEdge>(0);
        ASSERT_NE(coedge, nullptr);
        EXPECT_EQ(coedge->sense, c.sense) << c.word;
        EXPECT_EQ(coedge->next, coedge);
        EXPECT_EQ(err, c.sense < 0 ? "*** ERROR: Bad edge direction enum: sideways\n" : "");
    }
    const struct {
        int version;
        const char* fields;
        std::int32_t side;
    } wires[] = {{106, "", acis_Wire::kOut}, {400, "$-1 out", acis_Wire::kOut}, {400, "$-1 in", acis_Wire::kIn},
                 {400, "$-1 around", acis_Wire::kIn}};
    for (const auto& c : wires) {
        ParsedSat sat(satHeader(c.version) + "wire $-1 $-1 $-1 $1 " + c.fields + " #\nbody $-1 $-1 $0 $-1 #\n");
        auto* wire = sat.at<acis_Wire>(0);
        ASSERT_NE(wire, nullptr);
        EXPECT_EQ(wire->side, c.side) << c.fields;
        EXPECT_EQ(wire->owner, sat.at<acis_Body>(1));
        EXPECT_EQ(sat.at<acis_Body>(1)->wire, wire);
    }
}

TEST_F(AcisTopologyTest, ShellReadsItsWireFromVersion107) {
    ParsedSat older(satHeader(106) + "shell $-1 $-1 $-1 $-1 $1 #\nlump $-1 $-1 $0 $2 #\nbody $-1 $1 $-1 $-1 #\n");
    ParsedSat newer(satHeader(400) +
                    "shell $-1 $-1 $-1 $-1 $3 $1 #\nlump $-1 $-1 $0 $2 #\nbody $-1 $1 $-1 $-1 #\nwire $-1 $-1 $-1 "
                    "$0 $-1 out #\n");
    for (ParsedSat* sat : {&older, &newer}) {
        auto* shell = sat->at<acis_Shell>(0);
        ASSERT_NE(shell, nullptr);
        EXPECT_EQ(shell->lump, sat->at<acis_Lump>(1));
        EXPECT_EQ(sat->at<acis_Lump>(1)->shell, shell);
        EXPECT_EQ(sat->at<acis_Lump>(1)->body, sat->at<acis_Body>(2));
    }
    EXPECT_EQ(newer.at<acis_Shell>(0)->wire, newer.at<acis_Wire>(3));
    EXPECT_EQ(err, "");
}

TEST_F(AcisTopologyTest, CurveQueriesOfLoopsAndFaces) {
    // Face 0 has a loop whose edge has a curve, and a loop whose edge has none;
    // face 9 has only the curveless loop.
    ParsedSat sat(satHeader(400) +
                  "face $-1 $-1 $1 $-1 $-1 $-1 forward single #\n"  // 0
                  "loop $-1 $2 $3 $0 #\n"                            // 1
                  "loop $-1 $-1 $4 $0 #\n"                           // 2
                  "coedge $-1 $5 $5 $-1 $6 forward $1 $-1 #\n"       // 3
                  "coedge $-1 $4 $4 $-1 $7 forward $2 $-1 #\n"       // 4
                  "coedge $-1 $3 $3 $-1 $6 reversed $1 $-1 #\n"      // 5
                  "edge $-1 $-1 $-1 $3 $8 forward #\n"               // 6
                  "edge $-1 $-1 $-1 $4 $-1 reversed #\n"             // 7
                  "straight-curve $-1 0 0 0 1 0 0 I I #\n"           // 8
                  "face $-1 $-1 $2 $-1 $-1 $-1 forward single #\n"   // 9
                  "face $-1 $-1 $-1 $-1 $-1 $-1 forward single #\n"  // 10
                  "body $-1 $-1 $-1 $-1 #\n");
    ASSERT_EQ(sat.answer(), SAT_DONE);
    auto* face = sat.at<acis_Face>(0);
    EXPECT_FALSE(sat.at<acis_Loop>(1)->hasNoCurve());
    EXPECT_TRUE(sat.at<acis_Loop>(2)->hasNoCurve());
    EXPECT_FALSE(face->isUnbounded());
    EXPECT_TRUE(face->hasCurvelessLoop());
    EXPECT_EQ(face->countCurves(), 1);  // both coedges of loop 1 lie on curve 8
    EXPECT_TRUE(sat.at<acis_Face>(9)->isUnbounded());
    EXPECT_TRUE(sat.at<acis_Face>(10)->isUnbounded());  // no loops at all
    EXPECT_FALSE(sat.at<acis_Face>(10)->hasCurvelessLoop());
    EXPECT_TRUE(sat.at<acis_CoEdge>(3)->sameSenseAsEdge());
    EXPECT_FALSE(sat.at<acis_CoEdge>(5)->sameSenseAsEdge());
    EXPECT_FALSE(sat.at<acis_CoEdge>(4)->sameSenseAsEdge());
}

TEST_F(AcisTopologyTest, CyclesInListsAndRingsAreCutWhenLinking) {
    ParsedSat sat(satHeader(400) +
                  "face $-1 $1 $3 $-1 $-1 $-1 forward single #\n"  // 0: faces 0 -> 1 -> 2 -> 1
                  "face $-1 $2 $-1 $-1 $-1 $-1 forward single #\n"  // 1
                  "face $-1 $1 $-1 $-1 $-1 $-1 forward single #\n"  // 2
                  "loop $-1 $3 $4 $0 #\n"                            // 3: a loop that is its own next
                  "coedge $-1 $5 $-1 $-1 $-1 forward $3 $-1 #\n"     // 4: ring 4 -> 5 -> 6 -> 5
                  "coedge $-1 $6 $-1 $-1 $-1 forward $3 $-1 #\n"     // 5
                  "coedge $-1 $5 $-1 $-1 $-1 forward $3 $-1 #\n"     // 6
                  "color-adesk-attrib $-1 $8 $-1 $-1 1 #\n"          // 7: attributes 7 -> 8 -> 7
                  "color-adesk-attrib $-1 $7 $-1 $-1 2 #\n"          // 8
                  "body $-1 $-1 $-1 $-1 #\n");
    ASSERT_EQ(sat.answer(), SAT_DONE);
    EXPECT_EQ(sat.at<acis_Face>(0)->next, sat.at<acis_Face>(1));
    EXPECT_EQ(sat.at<acis_Face>(1)->next, sat.at<acis_Face>(2));
    EXPECT_EQ(sat.at<acis_Face>(2)->next, nullptr);
    EXPECT_EQ(sat.at<acis_Loop>(3)->next, nullptr);
    EXPECT_EQ(sat.at<acis_CoEdge>(6)->next, nullptr);
    EXPECT_EQ(sat.at<acis_CoEdge>(4)->next, sat.at<acis_CoEdge>(5));
    EXPECT_EQ(sat.at<acis_Attrib>(7)->next(), sat.at<acis_Attrib>(8));
    EXPECT_EQ(sat.at<acis_Attrib>(8)->next(), nullptr);
    EXPECT_EQ(err, "*** ERROR: Cut 4 links that closed a cycle\n");
    // The walks end.
    EXPECT_TRUE(sat.at<acis_Face>(0)->isUnbounded());
    EXPECT_EQ(sat.at<acis_Face>(0)->countCurves(), 0);
}

TEST_F(AcisTopologyTest, AWholeRingIsKept) {
    ParsedSat sat(satHeader(400) +
                  "loop $-1 $-1 $1 $-1 #\n"
                  "coedge $-1 $2 $3 $-1 $-1 forward $0 $-1 #\n"
                  "coedge $-1 $3 $1 $-1 $-1 forward $0 $-1 #\n"
                  "coedge $-1 $1 $2 $-1 $-1 forward $0 $-1 #\n"
                  "body $-1 $-1 $-1 $-1 #\n");
    EXPECT_EQ(sat.at<acis_CoEdge>(3)->next, sat.at<acis_CoEdge>(1));
    EXPECT_EQ(err, "");
}

}  // namespace
