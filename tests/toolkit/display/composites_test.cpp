// Leaders, arrowheads, multilines, tolerance frames and meshes drawn from the
// small DXF drawings of tests/data/display/composites (made by
// make_entity_fixtures.py there) through the recording host, in a 400 by 400
// device over the window (0, 0)..(40, 40): 10 device units a drawing unit.
#include "displayed_drawing.h"

#include "toolkit/display/leader.h"
#include "toolkit/display/tolerance.h"
#include "tools/renderhost/recording_host.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>
#include <tuple>
#include <vector>

namespace {

// One drawn piece in device units, with the pen colour it was drawn in.
struct Piece {
    int x1, y1, x2, y2;
    int colour;
};

std::vector<Piece> pieces(const std::string& stream) {
    std::vector<Piece> out;
    std::istringstream in(stream);
    int x = 0, y = 0, colour = -1;
    for (std::string line; std::getline(in, line);) {
        int a = 0, b = 0;
        if (std::sscanf(line.c_str(), "move %d %d", &a, &b) == 2) {
            x = a, y = b;
        } else if (std::sscanf(line.c_str(), "line %d %d", &a, &b) == 2) {
            out.push_back(Piece{x, y, a, b, colour});
            x = a, y = b;
        } else if (std::sscanf(line.c_str(), "colour %d", &a) == 1) {
            colour = a;
        }
    }
    return out;
}

// The distinct edges among the pieces that lie inside the box (device units),
// whichever way round they were drawn.
std::size_t distinctEdges(const std::vector<Piece>& drawn, int x1, int y1, int x2, int y2) {
    std::set<std::tuple<int, int, int, int>> edges;
    for (const Piece& p : drawn) {
        if (std::min(p.x1, p.x2) < x1 || std::max(p.x1, p.x2) > x2 || std::min(p.y1, p.y2) < y1 ||
            std::max(p.y1, p.y2) > y2)
            continue;
        const auto a = std::make_pair(p.x1, p.y1), b = std::make_pair(p.x2, p.y2);
        const auto [lo, hi] = std::minmax(a, b);
        edges.emplace(lo.first, lo.second, hi.first, hi.second);
    }
    return edges.size();
}

std::size_t count(const std::string& stream, const std::string& word) {
    std::size_t n = 0;
    std::istringstream in(stream);
    for (std::string line; std::getline(in, line);) n += line.rfind(word, 0) == 0;
    return n;
}

bool has(const std::string& stream, const std::string& run) { return stream.find(run) != std::string::npos; }

}  // namespace

class Composites : public DisplayedDrawing {
protected:
    bool open(const std::string& path) {
        const std::int32_t rect[4] = {0, 0, 400, 400};
        AdViewRecord view{};
        if (!begin(path, rect, &view)) return false;
        view = AdViewRecord{{0, 0, 1, 0}, {20, 20, 0, 1}, {0, 1, 0, 0}, 40, 40};
        adMakeViewTransform(d, &view, rect, nullptr);
        host.install();
        host.setUserData(d);
        return true;
    }
    bool openFixture(const char* name) { return open(displayDataDir() + "composites/" + name); }
    std::string draw() {
        host.clear();
        adDrawDrawing(d);
        return host.stream();
    }
    RecordingHost host;
};

// Each leader's arrowhead and where its path starts: the closed filled arrow
// of length 1 with tip (10, 10) from (20, 10) has its corners at
// (11, 10 +- 1/6) and the path starts at its back (11, 10); an "_OPEN" drawn
// from a block of that name moves the start one arrow length; a hook line of
// arrow length 0.18 runs out to (14.18, 20) and back to (14, 20); a first
// segment of 0.3 is too short for an arrow of 0.18; a user block of length 2
// starts the path 2 from the tip; DIMSCALE 0 in a single view is 1.
TEST_F(Composites, LeaderArrowheadsAndStartPoints) {
    ASSERT_TRUE(openFixture("leader_cases.dxf"));
    const std::string stream = draw();
    const char* runs[] = {
        "move 100 100\nline 110 102\nline 110 98\nline 100 100\npolygon 3 ",
        "move 110 100\nline 200 100\n",
        "move 110 140\nline 200 140\n",
        "move 40 200\nline 142 200\nline 140 200\n",
        "move 40 260\nline 43 260\nline 90 260\n",
        "move 220 260\nline 280 260\n",
        "move 110 60\nline 200 60\n",
    };
    for (const char* run : runs) EXPECT_TRUE(has(stream, run)) << run << "\nin\n" << stream;
    // The "_OPEN" block is drawn at the tip, pointing back along the path.
    EXPECT_TRUE(has(stream, "move 100 140\nline 110 138\n")) << stream;
}

// The built-in shapes one by one: what each draws and where the path's
// start ends up, with arrow length 1 (tip (10, 10), pointing from (20, 10))
// and curve resolution 10.
TEST_F(Composites, BuiltInArrowShapes) {
    ASSERT_TRUE(openFixture("leader_cases.dxf"));
    adSetCurveResolution(10);
    AdMatrix4 matrices[AD_VIEWPORT_LIMIT];
    for (int v = 0; v < AD_VIEWPORT_LIMIT; ++v) matrices[v] = d->display->viewports[v].full;
    const struct {
        const char* name;
        bool move;
        double otherX;
        std::size_t lines;
        std::size_t polygons;
        double tipX;  // where the path starts
    } cases[] = {
        {"", false, 20, 3, 1, 11},          // closed filled
        {"_CLOSED", false, 20, 3, 0, 11},
        {"_OPEN", false, 20, 2, 0, 10},     // the path starts at the tip
        {"_OPEN", true, 20, 2, 0, 11},
        {"_DOT", false, 20, 40, 40, 10.5},  // 40 chords of radius 0.5, each filled to the tip
        {"_ORIGIN", false, 20, 40, 0, 10.5},
        {"_OPEN90", false, 20, 2, 0, 10},
        {"_OBLIQUE", true, 20, 3, 0, 10},   // a stroke drawn there and back; no back point
        {"_NONE", true, 20, 0, 0, 10},
        {"_ARCHTICK", true, 20, 0, 0, 10},  // drawn only as a block
        {"", false, 11.9, 0, 0, 10},        // closer than twice the arrow length
    };
    for (const auto& c : cases) {
        double tip[3] = {10, 10, 0};
        const double other[3] = {c.otherX, 10, 0};
        host.clear();
        adDrawArrowShape(d, tip, other, &adIdentityMatrix, matrices, c.name, 0.5, c.move);
        const std::string stream = host.stream();
        EXPECT_EQ(count(stream, "line "), c.lines) << c.name << " " << c.move << "\n" << stream;
        EXPECT_EQ(count(stream, "polygon "), c.polygons) << c.name;
        EXPECT_NEAR(tip[0], c.tipX, 1e-12) << c.name << " " << c.move;
        EXPECT_EQ(tip[1], 10.0) << c.name;
    }
    double point[3] = {1, 1, 0};
    const double same[3] = {1, 1, 0};
    adMovePointToward(point, same, 5.0);
    EXPECT_EQ(point[0], 1.0);  // no direction to move along
}

// A spline leader whose last segment rises at 45 degrees gains a fit point
// 2s left of and s below its last vertex (s = 0.25), which the curve passes
// through; its arrowhead ("_NONE", moved) starts it half a size along.
TEST_F(Composites, SplineLeaderGainsAPointBeforeASteepEnd) {
    ASSERT_TRUE(openFixture("spline_leader.dxf"));
    adSetCurveResolution(10);
    const std::vector<Piece> drawn = pieces(draw());
    ASSERT_FALSE(drawn.empty());
    auto near = [&](double x, double y) {
        for (const Piece& p : drawn)
            if (std::hypot(p.x2 - x, p.y2 - y) <= 1.5) return true;
        return false;
    };
    EXPECT_TRUE(near(195, 117.5));
    EXPECT_TRUE(near(200, 120));
    const double start = 2.5 / std::sqrt(2.0);
    EXPECT_NEAR(drawn.front().x1, 20 + start, 1.0);
    EXPECT_NEAR(drawn.front().y1, 20 + start, 1.0);
}

// A leader with DIMGAP -0.05 and an MTEXT annotation leaves the request to
// frame that MTEXT with margin 0.05; the next leader, with a positive DIMGAP,
// clears it.
TEST_F(Composites, AnnotationFrameRequest) {
    ASSERT_TRUE(openFixture("leader_frame.dxf"));
    static std::vector<AdAnnotationFrame> seen;
    seen.clear();
    adSetEntityBeginHook([](AdEntityHeader* header, AdEntityData*, std::int16_t, const AdLtypeRecord*,
                            const AdPlotStyle*, void*) {
        if (header->type == AD_ENTITY_LEADER) seen.push_back(adAnnotationFrame);
    });
    adAnnotationFrame = AdAnnotationFrame{};
    draw();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(adHandleLength(&seen[0].annotation), 0);
    EXPECT_NE(adHandleLength(&seen[1].annotation), 0);
    EXPECT_DOUBLE_EQ(seen[1].margin, 0.05);
    EXPECT_EQ(adHandleLength(&adAnnotationFrame.annotation), 0);
}

// Face (1, 2, -3, 4) draws 1-2, 2-3 and 4-1, and 3-4 too under SPLFRAME; a
// triangle whose last index is negative has no closing edge; a vertex
// number the mesh does not have (99, or 0) draws none of the edges it ends; a BYLAYER
// face on a red layer is drawn red whatever the polyline's colour.
TEST_F(Composites, PolyfaceEdgesAndColours) {
    ASSERT_TRUE(openFixture("polyface_cases.dxf"));
    const struct {
        std::int16_t splframe;
        std::size_t quad, triangle, named99;
    } cases[] = {{0, 3, 2, 1}, {1, 4, 3, 1}};
    for (const auto& c : cases) {
        d->header->splframe = c.splframe;
        const std::vector<Piece> drawn = pieces(draw());
        EXPECT_EQ(distinctEdges(drawn, 0, 0, 100, 100), c.quad) << c.splframe;
        EXPECT_EQ(distinctEdges(drawn, 200, 0, 280, 80), c.triangle) << c.splframe;
        EXPECT_EQ(distinctEdges(drawn, 300, 0, 380, 80), c.named99) << c.splframe;
        for (const Piece& p : drawn) EXPECT_EQ(p.colour, p.x1 >= 200 && p.x1 < 290 ? 6 : 3);
    }
    // Put the first face on RED, BYLAYER (the reader gives a face the
    // polyline's layer and colour).
    AdRecordList* list = adBlockEntityList(d, &d->modelSpaceBlock);
    ASSERT_NE(list, nullptr);
    AdHandle red{};
    ASSERT_EQ(adLayerHandleByName(d, "RED", &red), 1);
    AdEntityHeader header{};
    AdEntityData data{};
    // And let the face naming vertex 99 name vertex 0 instead, which no
    // mesh has either.
    bool first = true;
    adEntityRewind(list);
    for (std::int32_t i = adListCount(list); i > 0 && adEntityNext(list, &header, &data); --i) {
        if (header.type != AD_ENTITY_VERTEX || !(data.vertex.flags & 0x80) || (data.vertex.flags & 0x40)) continue;
        if (first) {
            header.layer = red;
            header.color = AD_COLOR_BYLAYER;
        } else if (data.vertex.faceIndices[1] == 99) {
            data.vertex.faceIndices[1] = 0;
        } else {
            continue;
        }
        first = false;
        AdListRecord* next = adListCurrent(list);
        ASSERT_EQ(adEntityUpdate(d, list, &header.handle, &header, &data), 1);
        adListSetCurrent(list, next);
    }
    d->header->splframe = 0;
    const std::vector<Piece> drawn = pieces(draw());
    for (const Piece& p : drawn)
        if (p.x1 <= 100 && p.x2 <= 100) {
            EXPECT_EQ(p.colour, 1);
        }
    EXPECT_EQ(distinctEdges(drawn, 300, 0, 380, 80), 1u);
}

// 3 x 4 meshes: open in both directions 3·3 + 2·4 = 17 edges; closed in M
// four more joining row 3 to row 1; closed in N a closing edge per row.
TEST_F(Composites, PolygonMeshEdges) {
    ASSERT_TRUE(openFixture("polygon_meshes.dxf"));
    const std::vector<Piece> drawn = pieces(draw());
    EXPECT_EQ(distinctEdges(drawn, 0, 0, 400, 60), 17u);
    EXPECT_EQ(distinctEdges(drawn, 0, 80, 400, 140), 21u);
    EXPECT_EQ(distinctEdges(drawn, 0, 160, 400, 220), 20u);
}

// A POLYLINE mesh of the given counts, densities and smooth surface type,
// its vertices where place puts them, as a minimal DXF file.
std::string meshDxf(int m, int n, int mDensity, int nDensity, int curveType, int vertices,
                    const std::function<std::pair<double, double>(int)>& place) {
    std::ostringstream out;
    out << "0\nSECTION\n2\nENTITIES\n0\nPOLYLINE\n8\n0\n66\n1\n70\n16\n71\n" << m << "\n72\n" << n
        << "\n73\n" << mDensity << "\n74\n" << nDensity << "\n75\n" << curveType << "\n";
    for (int i = 0; i < vertices; ++i) {
        const auto [x, y] = place(i);
        out << "0\nVERTEX\n8\n0\n10\n" << x << "\n20\n" << y << "\n30\n0\n70\n64\n";
    }
    out << "0\nSEQEND\n8\n0\n0\nENDSEC\n0\nEOF\n";
    return out.str();
}

// A mesh row longer than a fixed row buffer would hold: 2 x 600, every edge
// drawn, nothing written past the row. A smoothed mesh skips one vertex and
// draws the M density x N density grid that follows it.
TEST_F(Composites, LongRowsAndSmoothedMeshes) {
    const std::string path = ::testing::TempDir() + "composites_mesh.dxf";
    std::ofstream(path) << meshDxf(2, 600, 0, 0, 0, 1200, [](int i) {
        return std::make_pair(1 + (i % 600) * 0.05, 1.0 + 10 * (i / 600));
    });
    ASSERT_TRUE(open(path));
    // 599 along each row and 600 between them.
    EXPECT_EQ(count(draw(), "line "), 599u + 599u + 600u);
    adEndDisplay(d);
    adCloseDrawing(d);
    d = nullptr;
    // A 4 x 4 control grid, then the 2 x 3 surface: the first vertex is
    // skipped (far away at (39, 39)), the grid draws 2·2 + 1·3 = 7 edges.
    std::ofstream(path) << meshDxf(4, 4, 2, 3, 6, 1 + 6, [](int i) {
        return i == 0 ? std::make_pair(39.0, 39.0) : std::make_pair(5.0 + 5 * ((i - 1) % 3), 5.0 + 5 * ((i - 1) / 3));
    });
    ASSERT_TRUE(open(path));
    const std::vector<Piece> drawn = pieces(draw());
    EXPECT_EQ(distinctEdges(drawn, 0, 0, 200, 200), 7u);
    EXPECT_EQ(distinctEdges(drawn, 0, 0, 400, 400), 7u);
    std::filesystem::remove(path);
}

// Two elements (colours 1 and 5) with both outer arc caps: at the start the
// half circle turns counter-clockwise from the first element to the last,
// at the end clockwise; the first quarter is in the first element's colour.
// Closed, the same style draws no caps but closes each element. Inner arcs
// with four elements draw one arc, with three none.
TEST_F(Composites, MultilineCaps) {
    ASSERT_TRUE(openFixture("mline_cases.dxf"));
    adSetCurveResolution(10);
    const std::vector<Piece> drawn = pieces(draw());
    std::size_t startCap = 0, endCap = 0, closedPieces = 0, four = 0, three = 0;
    for (const Piece& p : drawn) {
        const int x = std::min(p.x1, p.x2), right = std::max(p.x1, p.x2), y = std::min(p.y1, p.y2);
        if (y >= 30 && y < 60 && right <= 50) {  // left of the start
            ++startCap;
            EXPECT_EQ(p.colour, y >= 45 ? 1 : 5) << p.x1 << "," << p.y1;
        }
        if (y >= 30 && y < 60 && x >= 150 && right < 190) {  // right of the end
            ++endCap;
            EXPECT_EQ(p.colour, y >= 45 ? 1 : 5) << p.x1 << "," << p.y1;
        }
        if (y >= 120 && y < 280 && right < 170) {
            ++closedPieces;
            EXPECT_GE(std::hypot(p.x2 - p.x1, p.y2 - p.y1), 90.0);  // element lines, no arc chords
        }
        if (y >= 30 && y < 70 && x >= 190 && right <= 200) ++four;
        if (y >= 130 && y < 170 && x >= 190 && right <= 200) ++three;
    }
    EXPECT_EQ(startCap, 20u);  // two quarters of 10 chords
    EXPECT_EQ(endCap, 20u);
    EXPECT_EQ(closedPieces, 6u);  // three sides of each element, closed back to its start
    EXPECT_GT(four, 0u);
    EXPECT_EQ(three, 0u);
}

// An element linetype index beyond the LTYPE table draws the element solid,
// not in whatever record the table walk read last; BYLAYER takes the
// layer's dashes.
TEST_F(Composites, MultilineLinetypeBeyondTheTable) {
    ASSERT_TRUE(openFixture("mline_cases.dxf"));
    AdObjectHeader header{};
    AdObjectData data{};
    bool patched = false;
    adObjectRewind(d);
    for (std::int32_t i = adObjectCount(d); i > 0 && adObjectNext(d, &header, &data); --i) {
        if (header.type != AD_OBJECT_MLINESTYLE || std::string(data.mlineStyle.name) != "LINETYPES") continue;
        const std::int16_t beyond = 999;
        patched = adStorePatch(data.mlineStyle.elements, 16 + 2, &beyond, sizeof beyond) == 1;
    }
    ASSERT_TRUE(patched);
    const std::vector<Piece> drawn = pieces(draw());
    std::size_t byLayer = 0, beyond = 0;
    for (const Piece& p : drawn) {
        if (p.x1 < 200 || p.y1 != p.y2 || p.y1 < 230) continue;
        if (p.y1 > 245) ++byLayer;
        else ++beyond;
    }
    EXPECT_GT(byLayer, 3u);
    EXPECT_EQ(beyond, 1u);
}

// A row of three fields with h = 1: 2h high, a left edge, one separator per
// field (the last is the right edge) in the frame colour, top and bottom
// edges. Two rows: the line between them spans the wider row, the bottom
// only the last. "%%v%%v%%v%%v%%v" draws nothing. A DSTYLE text height of 2
// and frame colour 5 make a row 4 high in colour 5. The fields' texts are
// drawn in the text colour 3 and each field's box is as wide as its text
// plus a half-height margin either side.
TEST_F(Composites, ToleranceFrames) {
    ASSERT_TRUE(openFixture("tolerances.dxf"));
    const std::vector<Piece> all = pieces(draw());
    std::vector<Piece> drawn, text;
    for (const Piece& p : all) (p.colour == 3 ? text : drawn).push_back(p);
    std::vector<Piece> one, two, tall, empty;
    for (const Piece& p : drawn) {
        if (p.x1 < 150 && p.y1 >= 180) one.push_back(p);
        if (p.x1 < 150 && p.y1 < 150) two.push_back(p);
        if (p.x1 >= 150 && p.y1 >= 250) tall.push_back(p);
        if (p.x1 >= 150 && p.y1 < 250) empty.push_back(p);
    }
    auto verticals = [](const std::vector<Piece>& ps) {
        std::vector<Piece> v;
        for (const Piece& p : ps)
            if (p.x1 == p.x2) v.push_back(p);
        return v;
    };
    ASSERT_EQ(verticals(one).size(), 4u);
    for (const Piece& p : verticals(one)) EXPECT_EQ(std::abs(p.y1 - p.y2), 20);  // 2h
    EXPECT_EQ(verticals(one).front().x1, 20);
    EXPECT_EQ(one.size(), 6u);
    for (const Piece& p : one) EXPECT_EQ(p.colour, 1);
    // Row 1 with A and B, row 2 with C: the middle line reaches row 1's right edge.
    ASSERT_EQ(two.size(), 8u);
    int right1 = 0, right2 = 0;
    for (const Piece& p : two)
        if (p.x1 == p.x2) (p.y1 > 100 ? right1 : right2) = std::max(p.y1 > 100 ? right1 : right2, p.x1);
    EXPECT_GT(right1, right2);
    std::vector<int> horizontalEnds;
    for (const Piece& p : two)
        if (p.y1 == p.y2) horizontalEnds.push_back(std::max(p.x1, p.x2));
    EXPECT_EQ(horizontalEnds, (std::vector<int>{right1, right1, right2}));
    EXPECT_TRUE(empty.empty());
    ASSERT_EQ(verticals(tall).size(), 2u);
    EXPECT_EQ(std::abs(verticals(tall)[0].y1 - verticals(tall)[0].y2), 40);
    for (const Piece& p : tall) EXPECT_EQ(p.colour, 5);

    // Row "A", "0.05", "B": every field's strokes lie inside its own box,
    // at least 5 (h / 2) from its edges, and each box holds some.
    std::vector<int> edges;
    for (const Piece& p : verticals(one)) edges.push_back(p.x1);
    std::sort(edges.begin(), edges.end());
    const int top = std::max(verticals(one)[0].y1, verticals(one)[0].y2);
    std::vector<int> strokes(3, 0);
    for (const Piece& p : text) {
        if (p.y1 < top - 20 || p.y1 > top || p.x1 >= 150) continue;
        const auto box = std::upper_bound(edges.begin(), edges.end(), p.x1) - edges.begin() - 1;
        ASSERT_TRUE(box >= 0 && box < 3) << p.x1;
        ++strokes[box];
        for (int x : {p.x1, p.x2}) {
            EXPECT_GE(x, edges[box] + 5);
            EXPECT_LE(x, edges[box + 1] - 5);
        }
    }
    for (int n : strokes) EXPECT_GT(n, 0);
    // The four-character field is wider than the one-letter ones.
    EXPECT_GT(edges[2] - edges[1], edges[1] - edges[0] + 10);
}
