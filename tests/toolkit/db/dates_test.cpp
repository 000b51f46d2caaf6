// Julian dates: days and times of day both ways, rounding to the second with
// midnight carried into the next day, elapsed times and extreme values.
#include "toolkit/ad.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>

namespace {

using Parts = std::array<std::int16_t, 4>;

struct CalendarCase {
    std::int16_t day, month, year;
    std::int32_t dayNumber;
};

class JulianDay : public testing::TestWithParam<CalendarCase> {};

TEST_P(JulianDay, ConvertsBothWays) {
    const CalendarCase& c = GetParam();
    EXPECT_EQ(adDateToJulianDay(c.day, c.month, c.year), c.dayNumber);
    std::array<std::int16_t, 3> got = {};
    adJulianDayToDate(c.dayNumber, &got[0], &got[1], &got[2]);
    EXPECT_EQ(got, (std::array<std::int16_t, 3>{c.day, c.month, c.year}));
}

INSTANTIATE_TEST_SUITE_P(Cases, JulianDay,
                         testing::Values(CalendarCase{1, 1, 2000, 2451545}, CalendarCase{31, 12, 1999, 2451544},
                                         CalendarCase{29, 2, 2000, 2451604}, CalendarCase{1, 3, 2000, 2451605},
                                         CalendarCase{1, 1, 1990, 2447893}, CalendarCase{15, 10, 1582, 2299161}));

TEST(JulianDay, EveryDayOfTwoCenturiesRoundTrips) {
    const std::int32_t first = adDateToJulianDay(1, 1, 1900);
    const std::int32_t last = adDateToJulianDay(31, 12, 2099);
    for (std::int32_t n = first; n <= last; ++n) {
        std::int16_t day = 0, month = 0, year = 0;
        adJulianDayToDate(n, &day, &month, &year);
        ASSERT_EQ(adDateToJulianDay(day, month, year), n);
    }
}

struct TimeCase {
    std::int32_t milliseconds;
    std::int16_t hours, minutes, seconds, remainder;
};

class TimeOfDay : public testing::TestWithParam<TimeCase> {};

// The last half second of a day must not read as 24:00:00.
TEST_P(TimeOfDay, RoundsToTheSecondWithinTheDay) {
    const TimeCase& c = GetParam();
    Parts got = {-1, -1, -1, -1};
    adMillisecondsToTime(c.milliseconds, &got[0], &got[1], &got[2], &got[3]);
    EXPECT_EQ(got, (Parts{c.hours, c.minutes, c.seconds, c.remainder}));
}

INSTANTIATE_TEST_SUITE_P(Cases, TimeOfDay,
                         testing::Values(TimeCase{0, 0, 0, 0, 0}, TimeCase{1499, 0, 0, 1, 499},
                                         TimeCase{1500, 0, 0, 2, 500}, TimeCase{3723000, 1, 2, 3, 0},
                                         TimeCase{86399499, 23, 59, 59, 499}, TimeCase{86399500, 23, 59, 59, 500},
                                         TimeCase{86399999, 23, 59, 59, 999}, TimeCase{90000000, 23, 59, 59, 999},
                                         TimeCase{-5, 0, 0, 0, 0}, TimeCase{INT_MIN, 0, 0, 0, 0}));

struct DateTimeCase {
    AdJulianDate date;
    std::int16_t day, month, year, hour, minute, second;
};

class JulianDateTime : public testing::TestWithParam<DateTimeCase> {};

TEST_P(JulianDateTime, CarriesRoundedMidnightIntoTheNextDay) {
    const DateTimeCase& c = GetParam();
    std::array<std::int16_t, 6> got = {-1, -1, -1, -1, -1, -1};
    adJulianToDate(c.date, &got[0], &got[1], &got[2], &got[3], &got[4], &got[5]);
    EXPECT_EQ(got, (std::array<std::int16_t, 6>{c.day, c.month, c.year, c.hour, c.minute, c.second}));
}

INSTANTIATE_TEST_SUITE_P(Cases, JulianDateTime,
                         testing::Values(DateTimeCase{{0, 0}, 1, 1, 1990, 0, 0, 0},
                                         DateTimeCase{{2451545, 3723000}, 1, 1, 2000, 1, 2, 3},
                                         DateTimeCase{{2451545, 86399499}, 1, 1, 2000, 23, 59, 59},
                                         DateTimeCase{{2451545, 86399500}, 2, 1, 2000, 0, 0, 0},
                                         DateTimeCase{{2451604, 86399600}, 1, 3, 2000, 0, 0, 0},
                                         DateTimeCase{{2451545, -1000}, 31, 12, 1999, 23, 59, 59}));

TEST(JulianDate, FromPartsAndBack) {
    AdJulianDate date = {-1, -1};
    adDateToJulian(0, 0, 0, 0, 0, 0, &date);
    EXPECT_EQ(date.day, 0);
    EXPECT_EQ(date.milliseconds, 0);
    adDateToJulian(1, 1, 2000, 1, 2, 3, &date);
    EXPECT_EQ(date.day, 2451545);
    EXPECT_EQ(date.milliseconds, 3723000);
    // Only midnight of a real date is (day, 0), not "no date".
    adDateToJulian(1, 1, 2000, 0, 0, 0, &date);
    EXPECT_EQ(date.day, 2451545);
    EXPECT_EQ(date.milliseconds, 0);
}

struct ElapsedCase {
    AdJulianDate date;
    std::int16_t days, hours, minutes, seconds;
};

class JulianElapsed : public testing::TestWithParam<ElapsedCase> {};

TEST_P(JulianElapsed, SplitsDaysAndTime) {
    const ElapsedCase& c = GetParam();
    Parts got = {-1, -1, -1, -1};
    adJulianToElapsed(c.date, &got[0], &got[1], &got[2], &got[3]);
    EXPECT_EQ(got, (Parts{c.days, c.hours, c.minutes, c.seconds}));
}

INSTANTIATE_TEST_SUITE_P(Cases, JulianElapsed,
                         testing::Values(ElapsedCase{{0, 0}, 0, 0, 0, 0}, ElapsedCase{{3, 3723000}, 3, 1, 2, 3},
                                         ElapsedCase{{3, 86399500}, 4, 0, 0, 0},
                                         ElapsedCase{{0x12345, 0}, 0x2345, 0, 0, 0}));

// Day numbers and times read from files may be anything.
TEST(JulianDate, ExtremeValuesStayDefined) {
    std::int16_t d, m, y, h, mi, s;
    adJulianDayToDate(INT_MAX, &d, &m, &y);
    adJulianDayToDate(INT_MIN, &d, &m, &y);
    adJulianToDate(AdJulianDate{INT_MAX, INT_MAX}, &d, &m, &y, &h, &mi, &s);
    EXPECT_GE(h, 0);
    EXPECT_LE(h, 23);
    adJulianToElapsed(AdJulianDate{INT_MAX, INT_MAX}, &d, &h, &mi, &s);
    EXPECT_LE(h, 23);
    AdJulianDate date;
    adDateToJulian(31, 12, 32767, 32767, 32767, 32767, &date);
    EXPECT_NE(date.day, 0);
}

}  // namespace
