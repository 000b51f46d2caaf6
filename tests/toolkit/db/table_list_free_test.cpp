// Freeing a table list frees every record's stores and the list itself, and
// refuses store positions outside the record.
#include "toolkit/ad.h"

#include <gtest/gtest.h>

#include <cstddef>

#include "scratch_state.h"
#include "store_bytes.h"

namespace {

// A table record of the shape the release routine walks: links, then owned
// stores between other fields.
struct TableRecord {
    AdListRecord links;
    AdStore* names;
    std::int32_t flags;
    AdStore* data;
    AdStore* spare;
};

constexpr std::int32_t kNext = offsetof(TableRecord, links) + offsetof(AdListRecord, next);
constexpr std::int32_t kTwoStores[AD_TABLE_STORE_SLOTS] = {offsetof(TableRecord, names), offsetof(TableRecord, data),
                                                          -1, -1};

AdRecordList* TableWithStores(int records) {
    AdRecordList* list = adListCreate();
    for (int i = 0; i < records; ++i) {
        TableRecord image{};
        image.names = StoreWith(Pattern(10));
        image.data = StoreWith(Pattern(5000));
        adListInsertNew(&image, sizeof image, list, AD_LIST_AT_END, nullptr);
    }
    return list;
}

// The sanitizer build reports any store, record or header left behind.
TEST(TableListFree, FreesEveryRecordsStoresAndTheList) {
    ScratchState state;
    EXPECT_EQ(adFreeTableList(TableWithStores(3), sizeof(TableRecord), kTwoStores, kNext), 1);
    EXPECT_EQ(adFreeTableList(adListCreate(), sizeof(TableRecord), kTwoStores, kNext), 1);
    EXPECT_EQ(adFreeTableList(nullptr, sizeof(TableRecord), kTwoStores, kNext), 0);
}

TEST(TableListFree, AWalkThatCannotMoveOnStillFreesTheList) {
    ScratchState state;
    AdRecordList* list = TableWithStores(1);
    TableRecord image{};
    adListInsertNew(&image, sizeof image, list, AD_LIST_AT_END, nullptr);
    adListInsertNew(&image, sizeof image, list, AD_LIST_AT_END, nullptr);
    // The walk follows the (null) spare field, so it stops after the first record.
    EXPECT_EQ(adFreeTableList(list, sizeof(TableRecord), kTwoStores, offsetof(TableRecord, spare)), 0);
}

TEST(TableListFree, PositionsOutsideTheRecordAreRefused) {
    ScratchState state;
    AdRecordList* list = TableWithStores(1);
    const std::int32_t outside[AD_TABLE_STORE_SLOTS] = {static_cast<std::int32_t>(sizeof(TableRecord)), -1, -1, -1};
    EXPECT_EQ(adFreeTableList(list, sizeof(TableRecord), outside, kNext), 0);
    EXPECT_EQ(adFreeTableList(list, sizeof(TableRecord), kTwoStores, -2), 0);
    EXPECT_EQ(adListCount(list), 1);
    EXPECT_EQ(adFreeTableList(list, sizeof(TableRecord), kTwoStores, kNext), 1);
}

}  // namespace
