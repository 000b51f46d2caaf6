// The object list: round trips of every object type, type checks on update,
// delete errors, the cursor, defaults, the class flag an add clears, refused
// adds, cut texts and the release of every store.
#include "object_fixture.h"
#include "toolkit/ad.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <initializer_list>
#include <vector>

namespace {

using TypeOf = std::int16_t (*)(const AdDrawing*);

// One object type: how its type code is had, how large its data is, how a
// test fills it (seed varies the values, never the stores) and which of its
// fields are stores the object owns.
struct ObjectCase {
    const char* name;
    TypeOf type;
    std::size_t size;
    void (*fill)(AdObjectData& data, int seed);
    std::vector<std::size_t> stores;
};

constexpr std::int16_t kProxyType = 499;

const std::vector<ObjectCase>& objectCases() {
    static const std::vector<ObjectCase> cases = {
        {"DICTIONARY", [](const AdDrawing*) { return AD_OBJECT_DICTIONARY; }, sizeof(AdDictionaryData),
         [](AdObjectData& o, int seed) { o.dictionary.entryCount = seed;
             o.dictionary.cloning = 1; },
         {offsetof(AdDictionaryData, entries)}},
        {"MLINESTYLE", [](const AdDrawing*) { return AD_OBJECT_MLINESTYLE; }, sizeof(AdMlineStyleData),
         [](AdObjectData& o, int seed) {
             std::strcpy(o.mlineStyle.name, seed == 1 ? "Standard" : "Other");
             o.mlineStyle.endAngle = seed;
         },
         {offsetof(AdMlineStyleData, elements)}},
        {"GROUP", [](const AdDrawing*) { return AD_OBJECT_GROUP; }, sizeof(AdGroupData),
         [](AdObjectData& o, int seed) { std::strcpy(o.group.description, "doors");
             o.group.memberCount = seed; },
         {offsetof(AdGroupData, members)}},
        {"XRECORD", adClassNumXrecord, sizeof(AdXrecordData),
         [](AdObjectData& o, int seed) { o.xrecord.dataBits = 8 * seed; },
         {offsetof(AdXrecordData, items)}},
        {"DIMASSOC", adClassNumDimAssoc, sizeof(AdDimAssocData),
         [](AdObjectData& o, int seed) {
             o.dimAssoc.dimension = H(0x77);
             std::strcpy(o.dimAssoc.references[4].className, "AcDbOsnapPointRef");
             o.dimAssoc.references[4].intersectionObject = H(seed);
         },
         {}},
        {"IDBUFFER", adClassNumIdBuffer, sizeof(AdIdBufferData),
         [](AdObjectData& o, int seed) { o.idBuffer.count = seed; }, {offsetof(AdIdBufferData, handles)}},
        {"DICTIONARYVAR", adClassNumDictionaryVar, sizeof(AdDictionaryVarData),
         [](AdObjectData& o, int seed) { std::strcpy(o.dictionaryVar.value, seed == 1 ? "1" : "2"); }, {}},
        {"IMAGEDEF", adClassNumImageDef, sizeof(AdImageDefData),
         [](AdObjectData& o, int seed) { std::strcpy(o.imageDef.filePath, "c:\\img.png");
             o.imageDef.pixelSize[1] = seed; },
         {}},
        {"IMAGEDEF_REACTOR", adClassNumImageDefReactor, sizeof(AdImageDefReactorData),
         [](AdObjectData& o, int seed) { o.imageDefReactor.classVersion = seed; },
         {offsetof(AdImageDefReactorData, image)}},
        {"LAYER_INDEX", adClassNumLayerIndex, sizeof(AdLayerIndexData),
         [](AdObjectData& o, int seed) { o.layerIndex.timeStamp = {2451545, seed}; },
         {offsetof(AdLayerIndexData, names), offsetof(AdLayerIndexData, handles)}},
        {"OBJECT_PTR", adClassNumObjectPtr, sizeof(AdObjectPtrData),
         [](AdObjectData& o, int seed) { o.objectPtr.dataBits = seed; }, {offsetof(AdObjectPtrData, data)}},
        {"RASTERVARIABLES", adClassNumRasterVariables, sizeof(AdRasterVariablesData),
         [](AdObjectData& o, int seed) { o.rasterVariables.units = static_cast<std::int16_t>(seed); }, {}},
        {"SORTENTSTABLE", adClassNumSortentsTable, sizeof(AdSortentsTableData),
         [](AdObjectData& o, int seed) { o.sortentsTable.block = H(seed); },
         {offsetof(AdSortentsTableData, sortHandles), offsetof(AdSortentsTableData, entityHandles)}},
        {"SPATIAL_FILTER", adClassNumSpatialFilter, sizeof(AdSpatialFilterData),
         [](AdObjectData& o, int seed) { o.spatialFilter.clipTransform[11] = seed; },
         {offsetof(AdSpatialFilterData, boundary)}},
        {"SPATIAL_INDEX", adClassNumSpatialIndex, sizeof(AdSpatialIndexData),
         [](AdObjectData& o, int seed) { o.spatialIndex.extents[5] = seed; },
         {offsetof(AdSpatialIndexData, bytes), offsetof(AdSpatialIndexData, remaining)}},
        {"ACDBDICTIONARYWDFLT", adClassNumDictionaryWithDefault, sizeof(AdDictionaryWithDefaultData),
         [](AdObjectData& o, int seed) { o.dictionaryWithDefault.defaultEntry = H(seed); },
         {offsetof(AdDictionaryWithDefaultData, entries)}},
        {"ACDBPLACEHOLDER", adClassNumPlaceholder, sizeof(AdPlaceholderData),
         [](AdObjectData& o, int seed) { o.placeholder.spare = static_cast<std::int16_t>(seed); }, {}},
        {"LAYOUT", adClassNumLayout, sizeof(AdLayoutData),
         [](AdObjectData& o, int seed) {
             std::strcpy(o.layout.name, "Layout1");
             std::strcpy(o.layout.plotSettings.styleSheet, "mono.ctb");
             o.layout.namedUcs = H(seed);
         },
         {}},
        {"PLOTSETTINGS", adClassNumPlotSettings, sizeof(AdPlotSettingsData),
         [](AdObjectData& o, int seed) { o.plotSettings.imageOrigin[1] = seed; }, {}},
        {"VBA_PROJECT", adClassNumVbaProject, sizeof(AdVbaProjectData),
         [](AdObjectData& o, int seed) { o.vbaProject.size = seed; }, {offsetof(AdVbaProjectData, data)}},
        {"WIPEOUTVARIABLES", adClassNumWipeoutVariables, sizeof(AdWipeoutVariablesData),
         [](AdObjectData& o, int seed) { o.wipeoutVariables.displayFrame = static_cast<std::int16_t>(seed); }, {}},
        {"proxy", [](const AdDrawing*) { return kProxyType; }, sizeof(AdProxyObjectData),
         [](AdObjectData& o, int seed) { o.proxy.classId = 512;
             o.proxy.referenceCount = seed; },
         {offsetof(AdProxyObjectData, data), offsetof(AdProxyObjectData, references)}},
    };
    return cases;
}

bool sameBytes(const void* a, const void* b, std::size_t size) { return std::memcmp(a, b, size) == 0; }

}  // namespace

class ObjectsTest : public ObjectTest {
protected:
    void SetUp() override {
        ObjectTest::SetUp();
        registerObjectClasses();
    }

    // A header and data of the case's type, with fresh stores in every field
    // the object owns.
    void makeObject(const ObjectCase& c, std::uint64_t handle, AdObjectHeader* h, AdObjectData* data) {
        *h = header(c.type(d), handle);
        h->owner = H(0x1);
        h->xdata = filledStore();
        h->reactors = filledStore();
        h->reactorCount = 1;
        *data = zeroData();
        c.fill(*data, 1);
        for (std::size_t offset : c.stores) {
            AdStore* store = filledStore();
            std::memcpy(reinterpret_cast<std::uint8_t*>(data) + offset, &store, sizeof store);
        }
    }
};

TEST_F(ObjectsTest, EveryTypeRoundTripsThroughAddUpdateAndDelete) {
    std::uint64_t handle = 0x100;
    for (const ObjectCase& c : objectCases()) {
        SCOPED_TRACE(c.name);
        AdObjectHeader h;
        AdObjectData in;
        makeObject(c, ++handle, &h, &in);
        ASSERT_EQ(adObjectAdd(d, &h, &in), 1);
        EXPECT_EQ(adObjectCount(d), 1);

        // Exactly the type's bytes come back; the rest of the buffer is not written.
        AdObjectHeader back;
        AdObjectData out = canaryData();
        const AdHandle key = H(handle);
        ASSERT_EQ(adObjectByHandle(d, &key, &back, &out), 1);
        EXPECT_TRUE(sameBytes(&back, &h, sizeof h));
        EXPECT_TRUE(sameBytes(&out, &in, c.size));
        EXPECT_TRUE(untouchedFrom(out, c.size));

        AdObjectHeader changed = h;
        changed.owner = H(0x2);
        c.fill(in, 2);
        ASSERT_EQ(adObjectUpdate(d, &changed, &in), 1);
        out = canaryData();
        ASSERT_EQ(adObjectByHandle(d, &key, &back, &out), 1);
        EXPECT_EQ(V(back.owner), 0x2u);
        EXPECT_TRUE(sameBytes(&out, &in, c.size));

        // The stores go with the object (a leak shows under the sanitizer).
        ASSERT_EQ(adObjectDelete(d, &key), 1);
        EXPECT_EQ(adObjectCount(d), 0);
        EXPECT_EQ(adHandleIndexFind(d, &key), nullptr);
        EXPECT_EQ(adObjectDelete(d, &key), 0);
        EXPECT_EQ(state.get()->errorCode, AD_ERR_OBJECT_NOT_FOUND);
    }
}

TEST_F(ObjectsTest, UpdateRefusesAnotherTypeAndUnknownHandles) {
    AdObjectHeader h = header(adClassNumXrecord(d), 0x10);
    AdObjectData data = zeroData();
    data.xrecord.dataBits = 64;
    ASSERT_EQ(adObjectAdd(d, &h, &data), 1);

    AdObjectHeader other = header(AD_OBJECT_DICTIONARY, 0x10);
    AdObjectData otherData = zeroData();
    otherData.dictionary.entryCount = 9;
    EXPECT_EQ(adObjectUpdate(d, &other, &otherData), 0);
    EXPECT_EQ(state.get()->errorCode, AD_ERR_OBJECT_TYPE);

    AdObjectHeader back;
    AdObjectData out = zeroData();
    const AdHandle key = H(0x10);
    ASSERT_EQ(adObjectByHandle(d, &key, &back, &out), 1);
    EXPECT_EQ(back.type, adClassNumXrecord(d));
    EXPECT_EQ(out.xrecord.dataBits, 64);

    adClearError();
    AdObjectHeader unknown = header(adClassNumXrecord(d), 0x99);
    EXPECT_EQ(adObjectUpdate(d, &unknown, &data), 0);
    EXPECT_EQ(state.get()->errorCode, AD_OK);
}

TEST_F(ObjectsTest, DeleteReportsUnknownHandlesAndRecordsOfOtherLists) {
    AdLayerRecord layer;
    adDefaultLayerRecord(d, &layer);
    std::strcpy(layer.name, "0");
    layer.handle = H(0x20);
    ASSERT_EQ(adLayerAdd(d, &layer), 1);
    AdObjectHeader h = header(AD_OBJECT_DICTIONARY, 0x21);
    AdObjectData data = zeroData();
    ASSERT_EQ(adObjectAdd(d, &h, &data), 1);

    struct Case {
        std::uint64_t handle;
        std::int32_t code;
    };
    for (const Case& c : {Case{0x99, AD_ERR_OBJECT_NOT_FOUND}, Case{0x20, AD_ERR_OBJECT_NOT_CURRENT}}) {
        const AdHandle key = H(c.handle);
        EXPECT_EQ(adObjectDelete(d, &key), 0);
        EXPECT_EQ(state.get()->errorCode, c.code);
    }
    EXPECT_EQ(adLayerCount(d), 1);
    EXPECT_EQ(adObjectCount(d), 1);

    // A successful delete starts from a clear error code.
    state.get()->errorCode = 99;
    const AdHandle key = H(0x21);
    EXPECT_EQ(adObjectDelete(d, &key), 1);
    EXPECT_EQ(state.get()->errorCode, AD_OK);
}

TEST_F(ObjectsTest, CursorWalksInOrderAndByHandleMovesIt) {
    AdObjectHeader h;
    AdObjectData data = zeroData();
    AdObjectData out;
    EXPECT_EQ(adObjectRewind(d), 1);
    EXPECT_EQ(adObjectNext(d, &h, &out), 0);

    const std::vector<std::int16_t> types = {AD_OBJECT_DICTIONARY, adClassNumLayout(d), AD_OBJECT_GROUP};
    for (std::size_t i = 0; i < types.size(); ++i) {
        h = header(types[i], 0x30 + i);
        ASSERT_EQ(adObjectAdd(d, &h, &data), 1);
    }
    adObjectRewind(d);
    for (std::size_t i = 0; i < types.size(); ++i) {
        ASSERT_EQ(adObjectNext(d, &h, &out), 1);
        EXPECT_EQ(V(h.handle), 0x30 + i);
        EXPECT_EQ(h.type, types[i]);
    }
    EXPECT_EQ(adObjectNext(d, &h, &out), 0);
    EXPECT_EQ(adObjectNext(d, &h, &out), 0);
    adObjectRewind(d);
    ASSERT_EQ(adObjectNext(d, &h, &out), 1);
    EXPECT_EQ(V(h.handle), 0x30u);

    const AdHandle middle = H(0x31);
    ASSERT_EQ(adObjectByHandle(d, &middle, &h, &out), 1);
    ASSERT_EQ(adObjectNext(d, &h, &out), 1);
    EXPECT_EQ(V(h.handle), 0x32u);

    // Handles of no object answer 0 without an error code, the cursor kept.
    AdLayerRecord layer;
    adDefaultLayerRecord(d, &layer);
    layer.handle = H(0x40);
    ASSERT_EQ(adLayerAdd(d, &layer), 1);
    adObjectRewind(d);
    for (std::uint64_t handle : {0x40, 0x99}) {
        const AdHandle key = H(handle);
        EXPECT_EQ(adObjectByHandle(d, &key, &h, &out), 0);
        EXPECT_EQ(state.get()->errorCode, AD_OK);
    }
    ASSERT_EQ(adObjectNext(d, &h, &out), 1);
    EXPECT_EQ(V(h.handle), 0x30u);
}

TEST_F(ObjectsTest, DefaultsGiveEachTypeItsTemplateAndNoStrayStores) {
    struct Case {
        const char* name;
        void (*expect)(AdObjectData& data);  // changes from all zero; null for none
    };
    const Case templates[] = {
        {"MLINESTYLE",
         [](AdObjectData& o) {
             o.mlineStyle.flags = 1;
             o.mlineStyle.elementCount = 2;
             o.mlineStyle.startAngle = o.mlineStyle.endAngle = 1.5707963267948966;
         }},
        {"GROUP", [](AdObjectData& o) { o.group.selectable = 1; }},
        {"LAYOUT",
         [](AdObjectData& o) {
             AdPlotSettingsData& p = o.layout.plotSettings;
             p.scaleNumerator = p.scaleDenominator = p.scaleFactor = 1.0;
         }},
        {"PLOTSETTINGS",
         [](AdObjectData& o) {
             o.plotSettings.scaleNumerator = o.plotSettings.scaleDenominator = o.plotSettings.scaleFactor = 1.0;
         }},
        {"WIPEOUTVARIABLES", [](AdObjectData& o) { o.wipeoutVariables.displayFrame = 1; }},
    };
    std::uint64_t handle = 0x200;
    for (const ObjectCase& c : objectCases()) {
        SCOPED_TRACE(c.name);
        AdObjectHeader h;
        std::memset(static_cast<void*>(&h), 0xAB, sizeof h);
        h.type = c.type(d);
        AdObjectData data = canaryData();
        ASSERT_EQ(adObjectDefaults(d, &h, &data), 1);

        AdObjectHeader zero = header(c.type(d), 0);
        EXPECT_TRUE(sameBytes(&h, &zero, sizeof h));
        AdObjectData expected = zeroData();
        for (const Case& t : templates)
            if (std::strcmp(t.name, c.name) == 0) t.expect(expected);
        EXPECT_TRUE(sameBytes(&data, &expected, c.size));
        EXPECT_TRUE(untouchedFrom(data, c.size));

        // Stored and deleted, a new object frees nothing that is not its own.
        h.handle = H(++handle);
        ASSERT_EQ(adObjectAdd(d, &h, &data), 1);
        EXPECT_EQ(adObjectDelete(d, &h.handle), 1);
    }
}

TEST_F(ObjectsTest, AddClearsTheTopBitOfItsClassOnlyWhenStored) {
    AdClassRecord before;
    ASSERT_EQ(adClassByName(d, "LAYOUT", &before), 1);
    AdObjectHeader h = header(adClassNumLayout(d), 0x50);
    AdObjectData data = zeroData();
    ASSERT_EQ(adObjectAdd(d, &h, &data), 1);

    AdClassRecord after;
    ASSERT_EQ(adClassByName(d, "LAYOUT", &after), 1);
    EXPECT_EQ(before.proxyFlags, 0x8001);
    EXPECT_EQ(after.proxyFlags, 0x0001);

    // A refused add (duplicate handle) leaves its class alone.
    AdObjectHeader duplicate = header(adClassNumXrecord(d), 0x50);
    EXPECT_EQ(adObjectAdd(d, &duplicate, &data), 0);
    ASSERT_EQ(adClassByName(d, "XRECORD", &after), 1);
    EXPECT_EQ(after.proxyFlags, 0x8001);

    // Fixed types and proxies belong to no class.
    for (std::int16_t type : {AD_OBJECT_DICTIONARY, kProxyType}) {
        h = header(type, 0x51 + type);
        ASSERT_EQ(adObjectAdd(d, &h, &data), 1);
    }
    for (const char* name : kObjectClassNames) {
        if (std::strcmp(name, "LAYOUT") == 0) continue;
        ASSERT_EQ(adClassByName(d, name, &after), 1);
        EXPECT_EQ(after.proxyFlags, 0x8001) << name;
    }
}

TEST_F(ObjectTest, XrecordWithoutItsClassIsStoredAndChangesNoClass) {
    ASSERT_GT(adClassRegister(d, "LAYOUT", "AcDbLayout", "Test", 0x8000, 499, 0), 1);
    const std::int16_t unknownClass = 600;
    AdObjectHeader h = header(unknownClass, 0x60);
    AdObjectData data = zeroData();
    ASSERT_EQ(adObjectAdd(d, &h, &data), 1);
    EXPECT_EQ(adObjectCount(d), 1);
    AdClassRecord layout;
    ASSERT_EQ(adClassByName(d, "LAYOUT", &layout), 1);
    EXPECT_EQ(layout.proxyFlags, 0x8000);
}

TEST_F(ObjectsTest, RefusedAddsLeaveNeitherRecordNorIndexEntry) {
    AdObjectHeader h = header(adClassNumLayout(d), 0x70);
    AdObjectData data = zeroData();
    const AdHandle key = H(0x70);
    int failures = 0;
    for (std::int32_t n = 0;; ++n) {
        HostFailAllocationAfter(n);
        if (adObjectAdd(d, &h, &data) == 1) break;
        ++failures;
        EXPECT_TRUE(state.get()->errorCode == AD_ERR_RECORD_MEMORY_INSERT ||
                    state.get()->errorCode == AD_ERR_INDEX_REFUSED)
            << state.get()->errorCode;
        EXPECT_EQ(adObjectCount(d), 0);
        EXPECT_EQ(adHandleIndexFind(d, &key), nullptr);
        ASSERT_LT(n, 16);
    }
    HostFailAllocationAfter(-1);
    EXPECT_GT(failures, 0);
    EXPECT_EQ(adObjectCount(d), 1);

    struct Case {
        std::uint64_t handle;
        std::int32_t code;
    };
    for (const Case& c : {Case{0x70, AD_ERR_DUPLICATE_HANDLE}, Case{0, AD_ERR_NULL_HANDLE_KEY}}) {
        AdObjectHeader refused = header(AD_OBJECT_DICTIONARY, c.handle);
        EXPECT_EQ(adObjectAdd(d, &refused, &data), 0);
        EXPECT_EQ(state.get()->errorCode, c.code);
    }
    EXPECT_EQ(adObjectCount(d), 1);
    AdObjectHeader back;
    ASSERT_EQ(adObjectByHandle(d, &key, &back, &data), 1);
    EXPECT_EQ(back.type, adClassNumLayout(d));
}

TEST_F(ObjectsTest, TextsAreCutToTheirFields) {
    AdObjectData data = filledData('x');
    AdObjectHeader h = header(adClassNumLayout(d), 0x80);
    ASSERT_EQ(adObjectAdd(d, &h, &data), 1);
    h = header(adClassNumDimAssoc(d), 0x81);
    ASSERT_EQ(adObjectAdd(d, &h, &data), 1);
    h = header(AD_OBJECT_MLINESTYLE, 0x82);
    data.mlineStyle.elements = nullptr;
    ASSERT_EQ(adObjectAdd(d, &h, &data), 1);

    const std::size_t full = AD_OBJECT_NAME_SIZE - 1;
    AdObjectData out;
    adObjectRewind(d);
    ASSERT_EQ(adObjectNext(d, &h, &out), 1);
    const AdPlotSettingsData& p = out.layout.plotSettings;
    for (const char* text : std::initializer_list<const char*>{out.layout.name, p.pageSetupName, p.plotConfiguration, p.paperSize, p.plotViewName,
                             p.styleSheet})
        EXPECT_EQ(std::strlen(text), full);
    ASSERT_EQ(adObjectNext(d, &h, &out), 1);
    for (const AdDimAssocReference& reference : out.dimAssoc.references)
        EXPECT_EQ(std::strlen(reference.className), full);
    ASSERT_EQ(adObjectNext(d, &h, &out), 1);
    EXPECT_EQ(std::strlen(out.mlineStyle.name), full);
    EXPECT_EQ(std::strlen(out.mlineStyle.description), AD_OBJECT_SHORT_TEXT_SIZE - 1);
}

// An object keeps the size it was stored with when its type code later
// becomes a class of larger data: reading, updating and deleting it must not
// reach past its record.
TEST_F(ObjectTest, StoredObjectsKeepTheirSizeWhenClassNumbersChange) {
    const std::int16_t number = 500;
    AdObjectHeader h = header(number, 0x90);
    AdObjectData data = zeroData();
    data.proxy.data = filledStore();
    ASSERT_EQ(adObjectAdd(d, &h, &data), 1);
    ASSERT_EQ(adClassRegister(d, "LAYOUT", "AcDbLayout", "Test", 0, 499, 0), number);

    AdObjectData out = canaryData();
    ASSERT_EQ(adObjectByHandle(d, &h.handle, &h, &out), 1);
    EXPECT_TRUE(untouchedFrom(out, sizeof(AdProxyObjectData)));
    AdObjectData layout = zeroData();
    EXPECT_EQ(adObjectUpdate(d, &h, &layout), 0);
    EXPECT_EQ(state.get()->errorCode, AD_ERR_OBJECT_TYPE);
    EXPECT_EQ(adObjectDelete(d, &h.handle), 1);
}

TEST_F(ObjectsTest, FreeDataAndTheListReleaseEveryStore) {
    std::uint64_t handle = 0x300;
    for (const ObjectCase& c : objectCases()) {
        AdObjectHeader h;
        AdObjectData data;
        makeObject(c, ++handle, &h, &data);
        ASSERT_EQ(adObjectAdd(d, &h, &data), 1) << c.name;
    }

    // Freed one by one, the pointers are cleared so that nothing is freed twice.
    const ObjectCase& sortents = objectCases()[12];
    ASSERT_STREQ(sortents.name, "SORTENTSTABLE");
    AdObjectHeader h;
    AdObjectData data;
    makeObject(sortents, 0x400, &h, &data);
    EXPECT_EQ(adObjectFreeData(d, &h, &data), 1);
    EXPECT_EQ(h.xdata, nullptr);
    EXPECT_EQ(h.reactors, nullptr);
    EXPECT_EQ(data.sortentsTable.sortHandles, nullptr);
    EXPECT_EQ(data.sortentsTable.entityHandles, nullptr);
    EXPECT_EQ(adObjectFreeData(d, &h, &data), 1);

    EXPECT_EQ(adFreeObjectList(d), 1);
    EXPECT_EQ(d->objects, nullptr);
    EXPECT_EQ(adObjectCount(d), 0);
}
