// The load stages around the DXF reader: the BLOCK_RECORD walks of the BLOCK
// stage, the progress through the entity data, MLINE styles and the zombie
// entities of R13 files.
#include "toolkit/ad.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "toolkit/db/started_toolkit.h"
#include "toolkit/db/temp_dir.h"
#include "toolkit/db/completion_objects.h"
#include "toolkit/db/entity_loading.h"
#include "toolkit/db/load_stages.h"
#include "toolkit/db/dxf/dxf_read.h"
#include "dxf_groups.h"

namespace {

using DxfLoadStages = LoadingDxf;

// The 0 BLOCK records of BLOCKS carry the BLOCK entities' handles (20, 1C,
// 31); the blocks must end up with those of their BLOCK_RECORDs (1F, 1B, 30).
std::string blockRecordDrawing(const char* version) {
    const std::string records =
        g({{0, "TABLE"}, {2, "BLOCK_RECORD"}, {5, "1"}, {70, "4"}}) +
        g({{0, "BLOCK_RECORD"}, {5, "1F"}, {330, "1"}, {2, "*Model_Space"}, {340, "22"}}) +
        g({{0, "BLOCK_RECORD"}, {5, "1B"}, {330, "1"}, {2, "*Paper_Space"}, {340, "1E"}}) +
        g({{0, "BLOCK_RECORD"}, {5, "30"}, {102, "{ACAD_XDICTIONARY"}, {360, "60"}, {102, "}"}, {330, "1"},
           {2, "door"}, {1001, "ACAD"}, {1000, "kept"}}) +
        g({{0, "BLOCK_RECORD"}, {5, "40"}, {330, "1"}, {2, "ORPHAN"}}) + g({{0, "ENDTAB"}});
    auto block = [](const char* handle, const char* name, const Groups& entities, const char* endblk) {
        return g({{0, "BLOCK"}, {5, handle}, {8, "0"}, {2, name}, {70, "0"}, {10, "0"}, {20, "0"}, {30, "0"},
                  {3, name}}) +
               g(entities) + g({{0, "ENDBLK"}, {5, endblk}, {8, "0"}});
    };
    const std::string blocks =
        block("20", "*Model_Space", {}, "21") + block("1C", "*Paper_Space", {}, "1D") +
        block("31", "DOOR",
              {{0, "LINE"}, {5, "32"}, {8, "0"}, {10, "0"}, {20, "0"}, {30, "0"}, {11, "1"}, {21, "1"}, {31, "0"}},
              "33");
    const std::string entities = g({{0, "INSERT"}, {5, "50"}, {8, "0"}, {2, "DOOR"}, {10, "1"}, {20, "2"}, {30, "0"}});
    return section("HEADER", g({{9, "$ACADVER"}, {1, version}, {9, "$HANDSEED"}, {5, "100"}})) +
           section("TABLES", records) + section("BLOCKS", blocks) + section("ENTITIES", entities) +
           section("OBJECTS", g({{0, "DICTIONARY"}, {5, "C"}, {330, "0"}})) + g({{0, "EOF"}});
}

struct BlockRecordCase {
    const char* version;
    const char* extensionDictionary;  // what DOOR keeps of its record's
};

class DxfBlockRecords : public DxfLoadStages, public testing::WithParamInterface<BlockRecordCase> {};

TEST_P(DxfBlockRecords, BlocksTakeTheirRecordsHandles) {
    const std::string path = dir_.write("blocks.dxf", blockRecordDrawing(GetParam().version));
    AdDrawing* d = adOpenDrawing(path.c_str(), 1, 0);
    ASSERT_NE(d, nullptr) << "error " << adGlobals->errorCode;
    EXPECT_EQ(hexOf(d->modelSpaceBlock), "1F");
    EXPECT_EQ(hexOf(d->paperSpaceBlock), "1B");
    // The spaces' BLOCK and ENDBLK entities are not stored, but named.
    EXPECT_EQ(hexOf(d->modelSpaceBlockEntity) + " " + hexOf(d->modelSpaceEndblkEntity), "20 21");
    EXPECT_EQ(hexOf(d->paperSpaceBlockEntity) + " " + hexOf(d->paperSpaceEndblkEntity), "1C 1D");

    std::vector<std::string> names;
    AdBlockHeader block;
    ASSERT_EQ(adBlockRewind(d), 1);
    while (adBlockNext(d, &block)) names.push_back(block.name);
    EXPECT_EQ(names, (std::vector<std::string>{"DOOR", "*Model_Space", "*Paper_Space"}));  // ORPHAN passed over

    AdHandle door{};
    ASSERT_EQ(adBlockHandleByName(d, "DOOR", &door), 1);
    EXPECT_EQ(hexOf(door), "30");
    ASSERT_EQ(adBlockByHandle(d, &door, &block), 1);
    EXPECT_EQ(hexOf(block.owner), "1");
    EXPECT_EQ(hexOf(block.extensionDictionary), GetParam().extensionDictionary);
    EXPECT_NE(block.xdata, nullptr);
    const AdHandle model = handle("1F");
    ASSERT_EQ(adBlockByHandle(d, &model, &block), 1);
    EXPECT_EQ(hexOf(block.layout), "22");

    // The INSERT names the block by its new handle; the block's list is read
    // from where its BLOCK record lies.
    AdEntityHeader header{};
    AdEntityData data{};
    ASSERT_EQ(adEntityRewind(d->modelSpace), 1);
    ASSERT_EQ(adEntityNext(d->modelSpace, &header, &data), 1);
    EXPECT_EQ(hexOf(data.insert.block), "30");
    std::vector<std::uint16_t> types;
    AdRecordList* list = adBlockEntityList(d, &door);
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(adEntityRewind(list), 1);
    while (adEntityNext(list, &header, &data)) types.push_back(header.type);
    EXPECT_NE(std::find(types.begin(), types.end(), AD_ENTITY_LINE), types.end());
    adCloseDrawing(d);
}

INSTANTIATE_TEST_SUITE_P(Dxf, DxfBlockRecords,
                         testing::Values(BlockRecordCase{"AC1012", "0"}, BlockRecordCase{"AC1015", "60"}),
                         [](const testing::TestParamInfo<BlockRecordCase>& info) {
                             return std::string(info.param.version);
                         });

// A space's BLOCK_RECORD whose handle a block holds already (here DOOR's
// BLOCK record, 31) cannot give the space its handle: the space gets a new
// one and the drawing still loads.
TEST_F(DxfLoadStages, SpaceRecordWithATakenHandleGetsANewOne) {
    std::string text = blockRecordDrawing("AC1015");
    const std::string paper = "5\n1B\n330\n1\n2\n*Paper_Space\n";
    ASSERT_NE(text.find(paper), std::string::npos);
    text.replace(text.find(paper), 6, "5\n31\n");
    AdDrawing* d = adOpenDrawing(dir_.write("taken.dxf", text).c_str(), 1, 0);
    ASSERT_NE(d, nullptr) << "error " << adGlobals->errorCode;
    EXPECT_EQ(hexOf(d->modelSpaceBlock), "1F");
    EXPECT_NE(hexOf(d->paperSpaceBlock), "31");
    EXPECT_NE(adHandleLength(&d->paperSpaceBlock), 0);
    AdHandle door{};
    ASSERT_EQ(adBlockHandleByName(d, "DOOR", &door), 1);
    EXPECT_EQ(hexOf(door), "30");
    adCloseDrawing(d);
}

// Objects whose class the CLASSES section lacks are passed over one by one,
// each noted with its handle, and the objects after them are still read.
TEST_F(DxfLoadStages, ObjectsWithoutTheirClassAreNotedAndPassedOver) {
    const std::string objects =
        g({{0, "DICTIONARY"}, {5, "C"}, {330, "0"}, {3, "KEPT"}, {350, "53"}}) +
        g({{0, "DIMASSOC"}, {5, "50"}, {330, "C"}, {100, "AcDbDimAssoc"}, {90, "1"}, {1, "AcDbOsnapPointRef"}}) +
        g({{0, "PDFDEFINITION"}, {5, "52"}, {330, "C"}, {1, "a.pdf"}}) + g({{0, "DICTIONARY"}, {5, "53"}, {330, "C"}});
    const std::string path =
        dir_.write("objects.dxf", section("HEADER", g({{9, "$ACADVER"}, {1, "AC1015"}, {9, "$HANDSEED"}, {5, "100"}})) +
                                      section("OBJECTS", objects) + g({{0, "EOF"}}));
    AdDrawing* d = adOpenDrawing(path.c_str(), 1, 0);
    ASSERT_NE(d, nullptr) << "error " << adGlobals->errorCode;
    std::vector<std::string> noted;
    for (std::int32_t i = 0; i < d->loadErrorCount && i < 16; ++i)
        noted.push_back(std::to_string(d->loadErrors[i].code) + " " + hexOf(d->loadErrors[i].handle));
    EXPECT_EQ(noted, (std::vector<std::string>{"36 50", "36 52"}));
    const AdHandle last = handle("53");
    EXPECT_NE(adHandleIndexFind(d, &last), nullptr);
    adCloseDrawing(d);
}

// Progress through a DXF ENTITIES section from byte 100 to byte 300 of the
// file, and through the two entity chains of a bit-coded DWG file once they
// are measured (paper space 100..200, model space 1000..1300): the fraction
// done plus 1; what falls out of range repeats the last answer.
struct PercentCase {
    const char* name;
    bool dwg;
    std::uint8_t phase;
    std::int64_t position;
    std::int32_t last;
    std::int32_t expected;
};

class LoadPercent : public DxfLoadStages, public testing::WithParamInterface<PercentCase> {};

TEST_P(LoadPercent, FollowsTheFilePosition) {
    const PercentCase& c = GetParam();
    const std::string path = dir_.write("data.bin", std::string(2000, 'x'));
    AdDrawing* d = adCreateDrawing();
    ASSERT_NE(d, nullptr);
    d->file = HostOpenRead(path.c_str());
    ASSERT_NE(d->file, nullptr);
    ASSERT_EQ(HostSeek(d->file, c.position, SEEK_SET), 0);
    if (c.dwg) {
        d->version = AD_VERSION_FIRST_BITCODED + 2;
        d->dwgChains.phase = c.phase;
        d->loadProgress = {c.last, 100, 100, 1000, 300};
    } else {
        d->dxf = 1;
        d->version = AD_VERSION_FIRST_BITCODED + 2;
        d->dxfEntitiesStart = 100;
        d->dxfEntitiesEnd = 300;
        d->loadProgress.last = c.last;
    }
    EXPECT_EQ(adLoadPercent(d), c.expected);
    HostClose(d->file);
    d->file = nullptr;
    adCloseDrawing(d);
}

INSTANTIATE_TEST_SUITE_P(
    Progress, LoadPercent,
    testing::Values(PercentCase{"DxfStart", false, 0, 100, 0, 1}, PercentCase{"DxfMiddle", false, 0, 200, 0, 51},
                    PercentCase{"DxfPastTheEndRepeats", false, 0, 300, 96, 96},
                    PercentCase{"DxfBeforeTheStartRepeats", false, 0, 50, 40, 40},
                    PercentCase{"PaperChain", true, 0, 150, 0, 13},
                    PercentCase{"BeforeThePaperChain", true, 0, 50, 30, 0},
                    PercentCase{"ModelChain", true, 1, 1100, 0, 51}),
    [](const testing::TestParamInfo<PercentCase>& info) { return std::string(info.param.name); });

TEST_F(DxfLoadStages, EmptySectionIsDone) {
    AdDrawing* d = adCreateDrawing();
    ASSERT_NE(d, nullptr);
    d->dxf = 1;
    d->dxfEntitiesStart = d->dxfEntitiesEnd = 40;
    EXPECT_EQ(adLoadPercent(d), 100);
    adCloseDrawing(d);
}

// An MLINE names its style: a style among the objects read so far is found
// by name in any case; otherwise the handle the file gave stays.
TEST_F(DxfLoadStages, MlineStyleByNameOrAsGiven) {
    AdDrawing* d = adCreateDrawing();
    ASSERT_NE(d, nullptr);
    d->dxf = 1;
    d->version = AD_VERSION_FIRST_BITCODED + 2;
    d->header = static_cast<AdHeaderVars*>(HostAlloc(sizeof(AdHeaderVars)));
    std::memset(d->header, 0, sizeof(AdHeaderVars));
    adSetHandleSeed(d, &adGlobals->handleSeedDefault);
    const AdHandle fancy = handle("7A");
    ASSERT_EQ(adCompletionAddMlineStyle(d, "Fancy", &fancy, nullptr), 1);
    struct Case {
        const char* name;
        const char* expected;
    };
    for (const Case& c : {Case{"FANCY", "7A"}, Case{"Plain", "99"}}) {
        SCOPED_TRACE(c.name);
        AdEntityHeader header{};
        header.type = AD_ENTITY_MLINE;
        AdEntityData data{};
        data.mline.style = handle("99");
        std::snprintf(adGlobals->dxfNames[AD_DXF_NAME_MLINE_STYLE], 512, "%s", c.name);
        adResolveEntityReferences(d, &header, &data);
        EXPECT_EQ(hexOf(data.mline.style), c.expected);
    }
    adCloseDrawing(d);
}

// R13 files store entities of the DxfZombieEntity class under its number;
// they load as proxies. Other files keep the number.
std::uint16_t scriptedType = 0;
int oneEntity(AdDrawing*, AdEntityHeader* header, AdEntityData*, std::uint8_t* flag) {
    if (scriptedType == 0) return 0;
    header->type = scriptedType;
    header->handle.b[7] = 0x55;
    *flag = 0;
    scriptedType = 0;
    return 1;
}

TEST_F(DxfLoadStages, ZombieEntitiesOfR13BecomeProxies) {
    struct Case {
        std::int16_t version;
        std::uint16_t expected;
    };
    for (const Case& c : {Case{AD_VERSION_FIRST_BITCODED, AD_ENTITY_PROXY}, Case{AD_VERSION_FIRST_BITCODED + 1, 520}}) {
        SCOPED_TRACE(c.version);
        AdDrawing* d = adCreateDrawing();
        ASSERT_NE(d, nullptr);
        AdReadOps ops{};
        ops.readEntity = oneEntity;
        d->readOps = &ops;
        d->version = c.version;
        d->zombieEntityClass = 520;
        d->modelSpace = adListCreate();
        ASSERT_NE(d->modelSpace, nullptr);
        scriptedType = 520;
        EXPECT_EQ(adReadEntity(d, d->modelSpace, d->modelSpace, 0, 0), c.expected);
        AdEntityHeader header{};
        AdEntityData data{};
        ASSERT_EQ(adEntityRewind(d->modelSpace), 1);
        ASSERT_EQ(adEntityNext(d->modelSpace, &header, &data), 1);
        EXPECT_EQ(header.type, c.expected);
        adCloseDrawing(d);
    }
}

}  // namespace
