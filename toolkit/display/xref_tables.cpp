// The layer and linetype tables of an external reference while it is drawn:
// saved, renamed with the reference's name and "|", bound to the records of
// the drawing that refers to it, and put back afterwards.
#include "toolkit/display/xref.h"

#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <vector>

namespace {

template <typename Record, typename Rewind, typename Next>
std::vector<Record> readAll(AdDrawing* drawing, Rewind rewind, Next next, std::int32_t count) {
    std::vector<Record> records;
    Record record{};
    rewind(drawing);
    for (std::int32_t i = 0; i < count && next(drawing, &record); ++i) records.push_back(record);
    return records;
}

std::vector<AdLayerRecord> layersOf(AdDrawing* drawing) {
    return readAll<AdLayerRecord>(drawing, adLayerRewind, adLayerNext, adLayerCount(drawing));
}

std::vector<AdLtypeRecord> linetypesOf(AdDrawing* drawing) {
    return readAll<AdLtypeRecord>(drawing, adLtypeRewind, adLtypeNext, adLtypeCount(drawing));
}

void prefixName(char* name, std::size_t size, const char* prefix) {
    // A name too long for the field keeps as much of the prefixed name as fits.
    const std::string renamed = std::string(prefix) + "|" + name;
    std::snprintf(name, size, "%s", renamed.c_str());
}

}  // namespace

AdStore* adSaveXrefTables(AdDrawing* drawing) {
    AdStore* store = adStoreCreate(AD_STORE_BLOCK_SIZE);
    AdStream* out = store ? adStreamOpenWrite(store) : nullptr;
    if (!out) {
        if (store) adStoreFree(store);
        return nullptr;
    }
    bool ok = true;
    try {
        for (const AdLayerRecord& layer : layersOf(drawing))
            ok = ok && adStreamWrite(out, &layer, static_cast<std::int32_t>(sizeof layer));
        for (const AdLtypeRecord& linetype : linetypesOf(drawing))
            ok = ok && adStreamWrite(out, &linetype, static_cast<std::int32_t>(sizeof linetype));
    } catch (const std::bad_alloc&) {
        ok = false;
    }
    adStreamCloseWrite(out);
    if (ok) return store;
    adStoreFree(store);
    return nullptr;
}

int adRestoreXrefTables(AdDrawing* drawing, AdStore** saved) {
    if (!saved || !*saved) return 0;
    AdStream* in = adStreamOpenRead(*saved);
    if (in) {
        AdLayerRecord layer{};
        for (std::int32_t i = adLayerCount(drawing); i > 0; --i)
            if (adStreamRead(in, &layer, static_cast<std::int32_t>(sizeof layer))) adLayerUpdate(drawing, &layer);
        AdLtypeRecord linetype{};
        for (std::int32_t i = adLtypeCount(drawing); i > 0; --i)
            if (adStreamRead(in, &linetype, static_cast<std::int32_t>(sizeof linetype))) adLtypeUpdate(drawing, &linetype);
        adStreamCloseRead(in);
    }
    const int result = adStoreFree(*saved);
    *saved = nullptr;
    return result;
}

int adMergeXrefTables(AdDrawing* xref, const AdXrefRequest* request) {
    AdDisplayState* state = xref->display;
    AdDrawing* top = state->owner;
    if (!top || top == xref) return 1;
    const char* prefix = request->blockName;
    const bool retain = top->header && top->header->visretain != 0;
    try {
        const std::vector<AdLayerRecord> topLayers = retain ? layersOf(top) : std::vector<AdLayerRecord>{};
        const std::vector<AdLtypeRecord> topLinetypes = linetypesOf(top);
        std::vector<AdLayerRecord> layers = layersOf(xref);
        // Every layer but layer 0 is named for the reference and, with
        // VISRETAIN, takes the settings of the referring drawing's layer of
        // that name.
        for (std::size_t i = 1; i < layers.size(); ++i) {
            AdLayerRecord& layer = layers[i];
            prefixName(layer.name, sizeof layer.name, prefix);
            for (const AdLayerRecord& own : topLayers) {
                if (adStrCompareNoCase(own.name, layer.name) != 0) continue;
                layer.colour = own.colour;
                layer.flags = static_cast<std::uint8_t>((layer.flags & ~1u) | (own.flags & 1u));
                std::memcpy(layer.spareSlot, own.spareSlot, sizeof layer.spareSlot);
                layer.lineweight = own.lineweight;
                layer.plotStyle = own.plotStyle;
                layer.drawingCopy = top;
                AdLtypeRecord linetype{};
                if (adLtypeByHandle(top, &own.linetype, &linetype) && !std::strchr(linetype.name, '|')) {
                    layer.linetype = own.linetype;
                    layer.drawing = top;
                } else {
                    layer.drawing = xref;
                }
                break;
            }
            adLayerUpdate(xref, &layer);
        }
        // Layer 0 becomes the layer of the INSERT that refers to the drawing.
        if (!layers.empty()) {
            AdLayerRecord& zero = layers.front();
            std::snprintf(zero.name, sizeof zero.name, "%s", request->insertLayerName);
            std::memset(zero.spareSlot, 0, sizeof zero.spareSlot);
            zero.colour = request->insertLayerColour;
            zero.lineweight = request->insertLayerWeight;
            zero.plotStyle = request->insertLayerPlotStyle;
            zero.linetype = request->insertLayerLinetype;
            zero.drawing = top;
            zero.drawingCopy = top;
            adLayerUpdate(xref, &zero);
        }
        // Linetypes are bound to the referring drawing's definitions of the
        // same prefixed name, whatever VISRETAIN says.
        for (AdLtypeRecord linetype : linetypesOf(xref)) {
            prefixName(linetype.name, sizeof linetype.name, prefix);
            for (const AdLtypeRecord& own : topLinetypes) {
                if (adStrCompareNoCase(own.name, linetype.name) != 0) continue;
                const AdHandle handle = linetype.handle;
                linetype = own;
                linetype.handle = handle;
                break;
            }
            adLtypeUpdate(xref, &linetype);
        }
    } catch (const std::bad_alloc&) {
        adNoMemory(AD_ERR_DISPLAY_STATE_MEMORY);
    }
    return 1;
}
