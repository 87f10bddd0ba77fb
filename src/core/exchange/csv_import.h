// The import of a schedule CSV file: every good line becomes a record at the
// end of the data file, every other line goes with its reason into an error
// file beside the input.
#ifndef VNTRA_EXCHANGE_CSV_IMPORT_H
#define VNTRA_EXCHANGE_CSV_IMPORT_H

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/clock.h"
#include "store/data_file.h"

namespace vntra {

// "vntraerr" + the time as %Y%m%d%H%M%S + ".csv".
std::string error_file_name(const LocalTimeStamp& now);
// The error file in the folder of the input file.
std::filesystem::path error_file_path(const std::filesystem::path& input,
                                      const LocalTimeStamp& now);
// A rejected row as the error file holds it: the whole row as it stood in
// the file (line breaks inside quotes included), a comma and the message.
std::string error_line(std::string_view line, const char* message);

enum ImportStatus {
    IMPORT_FINISHED,
    IMPORT_CANNOT_OPEN_INPUT,        // nothing done, no error file
    IMPORT_CANNOT_CREATE_ERROR_FILE, // nothing imported
    IMPORT_UTF16_REFUSED,            // nothing done, no error file
};

struct ImportResult {
    ImportStatus status = IMPORT_FINISHED;
    int32_t imported = 0;
    int32_t rejected = 0;
    int32_t cut = 0;                // imported with a content or place cut short
    bool read_failed = false;       // the input ended early on a read error
    bool error_file_failed = false; // some rejected lines may be missing from it
};

// Imports every row of a Shift-JIS or UTF-8 file (see detect_text_encoding);
// a UTF-16 file is refused whole. The first row is taken for the header and
// skipped unless it is a good row itself. The error file is deleted again
// when no row was rejected.
ImportResult import_schedule_file(DataFile& store, const std::filesystem::path& input,
                                  const std::filesystem::path& error_file);

// The closing message of a finished import.
std::string import_final_message(const ImportResult& result);

} // namespace vntra

#endif
