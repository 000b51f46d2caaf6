// How reals look in an ASCII DXF file. The digits come from std::to_chars,
// which rounds exactly on every runtime: printf of the Windows runtime and of
// glibc do not agree on long fixed-point values or on exponents.
#include "toolkit/write/dxf/dxf_writer.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace {
constexpr double kExponentLimit = 1e16;
constexpr int kFullPrecision = 16;

// Fixed-point text at the precision, without trailing zeros beyond the first
// decimal (at most trimLimit removed).
void fixedText(double value, int precision, int trimLimit, char* text) {
    auto result = std::to_chars(text, text + AD_DXF_NUMBER_SIZE - 1, value, std::chars_format::fixed, precision);
    char* end = result.ec == std::errc{} ? result.ptr : text;
    for (int trimmed = 0; trimmed < trimLimit && end > text && end[-1] == '0'; ++trimmed) --end;
    *end = '\0';
}

// Scientific text with an upper-case E and the exponent's digits without
// leading zeros beyond two (1.000000E+16).
void exponentText(double value, int precision, char* text) {
    auto result = std::to_chars(text, text + AD_DXF_NUMBER_SIZE - 1, value, std::chars_format::scientific, precision);
    char* end = result.ec == std::errc{} ? result.ptr : text;
    *end = '\0';
    if (char* e = std::strchr(text, 'e')) *e = 'E';
}

bool exponentIsZero(double value) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return ((bits >> 52) & 0x7FF) == 0;
}
}  // namespace

void adDxfSetNumberFormat(AdOutputDrawing* output, std::int32_t minusZero, std::int32_t precision,
                          std::int32_t defaultGroups) {
    // Beyond 17 decimals a double has no digits to give.
    if (precision < 0) precision = 0;
    if (precision > 17) precision = 17;
    output->minusZero = static_cast<std::int16_t>(minusZero);
    output->precision = static_cast<std::int16_t>(precision);
    output->defaultGroups = static_cast<std::int16_t>(defaultGroups);
    double threshold = 0.5;
    for (int i = 0; i < precision; ++i) threshold *= 0.1;
    output->roundingThreshold = threshold;
}

void adDxfFormatReal(const AdOutputDrawing* output, double value, char* text) {
    if (exponentIsZero(value)) value = 0.0;
    const double magnitude = std::fabs(value);
    if (magnitude <= output->roundingThreshold) {
        std::strcpy(text, output->minusZero && value < 0.0 ? "-0.0" : "0.0");
        return;
    }
    if (magnitude >= kExponentLimit) {
        exponentText(value, output->precision, text);
        return;
    }
    fixedText(value, output->precision, output->precision - 1, text);
}

void adDxfFormatFullReal(const AdOutputDrawing* output, double value, char* text) {
    if (std::fabs(value) >= kExponentLimit) {
        exponentText(value, output->precision, text);
        return;
    }
    fixedText(value, kFullPrecision, kFullPrecision - 1, text);
}
