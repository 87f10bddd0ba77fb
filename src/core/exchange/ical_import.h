// The import of an iCalendar file: every event instance inside the window
// becomes a record at the end of the data file, every event that cannot
// goes with its reason into an error file beside the input, and instances
// imported before are skipped.
#ifndef VNTRA_EXCHANGE_ICAL_IMPORT_H
#define VNTRA_EXCHANGE_ICAL_IMPORT_H

#include <cstdint>
#include <filesystem>
#include <string>

#include "exchange/csv_export.h"
#include "exchange/ical_occurrences.h"
#include "platform/clock.h"
#include "store/data_file.h"
#include "store/schedule_keys.h"

namespace vntra {

struct IcalImportOptions {
    RecurrenceWindow window;   // where a series' instances are made
    int64_t now;               // Japan's wall clock: alarms only for what is ahead
    int32_t expiry_cutoff_key; // compaction's cutoff; 0 when nothing expires
};

// From a year before today to two years after it.
RecurrenceWindow default_recurrence_window(const LocalDate& today);
LocalDate window_day(int64_t day);
// The window of a range of days as the dialog's date fields give it.
RecurrenceWindow window_of_range(const ExportRange& range);

// The options of an import run now: alarms armed for what lies after `now`
// (the local clock, which is Japan's), and the cutoff of the expiry period
// that compaction applies (none when it is not positive).
IcalImportOptions ical_import_options(const LocalTimeStamp& now, const RecurrenceWindow& window,
                                      int32_t expiry_days);

// Whether the file is an iCalendar file, by its first line; any other file
// is taken for CSV.
bool is_icalendar_file(const std::filesystem::path& path);

enum IcalImportStatus {
    ICAL_IMPORT_FINISHED,
    ICAL_IMPORT_CANNOT_OPEN_INPUT,
    ICAL_IMPORT_READ_FAILED,   // the input could not be read to its end
    ICAL_IMPORT_UTF16,         // the format is UTF-8; UTF-16 is refused whole
    ICAL_IMPORT_NOT_ICALENDAR, // not an iCalendar file, or broken inside
    ICAL_IMPORT_CUT_SHORT,     // a component is never closed
    ICAL_IMPORT_DATA_UNREADABLE,
    ICAL_IMPORT_MEMORY_UNREADABLE,
    ICAL_IMPORT_CANNOT_CREATE_ERROR_FILE,
};

struct IcalImportResult {
    IcalImportStatus status = ICAL_IMPORT_FINISHED;
    int32_t imported = 0;    // records stored
    int32_t from_series = 0; // of them, instances of recurring events
    int32_t skipped = 0;     // instances imported before
    int32_t rejected = 0;    // events listed in the error file
    int32_t cut = 0;         // records whose content or place was cut
    bool error_file_failed = false;
    bool memory_not_saved = false;
};

// Nothing is stored unless the whole file could be read and parsed. The
// error file is deleted again when no event was refused.
IcalImportResult import_icalendar_file(DataFile& store, const std::filesystem::path& input,
                                       const std::filesystem::path& error_file,
                                       const IcalImportOptions& options);

// The closing message of a finished import, with its counts.
std::string ical_import_message(const IcalImportResult& result);

} // namespace vntra

#endif
