// The writer of each save path.
#include "toolkit/write/dwg/dwg_writer.h"
#include "toolkit/write/dxf/dxf_entities.h"
#include "toolkit/write/r12/r12_writer.h"

namespace {
// Writers still to come: such a save is refused.
int noWriter(AdDrawing*, AdOutputDrawing*, AdSaveWork*) {
    adSetError(AD_ERR_NO_WRITER);
    return 0;
}
}  // namespace

AdSaveWriters adSaveWriters = {adDwgWriteR12, adDwgWriteR13, adDxfWriteR12, noWriter};
