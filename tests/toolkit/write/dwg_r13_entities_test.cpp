// The data fields of entity records as the bit-coded DWG writer lays them
// out, read back with a decoder of the bit coding written for the tests.
#include "toolkit/db/started_toolkit.h"
#include "toolkit/write/dwg/dwg_entity_head.h"
#include "dwg_writer_harness.h"

#include "toolkit/db/host_fault.h"

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

// Reads the bit coding from a bit offset.
class Bits {
public:
    Bits(std::vector<std::uint8_t> bytes, std::int64_t at) : bytes_(std::move(bytes)), at_(at) {}
    int bit() {
        const std::size_t byte = static_cast<std::size_t>(at_ / 8);
        if (byte >= bytes_.size()) {
            over_ = true;
            return 0;
        }
        const int b = (bytes_[byte] >> (7 - at_ % 8)) & 1;
        ++at_;
        return b;
    }
    int code() { return bit() << 1 | bit(); }
    std::uint8_t rc() {
        int v = 0;
        for (int i = 0; i < 8; ++i) v = v << 1 | bit();
        return static_cast<std::uint8_t>(v);
    }
    std::int16_t bs() {
        switch (code()) {
        case 0: {
            const std::uint8_t lo = rc();
            return static_cast<std::int16_t>(lo | rc() << 8);
        }
        case 1: return rc();
        case 2: return 0;
        default: return 256;
        }
    }
    std::int32_t bl() {
        switch (code()) {
        case 0: {
            std::uint32_t v = 0;
            for (int i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(rc()) << (8 * i);
            return static_cast<std::int32_t>(v);
        }
        case 1: return rc();
        default: return 0;
        }
    }
    double rd() {
        std::uint64_t v = 0;
        for (int i = 0; i < 8; ++i) v |= static_cast<std::uint64_t>(rc()) << (8 * i);
        double d = 0.0;
        std::memcpy(&d, &v, sizeof d);
        return d;
    }
    double bd() {
        switch (code()) {
        case 0: return rd();
        case 1: return 1.0;
        default: return 0.0;
        }
    }
    // A default double: only the full form and the default itself are written.
    double dd(double fallback) { return code() == 0 ? fallback : rd(); }
    std::string text() {
        const auto n = static_cast<std::uint16_t>(bs());
        std::string t;
        for (std::uint16_t i = 0; i < n; ++i) t.push_back(static_cast<char>(rc()));
        return t;
    }
    std::int64_t at() const { return at_; }
    bool over() const { return over_; }

private:
    std::vector<std::uint8_t> bytes_;
    std::int64_t at_;
    bool over_ = false;
};

// One record started and ended around write, which writes an entity's
// fields; answers a decoder standing on the first field, and the bit where
// the data ends.
struct Written {
    Bits bits;
    std::int64_t dataEnd;
    int result;
};

class DwgR13Entities : public StartedToolkit {
protected:
    Written record(std::int16_t version, const std::function<int(AdDwgWriter*)>& write,
                   const std::function<void(AdDrawing*)>& prepare = {}) {
        WriterHarness harness(version);
        AdDwgWriter* writer = harness.get();
        if (prepare) prepare(writer->source);
        const AdHandle own = handleOf(0x40);
        adDwgRecordBegin(writer, 1, &own, nullptr, nullptr, true);
        const std::int64_t first = adDwgBitPosition(writer);
        const int result = write(writer);
        const std::int64_t end = writer->dataBits;
        if (result) adDwgRecordEnd(writer, &own);
        std::vector<std::uint8_t> file = harness.bytes();
        // The size word before the data.
        return {Bits(std::move(file), 16 + first), 16 + end, result};
    }
    static AdEntityHeader header() {
        AdEntityHeader h{};
        h.handle = handleOf(0x40);
        h.extrusion[2] = 1.0;
        h.linetypeScale = 1.0;
        h.color = 256;
        return h;
    }
    static AdDwgEntityLinks links() { return AdDwgEntityLinks{handleOf(0x1F), {}, {}, 2, {}, {}, {}}; }
};

TEST_F(DwgR13Entities, TextOfUsualValuesLeavesItsFieldsOut) {
    AdEntityHeader h = header();
    auto data = std::make_unique<AdEntityData>();
    AdTextData& t = data->text;
    t.insertion[0] = 3.0;
    t.insertion[1] = 4.0;
    t.fields.height = 2.5;
    t.fields.widthFactor = 1.0;
    std::strcpy(t.text, "ABC");
    Written w = record(AD_VERSION_AC1015, [&](AdDwgWriter* writer) {
        return adDwgWriteTextEntity(writer, &h, data.get(), links(), AD_DWG_TEXT);
    });
    ASSERT_TRUE(w.result);
    EXPECT_EQ(w.bits.rc(), 0xFF);
    EXPECT_EQ(w.bits.rd(), 3.0);
    EXPECT_EQ(w.bits.rd(), 4.0);
    EXPECT_EQ(w.bits.bit(), 1);  // extrusion 0,0,1
    EXPECT_EQ(w.bits.bit(), 1);  // thickness 0
    EXPECT_EQ(w.bits.rd(), 2.5);
    EXPECT_EQ(w.bits.text(), "ABC");
    EXPECT_EQ(w.bits.at(), w.dataEnd);

    // Each value off its usual one clears its bit and is written.
    t.insertion[2] = 1.5;
    t.fields.rotation = 0.25;
    t.fields.horizontalAlignment = 2;
    Written v = record(AD_VERSION_AC1015, [&](AdDwgWriter* writer) {
        return adDwgWriteTextEntity(writer, &h, data.get(), links(), AD_DWG_TEXT);
    });
    EXPECT_EQ(v.bits.rc(), 0xFF & ~0x01 & ~0x08 & ~0x40);
    EXPECT_EQ(v.bits.rd(), 1.5);
}

TEST_F(DwgR13Entities, InsertScalesTakeTheirShortestForm) {
    struct Case {
        double scale[3];
        int code;
        std::vector<double> values;  // as the form gives them back
    };
    const Case cases[] = {{{1, 1, 1}, 3, {}},
                          {{2, 2, 2}, 2, {2}},
                          {{1, 2, 3}, 1, {2, 3}},
                          {{2, 3, 2}, 0, {2, 3, 2}}};
    for (const Case& c : cases) {
        AdEntityHeader h = header();
        auto data = std::make_unique<AdEntityData>();
        std::memcpy(data->insert.scale, c.scale, sizeof c.scale);
        data->insert.rowCount = data->insert.columnCount = 1;
        Written w = record(AD_VERSION_AC1015, [&](AdDwgWriter* writer) {
            return adDwgWriteInsertEntity(writer, &h, data.get(), links(), AD_DWG_INSERT);
        });
        for (int i = 0; i < 3; ++i) w.bits.bd();
        ASSERT_EQ(w.bits.code(), c.code) << c.scale[1];
        if (c.code == 2) {
            EXPECT_EQ(w.bits.rd(), c.values[0]);
        }
        if (c.code == 1) {
            EXPECT_EQ(w.bits.dd(1.0), c.values[0]);
            EXPECT_EQ(w.bits.dd(1.0), c.values[1]);
        }
        if (c.code == 0) {
            const double x = w.bits.rd();
            EXPECT_EQ(x, c.values[0]);
            EXPECT_EQ(w.bits.dd(x), c.values[1]);
            EXPECT_EQ(w.bits.dd(x), c.values[2]);
        }
    }
}

TEST_F(DwgR13Entities, MinsertOfOneCellWritesNoRowsOrColumns) {
    AdEntityHeader h = header();
    auto data = std::make_unique<AdEntityData>();
    data->insert.scale[0] = data->insert.scale[1] = data->insert.scale[2] = 1.0;
    data->insert.rowCount = data->insert.columnCount = 1;
    Written w = record(AD_VERSION_AC1014, [&](AdDwgWriter* writer) {
        return adDwgWriteInsertEntity(writer, &h, data.get(), links(), AD_DWG_MINSERT);
    });
    for (int i = 0; i < 3 + 3 + 1 + 3; ++i) w.bits.bd();
    EXPECT_EQ(w.bits.bit(), 0);
    EXPECT_EQ(w.bits.bs(), 0);
    EXPECT_EQ(w.bits.bs(), 0);
}

TEST_F(DwgR13Entities, VertexWidthsAreOneNegatedValueWhenEqual) {
    struct Case {
        double start, end;
        std::int16_t given;
        std::vector<double> written;
    };
    // The polyline's defaults are 0.25 and 0.75.
    const Case cases[] = {{0.5, 0.5, 1, {-0.5}},
                          {0.0, 0.0, 1, {0.0, 0.0}},
                          {0.5, 1.0, 1, {0.5, 1.0}},
                          {0.5, 0.5, 0, {0.25, 0.75}}};
    for (const Case& c : cases) {
        AdEntityHeader h = header();
        auto data = std::make_unique<AdEntityData>();
        AdVertexData& v = data->vertex;
        v.startWidth = c.start;
        v.endWidth = c.end;
        v.startWidthGiven = v.endWidthGiven = c.given;
        Written w = record(AD_VERSION_AC1014, [&](AdDwgWriter* writer) {
            writer->polylineStartWidth = 0.25;
            writer->polylineEndWidth = 0.75;
            return adDwgWriteVertexEntity(writer, &h, data.get(), links(), AD_DWG_VERTEX_2D);
        });
        w.bits.rc();
        for (int i = 0; i < 3; ++i) w.bits.bd();
        for (double width : c.written) EXPECT_EQ(w.bits.bd(), width) << c.start << " " << c.end;
        EXPECT_EQ(w.bits.bd(), 0.0);  // bulge
        EXPECT_EQ(w.bits.bd(), 0.0);  // tangent direction
        EXPECT_EQ(w.bits.at(), w.dataEnd);
    }
}

TEST_F(DwgR13Entities, SplineWithFitPointsWritesNoKnotsOrControlPoints) {
    AdEntityHeader h = header();
    auto data = std::make_unique<AdEntityData>();
    AdSplineData& s = data->spline;
    s.degree = 3;
    s.knotCount = 2;
    s.controlPointCount = 1;
    s.fitPointCount = 2;
    const double stored[] = {0, 1, 9, 9, 9, 1, 2, 3, 4, 5, 6};
    s.points = adStoreCreate(256);
    AdStream* out = adStreamOpenWrite(s.points);
    adStreamWrite(out, stored, sizeof stored);
    adStreamCloseWrite(out);
    Written w = record(AD_VERSION_AC1015, [&](AdDwgWriter* writer) {
        return adDwgWriteSplineEntity(writer, &h, data.get(), links(), AD_DWG_SPLINE);
    });
    adStoreFree(s.points);
    EXPECT_EQ(w.bits.bs(), 2);
    EXPECT_EQ(w.bits.bs(), 3);
    for (int i = 0; i < 7; ++i) w.bits.bd();  // tolerance, two tangents
    ASSERT_EQ(w.bits.bl(), 2);
    for (double value : {1.0, 2.0, 3.0, 4.0, 5.0, 6.0}) EXPECT_EQ(w.bits.bd(), value);
    EXPECT_EQ(w.bits.at(), w.dataEnd);
}

// Doubles into a new store.
AdStore* storeOf(const std::vector<double>& values) {
    AdStore* store = adStoreCreate(256);
    AdStream* out = adStreamOpenWrite(store);
    adStreamWrite(out, values.data(), static_cast<std::int32_t>(values.size() * sizeof(double)));
    adStreamCloseWrite(out);
    return store;
}

TEST_F(DwgR13Entities, LwpolylineFlagsFollowItsValuesAndPointsTheirVersion) {
    for (std::int16_t version : {AD_VERSION_AC1014, AD_VERSION_AC1015}) {
        AdEntityHeader h = header();
        h.type = 500;
        auto data = std::make_unique<AdEntityData>();
        AdLwpolylineData& p = data->lwpolyline;
        p.vertexCount = 2;
        p.flags = 0x200 | 0x4 | 0x8;  // width and elevation flags that the values do not bear out
        p.vertices = storeOf({1.0, 2.0, 1.0, 5.0});
        Written w = record(
            version,
            [&](AdDwgWriter* writer) { return adDwgWriteClassEntity(writer, &h, data.get(), links(), 500); },
            [](AdDrawing* d) { d->classNumbers[AD_CLASS_LWPOLYLINE] = 500; });
        adStoreFree(p.vertices);
        EXPECT_EQ(w.bits.bs(), 0x200) << version;
        EXPECT_EQ(w.bits.bl(), 2);
        EXPECT_EQ(w.bits.rd(), 1.0);
        EXPECT_EQ(w.bits.rd(), 2.0);
        if (version == AD_VERSION_AC1015) {
            EXPECT_EQ(w.bits.dd(1.0), 1.0);
            EXPECT_EQ(w.bits.dd(2.0), 5.0);
        } else {
            EXPECT_EQ(w.bits.rd(), 1.0);
            EXPECT_EQ(w.bits.rd(), 5.0);
        }
        EXPECT_EQ(w.bits.at(), w.dataEnd) << version;
    }
}

TEST_F(DwgR13Entities, ClipPolygonsLeaveTheirClosingVertexOut) {
    struct Case {
        bool wipeout;
        std::vector<double> stored;
        std::int32_t written;
    };
    const Case cases[] = {
        {false, {0, 0, 1, 0, 1, 1, 0, 1, 0, 0}, 4},
        // A polygon without vertices stays without: no count of -1.
        {false, {}, 0},
        {true, {0, 0, 1, 0, 1, 1, 0, 0}, 3},
        {true, {0, 0, 1, 0, 1, 1}, 3},
    };
    for (const Case& c : cases) {
        AdEntityHeader h = header();
        h.type = 501;
        auto data = std::make_unique<AdEntityData>();
        AdImageData& image = data->image;
        image.clipBoundaryType = 2;
        image.clipVertexCount = static_cast<std::int32_t>(c.stored.size() / 2);
        image.clipVertices = c.stored.empty() ? nullptr : storeOf(c.stored);
        Written w = record(
            AD_VERSION_AC1015,
            [&](AdDwgWriter* writer) { return adDwgWriteClassEntity(writer, &h, data.get(), links(), 501); },
            [&](AdDrawing* d) { d->classNumbers[c.wipeout ? AD_CLASS_WIPEOUT : AD_CLASS_IMAGE] = 501; });
        if (image.clipVertices) adStoreFree(image.clipVertices);
        w.bits.bl();
        for (int i = 0; i < 9; ++i) w.bits.bd();
        w.bits.rd();
        w.bits.rd();
        w.bits.bs();
        w.bits.bit();
        for (int i = 0; i < 3; ++i) w.bits.rc();
        EXPECT_EQ(w.bits.bs(), 2);
        EXPECT_EQ(w.bits.bl(), c.written) << c.wipeout << " " << c.stored.size();
        for (std::int32_t i = 0; i < 2 * c.written; ++i) EXPECT_EQ(w.bits.rd(), c.stored[static_cast<std::size_t>(i)]);
        EXPECT_EQ(w.bits.at(), w.dataEnd);
    }
}

TEST_F(DwgR13Entities, ProxyOfNoFormatTakesTheDefaultFormat) {
    AdEntityHeader h = header();
    h.type = AD_ENTITY_PROXY;
    auto data = std::make_unique<AdEntityData>();
    AdProxyData& p = data->proxy;
    p.applicationClass = 510;
    p.dataBits = 12;
    const std::uint8_t bits[] = {0xAB, 0xC0};
    p.data = adStoreCreate(64);
    AdStream* out = adStreamOpenWrite(p.data);
    adStreamWrite(out, bits, sizeof bits);
    adStreamCloseWrite(out);
    Written w = record(AD_VERSION_AC1015, [&](AdDwgWriter* writer) {
        return adDwgWriteClassEntity(writer, &h, data.get(), links(), 510);
    });
    adStoreFree(p.data);
    EXPECT_EQ(w.bits.bl(), 510);
    EXPECT_EQ(w.bits.bl(), 393239);
    EXPECT_EQ(w.bits.bit(), 1);
    EXPECT_EQ(w.bits.rc(), 0xAB);
    EXPECT_EQ(w.bits.code() << 2 | w.bits.code(), 0xC);
    EXPECT_EQ(w.bits.at(), w.dataEnd);
}

TEST_F(DwgR13Entities, EntityTypesFollowTheirData) {
    struct Case {
        std::uint16_t type;
        std::function<void(AdEntityData&)> set;
        std::int16_t dwg;
    };
    const Case cases[] = {
        {AD_ENTITY_3DLINE, [](AdEntityData&) {}, AD_DWG_LINE},  // no type of its own: a LINE
        {AD_ENTITY_INSERT, [](AdEntityData& d) { d.insert.rowCount = d.insert.columnCount = 1; }, AD_DWG_INSERT},
        {AD_ENTITY_INSERT, [](AdEntityData& d) { d.insert.rowCount = 2, d.insert.columnCount = 1; }, AD_DWG_MINSERT},
        {AD_ENTITY_VERTEX, [](AdEntityData& d) { d.vertex.faceIndexCount = 3; }, AD_DWG_VERTEX_PFACE_FACE},
        {AD_ENTITY_VERTEX, [](AdEntityData& d) { d.vertex.flags = 0xC0; }, AD_DWG_VERTEX_PFACE},
        {AD_ENTITY_VERTEX, [](AdEntityData& d) { d.vertex.flags = 0x40; }, AD_DWG_VERTEX_MESH},
        {AD_ENTITY_VERTEX, [](AdEntityData& d) { d.vertex.flags = 0x20; }, AD_DWG_VERTEX_3D},
        {AD_ENTITY_POLYLINE, [](AdEntityData& d) { d.polyline.flags = 0x40; }, AD_DWG_POLYLINE_PFACE},
        {AD_ENTITY_POLYLINE, [](AdEntityData& d) { d.polyline.flags = 0x10; }, AD_DWG_POLYLINE_MESH},
        {AD_ENTITY_POLYLINE, [](AdEntityData& d) { d.polyline.flags = 0x08; }, AD_DWG_POLYLINE_3D},
        {AD_ENTITY_POLYLINE, [](AdEntityData&) {}, AD_DWG_POLYLINE_2D},
        {AD_ENTITY_DIMENSION, [](AdEntityData& d) { d.dimension.dimensionType = 0x86; }, AD_DWG_DIM_ORDINATE},
        {AD_ENTITY_DIMENSION, [](AdEntityData& d) { d.dimension.dimensionType = 3; }, AD_DWG_DIM_DIAMETER},
        {AD_ENTITY_PROXY, [](AdEntityData& d) { d.proxy.applicationClass = 507; }, 507},
        {AD_ENTITY_PROXY, [](AdEntityData&) {}, AD_DWG_FIRST_CLASS_TYPE},
    };
    for (const Case& c : cases) {
        AdEntityHeader h = header();
        h.type = c.type;
        auto data = std::make_unique<AdEntityData>();
        c.set(*data);
        EXPECT_EQ(adDwgEntityType(&h, data.get()), c.dwg) << c.type;
    }
}

// SAT text of the given bytes in a new store.
AdStore* textStore(const std::string& text) {
    AdStore* store = adStoreCreate(4096);
    AdStream* out = adStreamOpenWrite(store);
    adStreamWrite(out, text.data(), static_cast<std::int32_t>(text.size()));
    adStreamCloseWrite(out);
    return store;
}

// The blocks of a solid's record: their lengths and their decoded bytes.
struct SatBlocks {
    std::vector<std::int32_t> lengths;
    std::string text;
};

SatBlocks satBlocks(Bits& bits) {
    SatBlocks out;
    EXPECT_EQ(bits.bs(), 64);
    EXPECT_EQ(bits.bd(), 1.0);
    for (std::int32_t n = bits.bl(); n > 0 && !bits.over(); n = bits.bl()) {
        out.lengths.push_back(n);
        for (std::int32_t i = 0; i < n; ++i) out.text.push_back(static_cast<char>(adSatRestoreByte(bits.rc())));
    }
    return out;
}

TEST_F(DwgR13Entities, SatTextGoesInBlocksOf4096) {
    struct Case {
        std::size_t size;
        std::vector<std::int32_t> lengths;
    };
    const Case cases[] = {{4096, {4096}}, {4097, {4096, 1}}};
    for (const Case& c : cases) {
        AdEntityHeader h = header();
        auto data = std::make_unique<AdEntityData>();
        data->sat.satFlag = 1;
        const std::string text(c.size, 'x');
        data->sat.satText = textStore(text);
        Written w = record(AD_VERSION_AC1015, [&](AdDwgWriter* writer) {
            return adDwgWriteSatEntity(writer, &h, data.get(), links(), AD_DWG_3DSOLID);
        });
        adStoreFree(data->sat.satText);
        const SatBlocks blocks = satBlocks(w.bits);
        EXPECT_EQ(blocks.lengths, c.lengths);
        EXPECT_EQ(blocks.text, text);
        EXPECT_EQ(w.bits.at(), w.dataEnd) << c.size;
    }
}

TEST_F(DwgR13Entities, SatBytesAreCodedAndShortCountsRaised) {
    // Printable bytes turn about 159; blanks, line ends and bytes from 127
    // go as they are.
    const std::string text = "!~ \n\x7f\xc8";
    const std::string coded = "~! \n\x7f\xc8";
    {
        AdEntityHeader h = header();
        auto data = std::make_unique<AdEntityData>();
        data->sat.satFlag = 1;
        data->sat.satText = textStore(text);
        Written w = record(AD_VERSION_AC1014, [&](AdDwgWriter* writer) {
            return adDwgWriteSatEntity(writer, &h, data.get(), links(), AD_DWG_REGION);
        });
        adStoreFree(data->sat.satText);
        EXPECT_EQ(w.bits.bs(), 64);
        EXPECT_EQ(w.bits.bd(), 1.0);
        ASSERT_EQ(w.bits.bl(), 6);
        std::string raw;
        for (int i = 0; i < 6; ++i) raw.push_back(static_cast<char>(w.bits.rc()));
        EXPECT_EQ(raw, coded);
    }
    // The counts before the version and the date are raised only where the
    // short version string stands.
    for (const char* version : {"13 A CIS 4.0.2 NT 24 Mon A pr 11", "12 ACIS 4.0.2 NT 24 Mon A pr 11"}) {
        AdEntityHeader h = header();
        auto data = std::make_unique<AdEntityData>();
        data->sat.satFlag = 1;
        data->sat.satText = textStore(version);
        Written w = record(AD_VERSION_AC1015, [&](AdDwgWriter* writer) {
            return adDwgWriteSatEntity(writer, &h, data.get(), links(), AD_DWG_REGION);
        });
        adStoreFree(data->sat.satText);
        const std::string expected =
            version[1] == '3' ? "14 A CIS 4.0.2 NT 25 Mon A pr 11" : version;
        EXPECT_EQ(satBlocks(w.bits).text, expected);
    }
}

TEST_F(DwgR13Entities, SolidWithoutTextWritesOnlyWhatItsTrailerSays) {
    for (std::uint8_t flag : {0, 1}) {
        AdEntityHeader h = header();
        auto data = std::make_unique<AdEntityData>();
        data->sat.satFlag = flag;
        Written w = record(AD_VERSION_AC1015, [&](AdDwgWriter* writer) {
            return adDwgWriteSatEntity(writer, &h, data.get(), links(), AD_DWG_BODY);
        });
        const std::int64_t start = w.bits.at();
        EXPECT_EQ(w.dataEnd - start, flag == 1 ? 0 : 1);
        if (flag == 0) {
            EXPECT_EQ(w.bits.bit(), 0);
        }
    }
}

int fatalCalls = 0;
int fatalCondition = 0;
int countFatal(std::int32_t condition) {
    ++fatalCalls;
    fatalCondition = condition;
    return 1;
}

TEST_F(DwgR13Entities, SolidWithoutItsBufferStopsEvenWithAFatalHook) {
    AdEntityHeader h = header();
    auto data = std::make_unique<AdEntityData>();
    data->sat.satText = textStore("x");
    WriterHarness harness(AD_VERSION_AC1015);
    AdDwgWriter* writer = harness.get();
    const AdHandle own = handleOf(0x40);
    ASSERT_TRUE(adDwgRecordBegin(writer, AD_DWG_3DSOLID, &own, nullptr, nullptr, true));
    const std::int64_t before = adDwgBitPosition(writer);
    const AdFatalErrorHook saved = adGlobals->hooks.fatalError;
    adGlobals->hooks.fatalError = countFatal;
    fatalCalls = 0;
    HostFailAllocationAfter(0);
    EXPECT_EQ(adDwgWriteSatEntity(writer, &h, data.get(), links(), AD_DWG_3DSOLID), 0);
    HostFailAllocationAfter(-1);
    adGlobals->hooks.fatalError = saved;
    adStoreFree(data->sat.satText);
    EXPECT_EQ(fatalCalls, 1);
    EXPECT_EQ(fatalCondition, AD_FATAL_NO_MEMORY);
    EXPECT_EQ(adDwgBitPosition(writer), before) << "nothing of the entity written";
}
}  // namespace
