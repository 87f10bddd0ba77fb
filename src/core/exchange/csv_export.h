// The export of dated entries that touch a range of days, as schedule CSV
// lines the import reads back.
#ifndef VNTRA_EXCHANGE_CSV_EXPORT_H
#define VNTRA_EXCHANGE_CSV_EXPORT_H

#include <cstdint>
#include <filesystem>
#include <string>

#include "store/data_file.h"
#include "store/schedule_keys.h"

namespace vntra {

// A range of days by year × 10000 + month × 100 + day. Wide enough for the
// seven-digit years the dialog accepts.
struct ExportRange {
    int64_t first_key;
    int64_t last_key;
};

int64_t wide_date_key(int64_t year, int64_t month, int64_t day);

// Dated entries (kinds 1 to 5) that overlap the range; never ToDo items or
// deleted slots.
bool is_exported(const ScheduleRecord& record, const ExportRange& range);

// The record's line without its line end: date, kind, the six kind-dependent
// numbers, content and place.
std::string export_line(const ScheduleRecord& record);

// The dialog's first range: from the 1st of the previous month to the last
// day of the next one.
struct DateFields {
    int32_t year;
    int32_t month;
    int32_t day;
};
void initial_export_range(const LocalDate& today, DateFields& start, DateFields& end);

// What the dialog gathered. Months and days are 0 when nothing is selected.
struct ExportForm {
    std::string file;
    std::string start_year; // the texts as typed
    int32_t start_month;
    int32_t start_day;
    std::string end_year;
    int32_t end_month;
    int32_t end_day;
};

// Where the dialog puts the focus after a refused form.
enum ExportFormField {
    EXPORT_FIELD_BROWSE,
    EXPORT_FIELD_START_YEAR,
    EXPORT_FIELD_START_MONTH,
    EXPORT_FIELD_START_DAY,
    EXPORT_FIELD_END_YEAR,
    EXPORT_FIELD_END_MONTH,
    EXPORT_FIELD_END_DAY,
};

struct FormError {
    const char* message;
    ExportFormField focus;
};

// The checks in the dialog's order; the first failing one is reported.
// Year texts are read up to 7 characters, as decimal prefixes.
bool check_export_form(const ExportForm& form, ExportRange& range, FormError& error);

enum ExportStatus {
    EXPORT_OK,
    EXPORT_CANNOT_CREATE,    // the output file cannot be created or replaced
    EXPORT_CANNOT_READ_DATA, // the data file cannot be read: nothing was written
    EXPORT_INCOMPLETE,       // the new file could not be written whole
};

// Writes the header and every exported record of the data file, in file
// order, with CR LF line ends. `exported` receives the number of records.
// A file already at `output` is replaced only by a complete export; every
// failure leaves it as it was.
ExportStatus export_schedule(const DataFile& store, const std::filesystem::path& output,
                             const ExportRange& range, int32_t& exported);

} // namespace vntra

#endif
