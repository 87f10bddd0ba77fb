#include "exchange/csv_export.h"

#include <cstdio>

#include "calendar/date_arithmetic.h"
#include "exchange/csv_fields.h"
#include "exchange/exchange_texts.h"
#include "platform/whole_file.h"
#include "text/decimal_prefix.h"

namespace vntra {
namespace {

const size_t YEAR_FIELD_CHARS = 7;
const int32_t FIRST_YEAR = 2001;
// The output is written in pieces of about this size.
const size_t WRITE_CHUNK = 64 * 1024;

} // namespace

int64_t wide_date_key(int64_t year, int64_t month, int64_t day) {
    return year * 10000 + month * 100 + day;
}

bool is_exported(const ScheduleRecord& record, const ExportRange& range) {
    if (record.kind > KIND_ALL_DAY)
        return false;
    int64_t start = wide_date_key(record.start_year, record.start_month, record.start_day);
    int64_t end = wide_date_key(record.end_year, record.end_month, record.end_day);
    return end >= range.first_key && start <= range.last_key;
}

std::string export_line(const ScheduleRecord& r) {
    int32_t times[6] = {0, 0, 0, 0, 0, 0};
    if (r.kind == KIND_TIME_RANGE) {
        times[0] = r.start_hour;
        times[1] = r.start_minute;
        times[2] = r.end_hour;
        times[3] = r.end_minute;
    } else if (r.kind == KIND_DATE_SPAN) {
        times[4] = r.end_month;
        times[5] = r.end_day;
    }
    char numbers[160];
    std::snprintf(numbers, sizeof numbers, "%d,%d,%d,%d,%d,%d,%d,%d,%d,%d,", r.start_year,
                  r.start_month, r.start_day, r.kind, times[0], times[1], times[2], times[3],
                  times[4], times[5]);
    return numbers + csv_field(field_text(r.content)) + "," + csv_field(field_text(r.place));
}

void initial_export_range(const LocalDate& today, DateFields& start, DateFields& end) {
    start = {today.year, today.month - 1, 1};
    if (start.month < 1)
        start = {today.year - 1, 12, 1};
    end = {today.year, today.month + 1, 0};
    if (end.month > 12)
        end = {today.year + 1, 1, 0};
    end.day = days_in_month(end.year, end.month);
}

bool check_export_form(const ExportForm& form, ExportRange& range, FormError& error) {
    auto fail = [&](const char* message, ExportFormField focus) {
        error = {message, focus};
        return false;
    };
    if (form.file.empty())
        return fail(NO_FILE_GIVEN, EXPORT_FIELD_BROWSE);
    std::string_view start_text = std::string_view(form.start_year).substr(0, YEAR_FIELD_CHARS);
    if (start_text.empty())
        return fail(YEAR_NOT_GIVEN, EXPORT_FIELD_START_YEAR);
    int32_t start_year = decimal_prefix(start_text);
    if (start_year < FIRST_YEAR)
        return fail(YEAR_TOO_EARLY, EXPORT_FIELD_START_YEAR);
    if (form.start_month < 1 || form.start_month > 12)
        return fail(DATE_NOT_GIVEN, EXPORT_FIELD_START_MONTH);
    if (form.start_day < 1 || form.start_day > 31)
        return fail(DATE_NOT_GIVEN, EXPORT_FIELD_START_DAY);
    if (form.start_day > days_in_month(start_year, form.start_month))
        return fail(DATE_INVALID, EXPORT_FIELD_START_DAY);
    std::string_view end_text = std::string_view(form.end_year).substr(0, YEAR_FIELD_CHARS);
    if (end_text.empty())
        return fail(YEAR_NOT_GIVEN, EXPORT_FIELD_END_YEAR);
    int32_t end_year = decimal_prefix(end_text);
    if (form.end_month < 1 || form.end_month > 12)
        return fail(DATE_NOT_GIVEN, EXPORT_FIELD_END_MONTH);
    if (form.end_day < 1 || form.end_day > 31)
        return fail(DATE_NOT_GIVEN, EXPORT_FIELD_END_DAY);
    if (form.end_day > days_in_month(end_year, form.end_month))
        return fail(DATE_INVALID, EXPORT_FIELD_END_DAY);
    range.first_key = wide_date_key(start_year, form.start_month, form.start_day);
    range.last_key = wide_date_key(end_year, form.end_month, form.end_day);
    if (range.first_key > range.last_key)
        return fail(DATES_REVERSED, EXPORT_FIELD_START_DAY);
    return true;
}

ExportStatus export_schedule(const DataFile& store, const std::filesystem::path& output,
                             const ExportRange& range, int32_t& exported) {
    exported = 0;
    // An unreadable data file is not an empty one: leave the output alone.
    // The count comes from the file the slots are read from.
    RecordReader reader(store.path);
    if (!reader.is_open() || reader.failed())
        return EXPORT_CANNOT_READ_DATA;
    // An older file at the path stays as it is until the new one is whole.
    WholeFileWriter file(output);
    if (!file.is_open())
        return EXPORT_CANNOT_CREATE;
    std::string pending = std::string(CSV_HEADER_LINE) + "\r\n";
    bool written = true;
    ScheduleRecord record;
    while (written && reader.next(record)) {
        if (!is_exported(record, range))
            continue;
        pending += export_line(record);
        pending += "\r\n";
        ++exported;
        if (pending.size() >= WRITE_CHUNK) {
            written = file.write(pending);
            pending.clear();
        }
    }
    written = written && file.write(pending);
    // Part of the data could not be read: no file that looks complete.
    if (reader.failed())
        return EXPORT_CANNOT_READ_DATA;
    return written && file.commit() ? EXPORT_OK : EXPORT_INCOMPLETE;
}

} // namespace vntra
