// Entities whose groups repeat or break off: each drawing still loads, the
// later binary run replaces the earlier one, and nothing read before is lost
// (the sanitizer build reports any store left behind).
#include "toolkit/ad.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "dxf_groups.h"
#include "toolkit/db/dxf/dxf_read.h"

namespace {

std::string entityClass(const char* dxfName, const char* className) {
    return g({{0, "CLASS"}, {1, dxfName}, {2, className}, {3, "Test"}, {90, "0"}, {280, "0"}, {281, "1"}});
}

// The model space's BLOCK, ENDBLK frame, with what the file put between.
std::string spaceBlocks(const std::string& inside) {
    return g({{0, "BLOCK"}, {5, "20"}, {8, "0"}, {2, "*Model_Space"}, {70, "0"}, {10, "0"}, {20, "0"}, {30, "0"},
              {3, "*Model_Space"}}) +
           inside + g({{0, "ENDBLK"}, {5, "21"}, {8, "0"}});
}

std::string drawing(const std::string& entities, const std::string& blocks = spaceBlocks("")) {
    const std::string classes = entityClass("OLE2FRAME", "AcDbOle2Frame") +
                                entityClass("ARCALIGNEDTEXT", "AcDbArcAlignedText") +
                                entityClass("RTEXT", "RText") + entityClass("LATTICE", "AcDbLattice");
    return section("HEADER", g({{9, "$ACADVER"}, {1, "AC1015"}, {9, "$HANDSEED"}, {5, "200"}})) +
           section("CLASSES", classes) + section("BLOCKS", blocks) + section("ENTITIES", entities) +
           g({{0, "EOF"}});
}

std::vector<std::uint8_t> bytesOf(AdStore* store) {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(store ? adStoreSize(store) : 0));
    AdStream* in = store ? adStreamOpenRead(store) : nullptr;
    if (in && !bytes.empty()) adStreamRead(in, bytes.data(), static_cast<std::int32_t>(bytes.size()));
    if (in) adStreamCloseRead(in);
    return bytes;
}

struct Case {
    const char* name;
    Groups entity;  // followed by a LINE that must still be read
    Groups inSpaceBlock;  // between the model space's frame entities
    std::function<void(const AdEntityHeader&, const AdEntityData&)> check;
};

using DxfRepeatedGroups = LoadingDxf;

TEST_F(DxfRepeatedGroups, LaterRunReplacesTheEarlierAndNothingLeaks) {
    const std::vector<std::uint8_t> later{5, 6};
    const Case cases[] = {
        {"OLE2FRAME data twice",
         {{0, "OLE2FRAME"}, {5, "A0"}, {8, "0"}, {70, "2"}, {90, "4"}, {310, "01020304"}, {90, "2"}, {310, "0506"}},
         {},
         [&](const AdEntityHeader&, const AdEntityData& d) { EXPECT_EQ(bytesOf(d.ole2Frame.data), later); }},
        {"ARCALIGNEDTEXT graphics twice",
         {{0, "ARCALIGNEDTEXT"}, {5, "A0"}, {8, "0"}, {92, "4"}, {310, "01020304"}, {92, "2"}, {310, "0506"}},
         {},
         [&](const AdEntityHeader&, const AdEntityData& d) { EXPECT_EQ(bytesOf(d.arcAlignedText.graphics), later); }},
        {"RTEXT text twice",
         {{0, "RTEXT"}, {5, "A0"}, {8, "0"}, {92, "4"}, {310, "01020304"}, {92, "2"}, {310, "0506"}},
         {},
         [&](const AdEntityHeader&, const AdEntityData& d) { EXPECT_EQ(bytesOf(d.rtext.longText), later); }},
        {"class entity breaking off in its binary data",
         {{0, "LATTICE"}, {5, "A0"}, {8, "0"}, {100, "AcDbEntity"}, {92, "2"}, {310, "0102"}, {93, "16"},
          {310, "ZZ"}},
         {},
         nullptr},
        {"space frame whose second entity holds stores",
         {},
         {{0, "OLE2FRAME"}, {5, "A1"}, {8, "0"}, {70, "2"}, {90, "2"}, {310, "0102"}, {90, "2"}, {310, "0506"}},
         nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string line = g({{0, "LINE"}, {5, "B0"}, {8, "0"}, {10, "1"}, {20, "2"}, {30, "0"}, {11, "3"},
                                    {21, "4"}, {31, "0"}});
        const std::string path =
            dir_.write("repeated.dxf", drawing(g(c.entity) + line, spaceBlocks(g(c.inSpaceBlock))));
        AdDrawing* d = adOpenDrawing(path.c_str(), 1, 0);
        ASSERT_NE(d, nullptr) << "error " << adGlobals->errorCode;
        AdEntityHeader header{};
        AdEntityData data{};
        bool lineRead = false;
        int kept = 0;
        ASSERT_EQ(adEntityRewind(d->modelSpace), 1);
        while (adEntityNext(d->modelSpace, &header, &data)) {
            lineRead = lineRead || header.type == AD_ENTITY_LINE;
            if (header.type != AD_ENTITY_LINE && c.check) {
                c.check(header, data);
                ++kept;
            }
        }
        EXPECT_TRUE(lineRead);
        if (c.check) {
            EXPECT_EQ(kept, 1);
        }
        adCloseDrawing(d);
    }
}

}  // namespace
