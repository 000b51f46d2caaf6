// Walking text by characters: escapes and double-byte pairs taken whole, text
// cut short stopping at its terminator, and copies that keep within capacity.
#include "toolkit/ad.h"

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "loaded_init_data.h"

namespace {

constexpr int kPlain = 1;      // ascii: no lead bytes
constexpr int kShiftJis = 38;  // ansi_932

// The text in a heap block of exactly its size, so that the sanitizer
// reports any read past the terminator.
std::vector<char> Exact(const std::string& text) { return std::vector<char>(text.c_str(), text.c_str() + text.size() + 1); }

struct LengthCase {
    const char* text;
    std::int32_t length;
};

class TextCharLength : public testing::TestWithParam<LengthCase> {
protected:
    ScratchState state_;
};

TEST_P(TextCharLength, EscapesNeedTheirLetterPlusAndEveryDigit) {
    const std::vector<char> text = Exact(GetParam().text);
    EXPECT_EQ(adTextCharLength(text.data(), kPlain), GetParam().length) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TextCharLength,
    testing::Values(LengthCase{"\\M+1A2b3x", 8}, LengthCase{"\\m+fFfFf", 8}, LengthCase{"\\U+00C4B", 7},
                    LengthCase{"\\u+abcd", 7}, LengthCase{"\\M+1A2BG", 1}, LengthCase{"\\U+00G4", 1},
                    LengthCase{"\\M-1A2B3", 1}, LengthCase{"\\X+1A2B3", 1}, LengthCase{"\\P", 1},
                    LengthCase{"A", 1}, LengthCase{"", 0},
                    // Cut short by the terminator at every place.
                    LengthCase{"\\", 1}, LengthCase{"\\M", 1}, LengthCase{"\\M+", 1}, LengthCase{"\\M+1", 1},
                    LengthCase{"\\M+1A2B", 1}, LengthCase{"\\U", 1}, LengthCase{"\\U+", 1},
                    LengthCase{"\\U+00C", 1}));

TEST(TextChars, AnEscapeCutShortIsCountedByteByByteUpToTheTerminator) {
    ScratchState state;
    for (const char* cut : {"\\U+00C", "\\M+1A2B", "x\\M+", "\\u"}) {
        const std::vector<char> text = Exact(cut);
        EXPECT_EQ(adTextCharCount(text.data(), kPlain), static_cast<std::int32_t>(std::strlen(cut))) << cut;
    }
    // The digits after the terminator do not complete the escape.
    const char split[] = {'\\', 'U', '+', '0', '0', 'C', '\0', '4'};
    EXPECT_EQ(adTextCharLength(split, kPlain), 1);
    EXPECT_EQ(adTextCharCount(split, kPlain), 6);
}

TEST(TextChars, CountTakesAnEscapeAsOneCharacter) {
    ScratchState state;
    EXPECT_EQ(adTextCharCount("A\\U+00C4B", kPlain), 3);
    EXPECT_EQ(adTextCharCount("\\M+1A2B3x", kPlain), 2);
    EXPECT_EQ(adTextCharCount("", kPlain), 0);
    EXPECT_EQ(adTextCharCount(nullptr, kPlain), 0);
}

TEST(TextChars, HexDigits) {
    for (int c = 0; c < 256; ++c) {
        const bool hex = std::strchr("0123456789abcdefABCDEF", c) != nullptr && c != 0;
        EXPECT_EQ(adIsHexDigit(c) != 0, hex) << c;
    }
}

TEST(TextChars, FindLooksAtTheBytesOfEscapesWithoutDecodingThem) {
    ScratchState state;
    const char* text = "A\\U+00C4B";
    EXPECT_EQ(adTextFindChar(text, 'B', kPlain), text + 8);
    EXPECT_EQ(adTextFindChar(text, '\\', kPlain), text + 1);
    EXPECT_EQ(adTextFindChar(text, 0xC4, kPlain), nullptr);
    EXPECT_EQ(adTextFindChar(text, 'Z', kPlain), nullptr);
    EXPECT_EQ(adTextFindChar("", 'A', kPlain), nullptr);
}

TEST(TextChars, NextCharStopsAtTheTerminator) {
    ScratchState state;
    const char* text = "ab";
    const char* cursor = text;
    EXPECT_EQ(adTextNextChar(&cursor, kPlain), 'a');
    EXPECT_EQ(adTextNextChar(&cursor, kPlain), 'b');
    EXPECT_EQ(adTextNextChar(&cursor, kPlain), 0u);
    EXPECT_EQ(cursor, text + 2);
}

// Code page 932: 0x82 0xA0 is one character, and 0x83 0x5C one whose trail
// byte is a backslash.
class DoubleByteText : public LoadedInitData {};

TEST_F(DoubleByteText, LeadAndTrailFormOneCharacter) {
    const char* text = "a\x82\xA0\x83\x5C" "b";
    const char* cursor = text;
    EXPECT_EQ(adTextNextChar(&cursor, kShiftJis), static_cast<std::uint32_t>('a'));
    EXPECT_EQ(adTextNextChar(&cursor, kShiftJis), 0x82A0u);
    EXPECT_EQ(cursor, text + 3);
    EXPECT_EQ(adTextCharLength(text + 1, kShiftJis), 2);
    EXPECT_EQ(adTextCharCount(text, kShiftJis), 4);
    EXPECT_EQ(adTextCharCount(text, kPlain), 6);
}

TEST_F(DoubleByteText, ATrailByteIsNeverTakenForABackslashOrAnEscape) {
    const char* text = "\x83\x5CU+00C4";
    EXPECT_EQ(adTextFindChar(text, '\\', kShiftJis), nullptr);
    EXPECT_EQ(adTextFindChar(text, 0x835C, kShiftJis), text);
    EXPECT_EQ(adTextCharCount(text, kShiftJis), 7);
    EXPECT_EQ(adTextFindChar(text, '\\', kPlain), text + 1);
}

TEST_F(DoubleByteText, ALeadByteBeforeTheTerminatorStandsAlone) {
    const std::vector<char> text = Exact("x\x82");
    const char* cursor = text.data() + 1;
    EXPECT_EQ(adTextCharLength(cursor, kShiftJis), 1);
    EXPECT_EQ(adTextNextChar(&cursor, kShiftJis), 0x82u);
    EXPECT_EQ(cursor, text.data() + 2);
    EXPECT_EQ(adTextNextChar(&cursor, kShiftJis), 0u);
    EXPECT_EQ(adTextCharCount(text.data(), kShiftJis), 2);
}

struct CopyCase {
    const char* name;
    const char* input;
    std::int32_t n;
    std::size_t capacity;
    int result;
    const char* copied;
};

class CopyChars : public LoadedInitData, public testing::WithParamInterface<CopyCase> {};

// Whole characters only: a copy never splits an escape or a double-byte
// character, and always leaves the output terminated within its capacity.
TEST_P(CopyChars, CopiesWholeCharactersWithinTheCapacity) {
    const CopyCase& c = GetParam();
    std::vector<char> buffer(c.capacity + 1, '#');
    char* out = buffer.data();
    const char* in = c.input;
    EXPECT_EQ(adCopyChars(&out, &in, c.n, kShiftJis, c.capacity), c.result);
    EXPECT_STREQ(buffer.data(), c.copied);
    EXPECT_EQ(out, buffer.data() + std::strlen(c.copied));
    EXPECT_EQ(in, c.input + std::strlen(c.copied));
    EXPECT_EQ(buffer[c.capacity], '#');
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CopyChars,
    testing::Values(CopyCase{"All", "a\\U+00C4\x82\xA0z", 4, 32, 1, "a\\U+00C4\x82\xA0z"},
                    CopyCase{"FirstTwo", "a\\U+00C4\x82\xA0z", 2, 32, 1, "a\\U+00C4"},
                    CopyCase{"None", "abc", 0, 4, 1, ""},
                    CopyCase{"ExactFit", "ab\x82\xA0", 3, 5, 1, "ab\x82\xA0"},
                    CopyCase{"EscapeDoesNotFit", "a\\M+1A2B3c", 3, 8, 0, "a"},
                    CopyCase{"DoubleByteDoesNotFit", "ab\x82\xA0", 3, 4, 0, "ab"},
                    CopyCase{"InputEndsFirst", "ab", 5, 16, 0, "ab"},
                    CopyCase{"OnlyRoomForTheTerminator", "ab", 1, 1, 0, ""}),
    [](const testing::TestParamInfo<CopyCase>& info) { return info.param.name; });

TEST(TextChars, CopyRefusesAZeroCapacityWithoutWriting) {
    char byte = '#';
    char* out = &byte;
    const char* in = "abc";
    EXPECT_EQ(adCopyChars(&out, &in, 1, kPlain, 0), 0);
    EXPECT_EQ(byte, '#');
    EXPECT_EQ(out, &byte);
}

}  // namespace
