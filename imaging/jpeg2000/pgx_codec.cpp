// PGX: one component of any precision up to 31 bits, signed or not, in one,
// two or four bytes per sample, big-endian ("ML") or little-endian ("LM").
#include "imaging/jpeg2000/jas_header.h"
#include "imaging/jpeg2000/jas_picture.h"

#include <cstdio>
#include <vector>

bool ReadPgx(CRasterStream& stream, JasPicture& picture, std::string& error) {
    if (stream.GetC() != 'P' || stream.GetC() != 'G') return false;
    const int e1 = JasNextToken(stream, false), e2 = stream.GetC();
    bool bigEndian;
    if (e1 == 'M' && e2 == 'L') bigEndian = true;
    else if (e1 == 'L' && e2 == 'M') bigEndian = false;
    else return false;
    int c = JasNextToken(stream, false);
    bool isSigned = false;
    if (c == '+' || c == '-') {
        isSigned = c == '-';
        c = JasNextToken(stream, false);
    }
    std::uint32_t precision = 0, width = 0, height = 0;
    if (!JasReadNumber(stream, c, precision) || !JasReadNumber(stream, JasNextToken(stream, false), width) ||
        !JasReadNumber(stream, JasNextToken(stream, false), height) || precision == 0 || precision > 31) {
        return false;
    }
    if (!JasSizeAllowed(width, height, 1)) {
        if (width && height) error = kJasTooLarge;
        return false;
    }
    const std::size_t bytes = precision <= 8 ? 1 : precision <= 16 ? 2 : 4;
    if (std::uint64_t{width} * height * bytes > static_cast<std::uint64_t>(JasRemaining(stream))) return false;
    picture.components.resize(1);
    JasComponent& component = picture.components[0];
    component.Allocate(width, height, precision, static_cast<std::uint32_t>((std::uint64_t{1} << precision) - 1));
    component.isSigned = isSigned;
    picture.colourSpace = JasColourSpace::Grey;
    std::vector<std::uint8_t> row(width * bytes);
    for (std::uint32_t y = 0; y < height; ++y) {
        if (stream.Read(row.data(), 1, row.size()) != row.size()) return false;
        for (std::uint32_t x = 0; x < width; ++x) {
            std::uint32_t value = 0;
            for (std::size_t b = 0; b < bytes; ++b) {
                const std::uint8_t byte = row[x * bytes + (bigEndian ? b : bytes - 1 - b)];
                value = value << 8 | byte;
            }
            // Only the component's own bits count; signed values extend from its top bit.
            value &= component.maximum;
            std::int64_t sample = value;
            if (isSigned && (value >> (precision - 1)) & 1) sample -= std::int64_t{1} << precision;
            component.storage[std::size_t{y} * width + x] = static_cast<std::int32_t>(sample);
        }
    }
    return true;
}

bool WritePgx(CRasterStream& stream, const JasPicture& picture) {
    const JasComponent& component = picture.components[0];
    char header[64];
    std::snprintf(header, sizeof header, "PG ML + 8 %u %u\n", component.width, component.height);
    if (!JasWriteText(stream, header)) return false;
    std::vector<std::uint8_t> row(component.width);
    for (std::uint32_t y = 0; y < component.height; ++y) {
        for (std::uint32_t x = 0; x < component.width; ++x) {
            row[x] = JasSampleByte(component, component.samples[std::size_t{y} * component.width + x]);
        }
        if (stream.Write(row.data(), 1, row.size()) != row.size()) return false;
    }
    return true;
}
