// The fixed-record DWG writer of AC1002 to AC1009: the file's frame per
// version, entity records field by field, the VX chain, and the refusals
// where a field cannot hold what the drawing has.
#include "toolkit/write/r12/r12_writer.h"
#include "toolkit/db/dwg/dwg_read.h"
#include "toolkit/db/started_toolkit.h"
#include "toolkit/db/temp_dir.h"
#include "drawing_text.h"
#include "dwg_structure.h"
#include "output_file.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {
using Bytes = std::vector<std::uint8_t>;

std::uint16_t le16(const Bytes& b, std::size_t at) { return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8)); }
std::uint32_t le32(const Bytes& b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at] | (b[at + 1] << 8) | (b[at + 2] << 16)) |
           (static_cast<std::uint32_t>(b[at + 3]) << 24);
}
std::uint64_t be64(const Bytes& b, std::size_t at) {
    std::uint64_t v = 0;
    for (std::size_t i = 0; i < 8; ++i) v = (v << 8) | b[at + i];
    return v;
}

// An entity record written on its own, for its bytes.
class EntityHarness {
public:
    explicit EntityHarness(std::int16_t version) : file_(version, AD_FORMAT_DWG) {
        adSetOutputVersion(file_.get(), version, file_.get()->header);
        writer_.output = file_.get();
        writer_.version = version;
        writer_.pendingOwner = -1;
        writer_.viewportNumber = 1;
        adGlobals->entityIndexes = AdGlobalState::AdEntityIndexes{0, AD_LINETYPE_INDEX_BYLAYER, 0, -1, -1};
        adR12XdataReset(file_.get());
    }
    AdR12Writer* writer() { return &writer_; }
    AdOutputDrawing* output() { return file_.get(); }
    Bytes bytes() {
        const std::string text = file_.bytes();
        return Bytes(text.begin(), text.end());
    }
    static AdEntityHeader header(std::uint16_t type) {
        AdEntityHeader h{};
        h.type = type;
        h.color = 256;
        h.extrusion[2] = 1.0;
        h.linetypeScale = 1.0;
        return h;
    }

private:
    OutputFile file_;
    AdR12Writer writer_{};
};

class DwgR12Writer : public StartedToolkit {
protected:
    void SetUp() override {
        StartedToolkit::SetUp();
        adInstallDwgReadOps();
        adInstallDxfReadOps();
    }
    // The drawing of the text saved as a DWG of the version; its bytes.
    Bytes save(const std::string& dxf, std::int16_t version) {
        const std::string in = dir_.write("in.dxf", dxf);
        AdDrawing* drawing = adOpenDrawing(in.c_str(), 1, 0);
        EXPECT_NE(drawing, nullptr);
        if (!drawing) return {};
        const std::string out = (dir_.path() / "out.dwg").string();
        EXPECT_EQ(adSaveDrawing(drawing, out.c_str(), AD_FORMAT_DWG, version, 1, 6, 0, 1), 1)
            << "error " << adGlobals->errorCode;
        adCloseDrawing(drawing);
        return readFileBytes(out);
    }
    TempDir dir_;
};

const std::string kLine = dxfGroups({{0, "LINE"}, {8, "0"}, {10, "0"}, {20, "0"}, {30, "0"}, {11, "1"}, {21, "1"}, {31, "0"}});

TEST_F(DwgR12Writer, EachVersionHasItsHeaderSectionsAndDirectory) {
    struct Case {
        std::int16_t version;
        std::uint32_t headerSize;
        std::uint8_t formatByte;
        std::uint16_t ucsSize;  // 0: no UCS descriptor
    };
    const Case cases[] = {{AD_VERSION_AC1002, 929, 0x72, 0},
                          {AD_VERSION_AC1003, 981, 0x7A, 0},
                          {AD_VERSION_AC1004, 1007, 0x81, 0},
                          {AD_VERSION_AC1006, 1310, 0xA0, 105},
                          {AD_VERSION_AC1009, 1727, 0xCD, 109}};
    for (const Case& c : cases) {
        SCOPED_TRACE(adVersionString(c.version));
        const Bytes b = save(r12Drawing({"0"}, kLine), c.version);
        ASSERT_GT(b.size(), c.headerSize + 16);
        const bool ac1009 = c.version == AD_VERSION_AC1009;
        EXPECT_EQ(std::string(b.begin(), b.begin() + 6), adVersionString(c.version));
        EXPECT_EQ(b[17], c.formatByte);
        EXPECT_EQ(b[12], c.version > AD_VERSION_AC1002 ? 1 : 0);
        // Entities follow the header, and in AC1009 their sentinel.
        EXPECT_EQ(le32(b, 20), c.headerSize + (ac1009 ? 16 : 0));
        if (ac1009) {
            EXPECT_EQ(b[c.headerSize], 0xC4);
        }
        EXPECT_EQ(le32(b, 32) & 0xC0000000u, 0x40000000u);
        EXPECT_EQ(le32(b, 40), 0x80000000u);
        // The blocks end at the trailer; before AC1009 there is nothing after.
        const std::uint32_t blocksEnd = le32(b, 28) + (le32(b, 32) & 0x3FFFFFFF);
        EXPECT_EQ(ac1009 ? blocksEnd + 32 : blocksEnd, le32(b, 36));
        if (!ac1009) {
            EXPECT_EQ(blocksEnd, b.size());
        }
        if (c.ucsSize) {
            EXPECT_EQ(le16(b, 1007), c.ucsSize);
        }
        if (c.version == AD_VERSION_AC1006) {
            EXPECT_EQ(le16(b, 1298), 33);
            EXPECT_EQ(le32(b, 1300), 0u);
        }
        if (ac1009) {
            EXPECT_EQ(le16(b, 1725), adCrc16(0, b.data(), 1725) ^ 0x6718);
            // The trailer: 64-byte sentinel, the file map, the closing sentinel.
            EXPECT_EQ(b[b.size() - 16], 0xD6);
            EXPECT_EQ(b[b.size() - 154 - 64], 0x8D);
            EXPECT_EQ(le16(b, b.size() - 154 + 2), 138);
        }
        // The reader's own check of every record and the drawing it reads.
        const std::string out = (dir_.path() / "out.dwg").string();
        HostFile* file = HostOpenFile(out.c_str(), "rb");
        ASSERT_NE(file, nullptr);
        EXPECT_EQ(adDwgCheckFile(file, AD_DWG_CHECK_FULL), 0) << "error " << adGlobals->errorCode;
        HostClose(file);
        AdDrawing* back = adOpenDrawing(out.c_str(), 1, 0);
        ASSERT_NE(back, nullptr) << "error " << adGlobals->errorCode;
        adCloseDrawing(back);
    }
}

TEST_F(DwgR12Writer, EntityRecordsCarryOnlyTheFieldsTheyNeed) {
    struct Case {
        const char* what;
        std::int16_t version;
        std::uint16_t type;
        void (*fill)(AdEntityHeader* header, AdEntityData* data);
        std::uint16_t length;
        std::uint8_t flags;
        std::uint16_t options;
    };
    const auto flatLine = [](AdEntityHeader*, AdEntityData* d) { d->line.end[0] = d->line.end[1] = 1.0; };
    const Case cases[] = {
        // Type, flags, length, layer, options, then the two points.
        {"flat LINE of AC1009", AD_VERSION_AC1009, AD_ENTITY_LINE, flatLine, 8 + 32 + 2, 0x04, 0},
        {"flat LINE of AC1004", AD_VERSION_AC1004, AD_ENTITY_LINE, flatLine, 8 + 32, 0, 0},
        {"raised LINE of AC1004: its elevation", AD_VERSION_AC1004, AD_ENTITY_LINE,
         [](AdEntityHeader*, AdEntityData* d) { d->line.start[2] = d->line.end[2] = 5.0; }, 8 + 8 + 32, 0x04, 0},
        {"raised LINE of AC1009: z values", AD_VERSION_AC1009, AD_ENTITY_LINE,
         [](AdEntityHeader*, AdEntityData* d) { d->line.start[2] = 5.0; }, 8 + 48 + 2, 0, 0},
        {"coloured CIRCLE", AD_VERSION_AC1009, AD_ENTITY_CIRCLE,
         [](AdEntityHeader* h, AdEntityData* d) {
             h->color = 1;
             d->circle.radius = 2.0;
         },
         8 + 1 + 24 + 2, 0x01, 0},
        {"plain INSERT", AD_VERSION_AC1009, AD_ENTITY_INSERT,
         [](AdEntityHeader*, AdEntityData* d) {
             d->insert.scale[0] = d->insert.scale[1] = d->insert.scale[2] = 1.0;
             d->insert.rowCount = d->insert.columnCount = 1;
         },
         8 + 2 + 16 + 2, 0, 0},
        {"ATTRIB turned 30 degrees", AD_VERSION_AC1009, AD_ENTITY_ATTRIB,
         [](AdEntityHeader*, AdEntityData* d) {
             d->attrib.fields.widthFactor = 1.0;
             d->attrib.fields.rotation = AD_PI / 6;
         },
         8 + 24 + 2 + 2 + 1 + 8 + 2, 0, 0x02},
        {"SEQEND without owner", AD_VERSION_AC1009, AD_ENTITY_SEQEND, [](AdEntityHeader*, AdEntityData*) {}, 8 + 2,
         0, 0},
        {"thick SOLID of AC1006", AD_VERSION_AC1006, AD_ENTITY_SOLID,
         [](AdEntityHeader* h, AdEntityData*) { h->thickness = 2.0; }, 8 + 8 + 64, 0x08, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EntityHarness harness(c.version);
        AdEntityHeader header = EntityHarness::header(c.type);
        auto data = std::make_unique<AdEntityData>();
        c.fill(&header, data.get());
        ASSERT_EQ(adR12WriteEntity(harness.writer(), &header, data.get(), 0), 1);
        const Bytes b = harness.bytes();
        ASSERT_EQ(b.size(), c.length);
        EXPECT_EQ(b[0], c.type);
        EXPECT_EQ(b[1], c.flags);
        EXPECT_EQ(le16(b, 2), c.length);
        EXPECT_EQ(le16(b, 6), c.options);
        if (c.version == AD_VERSION_AC1009) {
            EXPECT_EQ(le16(b, b.size() - 2), adCrc16(AD_DWG_CRC_SEED, b.data(), static_cast<std::int32_t>(b.size() - 2)));
        }
    }
}

TEST_F(DwgR12Writer, TextsWithDoubleByteCharactersCountTwoMore) {
    int codePage = -1;
    for (int page = 0; page < AD_CODE_PAGE_COUNT && codePage < 0; ++page)
        if (adIsLeadByte(page, 0x82)) codePage = page;
    if (codePage < 0) GTEST_SKIP() << "no double-byte code page here";
    for (const char* text : {"AB", "\x82\xA0"}) {
        AdR12RecordBuffer record{};
        adR12RecordBegin(&record);
        adR12WriteText(&record, text, codePage);
        const bool wide = static_cast<std::uint8_t>(text[0]) == 0x82;
        ASSERT_EQ(record.cursor, 2 + 2 + (wide ? 2 : 0));
        EXPECT_EQ(record.bytes[0], wide ? 4 : 2);
        if (wide) {
            EXPECT_EQ(record.bytes[4] | record.bytes[5], 0);
        }
    }
}

TEST_F(DwgR12Writer, ViewportsAreNumberedInWritingOrder) {
    EntityHarness harness(AD_VERSION_AC1009);
    AdEntityHeader header = EntityHarness::header(AD_ENTITY_VIEWPORT);
    auto data = std::make_unique<AdEntityData>();
    for (int i = 0; i < 3; ++i) ASSERT_EQ(adR12WriteEntity(harness.writer(), &header, data.get(), 0), 1);
    ASSERT_EQ(harness.output()->viewportAddressCount, 3);
    const std::int32_t length = 8 + 24 + 16 + 2 + 2;
    EXPECT_EQ(harness.output()->viewportAddresses[2], 2 * length);
    const Bytes b = harness.bytes();
    ASSERT_EQ(b.size(), 3u * length);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(le16(b, static_cast<std::size_t>((i + 1) * length - 4)), i + 1);
}

TEST_F(DwgR12Writer, InsertsWithAttributesAreNamedByTheirSeqend) {
    EntityHarness harness(AD_VERSION_AC1004);
    AdEntityHeader header = EntityHarness::header(AD_ENTITY_INSERT);
    auto data = std::make_unique<AdEntityData>();
    data->insert.scale[0] = data->insert.scale[1] = data->insert.scale[2] = 1.0;
    data->insert.rowCount = data->insert.columnCount = 1;
    data->insert.attributesFollow = 1;
    ASSERT_EQ(adR12WriteEntity(harness.writer(), &header, data.get(), 0), 1);
    header = EntityHarness::header(AD_ENTITY_SEQEND);
    ASSERT_EQ(adR12WriteEntity(harness.writer(), &header, data.get(), 0), 1);
    EXPECT_EQ(harness.writer()->pendingOwner, -1);
    const Bytes b = harness.bytes();
    EXPECT_EQ(b[1], 0x80);
    const std::size_t seqend = le16(b, 2);
    ASSERT_EQ(b.size(), seqend + 12);
    EXPECT_EQ(le32(b, seqend + 8), 0u);  // the INSERT's own address
}

TEST_F(DwgR12Writer, RecordsLongerThanTheBufferAreRefused) {
    EntityHarness harness(AD_VERSION_AC1009);
    AdEntityHeader header = EntityHarness::header(AD_ENTITY_TEXT);
    auto data = std::make_unique<AdEntityData>();
    data->text.fields.widthFactor = 1.0;
    std::memset(data->text.text, 'x', sizeof data->text.text - 1);
    AdOutputDrawing* output = harness.output();
    output->xdataLength = 3000;
    EXPECT_EQ(adR12WriteEntity(harness.writer(), &header, data.get(), 0), 0);
    EXPECT_EQ(adGlobals->errorCode, AD_ERR_R12_RECORD_TOO_LONG);
    // Without the extended data it fits.
    output->xdataLength = 0;
    EXPECT_EQ(adR12WriteEntity(harness.writer(), &header, data.get(), 0), 1);
    EXPECT_EQ(harness.bytes().size(), 8u + 16 + 8 + 2 + 2047 + 2);
}

TEST_F(DwgR12Writer, BlockOffsetsPastTwentySixBitsAreRefused) {
    EntityHarness harness(AD_VERSION_AC1004);
    AdR12Writer* writer = harness.writer();
    ASSERT_EQ(adR12BeginTable(writer, AD_R12_BLOCK), 1);
    AdBlockHeader block{};
    std::strcpy(block.name, "B");
    AdDrawing* drawing = adCreateDrawing();
    ASSERT_EQ(adR12WriteBlockRecord(drawing, harness.output(), &block, 0), 1);
    adCloseDrawing(drawing);
    ASSERT_EQ(adR12BeginBlocks(writer), 1);
    // As if the section already held 64 MiB.
    writer->blocksStart -= 0x4000000;
    EXPECT_EQ(adR12PatchBlockAddress(writer, 0), 0);
    EXPECT_EQ(adGlobals->errorCode, AD_ERR_R12_BLOCKS_TOO_LARGE);
    writer->blocksStart += 0x4000000 - 5;
    EXPECT_EQ(adR12PatchBlockAddress(writer, 0), 1);
    const Bytes b = harness.bytes();
    EXPECT_EQ(le32(b, 33), 5u);
}

TEST_F(DwgR12Writer, VxRecordsChainByViewportNumber) {
    EntityHarness harness(AD_VERSION_AC1009);
    AdR12Writer* writer = harness.writer();
    AdHeaderVars* vars = harness.output()->header;
    const std::int16_t indexes[AD_HEADER_INDEX_COUNT] = {};
    ASSERT_EQ(adR12WriteHeader(writer, vars, indexes), 1);
    ASSERT_EQ(adR12BeginTable(writer, AD_R12_VX), 1);
    // The empty first record, then viewports numbered 2, 1, 3 and an erased one.
    for (std::int16_t number : {0, 2, 1, 3, 4}) {
        AdVportEntityHeader vx{};
        vx.number = number;
        vx.erased = number == 4;
        vx.flags = 1;
        ASSERT_EQ(adR12WriteVxRecord(harness.output(), &vx), 1);
    }
    ASSERT_EQ(adR12Finish(writer), 1);
    const Bytes b = harness.bytes();
    const std::size_t start = le32(b, 1695 + 6);
    ASSERT_EQ(le16(b, 1695), 43);
    ASSERT_EQ(le32(b, 1695 + 2), 5u);
    // 1 (the record numbered 2) goes on to 3, 2 (numbered 1) to 1, 3 ends.
    const std::uint16_t expected[] = {0, 3, 1, 0, 0};
    for (std::size_t i = 0; i < 5; ++i) {
        const std::size_t at = start + 43 * i;
        EXPECT_EQ(le16(b, at + 39), expected[i]) << "record " << i;
        EXPECT_EQ(le16(b, at + 41), adCrc16(0, &b[at], 41) ^ 0xC2FC) << "record " << i;
    }
    EXPECT_EQ(le16(b, 1589), 2);
    EXPECT_EQ(le16(b, 1725), adCrc16(0, b.data(), 1725) ^ 0x6718);
}

TEST_F(DwgR12Writer, ErasedBlocksBecomeFakeBlocksAboveWhichTheSeedLies) {
    const std::string in = dir_.write("in.dxf", r12Drawing({"0"}, kLine));
    AdDrawing* drawing = adOpenDrawing(in.c_str(), 1, 0);
    ASSERT_NE(drawing, nullptr);
    auto block = std::make_unique<AdBlockHeader>();
    adBlockRewind(drawing);
    ASSERT_TRUE(adBlockNext(drawing, block.get()));
    ASSERT_STREQ(block->name, "XREF1");
    block->erased = 1;
    ASSERT_EQ(adBlockUpdate(drawing, block.get()), 1);
    AdHandle seed = drawing->handleSeed;
    std::uint64_t before = 0;
    for (std::uint8_t byte : seed.b) before = (before << 8) | byte;
    const std::string out = (dir_.path() / "out.dwg").string();
    ASSERT_EQ(adSaveDrawing(drawing, out.c_str(), AD_FORMAT_DWG, AD_VERSION_AC1009, 1, 6, 0, 1), 1);
    adCloseDrawing(drawing);
    const Bytes b = readFileBytes(out);
    // BLOCK, ENDBLK and a spare handle for the one erased block, then the
    // two that the LWPOLYLINE conversion keeps.
    EXPECT_EQ(be64(b, 1262), before + 3 + 2);
    const std::string fake = "FAKE0";
    EXPECT_NE(std::search(b.begin() + le32(b, 28), b.end(), fake.begin(), fake.end()), b.end());
}
}  // namespace
