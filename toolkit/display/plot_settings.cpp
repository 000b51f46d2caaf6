// The layout's plot settings, the plot-style table they name, and line
// weights turned into device widths.
#include "toolkit/display/plot_style.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

constexpr std::int16_t kStandardWeights[26] = {5,  9,  10, 13, 15, 18,  20,  25,  30,  35,  40,  45,  50,
                                               53, 60, 65, 70, 80, 90, 100, 106, 120, 140, 158, 200, 211};
constexpr std::int16_t kIndexWeights[27] = {0,  5,  9,  10, 13, 15,  18,  20,  25,  30,  35,  40,  45, 50,
                                            53, 60, 65, 70, 80, 90, 100, 106, 120, 140, 158, 200, 211};

// 1..26 for a standard line weight, 0 for any other value.
int standardIndex(std::int16_t lineWeight) {
    for (int i = 0; i < 26; ++i)
        if (kStandardWeights[i] == lineWeight) return i + 1;
    return 0;
}

struct ObjectBuffer {
    AdObjectData* data = static_cast<AdObjectData*>(HostAlloc(sizeof(AdObjectData)));
    ~ObjectBuffer() {
        if (data) HostFree(data);
    }
};

}  // namespace

std::int16_t adPlotStyleLineWeight(std::int16_t index) {
    return index >= 1 && index <= 27 ? kIndexWeights[index - 1] : 0;
}

int adLoadLayoutPlotSettings(AdDrawing* drawing) {
    AdDisplayState* state = drawing->display;
    if (adDrawingVersion(drawing) < 7) return 0;
    AdHandle space{};
    adSpaceBlockHandle(drawing, &space, state->paperSpace ? AD_SPACE_PAPER : AD_SPACE_MODEL);
    if (state->paperSpace && adHandleLength(&state->paperBlock) != 0) space = state->paperBlock;
    AdBlockHeader block{};
    if (!adBlockByHandle(drawing, &space, &block) || adHandleLength(&block.layout) == 0) return 0;
    ObjectBuffer buffer;
    AdObjectHeader header{};
    const std::int16_t layoutClass = adClassNumLayout(drawing);
    if (!buffer.data || !adObjectByHandle(drawing, &block.layout, &header, buffer.data) || layoutClass == 0 ||
        header.type != layoutClass)
        return 0;
    auto* layout = static_cast<AdLayoutData*>(HostAlloc(sizeof(AdLayoutData)));
    if (!layout) return 0;
    *layout = buffer.data->layout;
    state->layout = layout;
    return 1;
}

int adLoadPlotStyleTable(AdDrawing* drawing) {
    AdDisplayState* state = drawing->display;
    const AdLayoutData* layout = state->layout;
    if (!layout || layout->plotSettings.styleSheet[0] == '\0' ||
        !(layout->plotSettings.layoutFlags & AD_PLOT_WITH_STYLES))
        return 0;
    char path[AD_PATH_SIZE] = {};
    if (adRender->hooks.findPlotStyleFile) {
        adRender->hooks.findPlotStyleFile(layout->plotSettings.styleSheet, path, drawing->userData);
        path[AD_PATH_SIZE - 1] = '\0';
    } else {
        std::snprintf(path, sizeof path, "%s", layout->plotSettings.styleSheet);
    }
    AdPlotStyleTable* table = nullptr;
    if (path[0] == '\0' || !adReadPlotStyleTable(path, &table)) return 0;
    const bool colourDependent = drawing->header && drawing->header->pstylemode != 0;
    if (!colourDependent) {
        adResolvePlotStyleNames(drawing, table);
    } else if (!table->aciTableAvailable) {
        adFreePlotStyleTable(table);
        table = nullptr;
    }
    state->plotStyles = table;
    state->ownsPlotStyles = table != nullptr;
    return 1;
}

void adResolvePlotStyleNames(AdDrawing* drawing, AdPlotStyleTable* table) {
    ObjectBuffer buffer;
    if (!buffer.data) return;
    AdObjectHeader header{};
    AdHandle names{};
    bool found = false;
    adObjectRewind(drawing);
    while (!found && adObjectNext(drawing, &header, buffer.data)) {
        if (header.type != 32 || buffer.data->dictionary.entryCount <= 0) continue;
        AdStream* stream = adStreamOpenRead(buffer.data->dictionary.entries);
        AdNameRecord entry{};
        for (std::int32_t i = 0; stream && i < buffer.data->dictionary.entryCount && adStreamReadNameRecord(stream, &entry); ++i)
            if (std::strcmp(entry.name, "ACAD_PLOTSTYLENAME") == 0) {
                names = entry.handle;
                found = true;
                break;
            }
        adStreamCloseRead(stream);
    }
    const std::int16_t withDefault = adClassNumDictionaryWithDefault(drawing);
    if (!found || withDefault == 0 || !adObjectByHandle(drawing, &names, &header, buffer.data) ||
        header.type != withDefault)
        return;
    const AdDictionaryWithDefaultData& dictionary = buffer.data->dictionaryWithDefault;
    if (dictionary.entryCount <= 0 || !dictionary.entries) return;
    AdStream* stream = adStreamOpenRead(dictionary.entries);
    AdNameRecord entry{};
    for (std::int32_t i = 0; stream && i < dictionary.entryCount && adStreamReadNameRecord(stream, &entry); ++i)
        for (AdPlotStyle* style = table->first; style; style = style->next)
            if (std::strcmp(style->localizedName, entry.name) == 0) style->handle = entry.handle;
    adStreamCloseRead(stream);
}

int adLineWeightToMm(const AdDrawing* drawing, std::int16_t lineWeight, double* mm) {
    const AdPlotStyleTable* table = drawing->display ? drawing->display->plotStyles : nullptr;
    const int index = standardIndex(lineWeight);
    if (table)
        *mm = table->customLineWeights[index];
    else
        *mm = index != 0 ? lineWeight / 100.0 : 0.0;
    return 1;
}

double adLineWeightToDevice(const AdDrawing* drawing, std::int16_t lineWeight) {
    double w = 0.0;
    adLineWeightToMm(drawing, lineWeight, &w);
    const AdDisplayState* state = drawing->display;
    if (!state->paperSpace) return adRender->modelLineWeightScale >= 0.0 ? w * adRender->modelLineWeightScale : w;
    const std::int16_t units = state->layout ? state->layout->plotSettings.paperUnits : 0;
    const double s = state->viewports[0].scale;
    if (units == 0) return w / 25.4 * s;
    if (units == 1) return w * s;
    return w * adRender->paperLineWeightScale;
}
