// The table lookups of the proxy-graphics stream, which names layers and
// linetypes by their position in the table, and the angle of a point about
// a centre that the stream's arcs (and multiline caps) use.
#include "toolkit/display/proxy.h"

#include <cmath>
#include <numbers>

namespace {

// A linetype without dashes draws as the continuous one, as the
// dispatcher draws it.
void continuousWhenPlain(AdDrawing* drawing, AdLtypeRecord* linetype) {
    if (linetype->dashCount <= 0 && drawing->display) *linetype = drawing->display->continuousRecord;
}

}  // namespace

int adProxyLinetypeByIndex(AdDrawing* drawing, std::int32_t index, AdLtypeRecord* linetype) {
    int found = 0;
    if (index == AD_PROXY_LTYPE_BYLAYER || index == AD_PROXY_LTYPE_BYBLOCK) {
        AdHandle handle{};
        const char* name = index == AD_PROXY_LTYPE_BYLAYER ? "BYLAYER" : "BYBLOCK";
        found = adLtypeHandleByName(drawing, name, &handle) && adLtypeByHandle(drawing, &handle, linetype);
    } else {
        // The walk stops at the table's end: a position past it leaves the
        // last record, a negative one the first.
        AdLtypeRecord record{};
        adLtypeRewind(drawing);
        for (std::int32_t i = 0; i <= index || i == 0; ++i) {
            if (!adLtypeNext(drawing, &record)) break;
            *linetype = record;
            found = 1;
        }
    }
    if (found) continuousWhenPlain(drawing, linetype);
    return found;
}

int adProxyLayerByIndex(AdDrawing* drawing, std::int32_t index, std::int16_t* colour, AdLtypeRecord* linetype) {
    AdLayerRecord layer{};
    int found = 0;
    adLayerRewind(drawing);
    for (std::int32_t i = 0; i <= index || i == 0; ++i) {
        if (!adLayerNext(drawing, &layer)) break;
        found = 1;
    }
    if (!found) return 0;
    *colour = layer.colour;
    AdLtypeRecord record{};
    if (adLtypeByHandle(drawing, &layer.linetype, &record)) {
        *linetype = record;
        continuousWhenPlain(drawing, linetype);
    }
    return 1;
}
