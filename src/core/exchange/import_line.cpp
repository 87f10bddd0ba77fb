#include "exchange/import_line.h"

#include <string>

#include "calendar/date_arithmetic.h"
#include "exchange/exchange_texts.h"
#include "tabrix.h"
#include "text/sjis_cut.h"

namespace vntra {
namespace {

const int32_t FIRST_YEAR = 2001;
// Years are four digits everywhere the program shows or compares them.
const int32_t LAST_YEAR = 9999;

enum Column {
    COL_START_YEAR = 1,
    COL_START_MONTH,
    COL_START_DAY,
    COL_KIND,
    COL_START_HOUR,
    COL_START_MINUTE,
    COL_END_HOUR,
    COL_END_MINUTE,
    COL_END_MONTH,
    COL_END_DAY,
    COL_CONTENT,
    COL_PLACE,
};

bool within(int32_t value, int32_t low, int32_t high) {
    return value >= low && value <= high;
}

int32_t number_at(const char* line, int column) {
    int32_t value = 0;
    // Missing, empty and non-numeric columns all count as 0.
    if (CSV_iget(line, &value, column) != FIELD_OK)
        return 0;
    return value;
}

void text_at(const char* line, int column, std::string& scratch, char* field, size_t field_size) {
    if (CSV_sget(line, scratch.data(), column) != FIELD_OK)
        scratch[0] = '\0';
    // A cell longer than the field is cut, never inside a double-byte
    // character.
    copy_to_field(field, field_size, scratch.c_str());
}

} // namespace

int32_t round_down_to_five(int32_t minute) {
    return minute - minute % 5;
}

const char* check_import_line(std::string_view line_view, ScheduleRecord& r) {
    std::string line(line_view.substr(0, line_view.find('\0')));
    const char* text = line.c_str();
    r = blank_record();
    r.start_year = number_at(text, COL_START_YEAR);
    r.start_month = number_at(text, COL_START_MONTH);
    r.start_day = number_at(text, COL_START_DAY);
    r.kind = number_at(text, COL_KIND);
    int32_t start_hour = number_at(text, COL_START_HOUR);
    int32_t start_minute = number_at(text, COL_START_MINUTE);
    int32_t end_hour = number_at(text, COL_END_HOUR);
    int32_t end_minute = number_at(text, COL_END_MINUTE);
    int32_t end_month = number_at(text, COL_END_MONTH);
    int32_t end_day = number_at(text, COL_END_DAY);
    // CSV_sget writes up to the whole line.
    std::string scratch(line.size() + 1, '\0');
    text_at(text, COL_CONTENT, scratch, r.content, sizeof r.content);
    text_at(text, COL_PLACE, scratch, r.place, sizeof r.place);

    const char* message = nullptr;
    if (!within(r.kind, KIND_TIME_RANGE, KIND_ALL_DAY))
        message = IMPORT_BAD_KIND;
    if (!within(r.start_year, FIRST_YEAR, LAST_YEAR))
        message = IMPORT_BAD_START_YEAR;
    if (!within(r.start_month, 1, 12))
        message = IMPORT_BAD_START_MONTH;
    if (!within(r.start_day, 1, days_in_month(r.start_year, r.start_month)))
        message = IMPORT_BAD_START_DAY;

    switch (r.kind) {
    case KIND_TIME_RANGE:
        if (!within(start_hour, 0, 24))
            message = IMPORT_BAD_START_HOUR;
        if (!within(start_minute, 0, 60))
            message = IMPORT_BAD_START_MINUTE;
        if (!within(end_hour, 0, 24))
            message = IMPORT_BAD_END_HOUR;
        if (!within(end_minute, 0, 60))
            message = IMPORT_BAD_END_MINUTE;
        if (start_hour == 0 && start_minute == 0 && end_hour == 0 && end_minute == 0)
            message = IMPORT_ZERO_TIMES;
        // Products of unchecked values: widen so that no input overflows.
        if (int64_t{start_hour} * 100 + start_minute > int64_t{end_hour} * 100 + end_minute)
            message = IMPORT_TIMES_REVERSED;
        r.start_hour = start_hour;
        r.start_minute = round_down_to_five(start_minute);
        r.end_hour = end_hour;
        r.end_minute = round_down_to_five(end_minute);
        r.end_year = r.start_year;
        r.end_month = r.start_month;
        r.end_day = r.start_day;
        break;
    case KIND_DATE_SPAN:
        if (!within(end_month, 1, 12))
            message = IMPORT_BAD_END_MONTH;
        // An end month before the start month is in the next year; the
        // year check above keeps this addition in range.
        r.end_year =
            end_month < r.start_month && r.start_year < INT32_MAX ? r.start_year + 1 : r.start_year;
        if (end_month == r.start_month && r.start_day > end_day)
            message = IMPORT_DAYS_REVERSED;
        if (!within(end_day, 1, days_in_month(r.end_year, end_month)))
            message = IMPORT_BAD_END_DAY;
        r.end_month = end_month;
        r.end_day = end_day;
        r.start_hour = start_hour;
        r.start_minute = start_minute;
        r.end_hour = end_hour;
        r.end_minute = end_minute;
        break;
    case KIND_MORNING:
    case KIND_AFTERNOON:
    case KIND_ALL_DAY:
        r.start_hour = r.kind == KIND_AFTERNOON ? 12 : 0;
        r.end_hour = r.kind == KIND_MORNING ? 12 : 24;
        r.end_year = r.start_year;
        r.end_month = r.start_month;
        r.end_day = r.start_day;
        break;
    default:
        break;
    }
    if (r.content[0] == '\0')
        message = IMPORT_NO_CONTENT;
    return message;
}

} // namespace vntra
