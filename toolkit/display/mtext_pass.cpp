// Multi-line text as a whole: the text and its style, line after line with
// the line spacing and the attachment point, the actual width and height,
// and the two passes (measuring, then drawing).
#include "toolkit/display/emit.h"
#include "toolkit/display/mtext_layout.h"
#include "toolkit/display/text.h"

#include <cstring>
#include <memory>

namespace {

constexpr std::uint8_t STYLE_VERTICAL = 4;
constexpr double NO_WRAP = 1e300;

struct HostDeleter {
    void operator()(void* block) const { HostFree(block); }
};
using HostText = std::unique_ptr<char, HostDeleter>;
using HostMatrices = std::unique_ptr<AdMatrix4, HostDeleter>;

// The current entity reads TEXT while the strokes are drawn, so that the
// linetype applicator treats them as text.
class EntityAsText {
public:
    EntityAsText() : entity_(adCurrentEntity()), type_(entity_->type) { entity_->type = AD_ENTITY_TEXT; }
    ~EntityAsText() { entity_->type = type_; }
    EntityAsText(const EntityAsText&) = delete;
    EntityAsText& operator=(const EntityAsText&) = delete;

private:
    AdEntityHeader* entity_;
    std::uint16_t type_;
};

// A final '}' stays last; blanks before it go. A text that ends "\P}" ends
// "\P\P}", so that it keeps the empty last line a final "\P" gives.
void tidyEnd(char* text) {
    std::size_t length = std::strlen(text);
    const bool brace = length > 0 && text[length - 1] == '}';
    if (brace) --length;
    while (length > 0 && text[length - 1] == ' ') --length;
    if (brace) text[length++] = '}';
    text[length] = '\0';
    if (length > 3 && std::strcmp(text + length - 3, "\\P}") == 0) std::memcpy(text + length - 1, "\\P}", 4);
}

void readStyle(AdDrawing* drawing, const AdMtextData* mtext, AdStyleRecord* style) {
    if (adStyleByHandle(drawing, &mtext->style, style)) return;
    std::memset(style, 0, sizeof *style);
    if (adStyleRewind(drawing)) adStyleNext(drawing, style);
}

// The spacing from the previous baseline to this line's.
double lineStep(const AdMtextData* mtext, bool vertical, bool first, double lineHeight, double previousLargest) {
    const double factor = mtext->lineSpacingFactor;
    if (vertical) return first ? 0.0 : lineHeight * 2.0 * factor;
    if (mtext->lineSpacingStyle == 1)
        return first ? lineHeight : (mtext->height / 3.0 + previousLargest / 3.0 + lineHeight) * factor;
    return first ? mtext->height : mtext->height * 1.666667 * factor;
}

// The frame a LEADER asks around its annotation.
void drawFrame(const AdMTextPass* pass, const double pen[3], double width, double height) {
    const double g = adMText.frameMargin;
    double x1 = pen[0] - g, x2 = pen[0] + width + g;
    switch (pass->mtext->attachment) {
    case 3:
    case 6:
    case 9:
        x1 = pen[0] - width - g;
        x2 = pen[0] + g;
        break;
    case 2:
    case 5:
    case 8:
        x1 = pen[0] - width / 2.0 - g;
        x2 = pen[0] + width / 2.0 + g;
        break;
    default:
        break;
    }
    const double y1 = pen[1] - g, y2 = pen[1] + height + g;
    adMTextLineSegment(pass, x1, y1, x2, y1);
    adMTextLineSegment(pass, x2, y1, x2, y2);
    adMTextLineSegment(pass, x2, y2, x1, y2);
    adMTextLineSegment(pass, x1, y2, x1, y1);
}

}  // namespace

int adIsBlankText(const char* text) {
    for (; *text; ++text)
        if (*text != ' ') return 0;
    return 1;
}

char* adMTextGetString(const AdMtextData* mtext) {
    std::size_t length = strnlen(mtext->text, sizeof mtext->text);
    AdStream* in = mtext->longText ? adStreamOpenRead(mtext->longText) : nullptr;
    const std::int32_t size = in ? adStoreSize(mtext->longText) : 0;
    if (in) length = size > 0 ? static_cast<std::size_t>(size) : 0;
    auto* text = static_cast<char*>(HostAlloc(length + 10));
    if (!text) {
        if (in) adStreamCloseRead(in);
        adNoMemory(AD_ERR_DXF_MTEXT_MEMORY);
        return nullptr;
    }
    if (in) {
        if (length > 0 && !adStreamRead(in, text, size)) length = 0;
        adStreamCloseRead(in);
    } else {
        std::memcpy(text, mtext->text, length);
    }
    text[length] = '\0';
    return text;
}

double adMTextAttachOffset(const AdMtextData* mtext, const AdTextBox* lineBox) {
    if (adTextBoxEmpty(lineBox)) return 0.0;
    const double width = lineBox->b[3] - lineBox->b[0];
    switch (mtext->attachment) {
    case 1:
    case 4:
    case 7:
        return -lineBox->b[0];
    case 2:
    case 5:
    case 8:
        return -width / 2.0;
    case 3:
    case 6:
    case 9:
        return -width;
    default:
        return 0.0;
    }
}

int adDrawMTextPass(AdDrawing* drawing, AdMtextData* mtext, const AdMatrix4* placement, std::int16_t colour,
                    std::int16_t layerColour, std::int16_t blockColour, int passNumber, double* actualWidth,
                    double* actualHeight, AdTextBox* box) {
    EntityAsText asText;
    adGlyphs.stackTop = -1;
    adTextBoxReset(box);
    double pen[3] = {mtext->insertion[0], mtext->insertion[1], mtext->insertion[2]};
    double totalHeight = 0.0;

    HostText text(adMTextGetString(mtext));
    if (!text) return 0;
    tidyEnd(text.get());
    adMText.wrap = adMText.codes &&
                   !(adDrawingVersion(drawing) == AD_VERSION_AC1012 && std::strchr(text.get(), '\n'));
    if (adIsBlankText(text.get())) return 1;

    AdStyleRecord style;
    readStyle(drawing, mtext, &style);
    AdStyleFonts fonts;
    adResolveStyleFonts(drawing, &style, &fonts);
    AdMTextFormat format{};
    format.widthFactor = style.widthFactor != 0.0 ? style.widthFactor : 1.0;
    format.obliqueAngle = style.obliqueAngle;
    format.height = mtext->height;
    format.colour = colour;
    format.primaryFont = fonts.font;
    format.bigFont = fonts.bigFont;
    format.position = text.get();
    format.glyphScale = adMTextGlyphScale(&format, format.height);
    const bool vertical = mtext->drawingDirection == 3 || (style.flags & STYLE_VERTICAL);
    std::uint8_t kindCode = adFontKindCode(fonts.font ? fonts.font->kind : 0);

    AdMTextPass pass{};
    pass.drawing = drawing;
    pass.mtext = mtext;
    pass.layerColour = layerColour;
    pass.blockColour = blockColour;
    pass.pass = static_cast<std::uint8_t>(passNumber);
    pass.vertical = vertical;
    pass.styleFlags = vertical ? STYLE_VERTICAL : 0;
    pass.referenceWidth = mtext->referenceWidth;
    HostMatrices matrices(static_cast<AdMatrix4*>(HostAlloc(2 * AD_VIEWPORT_LIMIT * sizeof(AdMatrix4))));
    if (!matrices) {
        adNoMemory(AD_ERR_MTEXT_MATRICES);
        return 0;
    }
    pass.views = matrices.get();
    pass.runMatrices = matrices.get() + AD_VIEWPORT_LIMIT;
    if (AdDisplayState* state = drawing->display) {
        adViewportRange(state, &pass.firstView, &pass.endView);
        for (int v = pass.firstView; v < pass.endView; ++v)
            adMatrixMultiply(placement, &state->viewports[v].full, &matrices.get()[v]);
    }

    if (mtext->attachment >= 4 && mtext->attachment <= 6) pen[1] += *actualHeight / 2.0;
    if (mtext->attachment >= 7 && mtext->attachment <= 9) pen[1] += *actualHeight;

    int depth = 0;
    bool first = true;
    double previousLargest = format.height;
    AdTextBox lineBox;
    adTextBoxReset(&lineBox);
    for (int more = 1; more;) {
        AdMTextLineMetrics metrics{format.height, format.height, 0.0};
        AdMTextFormat probe = format;
        int probeDepth = depth;
        std::uint8_t probeKind = kindCode;
        double tallest = 0.0;
        AdTextBox probeBox;
        if (!adMTextLine(&pass, pen, &probe, &metrics, 0, &probeKind, 0.0, &probeDepth, &probeBox, &tallest)) break;
        const double lineHeight = adMText.toleranceText ? format.height : tallest;
        const double step = lineStep(mtext, vertical, first, lineHeight, previousLargest);
        const double startX = adMTextAttachOffset(mtext, &probeBox);
        if (vertical)
            pen[0] += step;
        else
            pen[1] -= step;
        totalHeight += step;
        metrics.reference = lineHeight;
        more = adMTextLine(&pass, pen, &format, &metrics, 1, &kindCode, startX, &depth, &lineBox, &tallest);
        format.glyphScale = adMTextGlyphScale(&format, format.height);
        adTextBoxAppendBelow(box, &lineBox);
        previousLargest = metrics.largest;
        first = false;
    }

    *actualWidth = adTextBoxEmpty(box) ? 0.0 : box->b[3] - box->b[0];
    *actualHeight = totalHeight - (adTextBoxEmpty(&lineBox) ? 0.0 : lineBox.b[1]);

    if (passNumber == 1 && !adMText.toleranceText && adHandleLength(&adMText.frameHandle) != 0) {
        adMText.frameHandle = AdHandle{};
        drawFrame(&pass, pen, *actualWidth, *actualHeight);
    }
    return 1;
}

int adDrawMText(AdDrawing* drawing, AdMtextData* mtext, const AdMatrix4* placement, std::int16_t colour,
                std::int16_t layerColour, std::int16_t blockColour, std::uint8_t codes) {
    adMText.codes = codes;
    if (mtext->height / 10.0 >= mtext->referenceWidth) mtext->referenceWidth = NO_WRAP;
    const double insertion[3] = {mtext->insertion[0], mtext->insertion[1], mtext->insertion[2]};
    double width = mtext->referenceWidth;
    double height = 0.0;
    AdTextBox box;
    if (adDrawMTextPass(drawing, mtext, placement, colour, layerColour, blockColour, 0, &width, &height, &box)) {
        std::memcpy(mtext->insertion, insertion, sizeof insertion);
        adDrawMTextPass(drawing, mtext, placement, colour, layerColour, blockColour, 1, &width, &height, &box);
    }
    mtext->extentsWidth = width;
    mtext->extentsHeight = height;
    adMText.codes = 1;
    return 1;
}
