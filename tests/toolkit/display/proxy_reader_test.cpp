// The proxy-graphics reader: record framing and skipping, the padding of
// strings and short arrays, the values records keep, meshes and shells with
// their trailers, and damaged streams that must end without reading past
// their store or looping.
#include "proxy_stream.h"

#include "toolkit/db/host_fault.h"
#include "toolkit/db/started_toolkit.h"
#include "toolkit/display/curves.h"
#include "toolkit/display/proxy.h"

#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr double kPi = std::numbers::pi;

class ProxyReader : public StartedToolkit {
protected:
    void TearDown() override {
        close();
        StartedToolkit::TearDown();
    }
    // Opens a stream over the bytes, past the preamble.
    AdStream* open(const ProxyStream& s) {
        close();
        store = s.store();
        stream = adStreamOpenRead(store);
        EXPECT_EQ(adProxySkipPreamble(stream), 1);
        return stream;
    }
    void close() {
        if (stream) adStreamCloseRead(stream);
        if (store) adStoreFree(store);
        stream = nullptr;
        store = nullptr;
    }
    // The types of the records read until the reader stops, bounded so that
    // a reader that loops fails instead of hanging.
    std::vector<std::int32_t> types(const ProxyStream& s) {
        open(s);
        std::vector<std::int32_t> out;
        AdProxyRecord r;
        while (out.size() < 100 && adProxyReadRecord(stream, &r)) {
            out.push_back(r.type);
            adProxyFreeRecord(&r);
            adStreamSeek(stream, r.end);
        }
        return out;
    }
    AdStore* store = nullptr;
    AdStream* stream = nullptr;
};

using Types = std::vector<std::int32_t>;

TEST_F(ProxyReader, FramesAndSkippedTypes) {
    EXPECT_EQ(types(ProxyStream()), Types{}) << "preamble only";
    ProxyStream unknown;
    unknown.opaque(33, 12).opaque(0, 4).opaque(-7, 0).opaque(15, 20).opaque(17, 0).opaque(21, 3).colour(3);
    EXPECT_EQ(types(unknown), (Types{33, 0, -7, 15, 17, 21, 14}));
    // Ignored types never stop the stream, whatever their payload.
    ProxyStream ignored;
    for (std::int32_t t : {1, 19, 22, 23, 24, 25, 26, 28, 29, 30, 31}) ignored.opaque(t, t == 19 ? 4 : 0);
    ignored.colour(1);
    EXPECT_EQ(types(ignored), (Types{1, 19, 22, 23, 24, 25, 26, 28, 29, 30, 31, 14}));
}

TEST_F(ProxyReader, DamagedFramesEndTheData) {
    const struct {
        const char* name;
        ProxyStream stream;
        Types read;
    } cases[] = {
        {"size 0", ProxyStream().colour(1).frame(0, 14).colour(2), {14}},
        {"size 4", ProxyStream().frame(4, 14).colour(2), {}},
        {"negative size", ProxyStream().frame(-16, 14).i32(0).i32(0), {}},
        {"size past the store", ProxyStream().colour(1).frame(400, 2).i32(0), {14}},
        {"a frame cut by the store", ProxyStream().colour(1).i32(12), {14}},
        {"a circle record too small for its fields", ProxyStream().frame(20, 2).f64(0).f64(0).colour(2), {}},
        {"a polyline count past its record", ProxyStream().frame(36, 6).i32(2).point({0, 0, 0}), {}},
        {"a negative polyline count", ProxyStream().frame(12, 6).i32(-1).colour(2), {}},
        {"mesh rows of 32768", ProxyStream().frame(16, 8).i32(32768).i32(1), {}},
        {"mesh columns of 40000", ProxyStream().frame(16, 8).i32(1).i32(40000), {}},
        {"a shell of 32768 vertices", ProxyStream().frame(12, 9).i32(32768), {}},
        {"a text without its terminator", ProxyStream().frame(108, 10).f64(0).f64(0).f64(0).f64(0).f64(0).f64(1).f64(1).f64(0).f64(0).f64(1).f64(1).f64(0).raw("abcd", 4), {}},
    };
    for (const auto& c : cases) EXPECT_EQ(types(c.stream), c.read) << c.name;
}

TEST_F(ProxyReader, StringsAndShortArraysArePadded) {
    const struct {
        std::string text;
        std::int32_t capacity;
        std::string kept;
        std::int32_t consumed;
    } cases[] = {
        {"", 16, "", 4}, {"abc", 16, "abc", 4}, {"abcd", 16, "abcd", 8}, {"abcdefg", 4, "abc", 8}, {"abcdefgh", 1, "", 12},
    };
    for (const auto& c : cases) {
        ProxyStream s;
        s.string(c.text).i32(77);
        open(s);
        char buffer[16];
        EXPECT_EQ(adProxyReadString(stream, buffer, c.capacity), c.consumed) << c.text;
        EXPECT_EQ(std::string(buffer), c.kept) << c.text;
        std::int32_t next = 0;
        EXPECT_TRUE(adProxyReadLong(stream, &next) && next == 77) << c.text;
    }
    ProxyStream noEnd;
    noEnd.raw("abcdef", 6);
    open(noEnd);
    char buffer[16];
    EXPECT_EQ(adProxyReadString(stream, buffer, 16), 0) << "no terminator before the store ends";

    for (std::int16_t n : {3, 4}) {
        ProxyStream s;
        s.shorts(std::vector<std::int16_t>(static_cast<std::size_t>(n), 9)).i32(77);
        EXPECT_EQ(s.bytes.size(), 8u + 8u + 4u) << n << " entries take 8 bytes";
        open(s);
        std::int16_t values[4] = {};
        std::int32_t next = 0;
        EXPECT_EQ(adProxyReadShorts(stream, n, values), 1);
        EXPECT_TRUE(adProxyReadLong(stream, &next) && next == 77) << n;
    }
}

TEST_F(ProxyReader, RecordValues) {
    ProxyStream s;
    s.linetype(-1).linetype(-2).linetype(3);
    open(s);
    AdProxyRecord r;
    for (std::int32_t expected : {0x7fff, 0x7ffe, 3}) {
        ASSERT_EQ(adProxyReadRecord(stream, &r), 1);
        EXPECT_EQ(r.value, expected);
    }

    // A type 11 record larger than its fields: the surplus is dropped and the
    // next record starts at the declared end.
    ProxyStream text;
    text.fontText({1, 2, 3}, {0, 0, 1}, "Hello", "romans.shx", 20).colour(6);
    open(text);
    ASSERT_EQ(adProxyReadRecord(stream, &r), 1);
    EXPECT_EQ(std::string(r.text.text), "Hello");
    EXPECT_EQ(std::string(r.text.fontFile), "romans.shx");
    EXPECT_EQ(r.text.length, -1);
    EXPECT_DOUBLE_EQ(r.text.height, 2.5);
    EXPECT_EQ(r.text.flags[1], 1);
    EXPECT_EQ(r.text.flags[2], 0);
    EXPECT_EQ(adStreamTell(stream), r.end);
    ASSERT_EQ(adProxyReadRecord(stream, &r), 1);
    EXPECT_EQ(r.type, 14);
    EXPECT_EQ(r.value, 6);
    // One whose declared size is below what its fields take ends the data.
    ProxyStream cut = text;
    const std::int32_t small = 100;
    std::memcpy(&cut.bytes[8], &small, 4);
    EXPECT_EQ(types(cut), Types{});

    ProxyStream clip;
    clip.clip({{0, 0}, {10, 5}});
    open(clip);
    ASSERT_EQ(adProxyReadRecord(stream, &r), 1);
    EXPECT_EQ(r.clip.present, 1);
    EXPECT_EQ(r.clip.count, 2);
    EXPECT_EQ(adStoreSize(r.clip.points), 32);
    adProxyFreeRecord(&r);

    EXPECT_EQ(adProxyReadRecord(nullptr, &r), 0);
    EXPECT_EQ(adGlobals->errorCode, AD_ERR_STREAM_READ_NULL);
}

TEST_F(ProxyReader, MeshTrailerWithEveryBlock) {
    // 2 x 3: 7 edges, 2 faces.
    const std::vector<ProxyPoint> grid = {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {0, 1, 0}, {1, 1, 0}, {2, 1, 0}};
    ProxyStream s;
    std::size_t at = 0;
    s.meshHead(&at, 2, 3, grid);
    s.i32(0x01 | 0x02 | 0x04 | 0x20 | 0x40).shorts({1, 2, 3, 4, 5, 6, 7}).shorts({0, 0, 0, 0, 0, 0, 1});
    s.shorts({0, 0, 0, 0, 0, 0, 0}).longs({9, 9, 9, 9, 9, 9, 9}).longs({1, 1, 1, 1, 0, 0, 0});
    s.i32(0x01 | 0x02 | 0x20 | 0x80 | 0x40).shorts({5, 6}).shorts({1, 1}).longs({9, 9}).points({{0, 0, 1}, {0, 0, 1}});
    s.longs({1, 0});
    s.i32(0x80 | 0x400).points(grid).i32(0);
    s.end(at).colour(4);
    open(s);
    AdProxyRecord r;
    ASSERT_EQ(adProxyReadRecord(stream, &r), 1);
    AdProxyMesh mesh;
    ASSERT_EQ(adProxyReadMesh(stream, r.grid[0], r.grid[1], &mesh), 1);
    EXPECT_EQ(mesh.attributes.edgeCount, 7);
    EXPECT_EQ(mesh.attributes.faceCount, 2);
    EXPECT_EQ(mesh.attributes.edgeColours[6], 7);
    EXPECT_EQ(mesh.attributes.edgeLayers[6], 1);
    EXPECT_EQ(mesh.attributes.edgeVisibility[4], 0);
    EXPECT_EQ(mesh.attributes.faceColours[1], 6);
    EXPECT_EQ(mesh.attributes.faceVisibility[1], 0);
    EXPECT_DOUBLE_EQ(mesh.vertices[3 * 5], 2.0);
    adProxyFreeMesh(&mesh);
    EXPECT_EQ(adStreamTell(stream), r.end) << "the trailer ends the record";
    ASSERT_EQ(adProxyReadRecord(stream, &r), 1);
    EXPECT_EQ(r.type, 14);
}

TEST_F(ProxyReader, ShellFaceLists) {
    const std::vector<ProxyPoint> six = {{0, 0, 0}, {4, 0, 0}, {0, 4, 0}, {1, 1, 0}, {2, 1, 0}, {1, 2, 0}};
    const struct {
        const char* name;
        std::vector<std::int32_t> faces;
        bool read;
        std::int32_t edges, faceCount;
    } cases[] = {
        {"a face and its hole", {3, 0, 1, 2, -3, 3, 4, 5}, true, 6, 1},
        {"two faces", {3, 0, 1, 2, 3, 3, 4, 5}, true, 6, 2},
        {"an empty list", {}, true, 0, 0},
        {"a count past the list", {3, 0, 1}, false, 0, 0},
        {"the most negative count", {INT32_MIN, 0}, false, 0, 0},
    };
    for (const auto& c : cases) {
        ProxyStream s;
        std::size_t at = 0;
        s.shellHead(&at, six, c.faces).i32(0).i32(0).i32(0).end(at);
        open(s);
        AdProxyRecord r;
        ASSERT_EQ(adProxyReadRecord(stream, &r), 1) << c.name;
        AdProxyShell shell;
        EXPECT_EQ(adProxyReadShell(stream, r.count, &shell), c.read ? 1 : 0) << c.name;
        if (!c.read) continue;
        EXPECT_EQ(shell.attributes.edgeCount, c.edges) << c.name;
        EXPECT_EQ(shell.attributes.faceCount, c.faceCount) << c.name;
        adProxyFreeShell(&shell);
    }
}

TEST_F(ProxyReader, NoMemoryFailsTheMeshOrShellWithItsCode) {
    const std::vector<ProxyPoint> grid = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}};
    const struct {
        const char* name;
        bool shell;
        std::int32_t failAfter;
        std::int32_t error;
    } cases[] = {
        {"mesh vertices", false, 0, AD_ERR_PROXY_MESH_VERTICES},
        {"mesh edge colours", false, 1, AD_ERR_PROXY_MESH_ARRAYS},
        {"shell vertices", true, 0, AD_ERR_PROXY_SHELL_VERTICES},
        {"shell face list", true, 1, AD_ERR_PROXY_SHELL_FACES},
        {"shell edge colours", true, 2, AD_ERR_PROXY_SHELL_ARRAYS},
    };
    for (const auto& c : cases) {
        ProxyStream s;
        std::size_t at = 0;
        if (c.shell)
            s.shellHead(&at, grid, {4, 0, 1, 3, 2});
        else
            s.meshHead(&at, 2, 2, grid);
        s.i32(0x01).shorts({1, 2, 3, 4}).i32(0).i32(0).end(at);
        open(s);
        AdProxyRecord r;
        ASSERT_EQ(adProxyReadRecord(stream, &r), 1) << c.name;
        adClearError();
        HostFailAllocationAfter(c.failAfter);
        AdProxyMesh mesh;
        AdProxyShell shell;
        const int read = c.shell ? adProxyReadShell(stream, r.count, &shell) : adProxyReadMesh(stream, 2, 2, &mesh);
        HostFailAllocationAfter(-1);
        EXPECT_EQ(read, 0) << c.name;
        EXPECT_EQ(adGlobals->errorCode, c.error) << c.name;
    }
}

TEST_F(ProxyReader, AngleFromCentre) {
    const double centre[2] = {1.0, 1.0};
    const struct {
        double x, y, angle;
    } cases[] = {
        {2, 1, 0.0}, {1, 2, kPi / 2}, {1, 0, -kPi / 2}, {1, 1, -kPi / 2}, {0, 1, kPi},
        {0, 0, -3 * kPi / 4}, {0, 2, 3 * kPi / 4},
    };
    for (const auto& c : cases) {
        const double p[2] = {c.x, c.y};
        EXPECT_NEAR(adAngleFromCentre(centre, p), c.angle, 1e-12) << c.x << "," << c.y;
    }
}

}  // namespace
