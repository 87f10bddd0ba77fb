// The keys by which records are compared and ordered.
#ifndef VNTRA_STORE_SCHEDULE_KEYS_H
#define VNTRA_STORE_SCHEDULE_KEYS_H

#include <cstdint>
#include <string>

#include "store/schedule_record.h"

namespace vntra {

struct LocalDate {
    int32_t year;
    int32_t month;
    int32_t day;
};

// year × 10000 + month × 100 + day.
int32_t make_date_key(int32_t year, int32_t month, int32_t day);
inline int32_t make_date_key(const LocalDate& date) {
    return make_date_key(date.year, date.month, date.day);
}
int32_t start_date_key(const ScheduleRecord& record);
int32_t end_date_key(const ScheduleRecord& record);

// True when a dated record's start ≤ day_key ≤ its end. ToDo items and
// deleted slots cover no day.
bool covers_day(const ScheduleRecord& record, int32_t day_key);
// True when a dated record overlaps the days from first_key to last_key.
bool overlaps_days(const ScheduleRecord& record, int32_t first_key, int32_t last_key);

// "%04d%02d%02d".
std::string date_key_text(int32_t year, int32_t month, int32_t day);
// year × 100000000 + month × 1000000 + day × 10000 + hour × 100 + minute, by
// which reminder times and the clock are compared. A number rather than the
// text "%04d%02d%02d%02d%02d": a year of five digits would make that text
// longer and sort it before every four-digit year.
int64_t minute_key(int32_t year, int32_t month, int32_t day, int32_t hour, int32_t minute);

const int SORT_KEY_LENGTH = 25;
const int LIST_KEY_SIZE = 256;

// The 25-character key of start date, kind, start time, end date and end time,
// written with its terminator into a list entry's key buffer.
void make_sort_key(const ScheduleRecord& record, char (&key)[LIST_KEY_SIZE]);
std::string make_sort_key(const ScheduleRecord& record);

// The days before `today` by `days` (which may cross months and years).
LocalDate days_before(const LocalDate& today, int32_t days);

} // namespace vntra

#endif
