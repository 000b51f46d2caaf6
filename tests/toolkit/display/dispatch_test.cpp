// Whole draws of small DXF drawings (made by tests/data/display/dispatch/
// make_dispatch_fixtures.py) through the recording host: point figures,
// layers on, off and frozen, SOLID edges without FILLMODE, an XLINE cut to
// the device, draw order from ACAD_SORTENTS, line weights, and progress.
#include "dispatch_fixture.h"

#include "toolkit/display/xref.h"

#include <cstdio>
#include <sstream>

// Two points, one on layer 0 and one on DEFPOINTS: the dot, the figure of
// PDMODE & 7, the circle of 0x20 and the square of 0x40 (a figure of size 1
// is 10 device units); DEFPOINTS shows the dot only.
TEST_F(Dispatch, PointFigures) {
    ASSERT_TRUE(open("points.dxf"));
    d->header->pdsize = 1.0;
    adSetCurveResolution(10);
    const struct {
        std::int16_t pdmode;
        std::size_t lines;
    } cases[] = {
        {0, 2},                  // two dots
        {1, 0},                  // nothing, DEFPOINTS too
        {2, 4},                  // dot and plus; a dot
        {3, 3},                  // cross without a dot; a dot
        {4, 3},                  // dot and tick; a dot
        {0x22, 4 + 40},          // and a circle of 40 chords
        {0x43, 3 + 4},           // and a square
    };
    for (const auto& c : cases) {
        d->header->pdmode = c.pdmode;
        EXPECT_EQ(lines(draw(), "line ").size(), c.lines) << "PDMODE " << c.pdmode;
    }
    d->header->pdmode = 3;
    const std::string cross = draw();
    // The cross's arms are 0.7071 of the size from the point (100, 100).
    EXPECT_NE(cross.find("move 93 93\nline 107 107\n"), std::string::npos) << cross;
    // PDSIZE 0 takes 2% of the view height; in paper space with three
    // viewports no figure is drawn.
    d->header->pdsize = 0.0;
    d->header->pdmode = 2;
    EXPECT_NE(draw().find("move 100 94\nline 100 106\n"), std::string::npos);
}

TEST_F(Dispatch, LayersOnOffAndFrozen) {
    ASSERT_TRUE(open("layers.dxf"));
    const std::string stream = draw();
    const std::vector<std::string> drawn = lines(stream, "line ");
    ASSERT_EQ(drawn.size(), 2u) << stream;  // the layer that is off and the frozen one hide theirs
    // Their ends at x = 30 lie half a unit beyond the device's right edge:
    // each runs back from that edge.
    EXPECT_EQ(drawn[0], "line 0 50");
    EXPECT_EQ(drawn[1], "line 0 200");
    EXPECT_EQ(lines(stream, "colour "), (std::vector<std::string>{"colour 1", "colour 5"}));
}

// Line weights reach the host as device widths: a weight of its own, the
// layer's for BYLAYER, the reference's for BYBLOCK, and the default's.
TEST_F(Dispatch, LineWeightsGivenByLayerByBlockAndByDefault) {
    ASSERT_TRUE(open("weights.dxf"));
    const std::string stream = draw();
    std::vector<std::string> widths;  // the width in force at each line drawn
    std::string width = "none";
    std::istringstream in(stream);
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("weight ", 0) == 0) width = line;
        if (line.rfind("line ", 0) == 0) widths.push_back(width);
    }
    // 2.11 mm, the layer's 1.00 mm, the reference's 2.11 mm, the default 0.25 mm.
    EXPECT_EQ(widths, (std::vector<std::string>{"weight 2", "weight 1", "weight 2", "weight 0"})) << stream;
}

TEST_F(Dispatch, ASolidWithItsFourthCornerOnItsFirst) {
    ASSERT_TRUE(open("solid.dxf"));
    d->header->fillmode = 0;
    EXPECT_EQ(lines(draw(), "line ").size(), 2u);
    d->header->fillmode = 1;
    const std::string filled = draw();
    EXPECT_EQ(lines(filled, "polygon ").size(), 1u) << filled;
}

TEST_F(Dispatch, AnXlineIsCutToTheDevice) {
    ASSERT_TRUE(open("xline.dxf"));
    const std::string stream = draw();
    const std::vector<std::string> drawn = lines(stream, "line ");
    ASSERT_EQ(drawn.size(), 1u) << stream;
    EXPECT_EQ(lines(stream, "move ").size(), 1u);
    // From corner to corner of the device, whichever end comes first.
    EXPECT_TRUE(drawn[0] == "line 300 300" || drawn[0] == "line 0 0") << stream;
}

// The table puts the three lines in reverse order of their handles.
TEST_F(Dispatch, DrawOrderFromTheSortTable) {
    ASSERT_TRUE(open("draw_order.dxf"));
    const std::string stream = draw();
    EXPECT_EQ(lines(stream, "colour "), (std::vector<std::string>{"colour 3", "colour 2", "colour 1"})) << stream;
    EXPECT_EQ(lines(stream, "progress ").front(), "progress 0");
    EXPECT_EQ(lines(stream, "progress ").back(), "progress 100");
}

// A reference whose path holds another's ("PLAN.DWG" inside "SITEPLAN.DWG")
// is not the same drawing: paths compare whole.
class XrefChain : public StartedToolkit {};

TEST_F(XrefChain, PathsCompareWhole) {
    AdStore* chain = adStoreCreate(AD_STORE_BLOCK_SIZE);
    ASSERT_NE(chain, nullptr);
    ASSERT_EQ(adChainAppend(chain, "c:\\site\\siteplan.dwg"), 1);
    ASSERT_EQ(adChainAppend(chain, "c:\\site\\walls.dwg"), 1);
    EXPECT_EQ(adChainContains(chain, "C:\\SITE\\SITEPLAN.DWG"), 1);
    EXPECT_EQ(adChainContains(chain, "c:\\site\\Walls.dwg"), 1);
    EXPECT_EQ(adChainContains(chain, "plan.dwg"), 0);
    EXPECT_EQ(adChainContains(chain, "c:\\site\\plan.dwg"), 0);
    EXPECT_EQ(adChainContains(chain, "c:\\site\\siteplan.dwg.bak"), 0);
    adStoreFree(chain);
}

// Queued references are drawn after the space, each announced; one that
// cannot be opened is reported missing and the next is still drawn.
TEST_F(Dispatch, QueuedExternalReferences) {
    ASSERT_TRUE(open("solid.dxf"));
    AdRecordList* queue = adListCreate();
    ASSERT_NE(queue, nullptr);
    AdXrefRequest missing{};
    std::snprintf(missing.path, sizeof missing.path, "%s", (displayDataDir() + "dispatch/no_such.dxf").c_str());
    AdXrefRequest present = missing;
    std::snprintf(present.path, sizeof present.path, "%s", (displayDataDir() + "dispatch/layers.dxf").c_str());
    for (AdXrefRequest* r : {&missing, &present}) {
        r->block = adIdentityMatrix;
        r->colour = 7;
        ASSERT_EQ(adXrefQueueAdd(queue, r), 1);
    }
    host.clear();
    AdXrefRequest request{};
    while (adXrefQueuePop(queue, &request)) adDrawXref(d, &request);
    EXPECT_EQ(adXrefQueuePop(queue, &request), 0);
    adListFree(queue);
    const std::string stream = host.stream();
    EXPECT_EQ(lines(stream, "missing ").size(), 1u) << stream;
    EXPECT_EQ(lines(stream, "xref-begin ").size(), 2u);
    EXPECT_EQ(lines(stream, "xref-opened ").size(), 1u);
    EXPECT_EQ(lines(stream, "xref-done ").size(), 1u);
    EXPECT_EQ(lines(stream, "line ").size(), 2u) << stream;  // the two shown lines of layers.dxf
}
