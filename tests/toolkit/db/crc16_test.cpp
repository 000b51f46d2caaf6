// CRC-16/ARC with the two start values of the drawing files, and the stamp
// that closes fixed-size records.
#include "toolkit/ad.h"
#include "toolkit/ad_internal.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

TEST(Crc16Test, KnownValues) {
    const struct {
        std::uint16_t seed;
        const char* text;
        std::uint16_t crc;
    } cases[] = {
        {0, "123456789", 0xBB3D},
        {0, "abc", 0x9738},
        {0xC0C1, "123456789", 0x7E6C},
        {0xC0C1, "", 0xC0C1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(adCrc16(c.seed, c.text, static_cast<std::int32_t>(std::strlen(c.text))), c.crc);
    }
}

// With no final XOR, a message followed by its CRC (low byte first) checks
// to 0 from the same seed: the property the file checks rely on.
TEST(Crc16Test, MessageWithItsCrcChecksToZero) {
    std::vector<std::uint8_t> message(1000);
    for (std::size_t i = 0; i < message.size(); ++i) message[i] = static_cast<std::uint8_t>(i * 37 + 11);
    for (std::uint16_t seed : {0, 0xC0C1}) {
        const std::uint16_t crc = adCrc16(seed, message.data(), 1000);
        std::vector<std::uint8_t> sealed = message;
        sealed.push_back(static_cast<std::uint8_t>(crc));
        sealed.push_back(static_cast<std::uint8_t>(crc >> 8));
        EXPECT_EQ(adCrc16(seed, sealed.data(), 1002), 0);
        sealed[500] ^= 0x04;
        EXPECT_NE(adCrc16(seed, sealed.data(), 1002), 0);
    }
}

TEST(Crc16Test, StampClosesARecord) {
    std::uint8_t record[12] = {'1', '2', '3', '4', '5', '6', '7', '8', '9', '!', 0xFF, 0xFF};
    // The stamp covers the bytes before it: CRC of "123456789!" XOR the kind's constant.
    const std::uint16_t expected = static_cast<std::uint16_t>(adCrc16(0, record, 10) ^ 0x6718);
    EXPECT_EQ(adCrcStamp(record, 12, 0x6718), expected);
    EXPECT_EQ(record[10], expected & 0xFF);
    EXPECT_EQ(record[11], expected >> 8);
    EXPECT_EQ(adCrcStamp(record, 12, 0x6718), expected);  // the old stamp is not covered

    std::uint8_t tiny[1] = {0x5A};
    EXPECT_EQ(adCrcStamp(tiny, 1, 0x6718), 0);
    EXPECT_EQ(tiny[0], 0x5A);
}

}  // namespace
