// The token reader: numbers with their bases and limits, words, counted
// strings and put-back.
#include "toolkit/solids/sat_input.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace {

struct IntCase {
    const char* text;
    bool read;
    std::int32_t value;
    const char* rest;  // what the next word is afterwards
};

TEST(SatTokens, IntegersTakeBasesAndPutBackWhatIsNoNumber) {
    const IntCase cases[] = {
        {"42 x", true, 42, "x"},
        {"-7 x", true, -7, "x"},
        {"+3 x", true, 3, "x"},
        {"0x1F x", true, 31, "x"},
        {"017 x", true, 15, "x"},
        {"0 x", true, 0, "x"},
        {"0xg", true, 0, "xg"},
        {"019", true, 1, "9"},
        {"- 5", false, 0, "-"},
        {"$-1", false, 0, "$-1"},
        {"abc", false, 0, "abc"},
        {"99999999999", false, 0, ""},            // beyond 32 bits
        {"1234567890123456789", false, 0, "6789"},  // 15 characters at most, and those beyond 32 bits
    };
    for (const IntCase& c : cases) {
        std::stringbuf buffer(c.text);
        SatInput input(&buffer);
        std::int32_t value = 0;
        const bool read = input.readInt(value);
        SCOPED_TRACE(c.text);
        EXPECT_EQ(read, c.read);
        if (read) {
            EXPECT_EQ(value, c.value);
        }
        input.clearFailure();
        if (*c.rest) {
            ASSERT_TRUE(input.readWord(0));
            EXPECT_STREQ(input.word(), c.rest);
        }
    }
}

TEST(SatTokens, RealsStopAtTheirSyntaxAndLength) {
    const struct {
        const char* text;
        bool read;
        double value;
        const char* rest;
    } cases[] = {
        {"1.5 x", true, 1.5, "x"},
        {"-2e3 x", true, -2000, "x"},
        {"9.9999999999999995e-07 x", true, 9.9999999999999995e-07, "x"},
        {".25 x", true, 0.25, "x"},
        {"3e x", true, 3, "e"},
        {"1.#INF", true, 1, "#INF"},
        {"I", false, 0, "I"},
        {"- 1", false, 0, "-"},
        {"1e999", false, 0, ""},
        // 27 characters at most: the rest is the next token.
        {"1.0000000000000000000000000123", true, 1, "123"},
    };
    for (const auto& c : cases) {
        std::stringbuf buffer(c.text);
        SatInput input(&buffer);
        double value = 0;
        SCOPED_TRACE(c.text);
        EXPECT_EQ(input.readDouble(value), c.read);
        if (c.read) {
            EXPECT_DOUBLE_EQ(value, c.value);
        }
        input.clearFailure();
        if (*c.rest) {
            ASSERT_TRUE(input.readWord(0));
            EXPECT_STREQ(input.word(), c.rest);
        }
    }
}

TEST(SatTokens, WordsAreCutAtTheBufferAndCountedWordsTakeBlanks) {
    const std::string longWord(300, 'w');
    std::stringbuf buffer(longWord + " next 5 ab cd tail");
    SatInput input(&buffer);
    ASSERT_TRUE(input.readWord(0));
    EXPECT_EQ(std::string(input.word()), longWord.substr(0, SatInput::kWordSize - 1));
    ASSERT_TRUE(input.readWord(0));
    EXPECT_STREQ(input.word(), "next");
    std::int32_t n = 0;
    ASSERT_TRUE(input.readInt(n));
    ASSERT_TRUE(input.readWord(n));
    EXPECT_STREQ(input.word(), "ab cd");
    ASSERT_TRUE(input.readWord(0));
    EXPECT_STREQ(input.word(), "tail");
    EXPECT_FALSE(input.readWord(0));
}

TEST(SatTokens, ACountedWordLongerThanTheTextFails) {
    std::stringbuf buffer("abc");
    SatInput input(&buffer);
    EXPECT_FALSE(input.readWord(1000000));
    EXPECT_STREQ(input.word(), "abc");
}

TEST(SatTokens, NoSourceIsAFailedStream) {
    SatInput input(nullptr);
    EXPECT_FALSE(input.good());
    char c = 0;
    EXPECT_FALSE(input.readChar(c));
}

}  // namespace
