// Where LTYPE and BLOCK records land, and deleting them.
#include "table_fixture.h"
#include "toolkit/ad.h"
#include "toolkit/db/host_fault.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

using TableOrderTest = TableTest;
using Names = std::vector<std::string>;

TEST_F(TableOrderTest, LtypeKeepsByBlockAndByLayerLast) {
    struct Case {
        Names table;
        const char* added;
        Names expected;
    };
    const Case cases[] = {
        {{"Dashed", "BYBLOCK", "BYLAYER"}, "CONTINUOUS", {"Dashed", "CONTINUOUS", "BYBLOCK", "BYLAYER"}},
        {{"ByBlock", "ByLayer"}, "CONTINUOUS", {"CONTINUOUS", "ByBlock", "ByLayer"}},
        {{"Dashed", "BYBLOCK", "BYLAYER"}, "ByLayer", {"Dashed", "BYBLOCK", "BYLAYER", "ByLayer"}},
        {{"Dashed"}, "Dotted", {"Dashed", "Dotted"}},
        {{}, "Dotted", {"Dotted"}},
        // The walk back looks at no more than three records.
        {{"A", "BYLAYER", "BYBLOCK", "BYLAYER", "BYBLOCK"}, "X", {"A", "BYLAYER", "X", "BYBLOCK", "BYLAYER", "BYBLOCK"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.added);
        TearDown();
        SetUp();
        std::uint64_t h = 0x10;
        for (const std::string& name : c.table) {
            AdLtypeRecord r = ltype(name.c_str(), h++);
            store(d->ltypes, r);
        }
        AdLtypeRecord r = ltype(c.added, 0x100);
        ASSERT_EQ(adLtypeAdd(d, &r), 1);
        EXPECT_EQ(ltypeNames(), c.expected);
        AdLtypeRecord back{};
        const AdHandle added = H(0x100);
        ASSERT_EQ(adLtypeByHandle(d, &added, &back), 1);
        EXPECT_STREQ(back.name, c.added);
    }
}

TEST_F(TableOrderTest, NewBlockGoesBeforeModelSpaceWithAtMostThreeAfterIt) {
    struct Case {
        Names table;
        Names expected;
    };
    const Case cases[] = {
        {{"A", "*MODEL_SPACE", "*PAPER_SPACE"}, {"A", "NEW", "*MODEL_SPACE", "*PAPER_SPACE"}},
        {{"*Model_Space", "*Paper_Space"}, {"NEW", "*Model_Space", "*Paper_Space"}},
        {{"A", "B", "C", "D", "E"}, {"A", "B", "NEW", "C", "D", "E"}},
        {{"A", "B"}, {"NEW", "A", "B"}},
        {{"A"}, {"NEW", "A"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.table.size());
        TearDown();
        SetUp();
        std::uint64_t h = 0x10;
        for (const std::string& name : c.table) {
            AdBlockHeader r = block(name.c_str(), h++);
            store(d->blocks, r, sizeof(AdStoredBlock));
        }
        AdBlockHeader r = block("NEW", 0x100);
        ASSERT_EQ(adBlockAdd(d, &r), 1);
        EXPECT_EQ(blockNames(), c.expected);
        AdHandle found;
        ASSERT_EQ(adBlockHandleByName(d, "new", &found), 1);
        EXPECT_EQ(V(found), 0x100u);
    }
}

TEST_F(TableOrderTest, AddToAnEmptyBlockTableIsRefusedAndLeavesNoIndexEntry) {
    AdBlockHeader r = block("NEW", 0x100);
    EXPECT_EQ(adBlockAdd(d, &r), 0);
    EXPECT_EQ(adBlockCount(d), 0);
    EXPECT_EQ(adHandleIndexFind(d, &r.handle), nullptr);
}

TEST_F(TableOrderTest, FailedAllocationsReportEachTablesCodeAndLeaveNothingBehind) {
    AdBlockHeader ms = block("*MODEL_SPACE", 0x10);
    store(d->blocks, ms, sizeof(AdStoredBlock));
    struct Case {
        const char* table;
        std::function<int()> add;
        std::int32_t error;
    };
    const Case cases[] = {
        {"LAYER", [&] { AdLayerRecord r = layer("L", 0x20); return adLayerAdd(d, &r); }, AD_ERR_RECORD_MEMORY_INSERT},
        {"LTYPE", [&] { AdLtypeRecord r = ltype("T", 0x20); return adLtypeAdd(d, &r); }, AD_ERR_LTYPE_MEMORY},
        {"BLOCK", [&] { AdBlockHeader r = block("B", 0x20); return adBlockAdd(d, &r); }, AD_ERR_BLOCK_MEMORY},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.table);
        HostFailAllocationAfter(0);
        EXPECT_EQ(c.add(), 0);
        HostFailAllocationAfter(-1);
        EXPECT_EQ(state.get()->errorCode, c.error);
        const AdHandle h = H(0x20);
        EXPECT_EQ(adHandleIndexFind(d, &h), nullptr);
    }
    EXPECT_EQ(adLayerCount(d) + adLtypeCount(d), 0);
    EXPECT_EQ(adBlockCount(d), 1);
}

TEST_F(TableOrderTest, DeleteFreesTheRecordItsStoresAndItsIndexEntry) {
    struct Case {
        const char* table;
        std::function<void(std::uint64_t)> put;  // with an xdata and a reactor store
        std::function<int(const AdHandle*)> remove;
        std::function<Names()> names;
        std::int32_t emptyError, missingError;
    };
    auto stores = [](auto& r) {
        r.xdata = adStoreCreate(128);
        r.reactors = adStoreCreate(128);
    };
    AdRecordList* entityList = nullptr;
    const Case cases[] = {
        {"LTYPE",
         [&](std::uint64_t h) {
             AdLtypeRecord r = ltype(("T" + std::to_string(h)).c_str(), h);
             stores(r);
             ASSERT_EQ(adLtypeAdd(d, &r), 1);
         },
         [&](const AdHandle* h) { return adLtypeDelete(d, h); }, [&] { return ltypeNames(); }, AD_ERR_LTYPE_EMPTY,
         AD_ERR_LTYPE_NOT_FOUND},
        {"BLOCK",
         [&](std::uint64_t h) {
             AdBlockHeader r = block(("T" + std::to_string(h)).c_str(), h);
             stores(r);
             r.preview = adStoreCreate(128);
             r.insertReferences = adStoreCreate(128);
             r.entities = entityList;
             if (adBlockCount(d) == 0)
                 store(d->blocks, r, sizeof(AdStoredBlock));
             else
                 ASSERT_EQ(adBlockAdd(d, &r), 1);
         },
         [&](const AdHandle* h) { return adBlockDelete(d, h); }, [&] { return blockNames(); }, AD_ERR_BLOCK_EMPTY,
         AD_ERR_BLOCK_NOT_FOUND},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.table);
        const AdHandle h1 = H(1), h2 = H(2), h3 = H(3), unknown = H(9);
        EXPECT_EQ(c.remove(&h1), 0);
        EXPECT_EQ(state.get()->errorCode, c.emptyError);
        c.put(1);
        c.put(2);
        c.put(3);
        EXPECT_EQ(c.remove(&unknown), 0);
        EXPECT_EQ(state.get()->errorCode, c.missingError);

        ASSERT_EQ(c.remove(&h2), 1);
        EXPECT_EQ(adHandleIndexFind(d, &h2), nullptr);
        EXPECT_EQ(c.remove(&h2), 0);
        EXPECT_EQ(state.get()->errorCode, c.missingError);
        EXPECT_EQ(c.names().size(), 2u);
        ASSERT_EQ(c.remove(&h1), 1);
        ASSERT_EQ(c.remove(&h3), 1);
        EXPECT_TRUE(c.names().empty());
    }
}

TEST_F(TableOrderTest, DeletingTheCurrentRecordMovesTheCursorOn) {
    for (std::uint64_t h : {1, 2, 3}) {
        AdLtypeRecord r = ltype(("T" + std::to_string(h)).c_str(), h);
        ASSERT_EQ(adLtypeAdd(d, &r), 1);
    }
    AdLtypeRecord r{};
    adLtypeRewind(d);
    adLtypeNext(d, &r);  // T2 is now current
    const AdHandle h2 = H(2);
    ASSERT_EQ(adLtypeDelete(d, &h2), 1);
    ASSERT_EQ(adLtypeNext(d, &r), 1);
    EXPECT_STREQ(r.name, "T3");
    EXPECT_EQ(adLtypeNext(d, &r), 0);
}

TEST_F(TableOrderTest, BlockNamesFollowAddsRenamesAndDeletes) {
    for (const char* name : {"*MODEL_SPACE", "*PAPER_SPACE"}) {
        AdBlockHeader r = block(name, adBlockCount(d) + 1);
        store(d->blocks, r, sizeof(AdStoredBlock));
    }
    AdHandle found;
    ASSERT_EQ(adBlockHandleByName(d, "*paper_space", &found), 1);
    EXPECT_EQ(V(found), 2u);

    AdBlockHeader door = block("Door", 0x30);
    ASSERT_EQ(adBlockAdd(d, &door), 1);
    ASSERT_EQ(adBlockHandleByName(d, "DOOR", &found), 1);
    EXPECT_EQ(V(found), 0x30u);

    std::strcpy(door.name, "Window");
    ASSERT_EQ(adBlockUpdate(d, &door), 1);
    EXPECT_EQ(adBlockHandleByName(d, "Door", &found), 0);
    EXPECT_EQ(V(found), 0u);
    ASSERT_EQ(adBlockHandleByName(d, "window", &found), 1);

    ASSERT_EQ(adBlockDelete(d, &door.handle), 1);
    EXPECT_EQ(adBlockHandleByName(d, "Window", &found), 0);
}

TEST_F(TableOrderTest, BlockUpdateKeepsTheBookkeepingBehindTheHeader) {
    AdStoredBlock stored{};
    adDefaultBlockHeader(&stored.header);
    std::strcpy(stored.header.name, "B");
    stored.header.handle = H(0x40);
    stored.filePosition = 1234;
    std::strcpy(stored.xrefPath, "path");
    std::vector<std::uint8_t> image(AD_LIST_LINKS_SIZE + sizeof stored);
    std::memcpy(image.data() + AD_LIST_LINKS_SIZE, &stored, sizeof stored);
    AdListRecord* record =
        adListInsertKeyed(&stored.header.handle, d, image.data(), image.size(), d->blocks, AD_LIST_AT_END, nullptr);
    ASSERT_NE(record, nullptr);

    AdBlockHeader header = stored.header;
    header.flags = 2;
    ASSERT_EQ(adBlockUpdate(d, &header), 1);
    AdStoredBlock after;
    std::memcpy(&after, adListRecordData(record), sizeof after);
    EXPECT_EQ(after.header.flags, 2);
    EXPECT_EQ(after.filePosition, 1234);
    EXPECT_STREQ(after.xrefPath, "path");
}
