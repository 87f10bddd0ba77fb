#include "exchange/ical_time.h"

#include <cstdio>

namespace vntra {
namespace {

bool digits(std::string_view text, size_t from, size_t count, int32_t& value) {
    if (from + count > text.size())
        return false;
    value = 0;
    for (size_t i = from; i < from + count; ++i) {
        char c = text[i];
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

int64_t floor_div(int64_t a, int64_t b) {
    int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

} // namespace

int32_t gregorian_days_in_month(int32_t year, int32_t month) {
    static const int32_t LENGTHS[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    if (month == 2) {
        bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
        return leap ? 29 : 28;
    }
    return LENGTHS[month - 1];
}

// Counting from March makes the leap day the last of a year, so every
// month's offset is one formula.
int64_t days_from_civil(int32_t year, int32_t month, int32_t day) {
    int64_t y = month <= 2 ? year - 1 : year;
    int64_t era = floor_div(y, 400);
    int64_t year_of_era = y - era * 400;
    int64_t month_from_march = month > 2 ? month - 3 : month + 9;
    int64_t day_of_year = (153 * month_from_march + 2) / 5 + day - 1;
    int64_t day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
    return era * 146097 + day_of_era - 719468;
}

void civil_from_days(int64_t days, int32_t& year, int32_t& month, int32_t& day) {
    days += 719468;
    int64_t era = floor_div(days, 146097);
    int64_t day_of_era = days - era * 146097;
    int64_t year_of_era =
        (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
    int64_t day_of_year = day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
    int64_t month_from_march = (5 * day_of_year + 2) / 153;
    day = static_cast<int32_t>(day_of_year - (153 * month_from_march + 2) / 5 + 1);
    month =
        static_cast<int32_t>(month_from_march < 10 ? month_from_march + 3 : month_from_march - 9);
    year = static_cast<int32_t>(year_of_era + era * 400 + (month <= 2 ? 1 : 0));
}

int32_t weekday_of_days(int64_t days) {
    // 1970-01-01 was a Thursday.
    return static_cast<int32_t>(((days % 7) + 11) % 7);
}

int64_t seconds_from_civil(const CivilTime& t) {
    return days_from_civil(t.year, t.month, t.day) * SECONDS_PER_DAY + t.hour * 3600 +
           t.minute * 60 + t.second;
}

int64_t days_of_seconds(int64_t seconds) {
    return floor_div(seconds, SECONDS_PER_DAY);
}

CivilTime civil_from_seconds(int64_t seconds) {
    int64_t days = days_of_seconds(seconds);
    int64_t rest = seconds - days * SECONDS_PER_DAY;
    CivilTime t{};
    civil_from_days(days, t.year, t.month, t.day);
    t.hour = static_cast<int32_t>(rest / 3600);
    t.minute = static_cast<int32_t>(rest / 60 % 60);
    t.second = static_cast<int32_t>(rest % 60);
    return t;
}

bool parse_ical_time_value(std::string_view value, IcalTime& time) {
    CivilTime t{};
    if (!digits(value, 0, 4, t.year) || !digits(value, 4, 2, t.month) ||
        !digits(value, 6, 2, t.day))
        return false;
    if (t.year < 1 || t.month < 1 || t.month > 12 || t.day < 1 ||
        t.day > gregorian_days_in_month(t.year, t.month))
        return false;
    if (value.size() == 8) {
        time.form = ICAL_DATE;
        time.clock = seconds_from_civil(t);
        return true;
    }
    if (value.size() < 15 || (value[8] != 'T' && value[8] != 't') || !digits(value, 9, 2, t.hour) ||
        !digits(value, 11, 2, t.minute) || !digits(value, 13, 2, t.second))
        return false;
    // 60 seconds is a leap second; it counts as the last second of the minute.
    if (t.hour > 23 || t.minute > 59 || t.second > 60)
        return false;
    if (t.second == 60)
        t.second = 59;
    if (value.size() == 15)
        time.form = ICAL_FLOATING;
    else if (value.size() == 16 && (value[15] == 'Z' || value[15] == 'z'))
        time.form = ICAL_UTC;
    else
        return false;
    time.clock = seconds_from_civil(t);
    return true;
}

bool parse_ical_time(const IcalProperty& property, IcalTime& time) {
    std::string_view value = property.value;
    while (!value.empty() && (value.back() == ' ' || value.back() == '\t'))
        value.remove_suffix(1);
    if (!parse_ical_time_value(value, time))
        return false;
    const std::string* kind = find_parameter(property, "VALUE");
    if (kind && same_ical_name(*kind, "DATE") && time.form != ICAL_DATE)
        return false;
    const std::string* zone = find_parameter(property, "TZID");
    time.zone.clear();
    if (zone && time.form == ICAL_FLOATING) {
        time.form = ICAL_ZONED;
        time.zone = *zone;
    }
    return true;
}

bool parse_ical_duration(std::string_view value, int64_t& seconds) {
    size_t i = 0;
    int64_t sign = 1;
    if (i < value.size() && (value[i] == '+' || value[i] == '-'))
        sign = value[i++] == '-' ? -1 : 1;
    if (i == value.size() || (value[i] != 'P' && value[i] != 'p'))
        return false;
    ++i;
    bool in_time = false;
    bool any = false;
    int64_t total = 0;
    while (i < value.size()) {
        char c = value[i];
        if (c == 'T' || c == 't') {
            in_time = true;
            ++i;
            continue;
        }
        int64_t number = 0;
        size_t start = i;
        while (i < value.size() && value[i] >= '0' && value[i] <= '9' && i - start < 9)
            number = number * 10 + (value[i++] - '0');
        if (i == start || i == value.size())
            return false;
        char unit = value[i++];
        if (unit >= 'a' && unit <= 'z')
            unit = static_cast<char>(unit - 'a' + 'A');
        int64_t scale = 0;
        if (!in_time && unit == 'W')
            scale = 7 * SECONDS_PER_DAY;
        else if (!in_time && unit == 'D')
            scale = SECONDS_PER_DAY;
        else if (in_time && unit == 'H')
            scale = 3600;
        else if (in_time && unit == 'M')
            scale = 60;
        else if (in_time && unit == 'S')
            scale = 1;
        else
            return false;
        total += number * scale;
        any = true;
    }
    if (!any)
        return false;
    seconds = sign * total;
    return true;
}

std::string format_ical_date(int64_t days) {
    int32_t y = 0, m = 0, d = 0;
    civil_from_days(days, y, m, d);
    char text[16];
    std::snprintf(text, sizeof text, "%04d%02d%02d", y, m, d);
    return text;
}

std::string format_ical_date_time(int64_t seconds, bool utc) {
    CivilTime t = civil_from_seconds(seconds);
    char text[24];
    std::snprintf(text, sizeof text, "%04d%02d%02dT%02d%02d%02d%s", t.year, t.month, t.day, t.hour,
                  t.minute, t.second, utc ? "Z" : "");
    return text;
}

} // namespace vntra
