// Hexadecimal text of handles and byte strings.
#include "toolkit/ad.h"

#include <cstring>

namespace {
constexpr char kDigits[] = "0123456789ABCDEF";
}

char* adBytesToHex(const std::uint8_t* bytes, std::size_t count, char* text, std::size_t capacity) {
    if (capacity == 0 || count > (capacity - 1) / 2) return nullptr;
    for (std::size_t i = 0; i < count; ++i) {
        *text++ = kDigits[bytes[i] >> 4];
        *text++ = kDigits[bytes[i] & 0x0F];
    }
    *text = '\0';
    return text;
}

int adHandleToHex(const AdHandle* handle, char* text, std::size_t capacity) {
    const int length = adHandleLength(handle);
    const std::uint8_t* first = handle->b + (8 - length);
    const std::size_t firstDigits = (length == 0 || *first < 16) ? 1 : 2;
    const std::size_t restBytes = length == 0 ? 0 : static_cast<std::size_t>(length - 1);
    if (capacity < firstDigits + 2 * restBytes + 1) return 0;
    const std::uint8_t firstByte = length == 0 ? 0 : *first;
    if (firstDigits == 2) *text++ = kDigits[firstByte >> 4];
    *text++ = kDigits[firstByte & 0x0F];
    adBytesToHex(first + 1, restBytes, text, 2 * restBytes + 1);
    return 1;
}

int adHexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return 0;
}

int adHexToBytes(const char* text, std::uint8_t* bytes, std::size_t capacity, std::int16_t* count) {
    const std::size_t digits = std::strlen(text);
    const std::size_t needed = (digits + 1) / 2;
    if (needed > capacity || needed > INT16_MAX) return 0;
    std::size_t next = 0;
    std::size_t out = 0;
    if (digits % 2 != 0) bytes[out++] = static_cast<std::uint8_t>(adHexDigitValue(text[next++]));
    while (next < digits) {
        const int high = adHexDigitValue(text[next]);
        const int low = adHexDigitValue(text[next + 1]);
        bytes[out++] = static_cast<std::uint8_t>(high << 4 | low);
        next += 2;
    }
    *count = static_cast<std::int16_t>(out);
    return 1;
}

int adHexToHandle(const char* text, AdHandle* handle) {
    std::uint8_t bytes[8];
    std::int16_t count = 0;
    if (!adHexToBytes(text, bytes, sizeof bytes, &count)) return 0;
    AdHandle result{};
    std::memcpy(result.b + (8 - count), bytes, static_cast<std::size_t>(count));
    *handle = result;
    return 1;
}
