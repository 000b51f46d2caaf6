// Numbers of ASCII value lines, read as the C library's atoi and atof read
// them but without regard to the locale, which may not use '.' for decimals.
#include "toolkit/db/dxf/dxf_reader.h"
#include "toolkit/db/dxf/dxf_read.h"

#include <charconv>
#include <iterator>
#include <cmath>
#include <cstring>

namespace {
// Past leading blanks and a '+', which from_chars does not take.
const char* numberStart(const char* text, const char* end) {
    while (text < end && (*text == ' ' || *text == '\t')) ++text;
    if (text < end && *text == '+') ++text;
    return text;
}

// The powers of ten that a double holds exactly.
constexpr double kExactPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                   1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr std::uint64_t kExactMantissa = std::uint64_t{1} << 53;

// Most reals of a file are plain decimals whose digits, taken as a whole
// number, a double holds exactly: one division by an exact power of ten then
// rounds once, to the same double the general conversion gives. Anything else
// (an exponent, too many digits, no digit on either side of the point) is
// left to the general conversion.
bool plainDecimal(const char* start, const char* end, double* value) {
    const char* p = start;
    const bool negative = p < end && *p == '-';
    if (negative) ++p;
    // Digits beyond what 64 bits hold wrap around; such a number is refused
    // below by its count of digits.
    std::uint64_t mantissa = 0;
    auto digits = [&]() {
        const char* first = p;
        for (unsigned digit; p < end && (digit = static_cast<unsigned char>(*p) - 48u) <= 9; ++p)
            mantissa = mantissa * 10 + digit;
        return static_cast<std::size_t>(p - first);
    };
    const std::size_t whole = digits();
    if (whole == 0) return false;
    std::size_t fraction = 0;
    if (p < end && *p == '.') {
        ++p;
        fraction = digits();
        if (fraction == 0) return false;
    }
    if (whole + fraction > 19 || (p < end && (*p == 'e' || *p == 'E'))) return false;
    if (mantissa > kExactMantissa || fraction >= std::size(kExactPowers)) return false;
    const double magnitude = static_cast<double>(mantissa) / kExactPowers[fraction];
    *value = negative ? -magnitude : magnitude;
    return true;
}
}  // namespace

std::int32_t adDxfParseInteger(const char* text, std::size_t length) {
    const char* end = text + length;
    const char* start = numberStart(text, end);
    std::int64_t value = 0;
    auto [stop, error] = std::from_chars(start, end, value);
    if (error == std::errc::result_out_of_range) return *start == '-' ? INT32_MIN : INT32_MAX;
    if (error != std::errc() || stop == start) return 0;
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<std::int32_t>(value);
}

std::int32_t adDxfParseInteger(const char* text) { return adDxfParseInteger(text, std::strlen(text)); }

// Infinities and NaNs are no coordinates: they read as 0.0, as in binary files.
double adDxfParseReal(const char* text, std::size_t length) {
    const char* end = text + length;
    const char* start = numberStart(text, end);
    double value = 0.0;
    if (plainDecimal(start, end, &value)) return value;
    auto [stop, error] = std::from_chars(start, end, value);
    if (error != std::errc() || stop == start || !std::isfinite(value)) return 0.0;
    return value;
}

double adDxfParseReal(const char* text) { return adDxfParseReal(text, std::strlen(text)); }

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
