#include "platform/clock.h"

#include <windows.h>

namespace vntra {
namespace {

int64_t ticks_of(const FILETIME& time) {
    return static_cast<int64_t>((static_cast<uint64_t>(time.dwHighDateTime) << 32) |
                                time.dwLowDateTime);
}

} // namespace

LocalTimeStamp current_local_time() {
    FILETIME utc;
    ::GetSystemTimeAsFileTime(&utc);
    // The zone's bias as it applies now, daylight saving included.
    FILETIME local;
    ::FileTimeToLocalFileTime(&utc, &local);
    SYSTEMTIME parts;
    ::FileTimeToSystemTime(&local, &parts);
    const int64_t TICKS_PER_MINUTE = 600000000;
    return LocalTimeStamp{
        parts.wYear,
        parts.wMonth,
        parts.wDay,
        parts.wHour,
        parts.wMinute,
        parts.wSecond,
        parts.wDayOfWeek,
        static_cast<int32_t>((ticks_of(local) - ticks_of(utc)) / TICKS_PER_MINUTE)};
}

int64_t monotonic_milliseconds() {
    return static_cast<int64_t>(::GetTickCount64());
}

} // namespace vntra
