// The SAT reader: header answers, record numbering, references, subtype
// numbering, syntax err and the bounds that keep hostile text in check.
#include "sat_fixture.h"
#include "toolkit/solids/acis_attrib.h"
#include "toolkit/solids/acis_geometry.h"
#include "toolkit/solids/acis_subtypes.h"
#include "toolkit/solids/acis_topology.h"
#include "toolkit/solids/tolerances.h"

#include <string>

namespace {

std::string v400(const std::string& records) { return satHeader(400) + records; }

class SatParserTest : public SolidsTest {};

TEST_F(SatParserTest, HeaderAnswers) {
    const struct {
        const char* text;
        std::int32_t answer;
    } cases[] = {
        {"", SAT_UNSUPPORTED},  // no number reads as version 0
        {"102 0 0 0\nbody $-1 $-1 $-1 $-1 #\n", SAT_UNSUPPORTED},
        {"601 0 0 0\nbody $-1 $-1 $-1 $-1 #\n", SAT_UNSUPPORTED},
        {"700 0 0 0\n@7 unknown\n", SAT_UNSUPPORTED},
        {"ACIS BinaryFile", SAT_UNSUPPORTED},
        {"103 0 0 0\nbody $-1 $-1 $-1 $-1 #\n", SAT_DONE},  // no tolerance line before 200
        {"103 0 0\n", SAT_HEADER_ERROR},
        {"200 0 1 0\n4 abcd", SAT_HEADER_ERROR},
        {"200 0 1 0\n4 abcd 3 xyz 2 ab\n1 x 1e-10\n", SAT_HEADER_ERROR},
        {"600 0 1 0\n", SAT_HEADER_ERROR},
        {"400 0 1 0\n4 abcd 3 xyz 2 ab\n1 1e-06 1e-10\n", SAT_NO_BODY},  // ends right after the header
        {"600 0 1 0\n4 abcd 3 xyz 2 ab\n1 1e-06 1e-10\nbody $-1 $-1 $-1 $-1 #\n", SAT_DONE},
    };
    for (const auto& c : cases) {
        ParsedSat sat(c.text);
        EXPECT_EQ(sat.answer(), c.answer) << c.text;
    }
}

TEST_F(SatParserTest, AnUnusableStreamAnswersZero) {
    satParser parser(nullptr);
    EXPECT_EQ(parser.parse(), SAT_BAD_STREAM);
}

TEST_F(SatParserTest, ForceReadsAnUnsupportedVersionWithAWarning) {
    std::stringbuf buffer("102 0 0 0\nbody $-1 $-1 $-1 $-1 #\n");
    satParser parser(&buffer);
    parser.setForce(true);
    EXPECT_EQ(parser.parse(), SAT_DONE);
    EXPECT_EQ(err, "+++ Warning: Forcing a parse of unsupported version: 102\n");
}

TEST_F(SatParserTest, CountedStringsOfLengthZeroAreEmptyAndNegativeOnesTakeAWord) {
    // Drawings write an empty date as 0.
    for (const char* text : {"200 0 1 0\n3 abc 3 xyz 0\n1 1e-06 1e-10\nbody $-1 $-1 $-1 $-1 #\n",
                             "200 0 1 0\n0 3 xyz 2 ab\n1 1e-06 1e-10\nbody $-1 $-1 $-1 $-1 #\n",
                             "200 0 1 0\n-1 product 3 xyz 2 ab\n1 1e-06 1e-10\nbody $-1 $-1 $-1 $-1 #\n"}) {
        ParsedSat sat(text);
        EXPECT_EQ(sat.answer(), SAT_DONE) << text;
    }
}

TEST_F(SatParserTest, ParseSetsThePointTolerance) {
    ParsedSat sat(v400("body $-1 $-1 $-1 $-1 #\n"));
    EXPECT_EQ(getPointTolerance(), 0.007);
}

TEST_F(SatParserTest, RecordsAreNumberedInOrderAndTagsResetTheNumbering) {
    ParsedSat sat(v400("point $-1 0 0 0 #\npoint $-1 1 0 0 #\n-10 point $-1 2 0 0 #\npoint $-1 3 0 0 #\n"
                       "body $-1 $-1 $-1 $-1 #\n"));
    ASSERT_EQ(sat.answer(), SAT_DONE);
    const struct {
        std::int32_t n;
        double x;
    } expected[] = {{0, 0}, {1, 1}, {10, 2}, {11, 3}};
    for (const auto& e : expected) {
        auto* point = sat.at<acis_Point>(e.n);
        ASSERT_NE(point, nullptr) << e.n;
        EXPECT_EQ(point->position().x, e.x);
        EXPECT_EQ(point->sequenceNumber(), e.n);
    }
    EXPECT_EQ(sat.parser().entityAt(2), nullptr);
    EXPECT_NE(sat.at<acis_Body>(12), nullptr);
}

TEST_F(SatParserTest, ReferencesResolveForwardAndBackward) {
    ParsedSat sat(v400("vertex $-1 $-1 $3 #\n"        // 0: forward to the point
                       "edge $-1 $0 $0 $-1 $-1 forward #\n"  // 1: back to the vertex
                       "body $-1 $-1 $-1 $-1 #\n"
                       "point $-1 1 2 3 #\n"));
    ASSERT_EQ(sat.answer(), SAT_DONE);
    auto* vertex = sat.at<acis_Vertex>(0);
    auto* edge = sat.at<acis_Edge>(1);
    ASSERT_TRUE(vertex && edge);
    EXPECT_EQ(vertex->point, sat.at<acis_Point>(3));
    EXPECT_EQ(vertex->edge, nullptr);  // $-1
    EXPECT_EQ(edge->start, vertex);
    EXPECT_EQ(edge->end, vertex);
}

TEST_F(SatParserTest, ReferencesToMissingSkippedOrWrongKindsStayNull) {
    ParsedSat sat(v400("vertex $-1 $1 $2 #\n"  // an edge that is a skipped record, a point that is a body
                       "unknown-thing $-1 1 2 #\n"
                       "body $-1 $-1 $-1 $-1 #\n"
                       "face $-1 $99 $-1 $-1 $-1 $-1 forward single #\n"));
    ASSERT_EQ(sat.answer(), SAT_DONE);
    auto* vertex = sat.at<acis_Vertex>(0);
    ASSERT_NE(vertex, nullptr);
    EXPECT_EQ(vertex->edge, nullptr);
    EXPECT_EQ(vertex->point, nullptr);
    EXPECT_EQ(sat.at<acis_Face>(3)->next, nullptr);
    EXPECT_EQ(err, "");
}

TEST_F(SatParserTest, TwoBodiesComeNewestFirst) {
    ParsedSat sat(v400("body $-1 $-1 $-1 $-1 #\nbody $-1 $-1 $-1 $-1 #\n"));
    ASSERT_EQ(sat.answer(), SAT_DONE);
    EXPECT_EQ(sat.parser().firstBody(), sat.at<acis_Body>(1));
    EXPECT_EQ(sat.parser().nextBody(), sat.at<acis_Body>(0));
    EXPECT_EQ(sat.parser().nextBody(), nullptr);
    EXPECT_EQ(sat.parser().firstBody(), sat.at<acis_Body>(1));
    EXPECT_EQ(sat.parser().bodyCount(), 2);
}

TEST_F(SatParserTest, StopWordsEndTheText) {
    for (const char* stop : {"End-of-ACIS-data", "Begin-of-ACIS-History-Data"}) {
        ParsedSat sat(v400(std::string("body $-1 $-1 $-1 $-1 #\n") + stop + "\nbody $-1 $-1 $-1 $-1 #\n"));
        EXPECT_EQ(sat.answer(), SAT_DONE);
        EXPECT_EQ(sat.parser().bodyCount(), 1) << stop;
    }
}

struct ErrorCase {
    const char* records;
    const char* err;
    std::int32_t bodies;  // bodies read: a later record is read normally
};

TEST_F(SatParserTest, SyntaxErrorsSkipToTheEndOfTheRecord) {
    const ErrorCase cases[] = {
        {"body $-1 $-1 $-1 $-1 $-1 #\nbody $-1 $-1 $-1 $-1 #\n",
         "*** ERROR: Syntax error at sequence number 0: Expected '#'\n", 2},
        {"$3 body $-1 $-1 $-1 $-1 #\nbody $-1 $-1 $-1 $-1 #\n",
         "*** ERROR: Syntax error at sequence number 0: Bad tag\n", 1},
        {"-4 -5 body $-1 $-1 $-1 $-1 #\nbody $-1 $-1 $-1 $-1 #\n",
         "*** ERROR: Syntax error at sequence number 4: Bad tag\n", 1},
        // A malformed number: the record keeps what it read and the text goes on.
        {"point $-1 1 x 3 #\nbody $-1 $-1 $-1 $-1 #\n",
         "*** ERROR: Syntax error at sequence number 0: Malformed field\n", 1},
        {"body $-1 $-1 $-1 $-1 #\nbody $-1 $-1",
         "*** ERROR: Syntax error at sequence number 1: Expected '#'\n"
         "*** ERROR: Unexpected EOF in satParser::skipToEndOfEntity\n",
         2},
        {"body $-1 $-1 $-1 $-1 #\nmystery $-1 1 2 3", "*** ERROR: Unexpected EOF in satParser::skipToEndOfEntity\n",
         1},
        {"body $-1 $-1 $-1 $-1 #\nintcurve-curve $-1 forward exactcur #\nbody $-1 $-1 $-1 $-1 #\n",
         "*** ERROR: Syntax error at sequence number 1: Expected '{'\n", 2},
    };
    for (const ErrorCase& c : cases) {
        err.clear();
        ParsedSat sat(v400(c.records));
        SCOPED_TRACE(c.records);
        EXPECT_EQ(sat.answer(), SAT_DONE);
        EXPECT_EQ(err, c.err);
        EXPECT_EQ(sat.parser().bodyCount(), c.bodies);
    }
}

TEST_F(SatParserTest, AMalformedNumberKeepsTheRecordsObject) {
    ParsedSat sat(v400("point $-1 1 x 3 #\nbody $-1 $0 $-1 $-1 #\n"));
    auto* point = sat.at<acis_Point>(0);
    ASSERT_NE(point, nullptr);
    EXPECT_EQ(point->position().x, 1);
    EXPECT_EQ(sat.at<acis_Body>(1)->sequenceNumber(), 1);
}

TEST_F(SatParserTest, UnknownRecordsAreSkippedButTheirSubtypesNumbered) {
    ParsedSat sat(v400("mystery $-1 { exactsur nullbs } 3 #\n"
                       "spline-surface $-1 forward { ref 0 } I I I I #\n"
                       "body $-1 $-1 $-1 $-1 #\n"));
    ASSERT_EQ(sat.answer(), SAT_DONE);
    EXPECT_EQ(err, "");
    auto* spline = sat.at<acis_Spline>(1);
    ASSERT_NE(spline, nullptr);
    ASSERT_NE(spline->subtype, nullptr);
    EXPECT_EQ(spline->subtype->kind(), "exactsur");
    EXPECT_EQ(sat.parser().refMgr().count(), 1);
}

TEST_F(SatParserTest, SubtypeReferencesShareTheirDefinition) {
    ParsedSat sat(v400("spline-surface $-1 forward { exactsur nullbs } I I I I #\n"
                       "spline-surface $-1 forward { ref 0 } I I I I #\n"
                       "spline-surface $-1 forward { ref 7 } I I I I #\n"
                       "body $-1 $-1 $-1 $-1 #\n"));
    ASSERT_EQ(sat.answer(), SAT_DONE);
    auto* first = sat.at<acis_Spline>(0);
    ASSERT_NE(first->subtype, nullptr);
    EXPECT_EQ(sat.at<acis_Spline>(1)->subtype, first->subtype);
    EXPECT_EQ(sat.at<acis_Spline>(2)->subtype, nullptr);
}

TEST_F(SatParserTest, UnrecognisedAndNestedDefinitionsTakeNumbers) {
    ParsedSat sat(v400("mystery $-1 { oddsur 1 { exactsur nullbs } 2 }{ exactcur nullbs 0 null_surface null_surface nullbs nullbs I I } #\n"
                       "spline-surface $-1 forward { ref 1 } I I I I #\n"
                       "intcurve-curve $-1 forward { ref 2 } I I #\n"
                       "body $-1 $-1 $-1 $-1 #\n"));
    ASSERT_EQ(sat.answer(), SAT_DONE);
    EXPECT_EQ(sat.parser().refMgr().count(), 3);
    EXPECT_EQ(sat.parser().refMgr().get(0), nullptr);
    ASSERT_NE(sat.at<acis_Spline>(1)->subtype, nullptr);
    ASSERT_NE(sat.at<acis_Intcurve>(2)->mIntCurve, nullptr);
    EXPECT_EQ(sat.at<acis_Intcurve>(2)->mIntCurve->kind(), "exactcur");
}

TEST_F(SatParserTest, RefMgrGrowsByHalfAndRefusesUnknownNumbers) {
    RefMgr refs(3);  // below 5 becomes 20
    EXPECT_EQ(refs.capacity(), 20);
    for (int i = 0; i < 20; ++i) EXPECT_EQ(refs.allocate(), i);
    EXPECT_EQ(refs.allocate(), 20);
    EXPECT_EQ(refs.capacity(), 30);
    EXPECT_EQ(refs.get(21), nullptr);
    EXPECT_EQ(refs.get(-1), nullptr);
}

TEST_F(SatParserTest, TablesGrowToHoldEveryIndex) {
    // A record count of 0 gives 200 slots; 400 is exactly twice that.
    for (int n : {199, 200, 399, 400, 401, 4095}) {
        const std::string tag = "-" + std::to_string(n);
        ParsedSat sat(v400("body $-1 $" + std::to_string(n) + " $-1 $-1 #\n" + tag + " lump $-1 $-1 $-1 $0 #\n"));
        ASSERT_EQ(sat.answer(), SAT_DONE) << n;
        auto* lump = sat.at<acis_Lump>(n);
        ASSERT_NE(lump, nullptr) << n;
        EXPECT_EQ(sat.at<acis_Body>(0)->lump, lump) << n;
    }
}

TEST_F(SatParserTest, HugeNumbersInTheTextDemandNoTables) {
    const char* texts[] = {
        "400 2147483647 1 0\n4 abcd 3 xyz 2 ab\n1 1e-06 1e-10\nbody $-1 $2147483000 $-1 $-1 #\n",
        "400 0 1 0\n4 abcd 3 xyz 2 ab\n1 1e-06 1e-10\n-2147483000 body $-1 $-1 $-1 $-1 #\nbody $-1 $-1 $-1 $-1 #\n",
        "400 0 1 0\n4 abcd 3 xyz 2 ab\n1 1e-06 1e-10\n-2147483647 body $-1 $-1 $-1 $-1 #\n-4000 body $-1 $-1 $-1 "
        "$-1 #\n",
    };
    for (const char* text : texts) {
        ParsedSat sat(text);
        EXPECT_EQ(sat.answer(), SAT_DONE) << text;
        EXPECT_GE(sat.parser().bodyCount(), 1);
    }
    EXPECT_NE(err.find("Sequence number out of range"), std::string::npos);
}

TEST_F(SatParserTest, NegativeTagsAreRefused) {
    ParsedSat sat(v400("--5 body $-1 $-1 $-1 $-1 #\nbody $-1 $-1 $-1 $-1 #\n"));
    EXPECT_EQ(sat.answer(), SAT_DONE);
    EXPECT_EQ(sat.parser().bodyCount(), 1);
    EXPECT_EQ(err, "*** ERROR: Syntax error at sequence number 0: Sequence number out of range\n");
}

TEST_F(SatParserTest, ADuplicateNumberKeepsTheEarlierRecordAlive) {
    ParsedSat sat(v400("-1 point $-1 1 0 0 #\nvertex $-1 $-1 $1 #\n-1 point $-1 2 0 0 #\n-5 body $-1 $-1 $-1 $-1 #\n"));
    ASSERT_EQ(sat.answer(), SAT_DONE);
    auto* vertex = sat.at<acis_Vertex>(2);
    ASSERT_NE(vertex, nullptr);
    ASSERT_NE(vertex->point, nullptr);
    EXPECT_EQ(vertex->point->position().x, 1);
    EXPECT_EQ(sat.at<acis_Point>(1)->position().x, 2);
}

TEST_F(SatParserTest, DeeplyNestedDefinitionsAreSkippedWithoutRecursion) {
    std::string nested;
    for (int i = 0; i < 100000; ++i) nested += "{ x ";
    for (int i = 0; i < 100000; ++i) nested += "} ";
    ParsedSat sat(v400("mystery $-1 " + nested + "#\nbody $-1 $-1 $-1 $-1 #\n"));
    EXPECT_EQ(sat.answer(), SAT_DONE);
    EXPECT_EQ(sat.parser().bodyCount(), 1);
}

TEST_F(SatParserTest, ALongKeywordIsCutAndSkipped) {
    ParsedSat sat(v400(std::string(500, 'k') + " $-1 #\nbody $-1 $-1 $-1 $-1 #\n"));
    EXPECT_EQ(sat.answer(), SAT_DONE);
    EXPECT_EQ(sat.parser().bodyCount(), 1);
}

}  // namespace
