// The logical screen of a GIF file and the frames composed onto it.
#include "imaging/gif/gif_codec.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace {

// One row of an indexed picture, one index a byte.
void RowIndices(const CRasterImage& picture, std::uint32_t row, std::uint8_t* out) {
    const std::uint8_t* in = picture.GetPixels(row);
    const std::uint32_t width = picture.GetWidth();
    switch (picture.GetBpp()) {
    case 8: std::memcpy(out, in, width); break;
    case 4:
        for (std::uint32_t x = 0; x < width; ++x) out[x] = (x & 1) ? in[x >> 1] & 0x0F : in[x >> 1] >> 4;
        break;
    default:
        for (std::uint32_t x = 0; x < width; ++x) out[x] = (in[x >> 3] >> (7 - (x & 7))) & 1;
        break;
    }
}

// Copies an indexed picture onto `target` with its top left corner at
// (left, top) counted from the top, row by row: as indices when `indexed`,
// else as the picture's colours onto a 24-bit target. Pixels of index
// `transparent` leave the target as it is; what lies outside it is dropped.
void CopyPicture(const CRasterImage& picture, CRasterImage& target, std::uint32_t left, std::uint32_t top,
                 std::int32_t transparent, bool indexed) {
    const std::uint32_t targetWidth = target.GetWidth(), targetHeight = target.GetHeight();
    if (left >= targetWidth || top >= targetHeight || (!indexed && target.GetBpp() != 24)) return;
    const std::uint32_t height = picture.GetHeight();
    const std::uint32_t width = std::min<std::uint32_t>(picture.GetWidth(), targetWidth - left);
    const std::uint32_t rows = std::min(height, targetHeight - top);
    std::array<RGBQUAD, 256> colours{};
    for (std::uint32_t i = 0; !indexed && i < colours.size(); ++i) colours[i] = picture.GetPaletteEntry(i);
    std::vector<std::uint8_t> line(picture.GetWidth());
    for (std::uint32_t y = 0; y < rows; ++y) {
        RowIndices(picture, height - 1 - y, line.data());
        const std::uint32_t row = targetHeight - 1 - (top + y);
        std::uint8_t* out = target.GetPixels(row);
        if (!indexed) {
            for (std::uint32_t x = 0; x < width; ++x) {
                if (line[x] == transparent) continue;
                const RGBQUAD& colour = colours[line[x]];
                std::uint8_t* p = out + 3 * std::size_t{left + x};
                p[0] = colour.rgbBlue;
                p[1] = colour.rgbGreen;
                p[2] = colour.rgbRed;
            }
        } else if (target.GetBpp() == 8) {
            for (std::uint32_t x = 0; x < width; ++x)
                if (line[x] != transparent) out[left + x] = line[x];
        } else {
            for (std::uint32_t x = 0; x < width; ++x)
                if (line[x] != transparent) target.SetIndexAt(left + x, row, line[x]);
        }
    }
}

}  // namespace

std::uint32_t GifTableBits(std::uint32_t count) {
    if (count == 2) return 1;
    return count <= 16 ? 4 : 8;
}

void SetGifPalette(CRasterImage& picture, const GifColorTable& table) {
    picture.SetPaletteTriples(table.rgb, table.count);
    if (!picture.HasTransparency()) return;
    for (std::uint32_t i = table.count; i < picture.GetPaletteCount(); ++i) picture.SetPaletteEntry(i, 255, 255, 255);
}

GifScreen::GifScreen(const CRasterImage& options, std::uint32_t width, std::uint32_t height)
    : Screen(std::make_unique<CRasterImage>(kRasterGif)), Width(width), Height(height) {
    Screen->CopyInfoFrom(options);
}

bool GifScreen::Start(const CRasterImage& frame, const GifColorTable& table, std::int32_t transparent,
                      std::uint8_t screenBackground) {
    Transparent = transparent >= 0;
    Background = Transparent ? static_cast<std::uint8_t>(transparent) : screenBackground;
    Table = table;
    if (!Screen->Create(Width, Height, frame.GetBpp(), kRasterGif)) return false;
    Screen->SetTransparentIndex(Transparent ? Background : -1);
    SetGifPalette(*Screen, Table);
    BackgroundColor = Screen->GetPaletteEntry(Background);
    Screen->FillPixels(Background);
    return true;
}

bool GifScreen::SharesTable(const GifColorTable& table) const {
    return Screen->GetBpp() <= 8 && table.count == Table.count && std::memcmp(table.rgb, Table.rgb, 3 * table.count) == 0;
}

// The same picture in 24 bits; the background colour stands for transparency.
bool GifScreen::Promote(CRasterImage& picture) {
    if (picture.GetBpp() > 8) return true;
    CRasterImage colours(kRasterGif);
    colours.CopyInfoFrom(picture);
    if (!colours.Create(Width, Height, 24, kRasterGif)) {
        picture.SetLastError(colours.GetLastErrorText());
        return false;
    }
    CopyPicture(picture, colours, 0, 0, -1, false);
    colours.SetTransparentIndex(Transparent ? 0 : -1);
    colours.SetTransparentColor(BackgroundColor);
    return picture.TakeOver(colours);
}

void GifScreen::Dispose() {
    if (LastDisposal == 3 && Saved) {
        const bool colours = Screen->GetBpp() > 8;
        Screen = std::move(Saved);
        if (colours) Promote(*Screen);
    } else if (LastDisposal == 2) {
        for (std::uint32_t y = LastTop; y < LastTop + LastHeight; ++y) {
            for (std::uint32_t x = LastLeft; x < LastLeft + LastWidth; ++x) {
                if (Screen->GetBpp() > 8) Screen->SetColorAt(x, Height - 1 - y, BackgroundColor, false);
                else Screen->SetIndexAt(x, Height - 1 - y, Background);
            }
        }
    }
    Saved.reset();
}

bool GifScreen::Compose(const CRasterImage& frame, const GifColorTable& table, std::uint32_t left,
                        std::uint32_t top, std::int32_t transparent, std::uint32_t disposal,
                        std::uint8_t screenBackground) {
    if (!Screen->IsValid()) {
        if (!Start(frame, table, transparent, screenBackground)) return false;
    } else {
        Dispose();
    }
    if (disposal == 3) {
        Saved = std::make_unique<CRasterImage>(*Screen, true, false, false);
        if (!Saved->IsValid()) return false;
    }
    const bool indexed = SharesTable(table) && frame.GetBpp() <= Screen->GetBpp();
    if (!indexed && !Promote(*Screen)) return false;
    CopyPicture(frame, *Screen, left, top, transparent, indexed);
    LastLeft = left;
    LastTop = top;
    LastWidth = frame.GetWidth();
    LastHeight = frame.GetHeight();
    LastDisposal = disposal;
    return true;
}

bool GifScreen::Paste(const CRasterImage& frame, std::uint32_t left, std::uint32_t top) {
    if (!Screen->IsValid() && !Screen->Create(Width, Height, 24, kRasterGif)) return false;
    CopyPicture(frame, *Screen, left, top, -1, false);
    return true;
}
