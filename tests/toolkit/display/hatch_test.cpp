// HATCH pattern lines and boundaries: span order by family angle, crossings
// at vertices, the hatch styles and text boxes along one line, dashes by
// phase, the boundary edges of either orientation, and the hostile cases:
// no spacing, a pattern too dense, dashes adding up to 0, loops too long.
#include "dispatch_fixture.h"
#include "fill_fixture.h"
#include "segment_loops.h"

#include "toolkit/display/hatch.h"

#include <cmath>
#include <numbers>

namespace {

constexpr double kPi = std::numbers::pi;

struct Family {
    double angle;
    double base[2];
    double offset[2];
    std::vector<double> dashes;
};

class Hatch : public FillTest {
protected:
    // The families drawn against the loops; "" when nothing was drawn.
    std::string pattern(LoopSet& loops, std::vector<Family> families, std::int16_t style = 0,
                        std::vector<std::uint8_t> flags = {}) {
        std::vector<AdHatchPatternLine> lines;
        for (Family& f : families)
            lines.push_back(AdHatchPatternLine{f.angle, {f.offset[0], f.offset[1]}, {f.base[0], f.base[1]},
                                               static_cast<std::int16_t>(f.dashes.size()),
                                               f.dashes.empty() ? nullptr : f.dashes.data()});
        const AdHatchPattern p{lines.data(), style, static_cast<std::uint16_t>(lines.size())};
        flags.resize(loops.counts.size(), 0);
        const AdHatchTarget target{&drawing, matrices(), &adIdentityMatrix, nullptr, nullptr, 0.0};
        host.clear();
        adRender->lastPoint = DevicePoint{AD_UNKNOWN_DEVICE_POINT, AD_UNKNOWN_DEVICE_POINT};
        drawn = adHatchPatternFill(target, loops.size(), loops.counts.data(), loops.stores.data(), p, flags.data());
        return host.stream();
    }
    int drawn = 0;
    AdEntityHeader entity{};
};

// One horizontal line through y = 5 of the squares 0..10, 2..8 and 4..6.
Family lineAtFive() { return Family{0.0, {0.0, 5.0}, {0.0, 1000.0}, {}}; }

// The byte layout of a HATCH's boundary and pattern stores.
class HatchStores {
public:
    HatchStores() {
        hatch.paths = adStoreCreate(AD_STORE_BLOCK_SIZE);
        hatch.patternLines = adStoreCreate(AD_STORE_BLOCK_SIZE);
        paths = adStreamOpenWrite(hatch.paths);
        lines = adStreamOpenWrite(hatch.patternLines);
    }
    ~HatchStores() {
        close();
        adStoreFree(hatch.paths);
        adStoreFree(hatch.patternLines);
    }
    void close() {
        if (paths) adStreamCloseWrite(paths), adStreamCloseWrite(lines);
        paths = lines = nullptr;
    }
    void polyline(const Vertices& v, std::int32_t flags = 2) {
        adStreamPutLong(paths, flags);
        adStreamPutShort(paths, 0);
        adStreamPutShort(paths, 1);
        adStreamPutLong(paths, static_cast<std::int32_t>(v.size()));
        for (const auto& p : v) adStreamPutDouble(paths, p.first), adStreamPutDouble(paths, p.second);
        adStreamPutLong(paths, 0);
        ++hatch.pathCount;
    }
    // An edge path: each edge a type and its values (shorts where the
    // layout has them are given as the last value of arcs and ellipses).
    void edges(const std::vector<std::pair<std::int16_t, std::vector<double>>>& list) {
        adStreamPutLong(paths, 1);
        adStreamPutLong(paths, static_cast<std::int32_t>(list.size()));
        for (const auto& [type, values] : list) {
            adStreamPutShort(paths, type);
            const bool flagLast = type == 2 || type == 3;
            for (std::size_t k = 0; k < values.size(); ++k) {
                if (flagLast && k + 1 == values.size())
                    adStreamPutShort(paths, static_cast<std::int16_t>(values[k]));
                else
                    adStreamPutDouble(paths, values[k]);
            }
        }
        adStreamPutLong(paths, 0);
        ++hatch.pathCount;
    }
    void line(double angle, double bx, double by, double ox, double oy, const std::vector<double>& dashes = {}) {
        for (double v : {angle, bx, by, ox, oy}) adStreamPutDouble(lines, v);
        adStreamPutShort(lines, static_cast<std::int16_t>(dashes.size()));
        for (double d : dashes) adStreamPutDouble(lines, d);
        ++hatch.patternLineCount;
    }
    AdHatchData hatch{};

private:
    AdStream* paths;
    AdStream* lines;
};

}  // namespace

TEST_F(Hatch, SpansRunAlongTheFamilyDirection) {
    // A square 0..10 at 10 device units a unit; one line of each family,
    // off the device grid (tan pi is not quite 0).
    const struct {
        const char* name;
        Family family;
        const char* stream;
    } cases[] = {
        {"angle 0: ascending x", {0.0, {0, 5.05}, {0, 1000}, {}}, "move 0 50\nline 100 50\n"},
        {"angle pi: descending x", {kPi, {0, 5.05}, {0, 1000}, {}}, "move 100 50\nline 0 50\n"},
        {"angle pi/2: ascending y", {kPi / 2, {5.05, 0}, {1000, 0}, {}}, "move 50 0\nline 50 100\n"},
        {"angle 3pi/2: descending y", {1.5 * kPi, {5.05, 0}, {1000, 0}, {}}, "move 50 100\nline 50 0\n"},
    };
    for (const auto& c : cases) {
        LoopSet loops;
        loops.add(square(0, 0, 10, 10));
        EXPECT_EQ(pattern(loops, {c.family}), c.stream) << c.name;
    }
    // The family of angle 0 draws one span a line across the square.
    LoopSet loops;
    loops.add(square(0, 0, 10, 10));
    EXPECT_EQ(lines(pattern(loops, {{0.0, {0, 0.5}, {0, 1}, {}}}), "move").size(), 10u);
}

TEST_F(Hatch, CrossingsAtVertices) {
    // The line y = 4 meets each loop at a vertex. Where the boundary only
    // touches the line and turns back, that vertex is no crossing; it used
    // to count once, and the odd count then dropped the last crossing found
    // (the far side), leaving half the span undrawn.
    const struct {
        const char* name;
        Vertices loop;
        const char* stream;
    } cases[] = {
        {"notch touching from above", {{0, 0}, {10, 0}, {10, 10}, {5, 4}, {0, 10}}, "move 0 40\nline 100 40\n"},
        {"notch through a run along the line", {{0, 0}, {10, 0}, {10, 10}, {6, 4}, {4, 4}, {0, 10}},
         "move 0 40\nline 100 40\n"},
        {"apex touching from below", {{0, 0}, {10, 0}, {5, 4}}, ""},
        {"diamond corners crossed", {{5, 0}, {9, 4}, {5, 8}, {1, 4}}, "move 10 40\nline 90 40\n"},
        // Along a step the boundary crosses from below to above: the run on
        // the line is boundary, and drawn.
        {"a step the line runs along", {{0, 0}, {10, 0}, {10, 4}, {5, 4}, {5, 10}, {0, 10}}, "move 0 40\nline 100 40\n"},
    };
    for (const auto& c : cases) {
        LoopSet loops;
        loops.add(c.loop);
        EXPECT_EQ(pattern(loops, {{0.0, {0, 4}, {0, 1000}, {}}}), c.stream) << c.name;
    }
}

TEST_F(Hatch, StylesAndTextBoxesAlongOneLine) {
    const Vertices squares[] = {square(0, 0, 10, 10), square(2, 2, 8, 8), square(4, 4, 6, 6)};
    const struct {
        const char* name;
        int loops;
        std::int16_t style;
        std::vector<std::uint8_t> flags;
        const char* stream;
    } cases[] = {
        {"island, normal", 2, 0, {}, "move 0 50\nline 20 50\nmove 80 50\nline 100 50\n"},
        {"island, outer", 2, 1, {}, "move 0 50\nline 20 50\nmove 80 50\nline 100 50\n"},
        // The ignore style draws span by span, joined.
        {"island, ignore", 2, 2, {}, "move 0 50\nline 20 50\nline 80 50\nline 100 50\n"},
        {"nested, normal: outer ring and innermost", 3, 0, {},
         "move 0 50\nline 20 50\nmove 40 50\nline 60 50\nmove 80 50\nline 100 50\n"},
        {"nested, outer: outer ring only", 3, 1, {}, "move 0 50\nline 20 50\nmove 80 50\nline 100 50\n"},
        {"nested, ignore: everything", 3, 2, {},
         "move 0 50\nline 20 50\nline 40 50\nline 60 50\nline 80 50\nline 100 50\n"},
        {"unknown style: as normal", 3, 9, {},
         "move 0 50\nline 20 50\nmove 40 50\nline 60 50\nmove 80 50\nline 100 50\n"},
        // The middle square as a text box: nothing inside it, not even
        // the innermost square's span.
        {"text box, normal", 3, 0, {0, 8, 0}, "move 0 50\nline 20 50\nmove 80 50\nline 100 50\n"},
    };
    for (const auto& c : cases) {
        LoopSet loops;
        for (int l = 0; l < c.loops; ++l) loops.add(squares[l]);
        EXPECT_EQ(pattern(loops, {lineAtFive()}, c.style, c.flags), c.stream) << c.name;
    }
}

TEST_F(Hatch, DashesByPhase) {
    showScaled(100.0, 1000.0);
    // A span of length 2 starting 0.1 after the dash origin: dashes from
    // 0 to 0.4, 0.65 to 1.15 and 1.4 to 1.9 along it.
    LoopSet loops;
    loops.add(square(0.1, 0, 2.1, 1.01));
    EXPECT_EQ(pattern(loops, {{0.0, {0, 0.505}, {0, 100}, {0.5, -0.25}}}),
              "move 10 50\nline 50 50\nmove 75 50\nline 125 50\nmove 150 50\nline 200 50\n");
    // At angle pi from an origin at x 2.2 the same dashes run from the
    // right. From an origin at x 0 the span lies before it: the phase at
    // x 2.1 counts back from the origin, 0.15 into the first dash.
    EXPECT_EQ(pattern(loops, {{kPi, {2.2, 0.505}, {0, 100}, {0.5, -0.25}}}),
              "move 210 50\nline 170 50\nmove 145 50\nline 95 50\nmove 70 50\nline 20 50\n");
    EXPECT_EQ(pattern(loops, {{kPi, {0, 0.505}, {0, 100}, {0.5, -0.25}}}),
              "move 210 50\nline 175 50\nmove 150 50\nline 100 50\nmove 75 50\nline 25 50\n");
    // A zero-length dash is a dot.
    EXPECT_EQ(pattern(loops, {{0.0, {0.1, 0.505}, {0, 100}, {0.0, -1.0}}}), "move 10 50\nline 10 50\nmove 110 50\nline 110 50\n");
}

TEST_F(Hatch, FamiliesThatDrawNothingOrWhole) {
    LoopSet loops;
    loops.add(square(0, 0, 10, 10));
    const struct {
        const char* name;
        Family family;
        int drawn;
        const char* stream;
    } cases[] = {
        // No spacing across the lines: nothing, where the spacing used to
        // be divided by first.
        {"offset along the lines", {0.0, {0, 5}, {3, 0}, {}}, 1, ""},
        {"offset along turned lines", {kPi / 6, {0, 5}, {std::cos(kPi / 6), std::sin(kPi / 6)}, {}}, 1, ""},
        {"every line misses", {0.0, {0, 500}, {0, 1000}, {}}, 1, ""},
        // Dashes adding up to 0 used to divide by 0: the span is drawn whole.
        {"dashes adding up to 0", {0.0, {0, 5}, {0, 1000}, {0.0, -0.0}}, 1, "move 0 50\nline 100 50\n"},
        // Millions of lines across the extents: refused, the caller fills solid.
        {"spacing of 1e-6", {0.0, {0, 5}, {0, 1e-6}, {}}, 0, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(pattern(loops, {c.family}), c.stream) << c.name;
        EXPECT_EQ(drawn, c.drawn) << c.name;
    }
}

TEST_F(Hatch, TooDenseAPatternIsDrawnSolid) {
    HatchStores stores;
    stores.polyline(square(0, 0, 10, 10));
    stores.line(0.0, 0, 0, 0, 1e-7);
    stores.close();
    adClearError();
    EXPECT_EQ(adDrawHatch(&drawing, &entity, &stores.hatch, &adIdentityMatrix, matrices(), nullptr, nullptr), 1);
    EXPECT_EQ(adGlobals->errorCode, AD_ERR_HATCH_TOO_DENSE);
    EXPECT_NEAR(polygonArea(host.stream()), 10000, 1.0);
}

TEST_F(Hatch, ArcEdgesOfEitherOrientation) {
    // Quarter discs of radius 10 closed through the centre, solid: the edges
    // chain only when each arc is flattened the way its flag says.
    const double quarter = kPi * 100.0 / 4.0 * 100.0;  // device units
    const struct {
        const char* name;
        std::vector<std::pair<std::int16_t, std::vector<double>>> edges;
    } cases[] = {
        // Clockwise from 0 to pi/2 runs from 4 pi down to 3.5 pi.
        {"clockwise arc", {{2, {50, 50, 10, 0, kPi / 2, 0}}, {1, {50, 40, 50, 50}}, {1, {50, 50, 60, 50}}}},
        {"counter-clockwise arc, end below start", {{2, {50, 50, 10, 1.5 * kPi, 0, 1}}, {1, {60, 50, 50, 50}}, {1, {50, 50, 50, 40}}}},
        {"elliptic arc, end below start",
         {{3, {50, 50, 10, 0, 1, 1.5 * kPi, 0, 1}}, {1, {60, 50, 50, 50}}, {1, {50, 50, 50, 40}}}},
        {"unknown edge types pass over", {{9, {}}, {2, {50, 50, 10, 0, kPi / 2, 0}}, {1, {50, 40, 50, 50}}, {1, {50, 50, 60, 50}}}},
    };
    for (const auto& c : cases) {
        HatchStores stores;
        stores.hatch.solidFill = 1;
        stores.edges(c.edges);
        stores.close();
        host.clear();
        EXPECT_EQ(adDrawHatch(&drawing, &entity, &stores.hatch, &adIdentityMatrix, matrices(), nullptr, nullptr), 1);
        EXPECT_NEAR(polygonArea(host.stream()), quarter, 0.01 * quarter) << c.name;
    }
}

TEST_F(Hatch, LoopsPastTheirCountAreRefused) {
    // 70000 vertices make more segments than a loop counts: the hatch is
    // not drawn rather than drawn from a count that wrapped round.
    Vertices many;
    for (int k = 0; k < 70000; ++k) many.push_back({10 * std::cos(k * 2 * kPi / 70000), 10 * std::sin(k * 2 * kPi / 70000)});
    HatchStores stores;
    stores.hatch.solidFill = 1;
    stores.polyline(many);
    stores.close();
    adClearError();
    EXPECT_EQ(adDrawHatch(&drawing, &entity, &stores.hatch, &adIdentityMatrix, matrices(), nullptr, nullptr), 1);
    EXPECT_EQ(host.stream(), "");
    EXPECT_EQ(adGlobals->errorCode, AD_ERR_FILL_TOO_LARGE);
}
