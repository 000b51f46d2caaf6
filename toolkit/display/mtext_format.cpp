// Format codes of multi-line text applied to the run format: heights,
// obliquing, width, tracking, vertical alignment, fonts, braces, colours and
// line flags.
#include "toolkit/display/mtext.h"
#include "toolkit/display/render_state.h"
#include "toolkit/display/text.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double PI = 3.14159265358979323846;

void applyHeight(AdMTextFormat* format, const AdMTextCode* code, const AdMTextApply* apply) {
    const double v = code->value;
    if (v == 0.0) return;
    if (code->relative) {
        format->height *= v;
        format->glyphScale *= v;
    } else if (format->height == 0.0) {
        // No height to scale from: the glyph scale comes from the font.
        format->glyphScale = adMTextGlyphScale(format, v);
        format->height = v;
    } else {
        format->glyphScale *= v / format->height;
        format->height = v;
    }
    if (AdMTextLineMetrics* metrics = apply->metrics) {
        metrics->largest = std::max(metrics->largest, format->height);
        metrics->smallest = std::min(metrics->smallest, format->height);
        if (apply->tallest) *apply->tallest = std::max(*apply->tallest, metrics->largest);
        adMTextRunAlign(format, metrics->reference);
    }
}

void applyAlignment(AdMTextFormat* format, const AdMTextCode* code, const AdMTextApply* apply) {
    // The reference height is known only while a line is drawn.
    if (!apply->metrics || apply->metrics->reference == 0.0) return;
    format->alignment = code->alignment;
    adMTextRunAlign(format, apply->metrics->reference);
}

void applyFont(AdMTextFormat* format, const AdMTextCode* code, const AdMTextApply* apply) {
    const std::int32_t kinds = format->bigFont ? AD_FONT_MASK_SHAPE : AD_FONT_MASK_ANY;
    AdFont* font = adLoadFont(apply->drawing, code->fontName, kinds, adDefaultFont(), nullptr, -1);
    if (!font) return;
    format->primaryFont = font;
    format->glyphScale = adMTextGlyphScale(format, format->height);
    if (apply->kindCode) *apply->kindCode = adFontKindCode(font->kind);
}

void setPen(const AdMTextApply* apply, std::int16_t colour) {
    if (apply->drawingPass && apply->drawing) adSetPenColor(apply->drawing, adMapColor(colour));
}

}  // namespace

double adMTextGlyphScale(const AdMTextFormat* format, double height) {
    const AdFont* primary = format->primaryFont;
    const AdFont* big = format->bigFont;
    double unit = 0.0;
    if (big && big->bigFontHeight != 0 && !(primary && (primary->kind & AD_FONT_TRUETYPE)))
        unit = big->bigFontHeight;
    else if (primary)
        unit = primary->above;
    // A font that claims no height above its baseline is taken as one unit
    // high, so that its text stays finite.
    if (unit <= 0.0) unit = 1.0;
    return height / unit;
}

void adMTextLineFlags(AdMTextFormat* format, std::uint16_t character) {
    switch (character) {
    case AD_MTEXT_OVERLINE_ON:
        format->lineFlags |= AD_TEXT_OVERLINE;
        break;
    case AD_MTEXT_OVERLINE_OFF:
        format->lineFlags &= static_cast<std::uint8_t>(~AD_TEXT_OVERLINE);
        break;
    case AD_MTEXT_UNDERLINE_ON:
        format->lineFlags |= AD_TEXT_UNDERLINE;
        break;
    case AD_MTEXT_UNDERLINE_OFF:
        format->lineFlags &= static_cast<std::uint8_t>(~AD_TEXT_UNDERLINE);
        break;
    default:
        break;
    }
}

void adMTextRunAlign(AdMTextFormat* format, double referenceHeight) {
    switch (format->alignment) {
    case 0:
        format->verticalOffset = 0.0;
        break;
    case 1:
        format->verticalOffset = (referenceHeight - format->height) / 2.0;
        break;
    case 2:
        format->verticalOffset = referenceHeight - format->height;
        break;
    default:
        break;
    }
}

void adMTextApplyCode(AdMTextFormat* format, const AdMTextCode* code, const AdMTextApply* apply) {
    switch (code->code) {
    case 'H':
        applyHeight(format, code, apply);
        break;
    case 'Q':
        format->obliqueAngle = code->value * PI / 180.0;
        break;
    case 'W':
        format->widthFactor = code->value;
        break;
    case 'T':
        format->trackingExtra = code->value - 1.0;
        break;
    case 'A':
        applyAlignment(format, code, apply);
        break;
    case 'F':
        applyFont(format, code, apply);
        break;
    case '{':
        if (*apply->depth < AD_MTEXT_STACK_DEPTH) adMText.stack[(*apply->depth)++] = *format;
        break;
    case '}':
        if (*apply->depth > 0) {
            const char* position = format->position;
            *format = adMText.stack[--*apply->depth];
            format->position = position;
            setPen(apply, format->colour);
        }
        break;
    default:
        break;
    }
}

void adMTextApplyColour(AdMTextFormat* format, std::uint16_t character, const AdMTextApply* apply) {
    const int n = character - AD_MTEXT_COLOUR;
    if (n < 0 || n > AD_MTEXT_COLOUR_LIMIT) return;
    format->colour = n == 256 ? apply->layerColour : n == 0 ? apply->blockColour : static_cast<std::int16_t>(n);
    setPen(apply, format->colour);
}
