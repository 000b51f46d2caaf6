// AC1015 DXF files name their plot-style-name dictionary only as an entry of
// the named-object dictionary, the first object of the section.
#include "toolkit/ad.h"
#include "toolkit/db/load_stages.h"

int adTakePlotStyleDictionary(AdDrawing* drawing) {
    if (!drawing) return 0;
    AdObjectHeader header{};
    AdObjectData data;
    if (!adObjectRewind(drawing) || !adObjectNext(drawing, &header, &data) || header.type != AD_OBJECT_DICTIONARY)
        return 0;
    AdHandle plotStyles{};
    if (!adDictionaryFindEntry(drawing, &header.handle, "ACAD_PLOTSTYLENAME", &plotStyles)) return 0;
    drawing->plotStyleDictionary = plotStyles;
    return 1;
}
