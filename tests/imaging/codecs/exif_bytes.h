// Small JPEG streams with hand-made EXIF for the EXIF reader's tests: an APP1
// segment built from directories of entries in either byte order, wrapped in
// a JPEG whose other segments the test chooses.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

struct ExifEntry {
    std::uint16_t tag;
    std::uint16_t format;
    std::uint32_t count;
    Bytes value;  // up to 4 bytes inline, more at an offset the builder picks
};

class ExifBuilder {
public:
    explicit ExifBuilder(bool motorola = false) : motorola_(motorola) {}

    Bytes U16(std::uint32_t v) const {
        return motorola_ ? Bytes{std::uint8_t(v >> 8), std::uint8_t(v)} : Bytes{std::uint8_t(v), std::uint8_t(v >> 8)};
    }
    Bytes U32(std::uint32_t v) const {
        Bytes b = motorola_ ? Bytes{std::uint8_t(v >> 24), std::uint8_t(v >> 16), std::uint8_t(v >> 8), std::uint8_t(v)}
                            : Bytes{std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16), std::uint8_t(v >> 24)};
        return b;
    }
    ExifEntry Short(std::uint16_t tag, std::uint32_t v) const { return {tag, 3, 1, Pad(U16(v))}; }
    ExifEntry Long(std::uint16_t tag, std::uint32_t v) const { return {tag, 4, 1, U32(v)}; }
    ExifEntry Rational(std::uint16_t tag, std::uint32_t numerator, std::uint32_t denominator) const {
        Bytes value = U32(numerator);
        const Bytes d = U32(denominator);
        value.insert(value.end(), d.begin(), d.end());
        return {tag, 5, 1, value};
    }
    static ExifEntry Text(std::uint16_t tag, const std::string& text, std::uint16_t format = 2) {
        Bytes value(text.begin(), text.end());
        if (format == 2) value.push_back(0);
        const auto count = static_cast<std::uint32_t>(value.size());
        return {tag, format, count, Pad(value)};
    }

    // The TIFF data: header, then each directory in turn, each linking to the
    // next unless link says otherwise, values after each directory.
    Bytes Tiff(const std::vector<std::vector<ExifEntry>>& directories, std::uint16_t magic = 42,
               const char* order = nullptr) const {
        const char* mark = order ? order : motorola_ ? "MM" : "II";
        Bytes tiff{std::uint8_t(mark[0]), std::uint8_t(mark[1])};
        Append(tiff, U16(magic));
        Append(tiff, U32(8));
        for (std::size_t d = 0; d < directories.size(); ++d) {
            const auto& entries = directories[d];
            const std::size_t start = tiff.size();
            const std::size_t valuesAt = start + 2 + 12 * entries.size() + 4;
            Bytes values;
            Append(tiff, U16(static_cast<std::uint32_t>(entries.size())));
            for (const ExifEntry& e : entries) {
                Append(tiff, U16(e.tag));
                Append(tiff, U16(e.format));
                Append(tiff, U32(e.count));
                if (e.value.size() <= 4) {
                    Append(tiff, Pad(e.value));
                } else {
                    Append(tiff, U32(static_cast<std::uint32_t>(valuesAt + values.size())));
                    Append(values, e.value);
                }
            }
            const bool last = d + 1 == directories.size();
            Append(tiff, U32(last ? 0 : static_cast<std::uint32_t>(valuesAt + values.size())));
            Append(tiff, values);
        }
        return tiff;
    }

    // An APP1 segment (marker included) holding "Exif\0\0" and the TIFF data.
    static Bytes App1(const Bytes& tiff) {
        const auto length = static_cast<std::uint32_t>(2 + 6 + tiff.size());
        Bytes segment{0xFF, 0xE1, std::uint8_t(length >> 8), std::uint8_t(length), 'E', 'x', 'i', 'f', 0, 0};
        Append(segment, tiff);
        return segment;
    }

    static void Append(Bytes& to, const Bytes& from) { to.insert(to.end(), from.begin(), from.end()); }

private:
    static Bytes Pad(Bytes value) {
        while (value.size() < 4) value.push_back(0);
        return value;
    }
    bool motorola_;
};

// A segment with the given marker and payload (length field included).
inline Bytes Segment(std::uint8_t marker, const Bytes& payload = {}) {
    const auto length = static_cast<std::uint32_t>(payload.size() + 2);
    Bytes segment{0xFF, marker, std::uint8_t(length >> 8), std::uint8_t(length)};
    segment.insert(segment.end(), payload.begin(), payload.end());
    return segment;
}

// A JPEG stream: start of image, the segments, a 1x1 frame header, a start of
// scan and a few bytes of scan data.
inline Bytes JpegWith(std::initializer_list<Bytes> segments) {
    Bytes jpeg{0xFF, 0xD8};
    for (const Bytes& s : segments) ExifBuilder::Append(jpeg, s);
    ExifBuilder::Append(jpeg, Segment(0xC0, {8, 0, 1, 0, 1, 3, 1, 0x11, 0, 2, 0x11, 0, 3, 0x11, 0}));
    ExifBuilder::Append(jpeg, Segment(0xDA, {3, 1, 0, 2, 0x11, 3, 0x11, 0, 63, 0}));
    ExifBuilder::Append(jpeg, Bytes{0x12, 0x34, 0xFF, 0xD9});
    return jpeg;
}
