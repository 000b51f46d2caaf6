// Julian dates: calendar conversion of the Gregorian calendar (all divisions
// truncating) and the split of a day's milliseconds into a time of day.
#include "toolkit/ad.h"

#include <cmath>

namespace {

constexpr std::int64_t kSecondsPerDay = 86400;
constexpr std::int32_t kMillisecondsPerDay = 86400000;

// 64-bit throughout: day numbers come from files and may be anything.
void dayNumberToDate(std::int64_t dayNumber, std::int16_t* day, std::int16_t* month, std::int16_t* year) {
    const std::int64_t j = 4 * dayNumber - 6884477;
    const std::int64_t k = j / 146097;
    const std::int64_t d = 4 * ((j - 146097 * k) / 4);
    const std::int64_t e = (d + 3) / 1461;
    const std::int64_t f = 5 * ((d - 1461 * e + 7) / 4);
    const std::int64_t rawMonth = (f - 3) / 153;
    std::int64_t y = 100 * k + e;
    std::int64_t m = rawMonth + 3;
    if (rawMonth > 9) {
        m = rawMonth - 9;
        ++y;
    }
    *day = static_cast<std::int16_t>(((f - 3) % 153 + 5) / 5);
    *month = static_cast<std::int16_t>(m);
    *year = static_cast<std::int16_t>(y);
}

// Rounds milliseconds to whole seconds and splits them into the time of day
// and the whole days they hold: half a second before midnight is the next
// day's 0:00:00, never 24:00:00.
std::int64_t splitDay(std::int32_t milliseconds, std::int16_t* hours, std::int16_t* minutes, std::int16_t* seconds) {
    const auto total = static_cast<std::int64_t>(std::floor(milliseconds * 0.001 + 0.5));
    std::int64_t days = total / kSecondsPerDay;
    std::int64_t rest = total % kSecondsPerDay;
    if (rest < 0) {
        rest += kSecondsPerDay;
        --days;
    }
    *hours = static_cast<std::int16_t>(rest / 3600);
    *minutes = static_cast<std::int16_t>(rest % 3600 / 60);
    *seconds = static_cast<std::int16_t>(rest % 60);
    return days;
}

}  // namespace

std::int32_t adDateToJulianDay(std::int16_t day, std::int16_t month, std::int16_t year) {
    std::int32_t y = year;
    std::int32_t m = month - 3;
    if (month == 1 || month == 2) {
        y = year - 1;
        m = month + 9;
    }
    return (y % 100) * 1461 / 4 + (153 * m + 2) / 5 + (y / 100) * 146097 / 4 + day + 1721119;
}

void adJulianDayToDate(std::int32_t dayNumber, std::int16_t* day, std::int16_t* month, std::int16_t* year) {
    dayNumberToDate(dayNumber, day, month, year);
}

// Without a day to carry into, a time of day stays within the day:
// 23:59:59 at most.
void adMillisecondsToTime(std::int32_t milliseconds, std::int16_t* hours, std::int16_t* minutes,
                          std::int16_t* seconds, std::int16_t* remainder) {
    const std::int32_t ms = milliseconds < 0                     ? 0
                            : milliseconds >= kMillisecondsPerDay ? kMillisecondsPerDay - 1
                                                                  : milliseconds;
    *remainder = static_cast<std::int16_t>(ms % 1000);
    if (splitDay(ms, hours, minutes, seconds) > 0) {
        *hours = 23;
        *minutes = 59;
        *seconds = 59;
    }
}

void adDateToJulian(std::int16_t day, std::int16_t month, std::int16_t year, std::int16_t hour,
                    std::int16_t minute, std::int16_t second, AdJulianDate* out) {
    if (day == 0 && month == 0 && year == 0 && hour == 0 && minute == 0 && second == 0) {
        *out = AdJulianDate{0, 0};
        return;
    }
    const std::int64_t ms = std::int64_t{second} * 1000 + std::int64_t{minute} * 60000 + std::int64_t{hour} * 3600000;
    *out = AdJulianDate{adDateToJulianDay(day, month, year), static_cast<std::int32_t>(ms)};
}

void adJulianToDate(AdJulianDate date, std::int16_t* day, std::int16_t* month, std::int16_t* year,
                    std::int16_t* hour, std::int16_t* minute, std::int16_t* second) {
    if (date.day == 0 && date.milliseconds == 0) {
        *day = 1;
        *month = 1;
        *year = 1990;
        *hour = *minute = *second = 0;
        return;
    }
    const std::int64_t carry = splitDay(date.milliseconds, hour, minute, second);
    dayNumberToDate(date.day + carry, day, month, year);
}

void adJulianToElapsed(AdJulianDate date, std::int16_t* days, std::int16_t* hours, std::int16_t* minutes,
                       std::int16_t* seconds) {
    if (date.day == 0 && date.milliseconds == 0) {
        *days = *hours = *minutes = *seconds = 0;
        return;
    }
    const std::int64_t carry = splitDay(date.milliseconds, hours, minutes, seconds);
    *days = static_cast<std::int16_t>(static_cast<std::uint64_t>(date.day + carry) & 0xFFFF);
}
