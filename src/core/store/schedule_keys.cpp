#include "store/schedule_keys.h"

#include <cstdio>

namespace vntra {

int32_t make_date_key(int32_t year, int32_t month, int32_t day) {
    return year * 10000 + month * 100 + day;
}

int32_t start_date_key(const ScheduleRecord& r) {
    return make_date_key(r.start_year, r.start_month, r.start_day);
}

int32_t end_date_key(const ScheduleRecord& r) {
    return make_date_key(r.end_year, r.end_month, r.end_day);
}

bool covers_day(const ScheduleRecord& record, int32_t day_key) {
    return overlaps_days(record, day_key, day_key);
}

bool overlaps_days(const ScheduleRecord& record, int32_t first_key, int32_t last_key) {
    if (record.kind == KIND_DELETED || record.kind == KIND_TODO)
        return false;
    return start_date_key(record) <= last_key && end_date_key(record) >= first_key;
}

std::string date_key_text(int32_t year, int32_t month, int32_t day) {
    char text[40];
    std::snprintf(text, sizeof text, "%04d%02d%02d", year, month, day);
    return text;
}

int64_t minute_key(int32_t year, int32_t month, int32_t day, int32_t hour, int32_t minute) {
    return ((((int64_t{year} * 100 + month) * 100 + day) * 100 + hour) * 100) + minute;
}

void make_sort_key(const ScheduleRecord& r, char (&key)[LIST_KEY_SIZE]) {
    std::snprintf(key, sizeof key, "%04d%02d%02d%01d%02d%02d%04d%02d%02d%02d%02d", r.start_year,
                  r.start_month, r.start_day, r.kind, r.start_hour, r.start_minute, r.end_year,
                  r.end_month, r.end_day, r.end_hour, r.end_minute);
}

std::string make_sort_key(const ScheduleRecord& record) {
    char key[LIST_KEY_SIZE];
    make_sort_key(record, key);
    return key;
}

namespace {

// Days since 1970-01-01 in the proleptic Gregorian calendar, and back. (The
// standard <chrono> header cannot be used: it holds a character that has no
// Shift-JIS form.)
int64_t days_from_civil(int64_t y, int64_t m, int64_t d) {
    y -= m <= 2;
    int64_t era = (y >= 0 ? y : y - 399) / 400;
    int64_t year_of_era = y - era * 400;
    int64_t day_of_year = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    int64_t day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
    return era * 146097 + day_of_era - 719468;
}

LocalDate civil_from_days(int64_t z) {
    z += 719468;
    int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    int64_t day_of_era = z - era * 146097;
    int64_t year_of_era =
        (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
    int64_t day_of_year = day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
    int64_t mp = (5 * day_of_year + 2) / 153;
    int64_t d = day_of_year - (153 * mp + 2) / 5 + 1;
    int64_t m = mp < 10 ? mp + 3 : mp - 9;
    int64_t y = year_of_era + era * 400 + (m <= 2);
    return {static_cast<int32_t>(y), static_cast<int32_t>(m), static_cast<int32_t>(d)};
}

} // namespace

LocalDate days_before(const LocalDate& today, int32_t days) {
    return civil_from_days(days_from_civil(today.year, today.month, today.day) - days);
}

} // namespace vntra
