// Values kept in stores read back for writing: long texts in pieces (fixed-size
// pieces for the text fields of records, lines for the ACIS data of solids)
// and runs of doubles.
#include "toolkit/write/writer.h"

std::int32_t adStreamReadTextPiece(AdStream* stream, char* buffer) {
    buffer[0] = '\0';
    std::int32_t remaining = adStreamLength(stream) - adStreamTell(stream);
    if (remaining <= 0) return 0;
    if (remaining > AD_TEXT_PIECE_SIZE) remaining = AD_TEXT_PIECE_SIZE;
    if (!adStreamRead(stream, buffer, remaining)) return 0;
    buffer[remaining] = '\0';
    return remaining;
}

std::int32_t adStreamReadLine(AdStream* stream, char* buffer, std::int32_t limit, int* foundEnd) {
    *foundEnd = 0;
    buffer[0] = '\0';
    std::int32_t taken = 0;
    std::uint8_t byte = 0;
    while (taken < limit && adStreamReadByte(stream, &byte)) {
        ++taken;
        if (byte == '\r' || byte == '\n') {
            *foundEnd = 1;
            buffer[taken - 1] = '\0';
            // A CR LF pair (or any two line-end bytes) ends one line.
            if (adStreamReadByte(stream, &byte)) {
                if (byte == '\r' || byte == '\n')
                    ++taken;
                else
                    adStreamUnreadByte(stream, byte);
            }
            return taken;
        }
        buffer[taken - 1] = static_cast<char>(byte);
    }
    buffer[taken] = '\0';
    return taken;
}

std::vector<double> adStoredDoubles(AdStore* store, std::int64_t count) {
    std::vector<double> values;
    AdStream* in = store && count > 0 ? adStreamOpenRead(store) : nullptr;
    const std::int64_t held = in ? adStoreSize(store) / static_cast<std::int64_t>(sizeof(double)) : 0;
    values.reserve(static_cast<std::size_t>(count < held ? count : held));
    double value = 0.0;
    for (std::int64_t i = 0; in && i < count && adStreamReadDouble(in, &value); ++i) values.push_back(value);
    if (in) adStreamCloseRead(in);
    return values;
}
