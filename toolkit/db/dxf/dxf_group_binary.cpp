// One group of a binary DXF file. Every count and every string is checked
// against the bytes the file still holds: a group cut short is not read.
#include "toolkit/db/dxf/dxf_group.h"
#include "toolkit/db/raw_double.h"
#include "toolkit/db/dxf/dxf_read.h"
#include "toolkit/db/host_file.h"

#include <algorithm>
#include <cstring>

namespace {
std::int16_t int16At(const std::uint8_t* b) { return static_cast<std::int16_t>(b[0] | b[1] << 8); }

std::int32_t int32At(const std::uint8_t* b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(b[0]) | b[1] << 8 | b[2] << 16 |
                                     static_cast<std::uint32_t>(b[3]) << 24);
}

// Flags 290..299 take one byte in binary files.
bool oneByteFlag(std::int16_t code) { return code >= 290 && code <= 299; }

// Files of AC1012 and later, and those the pre-scan found so, give every code
// two bytes; older ones one byte, with 255 announcing two more.
bool twoByteCodes(const AdDrawing* drawing) {
    return drawing->version >= AD_VERSION_FIRST_BITCODED || adDxfToken().twoByteCodes;
}

bool readBytes(AdDrawing* drawing, void* bytes, std::size_t count) {
    return HostRead(bytes, 1, count, drawing->file) == count;
}

bool readByte(AdDrawing* drawing, std::uint8_t* byte) { return readBytes(drawing, byte, 1); }

bool readInt16(AdDrawing* drawing, std::int16_t* value) {
    std::uint8_t b[2];
    if (!readBytes(drawing, b, sizeof b)) return false;
    *value = int16At(b);
    return true;
}

bool readCode(AdDrawing* drawing) {
    AdDxfToken& t = adDxfToken();
    if (twoByteCodes(drawing)) return readInt16(drawing, &t.code);
    std::uint8_t b = 0;
    if (!readByte(drawing, &b)) return false;
    if (b != 255) {
        t.code = b;
        return true;
    }
    return readInt16(drawing, &t.code);
}

// A string up to its NUL; what does not fit the text is passed over.
bool readString(AdDrawing* drawing) {
    AdDxfToken& t = adDxfToken();
    std::int32_t n = 0;
    for (;;) {
        const int c = HostGetc(drawing->file);
        if (c == EOF) return false;
        if (c == 0) break;
        if (n < AD_DXF_TEXT_SIZE - 1) t.text[n++] = static_cast<char>(c);
    }
    t.text[n] = '\0';
    return true;
}

// A length byte and that many bytes; the length is taken as unsigned.
bool readCounted(AdDrawing* drawing, std::uint8_t* bytes, std::int32_t* count) {
    std::uint8_t n = 0;
    if (!readByte(drawing, &n) || !readBytes(drawing, bytes, n)) return false;
    *count = n;
    return true;
}

// Binary data groups reach the readers as the hexadecimal text an ASCII file
// would hold.
bool readBinaryAsHex(AdDrawing* drawing) {
    std::uint8_t bytes[256];
    std::int32_t n = 0;
    if (!readCounted(drawing, bytes, &n)) return false;
    adBytesToHex(bytes, static_cast<std::size_t>(n), adDxfToken().text, AD_DXF_TEXT_SIZE);
    return true;
}

bool readChunk(AdDrawing* drawing) {
    AdDxfToken& t = adDxfToken();
    std::int32_t n = 0;
    if (!readCounted(drawing, reinterpret_cast<std::uint8_t*>(t.text), &n)) return false;
    t.text[n] = '\0';
    t.chunkLength = static_cast<std::int16_t>(n);
    return true;
}

bool readValue(AdDrawing* drawing) {
    AdDxfToken& t = adDxfToken();
    std::uint8_t b[8];
    switch (adDxfValueClass(t.code)) {
        case AdDxfValueClass::Real:
            if (!readBytes(drawing, b, 8)) return false;
            t.real = adDoubleFromFileBytes(b);
            return true;
        case AdDxfValueClass::Int16:
            if (oneByteFlag(t.code)) {
                if (!readByte(drawing, b)) return false;
                t.shortValue = b[0];
                return true;
            }
            return readInt16(drawing, &t.shortValue);
        case AdDxfValueClass::Int32:
            if (!readBytes(drawing, b, 4)) return false;
            t.longValue = int32At(b);
            return true;
        case AdDxfValueClass::Handle:
            if (!readString(drawing)) return false;
            adDxfParseHandle(t.text, &t.handle);
            return true;
        case AdDxfValueClass::Chunk: return readChunk(drawing);
        case AdDxfValueClass::Binary: return readBinaryAsHex(drawing);
        case AdDxfValueClass::String: return readString(drawing);
    }
    return false;
}

// The value of a group whose bytes lie whole at v, of rest bytes: its length
// in used, or false when it runs past them.
bool takeValueInPlace(std::int16_t code, const std::uint8_t* v, std::size_t rest, std::size_t* used) {
    AdDxfToken& t = adDxfToken();
    const AdDxfValueClass valueClass = adDxfValueClass(code);
    switch (valueClass) {
        case AdDxfValueClass::Real:
            if (rest < 8) return false;
            t.real = adDoubleFromFileBytes(v);
            *used = 8;
            return true;
        case AdDxfValueClass::Int16:
            if (oneByteFlag(code)) {
                if (rest < 1) return false;
                t.shortValue = v[0];
                *used = 1;
                return true;
            }
            if (rest < 2) return false;
            t.shortValue = int16At(v);
            *used = 2;
            return true;
        case AdDxfValueClass::Int32:
            if (rest < 4) return false;
            t.longValue = int32At(v);
            *used = 4;
            return true;
        case AdDxfValueClass::Handle:
        case AdDxfValueClass::String: {
            const auto* nul = static_cast<const std::uint8_t*>(std::memchr(v, 0, rest));
            if (!nul) return false;
            const auto n = static_cast<std::size_t>(nul - v);
            const std::size_t kept = std::min<std::size_t>(n, AD_DXF_TEXT_SIZE - 1);
            std::memcpy(t.text, v, kept);
            t.text[kept] = '\0';
            if (valueClass == AdDxfValueClass::Handle) adDxfParseHandle(t.text, &t.handle);
            *used = n + 1;
            return true;
        }
        case AdDxfValueClass::Chunk:
        case AdDxfValueClass::Binary: {
            if (rest < 1 || rest - 1 < v[0]) return false;
            const std::size_t n = v[0];
            if (valueClass == AdDxfValueClass::Chunk) {
                std::memcpy(t.text, v + 1, n);
                t.text[n] = '\0';
                t.chunkLength = static_cast<std::int16_t>(n);
            } else {
                adBytesToHex(v + 1, n, t.text, AD_DXF_TEXT_SIZE);
            }
            *used = 1 + n;
            return true;
        }
    }
    return false;
}

// The group code at p, of available bytes, and the bytes it takes in at;
// false when they run past those available.
bool codeInPlace(const AdDrawing* drawing, const std::uint8_t* p, std::size_t available, std::int16_t* code,
                 std::size_t* at) {
    if (twoByteCodes(drawing)) {
        if (available < 2) return false;
        *code = int16At(p);
        *at = 2;
    } else if (p[0] != 255) {
        *code = p[0];
        *at = 1;
    } else {
        if (available < 3) return false;
        *code = int16At(p + 1);
        *at = 3;
    }
    return true;
}

// A group that lies whole in the file's read window is taken there at once;
// one that crosses the window's edge or the file's end goes byte by byte,
// from the same position, and comes out the same.
bool takeGroupInPlace(AdDrawing* drawing) {
    std::size_t available = 0;
    const std::uint8_t* p = HostWindowBytes(drawing->file, &available);
    if (!p) return false;
    std::int16_t code = 0;
    std::size_t at = 0;
    std::size_t used = 0;
    if (!codeInPlace(drawing, p, available, &code, &at) || !takeValueInPlace(code, p + at, available - at, &used))
        return false;
    adDxfToken().code = code;
    HostTakeBytes(drawing->file, at + used);
    return true;
}
}  // namespace

void adDxfSkimBinaryGroups(AdDrawing* drawing) {
    for (;;) {
        std::size_t available = 0;
        const std::uint8_t* p = HostWindowBytes(drawing->file, &available);
        std::int16_t code = 0;
        std::size_t at = 0;
        if (!p || !codeInPlace(drawing, p, available, &code, &at) || code == 0 || code == 999) return;
        if (!takeGroupInPlace(drawing)) return;
    }
}

int adDxfReadBinaryGroup(AdDrawing* drawing) {
    adDxfToken().text = reinterpret_cast<char*>(adGlobals->buffer128kA);
    if (!adDxfToken().text || !drawing || !drawing->file) return 0;
    if (takeGroupInPlace(drawing)) return 1;
    return readCode(drawing) && readValue(drawing) ? 1 : 0;
}
