// SAT text restored from the coded blocks of ADPART proxy data: the byte rule,
// the four bit phases of the blocks, the line fix-up and the refusal of
// blocks that the data does not hold.
#include "bit_fixture.h"
#include "store_bytes.h"
#include "toolkit/ad.h"
#include "toolkit/db/host_fault.h"
#include "toolkit/ad_internal.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<std::uint8_t> Coded(const std::string& text) {
    std::vector<std::uint8_t> bytes;
    for (char c : text) {
        const auto ch = static_cast<std::uint8_t>(c);
        bytes.push_back(ch >= 33 && ch <= 126 ? static_cast<std::uint8_t>(159 - ch) : ch);
    }
    return bytes;
}

// A block as the bit stream holds it: the size it claims and the bytes that follow.
struct Block {
    std::uint32_t size;
    std::vector<std::uint8_t> bytes;
};

// The text cut into full blocks; a text that fills its last block exactly
// ends with an empty block.
std::vector<Block> BlocksOf(const std::string& text) {
    const std::vector<std::uint8_t> coded = Coded(text);
    std::vector<Block> blocks;
    std::size_t at = 0;
    for (;;) {
        const std::size_t n = std::min<std::size_t>(AD_SAT_BLOCK_SIZE, coded.size() - at);
        blocks.push_back({static_cast<std::uint32_t>(n), {coded.begin() + at, coded.begin() + at + n}});
        at += n;
        if (n != AD_SAT_BLOCK_SIZE) return blocks;
    }
}

// Lines of varying length and both line ends, of exactly n bytes, over every
// byte value but the line ends and "$" (so that no line is fixed up).
std::string SatLikeText(std::size_t n) {
    std::string text;
    int value = 0;
    for (std::size_t line = 1; text.size() < n; ++line) {
        for (std::size_t i = 0; i < line % 300 && text.size() < n; ++i) {
            do value = (value + 1) % 256;
            while (value == '\r' || value == '\n' || value == '$');
            text += static_cast<char>(value);
        }
        text += line % 3 ? "\n" : "\r\n";
    }
    text.resize(n);
    return text;
}

struct Decoded {
    std::int32_t result;
    std::string text;
};

class SatCodingTest : public BitFixture {
protected:
    // The proxy data, written with the bit writer: 12 bits that are not
    // interpreted, then each block as a 32-bit BL size and its bytes.
    std::vector<std::uint8_t> encode(const std::vector<Block>& blocks) {
        EXPECT_EQ(adEncodeBegin(drawing_.get()), 1);
        for (int i = 0; i < 12; ++i) adBitWriteBit(i % 3);
        for (const Block& b : blocks) {
            adBitWriteBit(0);
            adBitWriteBit(0);
            adBitWriteRawLong(static_cast<std::int32_t>(b.size));
            adBitWriteBytes(b.bytes.data(), static_cast<std::int32_t>(b.bytes.size()));
        }
        std::int32_t bits = 0;
        AdStore* store = adEncodeEnd(drawing_.get(), &bits);
        EXPECT_NE(store, nullptr);
        std::vector<std::uint8_t> bytes = ReadAll(store);
        adStoreFree(store);
        return bytes;
    }

    // The source in a store, and a read stream over it.
    struct Source {
        explicit Source(const std::vector<std::uint8_t>& bytes) : store(StoreWith(bytes)), in(adStreamOpenRead(store)) {}
        ~Source() {
            adStreamCloseRead(in);
            adStoreFree(store);
        }
        AdStore* store;
        AdStream* in;
    };

    static Decoded decode(const std::vector<std::uint8_t>& bytes) {
        Source source(bytes);
        AdStore* target = adStoreCreate(AD_STORE_BLOCK_SIZE);
        AdStream* out = adStreamOpenWrite(target);
        const std::int32_t result = adSatDecodeProxy(source.in, out);
        adStreamCloseWrite(out);
        const std::vector<std::uint8_t> text = ReadAll(target);
        adStoreFree(target);
        return {result, std::string(text.begin(), text.end())};
    }
};

// A text of k full blocks and 5 bytes ends in the phase after k full blocks:
// k = 4 is phase 1 again. Every byte value is restored in every phase.
TEST_F(SatCodingTest, RestoresTheTextInEveryBitPhase) {
    for (std::size_t k = 0; k <= 4; ++k) {
        SCOPED_TRACE(k);
        const std::string text = SatLikeText(k * AD_SAT_BLOCK_SIZE + 5);
        const std::vector<Block> blocks = BlocksOf(text);
        ASSERT_EQ(blocks.size(), k + 1);
        const Decoded d = decode(encode(blocks));
        EXPECT_EQ(d.result, AD_SAT_DONE);
        EXPECT_EQ(d.text, text);
    }
}

TEST_F(SatCodingTest, DecodesTheLastBlockAndNothingAfterIt) {
    const std::string full = SatLikeText(AD_SAT_BLOCK_SIZE);
    const struct {
        const char* name;
        std::vector<Block> blocks;
        std::string expected;
    } cases[] = {
        {"a block of 10 ends the data", {{10, Coded("ABC DEFGH\n")}, {4, Coded("XYZ\n")}}, "ABC DEFGH\n"},
        {"a full block, then an empty one", BlocksOf(full), full},
        {"only an empty block", {{0, {}}}, ""},
        {"a last line without its end", {{8, Coded("abc\r\nxyz")}}, "abc\r\nxyz"},
        {"lines fixed up as they end",
         BlocksOf("-surface $5 t1 t2 t3 #\rpoint $7 a b c d\n"),
         "-surface $5 t2 t3 #\rpoint $7 a b c d\n"},
        {"the longest line", BlocksOf(std::string(AD_SAT_LINE_SIZE - 1, 'x') + "\n"),
         std::string(AD_SAT_LINE_SIZE - 1, 'x') + "\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Decoded d = decode(encode(c.blocks));
        EXPECT_EQ(d.result, AD_SAT_DONE);
        EXPECT_EQ(d.text, c.expected);
    }
}

TEST_F(SatCodingTest, RefusesDataThatEndsEarlyAndKeepsTheLinesBefore) {
    const std::string full = "first\n" + SatLikeText(AD_SAT_BLOCK_SIZE - 6);
    const std::vector<std::uint8_t> tenBytes = encode({{10, Coded("ABC DEFGH\n")}});
    const struct {
        const char* name;
        std::vector<std::uint8_t> source;
        std::string kept;
    } cases[] = {
        {"no data", {}, ""},
        {"only the first prefix byte", {0x12}, ""},
        {"the size cut short", std::vector<std::uint8_t>(tenBytes.begin(), tenBytes.begin() + 4), ""},
        {"a block one byte short", std::vector<std::uint8_t>(tenBytes.begin(), tenBytes.end() - 1), ""},
        {"a block claiming 11 bytes of 10", encode({{11, Coded("ABC DEFGH\n")}}), ""},
        {"a block claiming 4 GB", encode({{0xFFFFFFFFu, Coded("ABC DEFGH\n")}}), ""},
        {"a full block and no more", encode({{AD_SAT_BLOCK_SIZE, Coded(full)}}),
         full.substr(0, full.find_last_of("\r\n") + 1)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Decoded d = decode(c.source);
        EXPECT_EQ(d.result, AD_SAT_SOURCE_ENDED);
        EXPECT_EQ(d.text, c.kept);
    }
}

TEST_F(SatCodingTest, RefusesALineThatReachesTheLimit) {
    const Decoded d = decode(encode(BlocksOf("first\n" + std::string(AD_SAT_LINE_SIZE, 'x') + "\n")));
    EXPECT_EQ(d.result, AD_SAT_LINE_TOO_LONG);
    EXPECT_EQ(d.text, "first\n");
}

TEST_F(SatCodingTest, ReportsATargetThatCannotTakeALine) {
    Source source(encode(BlocksOf("a line longer than one block of the target\n")));
    AdStore* target = adStoreCreate(16);
    AdStream* out = adStreamOpenWrite(target);
    HostFailAllocationAfter(0);  // the target's first full block cannot be stored
    EXPECT_EQ(adSatDecodeProxy(source.in, out), AD_SAT_TARGET_FAILED);
    HostFailAllocationAfter(-1);
    adStreamCloseWrite(out);
    adStoreFree(target);
}

// The rotated phases restore every coded byte as the whole-byte phases do,
// 127 and the bytes above it included.
TEST(SatByteTest, RotatedAndWholeBytesRestoreAlike) {
    const struct {
        std::uint8_t coded;
        std::uint8_t ch;
    } cases[] = {{0x7E, 0x21}, {0x21, 0x7E}, {0x20, 0x20}, {0x00, 0x00}, {0x09, 0x09},
                 {0x41, 0x5E}, {0x7F, 0x7F}, {0x80, 0x80}, {0xC8, 0xC8}, {0xFF, 0xFF}};
    for (const auto& c : cases) EXPECT_EQ(adSatRestoreByte(c.coded), c.ch) << int{c.coded};

    for (int coded = 0; coded < 256; ++coded) {
        if (coded == '\r' || coded == '\n') continue;
        char whole[AD_SAT_LINE_SIZE + 1] = {};
        char rotated[AD_SAT_LINE_SIZE + 1] = {};
        std::int32_t wholeLength = 0, rotatedLength = 0;
        const auto b = static_cast<std::uint8_t>(coded);
        ASSERT_EQ(adSatDecodeByte(nullptr, b, whole, &wholeLength), 1);
        ASSERT_EQ(adSatDecodeRotated(nullptr, static_cast<std::uint8_t>((b << 2) | (b >> 6)), rotated, &rotatedLength),
                  1);
        EXPECT_EQ(rotatedLength, 1);
        EXPECT_EQ(static_cast<std::uint8_t>(rotated[0]), adSatRestoreByte(b)) << coded;
        EXPECT_EQ(rotated[0], whole[0]) << coded;
    }
}

TEST(SatFixLineTest, RemovesOneTokenAfterTheFirstPatternThatApplies) {
    const struct {
        const char* line;
        const char* fixed;
    } cases[] = {
        {"-surface $5 t1 t2 t3 #", "-surface $5 t2 t3 #"},
        {"-curve $3 a b", "-curve $3 b"},
        {"point $7 a b c d e", "point $7 a b c e"},
        {"point $7 a b c d", "point $7 a b c d"},
        {"-surface $5 x", "-surface $5 x"},
        // A pattern that cannot be applied gives way to the next.
        {"point $1 a b c d e -surface $5 x", "point $1 a b c e -surface $5 x"},
        // Only one token goes, even when more patterns would apply.
        {"-surface $1 a b -curve $2 c d point $3 e f g h i", "-surface $1 b -curve $2 c d point $3 e f g h i"},
        {"cone $4 1 2 3 4 5 #", "cone $4 1 2 3 4 5 #"},
        {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        char line[AD_SAT_LINE_SIZE + 1] = {};
        std::strcpy(line, c.line);
        auto length = static_cast<std::int32_t>(std::strlen(line));
        EXPECT_EQ(adSatFixLine(line, &length), std::strcmp(c.line, c.fixed) != 0 ? 1 : 0);
        EXPECT_EQ(length, static_cast<std::int32_t>(std::strlen(c.fixed)));
        EXPECT_STREQ(line, c.fixed);
    }
}

}  // namespace
