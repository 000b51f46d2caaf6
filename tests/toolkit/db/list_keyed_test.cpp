// Inserting a record under its handle: list and index change together or not
// at all.
#include "toolkit/ad.h"

#include <gtest/gtest.h>

#include <memory>

#include "scratch_fixture.h"
#include "handle_values.h"
#include "list_records.h"
#include "scratch_state.h"

namespace {

class ListInsertKeyed : public ScratchFixture {
protected:
    ListInsertKeyed() : drawing(std::make_unique<AdDrawing>()), list(IntList({1})), image(IntRecord(5)) {
        adHandleIndexReset(drawing.get());
    }
    ~ListInsertKeyed() override {
        adHandleIndexFree(drawing.get());
        adListFree(list);
        HostFree(image);
    }
    AdListRecord* Insert(std::uint64_t handle, int position = AD_LIST_AT_END, AdListRecord* reference = nullptr) {
        const AdHandle h = H(handle);
        return adListInsertKeyed(&h, drawing.get(), image, length, list, position, reference);
    }
    void* Find(std::uint64_t handle) {
        const AdHandle h = H(handle);
        return adHandleIndexFind(drawing.get(), &h);
    }

    std::unique_ptr<AdDrawing> drawing;
    AdRecordList* list;
    AdListRecord* image;
    const std::size_t length = AD_LIST_LINKS_SIZE + sizeof(int);
};

TEST_F(ListInsertKeyed, EntersTheHandleAndLinksTheRecord) {
    AdListRecord* front = Insert(0x10, AD_LIST_AT_FRONT);
    AdListRecord* end = Insert(0x11);
    ASSERT_NE(front, nullptr);
    ASSERT_NE(end, nullptr);
    EXPECT_EQ(Values(list), (std::vector<int>{5, 1, 5}));
    EXPECT_EQ(Find(0x10), front);
    EXPECT_EQ(Find(0x11), end);
}

TEST_F(ListInsertKeyed, ADuplicateLeavesListAndIndexAsTheyWere) {
    AdListRecord* first = Insert(0x2A);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(Insert(0x2A), nullptr);
    EXPECT_EQ(state.get()->errorCode, AD_ERR_DUPLICATE_HANDLE);
    EXPECT_EQ(V(state.get()->offendingHandle), 0x2Au);
    EXPECT_EQ(Values(list), (std::vector<int>{1, 5}));
    EXPECT_EQ(Find(0x2A), first);
}

TEST_F(ListInsertKeyed, TheNullHandleIsRefused) {
    EXPECT_EQ(Insert(0), nullptr);
    EXPECT_EQ(state.get()->errorCode, AD_ERR_NULL_HANDLE_KEY);
    EXPECT_EQ(adListCount(list), 1);
}

TEST_F(ListInsertKeyed, AFailedLinkTakesTheHandleOutAgain) {
    AdRecordList* other = IntList({9});
    EXPECT_EQ(Insert(0x30, AD_LIST_BEFORE_REFERENCE, adListFirst(other)), nullptr);
    EXPECT_EQ(Insert(0x31, AD_LIST_BEFORE_REFERENCE, nullptr), nullptr);
    EXPECT_EQ(Find(0x30), nullptr);
    EXPECT_EQ(Find(0x31), nullptr);
    EXPECT_EQ(Values(list), (std::vector<int>{1}));
    adListFree(other);
}

TEST_F(ListInsertKeyed, NoMemoryForTheRecordLeavesTheIndexEmpty) {
    HostFailAllocationAfter(0);
    EXPECT_EQ(Insert(0x40), nullptr);
    EXPECT_EQ(state.get()->errorCode, AD_ERR_RECORD_MEMORY_INSERT);
    EXPECT_EQ(fatal.conditions(), std::vector<std::int32_t>{AD_FATAL_NO_MEMORY});
    EXPECT_EQ(Find(0x40), nullptr);
    EXPECT_EQ(adListCount(list), 1);
}

}  // namespace
