// Name comparison folds only ASCII letters and orders bytes unsigned.
#include "toolkit/ad.h"

#include <gtest/gtest.h>

#include <climits>

struct CompareCase {
    const char* a;
    const char* b;
    std::size_t n;  // SIZE_MAX: the whole-text comparison
    int expected;
};

class NameCompare : public testing::TestWithParam<CompareCase> {};

TEST_P(NameCompare, FoldsOnlyAsciiLettersAndOrdersUnsigned) {
    const CompareCase& c = GetParam();
    if (c.n == SIZE_MAX) {
        EXPECT_EQ(adStrCompareNoCase(c.a, c.b), c.expected);
        EXPECT_EQ(adStrCompareNoCase(c.b, c.a), -c.expected);
    }
    EXPECT_EQ(adStrCompareNoCaseN(c.a, c.b, c.n), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NameCompare,
    testing::Values(CompareCase{"Standard", "STANDARD", SIZE_MAX, 0}, CompareCase{"abc", "abd", SIZE_MAX, -1},
                    CompareCase{"", "", SIZE_MAX, 0}, CompareCase{"ab", "abc", SIZE_MAX, -1},
                    // Letters fold down: '[' (0x5B) sorts below 'a', though above 'A'.
                    CompareCase{"[", "A", SIZE_MAX, -1},
                    // Bytes above 127 are neither folded nor signed.
                    CompareCase{"\xC4", "\xE4", SIZE_MAX, -1}, CompareCase{"\x80", "z", SIZE_MAX, 1},
                    CompareCase{"abcX", "ABCy", 3, 0}, CompareCase{"abc", "abd", 2, 0},
                    CompareCase{"ab", "AB", 10, 0}, CompareCase{"x", "y", 0, 0}));
