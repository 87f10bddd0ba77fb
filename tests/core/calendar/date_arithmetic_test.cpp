#include <gtest/gtest.h>

#include "calendar/date_arithmetic.h"

namespace vntra {
namespace {

struct Date {
    int year;
    int month;
    int day;
};

TEST(DayOfWeek, KnownDatesAcrossCenturiesAndMonthEnds) {
    struct Case {
        Date date;
        int weekday;
    } cases[] = {
        {{2004, 1, 1}, 4}, {{2004, 2, 29}, 0},  {{2004, 3, 1}, 1},   {{2000, 2, 29}, 2},
        {{2000, 3, 1}, 3}, {{1900, 3, 1}, 4},   {{2100, 3, 1}, 1},   {{2001, 1, 1}, 1},
        {{2026, 2, 1}, 0}, {{2026, 12, 31}, 4}, {{1582, 10, 15}, 5}, {{2400, 2, 29}, 2},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.weekday, day_of_week(c.date.year, c.date.month, c.date.day))
            << c.date.year << "-" << c.date.month << "-" << c.date.day;
    }
}

TEST(DayOfWeek, NonsenseDatesStayInTheWeek) {
    // A damaged record can hold any number; the layout indexes cells with it.
    const Date dates[] = {{-1, 1, 1},           {0, 3, 1},    {-2147483647 - 1, 2, 1},
                          {2147483647, 12, 31}, {2004, 0, 1}, {2004, 13, -40}};
    for (const Date& d : dates) {
        int w = day_of_week(d.year, d.month, d.day);
        EXPECT_GE(w, 0) << d.year << "-" << d.month << "-" << d.day;
        EXPECT_LE(w, 6) << d.year << "-" << d.month << "-" << d.day;
    }
    int cells[MONTH_CELL_COUNT];
    int first = -1;
    fill_month_cells(-1, 1, cells, first);
    EXPECT_GE(first, 0);
    EXPECT_EQ(1, cells[first]);
}

TEST(DaysInMonth, EveryFourthYearIsLeapCenturiesIncluded) {
    struct Case {
        int year;
        int month;
        int days;
    } cases[] = {
        {2004, 2, 29}, {2003, 2, 28},  {2100, 2, 29},  {2000, 2, 29}, {1900, 2, 29},
        {2004, 1, 31}, {2004, 4, 30},  {2004, 6, 30},  {2004, 7, 31}, {2004, 8, 31},
        {2004, 9, 30}, {2004, 11, 30}, {2004, 12, 31},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.days, days_in_month(c.year, c.month)) << c.year << "-" << c.month;
    }
}

TEST(WeekdayOccurrence, NthWeekdayOfTheMonth) {
    struct Case {
        Date date;
        int weekday;
        int occurrence;
    } cases[] = {
        {{2004, 1, 12}, 1, 2}, // January 1 a Thursday: the 5th is the first Monday
        {{2004, 1, 5}, 1, 1},  {{2004, 1, 1}, 4, 1}, {{2004, 1, 29}, 4, 5},
        {{2003, 9, 15}, 1, 3}, // September 1 a Monday
        {{2003, 9, 1}, 1, 1},  {{2026, 2, 1}, 0, 1}, {{2026, 2, 28}, 6, 4},
        {{2004, 5, 31}, 1, 5}, {{2004, 5, 1}, 6, 1}, {{2004, 5, 2}, 0, 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.occurrence,
                  weekday_occurrence(c.date.year, c.date.month, c.date.day, c.weekday))
            << c.date.year << "-" << c.date.month << "-" << c.date.day;
    }
}

// The rows of the layout in use: a month needs 4, 5 or 6 of them.
int rows_used(const int (&cells)[MONTH_CELL_COUNT]) {
    int rows = 0;
    for (int i = 0; i < MONTH_CELL_COUNT; ++i) {
        if (cells[i] != 0) {
            rows = i / 7 + 1;
        }
    }
    return rows;
}

TEST(FillMonthCells, FourFiveAndSixRows) {
    struct Case {
        int year;
        int month;
        int first_weekday;
        int rows;
    } cases[] = {
        {2015, 2, 0, 4},                  // 28 days from a Sunday: exactly four rows
        {2026, 2, 0, 4}, {2004, 2, 0, 5}, // 29 days from a Sunday
        {2004, 1, 4, 5}, {2004, 5, 6, 6}, // May 1 a Saturday
        {2026, 8, 6, 6}, {2025, 3, 6, 6},
        {2026, 3, 0, 5}, {2021, 2, 1, 5}, // 28 days from a Monday still reach a fifth row
    };
    for (const Case& c : cases) {
        int cells[MONTH_CELL_COUNT];
        int first = -1;
        fill_month_cells(c.year, c.month, cells, first);
        SCOPED_TRACE(::testing::Message() << c.year << "-" << c.month);
        EXPECT_EQ(c.first_weekday, first);
        EXPECT_EQ(c.rows, rows_used(cells));
        int length = days_in_month(c.year, c.month);
        for (int i = 0; i < MONTH_CELL_COUNT; ++i) {
            int expected = (i >= first && i < first + length) ? i - first + 1 : 0;
            ASSERT_EQ(expected, cells[i]) << "cell " << i;
        }
    }
}

TEST(FillMonthCells, ClearsWhatWasThere) {
    int cells[MONTH_CELL_COUNT];
    int first = 0;
    fill_month_cells(2004, 5, cells, first);
    fill_month_cells(2015, 2, cells, first);
    EXPECT_EQ(28, cells[27]);
    for (int i = 28; i < MONTH_CELL_COUNT; ++i) {
        EXPECT_EQ(0, cells[i]) << "cell " << i;
    }
}

TEST(JulianDay, NoonDayNumbersAndTimeOfDay) {
    double fraction = 1.0;
    EXPECT_EQ(2451545, julian_day(2000, 1, 1, 12, 0, 0, fraction));
    EXPECT_EQ(0.0, fraction);
    EXPECT_EQ(2299161, julian_day(1582, 10, 15, 12, 0, 0, fraction));
    EXPECT_EQ(2453066, julian_day(2004, 3, 1, 12, 0, 0, fraction));
    EXPECT_EQ(2, julian_day(2004, 3, 1, 12, 0, 0, fraction) -
                     julian_day(2004, 2, 28, 12, 0, 0, fraction));

    // Before noon the date still belongs to the day number that began the
    // previous noon.
    EXPECT_EQ(2451544, julian_day(2000, 1, 1, 6, 0, 0, fraction));
    EXPECT_DOUBLE_EQ(0.75, fraction);
    DateTimeParts morning = date_from_julian_day(2451544, fraction);
    EXPECT_EQ(2000, morning.year);
    EXPECT_EQ(1, morning.month);
    EXPECT_EQ(1, morning.day);
    EXPECT_EQ(6, morning.hour);
    EXPECT_EQ(0, morning.minute);

    EXPECT_EQ(2451545, julian_day(2000, 1, 1, 18, 30, 15, fraction));
    DateTimeParts evening = date_from_julian_day(2451545, fraction);
    EXPECT_EQ(1, evening.day);
    EXPECT_EQ(18, evening.hour);
    EXPECT_EQ(30, evening.minute);
    EXPECT_EQ(15, evening.second);
}

// The real Gregorian month length, for walking the calendar independently of
// the program's own every-fourth-year rule.
int gregorian_days_in_month(int year, int month) {
    static const int LENGTHS[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : LENGTHS[month - 1];
}

TEST(JulianDay, RoundTripsEveryDayFrom2001To2100) {
    double fraction = 0.0;
    int expected_number = julian_day(2001, 1, 1, 12, 0, 0, fraction);
    int checked = 0;
    for (int y = 2001; y <= 2100; ++y) {
        for (int m = 1; m <= 12; ++m) {
            for (int d = 1; d <= gregorian_days_in_month(y, m); ++d) {
                int number = julian_day(y, m, d, 12, 0, 0, fraction);
                ASSERT_EQ(expected_number, number) << y << "-" << m << "-" << d;
                ASSERT_EQ(0.0, fraction);
                DateTimeParts back = date_from_julian_day(number, 0.0);
                ASSERT_EQ(y, back.year) << number;
                ASSERT_EQ(m, back.month) << number;
                ASSERT_EQ(d, back.day) << number;
                ASSERT_EQ(12, back.hour) << number;
                ASSERT_EQ(0, back.minute) << number;
                ASSERT_EQ(0, back.second) << number;
                ++expected_number;
                ++checked;
            }
        }
    }
    EXPECT_EQ(36524, checked);
}

} // namespace
} // namespace vntra
