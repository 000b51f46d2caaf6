// Proxy graphics drawn: the records through the drawing layers, the pen and
// linetype changes a stream makes and how they meet, the fill mode for the
// stream only, meshes and shells edge by edge, clip boundaries, and streams
// that end early.
#include "displayed_drawing.h"
#include "proxy_stream.h"

#include "toolkit/display/emit.h"
#include "toolkit/display/proxy.h"
#include "tools/renderhost/recording_host.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <sstream>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr double kPi = std::numbers::pi;

struct DevicePointD {
    double x, y;
};

class ProxyDraw : public DisplayedDrawing {
protected:
    void SetUp() override {
        DisplayedDrawing::SetUp();
        // The window (0, 0)..(30, 30) in a 300 by 300 device.
        const std::int32_t rect[4] = {0, 0, 300, 300};
        AdViewRecord view{};
        ASSERT_TRUE(begin(displayDataDir() + "proxy/tables.dxf", rect, &view));
        view = AdViewRecord{{0, 0, 1, 0}, {15, 15, 0, 1}, {0, 1, 0, 0}, 30, 30};
        adMakeViewTransform(d, &view, rect, nullptr);
        host.install();
        host.setUserData(d);
        for (int v = 0; v < AD_VIEWPORT_LIMIT; ++v) matrices[v] = d->display->viewports[v].full;
        header.type = AD_ENTITY_PROXY;
        header.extrusion[2] = 1.0;
        header.linetypeScale = 1.0;
        adDisplayGlobals->currentEntity = &header;
    }
    void TearDown() override {
        adDisplayGlobals->currentEntity = nullptr;
        DisplayedDrawing::TearDown();
    }
    // Draws the stream as a proxy of layer colour 2 under BYBLOCK colour 4.
    std::string draw(const ProxyStream& s, int* result = nullptr) {
        host.clear();
        AdStore* store = s.store();
        const int drawn = adDrawProxyGraphics(d, store, &adIdentityMatrix, matrices, &d->display->continuousRecord, d,
                                              4, 2, &header);
        adStoreFree(store);
        if (result) *result = drawn;
        return host.stream();
    }
    static std::vector<std::string> lines(const std::string& stream, const std::string& word) {
        std::vector<std::string> out;
        std::istringstream in(stream);
        for (std::string line; std::getline(in, line);)
            if (line.rfind(word + " ", 0) == 0) out.push_back(line);
        return out;
    }
    static std::vector<DevicePointD> points(const std::string& stream) {
        std::vector<DevicePointD> out;
        std::istringstream in(stream);
        std::string word;
        for (std::string line; std::getline(in, line);) {
            std::istringstream words(line);
            DevicePointD p{};
            if (words >> word && (word == "move" || word == "line") && words >> p.x >> p.y) out.push_back(p);
        }
        return out;
    }
    DevicePointD device(double x, double y) const {
        const double p[3] = {x, y, 0.0};
        double out[2];
        adTransformToDevice(p, &matrices[0], out);
        return {out[0], out[1]};
    }
    // The 0-based table position of a layer or linetype by name.
    std::int32_t layerIndex(const char* name) {
        AdLayerRecord record{};
        adLayerRewind(d);
        for (std::int32_t i = 0; adLayerNext(d, &record); ++i)
            if (std::strcmp(record.name, name) == 0) return i;
        return -100;
    }
    std::int32_t linetypeIndex(const char* name) {
        AdLtypeRecord record{};
        adLtypeRewind(d);
        for (std::int32_t i = 0; adLtypeNext(d, &record); ++i)
            if (adStrCompareNoCase(record.name, name) == 0) return i;
        return -100;
    }
    RecordingHost host;
    AdMatrix4 matrices[AD_VIEWPORT_LIMIT];
    AdEntityHeader header{};
};

std::size_t count(const std::vector<std::string>& v) { return v.size(); }

TEST_F(ProxyDraw, EmptyAndDamagedStreams) {
    int result = 0;
    EXPECT_EQ(draw(ProxyStream(), &result), "") << "preamble only";
    EXPECT_EQ(result, 1);
    // A stream that breaks off draws what came before and still answers 1.
    ProxyStream broken;
    broken.polyline({{1, 1, 0}, {5, 1, 0}}).frame(4, 6).polyline({{1, 2, 0}, {5, 2, 0}});
    EXPECT_EQ(count(lines(draw(broken, &result), "line")), 1u);
    EXPECT_EQ(result, 1);
    ProxyStream overrun;
    overrun.polyline({{1, 1, 0}, {5, 1, 0}}).frame(1000, 6).i32(1);
    EXPECT_EQ(count(lines(draw(overrun, &result), "line")), 1u);
    EXPECT_EQ(adDrawProxyGraphics(d, nullptr, &adIdentityMatrix, matrices, &d->display->continuousRecord, d, 4, 2,
                                  &header),
              0);
}

TEST_F(ProxyDraw, PolylinesAndPolygons) {
    EXPECT_EQ(draw(ProxyStream().polyline({{1, 1, 0}})), "") << "a polyline of one point";
    EXPECT_EQ(count(lines(draw(ProxyStream().polyline({{1, 1, 0}, {5, 1, 0}, {5, 5, 0}}, 32)), "line")), 2u);
    const std::vector<ProxyPoint> square = {{2, 2, 0}, {8, 2, 0}, {8, 8, 0}, {2, 8, 0}};
    const std::int16_t ownFill = d->header->fillmode;
    d->header->fillmode = 0;
    std::string drawn = draw(ProxyStream().polygon(square));
    EXPECT_EQ(count(lines(drawn, "line")), 4u) << "n closed segments";
    EXPECT_EQ(count(lines(drawn, "polygon")) + count(lines(drawn, "polypolygon")), 0u);
    drawn = draw(ProxyStream().fillMode(1).polygon(square));
    EXPECT_EQ(count(lines(drawn, "line")), 0u);
    EXPECT_EQ(count(lines(drawn, "polygon")) + count(lines(drawn, "polypolygon")), 1u) << drawn;
    EXPECT_EQ(d->header->fillmode, 0) << "the next entity sees the drawing's own fill mode";
    d->header->fillmode = ownFill;
}

TEST_F(ProxyDraw, ArcThroughThreePointsRunsThroughTheMiddleOne) {
    const struct {
        const char* name;
        ProxyPoint a, b, c;
        double side;  // the sign of device y - centre y every point has
    } cases[] = {
        {"counter-clockwise over the top", {25, 15, 0}, {15, 25, 0}, {5, 15, 0}, 1.0},
        {"clockwise under the bottom", {25, 15, 0}, {15, 5, 0}, {5, 15, 0}, -1.0},
        {"from left to right over the top", {5, 15, 0}, {15, 25, 0}, {25, 15, 0}, 1.0},
    };
    const DevicePointD centre = device(15, 15);
    const double radius = std::fabs(device(25, 15).x - centre.x);
    const double up = device(15, 25).y > centre.y ? 1.0 : -1.0;
    for (const auto& c : cases) {
        const std::vector<DevicePointD> drawn = points(draw(ProxyStream().arc3(c.a, c.b, c.c)));
        ASSERT_GT(drawn.size(), 8u) << c.name;
        for (const DevicePointD& p : drawn) {
            EXPECT_NEAR(std::hypot(p.x - centre.x, p.y - centre.y), radius, 2.0) << c.name;
            EXPECT_GE((p.y - centre.y) * up * c.side, -1.0) << c.name;
        }
    }
    // A full circle, an arc by its start vector and sweep, and one swept
    // backwards covering the same quarter.
    std::vector<DevicePointD> drawn = points(draw(ProxyStream().circle({15, 15, 0}, 10)));
    for (const DevicePointD& p : drawn) EXPECT_NEAR(std::hypot(p.x - centre.x, p.y - centre.y), radius, 2.0);
    for (double sweep : {kPi / 2, -kPi / 2}) {
        const ProxyPoint start = sweep > 0 ? ProxyPoint{1, 0, 0} : ProxyPoint{0, 1, 0};
        drawn = points(draw(ProxyStream().arc({15, 15, 0}, 10, {0, 0, 1}, start, sweep)));
        ASSERT_FALSE(drawn.empty());
        for (const DevicePointD& p : drawn) {
            EXPECT_GE((p.x - centre.x), -1.0) << sweep;
            EXPECT_GE((p.y - centre.y) * up, -1.0) << sweep;
        }
    }
    EXPECT_EQ(draw(ProxyStream().arc3({1, 1, 0}, {2, 2, 0}, {3, 3, 0})), "") << "points in a line";
    EXPECT_EQ(draw(ProxyStream().circle({15, 15, 0}, 10, {0, 0, 0})), "") << "a zero normal";
}

TEST_F(ProxyDraw, ConstructionLinesRunAcrossTheView) {
    for (std::int32_t type : {12, 13}) {
        // Through (10, 5) along (1, 1): across the whole window, both ways.
        const std::vector<DevicePointD> drawn = points(draw(ProxyStream().xline({10, 5, 0}, {11, 6, 0}, type)));
        ASSERT_EQ(drawn.size(), 2u) << type;
        const DevicePointD a = device(5, 0), b = device(30, 25);
        const DevicePointD lo{std::min(drawn[0].x, drawn[1].x), 0}, hi{std::max(drawn[0].x, drawn[1].x), 0};
        EXPECT_NEAR(lo.x, std::min(a.x, b.x), 2.0) << type;
        EXPECT_NEAR(hi.x, std::max(a.x, b.x), 2.0) << type;
    }
    // A full circle through three points.
    const DevicePointD centre = device(15, 15);
    const std::vector<DevicePointD> circle = points(draw(ProxyStream().circle3({25, 15, 0}, {15, 25, 0}, {5, 15, 0})));
    ASSERT_GT(circle.size(), 8u);
    double lowest = 1e9, highest = -1e9;
    for (const DevicePointD& p : circle) {
        EXPECT_NEAR(std::hypot(p.x - centre.x, p.y - centre.y), std::fabs(device(25, 15).x - centre.x), 2.0);
        lowest = std::min(lowest, p.y), highest = std::max(highest, p.y);
    }
    EXPECT_LT(lowest, centre.y - 90);
    EXPECT_GT(highest, centre.y + 90);
}

TEST_F(ProxyDraw, ColourLayerAndLinetypeChanges) {
    const std::int32_t red = layerIndex("RED");
    ASSERT_GE(red, 0);
    const ProxyStream segment = ProxyStream().polyline({{1, 1, 0}, {5, 1, 0}});
    const struct {
        const char* name;
        ProxyStream stream;
        std::vector<std::string> colours;
    } cases[] = {
        {"colour 256 then a layer: the layer's colour", ProxyStream().colour(256).layer(red), {"colour 2", "colour 1"}},
        {"colour 5 then a layer: still 5", ProxyStream().colour(5).layer(red), {"colour 5"}},
        {"BYBLOCK", ProxyStream().colour(0), {"colour 4"}},
        {"a layer without a colour record", ProxyStream().layer(red), {"colour 1"}},
        {"layer -1 changes nothing", ProxyStream().layer(-1), {}},
    };
    for (const auto& c : cases) {
        adSetPenColor(d, -1);
        EXPECT_EQ(lines(draw(c.stream), "colour"), c.colours) << c.name;
    }
    // The layer's linetype comes with it, even when the colour stays.
    std::string dashed = draw(ProxyStream().colour(5).layer(red).polyline({{1, 1, 0}, {29, 1, 0}}));
    EXPECT_GT(count(lines(dashed, "line")), 3u) << "RED draws DASHED";
    // Linetype -1 is the record named BYLAYER, not the layer's linetype.
    std::string byLayer = draw(ProxyStream().layer(red).linetype(-1).polyline({{1, 1, 0}, {29, 1, 0}}));
    EXPECT_EQ(count(lines(byLayer, "line")), 1u);
    const std::int32_t dashedIndex = linetypeIndex("DASHED");
    ASSERT_GE(dashedIndex, 0);
    EXPECT_GT(count(lines(draw(ProxyStream().linetype(dashedIndex).polyline({{1, 1, 0}, {29, 1, 0}})), "line")), 3u);
    // Positions past the tables' ends keep to records of the tables.
    int result = 0;
    draw(ProxyStream().layer(5000).linetype(7000).layer(-9).linetype(-3).polyline({{1, 1, 0}, {29, 1, 0}}), &result);
    EXPECT_EQ(result, 1);
}

TEST_F(ProxyDraw, MeshEdgesAndFaces) {
    const std::vector<ProxyPoint> grid = {{2, 2, 0}, {6, 2, 0}, {10, 2, 0}, {2, 6, 0}, {6, 6, 0}, {10, 6, 0}};
    const std::int16_t ownFill = d->header->fillmode;
    d->header->fillmode = 0;
    ProxyStream plain;
    std::size_t at = 0;
    plain.meshHead(&at, 2, 3, grid).i32(0).i32(0).i32(0).end(at);
    std::string drawn = draw(plain);
    // 7 edges, and 2 faces outlined with 4 sides each.
    EXPECT_EQ(count(lines(drawn, "line")), 7u + 8u);
    // Column edges hidden: the 4 row edges remain, and the edge colours
    // keep their own entries.
    ProxyStream hidden;
    hidden.meshHead(&at, 2, 3, grid).i32(0x01 | 0x40).shorts({1, 2, 3, 4, 5, 6, 7}).longs({1, 1, 1, 1, 0, 0, 0});
    hidden.i32(0x40).longs({0, 0}).i32(0).end(at);
    adSetPenColor(d, -1);
    drawn = draw(hidden);
    EXPECT_EQ(count(lines(drawn, "line")), 4u);
    EXPECT_EQ(lines(drawn, "colour"), (std::vector<std::string>{"colour 1", "colour 2", "colour 3", "colour 4"}));
    // Filled faces.
    drawn = draw(ProxyStream().fillMode(1).meshHead(&at, 2, 3, grid).i32(0).i32(0).i32(0).end(at));
    EXPECT_EQ(count(lines(drawn, "polygon")) + count(lines(drawn, "polypolygon")), 2u);
    d->header->fillmode = ownFill;
}

TEST_F(ProxyDraw, ShellFacesWithoutHoles) {
    const std::vector<ProxyPoint> six = {{2, 2, 0}, {12, 2, 0}, {2, 12, 0}, {4, 4, 0}, {6, 4, 0}, {4, 6, 0}};
    ProxyStream s;
    std::size_t at = 0;
    s.shellHead(&at, six, {3, 0, 1, 2, -3, 3, 4, 5}).i32(0x01).shorts({1, 1, 1, 6, 6, 6}).i32(0).i32(0).end(at);
    adSetPenColor(d, -1);
    const std::string drawn = draw(s);
    EXPECT_EQ(count(lines(drawn, "line")), 3u) << "the triangle 0-1-2, not the hole";
    EXPECT_EQ(lines(drawn, "colour"), std::vector<std::string>{"colour 1"});
    // Indexes outside the vertices draw nothing for their edges.
    ProxyStream wild;
    wild.shellHead(&at, six, {3, 0, 1, 99}).i32(0).i32(0).i32(0).end(at);
    EXPECT_EQ(count(lines(draw(wild), "line")), 1u);
}

TEST_F(ProxyDraw, ClipBoundaryHoldsForTheStream) {
    // The rectangle (5, 0)..(10, 5) from its two corners: a line across it
    // is cut at x = 5 and x = 10.
    ProxyStream s;
    s.clip({{5, 0}, {10, 5}}).polyline({{1, 2, 0}, {20, 2, 0}});
    const std::vector<DevicePointD> drawn = points(draw(s));
    ASSERT_FALSE(drawn.empty());
    const DevicePointD left = device(5, 2), right = device(10, 2);
    for (const DevicePointD& p : drawn) {
        EXPECT_GE(p.x, std::min(left.x, right.x) - 1.0);
        EXPECT_LE(p.x, std::max(left.x, right.x) + 1.0);
    }
    EXPECT_TRUE(header.flags & AD_ENTITY_FLAG_CLIPPED_EXTENTS);
    // Popped at the stream's end: the next stream draws unclipped.
    const std::vector<DevicePointD> after = points(draw(ProxyStream().polyline({{1, 2, 0}, {20, 2, 0}})));
    ASSERT_EQ(after.size(), 2u);
    EXPECT_NEAR(std::fabs(after[1].x - after[0].x), std::fabs(device(20, 2).x - device(1, 2).x), 1.0);
}

TEST_F(ProxyDraw, MatrixRecordsPlaceWhatFollowsUntilTheirPop) {
    // Sixteen doubles, rows acting on column vectors: a move by (10, 0).
    auto push = [](ProxyStream& s, double dx, double dy) {
        const std::size_t at = s.begin(29);
        const double m[16] = {1, 0, 0, dx, 0, 1, 0, dy, 0, 0, 1, 0, 0, 0, 0, 1};
        for (double v : m) s.f64(v);
        s.end(at);
    };
    auto pop = [](ProxyStream& s) { s.end(s.begin(31)); };
    const struct {
        const char* name;
        double dx;  // of the first segment, in drawing units
        double secondDx;
    } cases[] = {
        {"moved, then back after the pop", 10, 0},
        {"nested moves add up", 15, 10},
        {"a stray pop changes nothing", 0, 0},
        {"a matrix without an inverse places nothing", 0, 0},
    };
    for (int k = 0; k < 4; ++k) {
        const auto& c = cases[k];
        ProxyStream s;
        if (k == 0) push(s, 10, 0);
        if (k == 1) push(s, 10, 0), push(s, 5, 0);
        if (k == 2) pop(s);
        if (k == 3) {
            const std::size_t at = s.begin(29);
            for (int i = 0; i < 16; ++i) s.f64(0.0);
            s.end(at);
        }
        s.polyline({{1, 2, 0}, {5, 2, 0}});
        pop(s);
        s.polyline({{1, 4, 0}, {5, 4, 0}});
        const std::vector<DevicePointD> drawn = points(draw(s));
        ASSERT_EQ(drawn.size(), 4u) << c.name;
        EXPECT_NEAR(drawn[0].x, device(1 + c.dx, 2).x, 1.0) << c.name;
        EXPECT_NEAR(drawn[2].x, device(1 + c.secondDx, 4).x, 1.0) << c.name;
    }
}

TEST_F(ProxyDraw, TextRecordsDrawTheirStringsWhereTheStreamPlacesThem) {
    // Height 4 at (10, 10): strokes from there rightwards and up to 4 units.
    struct Box {
        double left = 1e9, right = -1e9, low = 1e9, high = -1e9;
    };
    auto box = [&](const std::string& drawn) {
        Box b;
        for (const DevicePointD& p : points(drawn)) {
            b.left = std::min(b.left, p.x), b.right = std::max(b.right, p.x);
            b.low = std::min(b.low, p.y), b.high = std::max(b.high, p.y);
        }
        return b;
    };
    const DevicePointD at = device(10, 10), up = device(10, 14);
    const double unit = std::fabs(up.y - at.y) / 4.0;  // device units a drawing unit
    const double deviceUp = up.y > at.y ? 1.0 : -1.0;

    std::string drawn = draw(ProxyStream().colour(5).text({10, 10, 0}, {0, 0, 1}, {1, 0, 0}, 4.0, "HI"));
    ASSERT_GT(points(drawn).size(), 2u) << drawn;
    EXPECT_EQ(lines(drawn, "colour"), std::vector<std::string>{"colour 5"}) << "the stream's colour stays";
    const Box plain = box(drawn);
    EXPECT_NEAR(plain.left, at.x, unit);
    EXPECT_GT(plain.right, at.x + 3 * unit);
    EXPECT_NEAR(deviceUp > 0 ? plain.low : plain.high, at.y, unit);
    EXPECT_NEAR(deviceUp > 0 ? plain.high : plain.low, up.y, unit);

    // Under a matrix record the same strings move with it.
    ProxyStream moved;
    const std::size_t m = moved.begin(29);
    for (double v : {1.0, 0.0, 0.0, 5.0, 0.0, 1.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0, 0.0, 0.0, 0.0, 1.0}) moved.f64(v);
    moved.end(m);
    const Box shifted = box(draw(moved.text({10, 10, 0}, {0, 0, 1}, {1, 0, 0}, 4.0, "HI")));
    EXPECT_NEAR(shifted.left - plain.left, 5 * unit, 0.5);
    EXPECT_NEAR(shifted.right - plain.right, 5 * unit, 0.5);

    // Direction (0, 1): the string runs up, the letters lean to the left.
    const Box turned = box(draw(ProxyStream().text({10, 10, 0}, {0, 0, 1}, {0, 1, 0}, 4.0, "HI")));
    EXPECT_LT(turned.left, at.x - 3 * unit);
    EXPECT_LT(turned.right, at.x + unit);

    // Normal (0, 0, -1) turns the object x axis to -x: the text at object
    // (-10, 10) starts at (10, 10) and runs leftwards.
    const Box flipped = box(draw(ProxyStream().text({-10, 10, 0}, {0, 0, -1}, {1, 0, 0}, 4.0, "HI")));
    EXPECT_NEAR(flipped.right, at.x, unit);
    EXPECT_LT(flipped.left, at.x - 3 * unit);
    EXPECT_FALSE(header.flags & AD_ENTITY_FLAG_EXTRUDED);
}

TEST_F(ProxyDraw, TextRecords) {
    // A tilted text keeps its normal to itself: a circle after it is drawn
    // as one without it.
    const ProxyStream circle = ProxyStream().circle({15, 15, 0}, 5);
    const std::vector<std::string> alone = lines(draw(circle), "line");
    ProxyStream tilted;
    tilted.text({1, 1, 0}, {1, 0, 0}, {0, 1, 0}, 2.0, "abc").circle({15, 15, 0}, 5);
    const std::vector<std::string> both = lines(draw(tilted), "line");
    ASSERT_GT(both.size(), alone.size());
    EXPECT_EQ(std::vector<std::string>(both.end() - static_cast<std::ptrdiff_t>(alone.size()), both.end()), alone);
    EXPECT_FALSE(header.flags & AD_ENTITY_FLAG_EXTRUDED);

    ProxyStream s;
    s.text({1, 2, 3}, {1, 0, 0}, {0, 1, 0}, 2.0, "abc").fontText({0, 0, 0}, {0, 0, 1 + 1e-9}, "Hi", "romans.shx");
    AdStore* store = s.store();
    AdStream* in = adStreamOpenRead(store);
    adProxySkipPreamble(in);
    AdProxyRecord record;
    AdEntityHeader text{};
    AdStyleRecord style{};
    auto* data = new AdEntityData;
    ASSERT_EQ(adProxyReadRecord(in, &record), 1);
    adProxyTextEntity(d, record, &text, data, &style);
    EXPECT_EQ(text.type, AD_ENTITY_TEXT);
    EXPECT_STREQ(data->text.text, "abc");
    EXPECT_DOUBLE_EQ(data->text.fields.height, 2.0);
    EXPECT_NEAR(data->text.fields.rotation, kPi / 2, 1e-12);
    EXPECT_DOUBLE_EQ(data->text.insertion[2], 3.0);
    EXPECT_TRUE(text.flags & AD_ENTITY_FLAG_EXTRUDED);
    EXPECT_DOUBLE_EQ(text.extrusion[0], 1.0);
    EXPECT_STREQ(style.fontFile, "txt");
    EXPECT_STREQ(style.name, "STANDARD");
    ASSERT_EQ(adProxyReadRecord(in, &record), 1);
    adProxyTextEntity(d, record, &text, data, &style);
    EXPECT_FALSE(text.flags & AD_ENTITY_FLAG_EXTRUDED) << "within 1e-7 of the z axis";
    EXPECT_STREQ(style.fontFile, "romans.shx");
    delete data;
    adStreamCloseRead(in);
    adStoreFree(store);
}

}  // namespace
