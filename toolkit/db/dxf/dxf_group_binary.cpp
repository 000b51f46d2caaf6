// One group of a binary DXF file. Every count and every string is checked
// against the bytes the file still holds: a group cut short is not read.
#include "toolkit/db/dxf/dxf_group.h"
#include "toolkit/db/raw_double.h"
#include "toolkit/db/dxf/dxf_read.h"

#include <cstring>

namespace {
bool readBytes(AdDrawing* drawing, void* bytes, std::size_t count) {
    return HostRead(bytes, 1, count, drawing->file) == count;
}

bool readByte(AdDrawing* drawing, std::uint8_t* byte) { return readBytes(drawing, byte, 1); }

bool readInt16(AdDrawing* drawing, std::int16_t* value) {
    std::uint8_t b[2];
    if (!readBytes(drawing, b, sizeof b)) return false;
    *value = static_cast<std::int16_t>(b[0] | b[1] << 8);
    return true;
}

// Files of AC1012 and later, and those the pre-scan found so, give every code
// two bytes; older ones one byte, with 255 announcing two more.
bool readCode(AdDrawing* drawing) {
    AdDxfToken& t = adDxfToken();
    if (drawing->version >= AD_VERSION_FIRST_BITCODED || t.twoByteCodes) return readInt16(drawing, &t.code);
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
            // Flags 290..299 take one byte in binary files.
            if (t.code >= 290 && t.code <= 299) {
                if (!readByte(drawing, b)) return false;
                t.shortValue = b[0];
                return true;
            }
            return readInt16(drawing, &t.shortValue);
        case AdDxfValueClass::Int32:
            if (!readBytes(drawing, b, 4)) return false;
            t.longValue = static_cast<std::int32_t>(static_cast<std::uint32_t>(b[0]) | b[1] << 8 | b[2] << 16 |
                                                    static_cast<std::uint32_t>(b[3]) << 24);
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
}  // namespace

int adDxfReadBinaryGroup(AdDrawing* drawing) {
    adDxfToken().text = reinterpret_cast<char*>(adGlobals->buffer128kA);
    if (!adDxfToken().text || !drawing || !drawing->file) return 0;
    return readCode(drawing) && readValue(drawing) ? 1 : 0;
}
