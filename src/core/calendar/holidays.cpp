#include "calendar/holidays.h"

#include "calendar/date_arithmetic.h"

namespace vntra {
namespace {

const int ANY_YEAR_FROM = -2147483647 - 1;
const int ANY_YEAR_TO = 2147483647;

enum class DayRule {
    FIXED,      // on `value` of the month
    NTH_MONDAY, // on the `value`-th Monday of the month
    EQUINOX,    // on the equinox day of the month (March or September)
};

struct HolidayRow {
    const char* name;
    int month;
    DayRule rule;
    int value;
    int first_year; // the years the row is in force, both included
    int last_year;
};

// The named holidays of the Act on National Holidays, one row per rule and
// period. Years before 2001 keep the rules that stood in 2001. The first
// row that matches names the day.
const HolidayRow HOLIDAY_ROWS[] = {
    {"元旦", 1, DayRule::FIXED, 1, ANY_YEAR_FROM, ANY_YEAR_TO},
    {"成人の日", 1, DayRule::NTH_MONDAY, 2, ANY_YEAR_FROM, ANY_YEAR_TO},
    {"建国記念日", 2, DayRule::FIXED, 11, ANY_YEAR_FROM, ANY_YEAR_TO},
    {"天皇誕生日", 2, DayRule::FIXED, 23, 2020, ANY_YEAR_TO},
    {"春分の日", 3, DayRule::EQUINOX, 0, ANY_YEAR_FROM, ANY_YEAR_TO},
    {"みどりの日", 4, DayRule::FIXED, 29, ANY_YEAR_FROM, 2006},
    {"昭和の日", 4, DayRule::FIXED, 29, 2007, ANY_YEAR_TO},
    {"天皇の即位の日", 5, DayRule::FIXED, 1, 2019, 2019},
    {"憲法記念日", 5, DayRule::FIXED, 3, ANY_YEAR_FROM, ANY_YEAR_TO},
    {"みどりの日", 5, DayRule::FIXED, 4, 2007, ANY_YEAR_TO},
    {"こどもの日", 5, DayRule::FIXED, 5, ANY_YEAR_FROM, ANY_YEAR_TO},
    {"海の日", 7, DayRule::FIXED, 20, ANY_YEAR_FROM, 2002},
    {"海の日", 7, DayRule::NTH_MONDAY, 3, 2003, 2019},
    {"海の日", 7, DayRule::FIXED, 23, 2020, 2020}, // moved for the Tokyo Games
    {"スポーツの日", 7, DayRule::FIXED, 24, 2020, 2020},
    {"海の日", 7, DayRule::FIXED, 22, 2021, 2021},
    {"スポーツの日", 7, DayRule::FIXED, 23, 2021, 2021},
    {"海の日", 7, DayRule::NTH_MONDAY, 3, 2022, ANY_YEAR_TO},
    {"山の日", 8, DayRule::FIXED, 11, 2016, 2019},
    {"山の日", 8, DayRule::FIXED, 10, 2020, 2020},
    {"山の日", 8, DayRule::FIXED, 8, 2021, 2021},
    {"山の日", 8, DayRule::FIXED, 11, 2022, ANY_YEAR_TO},
    {"敬老の日", 9, DayRule::FIXED, 15, ANY_YEAR_FROM, 2002},
    {"敬老の日", 9, DayRule::NTH_MONDAY, 3, 2003, ANY_YEAR_TO},
    {"秋分の日", 9, DayRule::EQUINOX, 0, ANY_YEAR_FROM, ANY_YEAR_TO},
    {"体育の日", 10, DayRule::NTH_MONDAY, 2, ANY_YEAR_FROM, 2019},
    {"即位礼正殿の儀の行われる日", 10, DayRule::FIXED, 22, 2019, 2019},
    {"スポーツの日", 10, DayRule::NTH_MONDAY, 2, 2022, ANY_YEAR_TO},
    {"文化の日", 11, DayRule::FIXED, 3, ANY_YEAR_FROM, ANY_YEAR_TO},
    {"勤労感謝の日", 11, DayRule::FIXED, 23, ANY_YEAR_FROM, ANY_YEAR_TO},
    {"天皇誕生日", 12, DayRule::FIXED, 23, ANY_YEAR_FROM, 2018},
};

// From 2007 a substitute holiday moves on past holidays, and a Sunday between
// two holidays becomes a holiday too.
const int CURRENT_DERIVED_RULES_FROM = 2007;

const char NATIONAL_REST_DAY[] = "国民の休日";
const char SUBSTITUTE_HOLIDAY[] = "振り替え休日";

// The equinox days of 2001–2020 as the calendar has always listed them; they
// agree with the official announcements.
const int LISTED_EQUINOX_FIRST_YEAR = 2001;
const int LISTED_EQUINOX_LAST_YEAR = 2020;

bool listed_spring_equinox_on_20th(int year) {
    switch (year) {
    case 2001:
    case 2004:
    case 2005:
    case 2008:
    case 2009:
    case 2012:
    case 2013:
    case 2016:
    case 2017:
    case 2020:
        return true;
    default:
        return false;
    }
}

bool listed_autumn_equinox_on_22nd(int year) {
    return year == 2012 || year == 2016 || year == 2020;
}

// The equinox day announced each February by the National Astronomical
// Observatory follows this approximation, published for 1980–2099.
int approximate_equinox_day(int year, double base) {
    double years = static_cast<double>(year) - 1980.0;
    return static_cast<int>(base + 0.242194 * years) -
           static_cast<int>(static_cast<long long>(year - 1980LL) / 4);
}

int equinox_day(int year, int month) {
    bool listed = year >= LISTED_EQUINOX_FIRST_YEAR && year <= LISTED_EQUINOX_LAST_YEAR;
    if (month == 3) {
        if (listed) {
            return listed_spring_equinox_on_20th(year) ? 20 : 21;
        }
        return approximate_equinox_day(year, 20.8431);
    }
    if (listed) {
        return listed_autumn_equinox_on_22nd(year) ? 22 : 23;
    }
    return approximate_equinox_day(year, 23.2488);
}

bool row_matches(const HolidayRow& row, int year, int month, int day) {
    if (row.month != month || year < row.first_year || year > row.last_year) {
        return false;
    }
    switch (row.rule) {
    case DayRule::FIXED:
        return day == row.value;
    case DayRule::NTH_MONDAY:
        return day_of_week(year, month, day) == 1 &&
               weekday_occurrence(year, month, day, 1) == row.value;
    case DayRule::EQUINOX:
        return day == equinox_day(year, month);
    }
    return false;
}

const char* find_named_holiday(int year, int month, int day) {
    for (const HolidayRow& row : HOLIDAY_ROWS) {
        if (row_matches(row, year, month, day)) {
            return row.name;
        }
    }
    return nullptr;
}

bool is_named_holiday(int year, int month, int day) {
    return find_named_holiday(year, month, day) != nullptr;
}

void copy_name(char (&target)[HOLIDAY_NAME_SIZE], const char* name) {
    int i = 0;
    for (; i < HOLIDAY_NAME_SIZE - 1 && name[i] != '\0'; ++i) {
        target[i] = name[i];
    }
    target[i] = '\0';
}

struct Date {
    int year;
    int month;
    int day;
};

Date day_before(Date date) {
    if (date.day > 1) {
        return {date.year, date.month, date.day - 1};
    }
    if (date.month > 1) {
        return {date.year, date.month - 1, days_in_month(date.year, date.month - 1)};
    }
    return {date.year - 1, 12, 31};
}

Date day_after(Date date) {
    if (date.day < days_in_month(date.year, date.month)) {
        return {date.year, date.month, date.day + 1};
    }
    if (date.month < 12) {
        return {date.year, date.month + 1, 1};
    }
    return {date.year + 1, 1, 1};
}

bool is_named_holiday(Date date) {
    return is_named_holiday(date.year, date.month, date.day);
}

// A named holiday on a Sunday gives the next day that is not a named holiday.
// Before 2007 only the Monday right after it could take its place.
bool is_substitute_holiday(Date date, Date previous) {
    if (date.year < CURRENT_DERIVED_RULES_FROM) {
        return is_named_holiday(previous) &&
               day_of_week(previous.year, previous.month, previous.day) == 0;
    }
    // At most a week of named holidays in a row can lie between the Sunday
    // and the day that takes its place.
    Date earlier = previous;
    for (int step = 0; step < 7 && is_named_holiday(earlier); ++step) {
        if (day_of_week(earlier.year, earlier.month, earlier.day) == 0) {
            return true;
        }
        earlier = day_before(earlier);
    }
    return false;
}

// A day between two named holidays. Before 2007 a Sunday stayed a plain
// Sunday.
bool is_national_rest_day(Date date, Date previous, Date next) {
    if (!is_named_holiday(previous) || !is_named_holiday(next)) {
        return false;
    }
    if (date.year < CURRENT_DERIVED_RULES_FROM &&
        day_of_week(date.year, date.month, date.day) == 0) {
        return false;
    }
    return true;
}

} // namespace

int named_holiday(int year, int month, int day, char (&name)[HOLIDAY_NAME_SIZE]) {
    const char* found = find_named_holiday(year, month, day);
    if (found == nullptr) {
        return 0;
    }
    copy_name(name, found);
    return 1;
}

HolidayInfo resolve_holiday(int year, int month, int day) {
    HolidayInfo info{};
    Date date{year, month, day};
    Date previous = day_before(date);
    Date next = day_after(date);
    info.year = year;
    info.month = month;
    info.day = day;
    info.prev_year = previous.year;
    info.prev_month = previous.month;
    info.prev_day = previous.day;
    info.next_year = next.year;
    info.next_month = next.month;
    info.next_day = next.day;

    if (named_holiday(year, month, day, info.name) == 1) {
        info.is_holiday = 1;
        return info;
    }
    // The substitute comes first: before 2007 a substitute day could not also
    // be a day between holidays, and from 2007 the law names it first.
    if (is_substitute_holiday(date, previous)) {
        info.is_holiday = 1;
        copy_name(info.name, SUBSTITUTE_HOLIDAY);
        return info;
    }
    if (is_national_rest_day(date, previous, next)) {
        info.is_holiday = 1;
        copy_name(info.name, NATIONAL_REST_DAY);
        return info;
    }
    return info;
}

const char* holiday_name(int year, int month, int day) {
    static char buffer[HOLIDAY_NAME_SIZE];
    HolidayInfo info = resolve_holiday(year, month, day);
    copy_name(buffer, info.name);
    return buffer;
}

} // namespace vntra
