// Packing an INSERT keeps its block header's reference store: the handles of
// the INSERTs that name the block, in the order they were stored.
#include "entity_fixture.h"
#include "temp_dir.h"

#include "toolkit/ad.h"
#include "toolkit/db/host_fault.h"

#include <gtest/gtest.h>

namespace {

constexpr std::uint64_t kBlock = 0x40;

class EntityInsert : public EntityTest {
protected:
    void SetUp() override {
        EntityTest::SetUp();
        store(d->blocks, block("B", kBlock), sizeof(AdStoredBlock));
    }
    void TearDown() override {
        HostFailAllocationAfter(-1);
        EntityTest::TearDown();
    }

    AdListRecord* packInsert(std::uint64_t handle, std::uint64_t blockHandle) {
        AdEntityData data;
        AdEntityHeader h = defaultHeader(AD_ENTITY_INSERT, &data);
        h.handle = H(handle);
        data.insert.block = H(blockHandle);
        return pack(h, data);
    }

    std::vector<std::uint64_t> references() {
        AdBlockHeader header;
        const AdHandle blockHandle = H(kBlock);
        EXPECT_EQ(adBlockByHandle(d, &blockHandle, &header), 1);
        std::vector<std::uint64_t> handles;
        AdStream* stream = adStreamOpenRead(header.insertReferences);
        AdHandle h;
        while (stream && adStreamReadHandle(stream, &h)) handles.push_back(V(h));
        adStreamCloseRead(stream);
        return handles;
    }
};

TEST_F(EntityInsert, AppendsEachInsertToItsBlock) {
    ASSERT_NE(packInsert(0x101, kBlock), nullptr);
    ASSERT_NE(packInsert(0x102, kBlock), nullptr);
    EXPECT_EQ(references(), (std::vector<std::uint64_t>{0x101, 0x102}));
    EXPECT_EQ(adListCount(entities), 2);
}

TEST_F(EntityInsert, UnknownBlockPassesOnlyWhileAFileIsRead) {
    TempDir dir;
    d->file = HostOpenRead(dir.write("drawing.dxf", "0\n").c_str());
    ASSERT_NE(d->file, nullptr);
    EXPECT_NE(packInsert(0x101, 0x99), nullptr);
    HostClose(d->file);
    d->file = nullptr;
    EXPECT_TRUE(references().empty());

    adGlobals->errorCode = AD_OK;
    EXPECT_EQ(packInsert(0x102, 0x99), nullptr);
    EXPECT_EQ(adGlobals->errorCode, AD_ERR_INSERT_BLOCK);
    EXPECT_EQ(adListCount(entities), 1);
}

// The handle names a LAYER record: no block header.
TEST_F(EntityInsert, HandleOfAnotherTableIsNoBlock) {
    EXPECT_EQ(packInsert(0x101, kLayer), nullptr);
    EXPECT_EQ(adGlobals->errorCode, AD_ERR_INSERT_BLOCK);
}

// Neither failure leaves a reference to an INSERT that was not stored, nor a
// record without its reference.
TEST_F(EntityInsert, AllocationFailureLeavesNeitherRecordNorReference) {
    HostFailAllocationAfter(0);  // the record
    EXPECT_EQ(packInsert(0x101, kBlock), nullptr);
    EXPECT_EQ(adGlobals->errorCode, AD_ERR_RECORD_MEMORY_INSERT);
    HostFailAllocationAfter(1);  // the reference store
    EXPECT_EQ(packInsert(0x102, kBlock), nullptr);
    EXPECT_EQ(adListCount(entities), 0);
    EXPECT_TRUE(references().empty());

    ASSERT_NE(packInsert(0x103, kBlock), nullptr);
    HostFailAllocationAfter(2);  // the stream's buffer while appending
    EXPECT_EQ(packInsert(0x104, kBlock), nullptr);
    EXPECT_EQ(adListCount(entities), 1);
    EXPECT_EQ(references(), (std::vector<std::uint64_t>{0x103}));
}

}  // namespace
