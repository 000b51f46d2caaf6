// What each version can hold, and the light-weight polyline as a POLYLINE
// with VERTEX records and a SEQEND.
#include "toolkit/db/started_toolkit.h"
#include "drawing_text.h"
#include "output_file.h"

#include <cstring>
#include <vector>

namespace {
class Conversions : public StartedToolkit {};

TEST_F(Conversions, EachVersionHoldsItsEntityTypes) {
    struct Case {
        std::uint16_t type;
        std::int16_t version;
        int writable;
    };
    const Case cases[] = {
        {AD_ENTITY_ELLIPSE, 4, 0},   {AD_ENTITY_ELLIPSE, 5, 1},  {AD_ENTITY_MTEXT, 4, 0},
        {AD_ENTITY_3DSOLID, 3, 0},   {AD_ENTITY_VIEWPORT, 4, 1}, {AD_ENTITY_VIEWPORT, 3, 0},
        {AD_ENTITY_3DFACE, 0, 0},    {AD_ENTITY_3DFACE, 1, 1},   {AD_ENTITY_DIMENSION, 0, 0},
        {AD_ENTITY_3DLINE, 0, 0},    {AD_ENTITY_LINE, 0, 1},     {AD_ENTITY_PROXY, 4, 0},
        {AD_ENTITY_PROXY, 7, 1},
    };
    AdEntityHeader header{};
    AdEntityData data{};
    for (const Case& c : cases) {
        OutputFile file(c.version, AD_FORMAT_DXF_ASCII);
        header.type = c.type;
        EXPECT_EQ(adEntityWritable(&header, &data, nullptr, file.get()), c.writable)
            << "type " << c.type << " version " << c.version;
    }
    // An unresolved SHAPE is left out of every version.
    OutputFile file(7, AD_FORMAT_DXF_ASCII);
    header.type = AD_ENTITY_SHAPE;
    data.shape.shapeNumber = 255;
    EXPECT_EQ(adEntityWritable(&header, &data, nullptr, file.get()), 0);
}

struct Converted {
    std::uint16_t type;
    std::string handle;
    int position;
    double point[2];
    double bulge;
};

int collect(AdDrawing*, AdOutputDrawing*, AdEntityHeader* header, AdEntityData* data, int position, void* user) {
    auto* records = static_cast<std::vector<Converted>*>(user);
    Converted c{header->type, hex(header->handle), position, {0, 0}, 0};
    if (position == AD_CONVERTED_VERTEX) {
        c.point[0] = data->vertex.point[0];
        c.point[1] = data->vertex.point[1];
        c.bulge = data->vertex.bulge;
    }
    if (position == AD_CONVERTED_POLYLINE) c.bulge = data->polyline.flags;
    records->push_back(c);
    return 1;
}

TEST_F(Conversions, LwpolylineBecomesPolylineVerticesAndSeqendWithSeedHandles) {
    AdStore* store = adStoreCreate(AD_STORE_BLOCK_SIZE);
    AdStream* out = adStreamOpenWrite(store);
    const double vertices[3][3] = {{0, 0, 0.5}, {1, 0, 0}, {1, 1, -1}};
    for (const auto& v : vertices)
        for (double x : v) adStreamWriteDouble(out, &x);
    adStreamCloseWrite(out);
    for (int bitCoded = 0; bitCoded < 2; ++bitCoded) {
        OutputFile file(bitCoded ? 5 : 4, AD_FORMAT_DXF_ASCII);
        file.get()->conversionSeed = AdHandle{{0, 0, 0, 0, 0, 0, 1, 0}};
        AdEntityHeader header{};
        header.type = 600;
        header.handle = AdHandle{{0, 0, 0, 0, 0, 0, 0, 0x2A}};
        AdEntityData data{};
        data.lwpolyline.vertexCount = 3;
        data.lwpolyline.flags = 0x10 | 0x200;
        data.lwpolyline.vertices = store;
        std::vector<Converted> records;
        ASSERT_EQ(adWriteLwpolyAsPolyline(nullptr, file.get(), &header, &data, bitCoded, collect, &records), 1);
        ASSERT_EQ(records.size(), 5u);
        const std::uint16_t polyline = bitCoded ? 15 : AD_ENTITY_POLYLINE;
        const std::uint16_t vertex = bitCoded ? 10 : AD_ENTITY_VERTEX;
        const std::uint16_t seqend = bitCoded ? 6 : AD_ENTITY_SEQEND;
        EXPECT_EQ(records[0].type, polyline);
        EXPECT_EQ(records[0].handle, "2A");
        EXPECT_EQ(records[0].bulge, 1) << "closed";
        const char* handles[] = {"100", "101", "102"};
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(records[1 + i].type, vertex);
            EXPECT_EQ(records[1 + i].handle, handles[i]);
            EXPECT_EQ(records[1 + i].point[0], vertices[i][0]);
            EXPECT_EQ(records[1 + i].point[1], vertices[i][1]);
            EXPECT_EQ(records[1 + i].bulge, vertices[i][2]);
        }
        EXPECT_EQ(records[4].type, seqend);
        EXPECT_EQ(records[4].handle, "103");
        if (bitCoded) {
            EXPECT_EQ(hex(file.get()->polylineFirst), "100");
            EXPECT_EQ(hex(file.get()->polylineLast), "102");
            EXPECT_EQ(hex(file.get()->polylineSeqend), "103");
        }
    }
    adStoreFree(store);
}

TEST_F(Conversions, AVertexStoreCutShortFailsTheConversion) {
    AdStore* store = adStoreCreate(AD_STORE_BLOCK_SIZE);
    AdStream* out = adStreamOpenWrite(store);
    const double x = 1.0;
    adStreamWriteDouble(out, &x);
    adStreamCloseWrite(out);
    OutputFile file(4, AD_FORMAT_DXF_ASCII);
    AdEntityHeader header{};
    AdEntityData data{};
    data.lwpolyline.vertexCount = 1000;
    data.lwpolyline.vertices = store;
    std::vector<Converted> records;
    EXPECT_EQ(adWriteLwpolyAsPolyline(nullptr, file.get(), &header, &data, 0, collect, &records), 0);
    EXPECT_EQ(records.size(), 1u) << "only the POLYLINE went out";
    adStoreFree(store);
}
}  // namespace
