// Case changes touch ASCII letters only, never high bytes or the trail byte
// of a double-byte character.
#include "toolkit/ad.h"
#include "started_toolkit.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

namespace {

constexpr int kAnsi932 = 38;  // double-byte: 0x81..0x9F and 0xE0..0xFC lead

struct CaseCase {
    const char* name;
    std::string text;
    int codePage;
    std::string upper;
    std::string lower;
};

class TextCase : public StartedToolkit, public testing::WithParamInterface<CaseCase> {};

// The text sits in a heap block of exactly its size, so a walk past the
// terminator cannot go unseen.
std::string convert(void (*change)(char*, int), const std::string& text, int codePage) {
    auto buffer = std::make_unique<char[]>(text.size() + 1);
    std::memcpy(buffer.get(), text.c_str(), text.size() + 1);
    change(buffer.get(), codePage);
    return std::string(buffer.get());
}

TEST_P(TextCase, ChangesAsciiLettersOnly) {
    const CaseCase& c = GetParam();
    EXPECT_EQ(convert(adStrUpper, c.text, c.codePage), c.upper);
    EXPECT_EQ(convert(adStrLower, c.text, c.codePage), c.lower);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TextCase,
    testing::Values(CaseCase{"Ascii", "Txt.Shx", 0, "TXT.SHX", "txt.shx"},
                    CaseCase{"HighBytesStay", "a\xE9\xC9z", 0, "A\xE9\xC9Z", "a\xE9\xC9z"},
                    // The trail byte 0x61 is not the letter a.
                    CaseCase{"TrailByteStays", "a\x82\x61z", kAnsi932, "A\x82\x61Z", "a\x82\x61z"},
                    CaseCase{"TrailByteStaysLower", "A\x82\x41Z", kAnsi932, "A\x82\x41Z", "a\x82\x41z"},
                    CaseCase{"LeadByteLast", "ab\x82", kAnsi932, "AB\x82", "ab\x82"}),
    [](const testing::TestParamInfo<CaseCase>& info) { return std::string(info.param.name); });

}  // namespace
