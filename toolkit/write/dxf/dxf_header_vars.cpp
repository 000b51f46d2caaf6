// Header-variable groups: 9 and the variable's name, then its value.
#include "toolkit/write/dxf/dxf_writer.h"

#include <charconv>
#include <cstring>

namespace {
constexpr double kDayPerMillisecond = 1.1574074074074074e-8;

int name(AdOutputDrawing* output, const char* text) { return adDxfWriteStringGroup(output, 9, text); }
}  // namespace

int adDxfWritePoint2DVar(AdOutputDrawing* output, const char* var, std::int16_t code, const double* point) {
    return name(output, var) && adDxfWritePoint2D(output, code, point);
}

int adDxfWritePoint3DVar(AdOutputDrawing* output, const char* var, std::int16_t code, const double* point) {
    return name(output, var) && adDxfWritePoint3D(output, code, point);
}

int adDxfWriteFullPoint3DVar(AdOutputDrawing* output, const char* var, std::int16_t code, const double* point) {
    return name(output, var) && adDxfWriteFullPoint3D(output, code, point);
}

int adDxfWriteRealVar(AdOutputDrawing* output, const char* var, double value) {
    return name(output, var) && adDxfWriteRealGroup(output, 40, &value);
}

int adDxfWriteAngleVar(AdOutputDrawing* output, const char* var, double radians) {
    return name(output, var) && adDxfWriteAngleGroup(output, 50, &radians);
}

int adDxfWriteByteVar(AdOutputDrawing* output, const char* var, std::int16_t code, std::int8_t value) {
    return name(output, var) && adDxfWriteByteGroup(output, code, value);
}

int adDxfWriteShortVar(AdOutputDrawing* output, const char* var, std::int16_t code, std::int16_t value) {
    return name(output, var) && adDxfWriteShortGroup(output, code, value);
}

int adDxfWriteFlagVar(AdOutputDrawing* output, const char* var, std::int16_t value) {
    return adDxfWriteShortVar(output, var, 70, value);
}

int adDxfWriteStringVar(AdOutputDrawing* output, const char* var, std::int16_t code, const char* text) {
    return name(output, var) && adDxfWriteStringGroup(output, code, text);
}

int adDxfWriteDateVar(AdOutputDrawing* output, const char* var, AdJulianDate date, int decimals) {
    const double value = date.day + date.milliseconds * kDayPerMillisecond;
    if (!name(output, var)) return 0;
    if (output->format == AD_FORMAT_DXF_BINARY) return adDxfWriteRealGroup(output, 40, &value);
    char text[AD_DXF_NUMBER_SIZE];
    auto result = std::to_chars(text, text + sizeof text - 1, value, std::chars_format::fixed, decimals == 9 ? 9 : 10);
    *result.ptr = '\0';
    return adDxfWriteStringGroup(output, 40, text);
}
