// PCX encoding: 8-bit pictures as one plane with the 256-colour trailer,
// 24-bit ones as three planes (four with alpha), 1- and 4-bit ones as one or
// four planes of one bit.
#include "imaging/pcx/pcx_image.h"
#include "imaging/raster_bytes.h"


void PcxRunWriter::FlushRun() {
    if (Count == 0) return;
    if (Count == 1 && Last < 0xC0) {
        Out.push_back(static_cast<std::uint8_t>(Last));
    } else {
        Out.push_back(static_cast<std::uint8_t>(0xC0 + Count));
        Out.push_back(static_cast<std::uint8_t>(Last));
    }
    Count = 0;
}

void PcxRunWriter::Put(std::uint8_t value) {
    if (value != Last) FlushRun();
    Last = value;
    if (++Count == 63) FlushRun();
}

void PcxRunWriter::EndRow(bool pad) {
    FlushRun();
    Last = -1;
    if (pad) Out.push_back(0);
}

void PcxEncodeLine(const std::uint8_t* bytes, std::size_t length, std::vector<std::uint8_t>& out) {
    PcxRunWriter runs(out);
    for (std::size_t i = 0; i < length; ++i) runs.Put(bytes[i]);
    runs.EndRow(false);
}

bool CRasterImagePCX::Encode(CRasterStream* stream) {
    if (CheckEncodeTarget(stream)) return false;
    const std::uint32_t width = GetWidth(), height = GetHeight(), bits = GetBpp();
    if (width > 65536 || height > 65536) {
        SetLastError("Image too large for PCX");
        return false;
    }
    std::uint8_t header[128] = {10, 5, 1};
    std::uint32_t planes = 1, bytesPerLine = width;
    if (bits == 8 || bits == 24) {
        header[3] = 8;
        if (bits == 24) planes = HasAlphaPlane() ? 4 : 3;
    } else {
        header[3] = 1;
        planes = GetPaletteCount() == 16 ? 4 : 1;
        bytesPerLine = (width + 7) / 8;
    }
    bytesPerLine += bytesPerLine & 1;
    StoreLe16(header + 8, static_cast<std::uint16_t>(width - 1));
    StoreLe16(header + 10, static_cast<std::uint16_t>(height - 1));
    StoreLe16(header + 12, static_cast<std::uint16_t>(Info.DpiX));
    StoreLe16(header + 14, static_cast<std::uint16_t>(Info.DpiY));
    if (bits == 1) {
        for (int i = 3; i < 6; ++i) header[16 + i] = 255;
    } else if (planes == 4 && bits == 4) {
        for (std::uint32_t i = 0; i < 16; ++i) {
            const RGBQUAD entry = GetPaletteEntry(i);
            header[16 + 3 * i] = entry.rgbRed;
            header[17 + 3 * i] = entry.rgbGreen;
            header[18 + 3 * i] = entry.rgbBlue;
        }
    }
    header[65] = static_cast<std::uint8_t>(planes);
    StoreLe16(header + 66, static_cast<std::uint16_t>(bytesPerLine));
    header[68] = IsIndexed() ? 0 : 1;
    if (!WriteExactly(stream, header, sizeof header)) {
        SetLastError("cannot write PCX header");
        return false;
    }

    std::vector<std::uint8_t> data;
    PcxRunWriter runs(data);
    const bool pad = (width & 1) != 0;
    if (bits == 8) {
        for (std::uint32_t row = height; row-- > 0;) {
            for (std::uint32_t x = 0; x < width; ++x) runs.Put(IndexAtUnchecked(x, row));
            runs.EndRow(pad);
        }
        data.push_back(12);
        for (std::uint32_t i = 0; i < 256; ++i) {
            const RGBQUAD entry = GetPaletteEntry(i);
            data.insert(data.end(), {entry.rgbRed, entry.rgbGreen, entry.rgbBlue});
        }
    } else if (bits == 24) {
        for (std::uint32_t row = height; row-- > 0;) {
            for (std::uint32_t plane = 0; plane < planes; ++plane) {
                for (std::uint32_t x = 0; x < width; ++x) {
                    if (plane == 3) {
                        runs.Put(GetAlphaAt(x, row));
                        continue;
                    }
                    const RGBQUAD colour = GetColorAt(x, row, false);
                    runs.Put(plane == 0 ? colour.rgbRed : plane == 1 ? colour.rgbGreen : colour.rgbBlue);
                }
                runs.EndRow(pad);
            }
        }
    } else {
        // The file's index 0 is the darker colour; the picture itself is left
        // as it is.
        const RGBQUAD first = GetPaletteEntry(0), second = GetPaletteEntry(1);
        const std::uint8_t flip = bits == 1 && CompareLuminance(&first, &second) > 0 ? 1 : 0;
        std::vector<std::uint8_t> line(bytesPerLine);
        for (std::uint32_t row = height; row-- > 0;) {
            for (std::uint32_t plane = 0; plane < planes; ++plane) {
                line.assign(bytesPerLine, 0);
                for (std::uint32_t x = 0; x < width; ++x) {
                    const std::uint8_t index = IndexAtUnchecked(x, row) ^ flip;
                    line[x / 8] |= static_cast<std::uint8_t>(((index >> plane) & 1) << (7 - x % 8));
                }
                PcxEncodeLine(line.data(), line.size(), data);
            }
        }
    }
    if (!WriteExactly(stream, data.data(), data.size())) {
        SetLastError("cannot write PCX data");
        return false;
    }
    return true;
}
