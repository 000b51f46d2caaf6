// TOLERANCE: the style values from the DIMSTYLE and the entity's DSTYLE
// overrides, the rows of fields laid out left to right in boxes 2h high,
// and the frame lines around them.
#include "toolkit/display/tolerance.h"

#include "toolkit/display/emit.h"
#include "toolkit/display/linetype.h"
#include "toolkit/display/mtext_layout.h"
#include "toolkit/display/text_frame.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

AdToleranceState adToleranceState{};

namespace {

constexpr double kScaleFloor = 1e-12;
const char kEmptyFrame[] = "%%v%%v%%v%%v%%v";
const char kSeparator[] = "%%v";

struct StyleValues {
    double height = 0.18;
    double scale = 1.0;
    std::int16_t frameColour = 0;
    std::int16_t textColour = 0;
    AdHandle textStyle{};
};

void styleOverride(AdDrawing* /*drawing*/, std::int16_t dxfCode, const AdXdataItem& value, void* context) {
    auto* values = static_cast<StyleValues*>(context);
    switch (dxfCode) {
    case 140: if (value.code == 1040) values->height = value.value.real; break;
    case 40: if (value.code == 1040 && value.value.real > kScaleFloor) values->scale = value.value.real; break;
    case 176: if (value.code == 1070) values->frameColour = value.value.int16; break;
    case 178: if (value.code == 1070) values->textColour = value.value.int16; break;
    case 340: if (value.code == 1005) values->textStyle = value.value.handle; break;
    default: break;
    }
}

// The record that carries the handle, or the table's last one; the
// defaults when the table is empty.
StyleValues styleValues(AdDrawing* drawing, const AdEntityHeader* header, const AdHandle& dimStyle) {
    StyleValues values;
    AdDimStyleRecord record{};
    bool any = false;
    if (adDimStyleRewind(drawing)) {
        // Bounded by the table: each read moves the cursor on.
        while (adDimStyleNext(drawing, &record)) {
            any = true;
            if (adHandleCompare(&record.handle, &dimStyle) == 0) break;
        }
    }
    if (any) {
        if (record.dimscale > kScaleFloor) values.scale = record.dimscale;
        values.frameColour = record.dimclrd;
        values.textColour = record.dimclrt;
        values.textStyle = record.dimtxsty;
        values.height = record.dimtxt;
    }
    if (header->xdata) adDimStyleOverrideItems(drawing, header->xdata, styleOverride, &values);
    return values;
}

std::int16_t resolve(std::int16_t colour, std::int16_t entityColour, std::int16_t layerColour) {
    if (colour == 0) return entityColour;
    if (colour == AD_COLOR_BYLAYER) return layerColour;
    return colour;
}

// The rows of the string, each split into its fields.
std::vector<std::vector<std::string>> rowsOf(const char* text, bool dxf) {
    std::vector<std::vector<std::string>> rows(1);
    std::string field;
    const std::size_t separator = std::strlen(kSeparator);
    for (const char* p = text; *p;) {
        if (*p == '\n' || (dxf && p[0] == '^' && p[1] == 'J')) {
            rows.back().push_back(field);
            field.clear();
            rows.emplace_back();
            p += *p == '\n' ? 1 : 2;
        } else if (std::strncmp(p, kSeparator, separator) == 0) {
            rows.back().push_back(field);
            field.clear();
            p += separator;
        } else {
            field += *p++;
        }
    }
    rows.back().push_back(field);
    return rows;
}

struct Frame {
    AdDrawing* drawing;
    const AdMatrix4* frame;
    const AdMatrix4* matrices;
    const AdLtypeRecord* linetype;
    AdDrawing* linetypeDrawing;

    void line(double x1, double y1, double x2, double y2, const AdMatrix4* model) const {
        const double a[3] = {x1, y1, 0.0}, b[3] = {x2, y2, 0.0};
        adToleranceFrameLine(drawing, a, b, model, matrices, linetype, linetypeDrawing);
    }
};

}  // namespace

void adToleranceViewMatrices(AdDrawing* drawing, const AdMatrix4* matrix, AdMatrix4* out) {
    const AdDisplayState* state = drawing->display;
    int first = 0, end = 1;
    adViewportRange(state, &first, &end);
    for (int v = first; v < end; ++v) adMatrixMultiply(matrix, &state->viewports[v].full, &out[v]);
}

void adToleranceFrameLine(AdDrawing* drawing, const double a[3], const double b[3], const AdMatrix4* model,
                          const AdMatrix4* matrices, const AdLtypeRecord* linetype, AdDrawing* linetypeDrawing) {
    AdEntityHeader* entity = adCurrentEntity();
    AdDisplayState* state = drawing->display;
    entity->type = AD_ENTITY_TOLERANCE;
    adSetPenColor(drawing, adMapColor(adToleranceState.frameColour));
    double start[3] = {a[0], a[1], a[2]}, end[3] = {b[0], b[1], b[2]};
    adApplyLinetype(drawing, start, end, model, matrices, linetype, linetypeDrawing, nullptr, ++state->curveCounter,
                    0.0);
    adSetPenColor(drawing, adMapColor(adToleranceState.textColour));
    entity->type = AD_ENTITY_TEXT;
}

void adDrawTolerance(AdDrawing* drawing, AdEntityHeader* header, const AdToleranceData* tolerance,
                     const AdMatrix4* block, const AdLtypeRecord* linetype, AdDrawing* linetypeDrawing,
                     std::int16_t colour, std::int16_t byBlockColour, std::int16_t layerColour) {
    if (std::strcmp(tolerance->text, kEmptyFrame) == 0) return;
    auto* matrices = static_cast<AdMatrix4*>(HostAlloc(sizeof(AdMatrix4) * AD_VIEWPORT_LIMIT));
    if (!matrices) {
        adFatalError(AD_FATAL_NO_MEMORY);
        return;
    }
    header->type = AD_ENTITY_TEXT;
    const StyleValues style = styleValues(drawing, header, tolerance->dimStyle);
    AdStyleRecord textStyle{};
    const double fixedHeight =
        adStyleByHandle(drawing, &style.textStyle, &textStyle) ? textStyle.fixedHeight : 0.0;
    adToleranceState.frameColour = resolve(style.frameColour, colour, layerColour);
    adToleranceState.textColour = resolve(style.textColour, colour, layerColour);
    adTextFrameMatrix(tolerance->insertion, tolerance->xDirection, block, &adRender->textFrame, style.scale);
    adToleranceViewMatrices(drawing, &adRender->textFrame, matrices);
    adSetPenColor(drawing, adMapColor(adToleranceState.textColour));
    adMText.toleranceText = 1;

    const double h = style.height;
    const Frame frame{drawing, &adRender->textFrame, matrices, linetype, linetypeDrawing};
    const AdMatrix4* identity = &adIdentityMatrix;
    double textTop = h / 2.0, previousRight = 0.0, right = 0.0, bottom = 0.0;
    bool firstRow = true;
    for (const std::vector<std::string>& row : rowsOf(tolerance->text, drawing->format != 0)) {
        const double top = textTop + h / 2.0;
        bottom = textTop - 1.5 * h;
        frame.line(0.0, top, 0.0, bottom, identity);
        double x = h / 2.0;
        right = 0.0;
        for (const std::string& text : row) {
            if (text.empty()) continue;
            AdMtextData field{};
            const double fieldHeight = fixedHeight > 0.0 ? fixedHeight / style.scale : h;
            field.insertion[0] = x;
            field.insertion[1] = firstRow ? fieldHeight / 2.0 + (top + bottom) / 2.0 : textTop;
            std::memcpy(field.xAxis, tolerance->xDirection, sizeof field.xAxis);
            field.height = fieldHeight;
            field.referenceWidth = 1e300;
            field.attachment = 1;
            field.drawingDirection = 1;
            field.style = style.textStyle;
            const std::size_t length = std::min(text.size(), sizeof field.text - 1);
            std::memcpy(field.text, text.data(), length);
            adDrawMText(drawing, &field, &adRender->textFrame, colour, layerColour, byBlockColour, 1);
            const double separator = x + field.extentsWidth + h / 2.0;
            frame.line(separator, top, separator, bottom, identity);
            right = separator;
            x = separator + h / 2.0;
        }
        frame.line(0.0, top, firstRow ? right : std::max(right, previousRight), top, frame.frame);
        previousRight = right;
        textTop = bottom - h / 2.0;
        firstRow = false;
    }
    frame.line(0.0, bottom, right, bottom, frame.frame);
    adMText.toleranceText = 0;
    HostFree(matrices);
}

void adDrawToleranceEntity(AdDrawContext& entity) {
    const AdToleranceData tolerance = entity.data->tolerance;
    adDrawTolerance(entity.drawing, entity.header, &tolerance, entity.block, entity.linetype, entity.linetypeDrawing,
                    entity.colour, entity.colour, entity.layer ? entity.layer->colour : 7);
}
