// The bit-coded DWG writer's framing and layout: record sizes and bit
// sizes, the object map, the file header per version, the classes it adds
// and the order of its table records.
#include "toolkit/db/corpus/corpus_summary.h"
#include "toolkit/db/started_toolkit.h"
#include "toolkit/db/temp_dir.h"
#include "toolkit/write/dwg/dwg_writer.h"
#include "dwg_structure.h"
#include "dwg_writer_harness.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

namespace {

using DwgR13Writer = StartedToolkit;

TEST_F(DwgR13Writer, RecordSizeTakesOneWordBelow0x8000AndTwoFromIt) {
    // The head of an AC1015 record without handle or extended data takes 52
    // bits: type 10, bit size 32, handle 8, extended data 2.
    struct Case {
        std::int32_t dataBytes;
        std::vector<std::uint8_t> sizeBytes;
    };
    const Case cases[] = {{100, {0x64, 0x00}}, {0x7FFF, {0xFF, 0x7F}}, {0x8000, {0x00, 0x80, 0x01, 0x00}},
                          {0x8001, {0x01, 0x80, 0x01, 0x00}}};
    for (const Case& c : cases) {
        WriterHarness harness(AD_VERSION_AC1015);
        AdDwgWriter* writer = harness.get();
        const AdHandle none{};
        ASSERT_TRUE(adDwgRecordBegin(writer, 42, &none, nullptr, nullptr, false));
        const std::int64_t fill = static_cast<std::int64_t>(c.dataBytes) * 8 - 52 - 4;
        const std::vector<std::uint8_t> filler(static_cast<std::size_t>(fill / 8), 0xA5);
        adBitWriteBytes(filler.data(), static_cast<std::int32_t>(filler.size()));
        for (int i = 0; i < 4; ++i) adBitWriteBit(1);
        adDwgMarkDataEnd(writer);
        ASSERT_TRUE(adDwgRecordEnd(writer, &none));
        const std::vector<std::uint8_t> file = harness.bytes();
        const std::size_t head = c.sizeBytes.size();
        ASSERT_EQ(file.size(), head + static_cast<std::size_t>(c.dataBytes) + 2) << c.dataBytes;
        EXPECT_TRUE(std::equal(c.sizeBytes.begin(), c.sizeBytes.end(), file.begin())) << c.dataBytes;
        // The bit size counts from the type code, the placeholder included.
        std::uint32_t bits = 0;
        for (int i = 0; i < 32; ++i) {
            const std::size_t p = 10 + static_cast<std::size_t>(i);
            const int bit = (file[head + p / 8] >> (7 - p % 8)) & 1;
            bits |= static_cast<std::uint32_t>(bit) << (8 * (i / 8) + 7 - i % 8);
        }
        EXPECT_EQ(bits, static_cast<std::uint32_t>(c.dataBytes) * 8) << c.dataBytes;
    }
}

TEST_F(DwgR13Writer, ObjectMapListsHandlesAscendingInBoundedSections) {
    WriterHarness harness(AD_VERSION_AC1015);
    AdDwgWriter* writer = harness.get();
    // 1366 records, entered in falling handle order: more than one chunk.
    for (std::uint64_t i = 0; i < 1366; ++i)
        ASSERT_TRUE(adObjectMapAdd(writer, std::make_unique<AdHandle>(handleOf(5000 - 3 * i)).get(),
                                   static_cast<std::int32_t>(100 + 7 * i)));
    ASSERT_TRUE(adObjectMapWrite(writer));
    const std::vector<std::uint8_t> file = harness.bytes();
    DwgStructure s;
    const std::size_t taken = decodeObjectMap(file, 0, file.size(), &s);
    EXPECT_TRUE(s.faults.empty()) << s.faults.front();
    EXPECT_EQ(taken, file.size());
    ASSERT_EQ(s.handles.size(), 1366u);
    EXPECT_TRUE(std::is_sorted(s.handles.begin(), s.handles.end()));
    EXPECT_EQ(s.handles.front(), 5000u - 3 * 1365);
    EXPECT_EQ(s.offsets.front(), 100 + 7 * 1365);
    EXPECT_GT(s.mapSections, 1);
    // Every section but the closing one ends once it passed 2031 bytes: at
    // most one pair (of at most 15 bytes) beyond.
    for (std::size_t at = 0; at + 2 < file.size();) {
        const std::size_t size = (file[at] << 8) | file[at + 1];
        EXPECT_LE(size, 2031u + 15);
        at += size + 2;
    }
}

TEST_F(DwgR13Writer, AHandleWrittenTwiceFailsTheMap) {
    WriterHarness harness(AD_VERSION_AC1015);
    AdDwgWriter* writer = harness.get();
    const AdHandle a = handleOf(0x2A);
    const AdHandle b = handleOf(0x2B);
    ASSERT_TRUE(adObjectMapAdd(writer, &a, 10));
    ASSERT_TRUE(adObjectMapAdd(writer, &b, 20));
    ASSERT_TRUE(adObjectMapAdd(writer, &a, 30));
    EXPECT_FALSE(adObjectMapWrite(writer));
    EXPECT_EQ(adGlobals->errorCode, AD_ERR_DWG_DUPLICATE);
    EXPECT_EQ(valueOf(adGlobals->offendingHandle), 0x2Au);
}


// The fixture saved through the writer at each version, with a layer that
// is off at colour 7 and an erased one added.
class DwgR13File : public StartedToolkit {
protected:
    void SetUp() override {
        StartedToolkit::SetUp();
        adInstallDwgReadOps();
        adInstallDxfReadOps();
        const std::string path = std::string(VT_TEST_DATA_DIR) + "/write/round_trip_entry.dxf";
        drawing_ = adOpenDrawing(path.c_str(), 1, 0);
        ASSERT_NE(drawing_, nullptr);
        AdLayerRecord layer{};
        adLayerRewind(drawing_);
        ASSERT_TRUE(adLayerNext(drawing_, &layer));
        for (const char* name : {"OFFSEVEN", "GONE"}) {
            AdLayerRecord added = layer;
            added.xdata = nullptr;
            added.reactors = nullptr;
            added.reactorCount = 0;
            std::strcpy(added.name, name);
            ASSERT_TRUE(adNextHandle(drawing_, &added.handle));
            added.colour = -7;
            added.erased = name[0] == 'G';
            ASSERT_TRUE(adLayerAdd(drawing_, &added)) << adGlobals->errorCode;
        }
    }
    void TearDown() override {
        if (drawing_) adCloseDrawing(drawing_);
        StartedToolkit::TearDown();
    }
    std::vector<std::uint8_t> save(std::int16_t version) {
        const std::string out = (dir_.path() / "out.dwg").string();
        EXPECT_EQ(adSaveDrawing(drawing_, out.c_str(), 0, version, 1, 6, 0, 1), 1) << adGlobals->errorCode;
        return readFileBytes(out);
    }
    std::string outPath() const { return (dir_.path() / "out.dwg").string(); }

    AdDrawing* drawing_ = nullptr;
    TempDir dir_;
};

std::int32_t offsetOf(const DwgStructure& s, const AdHandle& handle) {
    for (std::size_t i = 0; i < s.handles.size(); ++i)
        if (s.handles[i] == valueOf(handle)) return s.offsets[i];
    return -1;
}

TEST_F(DwgR13File, FileHeaderClassesAndTableOrderPerVersion) {
    struct Case {
        std::int16_t version;
        const char* name;
        std::uint8_t maintenance;
        std::int32_t locators;
        std::int32_t extraClasses;  // the zombie classes only AC1012 lists
    };
    const Case cases[] = {{AD_VERSION_AC1012, "AC1012", 4, 4, 2}, {AD_VERSION_AC1014, "AC1014", 4, 5, 0}, {AD_VERSION_AC1015, "AC1015", 6, 6, 0}};
    const std::int32_t classes = adClassCount(drawing_);
    for (const Case& c : cases) {
        const std::vector<std::uint8_t> file = save(c.version);
        ASSERT_GT(file.size(), 0x61u + 123);
        EXPECT_EQ(std::string(file.begin(), file.begin() + 6), c.name);
        EXPECT_EQ(file[11], c.maintenance);
        EXPECT_EQ(file[21], c.locators) << c.name;
        const DwgStructure s = checkDwgStructure(file);
        for (const std::string& fault : s.faults) ADD_FAILURE() << c.name << ": " << fault;
        if (c.version == AD_VERSION_AC1015) {
            const std::uint8_t lead[] = {0xFF, 0x77, 0x00, 0x17, 0x00, 0x06};
            EXPECT_TRUE(std::equal(std::begin(lead), std::end(lead), file.begin() + 0x61));
        }
        AdDrawing* back = adOpenDrawing(outPath().c_str(), 1, 0);
        ASSERT_NE(back, nullptr) << c.name << ": error " << adGlobals->errorCode;
        EXPECT_EQ(adClassCount(back), classes + c.extraClasses) << c.name;
        // The layer that is off comes back off at colour 7; the erased one
        // is not there.
        AdHandle handle{};
        AdLayerRecord layer{};
        ASSERT_TRUE(adLayerHandleByName(back, "OFFSEVEN", &handle)) << c.name;
        ASSERT_TRUE(adLayerByHandle(back, &handle, &layer));
        EXPECT_EQ(layer.colour, -7);
        EXPECT_FALSE(adLayerHandleByName(back, "GONE", &handle)) << c.name;
        // AC1012 puts each table's control before its records, later
        // versions all controls after the BLOCK control.
        const std::int32_t layerControl = offsetOf(s, back->tableControls[AD_CONTROL_LAYER]);
        const std::int32_t blockControl = offsetOf(s, back->tableControls[AD_CONTROL_BLOCK]);
        const std::int32_t modelSpace = offsetOf(s, back->modelSpaceBlock);
        ASSERT_GT(layerControl, 0);
        EXPECT_GT(layerControl, blockControl);
        if (c.version == AD_VERSION_AC1012)
            EXPECT_GT(layerControl, modelSpace) << c.name;
        else
            EXPECT_LT(layerControl, modelSpace) << c.name;
        adCloseDrawing(back);
    }
}

TEST_F(DwgR13File, StructureCheckSeesADamagedRecord) {
    std::vector<std::uint8_t> file = save(AD_VERSION_AC1015);
    const DwgStructure sound = checkDwgStructure(file);
    ASSERT_TRUE(sound.faults.empty());
    ASSERT_FALSE(sound.offsets.empty());
    file[static_cast<std::size_t>(sound.offsets.front()) + 3] ^= 0x10;
    EXPECT_FALSE(checkDwgStructure(file).faults.empty());
}
}  // namespace
