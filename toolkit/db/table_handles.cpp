// Handles for the table control objects and space block records that files
// before AC1012 do not carry.
#include "toolkit/ad.h"

int adSetTableHandles(AdDrawing* drawing) {
    if (!drawing) return 0;
    for (int control = AD_CONTROL_BLOCK; control < AD_CONTROL_VPORT_ENTITY; ++control)
        if (!adNextHandle(drawing, &drawing->tableControls[control])) return 0;
    return adNextHandle(drawing, &drawing->modelSpaceBlock) && adNextHandle(drawing, &drawing->paperSpaceBlock) &&
           adNextHandle(drawing, &drawing->tableControls[AD_CONTROL_VPORT_ENTITY]);
}
