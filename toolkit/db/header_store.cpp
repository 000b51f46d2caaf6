// Storing one DXF header value where its descriptor says, in the form its
// type says. Values come from a hostile file: texts are cut at the length the
// descriptor allows, and reals that do not fit a date are clamped.
#include "toolkit/ad.h"
#include "toolkit/ad_internal.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {
constexpr double AD_MILLISECONDS_PER_DAY = 86400000.0;

// Truncated toward zero; NaN gives 0 and values beyond the range its limit.
std::int32_t toInt32(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0) return INT32_MAX;
    if (value <= -2147483648.0) return INT32_MIN;
    return static_cast<std::int32_t>(value);
}

unsigned char* fieldOf(AdHeaderVars* header, const AdHeaderVarDesc* desc) {
    if (desc->type & AD_HV_IN_GLOBALS) {
        return adGlobals ? reinterpret_cast<unsigned char*>(adGlobals) + desc->offset : nullptr;
    }
    return header ? reinterpret_cast<unsigned char*>(header) + desc->offset : nullptr;
}

// Fields are written bytewise: the descriptor gives a byte position, not a
// typed member.
template <typename T>
void put(unsigned char* field, std::size_t element, T value) {
    std::memcpy(field + element * sizeof(T), &value, sizeof(T));
}

void putDate(unsigned char* field, double real) {
    AdJulianDate date;
    date.day = toInt32(std::trunc(real));
    // To the nearest millisecond: a date written with nine decimals reads
    // back as the same day and millisecond.
    const std::int32_t milliseconds = toInt32(std::round((real - std::trunc(real)) * AD_MILLISECONDS_PER_DAY));
    date.milliseconds = milliseconds >= 86400000 ? 86399999 : (milliseconds <= -86400000 ? -86399999 : milliseconds);
    std::memcpy(field, &date, sizeof date);
}

int putText(unsigned char* field, std::int32_t length, const char* text) {
    if (!text || length <= 0) return 0;
    std::snprintf(reinterpret_cast<char*>(field), static_cast<std::size_t>(length), "%s", text);
    return 1;
}

int putHandle(unsigned char* field, const char* text) {
    AdHandle handle;
    if (!text || !adHexToHandle(text, &handle)) return 0;
    std::memcpy(field, &handle, sizeof handle);
    return 1;
}

int putCodePage(unsigned char* field, const char* text) {
    int codePage = 0;
    if (!text || !adCodePageByName(text, &codePage)) codePage = 0;
    put(field, 0, static_cast<std::int16_t>(codePage));
    return 1;
}

// $USERI1..5 and $USERR1..5 are elements of two arrays of the same length.
constexpr std::size_t AD_USER_VAR_COUNT = sizeof(AdHeaderVars::useri) / sizeof(std::int16_t);
static_assert(sizeof(AdHeaderVars::userr) / sizeof(double) == AD_USER_VAR_COUNT);

bool isUserIndex(std::int32_t index) {
    return index >= 0 && static_cast<std::size_t>(index) < AD_USER_VAR_COUNT;
}

int pointAxes(const AdHeaderVarDesc* desc) {
    switch (desc->type & 0xFF) {
        case AD_HV_POINT2: return 2;
        case AD_HV_POINT3: return 3;
        default: return 0;
    }
}
}  // namespace

int adHeaderStoreValue(AdHeaderVars* header, const AdHeaderVarDesc* desc, std::int16_t integer, double real,
                       const char* text) {
    if (!desc) return 0;
    unsigned char* field = fieldOf(header, desc);
    if (!field) return 0;
    switch (desc->type & 0xFF) {
        case AD_HV_BYTE: put(field, 0, static_cast<std::uint8_t>(integer & 0xFF)); return 1;
        case AD_HV_INT16: put(field, 0, integer); return 1;
        case AD_HV_DOUBLE:
        case AD_HV_POINT2:
        case AD_HV_POINT3: put(field, 0, real); return 1;
        case AD_HV_TEXT: return putText(field, desc->length, text);
        case AD_HV_DATE: putDate(field, real); return 1;
        case AD_HV_USERI:
            if (!isUserIndex(desc->length)) return 0;
            put(field, static_cast<std::size_t>(desc->length), integer);
            return 1;
        case AD_HV_USERR:
            if (!isUserIndex(desc->length)) return 0;
            put(field, static_cast<std::size_t>(desc->length), real);
            return 1;
        case AD_HV_HANDLE: return putHandle(field, text);
        case AD_HV_CODE_PAGE: return putCodePage(field, text);
        default: return 0;
    }
}

int adHeaderStoreCoordinate(AdHeaderVars* header, const AdHeaderVarDesc* desc, int axis, double value) {
    if (!desc || axis < 1 || axis >= pointAxes(desc)) return 0;
    unsigned char* field = fieldOf(header, desc);
    if (!field) return 0;
    put(field, static_cast<std::size_t>(axis), value);
    return 1;
}
