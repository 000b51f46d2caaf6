// The colour table: entries, grey ramps, the standard tables and the
// nearest-colour search. Every change of the table drops the search's cache.
#include "imaging/raster_image.h"

#include <algorithm>
#include <cstring>

RGBQUAD* CRasterImage::PaletteData() const {
    if (!Dib || Header.biClrUsed == 0) return nullptr;
    return reinterpret_cast<RGBQUAD*>(Dib + 40);
}

RGBQUAD CRasterImage::GetPaletteEntry(std::uint32_t index) const {
    index %= 256;
    const RGBQUAD* table = PaletteData();
    if (!table || index >= Header.biClrUsed) return {0, 0, 0, 0};
    return table[index];
}

bool CRasterImage::GetPaletteRgb(std::uint32_t index, std::uint8_t* red, std::uint8_t* green,
                                 std::uint8_t* blue) const {
    const RGBQUAD* table = PaletteData();
    if (!table) return false;
    // Callers pass indices below the table's length; the entry read stays inside it all the same.
    const RGBQUAD entry = table[(index % 256) % Header.biClrUsed];
    *red = entry.rgbRed;
    *green = entry.rgbGreen;
    *blue = entry.rgbBlue;
    return true;
}

void CRasterImage::SetPaletteEntry(std::uint32_t index, std::uint8_t red, std::uint8_t green, std::uint8_t blue,
                                   std::uint8_t alpha) {
    SetPaletteEntry(index, RGBQUAD{blue, green, red, alpha});
}

void CRasterImage::SetPaletteEntry(std::uint32_t index, RGBQUAD quad) {
    index %= 256;
    RGBQUAD* table = PaletteData();
    if (!table || index >= Header.biClrUsed) return;
    table[index] = quad;
    Info.NearestCacheValid = false;
}

void CRasterImage::SetPaletteArrays(std::uint32_t count, const std::uint8_t* reds, const std::uint8_t* greens,
                                    const std::uint8_t* blues) {
    RGBQUAD* table = PaletteData();
    if (!reds || !table) return;
    if (!greens) greens = reds;
    if (!blues) blues = greens;
    for (std::uint32_t i = 0; i < std::min<std::uint32_t>(count, Header.biClrUsed); ++i) {
        table[i].rgbRed = reds[i];
        table[i].rgbGreen = greens[i];
        table[i].rgbBlue = blues[i];
    }
    Info.NearestCacheValid = false;
}

void CRasterImage::SetPaletteTriples(const std::uint8_t* rgb, std::uint32_t count) {
    RGBQUAD* table = PaletteData();
    if (!rgb || !table) return;
    for (std::uint32_t i = 0; i < std::min<std::uint32_t>(count, Header.biClrUsed); ++i) {
        table[i].rgbRed = rgb[3 * i];
        table[i].rgbGreen = rgb[3 * i + 1];
        table[i].rgbBlue = rgb[3 * i + 2];
    }
    Info.NearestCacheValid = false;
}

void CRasterImage::SetPaletteQuads(const RGBQUAD* quads, std::uint32_t count) {
    RGBQUAD* table = PaletteData();
    if (!quads || !table) return;
    std::memcpy(table, quads, std::min<std::uint64_t>(4ull * count, PaletteBytes()));
    Info.NearestCacheValid = false;
}

void CRasterImage::SetGreyRamp() {
    RGBQUAD* table = PaletteData();
    if (!table || Header.biClrUsed < 2) return;
    const std::uint32_t step = 255 / (Header.biClrUsed - 1);
    for (std::uint32_t i = 0; i < Header.biClrUsed; ++i) {
        const auto grey = static_cast<std::uint8_t>(i * step);
        table[i].rgbBlue = table[i].rgbGreen = table[i].rgbRed = grey;
    }
    Info.NearestCacheValid = false;
}

bool CRasterImage::HasIdentityGreyPalette() const {
    const RGBQUAD* table = PaletteData();
    if (!table) return false;
    for (std::uint32_t i = 0; i < Header.biClrUsed; ++i) {
        if (table[i].rgbBlue != i || table[i].rgbGreen != i || table[i].rgbRed != i) return false;
    }
    return true;
}

std::uint8_t CRasterImage::FindNearestIndex(RGBQUAD quad) {
    const RGBQUAD* table = PaletteData();
    if (!table) return 0;
    if (Info.NearestCacheValid && std::memcmp(&quad, &Info.NearestCacheColor, 4) == 0) return Info.NearestCacheIndex;
    std::uint32_t searched = Header.biClrUsed;
    if (Header.biClrImportant) searched = std::min<std::uint32_t>(Header.biClrImportant, searched);
    std::int32_t best = 200000;
    std::uint8_t found = 0;
    for (std::uint32_t i = 0; i < searched; ++i) {
        const int dr = table[i].rgbRed - quad.rgbRed;
        const int dg = table[i].rgbGreen - quad.rgbGreen;
        const int db = table[i].rgbBlue - quad.rgbBlue;
        const std::int32_t distance = dr * dr + dg * dg + db * db;
        if (distance < best) {
            best = distance;
            found = static_cast<std::uint8_t>(i);
            if (distance == 0) break;
        }
    }
    Info.NearestCacheColor = quad;
    Info.NearestCacheIndex = found;
    Info.NearestCacheValid = true;
    return found;
}

void CRasterImage::SwapPaletteIndices(std::uint8_t a, std::uint8_t b) {
    RGBQUAD* table = PaletteData();
    if (!table || a >= Header.biClrUsed || b >= Header.biClrUsed) return;
    std::swap(table[a], table[b]);
    Info.NearestCacheValid = false;
    for (std::int64_t y = 0; y < Header.biHeight; ++y) {
        for (std::int64_t x = 0; x < Header.biWidth; ++x) {
            const std::uint8_t index = IndexAtUnchecked(x, y);
            if (index == a) SetIndexAt(x, y, b);
            else if (index == b) SetIndexAt(x, y, a);
        }
    }
}

void CRasterImage::SetImportantColors(std::uint32_t count) {
    if (count == 0 || count > 256) {
        Header.biClrImportant = 0;
        return;
    }
    switch (Header.biBitCount) {
    case 1: Header.biClrImportant = std::min(count, 2u); break;
    case 4: Header.biClrImportant = std::min(count, 16u); break;
    case 8: Header.biClrImportant = count; break;
    default: return;
    }
    Info.NearestCacheValid = false;
}

namespace {

constexpr std::uint32_t kStandard16[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                           0x008080, 0xC0C0C0, 0x808080, 0xFF0000, 0x00FF00, 0xFFFF00,
                                           0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
constexpr std::uint32_t kStandardHead[10] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080,
                                             0x800080, 0x008080, 0xC0C0C0, 0xC0DCC0, 0xA6CAF0};
constexpr std::uint32_t kStandardTail[10] = {0xFFFBF0, 0xA0A0A4, 0x808080, 0xFF0000, 0x00FF00,
                                             0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
constexpr std::uint32_t kHues[18] = {0xFFAA00, 0xFF5500, 0xFE0000, 0xFF0055, 0xFF00AA, 0xFE00FE,
                                     0xAA00FF, 0x5500FF, 0x0000FE, 0x0055FF, 0x00AAFF, 0x00FEFE,
                                     0x00FFAA, 0x00FF55, 0x00FE00, 0x55FF00, 0xAAFF00, 0xFEFE00};

// One channel of a hue at tint (lighter) or shade (darker) steps 1 to 6, by
// the channel's level in the hue.
struct LevelSteps {
    std::uint8_t level;
    std::uint8_t steps[6];
};
constexpr LevelSteps kTints[] = {{0x00, {0xD4, 0xB1, 0x8E, 0x6B, 0x48, 0x25}},
                                 {0x55, {0xE3, 0xC7, 0xAB, 0x8F, 0x73, 0x57}},
                                 {0xAA, {0xF0, 0xE2, 0xD4, 0xC6, 0xB8, 0xAA}},
                                 {0xFE, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
                                 {0xFF, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}}};
constexpr LevelSteps kShades[] = {{0x00, {0x00, 0x00, 0x00, 0x00, 0x00, 0x00}},
                                  {0x55, {0x55, 0x49, 0x3D, 0x31, 0x25, 0x19}},
                                  {0xAA, {0xAA, 0x92, 0x7A, 0x62, 0x4A, 0x32}},
                                  {0xFE, {0xFE, 0xDC, 0xB9, 0x96, 0x73, 0x50}},
                                  {0xFF, {0xFF, 0xDC, 0xB9, 0x96, 0x73, 0x50}}};

std::uint8_t StepLevel(const LevelSteps (&table)[5], std::uint8_t level, int step) {
    for (const LevelSteps& row : table) {
        if (row.level == level) return row.steps[step - 1];
    }
    return level;
}

RGBQUAD QuadOfRgb(std::uint32_t rgb) {
    return {static_cast<std::uint8_t>(rgb), static_cast<std::uint8_t>(rgb >> 8), static_cast<std::uint8_t>(rgb >> 16),
            0};
}

}  // namespace

void CRasterImage::SetStandardPalette() {
    RGBQUAD* table = PaletteData();
    if (!table) return;
    if (Header.biBitCount == 4) {
        for (int i = 0; i < 16; ++i) table[i] = QuadOfRgb(kStandard16[i]);
    } else if (Header.biBitCount == 8) {
        int n = 0;
        for (std::uint32_t rgb : kStandardHead) table[n++] = QuadOfRgb(rgb);
        for (std::uint32_t hue : kHues) {
            const std::uint8_t r = hue >> 16, g = hue >> 8, b = static_cast<std::uint8_t>(hue);
            for (const auto* steps : {&kTints, &kShades}) {
                for (int i = 1; i <= 6; ++i)
                    table[n++] = {StepLevel(*steps, b, i), StepLevel(*steps, g, i), StepLevel(*steps, r, i), 0};
            }
        }
        for (int i = 0; i < 20; ++i) {
            const auto v = static_cast<std::uint8_t>(0xF2 - 0x0C * i);
            table[n++] = {v, v, v, 0};
        }
        for (std::uint32_t rgb : kStandardTail) table[n++] = QuadOfRgb(rgb);
    } else {
        return;
    }
    Info.NearestCacheValid = false;
}

bool CRasterImage::PaletteHasAlpha() const {
    const RGBQUAD* table = PaletteData();
    if (!table) return false;
    return std::any_of(table, table + Header.biClrUsed, [](const RGBQUAD& q) { return q.rgbReserved != 0; });
}

void CRasterImage::SwapRedBlue(std::uint8_t* bytes, std::uint32_t length) const {
    if (!bytes || Header.biClrUsed) return;
    const std::uint32_t span = std::min(length, Info.RowBytes);
    // A triple that starts inside the span but would end past the buffer is left alone.
    for (std::uint32_t i = 0; i < span && i + 2 < length; i += 3) std::swap(bytes[i], bytes[i + 2]);
}
