// SAT text inside ADPART proxy entities. The proxy's data bits were kept from a
// byte boundary, but the blocks in them are not byte-aligned: 14 bits come
// before the first block size, and each 34-bit size moves the alignment on by
// two bits, so the blocks cycle through the bit offsets 6, 0, 2 and 4.
#include "toolkit/db/sat_line.h"
#include "toolkit/ad_internal.h"

namespace {

// The byte at `shift` bits into the source: the unused low bits of *hand and
// the top bits of the next source byte, which becomes the byte in hand.
int readShiftedByte(AdStream* source, std::int32_t shift, std::uint8_t* hand, std::uint8_t* value) {
    std::uint8_t next = 0;
    if (!adStreamReadByte(source, &next)) return 0;
    *value = shift == 0 ? next : static_cast<std::uint8_t>((*hand << shift) | (next >> (8 - shift)));
    *hand = next;
    return 1;
}

// Restores the coded byte that begins `shift` bits into `previous` and ends in
// `current`. At offsets 6 and 2 the two bytes give the coded byte rotated left
// by two bits without any further shifting.
int restoreAt(AdStream* target, std::int32_t shift, std::uint8_t previous, std::uint8_t current, char* line,
              std::int32_t* length) {
    switch (shift) {
    case 6:
        return adSatDecodeRotated(target, static_cast<std::uint8_t>((current & 0xFC) | (previous & 0x03)), line,
                                  length);
    case 2: {
        const auto halves = static_cast<std::uint8_t>((previous & 0x3F) | (current & 0xC0));
        return adSatDecodeRotated(target, static_cast<std::uint8_t>((halves << 4) | (halves >> 4)), line, length);
    }
    case 4:
        return adSatDecodeByte(target, static_cast<std::uint8_t>((previous << 4) | (current >> 4)), line, length);
    default:
        return adSatDecodeByte(target, current, line, length);
    }
}

std::int32_t lineFailure(int put) { return put == 0 ? AD_SAT_LINE_TOO_LONG : AD_SAT_TARGET_FAILED; }

}  // namespace

int adSatReadShifted32(AdStream* source, std::uint32_t* out, std::int32_t shift, std::uint8_t* hand) {
    if (!out || !hand || shift < 0 || shift > 7) return 0;
    *out = 0;
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
        std::uint8_t byte = 0;
        if (!readShiftedByte(source, shift, hand, &byte)) return 0;
        value |= static_cast<std::uint32_t>(byte) << (8 * i);
    }
    *out = value;
    return 1;
}

std::int32_t adSatDecodeProxy(AdStream* source, AdStream* target) {
    char line[AD_SAT_LINE_SIZE + 1] = {};
    std::int32_t length = 0;
    std::uint8_t hand = 0;
    // The 14-bit prefix ends with the two code bits of the first size.
    if (!adStreamReadByte(source, &hand) || !adStreamReadByte(source, &hand)) return AD_SAT_SOURCE_ENDED;
    std::int32_t shift = 6;
    // Every pass reads at least the four bytes of a size, so the source bounds it.
    for (;;) {
        std::uint32_t size = 0;
        if (!adSatReadShifted32(source, &size, shift, &hand)) return AD_SAT_SOURCE_ENDED;
        // Whatever the offset, a block of n bytes takes n more source bytes.
        if (size > static_cast<std::uint32_t>(adStreamLength(source) - adStreamTell(source)))
            return AD_SAT_SOURCE_ENDED;
        for (std::uint32_t i = 0; i < size; ++i) {
            std::uint8_t current = 0;
            if (!adStreamReadByte(source, &current)) return AD_SAT_SOURCE_ENDED;
            const int put = restoreAt(target, shift, hand, current, line, &length);
            if (put != 1) return lineFailure(put);
            hand = current;
        }
        if (size != AD_SAT_BLOCK_SIZE) break;
        // The two code bits in front of the next size are passed over unread.
        if (shift == 0) {
            if (!adStreamReadByte(source, &hand)) return AD_SAT_SOURCE_ENDED;
            shift = 2;
        } else {
            shift = (shift + 2) % 8;
        }
    }
    if (length > 0 && !adSatWriteLine(target, line, &length)) return AD_SAT_TARGET_FAILED;
    return AD_SAT_DONE;
}
