// Loading entities: each into its space with its layer, simple polylines made
// lightweight, cancels and failed stores that free everything, block entities,
// viewport headers, and name references resolved after the load.
#include "toolkit/ad.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "started_toolkit.h"
#include "toolkit/db/host_fault.h"
#include "toolkit/db/load_stages.h"
#include "toolkit/db/dxf/dxf_read.h"
#include "temp_dir.h"

namespace {

// One scripted entity: type, flags, layer name and, for vertices, a point.
struct Scripted {
    std::uint16_t type;
    std::uint8_t flags;
    const char* layer;
    double x;
    double y;
    std::int16_t polylineFlags;
    std::int32_t reactors = 0;  // handles in the record's reactor store
};

std::vector<Scripted> script;
std::size_t nextEntity = 0;
std::vector<std::int32_t> progressSeen;
std::int32_t cancelAt = -1;

void recordProgress(std::int32_t percent) {
    progressSeen.push_back(percent);
    if (percent == cancelAt) adClearContinueFlag();
}

// The BLOCK stage gives the drawing its space blocks and their lists.
int fakeOpen(AdDrawing* drawing) {
    nextEntity = 0;
    drawing->seedFromFile = 1;
    drawing->fileHandleSeed.b[7] = 0x20;
    return 1;
}

int fakeBegin(AdDrawing*) { return 1; }
int noRecord(AdDrawing*, void*, std::uint8_t*) { return 0; }
int noClass(AdDrawing*, void*) { return 0; }

int fakeEntity(AdDrawing* drawing, AdEntityHeader* header, AdEntityData* data, std::uint8_t* flag) {
    if (nextEntity >= script.size()) return 0;
    const Scripted& s = script[nextEntity++];
    header->type = s.type;
    adEntityDefaults(drawing, header, data);
    header->flags = s.flags;
    std::snprintf(adGlobals->dxfNames[AD_DXF_NAME_LAYER], 512, "%s", s.layer);
    adGlobals->dxfNames[AD_DXF_NAME_LINETYPE][0] = '\0';
    adGlobals->dxfLinetypeIndex = 0x7FFF;
    if (s.type == AD_ENTITY_VERTEX) {
        data->vertex.point[0] = s.x;
        data->vertex.point[1] = s.y;
    }
    if (s.type == AD_ENTITY_POLYLINE) data->polyline.flags = s.polylineFlags;
    if (s.type == AD_ENTITY_LINE) data->line.end[0] = s.x;
    if (s.reactors > 0) {
        header->reactors = adStoreCreate(AD_STORE_BLOCK_SIZE);
        AdStream* out = adStreamOpenWrite(header->reactors);
        for (std::int32_t i = 0; i < s.reactors; ++i) {
            const AdHandle reactor{{0, 0, 0, 0, 0, 0, 0, static_cast<std::uint8_t>(0x40 + i)}};
            adStreamWriteHandle(out, &reactor);
        }
        adStreamCloseWrite(out);
        header->reactorCount = s.reactors;
    }
    *flag = 0;
    return 1;
}

const std::string kDxfR12 = "  0\nSECTION\n  2\nHEADER\n  9\n$ACADVER\n  1\nAC1009\n  0\nENDSEC\n  0\nEOF\n";
const std::string kDxf2000 = "  0\nSECTION\n  2\nHEADER\n  9\n$ACADVER\n  1\nAC1015\n  0\nENDSEC\n  0\nEOF\n";

class EntityLoading : public StartedToolkit {
protected:
    void TearDown() override {
        HostFailAllocationAfter(-1);
        StartedToolkit::TearDown();
    }
    void SetUp() override {
        StartedToolkit::SetUp();
        script.clear();
        nextEntity = 0;
        progressSeen.clear();
        cancelAt = -1;
        ops.open = fakeOpen;
        ops.beginEntities = fakeBegin;
        ops.readEntity = fakeEntity;
        for (AdReadOp AdReadOps::*begin : {&AdReadOps::beginLtypes, &AdReadOps::beginLayers, &AdReadOps::beginClasses,
                                          &AdReadOps::beginVports, &AdReadOps::beginUcs, &AdReadOps::beginAppids,
                                          &AdReadOps::beginViews, &AdReadOps::beginStyles, &AdReadOps::beginBlocks,
                                          &AdReadOps::beginDimStyles})
            ops.*begin = fakeBegin;
        for (AdReadTableRecordOp AdReadOps::*next :
             {&AdReadOps::nextLtype, &AdReadOps::nextLayer, &AdReadOps::nextVport, &AdReadOps::nextUcs,
              &AdReadOps::nextAppid, &AdReadOps::nextView, &AdReadOps::nextStyle, &AdReadOps::nextBlock,
              &AdReadOps::nextDimStyle})
            ops.*next = noRecord;
        ops.nextClass = noClass;
        adGlobals->dwgReadOps = &ops;
        adGlobals->dxfReadOps = &ops;
        adSetLoadProgressHook(recordProgress);
    }
    AdDrawing* open(const std::string& bytes = kDxf2000) {
        return adOpenDrawing(dir.write("drawing.dxf", bytes).c_str(), 1, 0);
    }
    std::vector<std::uint16_t> types(AdRecordList* list) {
        std::vector<std::uint16_t> out;
        AdEntityHeader header;
        AdEntityData* data = new AdEntityData;
        adEntityRewind(list);
        while (adEntityNext(list, &header, data)) out.push_back(header.type);
        delete data;
        return out;
    }
    AdReadOps ops{};
    TempDir dir;
};

TEST_F(EntityLoading, EntitiesLandInTheirSpaceWithLayersResolvedOrCreated) {
    script = {{AD_ENTITY_LINE, 0, "WALLS", 1, 0, 0}, {AD_ENTITY_CIRCLE, AD_ENTITY_FLAG_PAPER_SPACE, "0", 0, 0, 0},
              {AD_ENTITY_LINE, 0, "WALLS", 2, 0, 0}};
    AdDrawing* drawing = open();
    ASSERT_NE(drawing, nullptr) << "error " << adGlobals->errorCode;
    EXPECT_EQ(types(drawing->modelSpace), (std::vector<std::uint16_t>{AD_ENTITY_LINE, AD_ENTITY_LINE}));
    EXPECT_EQ(types(drawing->paperSpace), (std::vector<std::uint16_t>{AD_ENTITY_CIRCLE}));
    AdHandle walls{};
    ASSERT_EQ(adLayerHandleByName(drawing, "WALLS", &walls), 1);
    AdEntityHeader header;
    AdEntityData data;
    adEntityRewind(drawing->modelSpace);
    // The layer made for the first entity is the one the later entity finds.
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(adEntityNext(drawing->modelSpace, &header, &data), 1);
        EXPECT_EQ(adHandleCompare(&header.layer, &walls), 0);
    }
    EXPECT_EQ(adLayerCount(drawing), 2);
    adCloseDrawing(drawing);
}

struct PolylineCase {
    const char* label;
    std::int16_t flags;
    std::vector<double> points;  // x, y pairs
    std::size_t storedCount;     // 1 when converted
};

class PolylineConversion : public EntityLoading, public testing::WithParamInterface<PolylineCase> {};

TEST_P(PolylineConversion, SimplePolylinesBecomeLightweight) {
    const PolylineCase& c = GetParam();
    script.push_back({AD_ENTITY_POLYLINE, 0, "0", 0, 0, c.flags});
    for (std::size_t i = 0; i + 1 < c.points.size(); i += 2)
        script.push_back({AD_ENTITY_VERTEX, 0, "0", c.points[i], c.points[i + 1], 0});
    script.push_back({AD_ENTITY_SEQEND, 0, "0", 0, 0, 0});
    AdDrawing* drawing = open();
    ASSERT_NE(drawing, nullptr) << "error " << adGlobals->errorCode;
    const std::vector<std::uint16_t> stored = types(drawing->modelSpace);
    ASSERT_EQ(stored.size(), c.storedCount);
    if (c.storedCount == 1) {
        EXPECT_EQ(stored[0], adClassNumLwpolyline(drawing));
        AdEntityHeader header;
        AdEntityData data;
        adEntityRewind(drawing->modelSpace);
        ASSERT_EQ(adEntityNext(drawing->modelSpace, &header, &data), 1);
        EXPECT_EQ(data.lwpolyline.vertexCount, static_cast<std::int32_t>(c.points.size() / 2));
        EXPECT_EQ(data.lwpolyline.flags, 0);
    } else {
        EXPECT_EQ(stored.front(), AD_ENTITY_POLYLINE);
        EXPECT_EQ(stored.back(), AD_ENTITY_SEQEND);
    }
    adCloseDrawing(drawing);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PolylineConversion,
    testing::Values(PolylineCase{"FourDistinctPoints", 0, {0, 0, 1, 0, 1, 1, 0, 1}, 1},
                    PolylineCase{"RepeatedVertexStays", 0, {0, 0, 1, 0, 1, 0, 0, 1}, 6},
                    PolylineCase{"ThreeDimensionalStays", 8, {0, 0, 1, 0, 1, 1}, 5}),
    [](const testing::TestParamInfo<PolylineCase>& info) { return std::string(info.param.label); });

// A vertex with reactors of its own would lose them as a point of a light
// polyline: the polyline stays as it came, and nothing it owned is lost.
TEST_F(EntityLoading, VertexWithReactorsKeepsThePolylineAsItCame) {
    script = {{AD_ENTITY_POLYLINE, 0, "0", 0, 0, 0}, {AD_ENTITY_VERTEX, 0, "0", 0, 0, 0, 1},
              {AD_ENTITY_VERTEX, 0, "0", 1, 0, 0}, {AD_ENTITY_SEQEND, 0, "0", 0, 0, 0}};
    AdDrawing* drawing = open();
    ASSERT_NE(drawing, nullptr) << "error " << adGlobals->errorCode;
    EXPECT_EQ(types(drawing->modelSpace), (std::vector<std::uint16_t>{AD_ENTITY_POLYLINE, AD_ENTITY_VERTEX,
                                                                      AD_ENTITY_VERTEX, AD_ENTITY_SEQEND}));
    AdEntityHeader header;
    auto data = std::make_unique<AdEntityData>();
    adEntityRewind(drawing->modelSpace);
    ASSERT_EQ(adEntityNext(drawing->modelSpace, &header, data.get()), 1);
    ASSERT_EQ(adEntityNext(drawing->modelSpace, &header, data.get()), 1);
    EXPECT_EQ(header.reactorCount, 1);
    adCloseDrawing(drawing);
}

TEST_F(EntityLoading, PolylineWithoutSeqendIsKeptAsItCame) {
    script = {{AD_ENTITY_POLYLINE, 0, "0", 0, 0, 0}, {AD_ENTITY_VERTEX, 0, "0", 0, 0, 0},
              {AD_ENTITY_VERTEX, 0, "0", 1, 0, 0}};
    AdDrawing* drawing = open();
    ASSERT_NE(drawing, nullptr) << "error " << adGlobals->errorCode;
    EXPECT_EQ(types(drawing->modelSpace),
              (std::vector<std::uint16_t>{AD_ENTITY_POLYLINE, AD_ENTITY_VERTEX, AD_ENTITY_VERTEX}));
    adCloseDrawing(drawing);
}

TEST_F(EntityLoading, CancelAfterAnEntityStopsTheLoadAndFreesAll) {
    for (int i = 0; i < 30; ++i) script.push_back({AD_ENTITY_LINE, 0, "0", static_cast<double>(i), 0, 0});
    cancelAt = 46 + 100 / 4;  // the section's extent is unknown: it counts as done
    EXPECT_EQ(open(), nullptr);
    EXPECT_EQ(adGlobals->errorCode, AD_STAGE_BLOCK_ENTITIES);
    EXPECT_EQ(nextEntity, 10u);
}

// A store that fails in the middle of the list takes back everything the
// load stored (the leak checker sees the rest), until enough memory lets the
// whole drawing load.
TEST_F(EntityLoading, FailedStoreUnwindsCleanly) {
    script = {{AD_ENTITY_LINE, 0, "A", 1, 0, 0},   {AD_ENTITY_POLYLINE, 0, "B", 0, 0, 0},
              {AD_ENTITY_VERTEX, 0, "B", 0, 0, 0}, {AD_ENTITY_VERTEX, 0, "B", 1, 0, 0},
              {AD_ENTITY_SEQEND, 0, "B", 0, 0, 0}, {AD_ENTITY_CIRCLE, AD_ENTITY_FLAG_PAPER_SPACE, "A", 0, 0, 0}};
    const std::string name = dir.write("drawing.dxf", kDxf2000);
    AdDrawing* drawing = nullptr;
    std::int32_t failAfter = 1;
    for (; !drawing && failAfter < 4000; ++failAfter) {
        HostFailAllocationAfter(failAfter);
        drawing = adOpenDrawing(name.c_str(), 1, 0);
    }
    HostFailAllocationAfter(-1);
    ASSERT_NE(drawing, nullptr) << "still failing after " << failAfter << " allocations";
    EXPECT_EQ(types(drawing->modelSpace).size(), 2u);
    EXPECT_EQ(types(drawing->paperSpace).size(), 1u);
    adCloseDrawing(drawing);
}

// A paper-space VIEWPORT of an older file without extended data is left out
// and noted; the rest of the drawing loads.
TEST_F(EntityLoading, OldPaperViewportWithoutXdataIsPassedOver) {
    script = {{AD_ENTITY_VIEWPORT, AD_ENTITY_FLAG_PAPER_SPACE, "0", 0, 0, 0}, {AD_ENTITY_LINE, 0, "0", 1, 0, 0}};
    AdDrawing* drawing = open(kDxfR12);
    ASSERT_NE(drawing, nullptr) << "error " << adGlobals->errorCode;
    EXPECT_EQ(types(drawing->modelSpace), (std::vector<std::uint16_t>{AD_ENTITY_LINE}));
    EXPECT_TRUE(types(drawing->paperSpace).empty());
    ASSERT_EQ(drawing->loadErrorCount, 1);
    EXPECT_EQ(drawing->loadErrors[0].code, AD_READ_PAPER_VIEWPORT);
    adCloseDrawing(drawing);
}

class BlockEntities : public EntityLoading {
protected:
    // A drawing with two blocks, the second erased, read through the fake.
    AdDrawing* withBlocks() {
        adGlobals->continueFlag = 1;
        AdDrawing* drawing = adCreateDrawing();
        drawing->readOps = &ops;
        drawing->assignHandles = 1;
        AdHandle seed{};
        seed.b[7] = 0x40;
        adSetHandleSeed(drawing, &seed);
        for (std::uint8_t i = 0; i < 2; ++i) {
            AdStoredBlock block{};
            block.header.handle.b[7] = static_cast<std::uint8_t>(0x10 + i);
            block.header.erased = i;
            block.header.entities = adListCreate();
            adListAppendNew(&block, sizeof block, drawing->blocks);
        }
        return drawing;
    }
    AdRecordList* entitiesOf(AdDrawing* drawing, int index) {
        AdListRecord* node = adListFirst(drawing->blocks);
        for (int i = 0; i < index; ++i) node = node->next;
        return reinterpret_cast<AdStoredBlock*>(adListRecordData(node))->header.entities;
    }
};

TEST_F(BlockEntities, ReadUpToEndblkWithProgressPerBlock) {
    script = {{AD_ENTITY_BLOCK, 0, "0", 0, 0, 0}, {AD_ENTITY_LINE, AD_ENTITY_FLAG_PAPER_SPACE, "0", 1, 0, 0},
              {AD_ENTITY_ENDBLK, 0, "0", 0, 0, 0}, {AD_ENTITY_LINE, 0, "0", 2, 0, 0}};
    AdDrawing* drawing = withBlocks();
    ASSERT_EQ(adLoadBlockEntities(drawing), 1);
    EXPECT_EQ(progressSeen, (std::vector<std::int32_t>{83, 96}));
    // The paper-space bit means nothing inside a block.
    EXPECT_EQ(types(entitiesOf(drawing, 0)),
              (std::vector<std::uint16_t>{AD_ENTITY_BLOCK, AD_ENTITY_LINE, AD_ENTITY_ENDBLK}));
    EXPECT_TRUE(types(entitiesOf(drawing, 1)).empty());
    EXPECT_EQ(nextEntity, 3u);
    adCloseDrawing(drawing);
}

TEST_F(BlockEntities, CancelBeforeTheSecondBlockStopsWithSuccess) {
    script = {{AD_ENTITY_BLOCK, 0, "0", 0, 0, 0}, {AD_ENTITY_ENDBLK, 0, "0", 0, 0, 0}};
    AdDrawing* drawing = withBlocks();
    cancelAt = 83;
    EXPECT_EQ(adLoadBlockEntities(drawing), 1);
    EXPECT_EQ(progressSeen, (std::vector<std::int32_t>{83}));
    EXPECT_EQ(nextEntity, 1u);
    adCloseDrawing(drawing);
}

// Headers of the viewport-entity header table, in file order.
std::vector<AdVportEntityHeader> headers;
std::size_t nextHeader = 0;

int fakeHeader(AdDrawing*, void* record) {
    if (nextHeader >= headers.size()) return 0;
    std::memcpy(record, &headers[nextHeader++], sizeof(AdVportEntityHeader));
    return 1;
}

class VportEntityHeaders : public StartedToolkit {
protected:
    void SetUp() override {
        StartedToolkit::SetUp();
        drawing = adCreateDrawing();
        drawing->version = 7;
        ops.beginVportEntities = fakeBegin;
        ops.nextVportEntity = fakeHeader;
        drawing->readOps = &ops;
        for (std::uint8_t low : {0x51, 0x52}) {
            AdHandle entity{};
            entity.b[7] = low;
            adAddPaperViewport(drawing, &entity, &entity, nullptr, 2);
        }
        headers.assign(1, AdVportEntityHeader{});
        nextHeader = 0;
    }
    void TearDown() override {
        adCloseDrawing(drawing);
        StartedToolkit::TearDown();
    }
    void addHeader(std::uint8_t entityLow, std::uint8_t erased, const char* name) {
        AdVportEntityHeader header{};
        header.viewportEntity.b[7] = entityLow;
        header.erased = erased;
        std::snprintf(header.name, sizeof header.name, "%s", name);
        headers.push_back(header);
        drawing->tableEntryCounts[AD_CONTROL_VPORT_ENTITY] = static_cast<std::int32_t>(headers.size());
    }
    AdVportEntityHeader at(int index) {
        AdListRecord* record = adListFirst(drawing->vportEntities);
        for (int i = 0; i < index; ++i) record = record->next;
        AdVportEntityHeader out;
        std::memcpy(&out, adListRecordData(record), sizeof out);
        return out;
    }
    AdDrawing* drawing = nullptr;
    AdReadOps ops{};
};

TEST_F(VportEntityHeaders, HeaderJoinsItsViewportWhichMovesToTheFront) {
    addHeader(0x52, 0, "MAIN");
    addHeader(0x77, 1, "GONE");  // erased: never matched
    ASSERT_EQ(adLoadVportEntityHeaders(drawing), 1);
    EXPECT_EQ(nextHeader, 3u);
    const AdVportEntityHeader first = at(0);
    EXPECT_EQ(first.entityHandle.b[7], 0x52);
    EXPECT_STREQ(first.name, "MAIN");
    EXPECT_EQ(at(1).entityHandle.b[7], 0x51);
    EXPECT_STREQ(at(1).name, "");
}

// A header whose viewport lies in no paper-space record (a viewport of
// another layout, kept in a block) is noted and passed over; the next header
// still finds its viewport.
TEST_F(VportEntityHeaders, HeaderOfNoViewportIsNotedAndPassedOver) {
    addHeader(0x99, 0, "LOST");
    addHeader(0x52, 0, "MAIN");
    ASSERT_EQ(adLoadVportEntityHeaders(drawing), 1);
    ASSERT_EQ(drawing->loadErrorCount, 1);
    EXPECT_EQ(drawing->loadErrors[0].code, AD_ERR_VPORT_HEADER_UNMATCHED);
    EXPECT_STREQ(at(0).name, "MAIN");
    EXPECT_STREQ(at(1).name, "");
}

struct NameCase {
    const char* label;
    std::int16_t kind;
    const char* name;
    bool found;
};

class NameReferences : public StartedToolkit, public testing::WithParamInterface<NameCase> {};

// The handle is written where the item's value lies; a name that no record
// has leaves the null handle and no error.
TEST_P(NameReferences, ResolvedAfterTheLoad) {
    const NameCase& c = GetParam();
    AdDrawing* drawing = adCreateDrawing();
    drawing->dxf = 1;
    AdHandle seed{};
    seed.b[7] = 0x30;
    adSetHandleSeed(drawing, &seed);
    AdLayerRecord layer{};
    adDefaultLayerRecord(drawing, &layer);
    std::snprintf(layer.name, sizeof layer.name, "Walls");
    adNextHandle(drawing, &layer.handle);
    ASSERT_EQ(adLayerAdd(drawing, &layer), 1);
    AdAppidRecord appid{};
    adDefaultAppidRecord(&appid);
    std::snprintf(appid.name, sizeof appid.name, "ACAD");
    adNextHandle(drawing, &appid.handle);
    std::vector<std::uint8_t> image(AD_LIST_LINKS_SIZE + sizeof appid);
    std::memcpy(image.data() + AD_LIST_LINKS_SIZE, &appid, sizeof appid);
    ASSERT_NE(adListInsertKeyed(&appid.handle, drawing, image.data(), image.size(), drawing->appids, AD_LIST_AT_END,
                                nullptr),
              nullptr);

    AdStore* store = adStoreCreate(AD_STORE_BLOCK_SIZE);
    AdStream* stream = adStreamOpenWrite(store);
    const std::uint8_t filler[16] = {0xEE};
    adStreamWrite(stream, filler, sizeof filler);
    adStreamCloseWrite(stream);
    std::snprintf(adGlobals->xdataName, sizeof adGlobals->xdataName, "%s", c.name);
    ASSERT_EQ(adAddNameReference(drawing, c.kind, store, 8), 1);
    adGlobals->errorCode = AD_OK;
    ASSERT_EQ(adResolveNameReferences(drawing), 1);
    EXPECT_EQ(adGlobals->errorCode, AD_OK);
    EXPECT_EQ(drawing->loadStores[AD_LOAD_STORE_NAME_REFERENCES], nullptr);

    std::uint8_t bytes[16];
    stream = adStreamOpenRead(store);
    ASSERT_EQ(adStreamRead(stream, bytes, sizeof bytes), 1);
    adStreamCloseRead(stream);
    AdHandle written;
    std::memcpy(&written, bytes + 8, sizeof written);
    const AdHandle expected = !c.found ? AdHandle{} : c.kind == AD_NAME_REFERENCE_LAYER ? layer.handle : appid.handle;
    EXPECT_EQ(adHandleCompare(&written, &expected), 0);
    EXPECT_EQ(bytes[0], 0xEE);
    adStoreFree(store);
    adCloseDrawing(drawing);
}

INSTANTIATE_TEST_SUITE_P(Cases, NameReferences,
                         testing::Values(NameCase{"Layer", AD_NAME_REFERENCE_LAYER, "WALLS", true},
                                         NameCase{"Application", AD_NAME_REFERENCE_APPID, "acad", true},
                                         NameCase{"UnknownLayer", AD_NAME_REFERENCE_LAYER, "ROOF", false}),
                         [](const testing::TestParamInfo<NameCase>& info) { return std::string(info.param.label); });

}  // namespace
