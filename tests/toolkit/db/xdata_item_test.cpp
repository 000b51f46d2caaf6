// Extended data items in their stored form: every code with its length,
// strings' code pages, refusals of codes and overlong values, and walks that
// end at an empty store or damaged items.
#include "toolkit/ad.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "handle_values.h"
#include "scratch_fixture.h"
#include "store_bytes.h"
#include "xdata_bytes.h"

namespace {

// An item of every code extended data has, and the value length it is
// stored with.
struct CodeCase {
    std::int16_t code;
    std::int16_t storedLength;
};

const CodeCase kEveryCode[] = {
    {1000, 3}, {1001, 8}, {1002, 1}, {1003, 8},  {1004, 10}, {1005, 8}, {1010, 24}, {1011, 24},
    {1012, 24}, {1013, 24}, {1040, 8}, {1041, 8}, {1042, 8}, {1070, 2}, {1071, 4},
};

AdXdataItem Filled(std::int16_t code) {
    AdXdataItem item{};
    item.code = code;
    switch (code) {
        case 1000: std::strcpy(item.value.text, "ABC"); break;
        case 1002: item.value.text[0] = '}'; break;
        case 1004:
            item.length = 10;
            for (int i = 0; i < 10; ++i) item.value.bytes[i] = static_cast<std::uint8_t>(0xF0 + i);
            break;
        case 1040:
        case 1041:
        case 1042: item.value.real = code + 0.25; break;
        case 1070: item.value.int16 = -7; break;
        case 1071: item.value.int32 = -123456; break;
        default:
            if (code >= 1010 && code <= 1013) {
                item.value.point[0] = 1.5;
                item.value.point[1] = -2.0;
                item.value.point[2] = code;
            } else {
                item.value.handle = H(0x0102030405060000ull + static_cast<std::uint64_t>(code));
            }
    }
    return item;
}

class XdataItem : public ScratchFixture {
protected:
    ~XdataItem() override {
        if (writer) adStreamCloseWrite(writer);
        if (reader) adStreamCloseRead(reader);
        adStoreFree(store);
    }
    int Write(AdXdataItem item) { return adXdataWriteItem(writer, &item); }
    // Ends the writing and opens the store for reading.
    AdStream* Reader() {
        adStreamCloseWrite(writer);
        writer = nullptr;
        reader = adStreamOpenRead(store);
        return reader;
    }
    AdStore* store = adStoreCreate(AD_STORE_BLOCK_SIZE);
    AdStream* writer = adStreamOpenWrite(store);
    AdStream* reader = nullptr;
};

TEST_F(XdataItem, EveryCodeIsStoredWithItsLengthAndWalksBack) {
    std::int32_t offset = 0;
    for (const CodeCase& c : kEveryCode) {
        SCOPED_TRACE(c.code);
        AdXdataItem item = Filled(c.code);
        ASSERT_EQ(adXdataWriteItem(writer, &item), 1);
        EXPECT_EQ(item.length, c.storedLength);
        offset += 8 + c.storedLength;
    }
    AdStream* r = Reader();
    EXPECT_EQ(adStreamLength(r), offset);

    offset = 0;
    const Bytes stored = ReadAll(store);
    for (const CodeCase& c : kEveryCode) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(Bytes(stored.begin() + offset, stored.begin() + offset + 4), Le16(c.code) + Le16(c.storedLength));
        offset += 8 + c.storedLength;

        AdXdataItem back{};
        std::memset(&back, 0xCC, sizeof back);
        ASSERT_EQ(adXdataReadItem(r, &back), 1);
        const AdXdataItem expected = Filled(c.code);
        EXPECT_EQ(back.code, c.code);
        EXPECT_EQ(back.length, c.code == 1004 ? 10 : 0);
        EXPECT_EQ(0, std::memcmp(&back.value, &expected.value, sizeof back.value));
    }
    AdXdataItem end{};
    EXPECT_EQ(adXdataReadItem(r, &end), 0);
    EXPECT_EQ(state.get()->errorCode, 0);
}

TEST_F(XdataItem, StringsKeepTheirCodePageOnlyWhenCodePagesAreKept) {
    for (std::int32_t codePages : {0, 1}) {
        SCOPED_TRACE(codePages);
        state.get()->xdataCodePages = codePages;
        AdXdataItem item = Filled(1000);
        item.value.text[4] = 30;
        ASSERT_EQ(Write(item), 1);
    }
    AdStream* r = Reader();
    const Bytes expected = Le16(1000) + Le16(3) + Le32(0) + Chars("ABC") +  //
                           Le16(1000) + Le16(5) + Le32(0) + Chars("ABC") + Bytes{0, 30};
    EXPECT_EQ(ReadAll(store), expected);
    for (int i = 0; i < 2; ++i) {
        AdXdataItem back{};
        ASSERT_EQ(adXdataReadItem(r, &back), 1);
        EXPECT_STREQ(back.value.text, "ABC");
        EXPECT_EQ(back.length, 0);
    }
}

TEST_F(XdataItem, SpareBytesAreStoredAsTheItemHoldsThem) {
    AdXdataItem item = Filled(1070);
    const std::uint8_t spare[4] = {1, 2, 3, 4};
    std::memcpy(item.spare, spare, sizeof spare);
    ASSERT_EQ(Write(item), 1);
    AdStream* r = Reader();
    AdXdataItem back{};
    ASSERT_EQ(adXdataReadItem(r, &back), 1);
    EXPECT_EQ(0, std::memcmp(back.spare, spare, sizeof spare));
}

TEST_F(XdataItem, CodesWithoutAStoredFormAreRefused) {
    for (std::int16_t code : {-1, 0, 999, 1006, 1009, 1014, 1020, 1039, 1043, 1069, 1072, 2000}) {
        SCOPED_TRACE(code);
        state.get()->errorCode = 0;
        AdXdataItem item = Filled(code);
        EXPECT_EQ(Write(item), 0);
        EXPECT_EQ(state.get()->errorCode, AD_ERR_XDATA_WRITE);
    }
    EXPECT_EQ(adStreamLength(Reader()), 0);
}

// A length byte counts strings and chunks in every file form, so 255 is the
// longest value that can be read back and written out again.
TEST_F(XdataItem, ValuesLongerThanALengthByteCountsAreRefused) {
    struct LengthCase {
        std::int16_t code;
        std::int32_t length;
        std::int32_t codePages;
        int accepted;
    };
    const LengthCase cases[] = {
        {1000, 255, 0, 1}, {1000, 255, 1, 1}, {1000, 256, 0, 0}, {1000, 257, 1, 0},
        {1004, 255, 0, 1}, {1004, 256, 0, 0}, {1004, -1, 0, 0},  {1004, 0, 0, 1},
    };
    for (const LengthCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.code << " length " << c.length << " code pages " << c.codePages);
        state.get()->errorCode = 0;
        state.get()->xdataCodePages = c.codePages;
        AdXdataItem item{};
        item.code = c.code;
        if (c.code == 1000) {
            // Without a NUL anywhere in the value area when the text fills it.
            std::memset(item.value.text, 'A', sizeof item.value.text);
            if (c.length < static_cast<std::int32_t>(AD_XDATA_VALUE_SIZE)) item.value.text[c.length] = '\0';
        } else {
            item.length = static_cast<std::int16_t>(c.length);
        }
        EXPECT_EQ(Write(item), c.accepted);
        EXPECT_EQ(state.get()->errorCode, c.accepted ? 0 : AD_ERR_XDATA_WRITE);
    }
    AdStream* r = Reader();
    AdXdataItem back{};
    ASSERT_EQ(adXdataReadItem(r, &back), 1);
    EXPECT_EQ(std::string(back.value.text), std::string(255, 'A'));
    ASSERT_EQ(adXdataReadItem(r, &back), 1);
    EXPECT_EQ(std::strlen(back.value.text), 255u);
    EXPECT_EQ(back.value.text[256], 'A');  // the code-page byte as the item held it
    ASSERT_EQ(adXdataReadItem(r, &back), 1);
    EXPECT_EQ(back.length, 255);
    ASSERT_EQ(adXdataReadItem(r, &back), 1);
    EXPECT_EQ(back.length, 0);
    EXPECT_EQ(adXdataReadItem(r, &back), 0);
}

TEST_F(XdataItem, AnEmptyStoreEndsTheWalkAtOnce) {
    AdXdataItem item{};
    AdStream* r = Reader();
    EXPECT_EQ(adXdataReadItem(r, &item), 0);
    EXPECT_EQ(state.get()->errorCode, 0);
}

TEST_F(XdataItem, NullStreamsAreReported) {
    AdXdataItem item = Filled(1070);
    EXPECT_EQ(adXdataWriteItem(nullptr, &item), 0);
    EXPECT_EQ(state.get()->errorCode, AD_ERR_STREAM_WRITE_NULL);
    EXPECT_EQ(adXdataReadItem(nullptr, &item), 0);
    EXPECT_EQ(state.get()->errorCode, AD_ERR_STREAM_READ_NULL);
}

// Stored items come back from stores that outlive any check of the writer;
// a length that the value area cannot hold must not be read into it.
TEST_F(XdataItem, DamagedStoredItemsEndTheWalk) {
    struct DamageCase {
        const char* name;
        Bytes stored;
        std::int32_t error;
    };
    const Bytes header = Le16(1000);
    const DamageCase cases[] = {
        {"PartialHeader", header + Le16(3) + Bytes{0}, 0},
        {"ValueCutShort", header + Le16(8) + Le32(0) + Chars("ABCD"), AD_ERR_XDATA_DAMAGED},
        {"LengthBeyondTheValueArea", header + Le16(258) + Le32(0) + Bytes(258, 'A'), AD_ERR_XDATA_DAMAGED},
        {"NegativeLength", header + Le16(-1) + Le32(0) + Bytes(8, 'A'), AD_ERR_XDATA_DAMAGED},
        {"LongestValue", header + Le16(257) + Le32(0) + Bytes(257, 'A'), -1},
    };
    for (const DamageCase& c : cases) {
        SCOPED_TRACE(c.name);
        state.get()->errorCode = 0;
        AdStore* damaged = StoreWith(c.stored);
        AdStream* r = adStreamOpenRead(damaged);
        AdXdataItem item{};
        EXPECT_EQ(adXdataReadItem(r, &item), c.error < 0 ? 1 : 0);
        EXPECT_EQ(state.get()->errorCode, c.error < 0 ? 0 : c.error);
        if (c.error < 0) {
            EXPECT_EQ(std::strlen(item.value.text), 257u);
        }
        adStreamCloseRead(r);
        adStoreFree(damaged);
    }
}

}  // namespace
