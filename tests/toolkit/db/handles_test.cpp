// Handle arithmetic modulo 2^64, conversion to and from hex text within the
// buffer's capacity, and the seed that never hands out the null handle.
#include "toolkit/ad.h"
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "toolkit/db/handle_values.h"

namespace {

TEST(HandleMath, LengthCountsSignificantBytes) {
    const struct { std::uint64_t value; int length; } cases[] = {
        {0, 0}, {1, 1}, {0xFF, 1}, {0x100, 2}, {0x00FF000000000000, 7}, {0x8000000000000000, 8},
    };
    for (const auto& c : cases) {
        const AdHandle h = H(c.value);
        EXPECT_EQ(adHandleLength(&h), c.length) << std::hex << c.value;
    }
}

TEST(HandleMath, CompareIsNumericOrder) {
    const struct { std::uint64_t a, b; int sign; } cases[] = {
        {0, 0, 0}, {1, 2, -1}, {0x100, 0xFF, 1}, {0x8000000000000000, 0x7FFFFFFFFFFFFFFF, 1}, {5, 5, 0},
    };
    for (const auto& c : cases) {
        const AdHandle a = H(c.a), b = H(c.b);
        const int result = adHandleCompare(&a, &b);
        EXPECT_EQ((result > 0) - (result < 0), c.sign) << std::hex << c.a << " " << c.b;
    }
}

TEST(HandleMath, IncrementCarriesAndReportsWrap) {
    const struct { std::uint64_t in, out; int answer; } cases[] = {
        {0, 1, 1}, {0xFF, 0x100, 1}, {0x00FFFFFFFFFFFFFF, 0x0100000000000000, 1}, {~0ull, 0, 0},
    };
    for (const auto& c : cases) {
        AdHandle h = H(c.in);
        EXPECT_EQ(adHandleIncrement(&h), c.answer) << std::hex << c.in;
        EXPECT_EQ(V(h), c.out) << std::hex << c.in;
    }
}

TEST(HandleMath, AddSubtractNegateAreModulo2To64) {
    const std::uint64_t values[] = {0, 1, 0xFF, 0x1FF, 0x00FFFFFFFFFFFFFF, 0x8000000000000000, ~0ull};
    for (std::uint64_t x : values) {
        for (std::uint64_t y : values) {
            const AdHandle a = H(x), b = H(y);
            AdHandle sum, difference;
            adHandleAdd(&a, &b, &sum);
            adHandleSubtract(&a, &b, &difference);
            EXPECT_EQ(V(sum), x + y) << std::hex << x << " + " << y;
            EXPECT_EQ(V(difference), x - y) << std::hex << x << " - " << y;
        }
        AdHandle negated = H(x);
        adHandleNegate(&negated);
        EXPECT_EQ(V(negated), 0 - x) << std::hex << x;
    }
}

TEST(HandleMath, ResultMayOverwriteAnOperand) {
    AdHandle a = H(0x1234), b = H(0x0FFF);
    adHandleAdd(&a, &b, &a);
    EXPECT_EQ(V(a), 0x1234u + 0x0FFFu);
    adHandleSubtract(&a, &b, &b);
    EXPECT_EQ(V(b), 0x1234u);
}

TEST(HandleMath, AddLongTakesTheValueUnsigned) {
    const struct { std::uint64_t handle; std::uint32_t value; std::uint64_t sum; } cases[] = {
        {0, 1, 1},
        {0xFF, 1, 0x100},
        {0x10, 0xFFFFFFFF, 0x10000000F},
        {0xFFFFFFFFFFFFFFFF, 2, 1},
    };
    for (const auto& c : cases) {
        AdHandle h = H(c.handle);
        adHandleAddLong(&h, c.value, &h);
        EXPECT_EQ(V(h), c.sum) << std::hex << c.handle << " + " << c.value;
    }
}

TEST(HandleText, HandleToHexDropsLeadingZeros) {
    const struct { std::uint64_t value; const char* text; } cases[] = {
        {0, "0"}, {0x0A1B, "A1B"}, {0x0F, "F"}, {0x10, "10"}, {0x100, "100"},
        {0x00000000FF00AB01, "FF00AB01"}, {~0ull, "FFFFFFFFFFFFFFFF"},
    };
    for (const auto& c : cases) {
        const AdHandle h = H(c.value);
        char text[AD_HANDLE_HEX_SIZE];
        ASSERT_EQ(adHandleToHex(&h, text, sizeof text), 1);
        EXPECT_STREQ(text, c.text);
    }
}

TEST(HandleText, HandleToHexRefusesAShortBuffer) {
    const AdHandle h = H(0x0A1B);
    char text[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(adHandleToHex(&h, text, 3), 0);
    EXPECT_EQ(text[0], 'x');
    EXPECT_EQ(adHandleToHex(&h, text, 4), 1);
    EXPECT_STREQ(text, "A1B");
}

TEST(HandleText, BytesToHexAnswersTheEndAndRespectsCapacity) {
    const std::uint8_t bytes[] = {0x00, 0x0A, 0xFF};
    char text[7];
    char* end = adBytesToHex(bytes, 3, text, sizeof text);
    ASSERT_NE(end, nullptr);
    EXPECT_STREQ(text, "000AFF");
    EXPECT_EQ(end, text + 6);
    EXPECT_EQ(adBytesToHex(bytes, 3, text, 6), nullptr);
    EXPECT_EQ(adBytesToHex(bytes, 0, text, 1), text);
    EXPECT_EQ(adBytesToHex(bytes, 0, text, 0), nullptr);
}

TEST(HandleText, HexDigitValue) {
    const struct { char c; int value; } cases[] = {
        {'0', 0}, {'9', 9}, {'A', 10}, {'F', 15}, {'a', 10}, {'f', 15}, {'G', 0}, {' ', 0}, {'\xC0', 0},
    };
    for (const auto& c : cases) EXPECT_EQ(adHexDigitValue(c.c), c.value) << c.c;
}

TEST(HandleText, HexToBytesPairsFromTheEnd) {
    const struct { const char* text; std::string bytes; } cases[] = {
        {"", ""}, {"7", "\x07"}, {"ABC", std::string("\x0A\xBC", 2)}, {"00ff", std::string("\x00\xFF", 2)},
    };
    for (const auto& c : cases) {
        std::uint8_t bytes[4] = {};
        std::int16_t count = -1;
        ASSERT_EQ(adHexToBytes(c.text, bytes, sizeof bytes, &count), 1) << c.text;
        EXPECT_EQ(std::string(reinterpret_cast<char*>(bytes), static_cast<std::size_t>(count)), c.bytes) << c.text;
    }
}

TEST(HandleText, HexToBytesRefusesMoreThanTheBufferHolds) {
    std::uint8_t bytes[3] = {0x55, 0x55, 0x55};
    std::int16_t count = -1;
    EXPECT_EQ(adHexToBytes("1234567", bytes, 3, &count), 0);
    EXPECT_EQ(count, -1);
    EXPECT_EQ(bytes[0], 0x55);
    EXPECT_EQ(adHexToBytes("123456", bytes, 3, &count), 1);
    EXPECT_EQ(count, 3);
}

TEST(HandleText, HexToHandleRightAligns) {
    const struct { const char* text; std::uint64_t value; } cases[] = {
        {"1F", 0x1F}, {"", 0}, {"a1b", 0xA1B}, {"FFFFFFFFFFFFFFFF", ~0ull}, {"0000000000000001", 1},
    };
    for (const auto& c : cases) {
        AdHandle h = H(0xDEAD);
        ASSERT_EQ(adHexToHandle(c.text, &h), 1) << c.text;
        EXPECT_EQ(V(h), c.value) << c.text;
    }
}

TEST(HandleText, HexToHandleRefusesMoreThan16DigitsAndLeavesTheHandle) {
    AdHandle h = H(0xDEAD);
    EXPECT_EQ(adHexToHandle("10000000000000000", &h), 0);
    EXPECT_EQ(adHexToHandle(std::string(1000, 'F').c_str(), &h), 0);
    EXPECT_EQ(V(h), 0xDEADu);
}

TEST(HandleSeed, NextHandleHandsOutTheSeedAndAdvancesIt) {
    auto d = std::make_unique<AdDrawing>();
    const AdHandle seed = H(0xFF);
    ASSERT_EQ(adSetHandleSeed(d.get(), &seed), 1);
    AdHandle h;
    ASSERT_EQ(adNextHandle(d.get(), &h), 1);
    EXPECT_EQ(V(h), 0xFFu);
    ASSERT_EQ(adNextHandle(d.get(), &h), 1);
    EXPECT_EQ(V(h), 0x100u);
    EXPECT_EQ(V(d->handleSeed), 0x101u);
}

TEST(HandleSeed, NeverHandsOutTheNullHandle) {
    auto d = std::make_unique<AdDrawing>();
    AdHandle h = H(7);
    EXPECT_EQ(adNextHandle(d.get(), &h), 0);  // seed never set
    EXPECT_EQ(V(h), 7u);

    const AdHandle last = H(~0ull);
    adSetHandleSeed(d.get(), &last);
    ASSERT_EQ(adNextHandle(d.get(), &h), 1);
    EXPECT_EQ(V(h), ~0ull);
    EXPECT_EQ(adNextHandle(d.get(), &h), 0);  // exhausted
    EXPECT_EQ(V(h), ~0ull);
}

}  // namespace
