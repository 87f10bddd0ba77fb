// Records as tests write them: a dated entry from 0:00 on its first day to
// 24:00 on its last, with its texts.
#ifndef VNTRA_TESTS_RECORDS_H
#define VNTRA_TESTS_RECORDS_H

#include "store/schedule_keys.h"
#include "store/schedule_record.h"

namespace vntra::testing {

inline ScheduleRecord dated_record(int32_t kind, LocalDate start, LocalDate end,
                                   const char* content = "", const char* place = "") {
    ScheduleRecord r = blank_record();
    r.kind = kind;
    r.start_year = start.year;
    r.start_month = start.month;
    r.start_day = start.day;
    r.end_year = end.year;
    r.end_month = end.month;
    r.end_day = end.day;
    r.end_hour = 24;
    set_text(r.content, content);
    set_text(r.place, place);
    return r;
}

// A time range on one day, sh:sm to eh:em.
inline ScheduleRecord timed_record(LocalDate day, int sh, int sm, int eh, int em,
                                   const char* content = "", const char* place = "") {
    ScheduleRecord r = dated_record(KIND_TIME_RANGE, day, day, content, place);
    r.start_hour = sh;
    r.start_minute = sm;
    r.end_hour = eh;
    r.end_minute = em;
    return r;
}

} // namespace vntra::testing

#endif
