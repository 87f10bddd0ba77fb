// Feeds random files to the import's reading: the rows must cover the text,
// each row's fields must read back the same after the export's quoting, and
// every accepted record must keep the rules the rest of the program relies on.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "calendar/date_arithmetic.h"
#include "exchange/csv_fields.h"
#include "exchange/import_line.h"
#include "text/sjis_cut.h"
#include "text/text_encoding.h"

namespace {

bool within(int32_t value, int32_t low, int32_t high) {
    return value >= low && value <= high;
}

// A fixed text field: terminated, and its text never ends inside a
// double-byte character.
template <size_t N> bool sound_field(const char (&field)[N]) {
    const char* end = static_cast<const char*>(std::memchr(field, '\0', N));
    if (!end)
        return false;
    std::string_view text(field, static_cast<size_t>(end - field));
    return vntra::sjis_cut_length(text, text.size()) == text.size();
}

void check_fields(const std::vector<std::string>& fields) {
    vntra::ScheduleRecord r;
    bool cut = false;
    const char* message = vntra::check_import_fields(fields, r, cut);
    if (!sound_field(r.content) || !sound_field(r.place))
        __builtin_trap();
    if (message)
        return;
    bool sound = within(r.kind, 1, 5) && r.content[0] != '\0' && within(r.start_year, 2001, 9999) &&
                 within(r.start_month, 1, 12) &&
                 within(r.start_day, 1, vntra::days_in_month(r.start_year, r.start_month)) &&
                 within(r.end_month, 1, 12) &&
                 within(r.end_day, 1, vntra::days_in_month(r.end_year, r.end_month)) &&
                 r.end_year * 10000 + r.end_month * 100 + r.end_day >=
                     r.start_year * 10000 + r.start_month * 100 + r.start_day &&
                 r.id == 0 && r.alarm_state == 0 && r.reminder_state == 0 &&
                 !std::strpbrk(r.content, "\r\n") && !std::strpbrk(r.place, "\r\n");
    if (r.kind == vntra::KIND_TIME_RANGE)
        sound = sound && r.start_minute % 5 == 0 && r.end_minute % 5 == 0 &&
                r.start_hour * 100 + r.start_minute <= r.end_hour * 100 + r.end_minute;
    if (!sound)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    size_t bom_length = 0;
    vntra::detect_text_encoding(text, &bom_length);
    vntra::CsvRowReader rows(text);
    std::string_view row;
    std::vector<std::string> fields, again;
    size_t at = 0;
    while (rows.next(row)) {
        // Rows follow one another with one line end (CR LF, LF or CR) between.
        if (row.data() != text.data() + at || bom_length > size)
            __builtin_trap();
        at += row.size();
        if (at < size && text[at] != '\r' && text[at] != '\n')
            __builtin_trap();
        at += at < size ? 1 + (text[at] == '\r' && at + 1 < size && text[at + 1] == '\n') : 0;
        vntra::split_csv_row(row, fields);
        std::string written;
        for (size_t i = 0; i < fields.size(); ++i)
            written += (i ? "," : "") + vntra::csv_field(fields[i]);
        vntra::split_csv_row(written, again);
        if (again != fields)
            __builtin_trap();
        check_fields(fields);
    }
    if (at != size)
        __builtin_trap();
    return 0;
}
