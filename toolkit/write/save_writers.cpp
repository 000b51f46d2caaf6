// The writer of each save path.
#include "toolkit/write/dwg/dwg_writer.h"
#include "toolkit/write/dxf/dxf_entities.h"
#include "toolkit/write/r12/r12_writer.h"

AdSaveWriters adSaveWriters = {adDwgWriteR12, adDwgWriteR13, adDxfWriteR12, adDxfWriteR13};
