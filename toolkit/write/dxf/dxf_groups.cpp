// DXF groups, each a code and a value, in the ASCII or the binary form of the
// output. ASCII lines end in CR LF on every build.
#include "toolkit/write/dxf/dxf_writer.h"

#include <charconv>
#include <cstring>
#include <string>

namespace {
constexpr double kDegreesPerRadian = 57.29577951308232;

bool ascii(const AdOutputDrawing* output) { return output->format == AD_FORMAT_DXF_ASCII; }

// The ASCII code line: right-aligned in three columns.
std::size_t codeLine(std::int16_t code, char* line) {
    char digits[8];
    auto end = std::to_chars(digits, digits + sizeof digits, static_cast<int>(code)).ptr;
    const std::size_t length = static_cast<std::size_t>(end - digits);
    std::size_t at = 0;
    for (std::size_t pad = length; pad < 3; ++pad) line[at++] = ' ';
    std::memcpy(line + at, digits, length);
    at += length;
    line[at++] = '\r';
    line[at++] = '\n';
    return at;
}

// Code line and value line in one write.
int asciiGroup(AdOutputDrawing* output, std::int16_t code, const char* value, std::size_t length) {
    char small[512];
    std::string large;
    char* line = small;
    const std::size_t needed = 8 + length + 2;
    if (needed > sizeof small) {
        large.resize(needed);
        line = large.data();
    }
    std::size_t at = codeLine(code, line);
    std::memcpy(line + at, value, length);
    at += length;
    line[at++] = '\r';
    line[at++] = '\n';
    return adOutWrite(output, line, at);
}

int binaryValue(AdOutputDrawing* output, std::int16_t code, const void* bytes, std::size_t count) {
    return adDxfWriteGroupCode(output, code) && adOutWrite(output, bytes, count);
}

void littleEndian(std::uint64_t value, int count, std::uint8_t* bytes) {
    for (int i = 0; i < count; ++i) bytes[i] = static_cast<std::uint8_t>((value >> (8 * i)) & 0xFF);
}

// An integer right-aligned in the precision's width.
int asciiInteger(AdOutputDrawing* output, std::int16_t code, std::int32_t value, int width) {
    char digits[16];
    auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    const int length = static_cast<int>(end - digits);
    char text[48];
    int at = 0;
    for (int pad = length; pad < width && at < 24; ++pad) text[at++] = ' ';
    std::memcpy(text + at, digits, static_cast<std::size_t>(length));
    at += length;
    return asciiGroup(output, code, text, static_cast<std::size_t>(at));
}

int writeDouble(AdOutputDrawing* output, std::int16_t code, double value) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    std::uint8_t bytes[8];
    littleEndian(bits, 8, bytes);
    return binaryValue(output, code, bytes, 8);
}
}  // namespace

int adDxfWriteGroupCode(AdOutputDrawing* output, std::int16_t code) {
    std::uint8_t bytes[3];
    if (output->version >= AD_VERSION_FIRST_BITCODED) {
        littleEndian(static_cast<std::uint16_t>(code), 2, bytes);
        return adOutWrite(output, bytes, 2);
    }
    if (code >= 0 && code <= 254) {
        bytes[0] = static_cast<std::uint8_t>(code);
        return adOutWrite(output, bytes, 1);
    }
    bytes[0] = 0xFF;
    littleEndian(static_cast<std::uint16_t>(code), 2, bytes + 1);
    return adOutWrite(output, bytes, 3);
}

int adDxfWriteCharGroup(AdOutputDrawing* output, std::int16_t code, char value) {
    if (ascii(output)) return asciiGroup(output, code, &value, 1);
    std::uint8_t bytes[2];
    littleEndian(static_cast<std::uint16_t>(static_cast<std::int16_t>(static_cast<signed char>(value))), 2, bytes);
    return binaryValue(output, code, bytes, 2);
}

int adDxfWriteByteGroup(AdOutputDrawing* output, std::int16_t code, std::int8_t value) {
    if (ascii(output)) return asciiInteger(output, code, value, output->precision);
    const auto byte = static_cast<std::uint8_t>(value);
    return binaryValue(output, code, &byte, 1);
}

int adDxfWriteShortGroup(AdOutputDrawing* output, std::int16_t code, std::int16_t value) {
    if (ascii(output)) return asciiInteger(output, code, value, output->precision);
    std::uint8_t bytes[2];
    littleEndian(static_cast<std::uint16_t>(value), 2, bytes);
    return binaryValue(output, code, bytes, 2);
}

int adDxfWriteLongGroup(AdOutputDrawing* output, std::int16_t code, std::int32_t value) {
    if (ascii(output)) return asciiInteger(output, code, value, 9);
    std::uint8_t bytes[4];
    littleEndian(static_cast<std::uint32_t>(value), 4, bytes);
    return binaryValue(output, code, bytes, 4);
}

int adDxfWriteRealGroup(AdOutputDrawing* output, std::int16_t code, const double* value) {
    if (!ascii(output)) return writeDouble(output, code, *value);
    char text[AD_DXF_NUMBER_SIZE];
    adDxfFormatReal(output, *value, text);
    return asciiGroup(output, code, text, std::strlen(text));
}

int adDxfWriteFullRealGroup(AdOutputDrawing* output, std::int16_t code, const double* value) {
    if (output->format == AD_FORMAT_DXF_BINARY) return writeDouble(output, code, *value);
    char text[AD_DXF_NUMBER_SIZE];
    adDxfFormatFullReal(output, *value, text);
    return asciiGroup(output, code, text, std::strlen(text));
}

int adDxfWriteAngleGroup(AdOutputDrawing* output, std::int16_t code, const double* radians) {
    const double degrees = *radians * kDegreesPerRadian;
    return adDxfWriteRealGroup(output, code, &degrees);
}

int adDxfWriteStringGroup(AdOutputDrawing* output, std::int16_t code, const char* text) {
    const std::size_t length = std::strlen(text);
    if (ascii(output)) return asciiGroup(output, code, text, length);
    return binaryValue(output, code, text, length + 1);
}

int adDxfWriteEscapedGroup(AdOutputDrawing* output, std::int16_t code, const char* text) {
    std::string value;
    const std::size_t length = std::strlen(text);
    value.reserve(length + 8);
    for (std::size_t i = 0; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x20) {
            value += '^';
            value += static_cast<char>(byte + 0x40);
        } else if (byte == '^') {
            // A caret after a lead byte is the second byte of its character.
            const bool trail = (i % 2) == 1 && (static_cast<unsigned char>(text[i - 1]) & 0x80);
            value += '^';
            if (!trail) value += ' ';
        } else {
            value += static_cast<char>(byte);
        }
    }
    if (length > 0 && text[length - 1] == '^') value += ' ';
    if (ascii(output)) return asciiGroup(output, code, value.data(), value.size());
    return binaryValue(output, code, value.c_str(), value.size() + 1);
}

int adDxfWriteNameGroup(AdDrawing* source, AdOutputDrawing* output, std::int16_t code, const char* name,
                        std::int32_t number, std::int16_t limit) {
    if (output->version >= AD_VERSION_COUNT - 1) return adDxfWriteStringGroup(output, code, name);
    char legal[AD_LEGAL_NAME_SIZE];
    adDwgLegalName(source, &output->budgets, name, number, limit, legal);
    return adDxfWriteStringGroup(output, code, legal);
}

int adDxfWriteHandleGroup(AdOutputDrawing* output, std::int16_t code, const AdHandle* handle) {
    char text[AD_HANDLE_HEX_SIZE];
    adHandleToHex(handle, text, sizeof text);
    return adDxfWriteStringGroup(output, code, text);
}

int adDxfWriteBinaryChunks(AdOutputDrawing* output, AdStore* store, std::int16_t code, std::int32_t chunkSize) {
    if (!store) return 1;
    if (chunkSize < 1 || chunkSize > 127) chunkSize = 127;
    AdStream* stream = adStreamOpenRead(store);
    if (!stream) return 0;
    std::int32_t remaining = adStreamLength(stream);
    int result = 1;
    std::uint8_t piece[128];
    while (result && remaining > 0) {
        const std::int32_t count = remaining < chunkSize ? remaining : chunkSize;
        if (!adStreamRead(stream, piece, count)) {
            result = 0;
            break;
        }
        remaining -= count;
        if (ascii(output)) {
            char hex[2 * 128 + 1];
            adBytesToHex(piece, static_cast<std::size_t>(count), hex, sizeof hex);
            result = adDxfWriteStringGroup(output, code, hex);
        } else {
            std::uint8_t head[3];
            littleEndian(static_cast<std::uint16_t>(code), 2, head);
            head[2] = static_cast<std::uint8_t>(count);
            result = adOutWrite(output, head, 3) && adOutWrite(output, piece, static_cast<std::size_t>(count));
        }
    }
    adStreamCloseRead(stream);
    return result;
}

int adDxfWriteHandleRefs(AdOutputDrawing* output, AdStore* store, std::int32_t count) {
    if (!store) return 1;
    AdStream* stream = adStreamOpenRead(store);
    if (!stream) return 0;
    int result = 1;
    AdHandleEntry entry{};
    for (std::int32_t i = 0; result && i < count && adStreamReadHandleEntry(stream, &entry); ++i) {
        const int kind = entry.flag == 0 ? 3 : entry.flag;
        result = adDxfWriteHandleGroup(output, static_cast<std::int16_t>((kind + 32) * 10), &entry.handle);
    }
    adStreamCloseRead(stream);
    return result;
}

int adDxfWriteReactorHandles(AdOutputDrawing* output, AdStore* store, std::int32_t count) {
    if (!store) return 1;
    AdStream* stream = adStreamOpenRead(store);
    if (!stream) return 0;
    int result = 1;
    AdHandle handle{};
    for (std::int32_t i = 0; result && i < count && adStreamReadHandle(stream, &handle); ++i)
        result = adDxfWriteHandleGroup(output, 330, &handle);
    adStreamCloseRead(stream);
    return result;
}
