// Numbers of ASCII value lines, read as the C library's atoi and atof read
// them but without regard to the locale, which may not use '.' for decimals.
#include "toolkit/db/dxf/dxf_reader.h"
#include "toolkit/db/dxf/dxf_read.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace {
// Past leading blanks and a '+', which from_chars does not take.
const char* numberStart(const char* text) {
    while (*text == ' ' || *text == '\t') ++text;
    if (*text == '+') ++text;
    return text;
}
}  // namespace

std::int32_t adDxfParseInteger(const char* text) {
    const char* start = numberStart(text);
    std::int64_t value = 0;
    auto [end, error] = std::from_chars(start, start + std::strlen(start), value);
    if (error == std::errc::result_out_of_range) return *start == '-' ? INT32_MIN : INT32_MAX;
    if (error != std::errc() || end == start) return 0;
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<std::int32_t>(value);
}

// Infinities and NaNs are no coordinates: they read as 0.0, as in binary files.
double adDxfParseReal(const char* text) {
    const char* start = numberStart(text);
    double value = 0.0;
    auto [end, error] = std::from_chars(start, start + std::strlen(start), value);
    if (error != std::errc() || end == start || !std::isfinite(value)) return 0.0;
    return value;
}

void adDxfParseHandle(const char* text, AdHandle* handle) {
    if (!adHexToHandle(text, handle)) *handle = AdHandle{};
}

std::int32_t adDxfTokenInteger() {
    const AdDxfToken& t = adDxfToken();
    switch (adDxfValueClass(t.code)) {
        case AdDxfValueClass::Int16: return t.shortValue;
        case AdDxfValueClass::Int32: return t.longValue;
        default: return adDxfParseInteger(t.text);
    }
}
