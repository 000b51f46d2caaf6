// Reading extended data from its raw form: every item form, table references,
// code pages, application blocks, and data that ends early, runs past its
// buffer or is damaged.
#include "toolkit/ad.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "handle_values.h"
#include "scratch_state.h"
#include "store_bytes.h"
#include "xdata_bytes.h"
#include "xdata_items.h"

namespace {

enum Format : unsigned { R12 = 1, Dxf = 2, R2000 = 4, All = 7 };

const char* FormatName(Format f) { return f == R12 ? "AC1009 DWG" : f == Dxf ? "DXF" : "AC1015 DWG"; }

// An application block of an AC1012+ file around the item bytes.
Bytes Block(std::uint16_t handle, const Bytes& items, std::int32_t size = -1) {
    const Bytes h = handle > 0xFF ? Le16(handle >> 8 | (handle & 0xFF) << 8) : Bytes{static_cast<std::uint8_t>(handle)};
    return Le16(size < 0 ? static_cast<std::int32_t>(items.size()) : size) +
           Bytes{static_cast<std::uint8_t>(0x50 | h.size())} + h + items;
}

class XdataRaw : public ::testing::Test {
protected:
    XdataRaw() {
        state.get()->buffer32kA = buffer.data();
        d->header = header.get();
        header->dwgcodepage = 0x11;
    }

    void Use(Format f) {
        d->dxf = f == Dxf;
        d->version = f == R2000 ? 7 : 4;
    }
    // Leaves the bytes in the record buffer as a reader would and begins.
    void Collect(const Bytes& raw, std::int32_t length = -1) {
        std::copy(raw.begin(), raw.end(), buffer.begin());
        state.get()->xdataLength = length < 0 ? static_cast<std::int32_t>(raw.size()) : length;
        state.get()->errorCode = 0;
        ASSERT_EQ(adXdataReadBegin(d), 1);
    }
    // Every item up to the first 0, and a second 0 after it.
    std::vector<AdXdataItem> ReadAll() {
        std::vector<AdXdataItem> items;
        AdXdataItem item;
        for (int guard = 0; guard < 100 && adDwgReadXdataItem(d, &item); ++guard) items.push_back(item);
        EXPECT_EQ(adDwgReadXdataItem(d, &item), 0) << "reading stays stopped";
        return items;
    }
    static void ExpectItem(const AdXdataItem& got, const AdXdataItem& expected) {
        EXPECT_EQ(got.code, expected.code);
        EXPECT_EQ(got.length, expected.length);
        EXPECT_EQ(0, std::memcmp(&got.value, &expected.value, sizeof got.value)) << got.value.text;
    }

    ScratchState state;
    std::vector<std::uint8_t> buffer = std::vector<std::uint8_t>(AD_XDATA_BUFFER_SIZE);
    std::unique_ptr<AdHeaderVars> header = std::make_unique<AdHeaderVars>();
    std::unique_ptr<AdDrawing> drawing = std::make_unique<AdDrawing>();
    AdDrawing* d = drawing.get();
};

// The raw bytes of one item and what it reads as, in the formats named.
struct RawCase {
    const char* name;
    unsigned formats;
    Bytes raw;
    AdXdataItem expected;
};

std::vector<RawCase> EveryRawForm() {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    return {
        {"1000", R12 | Dxf, Bytes{0x00, 3} + Chars("ABC"), Text("ABC")},
        {"1000WithCodePageWord", R2000, Bytes{0x00, 3, 0x00, 0x1E} + Chars("ABC"), Text("ABC")},
        {"1000Empty", R12 | Dxf, Bytes{0x00, 0}, Text("")},
        {"1001TableIndex", R12, Bytes{0x01} + Le16(5), Expect(1001)},
        {"1001Name", Dxf, Bytes{0x01, 4} + Chars("ACAD"), Expect(1001)},
        {"1002Open", All, Bytes{0x02, 0x00}, Brace('{')},
        {"1002Close", All, Bytes{0x02, 0x01}, Brace('}')},
        {"1002AnyOtherByteCloses", All, Bytes{0x02, 0xFF}, Brace('}')},
        {"1003TableIndex", R12, Bytes{0x03} + Le16(2), Expect(1003)},
        {"1003Name", Dxf, Bytes{0x03, 1} + Chars("0"), Expect(1003)},
        {"1003Handle", R2000, Bytes{0x03, 0, 0, 0, 0, 0, 0, 0x01, 0x2A}, Handle(1003, 0x12A)},
        {"1004", All, Bytes{0x04, 3, 0xFF, 0x00, 0x7E}, Chunk({0xFF, 0x00, 0x7E})},
        {"1004Longest", All, Bytes{0x04, 255} + Bytes(255, 0xA5), Chunk(Bytes(255, 0xA5))},
        {"1005", All, Bytes{0x05, 0, 0, 0, 0, 0, 0, 0x07, 0x7A}, Handle(1005, 0x77A)},
        {"1010", All, Bytes{0x0A} + Dbl(1.5) + Dbl(-2) + Dbl(3), Point(1010, 1.5, -2, 3)},
        {"1011", All, Bytes{0x0B} + Dbl(4) + Dbl(5) + Dbl(6), Point(1011, 4, 5, 6)},
        {"1012", All, Bytes{0x0C} + Dbl(7) + Dbl(8) + Dbl(9), Point(1012, 7, 8, 9)},
        {"1013", All, Bytes{0x0D} + Dbl(-1) + Dbl(-2) + Dbl(-3), Point(1013, -1, -2, -3)},
        {"1040", All, Bytes{0x28} + Dbl(0.25), Real(1040, 0.25)},
        {"1041", All, Bytes{0x29} + Dbl(1e10), Real(1041, 1e10)},
        {"1042", All, Bytes{0x2A} + Dbl(-3.5), Real(1042, -3.5)},
        {"1040NanReadsZero", All, Bytes{0x28} + Dbl(nan), Real(1040, 0.0)},
        {"1010InfinityReadsZero", All, Bytes{0x0A} + Dbl(1) + Dbl(HUGE_VAL) + Dbl(2), Point(1010, 1, 0, 2)},
        {"1070", All, Bytes{0x46} + Le16(-7), Int16(-7)},
        {"1071", All, Bytes{0x47} + Le32(-123456), Int32(-123456)},
    };
}

const Format kFormats[] = {R12, Dxf, R2000};

TEST_F(XdataRaw, EveryRawFormReadsAsItsItem) {
    for (const RawCase& c : EveryRawForm()) {
        for (Format f : kFormats) {
            if (!(c.formats & f)) continue;
            SCOPED_TRACE(testing::Message() << c.name << " in " << FormatName(f));
            Use(f);
            Collect(f == R2000 ? Block(0x12, c.raw) + Le16(0) : c.raw);
            const std::vector<AdXdataItem> items = ReadAll();
            const std::size_t first = f == R2000 ? 1 : 0;
            ASSERT_EQ(items.size(), first + 1);
            ExpectItem(items[first], c.expected);
            EXPECT_EQ(state.get()->errorCode, 0);
        }
    }
}

TEST_F(XdataRaw, TableReferencesAreLeftInTheirSlots) {
    struct SlotCase {
        Format format;
        Bytes raw;
        std::int16_t index;
        const char* name;
    };
    const SlotCase cases[] = {
        {R12, Bytes{0x01} + Le16(5), 5, ""},
        {R12, Bytes{0x03} + Le16(-2), -2, ""},
        {Dxf, Bytes{0x01, 4} + Chars("ACAD"), 0, "ACAD"},
        {Dxf, Bytes{0x03, 255} + Bytes(255, 'L'), 0, nullptr},
    };
    for (const SlotCase& c : cases) {
        SCOPED_TRACE(FormatName(c.format));
        Use(c.format);
        state.get()->xdataTableIndex = 0;
        std::memset(state.get()->xdataName, 'x', sizeof state.get()->xdataName);
        state.get()->xdataName[0] = '\0';
        Collect(c.raw);
        ASSERT_EQ(ReadAll().size(), 1u);
        EXPECT_EQ(state.get()->xdataTableIndex, c.index);
        EXPECT_EQ(std::string(state.get()->xdataName), c.name ? c.name : std::string(255, 'L'));
    }
}

TEST_F(XdataRaw, StringsCarryTheirCodePageWhenCodePagesAreKept) {
    struct CodePageCase {
        Format format;
        std::int32_t codePages;
        std::uint8_t expected;  // the byte after the NUL
    };
    // The drawing's code page is 0x11; the AC1015 item carries 0x1E.
    const CodePageCase cases[] = {
        {R12, 1, 0x11}, {Dxf, 1, 0x11}, {R2000, 1, 0x1E}, {R12, 0, 0}, {Dxf, 0, 0}, {R2000, 0, 0},
    };
    for (const CodePageCase& c : cases) {
        SCOPED_TRACE(testing::Message() << FormatName(c.format) << " code pages " << c.codePages);
        Use(c.format);
        state.get()->xdataCodePages = c.codePages;
        Collect(c.format == R2000 ? Block(0x12, Bytes{0x00, 3, 0x00, 0x1E} + Chars("ABC"))
                                  : Bytes{0x00, 3} + Chars("ABC"));
        const std::vector<AdXdataItem> items = ReadAll();
        ASSERT_FALSE(items.empty());
        EXPECT_STREQ(items.back().value.text, "ABC");
        EXPECT_EQ(static_cast<std::uint8_t>(items.back().value.text[4]), c.expected);
    }
}

// Excerpts of real files: the "ACAD" viewport data of an AC1009 drawing and
// of an AC1014 drawing, whose strings carry the code page ANSI_1252 (30).
TEST_F(XdataRaw, ExcerptsOfRealFilesRead) {
    const Bytes r12 = {0x01, 0x00, 0x00, 0x00, 0x05, 'M', 'V', 'I', 'E', 'W', 0x02, 0x00, 0x46, 0x10, 0x00};
    const Bytes r14 = {0x00, 0x05, 0x00, 0x1E, 'M', 'V', 'I', 'E', 'W', 0x02, 0x00, 0x46, 0x10, 0x00};
    Use(R12);
    Collect(r12);
    std::vector<AdXdataItem> items = ReadAll();
    ASSERT_EQ(items.size(), 4u);
    ExpectItem(items[0], Expect(1001));
    ExpectItem(items[1], Text("MVIEW"));
    ExpectItem(items[2], Brace('{'));
    ExpectItem(items[3], Int16(16));

    Use(R2000);
    Collect(Block(0x12, r14) + Le16(0));
    items = ReadAll();
    ASSERT_EQ(items.size(), 4u);
    ExpectItem(items[0], Handle(1001, 0x12));
    ExpectItem(items[1], Text("MVIEW"));
    ExpectItem(items[2], Brace('{'));
    ExpectItem(items[3], Int16(16));
}

TEST_F(XdataRaw, EachApplicationBlockStartsWithItsApplication) {
    Use(R2000);
    const Bytes first = Bytes{0x00, 6, 0x00, 0x1E} + Chars("DSTYLE") + Bytes{0x46} + Le16(40);
    const Bytes second = Bytes{0x02, 0x00, 0x28} + Dbl(2.5) + Bytes{0x02, 0x01};
    Collect(Block(0x12, first) + Block(0x3F5, second) + Le16(0) + Bytes{0x46, 1, 0});
    const std::vector<AdXdataItem> items = ReadAll();
    ASSERT_EQ(items.size(), 7u);
    ExpectItem(items[0], Handle(1001, 0x12));
    ExpectItem(items[1], Text("DSTYLE"));
    ExpectItem(items[2], Int16(40));
    ExpectItem(items[3], Handle(1001, 0x3F5));
    ExpectItem(items[4], Brace('{'));
    ExpectItem(items[5], Real(1040, 2.5));
    ExpectItem(items[6], Brace('}'));
    EXPECT_EQ(state.get()->errorCode, 0);

    // Stored and walked back, the items stay the same.
    AdStore* store = adStoreCreate(AD_STORE_BLOCK_SIZE);
    AdStream* w = adStreamOpenWrite(store);
    for (AdXdataItem item : items) ASSERT_EQ(adXdataWriteItem(w, &item), 1);
    adStreamCloseWrite(w);
    AdStream* r = adStreamOpenRead(store);
    for (const AdXdataItem& expected : items) {
        AdXdataItem back;
        ASSERT_EQ(adXdataReadItem(r, &back), 1);
        ExpectItem(back, expected);
    }
    adStreamCloseRead(r);
    adStoreFree(store);
}

TEST_F(XdataRaw, DataWithoutItsEndMarkEndsAtTheCollectedLength) {
    Use(R2000);
    Collect(Block(0x12, Bytes{0x46} + Le16(1)));
    EXPECT_EQ(ReadAll().size(), 2u);
    EXPECT_EQ(state.get()->errorCode, 0);
}

TEST_F(XdataRaw, BeginStartsOverAndClosesTheBlock) {
    for (Format f : kFormats) {
        SCOPED_TRACE(FormatName(f));
        Use(f);
        const Bytes items = Bytes{0x46} + Le16(1) + Bytes{0x46} + Le16(2);
        Collect(f == R2000 ? Block(0x12, items) + Le16(0) : items);
        AdXdataItem item;
        ASSERT_EQ(adDwgReadXdataItem(d, &item), 1);
        ASSERT_EQ(adDwgReadXdataItem(d, &item), 1);
        ASSERT_EQ(adXdataReadBegin(d), 1);
        EXPECT_EQ(ReadAll().size(), f == R2000 ? 3u : 2u);
    }
}

TEST_F(XdataRaw, CodesExtendedDataDoesNotHaveEndTheData) {
    const Bytes unknown[] = {{0x06}, {0x09}, {0x0E}, {0x14}, {0x27}, {0x2B}, {0x45}, {0x48}, {0xFF}, {0x80}};
    for (Format f : kFormats) {
        for (const Bytes& code : unknown) {
            SCOPED_TRACE(testing::Message() << FormatName(f) << " code byte " << int{code[0]});
            Use(f);
            // A valid item follows the unknown code, and is never reached.
            const Bytes items = Bytes{0x46} + Le16(1) + code + Bytes{0x46} + Le16(2);
            Collect(f == R2000 ? Block(0x12, items) + Le16(0) : items);
            EXPECT_EQ(ReadAll().size(), f == R2000 ? 2u : 1u);
            EXPECT_EQ(state.get()->errorCode, 0);
        }
    }
    // In an application block the handle comes from the block alone.
    Use(R2000);
    Collect(Block(0x12, Bytes{0x01} + Le16(0) + Bytes{0x46} + Le16(2)) + Le16(0));
    EXPECT_EQ(ReadAll().size(), 1u);
}

// Every cut inside an item is caught: in a run by the collected length, in an
// application block by the block's size.
TEST_F(XdataRaw, ItemsRunningPastTheirDataAreRefused) {
    for (const RawCase& c : EveryRawForm()) {
        for (Format f : kFormats) {
            if (!(c.formats & f)) continue;
            for (std::size_t cut = 1; cut < c.raw.size(); ++cut) {
                SCOPED_TRACE(testing::Message() << c.name << " in " << FormatName(f) << " cut at " << cut);
                Use(f);
                if (f == R2000)
                    Collect(Block(0x12, c.raw, static_cast<std::int32_t>(cut)) + Le16(0));
                else
                    Collect(c.raw, static_cast<std::int32_t>(cut));
                EXPECT_EQ(ReadAll().size(), f == R2000 ? 1u : 0u);
                EXPECT_EQ(state.get()->errorCode, AD_ERR_XDATA_DAMAGED);
            }
        }
    }
}

TEST_F(XdataRaw, DamagedApplicationBlocksAreRefused) {
    struct BlockCase {
        const char* name;
        Bytes raw;
        std::size_t items;
    };
    const Bytes item = Bytes{0x46} + Le16(1);
    const BlockCase cases[] = {
        {"NegativeSize", Le16(-3) + Bytes{0x51, 0x12} + item, 0},
        {"SizePastTheData", Le16(4) + Bytes{0x51, 0x12} + item, 0},
        {"HandleOfNineBytes", Le16(3) + Bytes{0x59} + Bytes(9, 1) + item, 0},
        {"HandlePastTheData", Le16(3) + Bytes{0x58, 0, 0}, 0},
        {"SizeCutInHalf", Block(0x12, item) + Bytes{0x03}, 2},
        {"NextBlockPastTheData", Block(0x12, item) + Block(0x13, item, 9), 2},
    };
    Use(R2000);
    for (const BlockCase& c : cases) {
        SCOPED_TRACE(c.name);
        Collect(c.raw);
        EXPECT_EQ(ReadAll().size(), c.items);
        EXPECT_EQ(state.get()->errorCode, AD_ERR_XDATA_DAMAGED);
    }
}

TEST_F(XdataRaw, ACollectedLengthOutsideTheBufferIsRefused) {
    for (std::int32_t length : {-1, AD_XDATA_BUFFER_SIZE + 1, 0x7FFFFFFF}) {
        SCOPED_TRACE(length);
        Use(R12);
        state.get()->xdataLength = length;
        state.get()->errorCode = 0;
        EXPECT_EQ(adXdataReadBegin(d), 0);
        EXPECT_EQ(state.get()->errorCode, AD_ERR_XDATA_DAMAGED);
        state.get()->errorCode = 0;
        AdXdataItem item;
        EXPECT_EQ(adDwgReadXdataItem(d, &item), 0);
        EXPECT_EQ(state.get()->errorCode, AD_ERR_XDATA_DAMAGED);
    }
}

TEST_F(XdataRaw, AFullBufferReadsToItsLastByte) {
    Bytes full(AD_XDATA_BUFFER_SIZE);
    for (std::size_t i = 0; i < full.size(); i += 2) full[i] = 0x02;  // 1002 "{"
    Use(Dxf);
    Collect(full);
    AdXdataItem item;
    std::int32_t count = 0;
    while (count <= AD_XDATA_BUFFER_SIZE && adDwgReadXdataItem(d, &item)) ++count;
    EXPECT_EQ(count, AD_XDATA_BUFFER_SIZE / 2);
    EXPECT_EQ(state.get()->errorCode, 0);
}

TEST_F(XdataRaw, NoCollectedDataReadsNothing) {
    for (Format f : kFormats) {
        SCOPED_TRACE(FormatName(f));
        Use(f);
        Collect({});
        EXPECT_TRUE(ReadAll().empty());
        EXPECT_EQ(state.get()->errorCode, 0);
    }
}

}  // namespace
