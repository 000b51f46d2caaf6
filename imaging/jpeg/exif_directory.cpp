// Parsing the EXIF data of an APP1 section, the comment of a COM section and
// the frame header into the ExifInfoRecord. The EXIF data comes from the file:
// every directory, value and link is checked against the section before use.
#include "imaging/jpeg/exif_reader.h"
#include "imaging/raster_numeric.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

// Directories one parse may walk in all, and how deeply links may nest: a
// directory linking back to itself or to an ancestor ends there, and many
// entries linking to one directory cannot multiply the work.
constexpr int kMaxDirectories = 32;
constexpr int kMaxDepth = 8;

constexpr unsigned kBytesPerFormat[13] = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8};

// Values from the file may be anything a double holds; the record's integer
// and single-precision fields take them truncated and clamped.
int ToInt(double value) { return RasterTruncate(value); }

float ToFloat(double value) {
    const double limit = std::numeric_limits<float>::max();
    return static_cast<float>(value == value ? std::clamp(value, -limit, limit) : 0.0);
}

std::uint32_t ToOffset(double value) {
    if (!(value > 0)) return 0;
    return value >= 4294967295.0 ? 0xFFFFFFFFu : static_cast<std::uint32_t>(value);
}

// Copies at most maxChars characters, stopping at a NUL and at the end of the value.
void CopyText(char* target, std::size_t targetSize, const std::uint8_t* value, std::uint64_t valueBytes,
              std::size_t maxChars) {
    const std::size_t limit = static_cast<std::size_t>(std::min<std::uint64_t>({maxChars, valueBytes, targetSize - 1}));
    std::size_t n = 0;
    while (n < limit && value[n]) {
        target[n] = static_cast<char>(value[n]);
        ++n;
    }
    target[n] = '\0';
}

// Inches per unit for the resolution-unit tags; other values leave the field.
void SetUnit(float& field, double value) {
    switch (ToInt(value)) {
    case 1:
    case 2: field = 1.0f; break;
    case 3: field = 1.0f / 2.54f; break;
    case 4: field = 1.0f / 25.4f; break;
    case 5: field = 1.0f / 25400.0f; break;
    default: break;
    }
}

void ReadUserComment(ExifInfoRecord* record, std::uint8_t* value, std::uint64_t bytes) {
    for (std::uint64_t a = bytes; a-- > 0;) {
        if (value[a] != ' ') break;
        value[a] = '\0';
    }
    if (bytes >= 5 && std::memcmp(value, "ASCII", 5) == 0) {
        for (std::uint64_t a = 5; a < 10 && a < bytes; ++a) {
            if (value[a] != '\0' && value[a] != ' ') {
                CopyText(record->comments, sizeof record->comments, value + a, bytes - a, 199);
                return;
            }
        }
        return;
    }
    CopyText(record->comments, sizeof record->comments, value, bytes, 199);
}

}  // namespace

unsigned CRasterExifReader::Get16(const std::uint8_t* p) const {
    return Motorola ? (p[0] << 8) | p[1] : (p[1] << 8) | p[0];
}

std::uint32_t CRasterExifReader::Get32u(const std::uint8_t* p) const {
    return Motorola ? (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3]
                    : (std::uint32_t{p[3]} << 24) | (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[1]} << 8) | p[0];
}

std::int32_t CRasterExifReader::Get32s(const std::uint8_t* p) const { return static_cast<std::int32_t>(Get32u(p)); }

double CRasterExifReader::ConvertValue(const std::uint8_t* value, int format) const {
    switch (format) {
    case 1: return value[0];
    case 3: return Get16(value);
    case 4: return Get32u(value);
    case 5:
    case 10: {
        const std::int32_t denominator = Get32s(value + 4);
        return denominator == 0 ? 0.0 : double(Get32s(value)) / denominator;
    }
    case 6: return static_cast<std::int8_t>(value[0]);
    case 8: return static_cast<std::int16_t>(Get16(value));
    case 9: return Get32s(value);
    case 11: {
        float f;
        std::memcpy(&f, value, sizeof f);
        return f;
    }
    case 12: {
        double d;
        std::memcpy(&d, value, sizeof d);
        return d;
    }
    default: return 0.0;
    }
}

void CRasterExifReader::ParseComment(const std::uint8_t* data, unsigned length) {
    const unsigned end = std::min(length, 1000u);
    std::size_t n = 0;
    for (unsigned a = 2; a < end; ++a) {
        const std::uint8_t c = data[a];
        if (c == '\r' && a + 1 < length && data[a + 1] == '\n') continue;
        Record->comments[n++] = (c >= 0x20 && c <= 0x7E) || c == '\n' || c == '\t' ? static_cast<char>(c) : '?';
    }
    Record->comments[n] = '\0';
}

void CRasterExifReader::ParseFrameHeader(const std::uint8_t* data, unsigned length, int marker) {
    if (length < 8) return;
    Record->height = (data[3] << 8) | data[4];
    Record->width = (data[5] << 8) | data[6];
    Record->isColor = data[7] == 3 ? 1 : 0;
    Record->process = marker;
}

bool CRasterExifReader::ParseExif(std::uint8_t* data, unsigned length) {
    Record->flashUsed = 0;
    Record->comments[0] = '\0';
    LargestDimension = 0;
    if (length < 8 || std::memcmp(data, "Exif\0\0", 6) != 0) {
        SetError("Incorrect Exif header");
        return false;
    }
    // The TIFF data follows the six-byte "Exif" header; the two length bytes are not in data.
    const unsigned tiffLength = length - 8;
    if (tiffLength >= 2 && std::memcmp(data + 6, "II", 2) == 0) {
        Motorola = 0;
    } else if (tiffLength >= 2 && std::memcmp(data + 6, "MM", 2) == 0) {
        Motorola = 1;
    } else {
        SetError("Invalid Exif alignment marker.");
        return false;
    }
    if (tiffLength < 8 || Get16(data + 8) != 42) {
        SetError("Invalid Exif start (1)");
        return false;
    }
    std::uint8_t* base = data + 6;
    const std::uint32_t first = Get32u(data + 10);
    directoriesWalked_ = 0;
    depth_ = 0;
    if (!WalkDirectory(base + 8, base, tiffLength, Record)) return false;
    if (first > 8) {
        if (first > tiffLength) {
            SetError("Illegal subdirectory link");
            return false;
        }
        if (!WalkDirectory(base + first, base, tiffLength, Record)) return false;
    }
    if (Record->focalPlaneXRes != 0) {
        Record->ccdWidth = ToFloat(double(LargestDimension) * Record->focalPlaneUnits / Record->focalPlaneXRes);
    }
    return true;
}

// Walks a directory that another one links to; its own failures do not fail
// the directory that links to it.
bool CRasterExifReader::WalkLinked(std::uint8_t* directory, std::uint8_t* base, unsigned length,
                                   ExifInfoRecord* record) {
    ++depth_;
    const bool result = WalkDirectory(directory, base, length, record);
    --depth_;
    return result;
}

bool CRasterExifReader::WalkDirectory(std::uint8_t* directory, std::uint8_t* base, unsigned length,
                                      ExifInfoRecord* record) {
    if (++directoriesWalked_ > kMaxDirectories || depth_ >= kMaxDepth) {
        SetError("Too many nested EXIF directories");
        return false;
    }
    const std::uint64_t start = static_cast<std::uint64_t>(directory - base);
    if (start + 2 > length) {
        SetError("Illegally sized directory");
        return false;
    }
    const unsigned entries = Get16(directory);
    const std::uint64_t end = start + 2 + 12ull * entries;
    if (end > length) {
        SetError("Illegally sized directory");
        return false;
    }
    std::uint32_t thumbnailOffset = 0, thumbnailLength = 0;
    for (unsigned i = 0; i < entries; ++i) {
        std::uint8_t* entry = directory + 2 + 12 * i;
        const unsigned tag = Get16(entry);
        const unsigned format = Get16(entry + 2);
        const std::uint32_t components = Get32u(entry + 4);
        if (format > 12) {
            SetError("Illegal format code in EXIF dir");
            return false;
        }
        const std::uint64_t byteCount = std::uint64_t{components} * kBytesPerFormat[format];
        std::uint8_t* value = entry + 8;
        if (byteCount > 4) {
            const std::uint32_t offset = Get32u(entry + 8);
            if (offset + byteCount > length) {
                SetError("Illegal pointer offset value in EXIF.");
                return false;
            }
            value = base + offset;
        }
        // A value with no component has nothing to convert (an empty rational
        // would otherwise be read past its entry).
        const double v = byteCount >= kBytesPerFormat[format] && byteCount ? ConvertValue(value, int(format)) : 0.0;
        switch (tag) {
        case 0x010F: CopyText(record->cameraMake, sizeof record->cameraMake, value, byteCount, 31); break;
        case 0x0110: CopyText(record->cameraModel, sizeof record->cameraModel, value, byteCount, 39); break;
        case 0x0112:
            record->orientation = ToInt(v);
            if (record->orientation < 1 || record->orientation > 8) {
                SetError("Undefined rotation value");
                record->orientation = 0;
            }
            break;
        case 0x011A: record->xResolution = ToFloat(v); break;
        case 0x011B: record->yResolution = ToFloat(v); break;
        case 0x0128: SetUnit(record->resolutionUnit, v); break;
        case 0x0201: thumbnailOffset = ToOffset(v); break;
        case 0x0202: thumbnailLength = ToOffset(v); break;
        case 0x829A: record->exposureTime = ToFloat(v); break;
        case 0x829D: record->apertureFNumber = ToFloat(v); break;
        case 0x8822: record->exposureProgram = ToInt(v); break;
        case 0x8827: record->isoEquivalent = ToInt(v < 50 ? v * 200 : v); break;
        case 0x9000: CopyText(record->exifVersion, sizeof record->exifVersion, value, byteCount, 4); break;
        case 0x9003: CopyText(record->dateTime, sizeof record->dateTime, value, byteCount, 19); break;
        case 0x9102: record->compressionLevel = ToInt(v); break;
        case 0x9201:
            if (record->exposureTime == 0) record->exposureTime = ToFloat(1.0 / std::exp2(v));
            break;
        case 0x9202:
        case 0x9205:
            if (record->apertureFNumber == 0) record->apertureFNumber = ToFloat(std::exp2(v / 2));
            break;
        case 0x9203: record->brightness = ToFloat(v); break;
        case 0x9204: record->exposureBias = ToFloat(v); break;
        case 0x9206: record->distance = ToFloat(v); break;
        case 0x9207: record->meteringMode = ToInt(v); break;
        case 0x9208: record->whiteBalance = ToInt(v); break;
        case 0x9209: record->flashUsed = ToInt(v) & 7 ? 1 : 0; break;
        case 0x920A: record->focalLength = ToFloat(v); break;
        case 0x9286: ReadUserComment(record, value, byteCount); break;
        case 0xA002:
        case 0xA003: LargestDimension = std::max(LargestDimension, ToInt(v)); break;
        case 0xA20E: record->focalPlaneXRes = ToFloat(v); break;
        case 0xA20F: record->focalPlaneYRes = ToFloat(v); break;
        case 0xA210: SetUnit(record->focalPlaneUnits, v); break;
        case 0x8769:
        case 0xA005: {
            const std::uint32_t offset = Get32u(value);
            if (offset <= 8) break;
            if (offset > length) {
                SetError("Illegal subdirectory link");
                return false;
            }
            WalkLinked(base + offset, base, length, record);
            break;
        }
        default: break;
        }
    }
    // The next directory (the thumbnail's, after the first one), when its link
    // fits. Its resolution and orientation are the thumbnail's, which must not
    // replace the picture's: only where the thumbnail lies is taken from it.
    if (end + 4 <= length) {
        const std::uint32_t next = Get32u(base + end);
        if (next) {
            if (next > length) {
                SetError("Illegal subdirectory link");
                return false;
            }
            ExifInfoRecord thumbnail = *record;
            WalkLinked(base + next, base, length, &thumbnail);
            record->thumbnailPointer = thumbnail.thumbnailPointer;
            record->thumbnailSize = thumbnail.thumbnailSize;
        }
    }
    if (thumbnailOffset && thumbnailLength && std::uint64_t{thumbnailOffset} + thumbnailLength <= length) {
        record->thumbnailPointer = base + thumbnailOffset;
        record->thumbnailSize = thumbnailLength;
    }
    return true;
}
