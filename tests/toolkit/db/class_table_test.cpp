// CLASSES: numbering, registration, lookups and the drawing's class slots.
#include "table_fixture.h"
#include "toolkit/ad.h"

#include <gtest/gtest.h>

using ClassTableTest = TableTest;

TEST_F(ClassTableTest, NextNumberFollowsTheHighestClass) {
    EXPECT_EQ(adClassNextNumber(d), 500);
    for (std::int16_t number : {503, 500}) {
        AdClassRecord c{};
        c.number = number;
        std::strcpy(c.dxfName, number == 500 ? "A" : "B");
        ASSERT_EQ(adClassAdd(d, &c), 1);
    }
    EXPECT_EQ(adClassNextNumber(d), 504);
    EXPECT_EQ(adClassCount(d), 2);
}

TEST_F(ClassTableTest, RegisterAddsOnceAndSetsTheClassSlot) {
    EXPECT_EQ(adClassRegister(d, "LWPOLYLINE", "AcDbPolyline", "App", 32768, 498, 0), 500);
    EXPECT_EQ(adClassRegister(d, "HATCH", "AcDbHatch", "App", 32768, 498, 0), 501);
    EXPECT_EQ(adClassRegister(d, "lwpolyline", "Other", "Other", 0, 499, 0), 1);
    EXPECT_EQ(adClassRegister(d, "MYCLASS", "MyClass", "App", 0, 499, 1), 502);
    EXPECT_EQ(adClassCount(d), 3);
    EXPECT_EQ(d->classNumbers[AD_CLASS_LWPOLYLINE], 500);
    EXPECT_EQ(d->classNumbers[AD_CLASS_HATCH], 501);
    EXPECT_EQ(d->classNumbers[AD_CLASS_XRECORD], 0);

    AdClassRecord c{};
    ASSERT_EQ(adClassByName(d, "Hatch", &c), 1);
    EXPECT_EQ(c.number, 501);
    EXPECT_STREQ(c.className, "AcDbHatch");
    EXPECT_EQ(c.proxyFlags, 32768);
    EXPECT_EQ(c.isEntity, 498);

    c.proxyFlags &= ~0x8000;
    ASSERT_EQ(adClassUpdate(d, &c), 1);
    AdClassRecord back{};
    ASSERT_EQ(adClassByName(d, "HATCH", &back), 1);
    EXPECT_EQ(back.proxyFlags, 0);

    char name[AD_TABLE_NAME_SIZE];
    ASSERT_EQ(adClassNameByNumber(d, 502, name), 1);
    EXPECT_STREQ(name, "MYCLASS");
    EXPECT_EQ(adClassNameByNumber(d, 600, name), 0);

    c.number = 600;
    EXPECT_EQ(adClassUpdate(d, &c), 0);
    std::memset(&back, 0x5A, sizeof back);
    EXPECT_EQ(adClassByName(d, "NONE", &back), 0);
    EXPECT_EQ(back.number, 0);
    EXPECT_EQ(back.dxfName[0], '\0');
}

TEST_F(ClassTableTest, NumSetIgnoresNamesWithoutASlot) {
    EXPECT_EQ(adClassNumSet(d, "dimassoc", 520), 1);
    EXPECT_EQ(adClassNumSet(d, "UNKNOWN", 521), 1);
    EXPECT_EQ(d->classNumbers[AD_CLASS_DIMASSOC], 520);
    for (int slot = 0; slot < AD_CLASS_DIMASSOC; ++slot) EXPECT_EQ(d->classNumbers[slot], 0);
}
