// Drawings of external references, opened once through the drawing that
// refers to them and closed with it.
#include "toolkit/ad.h"

#include <cstring>

AdDrawing* adOpenXrefDrawing(AdDrawing* drawing, const char* name) {
    if (!drawing || !name) return nullptr;
    for (std::int16_t i = 0; i < drawing->xrefCount && i < AD_XREF_LIMIT; ++i)
        if (std::strcmp(drawing->xrefs[i]->fileName, name) == 0) return drawing->xrefs[i];
    // Refused before opening: a drawing that could not be kept would leak.
    if (drawing->xrefCount >= AD_XREF_LIMIT) {
        adSetError(AD_ERR_XREF_LIMIT);
        return nullptr;
    }
    AdDrawing* xref = adOpenDrawing(name, 1, 1);
    if (xref) drawing->xrefs[drawing->xrefCount++] = xref;
    return xref;
}
