// The fonts of a text style: the TrueType face and flags from the style's
// extended data, the primary font with the default font standing in, and
// the big font with its ratio to the primary font.
#include "toolkit/display/text.h"

#include <cstring>

namespace {

constexpr std::int16_t kXdataString = 1000;
constexpr std::int16_t kXdataLong = 1071;

// The last 1000 item names the face, the last 1071 holds its flags.
void styleFace(const AdStyleRecord* style, char face[AD_XDATA_VALUE_SIZE], std::int32_t* flags) {
    face[0] = '\0';
    *flags = -1;
    if (!style->xdata) return;
    AdStream* stream = adStreamOpenRead(style->xdata);
    if (!stream) return;
    AdXdataItem item;
    while (adXdataReadItem(stream, &item)) {
        if (item.code == kXdataString) {
            std::memcpy(face, item.value.text, AD_XDATA_VALUE_SIZE);
            face[AD_XDATA_VALUE_SIZE - 1] = '\0';
        } else if (item.code == kXdataLong) {
            *flags = item.value.int32;
        }
    }
    adStreamCloseRead(stream);
}

}  // namespace

AdFont* adDefaultFont() { return adGlobals ? adGlobals->builtinFonts[0] : nullptr; }

void adResolveStyleFonts(AdDrawing* drawing, const AdStyleRecord* style, AdStyleFonts* fonts) {
    char face[AD_XDATA_VALUE_SIZE];
    std::int32_t faceFlags;
    styleFace(style, face, &faceFlags);
    const bool withBig = style->bigFontFile[0] != '\0';
    AdFont* fallback = adDefaultFont();
    fonts->font = adLoadFont(drawing, style->fontFile, withBig ? AD_FONT_MASK_SHAPE : AD_FONT_MASK_ANY, fallback,
                             face, faceFlags);
    if (!fonts->font) fonts->font = fallback;
    fonts->bigFont = nullptr;
    fonts->bigFontRatio = 0.0;
    if (!withBig || !fonts->font) return;
    AdFont* big = adLoadFont(drawing, style->bigFontFile, AD_FONT_MASK_BIGFONT, nullptr, nullptr, -1);
    const auto above = static_cast<std::uint16_t>(fonts->font->above);
    if (!big || above == 0) return;
    fonts->bigFont = big;
    fonts->bigFontRatio = static_cast<double>(big->bigFontHeight) / above;
}
