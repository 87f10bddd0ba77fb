#include <gtest/gtest.h>

#include <cstring>

#include "calendar/date_arithmetic.h"
#include "calendar/holidays.h"
#include "core/calendar/holiday_names.h"
#include "support/sjis_assert.h"

namespace vntra {
namespace {

using namespace holiday_names;

struct Expected {
    int year;
    int month;
    int day;
    const char* name; // NONE for an ordinary day
};

void expect_days(const Expected* begin, const Expected* end) {
    for (const Expected* e = begin; e != end; ++e) {
        SCOPED_TRACE(::testing::Message() << e->year << "-" << e->month << "-" << e->day);
        HolidayInfo info = resolve_holiday(e->year, e->month, e->day);
        EXPECT_EQ(e->name[0] != '\0' ? 1 : 0, info.is_holiday);
        EXPECT_SJIS_EQ(e->name, info.name);
    }
}

template <size_t N> void expect_days(const Expected (&days)[N]) {
    expect_days(days, days + N);
}

TEST(NamedHolidays, FixedDaysKeepTheirNames) {
    const Expected days[] = {
        {2004, 1, 1, NEW_YEAR}, {2004, 2, 11, FOUNDATION}, {2004, 5, 3, CONSTITUTION},
        {2004, 5, 5, CHILDREN}, {2004, 11, 3, CULTURE},    {2004, 11, 23, LABOUR},
        {2030, 1, 1, NEW_YEAR}, {2030, 11, 23, LABOUR},    {2004, 1, 2, NONE},
        {2004, 2, 10, NONE},    {2004, 11, 4, NONE},       {2004, 11, 24, NONE},
    };
    expect_days(days);
}

TEST(NamedHolidays, ComingOfAgeDayIsTheSecondMonday) {
    const Expected days[] = {
        {2004, 1, 12, COMING_OF_AGE}, {2004, 1, 15, NONE}, {2004, 1, 5, NONE},
        {2001, 1, 8, COMING_OF_AGE},  {2001, 1, 15, NONE}, {2027, 1, 11, COMING_OF_AGE},
    };
    expect_days(days);
}

TEST(NamedHolidays, EmperorsBirthdayMovesFromDecemberToFebruary) {
    const Expected days[] = {
        {2018, 12, 23, EMPEROR},                          // a Sunday
        {2018, 12, 24, SUBSTITUTE}, {2019, 12, 23, NONE}, // the year between two emperors has none
        {2019, 2, 23, NONE},        {2020, 2, 23, EMPEROR}, {2020, 2, 24, SUBSTITUTE},
        {2020, 12, 23, NONE},       {2026, 2, 23, EMPEROR}, {2026, 12, 23, NONE},
    };
    expect_days(days);
}

TEST(NamedHolidays, April29AndMay4ChangeIn2007) {
    const Expected days[] = {
        {2006, 4, 29, GREENERY}, {2007, 4, 29, SHOWA},   {2026, 4, 29, SHOWA},
        {2006, 5, 4, REST_DAY},  {2007, 5, 4, GREENERY}, {2008, 5, 4, GREENERY},
        {2026, 5, 4, GREENERY},
    };
    expect_days(days);
}

TEST(NamedHolidays, MarineDayFromFixedToMondayAndTheGamesYears) {
    const Expected days[] = {
        {2002, 7, 20, MARINE}, {2002, 7, 15, NONE},   {2003, 7, 21, MARINE}, {2003, 7, 20, NONE},
        {2019, 7, 15, MARINE}, {2020, 7, 23, MARINE}, {2020, 7, 20, NONE},   {2021, 7, 22, MARINE},
        {2021, 7, 19, NONE},   {2022, 7, 18, MARINE}, {2026, 7, 20, MARINE},
    };
    expect_days(days);
}

TEST(NamedHolidays, MountainDayFrom2016AndTheGamesYears) {
    const Expected days[] = {
        {2015, 8, 11, NONE},      {2016, 8, 11, MOUNTAIN}, {2019, 8, 11, MOUNTAIN},
        {2020, 8, 10, MOUNTAIN},  {2020, 8, 11, NONE},     {2021, 8, 8, MOUNTAIN},
        {2021, 8, 9, SUBSTITUTE}, {2021, 8, 11, NONE},     {2026, 8, 11, MOUNTAIN},
    };
    expect_days(days);
}

TEST(NamedHolidays, RespectForTheAgedFromFixedToMonday) {
    const Expected days[] = {
        {2002, 9, 15, AGED}, {2002, 9, 16, SUBSTITUTE}, {2003, 9, 15, AGED},
        {2004, 9, 20, AGED}, {2004, 9, 15, NONE},       {2026, 9, 21, AGED},
    };
    expect_days(days);
}

TEST(NamedHolidays, SportsDayRenamedAndMovedForTheGames) {
    const Expected days[] = {
        {2019, 10, 14, HEALTH_SPORTS}, {2020, 7, 24, SPORTS},         {2020, 10, 12, NONE},
        {2021, 7, 23, SPORTS},         {2021, 10, 11, NONE},          {2022, 10, 10, SPORTS},
        {2026, 10, 12, SPORTS},        {2004, 10, 11, HEALTH_SPORTS},
    };
    expect_days(days);
}

TEST(NamedHolidays, EnthronementDaysOf2019Only) {
    const Expected days[] = {
        {2019, 5, 1, ENTHRONEMENT},
        {2019, 10, 22, ENTHRONEMENT_CEREMONY},
        {2020, 5, 1, NONE},
        {2018, 10, 22, NONE},
    };
    expect_days(days);
}

TEST(NamedHolidays, EquinoxesFromTheListAndTheApproximation) {
    const Expected days[] = {
        // The listed years.
        {2004, 3, 20, SPRING},
        {2009, 3, 20, SPRING},
        {2006, 3, 21, SPRING},
        {2012, 9, 22, AUTUMN},
        {2013, 9, 23, AUTUMN},
        {2020, 3, 20, SPRING},
        {2020, 9, 22, AUTUMN},
        // Announced days after the list ends.
        {2021, 3, 20, SPRING},
        {2021, 3, 21, NONE},
        {2023, 3, 21, SPRING},
        {2024, 3, 20, SPRING},
        {2025, 3, 20, SPRING},
        {2026, 3, 20, SPRING},
        {2026, 3, 21, NONE},
        {2027, 3, 21, SPRING},
        {2023, 9, 23, AUTUMN},
        {2024, 9, 22, AUTUMN},
        {2025, 9, 23, AUTUMN},
        {2026, 9, 23, AUTUMN},
        {2027, 9, 23, AUTUMN},
        // Further years from the published approximation.
        {2028, 3, 20, SPRING},
        {2028, 9, 22, AUTUMN},
        {2030, 3, 20, SPRING},
        {2030, 9, 23, AUTUMN},
        {2044, 9, 22, AUTUMN},
        {2092, 3, 19, SPRING},
        {2099, 3, 20, SPRING},
        {2099, 9, 23, AUTUMN},
        {1980, 3, 20, SPRING},
    };
    expect_days(days);
}

TEST(NamedHolidays, NameIsWrittenOnlyForANamedHoliday) {
    char name[HOLIDAY_NAME_SIZE];
    std::memset(name, 'x', sizeof name);
    name[HOLIDAY_NAME_SIZE - 1] = '\0';
    EXPECT_EQ(0, named_holiday(2004, 5, 4, name)); // a day between holidays is not named
    EXPECT_EQ('x', name[0]);
    EXPECT_EQ(0, named_holiday(2006, 1, 2, name));
    EXPECT_EQ('x', name[0]);
    EXPECT_EQ(1, named_holiday(2019, 10, 22, name));
    EXPECT_SJIS_EQ(ENTHRONEMENT_CEREMONY, name);
    EXPECT_EQ(26u, std::strlen(name)); // thirteen full-width characters
}

TEST(DerivedHolidays, GoldenWeek) {
    const Expected days[] = {
        // Before 2007 May 4 is a rest day between two holidays, except on a Sunday.
        {2002, 5, 4, REST_DAY},
        {2002, 5, 6, SUBSTITUTE},
        {2003, 5, 4, NONE},
        {2004, 5, 4, REST_DAY},
        {2006, 5, 4, REST_DAY},
        // From 2007 a Sunday holiday in the run moves its substitute past it.
        {2008, 5, 6, SUBSTITUTE},
        {2009, 5, 6, SUBSTITUTE},
        {2014, 5, 6, SUBSTITUTE},
        {2015, 5, 6, SUBSTITUTE},
        {2020, 5, 6, SUBSTITUTE},
        {2025, 5, 6, SUBSTITUTE},
        {2026, 5, 6, SUBSTITUTE},
        {2013, 5, 6, SUBSTITUTE},
        {2024, 5, 6, SUBSTITUTE},
        {2010, 5, 6, NONE},
        {2026, 5, 7, NONE},
        // 2019: ten days in a row.
        {2019, 4, 27, NONE},
        {2019, 4, 28, NONE},
        {2019, 4, 29, SHOWA},
        {2019, 4, 30, REST_DAY},
        {2019, 5, 1, ENTHRONEMENT},
        {2019, 5, 2, REST_DAY},
        {2019, 5, 3, CONSTITUTION},
        {2019, 5, 4, GREENERY},
        {2019, 5, 5, CHILDREN},
        {2019, 5, 6, SUBSTITUTE},
        {2019, 5, 7, NONE},
        // April 29 on a Sunday.
        {2001, 4, 30, SUBSTITUTE},
        {2007, 4, 30, SUBSTITUTE},
        {2012, 4, 30, SUBSTITUTE},
        {2018, 4, 30, SUBSTITUTE},
    };
    expect_days(days);
}

TEST(DerivedHolidays, SilverWeek) {
    const Expected days[] = {
        {2009, 9, 21, AGED},   {2009, 9, 22, REST_DAY},   {2009, 9, 23, AUTUMN},
        {2015, 9, 21, AGED},   {2015, 9, 22, REST_DAY},   {2015, 9, 23, AUTUMN},
        {2026, 9, 21, AGED},   {2026, 9, 22, REST_DAY},   {2026, 9, 23, AUTUMN},
        {2020, 9, 21, AGED},   {2020, 9, 22, AUTUMN},     {2020, 9, 23, NONE},
        {2024, 9, 22, AUTUMN}, {2024, 9, 23, SUBSTITUTE}, {2004, 9, 21, NONE},
        {2004, 9, 22, NONE},
    };
    expect_days(days);
}

TEST(DerivedHolidays, SubstitutesAcrossTheYear) {
    const Expected days[] = {
        {2006, 1, 2, SUBSTITUTE},
        {2007, 2, 12, SUBSTITUTE},
        {2024, 2, 12, SUBSTITUTE},
        {2025, 2, 24, SUBSTITUTE},
        {2010, 3, 22, SUBSTITUTE},
        {2027, 3, 22, SUBSTITUTE},
        {2019, 8, 12, SUBSTITUTE},
        {2024, 8, 12, SUBSTITUTE},
        {2001, 9, 24, SUBSTITUTE},
        {2019, 11, 4, SUBSTITUTE},
        {2024, 11, 4, SUBSTITUTE},
        {2025, 11, 24, SUBSTITUTE},
        {2007, 12, 24, SUBSTITUTE},
        {2009, 5, 5, CHILDREN},
        {2009, 5, 7, NONE},
        // A named holiday keeps its own name after a Sunday holiday.
        {2009, 5, 4, GREENERY},
    };
    expect_days(days);
}

TEST(DerivedHolidays, YearEndsAndNeighbours) {
    const Expected days[] = {
        {2017, 1, 2, SUBSTITUTE}, {2023, 1, 2, SUBSTITUTE},   {2022, 1, 2, NONE},
        {2016, 12, 31, NONE},     {2012, 12, 24, SUBSTITUTE}, {2026, 12, 31, NONE},
    };
    expect_days(days);

    HolidayInfo info = resolve_holiday(2005, 1, 1);
    EXPECT_EQ(2004, info.prev_year);
    EXPECT_EQ(12, info.prev_month);
    EXPECT_EQ(31, info.prev_day);
    EXPECT_EQ(2005, info.next_year);
    EXPECT_EQ(1, info.next_month);
    EXPECT_EQ(2, info.next_day);

    info = resolve_holiday(2004, 12, 31);
    EXPECT_EQ(12, info.month);
    EXPECT_EQ(2004, info.prev_year);
    EXPECT_EQ(30, info.prev_day);
    EXPECT_EQ(2005, info.next_year);
    EXPECT_EQ(1, info.next_month);
    EXPECT_EQ(1, info.next_day);

    // Month ends step by the program's month lengths, 2100 included.
    info = resolve_holiday(2100, 3, 1);
    EXPECT_EQ(2, info.prev_month);
    EXPECT_EQ(29, info.prev_day);
    info = resolve_holiday(2003, 2, 28);
    EXPECT_EQ(3, info.next_month);
    EXPECT_EQ(1, info.next_day);
}

TEST(HolidayName, ReturnsTheNameOrEmptyInOneBuffer) {
    const char* first = holiday_name(2009, 9, 22);
    EXPECT_SJIS_EQ(REST_DAY, first);
    const char* second = holiday_name(2009, 9, 24);
    EXPECT_EQ(first, second);
    EXPECT_SJIS_EQ(NONE, second);
    EXPECT_SJIS_EQ(SUBSTITUTE, holiday_name(2006, 1, 2));
}

} // namespace
} // namespace vntra
