// Reading placeable and enhanced metafiles into GDI handles.
#include "imaging/wmf/wmf_image.h"
#include "imaging/raster_bytes.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

// The screen's device context for the length of a scope.
class ScreenDc {
public:
    ScreenDc() : Dc(GetDC(nullptr)) {}
    ~ScreenDc() {
        if (Dc) ReleaseDC(nullptr, Dc);
    }
    ScreenDc(const ScreenDc&) = delete;
    ScreenDc& operator=(const ScreenDc&) = delete;
    HDC Dc;
};

// The stream's bytes from its current position to its end, or empty.
std::vector<std::uint8_t> ReadRest(CRasterStream* stream, std::size_t limit) {
    const std::uint64_t left = BytesLeft(stream);
    if (left == 0 || left > limit) return {};
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(left));
    if (!ReadExactly(stream, bytes.data(), bytes.size())) return {};
    return bytes;
}

// Metafiles are played whole in memory; larger ones are refused.
constexpr std::size_t kMaxMetafileBytes = 256u << 20;

}  // namespace

bool IsPlaceableHeader(const std::uint8_t* bytes, WmfPlaceableHeader& header) {
    header.key = LoadLe32(bytes);
    header.left = static_cast<std::int16_t>(LoadLe16(bytes + 6));
    header.top = static_cast<std::int16_t>(LoadLe16(bytes + 8));
    header.right = static_cast<std::int16_t>(LoadLe16(bytes + 10));
    header.bottom = static_cast<std::int16_t>(LoadLe16(bytes + 12));
    header.unitsPerInch = LoadLe16(bytes + 14);
    header.checksum = LoadLe16(bytes + 20);
    std::uint16_t sum = 0;
    for (int i = 0; i < 10; ++i) sum ^= LoadLe16(bytes + 2 * i);
    return header.key == 0x9AC6CDD7u && sum == header.checksum && header.unitsPerInch >= 1 &&
           header.unitsPerInch <= 2540;
}

void CapSize(std::int32_t& width, std::int32_t& height) {
    if (width > kWmfMaxSide) {
        height = static_cast<std::int32_t>(std::int64_t{height} * kWmfMaxSide / width);
        width = kWmfMaxSide;
    }
    if (height > kWmfMaxSide) {
        width = static_cast<std::int32_t>(std::int64_t{width} * kWmfMaxSide / height);
        height = kWmfMaxSide;
    }
}

HENHMETAFILE ReadPlaceableMetafile(CRasterStream* stream, std::int32_t& width, std::int32_t& height) {
    const long start = stream->Tell(), size = stream->Size();
    std::uint8_t placeable[22], standard[18];
    WmfPlaceableHeader header;
    if (!ReadExactly(stream, placeable, sizeof placeable) || !IsPlaceableHeader(placeable, header)) return nullptr;
    if (!ReadExactly(stream, standard, sizeof standard)) return nullptr;
    const std::uint16_t type = LoadLe16(standard);
    // Some writers count the placeable header into the metafile's size: the
    // metafile then ends with the file.
    const std::uint64_t stated = std::uint64_t{LoadLe32(standard + 6)} * 2;
    const std::uint64_t bytes = std::min<std::uint64_t>(stated, static_cast<std::uint64_t>(size - start) - 22);
    if ((type != 1 && type != 2) || bytes < sizeof standard || bytes > kMaxMetafileBytes || stated > bytes + 22)
        return nullptr;
    std::vector<std::uint8_t> data(static_cast<std::size_t>(bytes));
    if (!stream->Seek(start + 22, SEEK_SET) || !ReadExactly(stream, data.data(), data.size())) return nullptr;

    ScreenDc screen;
    if (!screen.Dc) return nullptr;
    const std::int32_t dpiX = GetDeviceCaps(screen.Dc, LOGPIXELSX), dpiY = GetDeviceCaps(screen.Dc, LOGPIXELSY);
    width = (std::int32_t{header.right} - header.left) * dpiX / header.unitsPerInch;
    height = (std::int32_t{header.bottom} - header.top) * dpiY / header.unitsPerInch;
    METAFILEPICT picture{MM_ANISOTROPIC, width, height, nullptr};
    // Finer extents for small pictures, as GDI rounds them to whole units.
    while (picture.xExt != 0 && picture.yExt != 0 && std::abs(picture.xExt) < 6554 && std::abs(picture.yExt) < 6554) {
        picture.xExt *= 10;
        picture.yExt *= 10;
    }
    HENHMETAFILE metafile = SetWinMetaFileBits(static_cast<UINT>(data.size()), data.data(), screen.Dc, &picture);
    if (!metafile) {
        picture.mm = MM_TEXT;
        metafile = SetWinMetaFileBits(static_cast<UINT>(data.size()), data.data(), screen.Dc, &picture);
    }
    return metafile;
}

HENHMETAFILE ReadEnhancedMetafile(CRasterStream* stream, std::int32_t& width, std::int32_t& height) {
    const std::vector<std::uint8_t> bytes = ReadRest(stream, kMaxMetafileBytes);
    // The enhanced header's type (1) and signature (" EMF") come first: GDI
    // is not handed anything else.
    if (bytes.size() < 88 || LoadLe32(bytes.data()) != 1 || LoadLe32(bytes.data() + 40) != 0x464D4520u) return nullptr;
    HENHMETAFILE metafile = SetEnhMetaFileBits(static_cast<UINT>(bytes.size()), bytes.data());
    if (!metafile) return nullptr;
    ENHMETAHEADER header{};
    if (!GetEnhMetaFileHeader(metafile, sizeof header, &header)) {
        DeleteEnhMetaFile(metafile);
        return nullptr;
    }
    width = header.rclBounds.right - header.rclBounds.left;
    height = header.rclBounds.bottom - header.rclBounds.top;
    return metafile;
}
