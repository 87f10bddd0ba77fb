// The wall clock with its zone, and a clock for measuring waits.
#ifndef VNTRA_PLATFORM_CLOCK_H
#define VNTRA_PLATFORM_CLOCK_H

#include <cstdint>

namespace vntra {

struct LocalTimeStamp {
    int32_t year;
    int32_t month;   // 1..12
    int32_t day;     // 1..31
    int32_t hour;    // 0..23
    int32_t minute;  // 0..59
    int32_t second;  // 0..59 (60 for a leap second where the system has them)
    int32_t weekday; // 0 = Sunday .. 6 = Saturday
    // Minutes by which local time is ahead of UTC (negative behind it).
    int32_t utc_offset_minutes;
};

LocalTimeStamp current_local_time();

// Milliseconds from an arbitrary start; never goes backwards.
int64_t monotonic_milliseconds();

} // namespace vntra

#endif
