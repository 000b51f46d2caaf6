// Class-numbered objects of bit-coded DWG files that the corpus does not
// show: each object's data is written with the bit writer and read back by
// the class readers, from just after the object's start.
#include "toolkit/db/bit_fixture.h"
#include "toolkit/ad.h"
#include "toolkit/db/dwg/dwg_file.h"
#include "toolkit/db/dwg/dwg_objects.h"
#include "toolkit/ad_internal.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr std::int16_t kImageDefClass = 503;
constexpr std::int16_t kDimAssocClass = 510;
constexpr std::int16_t kSpatialFilterClass = 511;
constexpr std::int16_t kSpatialIndexClass = 512;
constexpr std::int16_t kLayerIndexClass = 513;
constexpr std::int16_t kProxyObject = 499;

const AdHandle kOwn = handleOf(0x40);

class DwgClassObjectsTest : public BitFixture {
protected:
    void SetUp() override {
        BitFixture::SetUp();
        drawing_->version = AD_VERSION_AC1015;
        drawing_->classNumbers[AD_CLASS_IMAGEDEF] = kImageDefClass;
        drawing_->classNumbers[AD_CLASS_DIMASSOC] = kDimAssocClass;
        drawing_->classNumbers[AD_CLASS_SPATIAL_FILTER] = kSpatialFilterClass;
        drawing_->classNumbers[AD_CLASS_SPATIAL_INDEX] = kSpatialIndexClass;
        drawing_->classNumbers[AD_CLASS_LAYER_INDEX] = kLayerIndexClass;
    }

    void TearDown() override {
        adObjectFreeData(drawing_.get(), &header_, &data_);
        BitFixture::TearDown();
    }

    void restart() {
        adObjectFreeData(drawing_.get(), &header_, &data_);
        header_ = AdObjectHeader{};
        data_ = AdObjectData{};
        ASSERT_EQ(adBitBufferReset(drawing_.get(), 0), 1);
    }

    // The data ends here; the handles follow.
    void endData() { dataBits_ = bitsWritten(); }

    // The common handles: owner, no reactors, no extension dictionary.
    void writeTail() {
        const AdHandle owner = handleOf(0x0C);
        const AdHandle none{};
        adBitWriteHandle(&owner, 0x40);
        adBitWriteHandle(&none, 0x30);
    }

    // Reads what was written as an object of the type, as the object start
    // leaves the reader: in the read buffer, the data's bit size known.
    int read(std::int16_t type) {
        const std::vector<std::uint8_t> bytes = writtenBytes();
        std::copy(bytes.begin(), bytes.end(), readBuffer_.begin());
        AdBitStream* bs = adDwgBitStreamOver(drawing_.get(), 0, static_cast<std::int32_t>(bytes.size()));
        bs->bitSize = dataBits_;
        header_.type = type;
        header_.handle = kOwn;
        return adDwgReadClassData(drawing_.get(), &header_, &data_);
    }

    AdObjectHeader header_{};
    AdObjectData data_{};
    std::int32_t dataBits_ = 0;
};

std::vector<std::uint8_t> storeBytes(AdStore* store) {
    std::vector<std::uint8_t> bytes(store ? static_cast<std::size_t>(adStoreSize(store)) : 0);
    AdStream* in = store ? adStreamOpenRead(store) : nullptr;
    if (in) {
        adStreamRead(in, bytes.data(), static_cast<std::int32_t>(bytes.size()));
        adStreamCloseRead(in);
    }
    return bytes;
}

// ----- DIMASSOC -----

struct Reference {
    std::string className;
    std::uint8_t snap;
    std::vector<std::string> path;  // hexadecimal handle texts of the main object's path
    std::int32_t intersectionLast;   // the last intersection value; a handle text follows when not 0
    bool hasLast;
    std::string intersectionText = "2A";
};

bool crosses(const Reference& r) { return r.snap == 6 || r.snap == 11; }

void writeReference(const Reference& r) {
    adBitWriteText(r.className.c_str());
    adBitWriteByte(r.snap);
    adBitWriteLong(r.path.empty() ? 0 : 1);
    if (!r.path.empty()) {
        adBitWriteLong(2);
        adBitWriteLong(9);
        adBitWriteLong(static_cast<std::int32_t>(r.path.size()));
        for (const std::string& text : r.path) adBitWriteText(text.c_str());
    }
    adBitWriteDouble(0.25);
    const double point[3] = {1, 2, 3};
    adBitWrite3D(point);
    if (crosses(r)) {
        adBitWriteLong(1);
        adBitWriteLong(4);
        adBitWriteLong(5);
        adBitWriteLong(r.intersectionLast);
        if (r.intersectionLast != 0) adBitWriteText(r.intersectionText.c_str());
    }
    adBitWriteBit(r.hasLast ? 1 : 0);
}

int hookCalls = 0;
int countingHook(std::int32_t) {
    ++hookCalls;
    return 1;
}

class DwgDimAssocTest : public DwgClassObjectsTest {
protected:
    // A DIMASSOC with these references; the dimension is 0x77, the main
    // object of reference i 0x100 + i, its intersection object 0x200 + i.
    void write(std::int32_t flags, const std::vector<Reference>& references) {
        adBitWriteLong(flags);
        adBitWriteBit(1);
        adBitWriteByte(2);
        for (const Reference& r : references) writeReference(r);
        endData();
        writeTail();
        const AdHandle dimension = handleOf(0x77);
        adBitWriteHandle(&dimension, 0x50);
        for (std::size_t i = 0; i < references.size(); ++i) {
            const AdHandle main = handleOf(0x100 + i);
            const AdHandle cross = handleOf(0x200 + i);
            if (!references[i].path.empty()) adBitWriteHandle(&main, 0x50);
            if (crosses(references[i])) adBitWriteHandle(&cross, 0x50);
        }
    }

    // Reads with a host hook installed, which must neither hear anything nor
    // be replaced afterwards.
    int readWithHook() {
        hookCalls = 0;
        adGlobals->hooks.fatalError = countingHook;
        const int result = read(kDimAssocClass);
        EXPECT_EQ(adGlobals->hooks.fatalError, countingHook);
        EXPECT_EQ(hookCalls, 0);
        adGlobals->hooks.fatalError = nullptr;
        return result;
    }
};

TEST_F(DwgDimAssocTest, PointReferencesFollowTheFlagsAndTheLastReferenceFlag) {
    const Reference plain{"AcDbOsnapPointRef", 1, {"1F"}, 0, false};
    const Reference crossing{"AcDbOsnapPointRef", 6, {"2B", "2C"}, 3, false};
    Reference last = plain;
    last.hasLast = true;
    const struct {
        const char* name;
        std::int32_t flags;
        std::vector<Reference> references;
    } cases[] = {
        {"two by the flags", 0x5, {plain, crossing}},
        {"a third by the last-reference flag", 0x5, {last, plain, crossing}},
        {"four, one without a path", 0xF, {plain, {"AcDbOsnapPointRef", 2, {}, 0, false}, crossing, plain}},
        {"only the low four bits count", 0x31, {crossing}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        restart();
        write(c.flags, c.references);
        ASSERT_EQ(readWithHook(), 1);
        const AdDimAssocData& d = data_.dimAssoc;
        EXPECT_EQ(d.associativity, c.flags);
        EXPECT_EQ(d.transSpace, 1);
        EXPECT_EQ(d.rotatedType, 2);
        EXPECT_EQ(valueOf(d.dimension), 0x77u);
        EXPECT_EQ(valueOf(header_.owner), 0x0Cu);
        ASSERT_EQ(d.referenceCount, static_cast<std::int16_t>(c.references.size()));
        for (std::size_t i = 0; i < c.references.size(); ++i) {
            const Reference& want = c.references[i];
            const AdDimAssocReference& r = d.references[i];
            SCOPED_TRACE(i);
            EXPECT_STREQ(r.className, want.className.c_str());
            EXPECT_EQ(r.snapType, want.snap);
            ASSERT_EQ(r.pathCount, static_cast<std::int16_t>(want.path.size()));
            for (std::size_t p = 0; p < want.path.size(); ++p)
                EXPECT_EQ(valueOf(r.path[p]), std::stoull(want.path[p], nullptr, 16));
            EXPECT_EQ(r.point[2], 3.0);
            EXPECT_EQ(r.hasLastReference, want.hasLast ? 1 : 0);
            EXPECT_EQ(valueOf(r.mainObject), want.path.empty() ? 0u : 0x100u + i);
            EXPECT_EQ(valueOf(r.intersectionObject), crosses(want) ? 0x200u + i : 0u);
            EXPECT_EQ(valueOf(r.intersectionHandle), crosses(want) ? 0x2Au : 0u);
            EXPECT_EQ(r.intersectionValues[2], crosses(want) ? 3 : 0);
        }
    }
}

TEST_F(DwgDimAssocTest, LongPathsAndSurplusReferencesAreReadAndDropped) {
    Reference longPath{"AcDbOsnapPointRef", 1, {}, 0, true};
    for (int i = 0; i < AD_DIMASSOC_PATH_SIZE + 3; ++i) longPath.path.push_back(std::to_string(100 + i));
    // Four by the flags and three more by the last-reference flags.
    std::vector<Reference> references(7, longPath);
    for (std::size_t i = 3; i < references.size(); ++i) references[i].hasLast = false;
    write(0xF, references);
    ASSERT_EQ(readWithHook(), 1);
    const AdDimAssocData& d = data_.dimAssoc;
    ASSERT_EQ(d.referenceCount, AD_DIMASSOC_REFERENCE_COUNT);
    EXPECT_EQ(d.references[0].pathCount, AD_DIMASSOC_PATH_SIZE);
    EXPECT_EQ(valueOf(d.references[0].path[AD_DIMASSOC_PATH_SIZE - 1]),
              std::stoull(longPath.path[AD_DIMASSOC_PATH_SIZE - 1], nullptr, 16));
    EXPECT_EQ(valueOf(d.references[4].mainObject), 0x104u);
    EXPECT_EQ(valueOf(d.dimension), 0x77u);
}

// A bad object fails quietly, and the hook the host installed is the one
// installed afterwards, whichever way the read ended.
TEST_F(DwgDimAssocTest, ABadObjectFailsAndTheInstalledHookStays) {
    const struct {
        const char* name;
        Reference reference;
        std::int32_t dataBytes;  // where the data is said to end; 0: where it does
    } cases[] = {
        {"a path handle of 17 digits", {"AcDbOsnapPointRef", 1, {"12345678901234567"}, 0, false}, 0},
        {"an intersection handle of 18 digits", {"AcDbOsnapPointRef", 11, {}, 7, false, "123456789012345678"}, 0},
        {"the data ends in the class name", {std::string(40, 'C'), 1, {"1F"}, 0, false}, 20},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        restart();
        write(0x1, {c.reference});
        if (c.dataBytes > 0) dataBits_ = c.dataBytes * 8;
        EXPECT_EQ(readWithHook(), 0);
    }
}

// ----- SPATIAL_FILTER, SPATIAL_INDEX, LAYER_INDEX -----

TEST_F(DwgClassObjectsTest, SpatialFilterKeepsItsBoundaryAndTransforms) {
    const struct {
        const char* name;
        std::int16_t frontClip;
        std::int16_t backClip;
    } cases[] = {{"no clips", 0, 0}, {"front clip", 1, 0}, {"back clip", 0, 1}, {"both", 1, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        restart();
        adBitWriteShort(3);
        for (int i = 0; i < 3; ++i) {
            const double point[2] = {i * 10.0, i * 10.0 + 1};
            adBitWriteRaw2D(point);
        }
        const double normal[3] = {0, 0, 1};
        const double origin[3] = {5, 6, 7};
        adBitWrite3D(normal);
        adBitWrite3D(origin);
        adBitWriteShort(1);
        adBitWriteShort(c.frontClip);
        if (c.frontClip) adBitWriteDouble(2.5);
        adBitWriteShort(c.backClip);
        if (c.backClip) adBitWriteDouble(-4.5);
        for (int i = 0; i < 24; ++i) adBitWriteDouble(i + 1);
        endData();
        writeTail();
        ASSERT_EQ(read(kSpatialFilterClass), 1);
        const AdSpatialFilterData& d = data_.spatialFilter;
        EXPECT_EQ(d.pointCount, 3);
        std::vector<double> boundary(6);
        const std::vector<std::uint8_t> bytes = storeBytes(d.boundary);
        ASSERT_EQ(bytes.size(), 6 * sizeof(double));
        std::memcpy(boundary.data(), bytes.data(), bytes.size());
        EXPECT_EQ(boundary, (std::vector<double>{0, 1, 10, 11, 20, 21}));
        EXPECT_EQ(d.origin[2], 7.0);
        EXPECT_EQ(d.displayBoundary, 1);
        EXPECT_EQ(d.frontClip, c.frontClip);
        EXPECT_EQ(d.frontDistance, c.frontClip ? 2.5 : 0.0);
        EXPECT_EQ(d.backClip, c.backClip);
        EXPECT_EQ(d.backDistance, c.backClip ? -4.5 : 0.0);
        // Rows of four in the file, kept column by column.
        EXPECT_EQ(d.inverseTransform[0], 1.0);
        EXPECT_EQ(d.inverseTransform[1], 5.0);
        EXPECT_EQ(d.inverseTransform[3], 2.0);
        EXPECT_EQ(d.inverseTransform[11], 12.0);
        EXPECT_EQ(d.clipTransform[2], 21.0);
        EXPECT_EQ(valueOf(header_.owner), 0x0Cu);
    }
}

TEST_F(DwgClassObjectsTest, SpatialFilterWithANegativeOrOverlongBoundaryFails) {
    for (std::int16_t count : {std::int16_t{-1}, std::int16_t{40}}) {
        SCOPED_TRACE(count);
        restart();
        adBitWriteShort(count);
        const double point[2] = {1, 2};
        adBitWriteRaw2D(point);
        endData();
        writeTail();
        EXPECT_EQ(read(kSpatialFilterClass), 0);
    }
}

TEST_F(DwgClassObjectsTest, SpatialIndexBytesMustLieInTheData) {
    const struct {
        const char* name;
        std::int32_t declared;
        int result;
    } cases[] = {{"all there", 5, 1}, {"none", 0, 1}, {"one more than the data holds", 9, 0}, {"negative", -1, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        restart();
        adBitWriteLong(2451545);
        adBitWriteLong(1000);
        for (int i = 0; i < 6; ++i) adBitWriteDouble(i);
        adBitWriteLong(c.declared);
        const std::uint8_t bytes[5] = {1, 2, 3, 4, 5};
        adBitWriteBytes(bytes, c.declared == 5 ? 5 : 0);
        adBitWriteLong(1);
        // The rest of the data: 13 bits.
        adBitWriteShort(0x7F);
        adBitWriteBit(1);
        endData();
        writeTail();
        ASSERT_EQ(read(kSpatialIndexClass), c.result);
        if (!c.result) continue;
        const AdSpatialIndexData& d = data_.spatialIndex;
        EXPECT_EQ(d.timeStamp.day, 2451545);
        EXPECT_EQ(d.timeStamp.milliseconds, 1000);
        EXPECT_EQ(d.extents[5], 5.0);
        EXPECT_EQ(storeBytes(d.bytes), std::vector<std::uint8_t>(bytes, bytes + c.declared));
        EXPECT_EQ(d.flag, 1);
        EXPECT_EQ(d.remainingBits, 11);
        EXPECT_EQ(valueOf(header_.owner), 0x0Cu);
    }
}

TEST_F(DwgClassObjectsTest, LayerIndexKeepsCountedNamesAndTheirBuffers) {
    adBitWriteLong(2451545);
    adBitWriteLong(7);
    adBitWriteLong(2);
    adBitWriteLong(3);
    adBitWriteText("0");
    adBitWriteLong(12);
    adBitWriteText("Walls");
    endData();
    writeTail();
    for (std::uint64_t h : {0x51u, 0x52u}) {
        const AdHandle buffer = handleOf(h);
        adBitWriteHandle(&buffer, 0x50);
    }
    ASSERT_EQ(read(kLayerIndexClass), 1);
    const AdLayerIndexData& d = data_.layerIndex;
    EXPECT_EQ(d.timeStamp.milliseconds, 7);
    EXPECT_EQ(d.entryCount, 2);
    const std::vector<std::uint8_t> names = storeBytes(d.names);
    const std::vector<std::uint8_t> expected = {3, 0, 0, 0, 1, 0, '0', 12, 0, 0, 0, 5, 0, 'W', 'a', 'l', 'l', 's'};
    EXPECT_EQ(names, expected);
    const std::vector<std::uint8_t> handles = storeBytes(d.handles);
    ASSERT_EQ(handles.size(), 16u);
    EXPECT_EQ(handles[7], 0x51);
    EXPECT_EQ(handles[15], 0x52);
}

// ----- Proxy objects -----

// A proxy object whose class is read here and that says it keeps that
// class's own form is read as that class; anything else stays a proxy.
TEST_F(DwgClassObjectsTest, ProxyObjectsOfKnownClassesAreReadAsThoseClasses) {
    const struct {
        const char* name;
        std::int16_t version;
        std::int32_t classId;
        int flag;
        std::int16_t type;
    } cases[] = {
        {"AC1015, own form of IMAGEDEF", AD_VERSION_AC1015, kImageDefClass, 0, kImageDefClass},
        {"AC1015, proxy form", AD_VERSION_AC1015, kImageDefClass, 1, kProxyObject},
        {"AC1015, a class read nowhere", AD_VERSION_AC1015, 530, 0, kProxyObject},
        {"AC1015, not a class number", AD_VERSION_AC1015, 70000, 0, kProxyObject},
        {"AC1014 always keeps the proxy form", AD_VERSION_AC1014, kImageDefClass, 0, kProxyObject},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        restart();
        drawing_->version = c.version;
        if (c.version == AD_VERSION_AC1015) {
            adBitWriteLong(c.classId);
            adBitWriteLong(4);
            adBitWriteBit(c.flag);
        } else {
            adBitWriteLong(99);
            adBitWriteLong(c.classId);
        }
        adBitWriteLong(0);
        const double size[2] = {640, 480};
        adBitWriteRaw2D(size);
        adBitWriteText("photo.png");
        adBitWriteBit(1);
        adBitWriteByte(2);
        adBitWriteRaw2D(size);
        endData();
        writeTail();
        ASSERT_EQ(read(kProxyObject), 1);
        ASSERT_EQ(header_.type, c.type);
        EXPECT_EQ(valueOf(header_.owner), 0x0Cu);
        if (c.type == kImageDefClass) {
            EXPECT_EQ(data_.imageDef.imageSize[1], 480.0);
            EXPECT_STREQ(data_.imageDef.filePath, "photo.png");
            EXPECT_EQ(data_.imageDef.resolutionUnits, 2);
            continue;
        }
        const AdProxyObjectData& d = data_.proxy;
        EXPECT_EQ(d.classId, c.classId);
        EXPECT_EQ(d.instanceCount, c.version == AD_VERSION_AC1015 ? 4 : 0);
        EXPECT_EQ(d.formatFlag, c.version == AD_VERSION_AC1015 ? c.flag : 1);
        EXPECT_GT(d.dataBits, 0);
    }
}

}  // namespace
