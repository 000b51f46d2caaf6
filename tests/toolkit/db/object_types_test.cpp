// Class-number getters and how type codes choose an object's data.
#include "object_fixture.h"
#include "toolkit/ad.h"

#include <gtest/gtest.h>

#include <iterator>

namespace {

struct GetterCase {
    std::int16_t (*getter)(const AdDrawing*);
    const char* dxfName;
};

constexpr GetterCase kGetters[] = {
    {adClassNumOle2Frame, "OLE2FRAME"},
    {adClassNumHatch, "HATCH"},
    {adClassNumLwpolyline, "LWPOLYLINE"},
    {adClassNumImage, "IMAGE"},
    {adClassNumRText, "RTEXT"},
    {adClassNumArcAlignedText, "ARCALIGNEDTEXT"},
    {adClassNumWipeout, "WIPEOUT"},
    {adClassNumXrecord, "XRECORD"},
    {adClassNumIdBuffer, "IDBUFFER"},
    {adClassNumDictionaryVar, "DICTIONARYVAR"},
    {adClassNumImageDef, "IMAGEDEF"},
    {adClassNumImageDefReactor, "IMAGEDEF_REACTOR"},
    {adClassNumRasterVariables, "RASTERVARIABLES"},
    {adClassNumSpatialFilter, "SPATIAL_FILTER"},
    {adClassNumSortentsTable, "SORTENTSTABLE"},
    {adClassNumLayerIndex, "LAYER_INDEX"},
    {adClassNumSpatialIndex, "SPATIAL_INDEX"},
    {adClassNumObjectPtr, "OBJECT_PTR"},
    {adClassNumDictionaryWithDefault, "ACDBDICTIONARYWDFLT"},
    {adClassNumPlaceholder, "ACDBPLACEHOLDER"},
    {adClassNumLayout, "LAYOUT"},
    {adClassNumVbaProject, "VBA_PROJECT"},
    {adClassNumWipeoutVariables, "WIPEOUTVARIABLES"},
    {adClassNumPlotSettings, "PLOTSETTINGS"},
    {adClassNumDimAssoc, "DIMASSOC"},
};

}  // namespace

using ObjectTypesTest = ObjectTest;

TEST_F(ObjectTypesTest, ClassGettersAnswerTheRegisteredNumbersAndZeroBefore) {
    for (const GetterCase& c : kGetters) {
        EXPECT_EQ(c.getter(d), 0) << c.dxfName;
        EXPECT_EQ(c.getter(nullptr), 0) << c.dxfName;
    }
    // Registered backwards, so that no number follows from the slot order.
    for (auto c = std::rbegin(kGetters); c != std::rend(kGetters); ++c)
        ASSERT_GT(adClassRegister(d, c->dxfName, "AcDbTest", "Test", 0, 499, 0), 1);
    for (const GetterCase& c : kGetters) {
        AdClassRecord record;
        ASSERT_EQ(adClassByName(d, c.dxfName, &record), 1);
        EXPECT_EQ(c.getter(d), record.number) << c.dxfName;
    }
}

// What decides the data is visible in how many bytes adObjectDefaults writes.
TEST_F(ObjectTypesTest, TypeCodesChooseTheDataOfTheirKind) {
    ASSERT_EQ(adClassRegister(d, "HATCH", "AcDbHatch", "Test", 0, 498, 0), 500);
    ASSERT_EQ(adClassRegister(d, "IMAGEDEF", "AcDbRasterImageDef", "Test", 0, 499, 0), 501);
    // A damaged CLASSES section that gives a class a fixed type's code.
    adClassNumSet(d, "LAYOUT", AD_OBJECT_GROUP);

    struct Case {
        const char* name;
        std::int16_t type;
        std::size_t size;
    };
    const Case cases[] = {
        {"type 0 names no absent class", 0, sizeof(AdProxyObjectData)},
        {"an entity class is no object", 500, sizeof(AdProxyObjectData)},
        {"an unregistered number", 777, sizeof(AdProxyObjectData)},
        {"a registered object class", 501, sizeof(AdImageDefData)},
        {"a fixed code stays fixed", AD_OBJECT_GROUP, sizeof(AdGroupData)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AdObjectHeader h = header(c.type, 0);
        AdObjectData data = canaryData();
        ASSERT_EQ(adObjectDefaults(d, &h, &data), 1);
        EXPECT_FALSE(untouchedFrom(data, c.size - 1));
        EXPECT_TRUE(untouchedFrom(data, c.size));
    }
}
