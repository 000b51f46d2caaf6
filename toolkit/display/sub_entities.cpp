// Reading the entities that follow a POLYLINE or an INSERT (vertices,
// attributes, the SEQEND) into the buffers the engine shares.
#include "toolkit/display/render_state.h"

#include <cstring>

AdEntityHeader* adSubEntityHeader() { return adDisplayGlobals->subHeader; }
AdEntityData* adSubEntityData() { return adDisplayGlobals->subData; }

namespace {

void reportSubEntity(AdDrawing* drawing) {
    if (adRender->hooks.subEntity)
        adRender->hooks.subEntity(adDisplayGlobals->subHeader, adDisplayGlobals->subData, drawing->userData);
}

}  // namespace

// Entities of a block on layer 0 take the layer of the reference that
// inserts them; attributes keep their own layer.
int adNextSubEntity(AdDrawing* drawing, AdRecordList* list, std::int16_t substituteLayer) {
    AdEntityHeader* header = adDisplayGlobals->subHeader;
    const int result = adEntityNext(list, header, adDisplayGlobals->subData);
    if (!result) return result;
    const AdDisplayState* state = drawing->display;
    if (substituteLayer && state && header->type != AD_ENTITY_ATTRIB &&
        std::memcmp(&header->layer, &state->layerZero, sizeof(AdHandle)) == 0)
        header->layer = state->insertLayer;
    reportSubEntity(drawing);
    return result;
}

// Stops at the end of the list too, so a sequence without its SEQEND cannot
// run the reader past the list.
int adSkipToSeqend(AdDrawing* drawing, AdRecordList* list) {
    AdEntityHeader* header = adDisplayGlobals->subHeader;
    while (adEntityNext(list, header, adDisplayGlobals->subData)) {
        if (header->type == AD_ENTITY_SEQEND) {
            reportSubEntity(drawing);
            return 1;
        }
    }
    return 0;
}
