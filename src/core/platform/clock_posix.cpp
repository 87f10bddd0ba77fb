#include "platform/clock.h"

#include <ctime>

namespace vntra {

LocalTimeStamp current_local_time() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    return LocalTimeStamp{local.tm_year + 1900, local.tm_mon + 1,
                          local.tm_mday,        local.tm_hour,
                          local.tm_min,         local.tm_sec,
                          local.tm_wday,        static_cast<int32_t>(local.tm_gmtoff / 60)};
}

int64_t monotonic_milliseconds() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

} // namespace vntra
