#include "exchange/import_line.h"

#include "calendar/date_arithmetic.h"
#include "exchange/csv_fields.h"
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

// Full-width digits, as cells formatted as text often hold them, are the
// Shift-JIS characters 0x824F to 0x8258.
const unsigned char FULL_WIDTH_LEAD = 0x82;
const unsigned char FULL_WIDTH_ZERO = 0x4F;

bool within(int32_t value, int32_t low, int32_t high) {
    return value >= low && value <= high;
}

std::string_view field_at(const std::vector<std::string>& fields, int column) {
    return static_cast<size_t>(column) <= fields.size() ? std::string_view(fields[column - 1])
                                                        : std::string_view();
}

// The cell as ASCII "[-]digits", or false when it holds anything else.
// An empty cell (or one of spaces only) gives an empty text.
bool ascii_number(std::string_view cell, std::string& number) {
    number.clear();
    size_t begin = cell.find_first_not_of(' ');
    if (begin == std::string_view::npos)
        return true;
    cell = cell.substr(begin, cell.find_last_not_of(' ') - begin + 1);
    size_t i = 0;
    if (cell[0] == '-' || cell[0] == '+') {
        if (cell[0] == '-')
            number += '-';
        ++i;
    }
    size_t digits = 0;
    while (i < cell.size()) {
        unsigned char byte = static_cast<unsigned char>(cell[i]);
        if (byte >= '0' && byte <= '9') {
            number += static_cast<char>(byte);
            ++i;
        } else if (byte == FULL_WIDTH_LEAD && i + 1 < cell.size() &&
                   static_cast<unsigned char>(cell[i + 1]) >= FULL_WIDTH_ZERO &&
                   static_cast<unsigned char>(cell[i + 1]) <= FULL_WIDTH_ZERO + 9) {
            number += static_cast<char>(
                '0' + (static_cast<unsigned char>(cell[i + 1]) - FULL_WIDTH_ZERO));
            i += 2;
        } else {
            return false;
        }
        ++digits;
    }
    return digits > 0;
}

// Reads the numeric columns in order; `not_number` names the last column
// that holds something other than a number.
class NumberColumns {
  public:
    explicit NumberColumns(const std::vector<std::string>& fields) : fields_(fields) {}

    int32_t at(int column) {
        int32_t value = 0;
        if (!ascii_number(field_at(fields_, column), scratch_))
            not_number = IMPORT_NOT_A_NUMBER[column - 1];
        // tabrix converts the plain digits (clamping what int32 cannot hold).
        else if (!scratch_.empty() && CSV_iget(scratch_.c_str(), &value, 1) != FIELD_OK)
            not_number = IMPORT_NOT_A_NUMBER[column - 1];
        return value;
    }

    const char* not_number = nullptr;

  private:
    const std::vector<std::string>& fields_;
    std::string scratch_;
};

// A text column into its field: line breaks (CR LF, LF or CR) become one
// space each, as a record's texts are one line; a text longer than the
// field is cut, never inside a double-byte character. A NUL ends the text.
bool text_at(const std::vector<std::string>& fields, int column, char* field, size_t field_size) {
    std::string_view cell = field_at(fields, column);
    cell = cell.substr(0, cell.find('\0'));
    std::string text;
    text.reserve(cell.size());
    for (size_t i = 0; i < cell.size(); ++i) {
        if (cell[i] == '\r' && i + 1 < cell.size() && cell[i + 1] == '\n')
            continue; // the CR of CR LF; the LF gives the space
        text += cell[i] == '\r' || cell[i] == '\n' ? ' ' : cell[i];
    }
    copy_to_field(field, field_size, text);
    return text.size() > field_size - 1;
}

} // namespace

int32_t round_down_to_five(int32_t minute) {
    return minute - minute % 5;
}

const char* check_import_fields(const std::vector<std::string>& fields, ScheduleRecord& r,
                                bool& cut) {
    r = blank_record();
    NumberColumns numbers(fields);
    r.start_year = numbers.at(COL_START_YEAR);
    r.start_month = numbers.at(COL_START_MONTH);
    r.start_day = numbers.at(COL_START_DAY);
    r.kind = numbers.at(COL_KIND);
    int32_t start_hour = numbers.at(COL_START_HOUR);
    int32_t start_minute = numbers.at(COL_START_MINUTE);
    int32_t end_hour = numbers.at(COL_END_HOUR);
    int32_t end_minute = numbers.at(COL_END_MINUTE);
    int32_t end_month = numbers.at(COL_END_MONTH);
    int32_t end_day = numbers.at(COL_END_DAY);
    cut = text_at(fields, COL_CONTENT, r.content, sizeof r.content);
    cut = text_at(fields, COL_PLACE, r.place, sizeof r.place) || cut;

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
    // A column that is not a number was counted as 0 above; its own message
    // says what is wrong, not the range check that 0 then failed.
    if (numbers.not_number)
        message = numbers.not_number;
    if (r.content[0] == '\0')
        message = IMPORT_NO_CONTENT;
    return message;
}

const char* check_import_line(std::string_view row, ScheduleRecord& record) {
    std::vector<std::string> fields;
    split_csv_row(row, fields);
    bool cut = false;
    return check_import_fields(fields, record, cut);
}

} // namespace vntra
