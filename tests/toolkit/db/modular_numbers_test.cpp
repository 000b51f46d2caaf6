// Modular numbers of the object map, the flag-bit count and the handle swap.
#include "bit_fixture.h"
#include "toolkit/ad_internal.h"

namespace {

TEST(ModularNumberTest, SignedValues) {
    const struct {
        std::int32_t value;
        std::vector<std::uint8_t> bytes;
    } cases[] = {
        {0, {0x00}},
        {0x3F, {0x3F}},
        {0x40, {0xC0, 0x00}},  // the last group needs 0x40: a sign byte follows
        {-1, {0x41}},
        {-0x40, {0xC0, 0x40}},
        {0x80, {0x80, 0x01}},
        {-0x1234, {0xB4, 0x64}},
        {0x7FFFFFFF, {0xFF, 0xFF, 0xFF, 0xFF, 0x07}},
        {INT32_MIN, {0x80, 0x80, 0x80, 0x80, 0x48}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        std::uint8_t out[6] = {0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE};
        std::int32_t length = -1;
        adModularLong(out, c.value, &length);
        ASSERT_EQ(length, static_cast<std::int32_t>(c.bytes.size()));
        EXPECT_EQ(std::vector<std::uint8_t>(out, out + length), c.bytes);
        EXPECT_EQ(out[length], 0xEE);
    }
}

TEST(ModularNumberTest, Handles) {
    const struct {
        std::uint64_t handle;
        std::vector<std::uint8_t> bytes;
    } cases[] = {
        {0, {}},
        {0x7F, {0x7F}},
        {0x80, {0x80, 0x01}},
        {0x4000, {0x80, 0x80, 0x01}},
        {0xFFFFFFFFFFFFFFFFull, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x01}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.handle);
        std::uint8_t out[10] = {};
        std::int32_t length = -1;
        const AdHandle h = handleOf(c.handle);
        adModularHandle(out, &h, &length);
        ASSERT_EQ(length, static_cast<std::int32_t>(c.bytes.size()));
        EXPECT_EQ(std::vector<std::uint8_t>(out, out + length), c.bytes);
    }
}

TEST(BitHelperTest, CountsTheFourLowBits) {
    const std::pair<std::int32_t, int> cases[] = {{0, 0}, {0x0F, 4}, {0x0A, 2}, {0xF0, 0}, {-1, 4}, {0x101, 1}};
    for (const auto& [mask, count] : cases) EXPECT_EQ(adBitCount(mask), count) << mask;
}

TEST(BitHelperTest, SwapReversesTheBytes) {
    AdHandle h = handleOf(0x0102030405060708ull);
    adHandleSwapBytes(&h);
    EXPECT_EQ(valueOf(h), 0x0807060504030201ull);
}

}  // namespace
