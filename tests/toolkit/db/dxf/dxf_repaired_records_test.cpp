// Records of a DXF file that the load repairs or passes over are noted for
// the host: entities that repeat a handle, and entity types of later
// releases that the reader does not know. The handle of a 0 BLOCK record is
// no repeat: it is the BLOCK entity's, whatever block header is made for it.
#include "toolkit/ad.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "dxf_groups.h"
#include "toolkit/db/dxf/dxf_read.h"

namespace {

std::string line(const char* handle, const char* x) {
    return g({{0, "LINE"}, {5, handle}, {8, "0"}, {10, x}, {20, "0"}, {30, "0"}, {11, "9"}, {21, "9"}, {31, "0"}});
}

// The notes of a load as code and handle.
std::vector<std::pair<std::int32_t, std::string>> notes(const AdDrawing* d) {
    std::vector<std::pair<std::int32_t, std::string>> out;
    const std::int32_t kept = std::min<std::int32_t>(d->loadErrorCount, std::size(d->loadErrors));
    for (std::int32_t i = 0; i < kept; ++i) out.emplace_back(d->loadErrors[i].code, hexOf(d->loadErrors[i].handle));
    return out;
}

class DxfRepairedRecords : public LoadingDxf {
protected:
    AdDrawing* open(const char* version, const std::string& entities) {
        const std::string path = dir_.write(
            "records.dxf", section("HEADER", g({{9, "$ACADVER"}, {1, version}, {9, "$HANDSEED"}, {5, "100"}})) +
                               section("ENTITIES", entities) + g({{0, "EOF"}}));
        AdDrawing* d = adOpenDrawing(path.c_str(), 1, 0);
        EXPECT_NE(d, nullptr) << version << " error " << adGlobals->errorCode;
        return d;
    }
};

// Every LINE is kept, the first under the handle the file gave it; each
// later one under a new handle, with the repair noted.
TEST_F(DxfRepairedRecords, RepeatedHandlesGetNewOnesAndAreNoted) {
    for (const char* version : {"AC1009", "AC1015"}) {
        AdDrawing* d = open(version, line("50", "1") + line("50", "2") + line("51", "3") + line("50", "4"));
        if (!d) continue;
        std::map<double, std::string> handleByX;
        AdEntityHeader header{};
        AdEntityData data{};
        ASSERT_EQ(adEntityRewind(d->modelSpace), 1);
        while (adEntityNext(d->modelSpace, &header, &data))
            if (header.type == AD_ENTITY_LINE) handleByX[data.line.start[0]] = hexOf(header.handle);
        ASSERT_EQ(handleByX.size(), 4u) << version;
        EXPECT_EQ(handleByX[1.0], "50") << version;
        EXPECT_EQ(handleByX[3.0], "51") << version;
        EXPECT_NE(handleByX[2.0], "50") << version;
        EXPECT_NE(handleByX[4.0], handleByX[2.0]) << version;
        const auto expected = std::vector<std::pair<std::int32_t, std::string>>{{AD_ERR_DUPLICATE_HANDLE, "50"},
                                                                               {AD_ERR_DUPLICATE_HANDLE, "50"}};
        EXPECT_EQ(notes(d), expected) << version;
        adCloseDrawing(d);
    }
}

// An entity type the reader does not know is passed over under its handle;
// the entities around it load.
TEST_F(DxfRepairedRecords, UnknownEntityTypesAreNoted) {
    AdDrawing* d = open("AC1015", line("50", "1") +
                                      g({{0, "MULTILEADER"}, {5, "60"}, {8, "0"}, {100, "AcDbMLeader"}, {10, "1"}}) +
                                      g({{0, "NOSUCHTHING"}}) + line("51", "2"));
    ASSERT_NE(d, nullptr);
    int lines = 0;
    AdEntityHeader header{};
    AdEntityData data{};
    ASSERT_EQ(adEntityRewind(d->modelSpace), 1);
    while (adEntityNext(d->modelSpace, &header, &data)) lines += header.type == AD_ENTITY_LINE;
    EXPECT_EQ(lines, 2);
    const auto expected = std::vector<std::pair<std::int32_t, std::string>>{{AD_ERR_DXF_ENTITY_TYPE, "60"},
                                                                           {AD_ERR_DXF_ENTITY_TYPE, "0"}};
    EXPECT_EQ(notes(d), expected);
    adCloseDrawing(d);
}

// A block DOOR whose BLOCK, LINE and ENDBLK carry 31, the given handle and 33,
// and an INSERT of it, 50; without a BLOCK_RECORD table, so that nothing but
// the BLOCK record's own group 5 is there for the block. An AC1009 file whose
// $HANDLING is 0 gives every entity a new handle, and the block may keep the
// BLOCK's. "" stands for a new handle, none of the file's.
struct BlockHandleCase {
    const char* name;
    const char* version;
    bool handling;
    const char* lineHandle;
    const char* door;
    std::vector<std::string> listHandles;
    std::vector<std::pair<std::int32_t, std::string>> notes;
};

class DxfBlockHandles : public LoadingDxf, public testing::WithParamInterface<BlockHandleCase> {};

TEST_P(DxfBlockHandles, BlockEntitiesKeepTheFilesHandles) {
    const BlockHandleCase& c = GetParam();
    const std::string blocks =
        g({{0, "BLOCK"}, {5, "31"}, {8, "0"}, {2, "DOOR"}, {70, "0"}, {10, "0"}, {20, "0"}, {30, "0"}}) +
        line(c.lineHandle, "1") + g({{0, "ENDBLK"}, {5, "33"}, {8, "0"}});
    const Groups header = {
        {9, "$ACADVER"}, {1, c.version}, {9, "$HANDLING"}, {70, c.handling ? "1" : "0"}, {9, "$HANDSEED"}, {5, "100"}};
    const std::string insert = g({{0, "INSERT"}, {5, "50"}, {8, "0"}, {2, "DOOR"}, {10, "1"}, {20, "2"}, {30, "0"}});
    const std::string path = dir_.write("blocks.dxf", section("HEADER", g(header)) + section("BLOCKS", blocks) +
                                                          section("ENTITIES", insert) + g({{0, "EOF"}}));
    AdDrawing* d = adOpenDrawing(path.c_str(), 1, 0);
    ASSERT_NE(d, nullptr) << "error " << adGlobals->errorCode;
    EXPECT_EQ(notes(d), c.notes);

    const std::set<std::string> fileHandles = {"31", c.lineHandle, "33", "50"};
    auto shown = [&](const AdHandle& h) { return fileHandles.count(hexOf(h)) ? hexOf(h) : ""; };
    AdHandle door{};
    ASSERT_EQ(adBlockHandleByName(d, "DOOR", &door), 1);
    EXPECT_NE(adHandleLength(&door), 0);
    EXPECT_EQ(shown(door), c.door);
    AdEntityHeader entity{};
    AdEntityData data{};
    ASSERT_EQ(adEntityRewind(d->modelSpace), 1);
    ASSERT_EQ(adEntityNext(d->modelSpace, &entity, &data), 1);
    EXPECT_EQ(hexOf(data.insert.block), hexOf(door));

    AdRecordList* list = adBlockEntityList(d, &door);
    ASSERT_NE(list, nullptr);
    std::vector<std::string> handles;
    ASSERT_EQ(adEntityRewind(list), 1);
    while (adEntityNext(list, &entity, &data)) {
        handles.push_back(shown(entity.handle));
        EXPECT_NE(hexOf(entity.handle), hexOf(door));
    }
    EXPECT_EQ(handles, c.listHandles);
    adCloseDrawing(d);
}

INSTANTIATE_TEST_SUITE_P(
    Dxf, DxfBlockHandles,
    testing::Values(BlockHandleCase{"R12", "AC1009", true, "32", "", {"31", "32", "33"}, {}},
                    BlockHandleCase{"R2000WithoutBlockRecords", "AC1015", true, "32", "", {"31", "32", "33"}, {}},
                    BlockHandleCase{"R12WithoutHandling", "AC1009", false, "32", "31", {"", "", ""}, {}},
                    // The LINE repeats its BLOCK's handle: it alone is repaired.
                    BlockHandleCase{"RepeatOfTheBlockHandle", "AC1009", true, "31", "", {"31", "", "33"},
                                    {{AD_ERR_DUPLICATE_HANDLE, "31"}}}),
    [](const testing::TestParamInfo<BlockHandleCase>& info) { return std::string(info.param.name); });

}  // namespace
