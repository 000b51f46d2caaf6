// The writer of each save path.
#include "toolkit/write/dxf/dxf_entities.h"

namespace {
// Writers still to come: such a save is refused.
int noWriter(AdDrawing*, AdOutputDrawing*, AdSaveWork*) {
    adSetError(AD_ERR_NO_WRITER);
    return 0;
}
}  // namespace

AdSaveWriters adSaveWriters = {noWriter, noWriter, adDxfWriteR12, noWriter};
