// Objects the corpus lacks, saved as bit-coded DWG of each version and read
// back by our reader field by field; extension dictionaries of objects and
// entities; LWPOLYLINEs of an AC1012 file; the round-trip version numbers.
#include "dwg_structure.h"
#include "dwg_writer_harness.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace {
AdStore* storeOfBytes(const std::vector<std::uint8_t>& bytes) {
    AdStore* store = adStoreCreate(AD_STORE_BLOCK_SIZE);
    AdStream* out = adStreamOpenWrite(store);
    adStreamWrite(out, bytes.data(), static_cast<std::int32_t>(bytes.size()));
    adStreamCloseWrite(out);
    return store;
}

AdStore* storeOfDoubles(const std::vector<double>& values) {
    AdStore* store = adStoreCreate(AD_STORE_BLOCK_SIZE);
    AdStream* out = adStreamOpenWrite(store);
    for (double v : values) adStreamWriteDouble(out, &v);
    adStreamCloseWrite(out);
    return store;
}

std::vector<std::uint8_t> handleBytes(const std::vector<AdHandle>& handles) {
    std::vector<std::uint8_t> bytes;
    for (const AdHandle& h : handles) bytes.insert(bytes.end(), h.b, h.b + sizeof h.b);
    return bytes;
}

AdStore* storeOfHandles(const std::vector<AdHandle>& handles) { return storeOfBytes(handleBytes(handles)); }

std::vector<std::uint8_t> bytesOf(AdStore* store) {
    std::vector<std::uint8_t> bytes(store ? static_cast<std::size_t>(adStoreSize(store)) : 0);
    AdStream* in = store ? adStreamOpenRead(store) : nullptr;
    if (in) adStreamRead(in, bytes.data(), static_cast<std::int32_t>(bytes.size()));
    if (in) adStreamCloseRead(in);
    return bytes;
}

constexpr std::uint64_t kLine = 0x20;

// The fixture drawing with one object of each kind the corpus does not
// hold, a DIMASSOC, an XRECORD and the LINE each with an extension
// dictionary, and two LWPOLYLINEs (three vertices and none).
class DwgR13Objects : public StartedToolkit {
protected:
    void SetUp() override {
        StartedToolkit::SetUp();
        adInstallDwgReadOps();
        adInstallDxfReadOps();
        drawing_ = adOpenDrawing((std::string(VT_TEST_DATA_DIR) + "/write/round_trip_entry.dxf").c_str(), 1, 0);
        ASSERT_NE(drawing_, nullptr);
        for (const char* name : {"IDBUFFER", "LAYER_INDEX", "SPATIAL_FILTER", "SPATIAL_INDEX", "OBJECT_PTR",
                                 "VBA_PROJECT", "DIMASSOC"})
            ASSERT_GE(adClassRegister(drawing_, name, "AcDbTest", "\"AutoCAD\"", 0, 499, 0), 1) << name;
        ASSERT_GE(adClassRegister(drawing_, "LWPOLYLINE", "AcDbPolyline", "\"AutoCAD\"", 0, 498, 0), 1);
        lwpolyline_ = adClassNumLwpolyline(drawing_);
        ASSERT_GT(lwpolyline_, 0);

        auto data = std::make_unique<AdObjectData>();
        std::memset(data.get(), 0, sizeof *data);
        data->idBuffer.count = 2;
        data->idBuffer.handles = storeOfHandles({handleOf(kLine), handleOf(0xD)});
        idBuffer_ = add(adClassNumIdBuffer(drawing_), data.get());

        std::memset(data.get(), 0, sizeof *data);
        AdLayerIndexData& li = data->layerIndex;
        li.timeStamp = {2451545, 43200000};
        li.entryCount = 1;
        li.names = storeOfBytes({5, 0, 0, 0, 1, 0, '0'});
        li.handles = storeOfHandles({idBuffer_});
        layerIndex_ = add(adClassNumLayerIndex(drawing_), data.get());

        std::memset(data.get(), 0, sizeof *data);
        AdSpatialFilterData& sf = data->spatialFilter;
        sf.pointCount = 3;
        sf.boundary = storeOfDoubles({0, 0, 4, 0, 4, 3});
        sf.normal[2] = 1;
        sf.origin[0] = 1, sf.origin[1] = 2, sf.origin[2] = 3;
        sf.displayBoundary = 1;
        sf.frontClip = 1;
        sf.frontDistance = 2.5;
        for (int i = 0; i < 12; ++i) sf.inverseTransform[i] = i + 1, sf.clipTransform[i] = 20 + i;
        spatialFilter_ = add(adClassNumSpatialFilter(drawing_), data.get());

        std::memset(data.get(), 0, sizeof *data);
        AdSpatialIndexData& si = data->spatialIndex;
        si.timeStamp = {2451546, 1000};
        for (int i = 0; i < 6; ++i) si.extents[i] = i * 1.5;
        si.byteCount = 4;
        si.bytes = storeOfBytes({1, 2, 3, 4});
        si.remainingBits = 5;
        si.remaining = storeOfBytes({0xA8});
        spatialIndex_ = add(adClassNumSpatialIndex(drawing_), data.get());

        std::memset(data.get(), 0, sizeof *data);
        data->objectPtr.dataBits = 12;
        data->objectPtr.data = storeOfBytes({0xDE, 0xA0});
        objectPtr_ = add(adClassNumObjectPtr(drawing_), data.get());

        std::memset(data.get(), 0, sizeof *data);
        std::vector<std::uint8_t> project(600);
        for (std::size_t i = 0; i < project.size(); ++i) project[i] = static_cast<std::uint8_t>(i * 7);
        data->vbaProject.size = static_cast<std::int32_t>(project.size());
        data->vbaProject.data = storeOfBytes(project);
        vbaProject_ = add(adClassNumVbaProject(drawing_), data.get());

        std::memset(data.get(), 0, sizeof *data);
        AdDimAssocData& da = data->dimAssoc;
        da.associativity = 1;
        da.rotatedType = 2;
        da.referenceCount = 1;
        da.dimension = handleOf(kLine);
        AdDimAssocReference& r = da.references[0];
        std::strcpy(r.className, "AcDbOsnapPointRef");
        r.snapType = 6;
        r.mainObjectFlag = 1;
        r.subentityType = 1;
        r.subentityValue = 7;
        r.pathCount = 1;
        r.path[0] = handleOf(kLine);
        r.parameter = 0.5;
        r.point[0] = 3, r.point[1] = 4;
        r.intersectionFlag = 1;
        r.intersectionValues[0] = 1, r.intersectionValues[1] = 2, r.intersectionValues[2] = 1;
        r.intersectionHandle = handleOf(kLine);
        r.mainObject = handleOf(kLine);
        r.intersectionObject = handleOf(kLine);
        dimAssoc_ = add(adClassNumDimAssoc(drawing_), data.get());

        // An XRECORD and the LINE, each with an extension dictionary.
        std::memset(data.get(), 0, sizeof *data);
        xrecord_ = add(adClassNumXrecord(drawing_), data.get());
        xrecordDictionary_ = addDictionary(xrecord_);
        AdObjectHeader header{};
        ASSERT_TRUE(adObjectByHandle(drawing_, &xrecord_, &header, data.get()));
        header.extensionDictionary = xrecordDictionary_;
        ASSERT_TRUE(adObjectUpdate(drawing_, &header, data.get()));
        lineDictionary_ = addDictionary(handleOf(kLine));
        auto entity = std::make_unique<AdEntityHeader>();
        auto entityData = std::make_unique<AdEntityData>();
        const AdHandle line = handleOf(kLine);
        ASSERT_TRUE(adEntityByHandle(drawing_, drawing_->modelSpace, &line, entity.get(), entityData.get()));
        entity->extensionDictionary = lineDictionary_;
        ASSERT_TRUE(adEntityUpdate(drawing_, drawing_->modelSpace, &line, entity.get(), entityData.get()));

        for (std::int32_t vertices : {3, 0}) {
            AdEntityHeader lw = *entity;
            lw.type = static_cast<std::uint16_t>(lwpolyline_);
            lw.extensionDictionary = AdHandle{};
            ASSERT_TRUE(adNextHandle(drawing_, &lw.handle));
            std::memset(entityData.get(), 0, sizeof *entityData);
            entityData->lwpolyline.vertexCount = vertices;
            entityData->lwpolyline.flags = 16;
            if (vertices) entityData->lwpolyline.vertices = storeOfDoubles({0, 0, 0.5, 4, 0, 0, 4, 3, 0});
            ASSERT_TRUE(adEntityAdd(drawing_, drawing_->modelSpace, &lw, entityData.get())) << adGlobals->errorCode;
            lwpolylines_.push_back(lw.handle);
        }
    }
    void TearDown() override {
        if (drawing_) adCloseDrawing(drawing_);
        StartedToolkit::TearDown();
    }

    AdHandle add(std::int16_t type, const AdObjectData* data) {
        AdObjectHeader header{};
        EXPECT_NE(type, 0);
        header.type = type;
        header.owner = handleOf(0xC);
        EXPECT_TRUE(adNextHandle(drawing_, &header.handle));
        EXPECT_TRUE(adObjectAdd(drawing_, &header, data)) << type << ": error " << adGlobals->errorCode;
        return header.handle;
    }
    AdHandle addDictionary(const AdHandle& owner) {
        auto data = std::make_unique<AdObjectData>();
        std::memset(data.get(), 0, sizeof *data);
        AdNameRecord entry{};
        std::strcpy(entry.name, "MINE");
        std::memset(data.get(), 0, sizeof *data);
        const AdHandle inner = add(adClassNumXrecord(drawing_), data.get());
        entry.handle = inner;
        AdStore* entries = adStoreCreate(AD_STORE_BLOCK_SIZE);
        AdStream* out = adStreamOpenWrite(entries);
        adStreamWriteNameRecord(out, &entry);
        adStreamCloseWrite(out);
        std::memset(data.get(), 0, sizeof *data);
        data->dictionary.entryCount = 1;
        data->dictionary.entries = entries;
        AdHandle handle = add(AD_OBJECT_DICTIONARY, data.get());
        AdObjectHeader header{};
        EXPECT_TRUE(adObjectByHandle(drawing_, &handle, &header, data.get()));
        header.owner = owner;
        EXPECT_TRUE(adObjectUpdate(drawing_, &header, data.get()));
        return handle;
    }

    // The drawing saved at the version and opened again.
    AdDrawing* saveAndOpen(std::int16_t version, std::vector<std::uint8_t>* file = nullptr) {
        const std::string out = (dir_.path() / "out.dwg").string();
        EXPECT_EQ(adSaveDrawing(drawing_, out.c_str(), 0, version, 1, 6, 0, 1), 1) << adGlobals->errorCode;
        const std::vector<std::uint8_t> bytes = readFileBytes(out);
        for (const std::string& fault : checkDwgStructure(bytes).faults) ADD_FAILURE() << version << ": " << fault;
        if (file) *file = bytes;
        AdDrawing* back = adOpenDrawing(out.c_str(), 1, 0);
        EXPECT_NE(back, nullptr) << version << ": error " << adGlobals->errorCode;
        return back;
    }

    AdDrawing* drawing_ = nullptr;
    TempDir dir_;
    std::int16_t lwpolyline_ = 0;
    AdHandle idBuffer_, layerIndex_, spatialFilter_, spatialIndex_, objectPtr_, vbaProject_, dimAssoc_;
    AdHandle xrecord_, xrecordDictionary_, lineDictionary_;
    std::vector<AdHandle> lwpolylines_;
};

struct Read {
    AdObjectHeader header{};
    std::unique_ptr<AdObjectData> data = std::make_unique<AdObjectData>();
};

Read readObject(AdDrawing* drawing, const AdHandle& handle) {
    Read r;
    EXPECT_TRUE(adObjectByHandle(drawing, &handle, &r.header, r.data.get())) << std::hex << valueOf(handle);
    return r;
}

TEST_F(DwgR13Objects, EveryKindReadsBackFieldByField) {
    for (std::int16_t version : {AD_VERSION_AC1012, AD_VERSION_AC1014, AD_VERSION_AC1015}) {
        SCOPED_TRACE(adVersionString(version));
        AdDrawing* back = saveAndOpen(version);
        ASSERT_NE(back, nullptr);

        const Read ids = readObject(back, idBuffer_);
        ASSERT_EQ(ids.data->idBuffer.count, 2);
        EXPECT_EQ(bytesOf(ids.data->idBuffer.handles), handleBytes({handleOf(kLine), handleOf(0xD)}));
        EXPECT_EQ(valueOf(ids.header.owner), 0xCu);

        const Read li = readObject(back, layerIndex_);
        EXPECT_EQ(li.data->layerIndex.timeStamp.day, 2451545);
        EXPECT_EQ(li.data->layerIndex.timeStamp.milliseconds, 43200000);
        ASSERT_EQ(li.data->layerIndex.entryCount, 1);
        EXPECT_EQ(bytesOf(li.data->layerIndex.names), (std::vector<std::uint8_t>{5, 0, 0, 0, 1, 0, '0'}));
        EXPECT_EQ(bytesOf(li.data->layerIndex.handles), handleBytes({idBuffer_}));

        const Read sf = readObject(back, spatialFilter_);
        const AdSpatialFilterData& f = sf.data->spatialFilter;
        ASSERT_EQ(f.pointCount, 3);
        EXPECT_EQ(adStoredDoubles(f.boundary, 6), (std::vector<double>{0, 0, 4, 0, 4, 3}));
        EXPECT_EQ(f.origin[2], 3.0);
        EXPECT_EQ(f.displayBoundary, 1);
        EXPECT_EQ(f.frontClip, 1);
        EXPECT_EQ(f.frontDistance, 2.5);
        EXPECT_EQ(f.backClip, 0);
        for (int i = 0; i < 12; ++i) {
            EXPECT_EQ(f.inverseTransform[i], i + 1);
            EXPECT_EQ(f.clipTransform[i], 20 + i);
        }

        // The index bytes belong to the version they were made at: a file
        // of another version goes without them.
        const Read si = readObject(back, spatialIndex_);
        const AdSpatialIndexData& x = si.data->spatialIndex;
        EXPECT_EQ(x.timeStamp.day, 2451546);
        EXPECT_EQ(x.extents[5], 7.5);
        EXPECT_EQ(x.byteCount, version == AD_VERSION_AC1015 ? 4 : 0);
        const std::vector<std::uint8_t> indexBytes = {1, 2, 3, 4};
        EXPECT_EQ(bytesOf(x.bytes), version == AD_VERSION_AC1015 ? indexBytes : std::vector<std::uint8_t>{});
        EXPECT_EQ(x.remainingBits, 5);
        EXPECT_EQ(bytesOf(x.remaining), std::vector<std::uint8_t>{0xA8});

        const Read op = readObject(back, objectPtr_);
        EXPECT_EQ(op.data->objectPtr.dataBits, 12);
        EXPECT_EQ(bytesOf(op.data->objectPtr.data), (std::vector<std::uint8_t>{0xDE, 0xA0}));

        const Read vba = readObject(back, vbaProject_);
        ASSERT_EQ(vba.data->vbaProject.size, 600);
        EXPECT_EQ(bytesOf(vba.data->vbaProject.data)[599], static_cast<std::uint8_t>(599 * 7));

        const Read da = readObject(back, dimAssoc_);
        const AdDimAssocData& d = da.data->dimAssoc;
        ASSERT_EQ(d.referenceCount, 1);
        EXPECT_EQ(d.rotatedType, 2);
        EXPECT_EQ(valueOf(d.dimension), kLine);
        const AdDimAssocReference& r = d.references[0];
        EXPECT_STREQ(r.className, "AcDbOsnapPointRef");
        EXPECT_EQ(r.subentityValue, 7);
        ASSERT_EQ(r.pathCount, 1);
        EXPECT_EQ(valueOf(r.path[0]), kLine);
        EXPECT_EQ(r.parameter, 0.5);
        EXPECT_EQ(r.point[1], 4.0);
        EXPECT_EQ(valueOf(r.intersectionHandle), kLine);
        EXPECT_EQ(valueOf(r.mainObject), kLine);
        EXPECT_EQ(valueOf(r.intersectionObject), kLine);

        // Extension dictionaries come back with the object and the entity
        // that own them, at every version.
        const Read xr = readObject(back, xrecord_);
        EXPECT_EQ(valueOf(xr.header.extensionDictionary), valueOf(xrecordDictionary_));
        EXPECT_EQ(valueOf(readObject(back, xrecordDictionary_).header.owner), valueOf(xrecord_));
        auto entity = std::make_unique<AdEntityHeader>();
        auto entityData = std::make_unique<AdEntityData>();
        const AdHandle line = handleOf(kLine);
        ASSERT_TRUE(adEntityByHandle(back, back->modelSpace, &line, entity.get(), entityData.get()));
        EXPECT_EQ(valueOf(entity->extensionDictionary), valueOf(lineDictionary_));
        EXPECT_EQ(valueOf(readObject(back, lineDictionary_).header.owner), kLine);
        adCloseDrawing(back);
    }
}

// AC1012 has no LWPOLYLINE: a POLYLINE under the LWPOLYLINE's handle, its
// vertices and SEQEND under new handles, all below the file's handle seed.
TEST_F(DwgR13Objects, Ac1012WritesLwpolylinesAsPolylines) {
    std::vector<std::uint8_t> file;
    // The reader would gather the POLYLINEs into LWPOLYLINEs again.
    const std::uint8_t gathering = adGlobals->polylineConversion;
    adGlobals->polylineConversion = 0;
    AdDrawing* back = saveAndOpen(AD_VERSION_AC1012, &file);
    adGlobals->polylineConversion = gathering;
    ASSERT_NE(back, nullptr);
    const DwgStructure s = checkDwgStructure(file);
    const std::uint64_t seed = valueOf(back->header->handseed);
    for (std::uint64_t h : s.handles) EXPECT_LT(h, seed) << std::hex << h;
    int polylines = 0;
    int vertices = 0;
    int seqends = 0;
    std::vector<double> points;
    auto header = std::make_unique<AdEntityHeader>();
    auto data = std::make_unique<AdEntityData>();
    adEntityRewind(back->modelSpace);
    while (adEntityNext(back->modelSpace, header.get(), data.get())) {
        EXPECT_NE(header->type, static_cast<std::uint16_t>(adClassNumLwpolyline(back)));
        if (header->type == AD_ENTITY_POLYLINE) ++polylines;
        if (header->type == AD_ENTITY_SEQEND) ++seqends;
        if (header->type != AD_ENTITY_VERTEX) continue;
        ++vertices;
        points.insert(points.end(), {data->vertex.point[0], data->vertex.point[1], data->vertex.bulge});
    }
    EXPECT_EQ(polylines, 2);
    EXPECT_EQ(vertices, 3);
    EXPECT_EQ(seqends, 2);
    EXPECT_EQ(points, (std::vector<double>{0, 0, 0.5, 4, 0, 0, 4, 3, 0}));
    for (const AdHandle& lw : lwpolylines_)
        EXPECT_NE(std::find(s.handles.begin(), s.handles.end(), valueOf(lw)), s.handles.end());
    adCloseDrawing(back);
}

// A drawing whose first object is no dictionary has no root dictionary,
// which a file must name: the save is refused, with nothing read amiss.
TEST_F(DwgR13Objects, ADrawingWithoutRootDictionaryIsRefused) {
    AdDrawing* drawing = adOpenDrawing((std::string(VT_TEST_DATA_DIR) + "/write/objects_without_root.dxf").c_str(), 1, 0);
    ASSERT_NE(drawing, nullptr);
    const std::string out = (dir_.path() / "rootless.dwg").string();
    for (std::int16_t version : {AD_VERSION_AC1012, AD_VERSION_AC1014, AD_VERSION_AC1015}) {
        EXPECT_EQ(adSaveDrawing(drawing, out.c_str(), 0, version, 1, 6, 0, 1), 0) << version;
        EXPECT_EQ(adGlobals->errorCode, AD_ERR_DWG_HANDLE_MISSING) << version;
    }
    adCloseDrawing(drawing);
}

TEST(RoundTripVersions, ProxyVersionNumbersNameTheirVersion) {
    const std::pair<std::int32_t, std::int16_t> cases[] = {
        {0, AD_VERSION_AC1002},  {8, AD_VERSION_AC1002},  {9, AD_VERSION_AC1006},  {10, AD_VERSION_AC1003},
        {11, AD_VERSION_AC1004}, {12, AD_VERSION_AC1006}, {13, AD_VERSION_AC1006}, {14, AD_VERSION_AC1009},
        {16, AD_VERSION_AC1009}, {17, AD_VERSION_AC1012}, {19, AD_VERSION_AC1012}, {20, AD_VERSION_AC1014},
        {21, AD_VERSION_AC1014}, {22, AD_VERSION_AC1015}, {40, AD_VERSION_AC1015}};
    for (const auto& [value, version] : cases) EXPECT_EQ(adRoundTripVersionIndex(value), version) << value;
}
}  // namespace
