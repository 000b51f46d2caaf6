// Code pages: names and numbers, the maps that need no data, out-of-range
// arguments, and every code converted as the platform's codecs convert it.
#include "toolkit/ad.h"
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "toolkit/db/loaded_init_data.h"

namespace {

// What a code page must convert every byte and double-byte code to, written
// from the platform's codecs by the generator of the init data.
struct ExpectedPage {
    int number = 0;
    bool absent = false;
    std::vector<std::uint32_t> bytes;              // 256 values
    std::map<std::uint32_t, std::uint32_t> pairs;  // double-byte code -> value
};

std::vector<ExpectedPage> readExpectations() {
    std::vector<ExpectedPage> pages;
    std::ifstream in(VT_CODE_PAGE_EXPECTATIONS);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string kind;
        ExpectedPage page;
        std::size_t pairCount = 0;
        fields >> kind >> page.number;
        if (kind == "absent") {
            page.absent = true;
            pages.push_back(page);
            continue;
        }
        fields >> pairCount;
        std::getline(in, line);
        std::istringstream values(line);
        std::uint32_t value;
        while (values >> std::hex >> value) page.bytes.push_back(value);
        for (std::size_t i = 0; i < pairCount && std::getline(in, line); ++i) {
            std::istringstream pair(line);
            std::uint32_t code;
            pair >> std::hex >> code >> value;
            page.pairs[code] = value;
        }
        pages.push_back(page);
    }
    return pages;
}

}  // namespace

TEST(CodePageNames, NamesAndNumbers) {
    struct Case {
        int number;
        const char* name;
    };
    const Case cases[] = {{0, "undefined"}, {26, "johab"}, {30, "ansi_1252"}, {41, "ansi_950"}, {42, nullptr},
                          {-1, nullptr}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.number);
        if (c.name) {
            EXPECT_STREQ(adCodePageName(c.number), c.name);
        } else {
            EXPECT_EQ(adCodePageName(c.number), nullptr);
        }
    }
    struct ByName {
        const char* name;
        int found;
        int number;
    };
    const ByName byName[] = {{"ANSI_1252", 1, 30}, {"Mac-Roman", 1, 23}, {"undefined", 1, 0},
                             {"ansi_125", 0, 0},   {"", 0, 0},           {nullptr, 0, 0}};
    for (const ByName& c : byName) {
        SCOPED_TRACE(c.name ? c.name : "null");
        int number = -1;
        EXPECT_EQ(adCodePageByName(c.name, &number), c.found);
        EXPECT_EQ(number, c.number);
    }
}

using CodePages = LoadedInitData;

TEST_F(CodePages, FixedMapsNeedNoData) {
    std::uint32_t unicode = 0;
    EXPECT_EQ(adCodePageToUnicode(1, 200, &unicode), 1);
    EXPECT_EQ(unicode, 0u);
    EXPECT_EQ(adCodePageToUnicode(0, 200, &unicode), 1);
    EXPECT_EQ(unicode, 200u);
    EXPECT_EQ(adCodePageToUnicode(0, 0x8140, &unicode), 0);
    EXPECT_EQ(unicode, 0x8140u);
}

TEST_F(CodePages, JohabIsNotAvailable) {
    EXPECT_EQ(adCodePageMap(26), -1);
    std::uint32_t unicode = 0;
    EXPECT_EQ(adCodePageToUnicode(26, 0x41, &unicode), 0);
    EXPECT_EQ(unicode, 0x41u);
    for (int b = 0; b < 256; ++b) EXPECT_EQ(adIsLeadByte(26, b), 0) << b;
}

TEST_F(CodePages, OutOfRangeArgumentsFindNothing) {
    std::uint32_t unicode = 0;
    for (int page : {-1, 42}) {
        EXPECT_EQ(adCodePageMap(page), -1);
        EXPECT_EQ(adCodePageToUnicode(page, 0x41, &unicode), 0);
        EXPECT_EQ(unicode, 0x41u);
        EXPECT_EQ(adIsLeadByte(page, 0x81), 0);
    }
    EXPECT_EQ(adCodePageToUnicode(22, 0x18140, &unicode), 0);
    EXPECT_EQ(unicode, 0x18140u);
    EXPECT_EQ(adCodePageToUnicode(22, 0x41, nullptr), 1);
    for (int byte : {-1, 256, 0x181}) EXPECT_EQ(adIsLeadByte(22, byte), 0) << byte;
}

TEST_F(CodePages, LargestCodeAndLeadByteAreFound) {
    struct Case {
        int page;
        std::uint32_t code;
        std::uint32_t unicode;
    };
    // The last code of each double-byte map, as the codecs decode it.
    const Case cases[] = {{22, 0xFC4B, 0x9ED1}, {31, 0xFE4F, 0xFA29}, {25, 0xFDFE, 0x8A70}, {24, 0xF9FE, 0x2593}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.page);
        std::uint32_t unicode = 0;
        EXPECT_EQ(adCodePageToUnicode(c.page, c.code, &unicode), 1);
        EXPECT_EQ(unicode, c.unicode);
        EXPECT_EQ(adIsLeadByte(c.page, static_cast<int>(c.code >> 8)), 1);
        EXPECT_EQ(adIsLeadByte(c.page, static_cast<int>(c.code >> 8) + 1), 0);
    }
}

TEST_F(CodePages, EveryCodeAgreesWithTheCodecs) {
    std::vector<ExpectedPage> pages = readExpectations();
    ASSERT_EQ(pages.size(), static_cast<std::size_t>(AD_CODE_PAGE_COUNT)) << VT_CODE_PAGE_EXPECTATIONS;
    for (const ExpectedPage& page : pages) {
        SCOPED_TRACE(testing::Message() << "page " << page.number << " " << adCodePageName(page.number));
        std::uint32_t unicode = 0;
        if (page.absent) {
            EXPECT_EQ(adCodePageMap(page.number), -1);
            continue;
        }
        ASSERT_EQ(page.bytes.size(), 256u);
        for (std::uint32_t c = 0; c < 256; ++c) {
            ASSERT_EQ(adCodePageToUnicode(page.number, c, &unicode), 1) << c;
            ASSERT_EQ(unicode, page.bytes[c]) << "byte " << c;
        }
        std::set<int> leads;
        for (std::uint32_t c = 256; c <= 0xFFFF; ++c) {
            auto pair = page.pairs.find(c);
            bool found = pair != page.pairs.end();
            ASSERT_EQ(adCodePageToUnicode(page.number, c, &unicode), found ? 1 : 0) << "code " << std::hex << c;
            ASSERT_EQ(unicode, found ? pair->second : c) << "code " << std::hex << c;
            if (found) leads.insert(static_cast<int>(c >> 8));
        }
        for (int b = 0; b < 256; ++b) ASSERT_EQ(adIsLeadByte(page.number, b), leads.count(b) ? 1 : 0) << "byte " << b;
    }
}
