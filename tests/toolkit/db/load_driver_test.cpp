// The load driver: stages in order with progress, handle rules per version
// and format, failures that name their stage and free everything, cancels,
// extended data, external references, and real files.
#include "toolkit/ad.h"
#include "toolkit/db/host_fault.h"
#include "toolkit/db/load_stages.h"
#include "toolkit/db/read_ops.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "started_toolkit.h"
#include "no_entities.h"
#include "temp_dir.h"

namespace {

// A reader that delivers `count` records per table, each with a handle of its
// own, and fails (or flags extended data) in the stage it is told to.
struct FakeReader {
    std::int32_t failStage = 0;
    bool xdataInsteadOfFailure = false;
    std::int32_t count = 2;
    std::uint8_t seedFromFile = 1;
    std::int16_t unknownVersion = 0;
    std::uint8_t firstHandle = 0x40;
    int opens = 0;
    int readInTable = 0;
    std::uint8_t nextHandle = 0;
    std::vector<std::string> blockNames;
};
FakeReader fake;

std::vector<std::int32_t> progressSeen;
std::int32_t clearAtProgress = -1;

void recordProgress(std::int32_t percent) {
    progressSeen.push_back(percent);
    if (percent == clearAtProgress) adClearContinueFlag();
}

AdHandle handleOf(std::uint8_t low) {
    AdHandle handle{};
    handle.b[7] = low;
    return handle;
}

int fakeOpen(AdDrawing* drawing) {
    ++fake.opens;
    if (fake.failStage == AD_ERR_HEADER_REJECTED) return 0;
    for (std::int32_t& count : drawing->tableEntryCounts) count = fake.count;
    drawing->classEntryCount = fake.count;
    drawing->seedFromFile = fake.seedFromFile;
    drawing->fileHandleSeed = handleOf(0x20);
    drawing->unknownVersion = fake.unknownVersion;
    fake.nextHandle = fake.firstHandle;
    return 1;
}

int fakeBegin(AdDrawing*) {
    fake.readInTable = 0;
    return 1;
}

// The second record of the failing stage fails, so that the stage has
// stored one record that the unwind must free.
bool failsHere(std::int32_t stage, std::uint8_t* xdataFlag) {
    ++fake.readInTable;
    if (fake.failStage != stage || fake.readInTable != 2) return false;
    if (!fake.xdataInsteadOfFailure) return true;
    // One application block (handle 12) holding the integer 42, then the end.
    static const std::uint8_t raw[] = {3, 0, 0x01, 0x12, 70, 42, 0, 0, 0};
    std::memcpy(adGlobals->buffer32kA, raw, sizeof raw);
    adGlobals->xdataLength = sizeof raw;
    *xdataFlag = 1;
    return false;
}

template <class Record, std::int32_t Stage>
int fakeNext(AdDrawing*, void* out, std::uint8_t* xdataFlag) {
    if (failsHere(Stage, xdataFlag)) return 0;
    auto* record = static_cast<Record*>(out);
    record->handle = handleOf(fake.nextHandle++);
    std::string name = "R" + std::to_string(fake.readInTable);
    if (Stage == AD_STAGE_BLOCK && fake.readInTable <= static_cast<int>(fake.blockNames.size()))
        name = fake.blockNames[fake.readInTable - 1];
    std::snprintf(record->name, sizeof record->name, "%s", name.c_str());
    return 1;
}

int fakeNextClass(AdDrawing* drawing, void* out) {
    std::uint8_t ignored = 0;
    if (failsHere(AD_STAGE_CLASSES, &ignored)) return 0;
    auto* record = static_cast<AdClassRecord*>(out);
    std::snprintf(record->dxfName, sizeof record->dxfName, "%s", fake.readInTable == 1 ? "ADPART" : "OTHER");
    record->number = static_cast<std::int16_t>(drawing->dxf ? 0 : 700 + fake.readInTable);
    return 1;
}

int fakeReadAnything(AdDrawing*) { return 1; }
int fakeReadNothing(AdDrawing*) { return 0; }

AdReadOps tableReader() {
    AdReadOps ops{};
    ops.open = fakeOpen;
    ops.readEntity = readNoEntity;
    ops.beginLtypes = fakeBegin;
    ops.nextLtype = fakeNext<AdLtypeRecord, AD_STAGE_LTYPE>;
    ops.beginLayers = fakeBegin;
    ops.nextLayer = fakeNext<AdLayerRecord, AD_STAGE_LAYER>;
    ops.beginClasses = fakeBegin;
    ops.nextClass = fakeNextClass;
    ops.beginVports = fakeBegin;
    ops.nextVport = fakeNext<AdVportRecord, AD_STAGE_VPORT>;
    ops.beginUcs = fakeBegin;
    ops.nextUcs = fakeNext<AdUcsRecord, AD_STAGE_UCS>;
    ops.beginAppids = fakeBegin;
    ops.nextAppid = fakeNext<AdAppidRecord, AD_STAGE_APPID>;
    ops.beginViews = fakeBegin;
    ops.nextView = fakeNext<AdViewTableRecord, AD_STAGE_VIEW>;
    ops.beginStyles = fakeBegin;
    ops.nextStyle = fakeNext<AdStyleRecord, AD_STAGE_STYLE>;
    ops.beginBlocks = fakeBegin;
    ops.nextBlock = fakeNext<AdBlockHeader, AD_STAGE_BLOCK>;
    ops.beginDimStyles = fakeBegin;
    ops.nextDimStyle = fakeNext<AdDimStyleRecord, AD_STAGE_DIMSTYLE>;
    return ops;
}

const std::string kDwg2000 = std::string("AC1015") + std::string(40, '\0');
const std::string kDwgR12 = std::string("AC1009") + std::string(40, '\0');
const std::string kDxf2000 = "  0\nSECTION\n  2\nHEADER\n  9\n$ACADVER\n  1\nAC1015\n  0\nENDSEC\n  0\nEOF\n";

class LoadDriver : public StartedToolkit {
protected:
    void SetUp() override {
        StartedToolkit::SetUp();
        fake = FakeReader{};
        progressSeen.clear();
        clearAtProgress = -1;
        ops = tableReader();
        adGlobals->dwgReadOps = &ops;
        adGlobals->dxfReadOps = &ops;
        adSetLoadProgressHook(recordProgress);
    }
    void TearDown() override {
        HostFailAllocationAfter(-1);
        StartedToolkit::TearDown();
    }
    AdDrawing* open(const std::string& bytes, const std::string& name = "drawing") {
        return adOpenDrawing(dir.write(name, bytes).c_str(), 1, 0);
    }
    AdReadOps ops{};
    TempDir dir;
};

TEST_F(LoadDriver, LoadsEveryTableWithProgressInStageOrder) {
    AdDrawing* drawing = open(kDwg2000);
    ASSERT_NE(drawing, nullptr) << "error " << adGlobals->errorCode;
    EXPECT_EQ(adGlobals->errorCode, AD_OK);
    // Before each of the four blocks 71 + 25i/n, then 96 after the objects.
    EXPECT_EQ(progressSeen,
              (std::vector<std::int32_t>{0, 4, 8, 12, 16, 20, 24, 28, 32, 36, 40, 46, 77, 83, 89, 96, 96, 100}));
    // Every table holds the two records read, besides the standard ones.
    for (AdRecordList* list : {drawing->ltypes, drawing->layers, drawing->classes, drawing->vports, drawing->ucss,
                               drawing->appids, drawing->views, drawing->styles, drawing->blocks, drawing->dimStyles})
        EXPECT_GE(adListCount(list), 2);
    AdHandle second{};
    ASSERT_EQ(adLayerHandleByName(drawing, "R2", &second), 1);
    AdLayerRecord byHandle;
    ASSERT_EQ(adLayerByHandle(drawing, &second, &byHandle), 1);
    EXPECT_STREQ(byHandle.name, "R2");
    EXPECT_EQ(drawing->adpartClass, 701);
    // Handles the load entered lie beyond the file's seed, so the seed moves.
    AdHandle seed = handleOf(static_cast<std::uint8_t>(fake.nextHandle));
    EXPECT_EQ(adHandleCompare(&drawing->handleSeed, &seed), 0);
    EXPECT_EQ(adHandleCompare(&drawing->header->handseed, &seed), 0);
    EXPECT_EQ(drawing->writerVersionLimit, -1);
    EXPECT_EQ(adCloseDrawing(drawing), 1);
}

// A DWG drawing's VISRETAIN copy is the header's as it stands after the
// viewport-entity headers, whatever the open left in the copy.
TEST_F(LoadDriver, DwgTakesVisretainFromTheHeaderAtTheEnd) {
    ops.open = [](AdDrawing* drawing) {
        drawing->header->visretain = 1;
        return fakeOpen(drawing);
    };
    AdDrawing* drawing = open(kDwg2000);
    ASSERT_NE(drawing, nullptr) << "error " << adGlobals->errorCode;
    EXPECT_EQ(drawing->visRetain, 1);
    EXPECT_EQ(adCloseDrawing(drawing), 1);
}

TEST_F(LoadDriver, DxfClassesNumberedInFileOrder) {
    AdDrawing* drawing = open(kDxf2000);
    ASSERT_NE(drawing, nullptr) << "error " << adGlobals->errorCode;
    EXPECT_EQ(drawing->format, AD_FORMAT_DXF_ASCII);
    EXPECT_EQ(drawing->adpartClass, 500);
    AdClassRecord record;
    ASSERT_EQ(adClassByName(drawing, "OTHER", &record), 1);
    EXPECT_EQ(record.number, 501);
    // DXF files carry no viewport-entity header control: it gets a handle.
    EXPECT_NE(adHandleLength(&drawing->tableControls[AD_CONTROL_VPORT_ENTITY]), 0);
    adCloseDrawing(drawing);
}

TEST_F(LoadDriver, FixedRecordDwgGetsHandlesFromTheSeed) {
    fake.seedFromFile = 0;
    AdDrawing* drawing = open(kDwgR12);
    ASSERT_NE(drawing, nullptr) << "error " << adGlobals->errorCode;
    EXPECT_EQ(progressSeen, (std::vector<std::int32_t>{0, 4, 8, 12, 16, 20, 24, 28, 32, 36, 40, 46, 77, 83, 89, 96, 100}));
    // The default seed 1 gives the nine controls, the two spaces and the
    // tenth control handles 1..12; the records follow.
    AdHandle first = handleOf(1);
    AdHandle tenth = handleOf(12);
    EXPECT_EQ(adHandleCompare(&drawing->tableControls[AD_CONTROL_BLOCK], &first), 0);
    EXPECT_EQ(adHandleCompare(&drawing->tableControls[AD_CONTROL_VPORT_ENTITY], &tenth), 0);
    AdHandle read{};
    ASSERT_EQ(adLtypeHandleByName(drawing, "R1", &read), 1);
    EXPECT_GT(adHandleCompare(&read, &tenth), 0);
    adCloseDrawing(drawing);
}

struct HandleRuleCase {
    const char* label;
    std::string bytes;
    std::uint8_t seedFromFile;
    std::int16_t unknownVersion;
    std::uint8_t assignHandles;
    std::uint8_t handlesMissing;
};

std::string dxfOf(const char* version) {
    return std::string("  0\nSECTION\n  2\nHEADER\n  9\n$ACADVER\n  1\n") + version + "\n  0\nENDSEC\n";
}

class HandleRules : public LoadDriver, public testing::WithParamInterface<HandleRuleCase> {};

TEST_P(HandleRules, FlagsFollowVersionFormatAndSeed) {
    const HandleRuleCase& c = GetParam();
    fake.seedFromFile = c.seedFromFile;
    fake.unknownVersion = c.unknownVersion;
    AdDrawing* drawing = open(c.bytes);
    ASSERT_NE(drawing, nullptr) << "error " << adGlobals->errorCode;
    EXPECT_EQ(drawing->assignHandles, c.assignHandles);
    EXPECT_EQ(drawing->handlesMissing, c.handlesMissing);
    adCloseDrawing(drawing);
}

INSTANTIATE_TEST_SUITE_P(
    Versions, HandleRules,
    testing::Values(HandleRuleCase{"R12DwgWithoutSeed", kDwgR12, 0, 0, 1, 1},
                    HandleRuleCase{"R12DwgWithSeed", kDwgR12, 1, 0, 0, 0},
                    HandleRuleCase{"R10DwgWithoutSeed", std::string("AC1006") + std::string(20, '\0'), 0, 0, 1, 1},
                    HandleRuleCase{"R10DwgWithSeed", std::string("AC1006") + std::string(20, '\0'), 1, 0, 0, 0},
                    HandleRuleCase{"R10DxfWithoutSeed", dxfOf("AC1006"), 0, 0, 1, 1},
                    HandleRuleCase{"R10DxfWithSeed", dxfOf("AC1006"), 1, 0, 1, 0},
                    HandleRuleCase{"R9DwgWithSeed", std::string("AC1004") + std::string(20, '\0'), 1, 0, 1, 1},
                    HandleRuleCase{"UnknownDxfVersion", dxfOf("AC1009"), 1, 1, 1, 1},
                    HandleRuleCase{"Dwg2000WithoutSeed", kDwg2000, 0, 0, 0, 0}),
    [](const testing::TestParamInfo<HandleRuleCase>& info) { return std::string(info.param.label); });

struct StageCase {
    const char* label;
    std::int32_t stage;
    AdReadOp AdReadOps::*pendingSlot;  // set to op to make the stage fail
    std::string bytes;
    AdReadOp op = fakeReadAnything;
};

class StageFailure : public LoadDriver, public testing::WithParamInterface<StageCase> {};

// A failure in any stage gives null, the stage's code, and frees everything
// the earlier stages built (the leak checker sees the rest).
TEST_P(StageFailure, NamesTheStageAndFreesAll) {
    const StageCase& c = GetParam();
    fake.failStage = c.stage;
    if (c.pendingSlot) ops.*c.pendingSlot = c.op;
    EXPECT_EQ(open(c.bytes), nullptr);
    EXPECT_EQ(adGlobals->errorCode, c.stage);
}

INSTANTIATE_TEST_SUITE_P(
    EachStage, StageFailure,
    testing::Values(StageCase{"Open", AD_ERR_HEADER_REJECTED, nullptr, kDwg2000},
                    StageCase{"Ltype", AD_STAGE_LTYPE, nullptr, kDwg2000},
                    StageCase{"Layer", AD_STAGE_LAYER, nullptr, kDwg2000},
                    StageCase{"Classes", AD_STAGE_CLASSES, nullptr, kDwg2000},
                    StageCase{"Vport", AD_STAGE_VPORT, nullptr, kDwg2000},
                    StageCase{"Ucs", AD_STAGE_UCS, nullptr, kDwg2000},
                    StageCase{"Appid", AD_STAGE_APPID, nullptr, kDwg2000},
                    StageCase{"View", AD_STAGE_VIEW, nullptr, kDwg2000},
                    StageCase{"Style", AD_STAGE_STYLE, nullptr, kDwg2000},
                    StageCase{"Block", AD_STAGE_BLOCK, nullptr, kDwg2000},
                    StageCase{"DimStyle", AD_STAGE_DIMSTYLE, nullptr, kDwg2000},
                    StageCase{"Entities", AD_STAGE_ENTITIES, &AdReadOps::beginEntities, kDwg2000, fakeReadNothing},
                    StageCase{"Objects", AD_STAGE_OBJECTS, &AdReadOps::beginObjects, kDwg2000, fakeReadNothing},
                    StageCase{"VportEntities", AD_STAGE_VPORT_ENTITIES, &AdReadOps::beginVportEntities, kDwg2000},
                    StageCase{"FixedRecordLayer", AD_STAGE_LAYER, nullptr, kDwgR12},
                    StageCase{"DxfBlock", AD_STAGE_BLOCK, nullptr, kDxf2000}),
    [](const testing::TestParamInfo<StageCase>& info) { return std::string(info.param.label); });

class ExtendedData : public LoadDriver, public testing::WithParamInterface<std::int32_t> {};

// Extended data a table reader leaves in the record buffer is kept with the
// record it came with, and the load goes on.
TEST_P(ExtendedData, IsKeptWithItsRecord) {
    fake.failStage = GetParam();
    fake.xdataInsteadOfFailure = true;
    AdDrawing* drawing = open(kDwg2000);
    ASSERT_NE(drawing, nullptr) << "error " << adGlobals->errorCode;
    if (GetParam() == AD_STAGE_LAYER) {
        AdLayerRecord layer{};
        ASSERT_EQ(adLayerRewind(drawing), 1);
        ASSERT_EQ(adLayerNext(drawing, &layer), 1);
        EXPECT_EQ(layer.xdata, nullptr);
        ASSERT_EQ(adLayerNext(drawing, &layer), 1);
        ASSERT_NE(layer.xdata, nullptr);
        AdStream* stream = adStreamOpenRead(layer.xdata);
        AdXdataItem item{};
        ASSERT_EQ(adXdataReadItem(stream, &item), 1);
        EXPECT_EQ(item.code, 1001);
        EXPECT_EQ(item.value.handle.b[7], 0x12);
        EXPECT_EQ(item.value.handle.b[6], 0);
        ASSERT_EQ(adXdataReadItem(stream, &item), 1);
        EXPECT_EQ(item.code, 1070);
        EXPECT_EQ(item.value.int16, 42);
        EXPECT_EQ(adXdataReadItem(stream, &item), 0);
        adStreamCloseRead(stream);
    }
    adCloseDrawing(drawing);
}

INSTANTIATE_TEST_SUITE_P(TableStages, ExtendedData,
                         testing::Values(AD_STAGE_LTYPE, AD_STAGE_LAYER, AD_STAGE_VPORT, AD_STAGE_UCS, AD_STAGE_APPID,
                                         AD_STAGE_VIEW, AD_STAGE_STYLE, AD_STAGE_BLOCK, AD_STAGE_DIMSTYLE));

struct CancelCase {
    std::int32_t clearAt;
    std::int32_t error;
    const std::string* bytes;
};

class Cancel : public LoadDriver, public testing::WithParamInterface<CancelCase> {};

// The host clears the continue flag from its progress hook: the load stops
// before the next stage and names it.
TEST_P(Cancel, StopsBeforeTheNextStage) {
    clearAtProgress = GetParam().clearAt;
    EXPECT_EQ(open(*GetParam().bytes), nullptr);
    EXPECT_EQ(adGlobals->errorCode, GetParam().error);
    // Progress 4 comes before the first check; no stage reports after the cancel.
    EXPECT_EQ(progressSeen.back(), std::max(GetParam().clearAt, 4));
}

INSTANTIATE_TEST_SUITE_P(
    AtEachProgress, Cancel,
    testing::Values(CancelCase{0, AD_STAGE_LTYPE, &kDwg2000}, CancelCase{4, AD_STAGE_LTYPE, &kDwg2000},
                    CancelCase{8, AD_STAGE_LAYER, &kDwg2000}, CancelCase{12, AD_STAGE_CLASSES, &kDwg2000},
                    CancelCase{16, AD_STAGE_VPORT, &kDwg2000}, CancelCase{20, AD_STAGE_UCS, &kDwg2000},
                    CancelCase{24, AD_STAGE_APPID, &kDwg2000}, CancelCase{28, AD_STAGE_VIEW, &kDwg2000},
                    CancelCase{32, AD_STAGE_STYLE, &kDwg2000}, CancelCase{36, AD_STAGE_BLOCK, &kDwg2000},
                    CancelCase{40, AD_STAGE_DIMSTYLE, &kDwg2000}, CancelCase{46, AD_STAGE_ENTITIES, &kDwg2000},
                    // 96 comes first before the last block's entities.
                    CancelCase{96, AD_STAGE_OBJECTS, &kDwg2000},
                    CancelCase{96, AD_STAGE_OBJECTS, &kDxf2000},
                    CancelCase{46, AD_STAGE_ENTITIES, &kDwgR12}));

TEST_F(LoadDriver, CancelAfterTheLastStageStillLoads) {
    clearAtProgress = 100;
    AdDrawing* drawing = open(kDwg2000);
    ASSERT_NE(drawing, nullptr);
    adCloseDrawing(drawing);
}

// Every allocation of a load failing in turn: each attempt answers null and
// leaves nothing behind, until the load goes through.
TEST_F(LoadDriver, AllocationFailuresUnwind) {
    const std::string name = dir.write("drawing", kDwg2000);
    HostFailAllocationAfter(0);
    EXPECT_EQ(adOpenDrawing(name.c_str(), 1, 0), nullptr);
    EXPECT_EQ(adGlobals->errorCode, AD_ERR_NO_DRAWING_MEMORY);
    AdDrawing* drawing = nullptr;
    std::int32_t failAfter = 1;
    for (; !drawing && failAfter < 2000; ++failAfter) {
        HostFailAllocationAfter(failAfter);
        drawing = adOpenDrawing(name.c_str(), 1, 0);
    }
    HostFailAllocationAfter(-1);
    ASSERT_NE(drawing, nullptr) << "still failing after " << failAfter << " allocations";
    adCloseDrawing(drawing);
}

TEST_F(LoadDriver, NameLongerThanTheFieldIsRefused) {
    // A real, loadable file whose path does not fit the 256-byte field.
    std::string relative;
    while (relative.size() < AD_FILE_NAME_SIZE) relative += std::string(60, 'd') + "/";
    const std::string name = dir.write(relative + "drawing.dwg", kDwg2000);
    ASSERT_GE(name.size(), AD_FILE_NAME_SIZE);
    EXPECT_EQ(adOpenDrawing(name.c_str(), 1, 0), nullptr);
    EXPECT_EQ(adGlobals->errorCode, AD_ERR_FILE_OPEN);
    EXPECT_EQ(fake.opens, 0);
}

TEST_F(LoadDriver, MissingFileAndNonDrawing) {
    EXPECT_EQ(adOpenDrawing((dir.path() / "absent.dwg").string().c_str(), 1, 0), nullptr);
    EXPECT_EQ(adGlobals->errorCode, AD_ERR_FILE_OPEN);
    EXPECT_EQ(open("plain words\n"), nullptr);
    EXPECT_EQ(adGlobals->errorCode, AD_ERR_NOT_DRAWING);
    EXPECT_EQ(open(std::string("AC1013") + std::string(20, '\0')), nullptr);
    EXPECT_EQ(adGlobals->errorCode, AD_ERR_PRE_RELEASE);
    EXPECT_EQ(fake.opens, 0);
}

TEST_F(LoadDriver, XrefOpenedOnceAndClosedWithItsDrawing) {
    AdDrawing* drawing = open(kDwg2000, "host.dwg");
    ASSERT_NE(drawing, nullptr);
    const std::string first = dir.write("first.dwg", kDwg2000);
    const std::string second = dir.write("second.dxf", kDxf2000);
    AdDrawing* xref = adOpenXrefDrawing(drawing, first.c_str());
    ASSERT_NE(xref, nullptr);
    EXPECT_EQ(adOpenXrefDrawing(drawing, first.c_str()), xref);
    ASSERT_NE(adOpenXrefDrawing(drawing, second.c_str()), nullptr);
    EXPECT_EQ(fake.opens, 3);
    EXPECT_EQ(drawing->xrefCount, 2);
    EXPECT_EQ(adCloseDrawing(drawing), 1);  // the leak checker sees the two xrefs go too
}

TEST_F(LoadDriver, XrefBeyondTheArrayIsRefused) {
    fake.count = 0;
    AdDrawing* drawing = open(kDwg2000, "host.dwg");
    ASSERT_NE(drawing, nullptr);
    for (int i = 0; i < AD_XREF_LIMIT; ++i)
        ASSERT_NE(adOpenXrefDrawing(drawing, dir.write("x" + std::to_string(i), kDwg2000).c_str()), nullptr) << i;
    const int opens = fake.opens;
    EXPECT_EQ(adOpenXrefDrawing(drawing, dir.write("one-too-many", kDwg2000).c_str()), nullptr);
    EXPECT_EQ(adGlobals->errorCode, AD_ERR_XREF_LIMIT);
    EXPECT_EQ(fake.opens, opens);
    EXPECT_EQ(adOpenXrefDrawing(drawing, dir.write("x7", kDwg2000).c_str()), drawing->xrefs[7]);
    adCloseDrawing(drawing);
}

TEST_F(LoadDriver, BlockNameIndex) {
    fake.count = 3;
    fake.blockNames = {"Zeta", "alpha", "Mid"};
    AdDrawing* drawing = open(kDwg2000);
    ASSERT_NE(drawing, nullptr);
    // The three blocks read and the two space blocks the BLOCK stage adds.
    const std::int32_t blocks = adBlockCount(drawing);
    EXPECT_EQ(adBlockNameIndexNeedsRebuild(drawing, blocks), 1);  // the BLOCK stage marked it stale
    AdBlockHeader zeta;
    ASSERT_TRUE(adBlockRewind(drawing) && adBlockNext(drawing, &zeta));
    ASSERT_EQ(adRebuildBlockNameIndex(drawing), 1);
    AdBlockHeader next;  // the walk left the table's cursor where it was
    ASSERT_EQ(adBlockNext(drawing, &next), 1);
    EXPECT_STREQ(next.name, "alpha");
    EXPECT_EQ(adBlockNameIndexCount(drawing), blocks);
    EXPECT_EQ(adBlockNameIndexNeedsRebuild(drawing, blocks), 0);
    EXPECT_EQ(adBlockNameIndexNeedsRebuild(drawing, blocks + 1), 1);
    AdHandle found{};
    EXPECT_EQ(adFindBlockByName(drawing, "ZETA", &found), 1);
    EXPECT_EQ(adHandleCompare(&found, &zeta.handle), 0);
    EXPECT_EQ(adFindBlockByName(drawing, "mid", &found), 1);
    EXPECT_EQ(adFindBlockByName(drawing, "Mi", &found), 0);
    adMarkBlockNameIndexStale(drawing);
    EXPECT_EQ(adBlockNameIndexNeedsRebuild(drawing, blocks), 1);
    // A name copy that cannot be made leaves no index at all.
    HostFailAllocationAfter(2);
    EXPECT_EQ(adRebuildBlockNameIndex(drawing), 0);
    EXPECT_EQ(adBlockNameIndexMissing(drawing), 1);
    EXPECT_EQ(adFindBlockByName(drawing, "Zeta", &found), 0);
    adCloseDrawing(drawing);
}

TEST_F(LoadDriver, EntityTypeFilterAlwaysKeepsViewports) {
    const std::uint8_t before = adGlobals->entityTypeFilter[1];
    adGlobals->entityTypeFilter[24] = 0;
    adSetEntityTypeFilter(nullptr);
    EXPECT_EQ(adGlobals->entityTypeFilter[1], before);
    EXPECT_EQ(adGlobals->entityTypeFilter[24], 1);
    std::uint8_t flags[32];
    std::memset(flags, 1, sizeof flags);
    flags[24] = 0;
    flags[3] = 0;
    adSetEntityTypeFilter(flags);
    EXPECT_EQ(adGlobals->entityTypeFilter[3], 0);
    EXPECT_EQ(adGlobals->entityTypeFilter[2], 1);
    EXPECT_EQ(adGlobals->entityTypeFilter[24], 1);
}

// The installed reader tables hold no reader yet: a real file is told apart
// by the sniff and then stops at the reader's open, saying so.
// A real file loads as far as its format's readers go: it either opens or
// fails with the code of the stage that stopped it, and leaves nothing behind.
TEST_F(LoadDriver, RealFilesOpenOrNameTheirStage) {
    const std::string root = VT_SHARED_DATA_DIR;
    if (!std::filesystem::exists(root + "/dwg/ac1015_example.dwg")) GTEST_SKIP() << "no real files in " << root;
    adInstallDwgReadOps();
    adInstallDxfReadOps();
    for (const char* file : {"/dwg/ac1015_example.dwg", "/dxf/ac1009_binary_small.dxf", "/dxf/ac1015_example.dxf"}) {
        AdDrawing* drawing = adOpenDrawing((root + file).c_str(), 2, 0);
        const std::int32_t code = adGlobals->errorCode;
        if (drawing) {
            EXPECT_EQ(code, AD_OK) << file;
            adCloseDrawing(drawing);
        } else {
            EXPECT_TRUE(code == AD_ERR_HEADER_REJECTED || (code >= AD_STAGE_LTYPE && code <= AD_STAGE_COMPLETION))
                << file << " stopped with " << code;
        }
    }
}

}  // namespace

namespace {

using ReaderTables = StartedToolkit;

// seekSaved puts the drawing's file back where the reader saved its position,
// through one routine in both tables.
TEST_F(ReaderTables, SeekBackToTheSavedPositionInBoth) {
    adInstallDwgReadOps();
    adInstallDxfReadOps();
    TempDir dir;
    const std::string path = dir.write("bytes.bin", std::string(64, 'x'));
    for (const AdReadOps* ops : {adGlobals->dwgReadOps, adGlobals->dxfReadOps}) {
        AdDrawing* drawing = adCreateDrawing();
        ASSERT_NE(drawing, nullptr);
        drawing->readOps = ops;
        drawing->file = HostOpenRead(path.c_str());
        ASSERT_NE(drawing->file, nullptr);
        drawing->dxfMlineStylePosition = 21;
        HostSeek(drawing->file, 50, SEEK_SET);
        EXPECT_EQ(adCallReadOp(drawing, &AdReadOps::seekSaved), 1);
        EXPECT_EQ(HostTell(drawing->file), 21);
        HostClose(drawing->file);
        drawing->file = nullptr;
        adCloseDrawing(drawing);
    }
}

}  // namespace
