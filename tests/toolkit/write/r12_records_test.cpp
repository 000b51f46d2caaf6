// The fixed-size table records of DWG AC1002..AC1009, the viewport settings
// as "MVIEW" extended data, extended-data conversion, and texts read back
// from stores in pieces and lines.
#include "toolkit/write/r12_records.h"
#include "toolkit/db/started_toolkit.h"
#include "toolkit/db/temp_dir.h"
#include "drawing_text.h"
#include "output_file.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {
std::uint16_t le16(const std::string& b, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<std::uint8_t>(b[at]) | (static_cast<std::uint8_t>(b[at + 1]) << 8));
}
std::int32_t le32(const std::string& b, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<std::uint8_t>(b[at + static_cast<std::size_t>(i)]);
    return static_cast<std::int32_t>(v);
}
double leDouble(const std::string& b, std::size_t at) {
    std::uint64_t v = 0;
    for (int i = 7; i >= 0; --i) v = (v << 8) | static_cast<std::uint8_t>(b[at + static_cast<std::size_t>(i)]);
    double d;
    std::memcpy(&d, &v, sizeof d);
    return d;
}
std::string field(const std::string& b, std::size_t at, std::size_t width) {
    const std::string bytes = b.substr(at, width);
    return bytes.substr(0, bytes.find('\0'));
}
bool allZero(const std::string& b, std::size_t from, std::size_t to) {
    for (std::size_t i = from; i < to; ++i)
        if (b[i] != '\0') return false;
    return true;
}
// An AC1009 record ends in the CRC of the rest XORed with its table's constant.
bool checked(const std::string& b, AdR12Table table) {
    const auto size = static_cast<std::int32_t>(b.size());
    return le16(b, b.size() - 2) == (adCrc16(0, b.data(), size - 2) ^ adR12RecordCheck(table));
}

class R12Records : public StartedToolkit {
protected:
    void SetUp() override {
        StartedToolkit::SetUp();
        adInstallDxfReadOps();
        const std::string path = dir_.write("records.dxf", r12Drawing({"0", "WALLS"}));
        drawing_ = adOpenDrawing(path.c_str(), 1, 0);
        ASSERT_NE(drawing_, nullptr) << "error " << adGlobals->errorCode;
    }
    void TearDown() override {
        adCloseDrawing(drawing_);
        StartedToolkit::TearDown();
    }
    // An output drawing of the version, its record sizes set.
    std::unique_ptr<OutputFile> output(std::int16_t version) {
        auto file = std::make_unique<OutputFile>(version, AD_FORMAT_DWG);
        adSetOutputVersion(file->get(), version, file->get()->header);
        return file;
    }
    AdLayerRecord layer(const char* name) {
        AdLayerRecord r{};
        for (adLayerRewind(drawing_); adLayerNext(drawing_, &r);)
            if (std::strcmp(r.name, "0") == 0) break;
        std::strcpy(r.name, name);
        return r;
    }
    TempDir dir_;
    AdDrawing* drawing_ = nullptr;
};

TEST_F(R12Records, LayerRecordsTakeTheVersionsSizeNameAndCheck) {
    struct Case {
        std::int16_t version;
        const char* name;
        std::int32_t number;
        std::size_t size;
        std::string legal;
    };
    const Case cases[] = {
        {AD_VERSION_AC1009, "abcdefghijklmnopqrstuvwxyz0123", 7, 41, "ABCDEFGHIJKLMNOPQRSTUVWXY7"},
        {AD_VERSION_AC1009, "abcdefghijklmnopqrstuvwxyz0123", 123, 41, "ABCDEFGHIJKLMNOPQRSTUVW123"},
        {AD_VERSION_AC1004, "Door (old)", 2, 37, "DOOR__OLD_"},
        {0, "walls", 1, 38, "WALLS"},
    };
    for (const Case& c : cases) {
        auto file = output(c.version);
        AdLayerRecord r = layer(c.name);
        r.colour = -5;
        r.flags = 1;
        ASSERT_EQ(adR12WriteLayerRecord(drawing_, file->get(), &r, c.number), 1);
        EXPECT_EQ(file->get()->tableCounters[AD_R12_LAYER], 1);
        const std::string b = file->bytes();
        ASSERT_EQ(b.size(), c.size) << c.version;
        EXPECT_EQ(b[0], 1);
        EXPECT_EQ(field(b, 1, 32), c.legal);
        const std::size_t at = c.version == AD_VERSION_AC1009 ? 35 : 33;
        if (c.version == AD_VERSION_AC1009) {
            EXPECT_EQ(static_cast<std::int16_t>(le16(b, 33)), -1) << "reference word";
            EXPECT_TRUE(checked(b, AD_R12_LAYER));
        }
        EXPECT_EQ(static_cast<std::int16_t>(le16(b, at)), -5) << "an off layer keeps its negative colour";
        EXPECT_EQ(le16(b, at + 2), 0) << "CONTINUOUS is the first linetype written";
    }
}

TEST_F(R12Records, ErasedRecordsAreTheirMarkAndZeros) {
    auto file = output(AD_VERSION_AC1009);
    AdLayerRecord l = layer("GONE");
    l.erased = 1;
    auto view = std::make_unique<AdViewTableRecord>();
    std::strcpy(view->name, "OLD");
    view->erased = 1;
    ASSERT_EQ(adR12WriteLayerRecord(drawing_, file->get(), &l, 0), 1);
    ASSERT_EQ(adR12WriteViewRecord(drawing_, file->get(), view.get(), 0), 1);
    const std::string b = file->bytes();
    ASSERT_EQ(b.size(), 41u + 153u);
    EXPECT_EQ(static_cast<std::uint8_t>(b[0]), 0x80);
    EXPECT_TRUE(allZero(b, 1, 39));
    EXPECT_EQ(static_cast<std::uint8_t>(b[41]) & 0x01, 0x01) << "an erased VIEW carries bit 0x01";
    EXPECT_EQ(static_cast<std::uint8_t>(b[41]) & 0x80, 0x80) << "and the mark the other tables use";
    EXPECT_TRUE(allZero(b, 42, 41 + 151));
}

TEST_F(R12Records, ViewsKeepThePaperSpaceBitOutOfTheFlagByte) {
    auto file = output(AD_VERSION_AC1009);
    auto view = std::make_unique<AdViewTableRecord>();
    std::strcpy(view->name, "SHEET");
    view->flags = 0x41;  // paper space, referenced
    view->height = 2.5;
    view->lensLength = 50.0;
    view->viewMode = 3;
    ASSERT_EQ(adR12WriteViewRecord(drawing_, file->get(), view.get(), 0), 1);
    const std::string b = file->bytes();
    ASSERT_EQ(b.size(), 153u);
    EXPECT_EQ(static_cast<std::uint8_t>(b[0]), 0x40);
    EXPECT_EQ(leDouble(b, 35), 2.5);
    EXPECT_EQ(le16(b, 35 + 8 + 16 + 8 + 24), 1) << "second flag word";
    EXPECT_EQ(leDouble(b, 117), 50.0);
    EXPECT_EQ(le16(b, 149), 3) << "view mode";
    EXPECT_TRUE(checked(b, AD_R12_VIEW));
}

TEST_F(R12Records, BlockFlagsAndAddressesFollowTheVersion) {
    struct Case {
        std::int16_t version;
        const char* name;
        std::uint8_t flags;
        std::size_t size;
        std::uint8_t written;
    };
    const Case cases[] = {
        {AD_VERSION_AC1009, "*U", 0x02, 45, 0x03},
        {AD_VERSION_AC1009, "*PAPER_SPACE", 0x00, 45, 0x00},
        {AD_VERSION_AC1004, "*D", 0x30, 37, 0x01},
        {AD_VERSION_AC1009, "DOOR", 0x30, 45, 0x30},
    };
    for (const Case& c : cases) {
        auto file = output(c.version);
        auto block = std::make_unique<AdBlockHeader>();
        std::strcpy(block->name, c.name);
        block->flags = c.flags;
        ASSERT_EQ(adR12WriteBlockRecord(drawing_, file->get(), block.get(), 3), 1);
        const std::string b = file->bytes();
        ASSERT_EQ(b.size(), c.size) << c.name;
        EXPECT_EQ(static_cast<std::uint8_t>(b[0]), c.written) << c.name;
        EXPECT_EQ(field(b, 1, 32), c.name);
        if (c.version == AD_VERSION_AC1009) {
            EXPECT_EQ(le32(b, 35), 0) << "patched later";
            EXPECT_EQ(le32(b, 39), -1);
            EXPECT_TRUE(checked(b, AD_R12_BLOCK));
        }
    }
}

TEST_F(R12Records, LinetypesKeepTheirDashCountButOnlyTwelveDashes) {
    auto file = output(AD_VERSION_AC1009);
    auto ltype = std::make_unique<AdLtypeRecord>();
    std::strcpy(ltype->name, "dots");
    std::memset(ltype->description, '.', 60);
    ltype->alignment = 'A';
    ltype->dashCount = 14;
    for (int i = 0; i < AD_LTYPE_DASH_COUNT; ++i) ltype->dashes[i].length = i + 1;
    ASSERT_EQ(adR12WriteLtypeRecord(drawing_, file->get(), ltype.get(), 4), 1);
    const std::string b = file->bytes();
    ASSERT_EQ(b.size(), 191u);
    EXPECT_EQ(field(b, 35, 48), std::string(47, '.')) << "the 48th byte stays 0";
    EXPECT_EQ(b[83], 'A');
    EXPECT_EQ(b[84], 14);
    EXPECT_EQ(leDouble(b, 93), 1.0);
    EXPECT_EQ(leDouble(b, 93 + 11 * 8), 12.0);
    EXPECT_TRUE(checked(b, AD_R12_LTYPE));
}

TEST_F(R12Records, DimensionStylesNameTheirArrowBlocks) {
    auto file = output(AD_VERSION_AC1009);
    auto style = std::make_unique<AdDimStyleRecord>();
    std::strcpy(style->name, "STANDARD");
    style->dimscale = 2.0;
    style->dimsoxd = 1;
    std::strcpy(style->dimpost, "<> mm");
    adBlockHandleByName(drawing_, "XREF1", &style->dimblk);
    style->dimclrt = 3;
    style->dimgap = 0.09;
    ASSERT_EQ(adR12WriteDimStyleRecord(drawing_, file->get(), style.get(), 0), 1);
    const std::string b = file->bytes();
    ASSERT_EQ(b.size(), 324u);
    EXPECT_EQ(leDouble(b, 35), 2.0);
    EXPECT_EQ(b[155 + 13], 1) << "DIMSOXD";
    EXPECT_EQ(field(b, 169, 16), "<> mm");
    EXPECT_EQ(field(b, 201, 33), "XREF1");
    EXPECT_TRUE(allZero(b, 234, 300)) << "null DIMBLK1 and DIMBLK2";
    EXPECT_EQ(le16(b, 304), 3);
    EXPECT_EQ(leDouble(b, 314), 0.09);
    EXPECT_TRUE(checked(b, AD_R12_DIMSTYLE));
}

TEST_F(R12Records, TablesAVersionLacksWriteNothing) {
    auto file = output(AD_VERSION_AC1004);
    auto appid = std::make_unique<AdAppidRecord>();
    auto style = std::make_unique<AdDimStyleRecord>();
    auto ucs = std::make_unique<AdUcsRecord>();
    auto vx = std::make_unique<AdVportEntityHeader>();
    EXPECT_EQ(adR12WriteAppidRecord(drawing_, file->get(), appid.get(), 0), 1);
    EXPECT_EQ(adR12WriteDimStyleRecord(drawing_, file->get(), style.get(), 0), 1);
    EXPECT_EQ(adR12WriteUcsRecord(drawing_, file->get(), ucs.get(), 0), 1);
    EXPECT_EQ(adR12WriteVxRecord(file->get(), vx.get()), 1);
    EXPECT_EQ(file->get()->tableCounters[AD_R12_APPID], 0);
    EXPECT_EQ(file->bytes(), "");
}

TEST_F(R12Records, VxRecordsLinkTheViewportsInWritingOrder) {
    auto file = output(AD_VERSION_AC1009);
    ASSERT_EQ(adR12NoteViewportAddress(file->get(), 0x1234), 1);
    ASSERT_EQ(adR12NoteViewportAddress(file->get(), 0x2345), 1);
    struct Vx {
        const char* name;
        std::uint8_t flags;
        std::int16_t number;
        std::uint8_t erased;
    };
    const Vx records[] = {{"", 1, 0, 0}, {"1", 1, 1, 0}, {"", 0, 0, 1}, {"", 1, -1, 0}};
    for (const Vx& r : records) {
        auto vx = std::make_unique<AdVportEntityHeader>();
        std::strcpy(vx->name, r.name);
        vx->flags = r.flags;
        vx->number = r.number;
        vx->erased = r.erased;
        vx->entityIndex = -1;
        ASSERT_EQ(adR12WriteVxRecord(file->get(), vx.get()), 1);
    }
    const std::string b = file->bytes();
    ASSERT_EQ(b.size(), 4u * 43u);
    struct Expect {
        std::uint8_t flags;
        std::int32_t address;
        std::int16_t number;
    };
    const Expect expected[] = {{0x00, -1, 0}, {0x01, 0x1234, 1}, {0x80, -1, 0}, {0x01, 0x2345, 0}};
    for (int i = 0; i < 4; ++i) {
        const std::string r = b.substr(static_cast<std::size_t>(i) * 43, 43);
        EXPECT_EQ(static_cast<std::uint8_t>(r[0]), expected[i].flags) << i;
        EXPECT_EQ(static_cast<std::int16_t>(le16(r, 33)), -1) << i;
        EXPECT_EQ(le32(r, 35), expected[i].address) << i;
        EXPECT_EQ(static_cast<std::int16_t>(le16(r, 39)), expected[i].number) << i;
        EXPECT_TRUE(checked(r, AD_R12_VX)) << i;
    }
}

// The items of a store as "code value" lines.
std::vector<std::string> items(AdStore* store) {
    std::vector<std::string> lines;
    AdStream* stream = adStreamOpenRead(store);
    auto item = std::make_unique<AdXdataItem>();
    while (stream && adXdataReadItem(stream, item.get())) {
        std::string value;
        switch (item->code) {
            case 1000:
            case 1002: value = item->value.text; break;
            case 1001:
            case 1003: value = hex(item->value.handle); break;
            case 1010: value = std::to_string(item->value.point[0]); break;
            case 1040: value = std::to_string(item->value.real); break;
            case 1070: value = std::to_string(item->value.int16); break;
            default: break;
        }
        lines.push_back(std::to_string(item->code) + " " + value);
    }
    if (stream) adStreamCloseRead(stream);
    return lines;
}

TEST_F(R12Records, ViewportsCarryTheirViewAsMviewDataBeforeTheirOwn) {
    auto header = std::make_unique<AdEntityHeader>();
    auto data = std::make_unique<AdEntityData>();
    header->type = AD_ENTITY_VIEWPORT;
    AdViewportData& vp = data->viewport;
    vp.viewTarget[0] = 4.0;
    vp.twist = 0.5;
    vp.statusFlags = 0x1000 | 0x800 | 0x20 | 0x3;
    AdHandle walls{};
    ASSERT_EQ(adLayerHandleByName(drawing_, "WALLS", &walls), 1);
    vp.frozenLayers = adStoreCreate(64);
    AdStream* layers = adStreamOpenWrite(vp.frozenLayers);
    adStreamWriteHandle(layers, &walls);
    adStreamCloseWrite(layers);
    vp.frozenLayerCount = 1;
    AdStore* own = adStoreCreate(64);
    AdStream* ownStream = adStreamOpenWrite(own);
    AdXdataItem item{};
    item.code = 1070;
    item.value.int16 = 42;
    adXdataWriteItem(ownStream, &item);
    adStreamCloseWrite(ownStream);
    header->xdata = own;

    auto file = output(AD_VERSION_AC1014);
    AdStore* saved = nullptr;
    ASSERT_EQ(adDwgBuildMviewXdata(drawing_, file->get(), header.get(), &vp, &saved), 1);
    EXPECT_EQ(saved, own);
    const std::vector<std::string> got = items(header->xdata);
    AdHandle acad{};
    adAppidHandleByName(drawing_, "ACAD", &acad);
    const std::vector<std::string> head = {"1001 " + hex(acad), "1000 MVIEW", "1002 {", "1070 16", "1010 4.000000"};
    ASSERT_EQ(got.size(), 34u);
    EXPECT_EQ(std::vector<std::string>(got.begin(), got.begin() + 5), head);
    EXPECT_EQ(got[6], "1040 0.500000") << "twist";
    EXPECT_EQ(got[13], "1070 3") << "view mode";
    EXPECT_EQ(got[16], "1070 1") << "UCS icon";
    EXPECT_EQ(got[20], "1070 1") << "isometric pair";
    EXPECT_EQ(got[28], "1070 1") << "hidden in plot";
    const std::vector<std::string> tail = {"1002 {", "1003 " + hex(walls), "1002 }", "1002 }", "1070 42"};
    EXPECT_EQ(std::vector<std::string>(got.end() - 5, got.end()), tail);
    adDwgRestoreMviewXdata(header.get(), saved);
    EXPECT_EQ(header->xdata, own);

    // AC1015 keeps the view in the entity's own fields.
    auto later = output(AD_VERSION_AC1015);
    ASSERT_EQ(adDwgBuildMviewXdata(drawing_, later->get(), header.get(), &vp, &saved), 1);
    EXPECT_EQ(header->xdata, own);
    adStoreFree(own);
    adStoreFree(vp.frozenLayers);
}

TEST_F(R12Records, ExtendedDataTakesTheWrittenFormOfTheOutput) {
    struct Case {
        std::int16_t version;
        std::uint8_t format;
        std::string bytes;
    };
    const Case cases[] = {
        {AD_VERSION_AC1014, AD_FORMAT_DWG, std::string("\x00\x03\x00\x1E" "abc", 7)},
        {5, AD_FORMAT_DWG, std::string("\x00\x03\x00\x0C" "abc", 7)},
        {AD_VERSION_AC1009, AD_FORMAT_DWG, std::string("\x00\x03" "abc", 5)},
        {AD_VERSION_AC1014, AD_FORMAT_DXF_ASCII, std::string("\x00\x03" "abc", 5)},
    };
    for (const Case& c : cases) {
        auto file = output(c.version);
        file->get()->format = c.format;
        AdXdataItem item{};
        item.code = 1000;
        std::strcpy(item.value.text, "abc");
        adR12XdataReset(file->get());
        ASSERT_EQ(adR12XdataItem(drawing_, file->get(), &item), 1);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(file->get()->xdata),
                              static_cast<std::size_t>(file->get()->xdataLength)),
                  c.bytes)
            << c.version << ' ' << int{c.format};
    }
}

// More extended data than the conversion buffer holds: the item that does not
// fit fails and marks the overflow, and nothing is written past the buffer.
TEST_F(R12Records, ExtendedDataBeyondTheBufferFailsWithoutOverrun) {
    auto file = output(AD_VERSION_AC1009);
    file->get()->format = AD_FORMAT_DWG;
    AdXdataItem item{};
    item.code = 1000;
    std::memset(item.value.text, 'x', 255);  // a code byte, a length byte and 255 bytes each
    adR12XdataReset(file->get());
    int written = 0;
    while (written < 100 && adR12XdataItem(drawing_, file->get(), &item)) ++written;
    EXPECT_EQ(written, AD_XDATA_CONVERT_SIZE / 257);
    EXPECT_EQ(file->get()->xdataOverflow, 1);
    EXPECT_LE(file->get()->xdataLength, AD_XDATA_CONVERT_SIZE);
    // The next record starts afresh.
    adR12XdataReset(file->get());
    EXPECT_EQ(adR12XdataItem(drawing_, file->get(), &item), 1);
    EXPECT_EQ(file->get()->xdataLength, 257);
}

// A store holding the text.
AdStore* storeOf(const std::string& text) {
    AdStore* store = adStoreCreate(4096);
    AdStream* stream = adStreamOpenWrite(store);
    adStreamWrite(stream, text.data(), static_cast<std::int32_t>(text.size()));
    adStreamCloseWrite(stream);
    return store;
}

TEST_F(R12Records, StoredTextsComeBackInPiecesAndLines) {
    AdStore* text = storeOf(std::string(600, 'x'));
    AdStream* stream = adStreamOpenRead(text);
    char piece[AD_TEXT_PIECE_SIZE + 1];
    std::vector<std::int32_t> sizes;
    while (std::int32_t n = adStreamReadTextPiece(stream, piece)) {
        sizes.push_back(n);
        EXPECT_EQ(std::strlen(piece), static_cast<std::size_t>(n));
    }
    EXPECT_EQ(sizes, (std::vector<std::int32_t>{256, 256, 88}));
    adStreamCloseRead(stream);
    adStoreFree(text);

    struct Line {
        std::string text;
        int ended;
        std::int32_t taken;
    };
    const std::vector<Line> expected = {
        {"ab", 1, 4}, {"cd", 1, 4}, {"efgh", 0, 4}, {"ij", 1, 3}, {"k", 0, 1},
    };
    AdStore* lines = storeOf("ab\r\ncd\n\nefghij\rk");
    stream = adStreamOpenRead(lines);
    char line[5];
    std::vector<Line> got;
    int ended = 0;
    while (std::int32_t n = adStreamReadLine(stream, line, 4, &ended)) got.push_back({line, ended, n});
    EXPECT_EQ(ended, 0);
    ASSERT_EQ(got.size(), expected.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(got[i].text, expected[i].text) << i;
        EXPECT_EQ(got[i].ended, expected[i].ended) << i;
        EXPECT_EQ(got[i].taken, expected[i].taken) << i;
    }
    adStreamCloseRead(stream);
    adStoreFree(lines);
}
}  // namespace
