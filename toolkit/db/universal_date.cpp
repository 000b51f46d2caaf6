// A drawing without a universal creation date gets the local one moved by
// the local time zone's offset at that date.
#include "toolkit/ad.h"
#include "toolkit/db/load_stages.h"

#include <ctime>

namespace {
bool toUniversal(std::time_t local, std::tm* out) {
#ifdef _WIN32
    return gmtime_s(out, &local) == 0;
#else
    return gmtime_r(&local, out) != nullptr;
#endif
}
}  // namespace

void adDefaultUniversalDate(const AdJulianDate* local, AdJulianDate* universal) {
    if (!local || !universal || universal->day != 0 || universal->milliseconds != 0) return;
    std::int16_t day = 0, month = 0, year = 0, hour = 0, minute = 0, second = 0;
    adJulianToDate(*local, &day, &month, &year, &hour, &minute, &second);
    std::tm calendar{};
    calendar.tm_mday = day;
    calendar.tm_mon = month - 1;
    calendar.tm_year = year - 1900;
    calendar.tm_hour = hour;
    calendar.tm_min = minute;
    calendar.tm_sec = second;
    calendar.tm_isdst = -1;
    const std::time_t time = std::mktime(&calendar);
    std::tm utc{};
    // A date the C library cannot place in time is left unset.
    if (time == static_cast<std::time_t>(-1) || !toUniversal(time, &utc)) return;
    adDateToJulian(static_cast<std::int16_t>(utc.tm_mday), static_cast<std::int16_t>(utc.tm_mon + 1),
                   static_cast<std::int16_t>(utc.tm_year + 1900), static_cast<std::int16_t>(utc.tm_hour),
                   static_cast<std::int16_t>(utc.tm_min), static_cast<std::int16_t>(utc.tm_sec), universal);
}
