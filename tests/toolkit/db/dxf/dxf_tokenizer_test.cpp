// The DXF tokenizer: groups of ASCII and binary files into the token, line
// ends, damaged lines and numbers, groups cut short, and the extended-data
// groups collected for a record.
#include "dxf_fixture.h"
#include "toolkit/db/dxf/dxf_read.h"
#include "toolkit/db/dxf/dxf_reader.h"
#include "toolkit/db/host_file.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

namespace {

struct AsciiCase {
    const char* name;
    std::string file;
    std::int16_t code;
    const char* text;
};

class DxfAsciiGroup : public DxfTest, public testing::WithParamInterface<AsciiCase> {};

TEST_P(DxfAsciiGroup, ReadsCodeAndText) {
    OpenedDxf dxf(dir_.write("g.dxf", GetParam().file));
    dxf.get()->format = AD_FORMAT_DXF_ASCII;
    ASSERT_EQ(adDxfReadGroup(dxf.get()), 1);
    EXPECT_EQ(adGlobals->dxfToken.code, GetParam().code);
    EXPECT_STREQ(adGlobals->dxfToken.text, GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DxfAsciiGroup,
    testing::Values(AsciiCase{"NameLosesTrailingSpaces", "2\n  AB  \n", 2, "  AB"},
                    AsciiCase{"TextKeepsSpaces", "1\n  AB  \n", 1, "  AB  "},
                    AsciiCase{"NameOfOneSpaceStays", "0\n \n", 0, " "},
                    AsciiCase{"LeadingSpaceInCode", " 10\n1.5\n", 10, "1.5"},
                    AsciiCase{"CrLf", "0\r\nSECTION\r\n", 0, "SECTION"},
                    AsciiCase{"CrOnly", "0\rSECTION\r", 0, "SECTION"},
                    AsciiCase{"LfCr", "0\n\rSECTION\n\r", 0, "SECTION"},
                    AsciiCase{"EmptyLinesBeforeCode", "\n\n0\nEOF\n", 0, "EOF"},
                    AsciiCase{"EmptyValue", "1\n\n0\nEOF\n", 1, ""},
                    AsciiCase{"ControlByteEndsLine", "1\nab\x01zz\n", 1, "ab"},
                    AsciiCase{"HighBytesKept", "1\n\xE4\xF6\n", 1, "\xE4\xF6"},
                    AsciiCase{"TabsKept", "1\n\ta\tb\t\n", 1, "\ta\tb\t"},
                    AsciiCase{"TabBeforeCode", "\t1\nab\n", 1, "ab"},
                    AsciiCase{"CommentSkipped", "999\nnote\n0\nEOF\n", 0, "EOF"},
                    AsciiCase{"CommentAtEndIsAGroup", "999\nnote\n", 999, "note"}),
    [](const testing::TestParamInfo<AsciiCase>& info) { return std::string(info.param.name); });

struct ValueCase {
    const char* name;
    std::string file;
    double real;
    std::int16_t shortValue;
    std::int32_t longValue;
    AdHandle handle;
};

class DxfAsciiValue : public DxfTest, public testing::WithParamInterface<ValueCase> {};

// Slots not named by the code keep what the test put there.
TEST_P(DxfAsciiValue, LandsInItsSlot) {
    OpenedDxf dxf(dir_.write("v.dxf", GetParam().file));
    dxf.get()->format = AD_FORMAT_DXF_ASCII;
    AdDxfToken& t = adGlobals->dxfToken;
    t.real = 0;
    t.shortValue = 0;
    t.longValue = 0;
    t.handle = AdHandle{{9, 9, 9, 9, 9, 9, 9, 9}};
    ASSERT_EQ(adDxfReadGroup(dxf.get()), 1);
    EXPECT_EQ(t.real, GetParam().real);
    EXPECT_EQ(t.shortValue, GetParam().shortValue);
    EXPECT_EQ(t.longValue, GetParam().longValue);
    EXPECT_EQ(std::memcmp(&t.handle, &GetParam().handle, sizeof t.handle), 0);
}

const AdHandle kUntouched{{9, 9, 9, 9, 9, 9, 9, 9}};

INSTANTIATE_TEST_SUITE_P(
    Cases, DxfAsciiValue,
    testing::Values(ValueCase{"Real", "40\n-2.5e3\n", -2500.0, 0, 0, kUntouched},
                    ValueCase{"RealWithPlusAndBlanks", "40\n  +0.25\n", 0.25, 0, 0, kUntouched},
                    ValueCase{"RealStopsAtComma", "40\n1,5\n", 1.0, 0, 0, kUntouched},
                    ValueCase{"RealNotANumber", "40\nabc\n", 0.0, 0, 0, kUntouched},
                    ValueCase{"RealNan", "40\nnan\n", 0.0, 0, 0, kUntouched},
                    ValueCase{"Short", "70\n  12\n", 0.0, 12, 0, kUntouched},
                    ValueCase{"ShortFromReal", "70\n3.9\n", 0.0, 3, 0, kUntouched},
                    ValueCase{"Long", "90\n-70000\n", 0.0, 0, -70000, kUntouched},
                    ValueCase{"LongOverflowClamps", "90\n99999999999\n", 0.0, 0, INT32_MAX, kUntouched},
                    ValueCase{"Handle", "5\n1F\n", 0.0, 0, 0, AdHandle{{0, 0, 0, 0, 0, 0, 0, 0x1F}}},
                    ValueCase{"HandleOddDigits", "5\nABC\n", 0.0, 0, 0, AdHandle{{0, 0, 0, 0, 0, 0, 0x0A, 0xBC}}},
                    ValueCase{"HandleTooLongIsNull", "5\n11223344556677889\n", 0.0, 0, 0, AdHandle{}},
                    ValueCase{"SoftPointer", "330\nff\n", 0.0, 0, 0, AdHandle{{0, 0, 0, 0, 0, 0, 0, 0xFF}}}),
    [](const testing::TestParamInfo<ValueCase>& info) { return std::string(info.param.name); });

using DxfAsciiDamage = DxfTest;

TEST_F(DxfAsciiDamage, LineLimitAndLettersInCodes) {
    const struct {
        std::string file;
        int read;
        std::int32_t error;
    } cases[] = {
        {"1\n" + std::string(2050, 'x') + "\n", 1, 0},
        {"1\n" + std::string(2051, 'x') + "\n", 0, AD_ERR_DXF_LINE_LENGTH},
        {"1\n" + std::string(200000, 'x') + "\n", 0, AD_ERR_DXF_LINE_LENGTH},
        {"1O\nx\n", 0, AD_ERR_DXF_GROUP_CODE},
        {std::string(2051, ' ') + "1\nx\n", 0, AD_ERR_DXF_LINE_LENGTH},
        {"0\n", 0, 0},  // the file ends before the value
        {"", 0, 0},
    };
    for (const auto& c : cases) {
        OpenedDxf dxf(dir_.write("d.dxf", c.file));
        dxf.get()->format = AD_FORMAT_DXF_ASCII;
        adGlobals->errorCode = 0;
        EXPECT_EQ(adDxfReadGroup(dxf.get()), c.read) << c.file.substr(0, 20);
        EXPECT_EQ(adGlobals->errorCode, c.error) << c.file.substr(0, 20);
    }
}

// Groups are read where they lie in the file's read window, and line by line
// where they cross its edge: both ways give the same groups, whichever byte
// of a group (the pair of a line end included) the edge falls on.
TEST_F(DxfAsciiDamage, GroupsAcrossTheReadWindowEdge) {
    const std::string tail = "  10\r\n1.25\r\n  1\r\nab\r\n  0\r\nEOF\r\n";
    const std::string filler = "1\r\n" + std::string(1994, 'f') + "\r\n";
    for (std::size_t shift = 1; shift <= tail.size(); ++shift) {
        const std::size_t before = HOST_READ_WINDOW - shift;
        std::string file;
        while (file.size() + filler.size() + 8 <= before) file += filler;
        const std::size_t fillers = file.size() / filler.size();
        file += "1\r\n" + std::string(before - file.size() - 5, 'g') + "\r\n";
        file += tail;
        OpenedDxf dxf(dir_.write("w.dxf", file));
        dxf.get()->format = AD_FORMAT_DXF_ASCII;
        const AdDxfToken& t = adGlobals->dxfToken;
        for (std::size_t i = 0; i <= fillers; ++i) {
            ASSERT_EQ(adDxfReadGroup(dxf.get()), 1) << shift;
            ASSERT_EQ(t.code, 1);
            ASSERT_EQ(std::strlen(t.text), i < fillers ? 1994u : before - fillers * filler.size() - 5);
        }
        ASSERT_EQ(adDxfReadGroup(dxf.get()), 1) << shift;
        EXPECT_EQ(t.code, 10);
        EXPECT_EQ(t.real, 1.25) << shift;
        ASSERT_EQ(adDxfReadGroup(dxf.get()), 1) << shift;
        EXPECT_EQ(t.code, 1);
        EXPECT_STREQ(t.text, "ab") << shift;
        ASSERT_EQ(adDxfReadGroup(dxf.get()), 1) << shift;
        EXPECT_TRUE(adDxfTokenIs(0, "EOF")) << shift;
        EXPECT_EQ(adDxfTell(dxf.get()), static_cast<std::int64_t>(file.size()));
        EXPECT_EQ(adDxfReadGroup(dxf.get()), 0);
    }
}

// Reals of value lines, whichever way they are converted, come out as the
// general conversion gives them, to the last bit.
TEST(DxfRealText, DecimalsMatchTheGeneralConversion) {
    std::vector<std::string> texts = {
        "925.0410377004979", "467.51329802233175", "-0.0", "0.1", "0.3", "2.675", "9007199254740992",
        "9007199254740993", "0.9007199254740993", "900719925474099.3", "1.0000000000000000000001",
        "0.0000000000000000000001", "0.00000000000000000000001", "123456789.12345678", "1e5", "5.", ".5",
        "-.5", "3.14abc", "-1234.5678", "  +2.5", "\t-7.25", "1.5.5", "00000000000000000000.5", "1,5", "-",
    };
    std::mt19937_64 random(7);
    for (int i = 0; i < 20000; ++i) {
        const double value = std::ldexp(static_cast<double>(random() >> 11), static_cast<int>(random() % 80) - 90);
        char shortest[64];
        const auto result = std::to_chars(shortest, shortest + sizeof shortest, i % 2 ? value : -value);
        texts.emplace_back(shortest, result.ptr);
        char fixed[64];
        std::snprintf(fixed, sizeof fixed, "%.*f", static_cast<int>(random() % 20), value * 1e6);
        texts.emplace_back(fixed);
    }
    for (const std::string& text : texts) {
        std::size_t start = text.find_first_not_of(" \t");
        if (start == std::string::npos) start = text.size();
        if (start < text.size() && text[start] == '+') ++start;
        double expected = 0.0;
        const auto result = std::from_chars(text.data() + start, text.data() + text.size(), expected);
        if (result.ec != std::errc() || !std::isfinite(expected)) expected = 0.0;
        const double got = adDxfParseReal(text.c_str(), text.size());
        ASSERT_EQ(std::memcmp(&got, &expected, sizeof got), 0) << text << " " << got << " " << expected;
    }
}

// Binary groups, built byte by byte.
class BinaryGroups {
public:
    explicit BinaryGroups(bool twoByteCodes) : two_(twoByteCodes) {
        bytes_ = std::string("AutoCAD Binary DXF\r\n\x1a", 21) + std::string(1, '\0');
    }
    BinaryGroups& code(int code) {
        if (two_) return raw16(code);
        if (code < 255) return raw8(code);
        return raw8(255).raw16(code);
    }
    BinaryGroups& raw8(int b) {
        bytes_ += static_cast<char>(b);
        return *this;
    }
    BinaryGroups& raw16(int v) { return raw8(v & 0xFF).raw8((v >> 8) & 0xFF); }
    BinaryGroups& text(const std::string& s) {
        bytes_ += s;
        return raw8(0);
    }
    BinaryGroups& real(double d) {
        char b[8];
        std::memcpy(b, &d, 8);  // the test hosts are little-endian
        bytes_.append(b, 8);
        return *this;
    }
    const std::string& bytes() const { return bytes_; }

private:
    bool two_;
    std::string bytes_;
};

class DxfBinaryGroup : public DxfTest {
protected:
    // A drawing positioned after the sentinel.
    std::unique_ptr<OpenedDxf> open(const BinaryGroups& groups, std::int16_t version) {
        auto dxf = std::make_unique<OpenedDxf>(dir_.write("b.dxf", groups.bytes()));
        dxf->get()->format = AD_FORMAT_DXF_BINARY;
        dxf->get()->version = version;
        HostSeek(dxf->get()->file, 22, 0);
        return dxf;
    }
};

TEST_F(DxfBinaryGroup, OneByteCodesWithEscape) {
    BinaryGroups g(false);
    g.code(0).text("SECTION").code(1071).raw8(0x78).raw8(0x56).raw8(0x34).raw8(0x12);
    g.code(40).real(std::numeric_limits<double>::quiet_NaN()).code(70).raw16(-3);
    g.code(290).raw8(1).code(5).text("ABC").code(1).text("after");
    auto dxf = open(g, 4);
    const AdDxfToken& t = adGlobals->dxfToken;
    ASSERT_EQ(adDxfReadGroup(dxf->get()), 1);
    EXPECT_TRUE(t.code == 0 && std::strcmp(t.text, "SECTION") == 0);
    ASSERT_EQ(adDxfReadGroup(dxf->get()), 1);
    EXPECT_EQ(t.code, 1071);
    EXPECT_EQ(t.longValue, 0x12345678);
    ASSERT_EQ(adDxfReadGroup(dxf->get()), 1);
    EXPECT_EQ(t.real, 0.0);  // a NaN is no value
    ASSERT_EQ(adDxfReadGroup(dxf->get()), 1);
    EXPECT_EQ(t.shortValue, -3);
    // Flags 290..299 take one byte: the groups behind stay in step.
    ASSERT_EQ(adDxfReadGroup(dxf->get()), 1);
    EXPECT_EQ(t.shortValue, 1);
    ASSERT_EQ(adDxfReadGroup(dxf->get()), 1);
    EXPECT_EQ(t.handle.b[6], 0x0A);
    EXPECT_EQ(t.handle.b[7], 0xBC);
    ASSERT_EQ(adDxfReadGroup(dxf->get()), 1);
    EXPECT_STREQ(t.text, "after");
    EXPECT_EQ(adDxfReadGroup(dxf->get()), 0);
}

TEST_F(DxfBinaryGroup, ChunksAndTwoByteCodes) {
    BinaryGroups g(true);
    g.code(310).raw8(3).raw8(0x01).raw8(0xAB).raw8(0xFF);
    g.code(1004).raw8(2).raw8(0x00).raw8(0x7F);
    g.code(311).raw8(1).raw8(0x10).code(999).text("comment").code(2).text("NAME");
    auto dxf = open(g, 5);
    const AdDxfToken& t = adGlobals->dxfToken;
    ASSERT_EQ(adDxfReadGroup(dxf->get()), 1);
    EXPECT_STREQ(t.text, "01ABFF");
    ASSERT_EQ(adDxfReadGroup(dxf->get()), 1);
    EXPECT_EQ(t.code, 1004);
    EXPECT_EQ(t.chunkLength, 2);
    EXPECT_EQ(static_cast<std::uint8_t>(t.text[1]), 0x7F);
    ASSERT_EQ(adDxfReadGroup(dxf->get()), 1);
    EXPECT_STREQ(t.text, "10");
    ASSERT_EQ(adDxfReadGroup(dxf->get()), 1);
    EXPECT_STREQ(t.text, "NAME");
}

// A file of a later release carries codes of its own (true colour,
// transparency ...); each is taken with its width, so the groups behind it
// keep their values.
TEST_F(DxfBinaryGroup, LaterCodesKeepTheGroupsInStep) {
    BinaryGroups g(true);
    g.code(420).raw16(0x0000).raw16(0x0100).code(440).raw16(0x0000).raw16(0x0200);
    g.code(460).real(2.5).code(480).text("1F").code(10).real(119.5).code(8).text("Layer1");
    auto dxf = open(g, 5);
    const AdDxfToken& t = adGlobals->dxfToken;
    for (int code : {420, 440, 460, 480}) {
        ASSERT_EQ(adDxfReadGroup(dxf->get()), 1);
        EXPECT_EQ(t.code, code);
    }
    ASSERT_EQ(adDxfReadGroup(dxf->get()), 1);
    EXPECT_EQ(t.code, 10);
    EXPECT_EQ(t.real, 119.5);
    ASSERT_EQ(adDxfReadGroup(dxf->get()), 1);
    EXPECT_STREQ(t.text, "Layer1");
}

// Every group cut short by the end of the file fails without a code.
TEST_F(DxfBinaryGroup, TruncatedGroupsFail) {
    const std::vector<BinaryGroups> cases = {
        BinaryGroups(false).code(40).raw8(1).raw8(2),
        BinaryGroups(false).code(70).raw8(1),
        BinaryGroups(false).code(90).raw16(1),
        BinaryGroups(false).code(1).raw8('a'),  // no NUL
        BinaryGroups(false).code(1004).raw8(200).raw8(1),
        BinaryGroups(false).code(310).raw8(5),
        BinaryGroups(false).raw8(255).raw8(1),
        BinaryGroups(true).raw8(0),
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        auto dxf = open(cases[i], i + 1 == cases.size() ? 5 : 4);
        adGlobals->errorCode = 0;
        EXPECT_EQ(adDxfReadGroup(dxf->get()), 0) << i;
        EXPECT_EQ(adGlobals->errorCode, 0) << i;
    }
}

// As in ASCII files: a group crossing the read window's edge at any of its
// bytes reads as one inside the window.
TEST_F(DxfBinaryGroup, GroupsAcrossTheReadWindowEdge) {
    BinaryGroups tail(false);
    tail.code(1071).raw8(0x78).raw8(0x56).raw8(0x34).raw8(0x12).code(10).real(-2.5).code(70).raw16(-3);
    tail.code(290).raw8(1).code(5).text("ABC").code(310).raw8(2).raw8(0x01).raw8(0xFE).code(1).text("end");
    const std::string tailBytes = tail.bytes().substr(22);
    for (std::size_t shift = 1; shift <= tailBytes.size(); ++shift) {
        BinaryGroups g(false);
        std::size_t fillers = 0;
        while (g.bytes().size() + 2 * 2002 <= HOST_READ_WINDOW - shift) {
            g.code(1).text(std::string(2000, 'f'));
            ++fillers;
        }
        g.code(1).text(std::string(HOST_READ_WINDOW - shift - g.bytes().size() - 2, 'g'));
        std::string bytes = g.bytes() + tailBytes;
        auto dxf = std::make_unique<OpenedDxf>(dir_.write("w.dxf", bytes));
        dxf->get()->format = AD_FORMAT_DXF_BINARY;
        dxf->get()->version = 4;
        HostSeek(dxf->get()->file, 22, 0);
        const AdDxfToken& t = adGlobals->dxfToken;
        for (std::size_t i = 0; i <= fillers; ++i) {
            ASSERT_EQ(adDxfReadGroup(dxf->get()), 1) << shift;
            ASSERT_EQ(t.code, 1);
        }
        ASSERT_EQ(adDxfReadGroup(dxf->get()), 1) << shift;
        EXPECT_EQ(t.longValue, 0x12345678) << shift;
        ASSERT_EQ(adDxfReadGroup(dxf->get()), 1) << shift;
        EXPECT_EQ(t.real, -2.5) << shift;
        ASSERT_EQ(adDxfReadGroup(dxf->get()), 1) << shift;
        EXPECT_EQ(t.shortValue, -3) << shift;
        ASSERT_EQ(adDxfReadGroup(dxf->get()), 1) << shift;
        EXPECT_EQ(t.shortValue, 1) << shift;
        ASSERT_EQ(adDxfReadGroup(dxf->get()), 1) << shift;
        EXPECT_EQ(t.handle.b[6], 0x0A);
        EXPECT_EQ(t.handle.b[7], 0xBC) << shift;
        ASSERT_EQ(adDxfReadGroup(dxf->get()), 1) << shift;
        EXPECT_STREQ(t.text, "01FE") << shift;
        ASSERT_EQ(adDxfReadGroup(dxf->get()), 1) << shift;
        EXPECT_STREQ(t.text, "end") << shift;
        EXPECT_EQ(adDxfTell(dxf->get()), static_cast<std::int64_t>(bytes.size()));
        EXPECT_EQ(adDxfReadGroup(dxf->get()), 0);
    }
}

class DxfXdataGroup : public DxfTest {
protected:
    // Collects the groups of an ASCII text as extended data, as a record reader does.
    std::vector<std::uint8_t> collect(const std::string& file, std::vector<int>* results = nullptr) {
        OpenedDxf dxf(dir_.write("x.dxf", file));
        dxf.get()->format = AD_FORMAT_DXF_ASCII;
        adGlobals->xdataLength = 0;
        while (adDxfReadGroup(dxf.get())) {
            if (adGlobals->dxfToken.code < 1000) break;
            const int stored = adDxfXdataGroup(dxf.get(), adGlobals->dxfToken.code);
            if (results) results->push_back(stored);
        }
        last_ = adGlobals->dxfToken.code;
        return {adGlobals->buffer32kA, adGlobals->buffer32kA + adGlobals->xdataLength};
    }
    std::int16_t last_ = 0;
};

TEST_F(DxfXdataGroup, RawItemsReadBack) {
    const std::string file = asciiGroups({{1001, "APP"}, {1002, "{"}, {1000, "hi"}, {1010, "1"}, {1020, "2"},
                                          {1030, "3"}, {1070, "-2"}, {1071, "65537"}, {1004, "0aff"}, {1002, "}"},
                                          {1005, "1F"}, {1040, "0.5"}, {0, "EOF"}});
    const std::vector<std::uint8_t> raw = collect(file);
    ASSERT_FALSE(raw.empty());
    OpenedDxf dxf(dir_.write("y.dxf", "0\nEOF\n"));
    ASSERT_EQ(adXdataReadBegin(dxf.get()), 1);
    AdXdataItem item;
    std::vector<std::int16_t> codes;
    while (adDwgReadXdataItem(dxf.get(), &item)) {
        codes.push_back(item.code);
        if (item.code == 1000) {
            EXPECT_STREQ(item.value.text, "hi");
        }
        if (item.code == 1010) {
            EXPECT_EQ(item.value.point[2], 3.0);
        }
        if (item.code == 1070) {
            EXPECT_EQ(item.value.int16, -2);
        }
        if (item.code == 1071) {
            EXPECT_EQ(item.value.int32, 65537);
        }
        if (item.code == 1004) {
            EXPECT_TRUE(item.length == 2 && item.value.bytes[1] == 0xFF);
        }
        if (item.code == 1005) {
            EXPECT_EQ(item.value.handle.b[7], 0x1F);
        }
        if (item.code == 1040) {
            EXPECT_EQ(item.value.real, 0.5);
        }
    }
    EXPECT_STREQ(adGlobals->xdataName, "APP");
    EXPECT_EQ(codes, (std::vector<std::int16_t>{1001, 1002, 1000, 1010, 1070, 1071, 1004, 1002, 1005, 1040}));
}

TEST_F(DxfXdataGroup, BracesStoreZeroAndOne) {
    EXPECT_EQ(collect(asciiGroups({{1002, "{"}, {1002, "}"}, {0, "EOF"}})),
              (std::vector<std::uint8_t>{2, 0, 2, 1}));
}

// A 2D point takes no group that is not its own coordinate, and a code
// extended data does not have stores nothing.
TEST_F(DxfXdataGroup, PointsAndUnknownCodesDoNotCorrupt) {
    std::vector<int> results;
    const std::vector<std::uint8_t> raw =
        collect(asciiGroups({{1010, "1"}, {1020, "2"}, {1070, "5"}, {1060, "1"}, {0, "EOF"}}), &results);
    EXPECT_EQ(results, (std::vector<int>{1, 1, 0}));
    ASSERT_EQ(raw.size(), 1u + 24u + 3u);
    EXPECT_EQ(raw[25], 70);
    EXPECT_EQ(last_, 0);
}

TEST_F(DxfXdataGroup, BoundedByTheBuffer) {
    std::vector<int> results;
    std::string file = asciiGroups({{1000, std::string(300, 'a')}});
    const std::string item = asciiGroups({{1000, std::string(255, 'b')}});
    for (int i = 0; i < 130; ++i) file += item;
    const std::vector<std::uint8_t> raw = collect(file + "0\nEOF\n", &results);
    EXPECT_EQ(raw[1], 255);  // the long string is cut to what a length byte counts
    EXPECT_LE(raw.size(), static_cast<std::size_t>(AD_XDATA_BUFFER_SIZE));
    EXPECT_EQ(results.back(), 0);
    EXPECT_EQ(raw.size() % 257, 0u);
}

}  // namespace
