// Coordinates: x with the base code, y with base + 10, z with base + 20.
#include "toolkit/write/dxf/dxf_writer.h"

namespace {
using RealWriter = int (*)(AdOutputDrawing*, std::int16_t, const double*);

int coordinates(AdOutputDrawing* output, std::int16_t code, const double* point, int count, RealWriter write) {
    for (int i = 0; i < count; ++i)
        if (!write(output, static_cast<std::int16_t>(code + 10 * i), &point[i])) return 0;
    return 1;
}
}  // namespace

int adDxfWritePoint2D(AdOutputDrawing* output, std::int16_t code, const double* point) {
    return coordinates(output, code, point, 2, adDxfWriteRealGroup);
}

int adDxfWritePoint3D(AdOutputDrawing* output, std::int16_t code, const double* point) {
    return coordinates(output, code, point, 3, adDxfWriteRealGroup);
}

int adDxfWritePointGroups(AdOutputDrawing* output, std::int16_t code, const double* point, int count) {
    return coordinates(output, code, point, count == 3 ? 3 : 2, adDxfWriteRealGroup);
}

int adDxfWritePointOptZ(AdOutputDrawing* output, std::int16_t code, const double* point) {
    const bool z = output->version >= AD_VERSION_AC1006 && (point[2] != 0.0 || output->defaultGroups);
    return coordinates(output, code, point, z ? 3 : 2, adDxfWriteRealGroup);
}

int adDxfWritePointZ(AdOutputDrawing* output, std::int16_t code, const double* point) {
    const bool z = point[2] != 0.0 || output->version >= AD_VERSION_AC1006;
    return coordinates(output, code, point, z ? 3 : 2, adDxfWriteRealGroup);
}

int adDxfWriteFullPoint2D(AdOutputDrawing* output, std::int16_t code, const double* point) {
    return coordinates(output, code, point, 2, adDxfWriteFullRealGroup);
}

int adDxfWriteFullPoint3D(AdOutputDrawing* output, std::int16_t code, const double* point) {
    return coordinates(output, code, point, 3, adDxfWriteFullRealGroup);
}

int adDxfWriteFullPointGroups(AdOutputDrawing* output, std::int16_t code, const double* point, int count) {
    return coordinates(output, code, point, count == 3 ? 3 : 2, adDxfWriteFullRealGroup);
}
