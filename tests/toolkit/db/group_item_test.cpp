// Group items in their stored form: every kind round-trips byte for byte,
// codes outside every range and values that overrun their area are refused.
#include "toolkit/ad.h"

#include <gtest/gtest.h>

#include <cstring>

#include "scratch_fixture.h"
#include "handle_values.h"
#include "scratch_state.h"
#include "store_bytes.h"

namespace {

enum class Kind { Text, Binary, Point, Real, Int16, Int32, Handle, None };

struct ItemCase {
    std::int16_t code;
    Kind kind;
};

// Bytes each kind takes after the 16-bit code, for the values FillItem sets.
std::int32_t ValueBytes(Kind kind) {
    switch (kind) {
        case Kind::Text: return 2 + 1 + 3;
        case Kind::Binary: return 1 + 3;
        case Kind::Point: return 24;
        case Kind::Real: return 8;
        case Kind::Int16: return 2;
        case Kind::Int32: return 4;
        case Kind::Handle: return 8;
        case Kind::None: return 0;
    }
    return -1;
}

AdGroupItem FillItem(const ItemCase& c) {
    AdGroupItem item{};
    item.code = c.code;
    switch (c.kind) {
        case Kind::Text: std::strcpy(item.value.text, "ABC"); break;
        case Kind::Binary:
            item.binaryLength = 3;
            item.value.bytes[0] = 0xFF;
            item.value.bytes[1] = 0x00;
            item.value.bytes[2] = 0x7E;
            break;
        case Kind::Point:
            item.value.reals[0] = 1.5;
            item.value.reals[1] = -2.0;
            item.value.reals[2] = 3.25;
            break;
        case Kind::Real: item.value.reals[0] = 2.25; break;
        case Kind::Int16: item.value.int16 = -7; break;
        case Kind::Int32: item.value.int32 = -123456; break;
        case Kind::Handle: item.value.handle = H(0x0102030405060708ull); break;
        case Kind::None: break;
    }
    return item;
}

class GroupItem : public ScratchFixture {};

class GroupItemKinds : public GroupItem, public ::testing::WithParamInterface<ItemCase> {};

TEST_P(GroupItemKinds, RoundTripsInItsStoredForm) {
    const ItemCase c = GetParam();
    const AdGroupItem item = FillItem(c);
    AdStore* store = adStoreCreate(AD_STORE_BLOCK_SIZE);
    AdStream* w = adStreamOpenWrite(store);
    ASSERT_EQ(adStreamWriteGroupItem(w, &item), 1);
    ASSERT_EQ(adStreamCloseWrite(w), 1);
    EXPECT_EQ(adStoreSize(store), 2 + ValueBytes(c.kind));

    AdGroupItem back{};
    AdStream* r = adStreamOpenRead(store);
    ASSERT_EQ(adStreamReadGroupItem(r, &back), 1);
    EXPECT_EQ(adStreamTell(r), adStoreSize(store));
    EXPECT_EQ(back.code, c.code);
    EXPECT_EQ(back.binaryLength, item.binaryLength);
    EXPECT_EQ(0, std::memcmp(&back.value, &item.value, sizeof item.value));
    adStreamCloseRead(r);
    adStoreFree(store);
}

INSTANTIATE_TEST_SUITE_P(
    EveryRange, GroupItemKinds,
    ::testing::Values(ItemCase{0, Kind::Text}, ItemCase{9, Kind::Text}, ItemCase{100, Kind::Text},
                      ItemCase{102, Kind::Text}, ItemCase{300, Kind::Text}, ItemCase{309, Kind::Text},
                      ItemCase{999, Kind::Text}, ItemCase{1003, Kind::Text}, ItemCase{1005, Kind::Text},
                      ItemCase{1008, Kind::Text}, ItemCase{310, Kind::Binary}, ItemCase{319, Kind::Binary},
                      ItemCase{1004, Kind::Binary}, ItemCase{10, Kind::Point}, ItemCase{19, Kind::Point},
                      ItemCase{1010, Kind::Point}, ItemCase{1019, Kind::Point}, ItemCase{39, Kind::Real},
                      ItemCase{59, Kind::Real}, ItemCase{140, Kind::Real}, ItemCase{147, Kind::Real},
                      ItemCase{1020, Kind::Real}, ItemCase{1038, Kind::Real}, ItemCase{1059, Kind::Real},
                      ItemCase{60, Kind::Int16}, ItemCase{79, Kind::Int16}, ItemCase{170, Kind::Int16},
                      ItemCase{175, Kind::Int16}, ItemCase{1060, Kind::Int16}, ItemCase{1070, Kind::Int16},
                      ItemCase{90, Kind::Int32}, ItemCase{99, Kind::Int32}, ItemCase{1071, Kind::Int32},
                      ItemCase{320, Kind::Handle}, ItemCase{330, Kind::Handle}, ItemCase{340, Kind::Handle},
                      ItemCase{369, Kind::Handle}, ItemCase{1009, Kind::None}));

struct StoredCase {
    const char* name;
    ItemCase item;
    std::vector<std::uint8_t> bytes;
};

class GroupItemStored : public GroupItem, public ::testing::WithParamInterface<StoredCase> {};

TEST_P(GroupItemStored, HasTheExpectedBytes) {
    const StoredCase& c = GetParam();
    AdGroupItem item = FillItem(c.item);
    if (c.item.kind == Kind::Handle) item.value.handle = H(0x12A);
    AdStore* store = adStoreCreate(AD_STORE_BLOCK_SIZE);
    AdStream* w = adStreamOpenWrite(store);
    ASSERT_EQ(adStreamWriteGroupItem(w, &item), 1);
    adStreamCloseWrite(w);
    EXPECT_EQ(ReadAll(store), c.bytes);
    adStoreFree(store);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, GroupItemStored,
    ::testing::Values(StoredCase{"TextWithMarker", {1, Kind::Text}, {0x01, 0x00, 0x03, 0x00, 0xC0, 'A', 'B', 'C'}},
                      StoredCase{"ObjectHandleLeastSignificantFirst",
                                 {330, Kind::Handle},
                                 {0x4A, 0x01, 0x2A, 0x01, 0, 0, 0, 0, 0, 0}},
                      StoredCase{"OtherHandleMostSignificantFirst",
                                 {320, Kind::Handle},
                                 {0x40, 0x01, 0, 0, 0, 0, 0, 0, 0x01, 0x2A}},
                      StoredCase{"BinaryWithLengthByte", {310, Kind::Binary}, {0x36, 0x01, 0x03, 0xFF, 0x00, 0x7E}},
                      StoredCase{"CodeAlone", {1009, Kind::None}, {0xF1, 0x03}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(GroupItem, CodesOutsideEveryRangeAreRefusedBothWays) {
    const std::int16_t refused[] = {-1, 20, 38, 80, 89, 101, 103, 148, 169, 176, 299, 370, 998, 1072};
    for (std::int16_t code : refused) {
        SCOPED_TRACE(code);
        AdStore* store = adStoreCreate(AD_STORE_BLOCK_SIZE);
        AdStream* w = adStreamOpenWrite(store);
        AdGroupItem item{};
        item.code = code;
        state.get()->errorCode = 0;
        EXPECT_EQ(adStreamWriteGroupItem(w, &item), 0);
        EXPECT_EQ(state.get()->errorCode, AD_ERR_GROUP_CODE_WRITE);
        EXPECT_EQ(adStreamLength(w), 0);
        adStreamPutShort(w, code);
        adStreamPutDouble(w, 1.0);
        adStreamCloseWrite(w);

        AdStream* r = adStreamOpenRead(store);
        EXPECT_EQ(adStreamReadGroupItem(r, &item), 0);
        EXPECT_EQ(state.get()->errorCode, AD_ERR_GROUP_CODE_READ);
        adStreamCloseRead(r);
        adStoreFree(store);
    }
}

struct StoredTextCase {
    std::int16_t length;
    int result;
};

class GroupItemStoredText : public GroupItem, public ::testing::WithParamInterface<StoredTextCase> {};

// The stored length comes from data that may have gone bad: a text that does
// not fit the value area is refused rather than written past it.
TEST_P(GroupItemStoredText, FitsTheValueAreaOrIsRefused) {
    const StoredTextCase c = GetParam();
    AdStore* store = adStoreCreate(AD_STORE_BLOCK_SIZE);
    AdStream* w = adStreamOpenWrite(store);
    adStreamPutShort(w, 1);
    adStreamPutShort(w, c.length);
    adStreamWriteByte(w, 0xC0);
    const auto text = std::vector<std::uint8_t>(1000, 'x');
    adStreamWrite(w, text.data(), 1000);
    adStreamCloseWrite(w);

    auto item = std::make_unique<AdGroupItem>();
    AdStream* r = adStreamOpenRead(store);
    EXPECT_EQ(adStreamReadGroupItem(r, item.get()), c.result);
    if (c.result == 1) {
        EXPECT_EQ(std::strlen(item->value.text), static_cast<std::size_t>(c.length));
        EXPECT_TRUE(fatal.conditions().empty());
    } else {
        EXPECT_EQ(fatal.conditions(), std::vector<std::int32_t>{AD_FATAL_BAD_STORED_DATA});
    }
    adStreamCloseRead(r);
    adStoreFree(store);
}

INSTANTIATE_TEST_SUITE_P(Lengths, GroupItemStoredText,
                         ::testing::Values(StoredTextCase{0, 1}, StoredTextCase{511, 1}, StoredTextCase{512, 0},
                                           StoredTextCase{1000, 0}, StoredTextCase{-1, 0}));

TEST_F(GroupItem, ValuesThatOverrunTheirAreaAreNotWritten) {
    AdGroupItem unterminated{};
    unterminated.code = 1;
    std::memset(unterminated.value.text, 'x', AD_GROUP_VALUE_SIZE);
    AdGroupItem longBinary{};
    longBinary.code = 310;
    longBinary.binaryLength = 256;
    AdStore* store = adStoreCreate(AD_STORE_BLOCK_SIZE);
    AdStream* w = adStreamOpenWrite(store);
    for (const AdGroupItem* item : {&unterminated, &longBinary}) {
        state.get()->errorCode = 0;
        EXPECT_EQ(adStreamWriteGroupItem(w, item), 0);
        EXPECT_EQ(state.get()->errorCode, AD_ERR_GROUP_CODE_WRITE);
    }
    EXPECT_EQ(adStreamLength(w), 0);
    adStreamCloseWrite(w);
    adStoreFree(store);
}

}  // namespace
