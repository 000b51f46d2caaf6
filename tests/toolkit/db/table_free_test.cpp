// Releasing table lists with the stores their records own (the sanitizer
// build reports any store left behind).
#include "table_fixture.h"
#include "toolkit/ad.h"

#include <gtest/gtest.h>

using TableFreeTest = TableTest;

TEST_F(TableFreeTest, EachTableFreesItsRecordsStoresAndClearsThePointer) {
    AdLayerRecord l = layer("L", 1);
    l.xdata = adStoreCreate(64);
    l.reactors = adStoreCreate(64);
    ASSERT_EQ(adLayerAdd(d, &l), 1);
    AdBlockHeader b = block("B", 2);
    b.preview = adStoreCreate(64);
    b.xdata = adStoreCreate(64);
    b.reactors = adStoreCreate(64);
    b.insertReferences = adStoreCreate(64);
    store(d->blocks, b, sizeof(AdStoredBlock));
    AdDimStyleRecord ds;
    adDefaultDimStyleRecord(d, &ds);
    ds.handle = H(3);
    ds.xdata = adStoreCreate(64);
    ds.reactors = adStoreCreate(64);
    store(d->dimStyles, ds);
    AdVportEntityHeader v{};
    v.entityHandle = H(4);
    ASSERT_NE(adListAppendNew(&v, sizeof v, d->vportEntities), nullptr);
    ASSERT_EQ(adClassRegister(d, "X", "X", "X", 0, 499, 0), 500);
    d->classTable = static_cast<std::uint8_t*>(HostAlloc(4));

    EXPECT_EQ(adFreeLayerList(d), 1);
    EXPECT_EQ(adFreeBlockList(d), 1);
    EXPECT_EQ(adFreeDimStyleList(d), 1);
    EXPECT_EQ(adFreeVportEntityList(d), 1);
    EXPECT_EQ(adFreeClassList(d), 1);
    EXPECT_EQ(d->layers, nullptr);
    EXPECT_EQ(d->blocks, nullptr);
    EXPECT_EQ(d->dimStyles, nullptr);
    EXPECT_EQ(d->vportEntities, nullptr);
    EXPECT_EQ(d->classes, nullptr);
    EXPECT_EQ(d->classTable, nullptr);
    // The index entries would dangle now; the drawing's index goes with them.
    adHandleIndexFree(d);
}

TEST_F(TableFreeTest, ListHeadersAreFreedWhereverPresent) {
    adListFree(d->styles);
    d->styles = nullptr;
    d->objects = adListCreate();
    EXPECT_EQ(adFreeListHeaders(d), 1);
    for (AdRecordList* AdDrawing::*list : lists()) EXPECT_EQ(d->*list, nullptr);
    EXPECT_EQ(d->objects, nullptr);
}
