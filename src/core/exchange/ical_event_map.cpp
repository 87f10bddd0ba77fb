#include "exchange/ical_event_map.h"

#include "exchange/exchange_texts.h"
#include "exchange/ical_texts.h"
#include "exchange/import_line.h"
#include "platform/sjis_text.h"
#include "text/sjis_cut.h"

namespace vntra {
namespace {

const int32_t FIRST_YEAR = 2001;
const int32_t LAST_YEAR = 9999;

void set_date(int64_t days, int32_t& year, int32_t& month, int32_t& day) {
    civil_from_days(days, year, month, day);
}

// A span is stored with its end month and day; its end year is the start
// year, or the next one when the end month comes before the start month. So
// a span reaches at most to the end of the month before the start month,
// a year on.
bool span_fits(const ScheduleRecord& r) {
    if (r.end_year == r.start_year)
        return r.end_month > r.start_month ||
               (r.end_month == r.start_month && r.end_day >= r.start_day);
    return r.end_year == r.start_year + 1 && r.end_month < r.start_month;
}

void set_span(ScheduleRecord& r, int64_t first_day, int64_t last_day) {
    r.kind = KIND_DATE_SPAN;
    set_date(first_day, r.start_year, r.start_month, r.start_day);
    set_date(last_day, r.end_year, r.end_month, r.end_day);
    r.start_hour = r.start_minute = r.end_minute = 0;
    r.end_hour = 24;
}

void set_day(ScheduleRecord& r, int32_t kind, int64_t day, int32_t start_hour, int32_t end_hour) {
    r.kind = kind;
    set_date(day, r.start_year, r.start_month, r.start_day);
    set_date(day, r.end_year, r.end_month, r.end_day);
    r.start_hour = start_hour;
    r.end_hour = end_hour;
    r.start_minute = r.end_minute = 0;
}

} // namespace

RecordTextStatus record_text(std::string_view utf8, size_t max_bytes, std::string& sjis) {
    std::string one_line;
    one_line.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size(); ++i) {
        char c = utf8[i];
        if (c == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n')
            continue; // CR LF is one break
        one_line += c == '\r' || c == '\n' ? ' ' : c;
    }
    if (!utf8_to_sjis_exact(one_line, sjis))
        return RECORD_TEXT_NOT_SJIS;
    if (sjis.size() <= max_bytes)
        return RECORD_TEXT_OK;
    sjis.resize(sjis_cut_length(sjis, max_bytes));
    return RECORD_TEXT_CUT;
}

const char* shape_occurrence(const Occurrence& o, bool brings_alarm, ScheduleRecord& r) {
    int64_t first_day = days_of_seconds(o.start);
    if (o.all_day) {
        int64_t days = (o.end - o.start) / SECONDS_PER_DAY;
        if (days <= 1)
            set_day(r, KIND_ALL_DAY, first_day, 0, 24);
        else
            set_span(r, first_day, first_day + days - 1);
    } else {
        CivilTime start = civil_from_seconds(o.start);
        CivilTime end = civil_from_seconds(o.end);
        int64_t last_day = days_of_seconds(o.end);
        int32_t end_hour = end.hour;
        bool end_at_midnight = end.hour == 0 && end.minute == 0 && end.second == 0;
        if (o.end > o.start && end_at_midnight) {
            --last_day;
            end_hour = 24;
        }
        bool starts_at_midnight = start.hour == 0 && start.minute == 0 && start.second == 0;
        bool ends_on_the_hour = end.minute == 0 && end.second == 0;
        if (last_day != first_day) {
            set_span(r, first_day, last_day);
        } else if (starts_at_midnight && end_hour == 24) {
            set_day(r, KIND_ALL_DAY, first_day, 0, 24);
        } else if (!brings_alarm && starts_at_midnight && end_hour == 12 && ends_on_the_hour) {
            set_day(r, KIND_MORNING, first_day, 0, 12);
        } else if (!brings_alarm && start.hour == 12 && start.minute == 0 && start.second == 0 &&
                   end_hour == 24) {
            set_day(r, KIND_AFTERNOON, first_day, 12, 24);
        } else {
            set_day(r, KIND_TIME_RANGE, first_day, start.hour, end_hour);
            r.start_minute = round_down_to_five(start.minute);
            r.end_minute = end_hour == 24 ? 0 : round_down_to_five(end.minute);
        }
    }
    if (r.start_year < FIRST_YEAR || r.start_year > LAST_YEAR || r.end_year > LAST_YEAR)
        return IMPORT_BAD_START_YEAR;
    if (r.kind == KIND_DATE_SPAN && !span_fits(r))
        return ICAL_SPAN_TOO_LONG;
    return nullptr;
}

} // namespace vntra
