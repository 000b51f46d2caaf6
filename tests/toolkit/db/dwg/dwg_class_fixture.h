// An entity object of an AC1012+ file written with the bit writer and read
// back by the entity readers: the data fields the test writes, then the
// shared handle references (a null extension dictionary and a layer; no
// links, linetype and plot style by layer), then the entity's own handles.
#pragma once
#include "toolkit/db/bit_fixture.h"
#include "toolkit/db/store_bytes.h"
#include "toolkit/ad.h"
#include "toolkit/db/dwg/dwg_entities.h"
#include "toolkit/db/dwg/dwg_file.h"
#include "toolkit/db/entity_list_steps.h"
#include "toolkit/ad_internal.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <initializer_list>
#include <vector>

constexpr std::uint16_t kOle2Frame = 500;
constexpr std::uint16_t kHatch = 501;
constexpr std::uint16_t kLwpolyline = 502;
constexpr std::uint16_t kImage = 503;
constexpr std::uint16_t kRtext = 504;
constexpr std::uint16_t kArcText = 505;
constexpr std::uint16_t kWipeout = 506;
constexpr std::uint16_t kAdpart = 507;
constexpr std::uint16_t kOtherClass = 520;
constexpr std::uint64_t kEntity = 0x100;
constexpr std::uint64_t kLayer = 0x10;

class DwgClassFixture : public BitFixture {
protected:
    void SetUp() override {
        BitFixture::SetUp();
        const AdClassSlot slots[] = {AD_CLASS_OLE2FRAME, AD_CLASS_HATCH,          AD_CLASS_LWPOLYLINE, AD_CLASS_IMAGE,
                                     AD_CLASS_RTEXT,     AD_CLASS_ARCALIGNEDTEXT, AD_CLASS_WIPEOUT};
        for (std::size_t i = 0; i < std::size(slots); ++i)
            drawing_->classNumbers[slots[i]] = static_cast<std::int16_t>(kOle2Frame + i);
        drawing_->adpartClass = kAdpart;
        AdGlobalState::AdDwgEntityRefs& refs = adGlobals->dwgEntity;
        refs = {};
        refs.noLinks = 1;
        refs.linetypeByLayer = 1;
        adGlobals->angleNormalisation = 1;
    }

    void TearDown() override {
        adEntityFreeStores(drawing_.get(), &header_, &data_);
        BitFixture::TearDown();
    }

    // Starts the object's data for a file of that version.
    void begin(std::int16_t version) {
        drawing_->version = version;
        ASSERT_EQ(adBitBufferReset(drawing_.get(), 0), 1);
    }

    // Ends the data, writes the handles and puts the reader over the object.
    void finish(std::initializer_list<std::uint64_t> own = {}, std::initializer_list<std::uint64_t> refs = {}) {
        const std::int32_t dataBits = bitsWritten();
        const AdHandle none{};
        const AdHandle layer = handleOf(kLayer);
        adBitWriteHandle(&none, 0x30);
        adBitWriteHandle(&layer, 0x50);
        for (std::uint64_t value : own) {
            const AdHandle h = handleOf(value);
            adBitWriteHandle(&h, 0x50);
        }
        for (std::uint64_t value : refs) {
            const AdHandle h = handleOf(value);
            adBitWriteHandle(&h, 0x30);
        }
        adBitWriteByte(0);
        adBitWriteByte(0);
        const std::vector<std::uint8_t> bytes = writtenBytes();
        std::copy(bytes.begin(), bytes.end(), readBuffer_.begin());
        AdBitStream* bs = adDwgBitStreamOver(drawing_.get(), 0, static_cast<std::int32_t>(bytes.size()));
        bs->bitSize = dataBits;
    }

    // The reader of a class-numbered entity over stale data, then the
    // graphics the object start read hung on the kind it settled on.
    int readClass(std::uint16_t type, AdStore* graphics = nullptr) {
        header_ = AdEntityHeader{};
        header_.handle = handleOf(kEntity);
        header_.type = type;
        std::memset(&data_, 0xA5, sizeof data_);
        const int read = adDwgReadClassEntity(drawing_.get(), &header_, &data_);
        adDwgAttachClassStore(drawing_.get(), &header_, &data_, graphics, 1);
        return read;
    }

    // A fixed-type reader, its entity type set for the stores' release.
    int readFixed(int (*reader)(AdDrawing*, AdEntityHeader*, AdEntityData*), std::uint16_t entityType) {
        header_ = AdEntityHeader{};
        header_.handle = handleOf(kEntity);
        header_.type = entityType;
        std::memset(&data_, 0xA5, sizeof data_);
        return reader(drawing_.get(), &header_, &data_);
    }

    // The reader of the entity type: SPLINE, 3DSOLID, or a class number.
    int readType(std::uint16_t type) {
        if (type == AD_ENTITY_SPLINE) return readFixed(adDwgReadSpline, type);
        if (type == AD_ENTITY_3DSOLID) return readFixed(adDwgReadSatEntity, type);
        return readClass(type);
    }

    AdEntityHeader header_{};
    AdEntityData data_{};
};

inline void write2D(double x, double y) {
    const double p[2] = {x, y};
    adBitWriteRaw2D(p);
}

inline void write3D(double x, double y, double z) {
    const double p[3] = {x, y, z};
    adBitWrite3D(p);
}

// A fit-point SPLINE up to its count of fit points: degree 2, fit
// tolerance 0.01, tangents along x and y.
inline void writeFitSplineHead(std::int32_t fitPoints) {
    adBitWriteShort(2);
    adBitWriteShort(2);
    adBitWriteDouble(0.01);
    write3D(1, 0, 0);
    write3D(0, 1, 0);
    adBitWriteLong(fitPoints);
}

// An IMAGE or WIPEOUT up to its clip boundary type: at (1, 2, 0), 640 x 480
// pixels, display properties 7, clipped, brightness 50, contrast 60, fade 10.
inline void writeImageHead(std::int16_t boundary) {
    adBitWriteLong(0);
    write3D(1, 2, 0);
    write3D(0.01, 0, 0);
    write3D(0, 0.01, 0);
    write2D(640, 480);
    adBitWriteShort(7);
    adBitWriteBit(1);
    adBitWriteByte(50);
    adBitWriteByte(60);
    adBitWriteByte(10);
    adBitWriteShort(boundary);
}

// An entity's data as a case of a table writes it.
struct WrittenEntity {
    const char* name;
    std::uint16_t type;
    std::function<void()> write;
};

// The doubles of a store.
inline std::vector<double> Doubles(AdStore* store) {
    const std::vector<std::uint8_t> bytes = ReadAll(store);
    std::vector<double> values(bytes.size() / sizeof(double));
    std::memcpy(values.data(), bytes.data(), values.size() * sizeof(double));
    return values;
}

// Bytes of values laid out as a store keeps them.
struct Layout {
    std::vector<std::uint8_t> bytes;
    template <typename T>
    Layout& put(T value) {
        const auto* p = reinterpret_cast<const std::uint8_t*>(&value);
        bytes.insert(bytes.end(), p, p + sizeof value);
        return *this;
    }
    Layout& doubles(std::initializer_list<double> values) {
        for (double v : values) put(v);
        return *this;
    }
};
