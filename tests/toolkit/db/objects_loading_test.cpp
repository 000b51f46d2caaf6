// Loading the objects section: each kind stored, bad objects passed over,
// zombie objects kept as proxies, and allocation failures that lose and leak
// nothing.
#include "toolkit/ad.h"
#include "toolkit/db/host_fault.h"
#include "toolkit/db/load_stages.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "handle_values.h"
#include "started_toolkit.h"

namespace {

// One object the fake reader announces: its type, handle, whether it comes
// with extended data, and whether its reader fails after taking a store.
struct ScriptedObject {
    std::int16_t type;
    std::uint64_t handle;
    bool xdata;
    bool fails;
};

std::vector<ScriptedObject> script;
std::size_t next = 0;
std::size_t current = 0;
bool beginFails = false;

// A store owns memory from its creation: one the loader drops shows as a leak.
AdStore* ownedStore() { return adStoreCreate(AD_STORE_BLOCK_SIZE); }

int fakeBegin(AdDrawing*) { return beginFails ? 0 : 1; }

int fakeNextObject(AdDrawing*) {
    if (next >= script.size()) return 0;
    current = next++;
    return script[current].type;
}

// Every reader takes a store the object owns (a dictionary's entries, a
// proxy's data), so that a store the loader drops shows as a leak.
int fakeRead(AdDrawing*, AdObjectHeader* header, void* data, std::uint8_t* xdataFlag) {
    const ScriptedObject& o = script[current];
    header->type = o.type;
    header->handle = H(o.handle);
    header->reactors = ownedStore();
    header->reactorCount = 1;
    if (o.type == AD_OBJECT_DICTIONARY) static_cast<AdDictionaryData*>(data)->entries = ownedStore();
    if (o.xdata) {
        // One application block (handle 12) holding the integer 42, then the end.
        static const std::uint8_t raw[] = {3, 0, 0x01, 0x12, 70, 42, 0, 0, 0};
        std::memcpy(adGlobals->buffer32kA, raw, sizeof raw);
        adGlobals->xdataLength = sizeof raw;
        *xdataFlag = 1;
    }
    return o.fails ? 0 : 1;
}

class ObjectsLoading : public StartedToolkit {
protected:
    void SetUp() override {
        StartedToolkit::SetUp();
        script.clear();
        next = current = 0;
        beginFails = false;
        ops.beginObjects = fakeBegin;
        ops.nextObject = fakeNextObject;
        ops.readDictionary = ops.readMlineStyle = ops.readGroup = ops.readClassObject = fakeRead;
        d = adCreateDrawing();
        ASSERT_NE(d, nullptr);
        d->version = 7;
        d->readOps = &ops;
        ASSERT_EQ(adRegisterStandardClasses(d), 1);
        adGlobals->errorCode = AD_STAGE_OBJECTS;
    }
    void TearDown() override {
        HostFailAllocationAfter(-1);
        adCloseDrawing(d);
        StartedToolkit::TearDown();
    }

    std::vector<std::int16_t> storedTypes() {
        std::vector<std::int16_t> types;
        AdObjectHeader header{};
        AdObjectData data;
        adObjectRewind(d);
        while (adObjectNext(d, &header, &data)) types.push_back(header.type);
        return types;
    }

    AdReadOps ops{};
    AdDrawing* d = nullptr;
};

// Objects of every reader come in file order; a failing object and one whose
// handle is taken are noted and passed over, their stores freed (the leak
// checker sees any left), and the stage's code stays.
TEST_F(ObjectsLoading, StoresEachKindAndPassesOverBadObjects) {
    const std::int16_t xrecord = adClassNumXrecord(d);
    script = {{AD_OBJECT_DICTIONARY, 0x10, true, false}, {AD_OBJECT_MLINESTYLE, 0x11, false, false},
              {AD_OBJECT_GROUP, 0x12, false, false},     {xrecord, 0x13, false, true},
              {xrecord, 0x14, true, false},              {AD_OBJECT_DICTIONARY, 0x10, false, false}};
    ASSERT_EQ(adLoadObjects(d), 1);
    EXPECT_EQ(adGlobals->errorCode, AD_STAGE_OBJECTS);
    EXPECT_EQ(storedTypes(), (std::vector<std::int16_t>{AD_OBJECT_DICTIONARY, AD_OBJECT_MLINESTYLE,
                                                        AD_OBJECT_GROUP, xrecord}));
    AdObjectHeader header{};
    AdObjectData data;
    const AdHandle dictionary = H(0x10);
    const AdHandle failing = H(0x13);
    ASSERT_EQ(adObjectByHandle(d, &dictionary, &header, &data), 1);
    ASSERT_NE(header.xdata, nullptr);
    AdStream* stream = adStreamOpenRead(header.xdata);
    AdXdataItem item{};
    ASSERT_EQ(adXdataReadItem(stream, &item), 1);
    EXPECT_EQ(item.code, 1001);
    ASSERT_EQ(adXdataReadItem(stream, &item), 1);
    EXPECT_EQ(item.code, 1070);
    EXPECT_EQ(item.value.int16, 42);
    adStreamCloseRead(stream);
    ASSERT_EQ(d->loadErrorCount, 2);
    EXPECT_EQ(adHandleCompare(&d->loadErrors[0].handle, &failing), 0);
    EXPECT_EQ(d->loadErrors[1].code, AD_ERR_DUPLICATE_HANDLE);
    EXPECT_EQ(adHandleCompare(&d->loadErrors[1].handle, &dictionary), 0);
}

TEST_F(ObjectsLoading, SectionThatCannotBeBegunFailsTheStage) {
    beginFails = true;
    script = {{AD_OBJECT_DICTIONARY, 0x10, false, false}};
    EXPECT_EQ(adLoadObjects(d), 0);
    EXPECT_EQ(adObjectCount(d), 0);
}

// R13 files keep zombie objects under their class number; later files and
// other classes keep theirs.
TEST_F(ObjectsLoading, R13ZombieObjectsBecomeProxies) {
    d->zombieObjectClass = 777;
    for (std::int16_t version : {5, 6}) {
        script = {{777, static_cast<std::uint64_t>(0x20 + version), false, false}};
        next = 0;
        d->version = version;
        ASSERT_EQ(adLoadObjects(d), 1);
    }
    EXPECT_EQ(storedTypes(), (std::vector<std::int16_t>{499, 777}));
}

// Whichever allocation fails, the section still loads: every object is either
// stored or noted, and nothing it owned is left behind.
TEST_F(ObjectsLoading, AllocationFailuresLoseNoObjectAndLeakNothing) {
    const std::int16_t xrecord = adClassNumXrecord(d);
    for (int n = 0; n < 40; ++n) {
        script = {{AD_OBJECT_DICTIONARY, 0x10, false, false}, {xrecord, 0x11, false, false}};
        next = 0;
        adCloseDrawing(d);
        d = adCreateDrawing();
        ASSERT_NE(d, nullptr);
        d->version = 7;
        d->readOps = &ops;
        ASSERT_EQ(adRegisterStandardClasses(d), 1);
        HostFailAllocationAfter(n);
        const int result = adLoadObjects(d);
        HostFailAllocationAfter(-1);
        EXPECT_EQ(result, 1) << n;
        EXPECT_EQ(adObjectCount(d) + d->loadErrorCount, 2) << n;
    }
}

}  // namespace
