// A fresh drawing over a zeroed global state for tests of the object list,
// with helpers to register the object classes and to make stores that own
// memory (so that a store left behind shows as a leak).
#pragma once
#include "handle_values.h"
#include "scratch_fixture.h"
#include "toolkit/ad.h"

#include <gtest/gtest.h>

#include <cstring>

// The object classes by DXF name, in the order their numbers are given out.
inline constexpr const char* kObjectClassNames[] = {
    "XRECORD",         "DIMASSOC",      "IDBUFFER",        "DICTIONARYVAR",       "IMAGEDEF",
    "IMAGEDEF_REACTOR", "LAYER_INDEX",  "OBJECT_PTR",      "RASTERVARIABLES",     "SORTENTSTABLE",
    "SPATIAL_FILTER",  "SPATIAL_INDEX", "ACDBDICTIONARYWDFLT", "ACDBPLACEHOLDER", "LAYOUT",
    "PLOTSETTINGS",    "VBA_PROJECT",   "WIPEOUTVARIABLES",
};

// Object data buffers: all zero, or all canary bytes to show which bytes an
// operation wrote.
constexpr std::uint8_t kCanary = 0xCD;

inline AdObjectData filledData(std::uint8_t byte) {
    AdObjectData data;
    std::memset(static_cast<void*>(&data), byte, sizeof data);
    return data;
}
inline AdObjectData zeroData() { return filledData(0); }
inline AdObjectData canaryData() { return filledData(kCanary); }

// 1 when every byte of the buffer from `from` on is still the canary.
inline bool untouchedFrom(const AdObjectData& data, std::size_t from) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&data);
    for (std::size_t i = from; i < sizeof data; ++i)
        if (bytes[i] != kCanary) return false;
    return true;
}

class ObjectTest : public ScratchFixture {
protected:
    void SetUp() override {
        d = adCreateDrawing();
        ASSERT_NE(d, nullptr);
    }
    void TearDown() override {
        HostFailAllocationAfter(-1);
        adFreeObjectList(d);
        adCloseDrawing(d);
    }

    // Every object class with the top bit of its proxy flags set.
    void registerObjectClasses() {
        for (const char* name : kObjectClassNames)
            ASSERT_GT(adClassRegister(d, name, "AcDbTest", "Test", 0x8001, 499, 0), 1) << name;
    }

    // A store holding a few bytes, so that it owns a block chain.
    static AdStore* filledStore() {
        AdStore* store = adStoreCreate(AD_STORE_BLOCK_SIZE);
        AdStream* stream = adStreamOpenWrite(store);
        const char bytes[] = "owned bytes";
        adStreamWrite(stream, bytes, sizeof bytes);
        adStreamCloseWrite(stream);
        return store;
    }

    static AdObjectHeader header(std::int16_t type, std::uint64_t handle) {
        AdObjectHeader h;
        std::memset(static_cast<void*>(&h), 0, sizeof h);
        h.type = type;
        h.handle = H(handle);
        return h;
    }

    AdDrawing* d = nullptr;
};
