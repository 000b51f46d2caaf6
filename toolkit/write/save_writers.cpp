// The writer of each save path.
#include "toolkit/write/writer.h"

namespace {
// The DWG writers are not there yet: such a save is refused.
int noWriter(AdDrawing*, AdOutputDrawing*, AdSaveWork*) {
    adSetError(AD_ERR_NO_WRITER);
    return 0;
}
}  // namespace

AdSaveWriters adSaveWriters = {noWriter, noWriter, noWriter, noWriter};
