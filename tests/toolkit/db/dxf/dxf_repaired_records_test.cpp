// Records of a DXF file that the load repairs or passes over are noted for
// the host: entities that repeat a handle, and entity types of later
// releases that the reader does not know.
#include "toolkit/ad.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
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

}  // namespace
