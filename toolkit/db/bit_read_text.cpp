// Texts of the DWG bit stream: a BS length and that many bytes.
#include "toolkit/db/bit_stream_state.h"
#include "toolkit/ad_internal.h"

std::int32_t adBitReadText(char* text, std::int32_t size) {
    if (size > 0) text[0] = '\0';
    // The length is an unsigned 16-bit count, whatever BS form carried it.
    const std::int32_t length = static_cast<std::uint16_t>(adBitReadShort());
    if (!adBitUsable()) return 0;
    if (length > size - 1) return adBitBadData();
    if (!adBitReadBytes(text, length)) return 0;
    text[length] = '\0';
    return length;
}
