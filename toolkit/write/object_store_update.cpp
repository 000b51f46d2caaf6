// Replacing one store of a stored object.
#include "toolkit/write/writer.h"

int adObjectUpdateStore(AdDrawing* drawing, AdObjectHeader* header, AdObjectData* data, AdStore** field,
                        AdStore* fresh) {
    AdStore* old = *field;
    *field = fresh;
    if (adObjectUpdate(drawing, header, data)) {
        adStoreFree(old);
        return 1;
    }
    *field = old;
    adStoreFree(fresh);
    return 0;
}
