// From an occurrence on Japan's clock to a record: its kind, dates and
// times, and its texts in Shift-JIS.
#ifndef VNTRA_EXCHANGE_ICAL_EVENT_MAP_H
#define VNTRA_EXCHANGE_ICAL_EVENT_MAP_H

#include <string>
#include <string_view>

#include "exchange/ical_occurrences.h"
#include "store/schedule_record.h"

namespace vntra {

enum RecordTextStatus {
    RECORD_TEXT_OK,
    RECORD_TEXT_CUT,      // longer than the field: cut at a character boundary
    RECORD_TEXT_NOT_SJIS, // a character Shift-JIS has no form for
};

// A SUMMARY or LOCATION as a record holds it: each line break one
// half-width space, in Shift-JIS, at most max_bytes long.
RecordTextStatus record_text(std::string_view utf8, size_t max_bytes, std::string& sjis);

// Sets the kind, dates and times of `record` from the occurrence:
// - a day event of one day is 終日, of several days 期間指定 up to its last
//   day;
// - a timed event within one day (an end at midnight closes the day before
//   at 24:00) is 時間指定 with its minutes rounded down to 5, except 0:00
//   to 24:00, which is 終日, and, when it brings no alarm, 0:00 to 12:00
//   and 12:00 to 24:00, which are 午前 and 午後 (the program's own export
//   writes those kinds so);
// - a timed event over several days is 期間指定 over the days it touches.
// Null when it fits a record, else the reason it does not.
const char* shape_occurrence(const Occurrence& occurrence, bool brings_alarm,
                             ScheduleRecord& record);

} // namespace vntra

#endif
