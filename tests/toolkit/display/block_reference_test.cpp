// Block references drawn whole through the recording host (fixtures made by
// tests/data/display/dispatch/make_dispatch_fixtures.py): nested blocks with
// layer "0" and BYBLOCK entities, a rotated multiple insert, attributes, a
// frozen reference, a cycle of blocks, a dimension block, external
// references, and solids handed to the solid-model renderer.
#include "dispatch_fixture.h"

#include "toolkit/display/block_clip.h"
#include "toolkit/display/boundary_outline.h"
#include "toolkit/display/handlers.h"
#include "toolkit/display/sat_source.h"
#include "toolkit/display/xref.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>

namespace {

// The colour each entity of the stream was drawn with, by handle (the last
// time it was met).
std::map<std::string, std::string> entityColours(const std::string& stream) {
    std::map<std::string, std::string> out;
    for (const std::string& line : lines(stream, "entity ")) {
        std::istringstream in(line);
        std::string word, type, handle, colour;
        in >> word >> type >> handle >> word >> colour;
        out[type + " " + handle] = colour;
    }
    return out;
}

// The xref finder of these tests looks beside the fixtures.
int findBesideFixtures(const char* name, char* pathOut, std::size_t capacity, void* user) {
    static_cast<RecordingHost*>(user)->add(std::string("find-xref ") + name);
    const std::string path = displayDataDir() + "dispatch/" + name;
    std::snprintf(pathOut, capacity, "%s", path.c_str());
    return 1;
}

// The moves and lines drawn for the entity whose "entity TYPE HANDLE" line
// starts with the prefix, up to the next entity.
std::vector<std::string> piecesOf(const std::string& stream, const std::string& prefix) {
    std::vector<std::string> out;
    std::istringstream in(stream);
    bool inside = false;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("entity ", 0) == 0 || line.rfind("sub-entity ", 0) == 0) inside = line.rfind(prefix, 0) == 0;
        if (inside && (line.rfind("move ", 0) == 0 || line.rfind("line ", 0) == 0)) out.push_back(line);
    }
    return out;
}

}  // namespace

// In blocks.dxf OUTER (on L1, colour 1) inserts INNER on L2 (colour 2) with
// colour BYBLOCK: INNER's line on layer 0 takes L2, its BYBLOCK line takes
// OUTER's colour through the BYBLOCK INSERT. The attributes of the TAG on
// L2 (colour 4): BYBLOCK takes the INSERT's 4, red stays 1; the TAG on the
// frozen layer hides its attributes with it.
TEST_F(Dispatch, LayerZeroByBlockAndAttributes) {
    ASSERT_TRUE(open("blocks.dxf"));
    const std::string stream = draw();
    const auto colours = entityColours(stream);
    const struct {
        const char* entity;
        const char* colour;
    } cases[] = {
        {"1 35", "2"},   // INNER's line on layer 0
        {"1 36", "1"},   // INNER's BYBLOCK line
        {"16 4A", "4"},  // ATTRIB BYBLOCK
        {"16 4B", "1"},  // ATTRIB red
    };
    for (const auto& c : cases) {
        ASSERT_EQ(colours.count(c.entity), 1u) << c.entity << "\n" << stream;
        EXPECT_EQ(colours.at(c.entity), c.colour) << c.entity;
    }
    EXPECT_EQ(lines(stream, "entity 16 ").size(), 2u) << "the frozen TAG's attributes are hidden";
    EXPECT_EQ(lines(stream, "entity 14 4C ").size(), 0u) << "the frozen TAG is not drawn";
}

// The DOT block (a point at its origin) in a grid of 2 rows and 3 columns,
// turned by 90 degrees, row spacing 5, column spacing 10, at (20, 5): the
// cells lie at (0, 0), (0, 10), (0, 20), (-5, 0), (-5, 10), (-5, 20) from
// the insertion point, 10 device units a drawing unit.
TEST_F(Dispatch, RotatedMultipleInsert) {
    ASSERT_TRUE(open("blocks.dxf"));
    const std::string stream = draw();
    std::vector<std::string> dots;
    std::istringstream in(stream);
    bool inDot = false;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("entity ", 0) == 0) inDot = line.rfind("entity 2 ", 0) == 0;
        if (inDot && line.rfind("move ", 0) == 0) dots.push_back(line);
    }
    EXPECT_EQ(dots, (std::vector<std::string>{"move 200 50", "move 200 150", "move 200 250", "move 150 50",
                                              "move 150 150", "move 150 250"}))
        << stream;
}

// CYCLE_A inserts CYCLE_B, which inserts CYCLE_A again: each block is drawn
// once, and the draw ends.
TEST_F(Dispatch, ACycleOfBlocksEnds) {
    ASSERT_TRUE(open("blocks.dxf"));
    const std::string stream = draw();
    EXPECT_EQ(lines(stream, "entity 1 56 ").size(), 1u) << stream;  // CYCLE_A's line
    EXPECT_EQ(lines(stream, "entity 1 59 ").size(), 1u);            // CYCLE_B's line
    EXPECT_EQ(lines(stream, "progress ").back(), "progress 100");
}

// The dimension's anonymous block is drawn: its lines, arrowheads as
// SOLIDs and definition points as dots even with PDMODE 3.
TEST_F(Dispatch, DimensionBlock) {
    ASSERT_TRUE(open("dimension.dxf"));
    d->header->pdmode = 3;
    const std::string stream = draw();
    EXPECT_EQ(lines(stream, "entity 11 ").size(), 2u) << stream;
    EXPECT_EQ(lines(stream, "entity 2 ").size(), 3u);
    EXPECT_EQ(lines(stream, "polygon ").size(), 2u);
    // Three dots, no cross arms: as many lines as the block's lines and dots.
    EXPECT_EQ(d->header->pdmode, 3) << "PDMODE is put back";
}

// xref_host.dxf refers to xref_part (no extension), to xref_part.Dxf, to a
// missing file, and to xref_loop.dxf, which refers back to the host.
TEST_F(Dispatch, ExternalReferences) {
    ASSERT_TRUE(open("xref_host.dxf"));
    adSetXrefFinderHook(findBesideFixtures);
    const std::string stream = draw();
    const std::vector<std::string> found = lines(stream, "find-xref ");
    EXPECT_EQ(found, (std::vector<std::string>{"find-xref xref_part.dxf", "find-xref xref_part.Dxf",
                                               "find-xref no_such_part.dxf", "find-xref xref_loop.dxf",
                                               "find-xref xref_host.dxf"}))
        << stream;
    EXPECT_EQ(lines(stream, "missing ").size(), 1u) << stream;
    EXPECT_EQ(lines(stream, "xref-begin ").size(), 3u) << "the host is not drawn again inside the loop";
    EXPECT_EQ(lines(stream, "xref-done ").size(), 3u);
}

TEST(XrefPath, Completion) {
    const struct {
        const char* path;
        std::uint8_t format;
        const char* completed;
    } cases[] = {
        {"plan", AD_FORMAT_DXF_ASCII, "plan.dxf"},
        {"plan", AD_FORMAT_DWG, "plan.dwg"},
        {"plan.Dwg", AD_FORMAT_DXF_ASCII, "plan.Dwg"},  // any case names a drawing
        {"plan.DWG.bak", AD_FORMAT_DWG, "plan.DWG.bak"},
        {"plan.dxf", AD_FORMAT_DWG, "plan.dxf"},
        {"", AD_FORMAT_DXF_BINARY, ".dxf"},
    };
    for (const auto& c : cases) {
        char out[AD_PATH_SIZE];
        adCompleteXrefPath(c.path, c.format, out, sizeof out);
        EXPECT_STREQ(out, c.completed) << c.path;
    }
    // A path that does not fit is cut, never written past the buffer.
    char small[8];
    adCompleteXrefPath("a_long_name", AD_FORMAT_DWG, small, sizeof small);
    EXPECT_STREQ(small, "a_long_");
}

// The default solid-model slot: the renderer's edges of a unit box reach the
// host as lines; a text the renderer cannot parse, and a record without SAT
// text, draw nothing.
TEST_F(Dispatch, SolidsThroughTheRenderer) {
    ASSERT_TRUE(open("solid.dxf"));
    const auto satStore = [](const std::string& text) {
        AdStore* store = adStoreCreate(AD_STORE_BLOCK_SIZE);
        AdStream* out = adStreamOpenWrite(store);
        adStreamWrite(out, text.data(), static_cast<std::int32_t>(text.size()));
        adStreamCloseWrite(out);
        return store;
    };
    AdMatrix4 scaled = d->display->viewports[0].full;
    adMatrixScaleAxes(10.0, 10.0, 10.0, &scaled);  // the unit box 100 device units wide
    const struct {
        std::string text;
        bool drawn;
    } cases[] = {
        {readText(std::string(VT_TEST_DATA_DIR) + "/sat/box_400.sat"), true},
        {"400 0 1 0\nnot a solid at all\n", false},
        {"", false},
    };
    for (const auto& c : cases) {
        AdStore* store = c.text.empty() ? nullptr : satStore(c.text);
        AdSolidDrawRecord record{store,   0,       d,   &adIdentityMatrix, &scaled, &d->display->continuousRecord,
                                 d,       nullptr, 1,   0,                 0.0,     10};
        host.clear();
        EXPECT_EQ(adSolidBridge(&record, nullptr), 0);
        const std::size_t drawn = lines(host.stream(), "line ").size();
        if (c.drawn)
            EXPECT_GE(drawn, 8u) << host.stream();  // 12 edges, those seen end-on drawn as dots
        else
            EXPECT_EQ(drawn, 0u) << host.stream();
        if (store) adStoreFree(store);
    }
}

// The renderer's primitives: a strip of n vertices draws n - 1 segments,
// separate segments pair their vertices and leave an odd one out, one
// vertex or another mode draws nothing. Reads get at most what remains.
TEST_F(Dispatch, SolidPrimitivesAndReads) {
    ASSERT_TRUE(open("solid.dxf"));
    const double v[] = {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0, 0, 2, 0};
    const struct {
        std::int32_t mode, count;
        std::size_t segments;
    } cases[] = {{3, 1, 0}, {3, 4, 3}, {3, 5, 4}, {1, 5, 2}, {1, 4, 2}, {1, 1, 0}, {2, 5, 0}};
    for (const auto& c : cases) {
        AdSolidDrawRecord record{nullptr, 0, d, &adIdentityMatrix, &d->display->viewports[0].full,
                                 &d->display->continuousRecord, d, nullptr, 1, 0, 0.0, 10};
        host.clear();
        adDrawSolidPrimitive(&record, c.mode, v, c.count);
        EXPECT_EQ(lines(host.stream(), "line ").size(), c.segments) << c.mode << " " << c.count;
    }
    AdStore* store = adStoreCreate(AD_STORE_BLOCK_SIZE);
    AdStream* out = adStreamOpenWrite(store);
    adStreamWrite(out, "0123456789", 10);
    adStreamCloseWrite(out);
    AdStream* in = adStreamOpenRead(store);
    AdSatSource source{in, adStreamLength(in)};
    char buffer[512];
    EXPECT_EQ(adSatSourceRead(source, buffer, 4), 4);
    EXPECT_EQ(adSatSourceRead(source, buffer, 512), 6) << "only what remains";
    EXPECT_EQ(std::string(buffer, 6), "456789");
    EXPECT_EQ(adSatSourceRead(source, buffer, 512), 0) << "and then the end";
    adStreamCloseRead(in);
    adStoreFree(store);
}

// The spatial filter's outline: two points are a rectangle's opposite
// corners; the points go through the inverse of the clip transform and
// then the inverse block transform; a clip transform without an inverse
// gives no outline rather than NaN points.
class SpatialFilter : public StartedToolkit {};

TEST_F(SpatialFilter, Outline) {
    const auto outline = [](std::vector<double> points, double clipScale) {
        AdSpatialFilterData filter{};
        filter.pointCount = static_cast<std::int16_t>(points.size() / 2);
        filter.displayBoundary = 1;
        filter.boundary = adStoreCreate(AD_STORE_BLOCK_SIZE);
        AdStream* out = adStreamOpenWrite(filter.boundary);
        for (double v : points) adStreamWriteDouble(out, &v);
        adStreamCloseWrite(out);
        const double identity[12] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};
        for (int i = 0; i < 12; ++i) filter.inverseTransform[i] = filter.clipTransform[i] = identity[i];
        for (int i : {0, 4, 8}) filter.clipTransform[i] = clipScale;
        filter.inverseTransform[9] = 5.0;  // moves x by 5
        AdStore* store = adSpatialFilterOutline(filter);
        std::vector<double> values;
        if (store) {
            AdStream* in = adStreamOpenRead(store);
            for (double v = 0.0; adStreamReadDouble(in, &v);) values.push_back(v);
            adStreamCloseRead(in);
            adStoreFree(store);
        }
        adStoreFree(filter.boundary);
        return values;
    };
    EXPECT_EQ(outline({0, 0, 2, 4}, 1.0), (std::vector<double>{5, 0, 0, 7, 0, 0, 7, 4, 0, 5, 4, 0}));
    EXPECT_EQ(outline({0, 0, 4, 0, 0, 4}, 2.0), (std::vector<double>{5, 0, 0, 7, 0, 0, 5, 2, 0}));
    EXPECT_TRUE(outline({0, 0, 2, 4}, 0.0).empty()) << "a singular clip transform";
    EXPECT_TRUE(outline({1, 1}, 1.0).empty()) << "one point bounds nothing";
}

// Clip-entity outlines with the segment count 10 (40 chords a circle): a
// circle of 41 points, the first repeated; a square's four corners without
// a closing point; the square with a repeated vertex and a bulge of 1 on its
// last vertex, ending with a half circle back to the first corner; a full
// ellipse; a spline's chords as point pairs; a LINE has no outline.
TEST_F(Dispatch, ClipEntityOutlines) {
    ASSERT_TRUE(open("outlines.dxf"));
    adSetSegmentCount(10);
    AdHandle model{};
    adSpaceBlockHandle(d, &model, AD_SPACE_MODEL);
    AdRecordList* list = adBlockEntityList(d, &model);
    ASSERT_NE(list, nullptr);
    std::vector<AdHandle> handles;
    AdEntityHeader header{};
    auto data = std::make_unique<AdEntityData>();
    adEntityRewind(list);
    while (adEntityNext(list, &header, data.get())) handles.push_back(header.handle);
    ASSERT_EQ(handles.size(), 6u);
    const auto outline = [&](std::size_t i) {
        std::vector<double> values;
        AdStore* store = adClipEntityOutline(d, &handles[i], list);
        if (!store) return values;
        AdStream* in = adStreamOpenRead(store);
        for (double v = 0.0; adStreamReadDouble(in, &v);) values.push_back(v);
        adStreamCloseRead(in);
        adStoreFree(store);
        return values;
    };
    const std::vector<double> circle = outline(0);
    ASSERT_EQ(circle.size(), 2u * 41);
    EXPECT_NEAR(circle[80], circle[0], 1e-12);
    EXPECT_NEAR(circle[81], circle[1], 1e-12);
    EXPECT_EQ(outline(1), (std::vector<double>{0, 0, 4, 0, 4, 4, 0, 4}));
    const std::vector<double> bulged = outline(2);
    ASSERT_EQ(bulged.size(), 2u * (4 + 21));  // the half circle of 20 chords from the last corner on
    EXPECT_EQ(std::vector<double>(bulged.begin(), bulged.begin() + 8), (std::vector<double>{0, 0, 4, 0, 4, 4, 0, 4}));
    EXPECT_NEAR(bulged.back(), 0.0, 1e-9);
    EXPECT_EQ(outline(3).size(), 2u * 41);
    EXPECT_EQ(outline(4).size() % 4, 0u);
    EXPECT_TRUE(outline(5).empty());
    // The entity is a boundary now, in the drawing.
    ASSERT_EQ(adEntityByHandle(d, list, &handles[0], &header, data.get()), 1);
    EXPECT_NE(header.flags & 0x10, 0);
}

// The part's WALLS layer is red (1); the host has PART|WALLS green (3) and
// inserts the part on a blue (5) layer. Under VISRETAIN 1 the part's layer
// takes the host's colour; its layer 0 takes the INSERT's layer either way.
TEST_F(Dispatch, ExternalReferenceLayersUnderVisretain) {
    const struct {
        const char* host;
        std::vector<std::string> colours;
    } cases[] = {
        {"xref_visretain0.dxf", {"colour 5", "colour 1", "colour 5"}},
        {"xref_visretain1.dxf", {"colour 5", "colour 3", "colour 5"}},
    };
    for (const auto& c : cases) {
        closeDrawing();
        ASSERT_TRUE(open(c.host));
        adSetXrefFinderHook(findBesideFixtures);
        const std::string stream = draw();
        EXPECT_EQ(lines(stream, "colour "), c.colours) << c.host << "\n" << stream;
        EXPECT_EQ(lines(stream, "xref-done ").size(), 1u);
    }
}


// references.dxf (make_reference_fixtures.py): a BYBLOCK line at the top
// level takes colour 7; SELF inserts itself and its line is drawn once; BAR
// with x scale 0 collapses to a point; BOX clipped to x 7 .. 11 (device 70
// .. 110) with its frame drawn; the clipped EMPTY block draws nothing and
// leaves the line after it unclipped.
TEST_F(Dispatch, ReferenceEdgeCases) {
    ASSERT_TRUE(open("references.dxf"));
    const std::string stream = draw();
    const struct {
        const char* entity;
        std::vector<std::string> pieces;
    } cases[] = {
        {"entity 1 31 colour 7", {"move 0 290", "line 40 290"}},
        {"entity 1 35 ", {"move 0 270", "line 40 270"}},
        {"entity 1 3D ", {"move 20 250", "line 20 250"}},
        {"entity 14 45 ", {"move 70 40", "line 110 40", "line 110 110", "line 70 110", "line 70 40"}},
        {"entity 1 43 ", {"move 70 50", "line 110 50"}},
        {"entity 1 44 ", {"move 70 100", "line 110 100"}},
        {"entity 14 4D ", {}},
        {"entity 1 52 ", {"move 300 200", "line 0 200"}},
    };
    for (const auto& c : cases) EXPECT_EQ(piecesOf(stream, c.entity), c.pieces) << c.entity << "\n" << stream;
    EXPECT_EQ(lines(stream, "entity 1 35 ").size(), 1u) << "the self-inserting block is drawn once";
}

// A 2 x 3 grid of a missing external reference reports it once per cell. A
// finder that fills the whole buffer it is given, without an end, gives a
// path cut to the buffer.
TEST_F(Dispatch, MissingReferenceInAGrid) {
    ASSERT_TRUE(open("xref_missing_grid.dxf"));
    adSetXrefFinderHook(findBesideFixtures);
    std::string stream = draw();
    EXPECT_EQ(lines(stream, "missing ").size(), 6u) << stream;
    EXPECT_EQ(adGlobals->errorCode, AD_ERR_XREF_MISSING);
    adSetXrefFinderHook([](const char*, char* pathOut, std::size_t capacity, void*) {
        std::memset(pathOut, 'x', capacity);
        return 1;
    });
    stream = draw();
    const std::vector<std::string> missing = lines(stream, "missing ");
    ASSERT_EQ(missing.size(), 6u) << stream;
    EXPECT_EQ(missing[0], "missing \"" + std::string(AD_PATH_SIZE - 1, 'x') + "\"");
}

// The host attaches xref_attached.dxf, which overlays xref_overlaid.dxf, and
// overlays xref_overlaid.dxf itself: the overlay is drawn from the host only.
TEST_F(Dispatch, OverlaysAreDrawnFromTheTopLevelOnly) {
    ASSERT_TRUE(open("xref_overlay_host.dxf"));
    adSetXrefFinderHook(findBesideFixtures);
    const std::string stream = draw();
    EXPECT_EQ(lines(stream, "find-xref "), (std::vector<std::string>{"find-xref xref_attached.dxf",
                                                                     "find-xref xref_overlaid.dxf"}))
        << stream;
    EXPECT_EQ(lines(stream, "xref-begin ").size(), 2u) << stream;
}

// One INSERT with attributes of every flag (none, invisible, constant,
// verify, preset) under ATTMODE 0, 1 and 2: each ATTRIB reaches the
// dispatcher with its INSERT's colour (BYLAYER on layer 0); none is drawn
// under ATTMODE 0, all but the invisible one under 1, all under 2.
TEST_F(Dispatch, AttributesUnderEachMode) {
    const struct {
        const char* name;
        std::size_t drawn;
    } cases[] = {{"attributes_mode0.dxf", 0}, {"attributes_mode1.dxf", 4}, {"attributes_mode2.dxf", 5}};
    for (const auto& c : cases) {
        closeDrawing();
        ASSERT_TRUE(open(c.name));
        const std::string stream = draw();
        const std::vector<std::string> attributes = lines(stream, "entity 16 ");
        ASSERT_EQ(attributes.size(), 5u) << c.name << "\n" << stream;
        std::size_t drawn = 0;
        for (const std::string& line : attributes) {
            EXPECT_NE(line.find(" colour 7"), std::string::npos) << line;
            const std::string prefix = line.substr(0, line.find(" colour"));
            drawn += !piecesOf(stream, prefix + " ").empty();
        }
        EXPECT_EQ(drawn, c.drawn) << c.name << "\n" << stream;
    }
}

// A layout window 8 units wide over a model line through its middle, once
// clipped by a circle of radius 3 about its centre (outlined with 40 chords,
// so the line crosses it exactly 6 units long) and once square.
TEST_F(Dispatch, ANonRectangularViewportClipsItsView) {
    const auto drawnLength = [&](const char* name) {
        closeDrawing();
        const std::int32_t rect[4] = {0, 0, 1200, 700};
        AdViewRecord view{};
        if (!begin(displayDataDir() + "dispatch/" + name, rect, &view)) return -1.0;
        host.install();
        host.setUserData(d);
        const std::string stream = draw();
        double length = 0.0, x = 0.0, y = 0.0;
        for (const std::string& piece : piecesOf(stream, "entity 1 ")) {
            std::istringstream in(piece);
            std::string word;
            double nx = 0.0, ny = 0.0;
            in >> word >> nx >> ny;
            if (word == "line") length += std::hypot(nx - x, ny - y);
            x = nx, y = ny;
        }
        return length;
    };
    adSetSegmentCount(10);
    const double square = drawnLength("viewport_square.dxf");
    const double clipped = drawnLength("viewport_clipped.dxf");
    ASSERT_GT(square, 100.0);
    EXPECT_NEAR(clipped / square, 6.0 / 8.0, 0.01);
}

// Lines under a linetype of dash 2, gap 1 carrying the text "I" (one font
// unit of 10 up in glyphs.shx, element scale 10: one drawing unit), gap 1:
// the I stands at the end of its gap, 10 device units up from a horizontal
// line, and turned with a vertical one, 10 to the left of it.
TEST_F(Dispatch, LinetypeTextElementsStandAtTheEndOfTheirGap) {
    ASSERT_TRUE(open("linetype_elements.dxf"));
    adSetFileFinderHook([](char* name, char* result, void*) {
        const std::string path = std::string(VT_TEST_DATA_DIR) + "/fonts/" + name;
        std::snprintf(result, AD_PATH_SIZE, "%s", path.c_str());
    });
    const std::string stream = draw();
    // The strokes of the entity's pieces that move by (dx, dy): their starts.
    const auto strokes = [&](const std::string& entity, int dx, int dy) {
        std::vector<std::pair<int, int>> out;
        const std::vector<std::string> pieces = piecesOf(stream, entity);
        for (std::size_t i = 0; i + 1 < pieces.size(); ++i) {
            std::istringstream a(pieces[i]), b(pieces[i + 1]);
            std::string wa, wb;
            int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
            a >> wa >> x0 >> y0;
            b >> wb >> x1 >> y1;
            if (wa == "move" && wb == "line" && x1 - x0 == dx && y1 - y0 == dy) out.emplace_back(x0, y0);
        }
        return out;
    };
    using Starts = std::vector<std::pair<int, int>>;
    EXPECT_EQ(strokes("entity 1 31 ", 0, 10), (Starts{{20, 50}, {60, 50}, {100, 50}, {140, 50}, {180, 50}})) << stream;
    EXPECT_EQ(strokes("entity 1 32 ", -10, 0), (Starts{{250, 40}, {250, 80}, {250, 120}, {250, 160}, {250, 200}}))
        << stream;
}
