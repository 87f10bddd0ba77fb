// Feeds random files to the import's reading: the rows must cover the text
// exactly, the fields of every row must read back the same after the
// export's quoting, and every accepted record must keep the rules the rest
// of the program relies on.
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

bool sound_record(const char* message, const vntra::ScheduleRecord& r) {
    if (!sound_field(r.content) || !sound_field(r.place))
        return false;
    if (message)
        return true;
    bool sound = within(r.kind, 1, 5) && r.content[0] != '\0' && within(r.start_year, 2001, 9999) &&
                 within(r.start_month, 1, 12) &&
                 within(r.start_day, 1, vntra::days_in_month(r.start_year, r.start_month)) &&
                 within(r.end_month, 1, 12) &&
                 within(r.end_day, 1, vntra::days_in_month(r.end_year, r.end_month)) &&
                 r.end_year * 10000 + r.end_month * 100 + r.end_day >=
                     r.start_year * 10000 + r.start_month * 100 + r.start_day &&
                 r.id == 0 && r.alarm_state == 0 && r.reminder_state == 0 &&
                 !std::memchr(r.content, '\n', sizeof r.content) &&
                 !std::memchr(r.place, '\n', sizeof r.place);
    if (r.kind == vntra::KIND_TIME_RANGE)
        sound = sound && r.start_minute % 5 == 0 && r.end_minute % 5 == 0 &&
                r.start_hour * 100 + r.start_minute <= r.end_hour * 100 + r.end_minute;
    return sound;
}

// The export's line for these fields, read back.
bool reads_back(const std::vector<std::string>& fields, std::vector<std::string>& again) {
    std::string line;
    for (size_t i = 0; i < fields.size(); ++i)
        line += (i ? "," : "") + vntra::csv_field(fields[i]);
    vntra::CsvRowReader reader(line);
    std::string_view row;
    if (!line.empty() && (!reader.next(row) || row.size() != line.size() || reader.next(row)))
        return false;
    vntra::split_csv_row(line, again);
    return again == fields;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    size_t bom_length = 0;
    vntra::detect_text_encoding(text, &bom_length);
    if (bom_length > size)
        __builtin_trap();
    vntra::CsvRowReader rows(text);
    std::string_view row;
    std::vector<std::string> fields;
    std::vector<std::string> again;
    size_t position = 0;
    while (rows.next(row)) {
        // Each row starts where the last one's line end finished.
        if (row.data() != text.data() + position)
            __builtin_trap();
        position += row.size();
        if (position < size) {
            if (text[position] != '\r' && text[position] != '\n')
                __builtin_trap();
            bool crlf = text[position] == '\r' && position + 1 < size && text[position + 1] == '\n';
            position += crlf ? 2 : 1;
        }
        vntra::split_csv_row(row, fields);
        if (!reads_back(fields, again))
            __builtin_trap();
        vntra::ScheduleRecord r;
        bool cut = false;
        if (!sound_record(vntra::check_import_fields(fields, r, cut), r))
            __builtin_trap();
    }
    if (position != size)
        __builtin_trap();
    return 0;
}
