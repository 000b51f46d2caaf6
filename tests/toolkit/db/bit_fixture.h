// A drawing with a bit stream, the two work buffers the bit coding uses, and
// helpers that set the reader over given bytes or over what was just written.
#pragma once
#include "scratch_state.h"
#include "toolkit/ad.h"
#include "toolkit/ad_internal.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class BitFixture : public ::testing::Test {
protected:
    void SetUp() override {
        state_.get()->buffer128kA = readBuffer_.data();
        state_.get()->buffer128kB = writeBuffer_.data();
        drawing_->bitStream = &bits_;
        ASSERT_EQ(adBitBufferReset(drawing_.get(), 0), 1);
    }

    void TearDown() override {
        if (bits_.chunkStream) adStreamCloseWrite(bits_.chunkStream);
        adStoreFree(bits_.chunkStore);
    }

    // The reader over exactly these bytes, in a block of their own size so that
    // the sanitizer sees any read beyond them.
    void readOver(const std::vector<std::uint8_t>& bytes) {
        source_ = std::make_unique<std::uint8_t[]>(bytes.size());
        std::copy(bytes.begin(), bytes.end(), source_.get());
        bits_ = AdBitStream{};
        bits_.current = source_.get();
        bits_.bytesLeft = static_cast<std::int32_t>(bytes.size());
        bits_.bitMask = 0x100;
        bits_.pieceCount = 1;
        state_.get()->bitStream = &bits_;
    }

    // The reader over a bit string such as "10 01 11111111" (blanks ignored),
    // padded with zeros to whole bytes.
    void readOverBits(const std::string& text) {
        std::vector<std::uint8_t> bytes;
        int n = 0;
        for (char c : text) {
            if (c != '0' && c != '1') continue;
            if (n % 8 == 0) bytes.push_back(0);
            if (c == '1') bytes.back() = static_cast<std::uint8_t>(bytes.back() | (0x80 >> (n % 8)));
            ++n;
        }
        readOver(bytes);
    }

    std::int32_t bitsWritten() const {
        const std::int32_t inCurrent = bits_.bitMask == 0x100 ? 0 : 8 - std::countr_zero(static_cast<unsigned>(bits_.bitMask));
        return 8 * (AD_BIT_CHUNK_SIZE - bits_.bytesLeft) + inCurrent;
    }

    // What the writer has put into its buffer since the reset, as a bit string.
    std::string writtenBits() const {
        std::string text;
        for (std::int32_t i = 0; i < bitsWritten(); ++i) text += (writeBuffer_[i / 8] & (0x80 >> (i % 8))) ? '1' : '0';
        return text;
    }

    std::vector<std::uint8_t> writtenBytes() const {
        return {writeBuffer_.begin(), writeBuffer_.begin() + (bitsWritten() + 7) / 8};
    }

    void readBack() { readOver(writtenBytes()); }

    AdBitStream bits_{};
    ScratchState state_;
    std::unique_ptr<AdDrawing> drawing_ = std::make_unique<AdDrawing>();
    std::vector<std::uint8_t> readBuffer_ = std::vector<std::uint8_t>(0x20000);
    std::vector<std::uint8_t> writeBuffer_ = std::vector<std::uint8_t>(0x20000);

private:
    std::unique_ptr<std::uint8_t[]> source_;
};

// Bit strings of whole bytes, most significant bit first.
inline std::string byteBits(std::initializer_list<std::uint8_t> bytes) {
    std::string text;
    for (std::uint8_t b : bytes)
        for (int i = 7; i >= 0; --i) text += ((b >> i) & 1) ? '1' : '0';
    return text;
}

inline AdHandle handleOf(std::uint64_t value) {
    AdHandle h{};
    for (int i = 7; i >= 0; --i, value >>= 8) h.b[i] = static_cast<std::uint8_t>(value);
    return h;
}

inline std::uint64_t valueOf(const AdHandle& h) {
    std::uint64_t v = 0;
    for (std::uint8_t b : h.b) v = (v << 8) | b;
    return v;
}
