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
// A rejected line as the error file holds it, without the line end.
std::string error_line(std::string_view line, const char* message);

// Reads a file line by line, lines of any length, without their line ends
// (LF or CR LF). A file that starts with the UTF-8 byte order mark is
// marked as UTF-8; the mark itself is not part of the first line.
class LineReader {
  public:
    explicit LineReader(std::FILE* file);
    bool next(std::string& line);
    bool is_utf8() const { return utf8_; }
    // True when the file could not be read to its end.
    bool failed() const { return failed_; }

  private:
    bool fill();

    std::FILE* file_;
    std::string buffer_;
    size_t position_ = 0;
    bool at_end_ = false;
    bool failed_ = false;
    bool utf8_ = false;
};

enum ImportStatus {
    IMPORT_FINISHED,
    IMPORT_CANNOT_OPEN_INPUT,        // nothing done, no error file
    IMPORT_CANNOT_CREATE_ERROR_FILE, // nothing imported
};

struct ImportResult {
    ImportStatus status = IMPORT_FINISHED;
    int32_t imported = 0;
    int32_t rejected = 0;
    bool read_failed = false;       // the input ended early on a read error
    bool error_file_failed = false; // some rejected lines may be missing from it
};

// Imports every line after the first. The error file is deleted again when
// no line was rejected.
ImportResult import_schedule_file(DataFile& store, const std::filesystem::path& input,
                                  const std::filesystem::path& error_file);

// The closing message of a finished import.
std::string import_final_message(const ImportResult& result);

} // namespace vntra

#endif
