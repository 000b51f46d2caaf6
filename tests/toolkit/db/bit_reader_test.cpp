// The DWG bit reader on given bytes: the forms no writer produces, the range
// rule for doubles, and data that ends early or is bad.
#include "bit_fixture.h"
#include "temp_dir.h"
#include "toolkit/ad_internal.h"

#include <bit>
#include <cstring>
#include <functional>
#include <limits>

namespace {

using BitReaderTest = BitFixture;

TEST_F(BitReaderTest, UnwrittenCodesReadAsZero) {
    readOverBits("11 11 11");
    double d = 7;
    EXPECT_EQ(adBitReadLong(), 0);
    EXPECT_EQ(adBitReadDouble(&d), 1);
    EXPECT_EQ(d, 0.0);
    EXPECT_EQ(adBitReadShort(), 256);
    EXPECT_EQ(bits_.failed, 0);
}

// At every bit offset, the forms ending the data so that the last are taken
// from the buffer's last bytes.
TEST_F(BitReaderTest, PartialDefaultDoublesPatchTheDefault) {
    // 1.0 is 00 00 00 00 00 00 F0 3F.
    const std::string forms = "01" + byteBits({0x01, 0x00, 0x00, 0x00}) + "10" +
                              byteBits({0x00, 0x40, 0x02, 0, 0, 0}) + "00";
    for (int lead = 0; lead < 8; ++lead) {
        SCOPED_TRACE(lead);
        readOverBits(std::string(static_cast<std::size_t>(lead), '1') + forms);
        for (int i = 0; i < lead; ++i) adBitReadBit();
        double d = 0;
        ASSERT_EQ(adBitReadDefDouble(&d, 1.0), 1);
        EXPECT_EQ(std::bit_cast<std::uint64_t>(d), 0x3FF0000000000001u);
        ASSERT_EQ(adBitReadDefDouble(&d, 1.0), 1);
        EXPECT_EQ(std::bit_cast<std::uint64_t>(d), 0x3FF0400000000002u);
        ASSERT_EQ(adBitReadDefDouble(&d, -2.5), 1);
        EXPECT_EQ(d, -2.5);
        EXPECT_EQ(bits_.failed, 0);
    }
}

TEST_F(BitReaderTest, DamagedDoublesReadAsZero) {
    const double damaged[] = {std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                              std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::denorm_min(),
                              -std::numeric_limits<double>::denorm_min(),
                              std::bit_cast<double>(std::uint64_t{0x000FFFFFFFFFFFFF})};
    const double p3[3] = {1, 1, 1};
    const std::function<int(double*)> readers[] = {
        adBitReadRawDouble,
        adBitReadDouble,
        [](double* d) { return adBitReadDefDouble(d, 5.0); },
        [](double* d) { double p[2]; const int ok = adBitReadRaw2D(p); *d = p[1]; return ok; },
        [&](double* d) { double p[3]; const int ok = adBitReadDefPoint3D(p, p3); *d = p[0]; return ok; },
    };
    const std::string prefixes[] = {"", "00", "11", "", "11"};
    for (double value : damaged) {
        std::uint8_t bytes[8];
        std::memcpy(bytes, &value, 8);
        for (std::size_t r = 0; r < std::size(readers); ++r) {
            SCOPED_TRACE(r);
            // The 2RD reader gets 1.0 as its first value.
            std::string bits = prefixes[r];
            if (r == 3) bits += byteBits({0, 0, 0, 0, 0, 0, 0xF0, 0x3F});
            bits += byteBits({bytes[0], bytes[1], bytes[2], bytes[3], bytes[4], bytes[5], bytes[6], bytes[7]});
            readOverBits(bits + "00 00");
            double d = 7;
            EXPECT_EQ(readers[r](&d), 1);
            EXPECT_EQ(d, 0.0);
        }
    }
    // The smallest normal and the largest finite values are kept.
    for (double value : {std::numeric_limits<double>::min(), std::numeric_limits<double>::max()}) {
        std::uint8_t bytes[8];
        std::memcpy(bytes, &value, 8);
        readOver({bytes, bytes + 8});
        double d = 0;
        EXPECT_EQ(adBitReadRawDouble(&d), 1);
        EXPECT_EQ(d, value);
    }
}

TEST_F(BitReaderTest, RelativeHandlesResolveAgainstTheBase) {
    const struct {
        std::vector<std::uint8_t> bytes;
        std::uint64_t expected;
    } cases[] = {
        {{0x60}, 0x11}, {{0x80}, 0x0F}, {{0xA1, 0x05}, 0x15}, {{0xC1, 0x05}, 0x0B},
        {{0x51, 0x20}, 0x20}, {{0x40}, 0},
        // Codes that carry their step step by nothing without bytes.
        {{0xA0}, 0x10}, {{0xC0}, 0x10},
    };
    const AdHandle base = handleOf(0x10);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        readOver(c.bytes);
        AdHandle h{};
        EXPECT_EQ(adBitReadRelHandle(&base, &h), 1);
        EXPECT_EQ(valueOf(h), c.expected);
    }
}

// Every reader, over data that ends before its value does (the bit strings are
// padded with zeros to whole bytes), answers 0 and marks the stream failed.
TEST_F(BitReaderTest, ReadsPastTheEndFail) {
    const struct {
        const char* name;
        std::string bits;
        std::function<std::int64_t()> read;
    } cases[] = {
        {"bit", "", [] { return adBitReadBit(); }},
        {"byte across the end", byteBits({0xFF}), [] {
             adBitReadBit();
             return adBitReadByte();
         }},
        {"BS", "00 11111111", [] { return adBitReadShort(); }},
        {"BL", "00" + byteBits({1, 2, 3}), [] { return adBitReadLong(); }},
        {"RL", byteBits({1, 2, 3}), [] { return adBitReadRawLong(); }},
        {"BD", "00" + byteBits({0, 0, 0, 0, 0, 0, 0xF0}), [] { double d; return adBitReadDouble(&d) + d; }},
        {"DD", "01" + byteBits({1, 2, 3}), [] { double d; return adBitReadDefDouble(&d, 1.0) + d; }},
        {"3BD", "01 01", [] { double p[3]; return adBitRead3D(p) + p[0]; }},
        {"optional", "0" + byteBits({0, 0, 0, 0, 0, 0, 0xF0, 0x3F}), [] { double p[3]; return adBitReadOptionalDouble(p) + p[0]; }},
        {"flagged", "1" + byteBits({0, 0, 0, 0, 0, 0, 0xF0, 0x3F}) + "00",
         [] { double s[3], e[3]; return adBitReadFlaggedPoints(s, e) + s[0] + e[0]; }},
        {"text", "01" + byteBits({10, 'a', 'b', 'c'}), [] { char t[16] = "x"; return adBitReadText(t, 16) + t[0]; }},
        {"handle", byteBits({0x44, 0x12, 0x34}), [] { AdHandle h; return adBitReadHandle(&h) + valueOf(h); }},
        {"bytes", byteBits({1, 2, 3}), [] { std::uint8_t b[4] = {9, 9, 9, 9}; return adBitReadBytes(b, 4) + b[0]; }},
        {"skip", byteBits({1, 2}), [] { return adBitSkip(17); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        readOverBits(c.bits);
        EXPECT_EQ(c.read(), 0);
        EXPECT_EQ(bits_.failed, 1);
    }
}

// Values taken many bits at a time leave the reader where taking their bits
// one by one would (the position and the end-of-data test read that state),
// at every bit offset, whether the buffer holds 8 bytes more or only a few.
TEST_F(BitReaderTest, WholeValuesLeaveTheReaderWhereSingleBitsWould) {
    using Bytes = std::vector<std::uint8_t>;
    const struct {
        const char* name;
        int bits;
        std::function<Bytes()> read;  // the bytes in stream order; none for a skip
    } readers[] = {
        {"RC", 8, [] { return Bytes{adBitReadByte()}; }},
        {"RL", 32, [] {
             const auto v = static_cast<std::uint32_t>(adBitReadRawLong());
             return Bytes{static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
                          static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)};
         }},
        {"3 bytes", 24, [] { Bytes b(3); adBitReadBytes(b.data(), 3); return b; }},
        {"19 bytes", 152, [] { Bytes b(19); adBitReadBytes(b.data(), 19); return b; }},
        {"skip 13", 13, [] { adBitSkip(13); return Bytes{}; }},
    };
    Bytes data(40);
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(0x9D * (i + 1) ^ (i << 3));
    const auto start = [&](const Bytes& bytes, int lead) {
        readOver(bytes);
        for (int i = 0; i < lead; ++i) adBitReadBit();
    };
    for (std::size_t size : {3u, 5u, 9u, 12u, 30u}) {
        const Bytes bytes(data.begin(), data.begin() + static_cast<std::ptrdiff_t>(size));
        for (int lead = 0; lead <= static_cast<int>(8 * size); ++lead) {
            for (const auto& r : readers) {
                SCOPED_TRACE(testing::Message() << r.name << " after " << lead << " bits of " << size << " bytes");
                start(bytes, lead);
                const Bytes value = r.read();
                const AdBitStream whole = bits_;

                start(bytes, lead);
                Bytes expected;
                for (int i = 0; i < r.bits; ++i) {
                    if (i % 8 == 0) expected.push_back(0);
                    expected.back() = static_cast<std::uint8_t>(expected.back() << 1 | adBitReadBit());
                }
                EXPECT_EQ(whole.failed, bits_.failed);
                if (bits_.failed) continue;
                // The current byte is where bytesLeft says: both end at the data's end.
                EXPECT_EQ(whole.bytesLeft, bits_.bytesLeft);
                EXPECT_EQ(whole.bitMask, bits_.bitMask);
                if (!value.empty()) {
                    EXPECT_EQ(value, expected);
                }
            }
        }
    }
}

std::vector<std::int32_t> fatalConditions;
int recordFatal(std::int32_t condition) {
    fatalConditions.push_back(condition);
    return 0;
}

// A handle of more than 8 bytes or a text longer than its field is bad data:
// the hook hears of it, and the stream fails so that nothing after the bad
// field is taken from the wrong position.
TEST_F(BitReaderTest, BadHandlesAndTextsFailTheStream) {
    state_.get()->hooks.fatalError = recordFatal;
    const struct {
        const char* name;
        std::string bits;
        std::function<std::int64_t()> read;
    } cases[] = {
        {"handle of 9 bytes", byteBits({0x49, 1, 2, 3, 4, 5, 6, 7, 8, 9}),
         [] { AdHandle h; return adBitReadHandle(&h) + valueOf(h); }},
        {"handle ref of 15 bytes", byteBits({0x5F, 1, 2}),
         [] { AdHandleEntry e; return adBitReadHandleRef(&e) + valueOf(e.handle) + e.flag; }},
        {"relative handle of 12 bytes", byteBits({0xAC, 1, 2}),
         [] { AdHandle h, base{}; return adBitReadRelHandle(&base, &h) + valueOf(h); }},
        {"text of 4 into 4 bytes", "01" + byteBits({4, 'a', 'b', 'c', 'd'}),
         [] { char t[4] = "xy"; return adBitReadText(t, 4) + t[0]; }},
        {"text into no room", "10", [] { char t[1] = {'x'}; return adBitReadText(t, 0) + t[0] - 'x'; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fatalConditions.clear();
        readOverBits(c.bits + byteBits({0xFF, 0xFF}));
        EXPECT_EQ(c.read(), 0);
        EXPECT_EQ(fatalConditions, std::vector<std::int32_t>{AD_FATAL_BAD_STORED_DATA});
        EXPECT_EQ(bits_.failed, 1);
        EXPECT_EQ(adBitReadByte(), 0);
    }
}

TEST_F(BitReaderTest, TextThatFillsItsFieldIsTaken) {
    readOverBits("01" + byteBits({3, 'a', 'b', 'c'}));
    char t[4];
    EXPECT_EQ(adBitReadText(t, 4), 3);
    EXPECT_STREQ(t, "abc");
}

// A stream refills the buffer 0xFFE0 bytes at a time; values that straddle a
// refill come out whole, and the stream's end is the data's end.
TEST_F(BitReaderTest, ReadsFromAStreamAcrossRefills) {
    AdStore* store = adStoreCreate(AD_STORE_BLOCK_SIZE);
    AdStream* out = adStreamOpenWrite(store);
    std::vector<std::uint8_t> data(0x1FFC5);
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(i * 31 + i / 256);
    ASSERT_EQ(adStreamWrite(out, data.data(), static_cast<std::int32_t>(data.size())), 1);
    ASSERT_EQ(adStreamCloseWrite(out), 1);

    bits_ = AdBitStream{};
    bits_.bitMask = 0x100;
    bits_.stream = adStreamOpenRead(store);
    bits_.streamBytesLeft = adStoreSize(store);
    state_.get()->bitStream = &bits_;
    // Three bits first, so that every byte after straddles two.
    int top = 0;
    for (int i = 0; i < 3; ++i) top = top * 2 + adBitReadBit();
    EXPECT_EQ(top, data[0] >> 5);
    std::vector<std::uint8_t> got(data.size() - 1);
    ASSERT_EQ(adBitReadBytes(got.data(), static_cast<std::int32_t>(got.size())), 1);
    for (std::size_t i = 0; i < got.size(); ++i)
        ASSERT_EQ(got[i], static_cast<std::uint8_t>((data[i] << 3) | (data[i + 1] >> 5))) << i;
    EXPECT_EQ(adBitSkip(5), 1);
    EXPECT_EQ(adBitReadBit(), 0);
    EXPECT_EQ(bits_.failed, 1);
    adStreamCloseRead(bits_.stream);
    adStoreFree(store);
}

// An object in two pieces: the first in the buffer, the last read from the
// drawing's file when the first is used up; positions count from the object's
// first data byte.
TEST_F(BitReaderTest, ReadsTheNextPieceFromTheFile) {
    TempDir dir;
    HostFile* file = HostOpenRead(dir.write("pieces.bin", "\x12\x34\x56\x78").c_str());
    ASSERT_NE(file, nullptr);
    drawing_->file = file;

    readBuffer_[0] = 0xAB;
    readBuffer_[1] = 0xCD;
    bits_ = AdBitStream{};
    bits_.current = readBuffer_.data();
    bits_.bytesLeft = 2;
    bits_.bitMask = 0x100;
    bits_.pieceCount = 2;
    bits_.firstSizeWord = 2;
    bits_.dataOffset = 1000;
    state_.get()->bitStream = &bits_;
    state_.get()->bitDrawing = drawing_.get();

    EXPECT_EQ(adBitReadByte(), 0xAB);
    EXPECT_EQ(adBitReadPosition(), 1000);
    EXPECT_EQ(adBitReadBit(), 1);  // of 0xCD
    EXPECT_EQ(adBitReadPosition(), 1001);
    // The last 7 bits of 0xCD, then the file's bytes.
    EXPECT_EQ(adBitReadRawLong(), static_cast<std::int32_t>(0xAC68249Au));
    EXPECT_EQ(bits_.pieceIndex, 1);
    EXPECT_EQ(adBitReadPosition(), 1005);
    EXPECT_EQ(adBitReadByte(), 0);  // 7 bits left: the object has no third piece
    EXPECT_EQ(bits_.failed, 1);
    HostClose(file);
    drawing_->file = nullptr;
}

}  // namespace
