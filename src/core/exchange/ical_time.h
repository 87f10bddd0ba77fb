// Dates and times of iCalendar values: the proleptic Gregorian calendar as
// seconds since 1970-01-01 00:00, the DATE and DATE-TIME forms, durations.
// The program's own month lengths treat every fourth year as a leap year;
// calendars from elsewhere follow Gregory, so this file has its own.
#ifndef VNTRA_EXCHANGE_ICAL_TIME_H
#define VNTRA_EXCHANGE_ICAL_TIME_H

#include <cstdint>
#include <string>
#include <string_view>

#include "exchange/ical_lines.h"

namespace vntra {

const int64_t SECONDS_PER_DAY = 86400;
// Japan's clock is nine hours ahead of UTC and has no daylight saving time.
const int64_t JAPAN_OFFSET_SECONDS = 9 * 3600;

struct CivilTime {
    int32_t year;
    int32_t month;
    int32_t day;
    int32_t hour;
    int32_t minute;
    int32_t second;
};

int32_t gregorian_days_in_month(int32_t year, int32_t month);
int64_t days_from_civil(int32_t year, int32_t month, int32_t day);
void civil_from_days(int64_t days, int32_t& year, int32_t& month, int32_t& day);
// 0 = Sunday … 6 = Saturday.
int32_t weekday_of_days(int64_t days);
int64_t seconds_from_civil(const CivilTime& time);
CivilTime civil_from_seconds(int64_t seconds);
// Days since 1970-01-01 of a moment, rounding towards the past.
int64_t days_of_seconds(int64_t seconds);

enum IcalTimeForm {
    ICAL_DATE,     // a whole day, no zone
    ICAL_FLOATING, // a wall-clock time with no zone
    ICAL_UTC,      // ends in Z
    ICAL_ZONED,    // with TZID
};

struct IcalTime {
    // Seconds of the clock the value is written in: UTC for ICAL_UTC, the
    // zone's wall clock for ICAL_ZONED, the day's midnight for ICAL_DATE.
    int64_t clock = 0;
    IcalTimeForm form = ICAL_FLOATING;
    std::string zone; // TZID for ICAL_ZONED
};

// "YYYYMMDD" or "YYYYMMDDTHHMMSS" with an optional Z. Years 1 to 9999.
bool parse_ical_time_value(std::string_view value, IcalTime& time);

// A DTSTART-like property: its VALUE=DATE and TZID parameters applied.
bool parse_ical_time(const IcalProperty& property, IcalTime& time);

// "P1D", "-PT15M", "P1W", "P1DT2H30M", ... as seconds. A day counts 86400
// seconds here; callers that add whole days to dates do so on the calendar.
bool parse_ical_duration(std::string_view value, int64_t& seconds);

// "YYYYMMDD", "YYYYMMDDTHHMMSS" and that with "Z".
std::string format_ical_date(int64_t days);
std::string format_ical_date_time(int64_t seconds, bool utc);

} // namespace vntra

#endif
