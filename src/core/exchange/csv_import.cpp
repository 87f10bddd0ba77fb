#include "exchange/csv_import.h"

#include <cstdio>
#include <system_error>
#include <vector>

#include "exchange/csv_fields.h"
#include "exchange/exchange_texts.h"
#include "exchange/import_line.h"
#include "platform/sjis_text.h"
#include "platform/whole_file.h"
#include "store/record_appender.h"
#include "text/text_encoding.h"

namespace vntra {
namespace {

// Good rows are stored in batches of this many: few writes, and a failing
// batch sends no more than these rows to the error file.
const size_t BATCH_LINES = 4096;

// Rows of one batch, in file order: a good row carries its record, a bad
// one its message.
struct BatchLine {
    std::string line;
    const char* message;
    bool cut;
};

class ImportRun {
  public:
    ImportRun(DataFile& store, std::FILE* errors, ImportResult& result)
        : appender_(store), errors_(errors), result_(result) {}

    void add(std::string line, const char* message, const ScheduleRecord& record, bool cut) {
        if (!message)
            records_.push_back(record);
        lines_.push_back({std::move(line), message, cut});
        if (lines_.size() >= BATCH_LINES)
            flush();
    }

    void flush() {
        bool stored = records_.empty() || appender_.append(records_);
        if (stored)
            result_.imported += static_cast<int32_t>(records_.size());
        std::string text;
        for (const BatchLine& entry : lines_) {
            const char* message = entry.message ? entry.message
                                  : stored      ? nullptr
                                                : IMPORT_NOT_STORED;
            if (!message) {
                result_.cut += entry.cut;
                continue;
            }
            ++result_.rejected;
            text += error_line(entry.line, message);
            text += "\r\n";
        }
        if (!text.empty() && !write_items(errors_, text.data(), 1, text.size()))
            result_.error_file_failed = true;
        records_.clear();
        lines_.clear();
    }

    void finish() { appender_.close(); }

  private:
    RecordAppender appender_;
    std::FILE* errors_;
    ImportResult& result_;
    std::vector<ScheduleRecord> records_;
    std::vector<BatchLine> lines_;
};

// One row of the input, checked: its Shift-JIS text for the error file and
// the message that refused it, or null with the record.
struct CheckedRow {
    std::string text;
    const char* message = nullptr;
    bool cut = false;
};

class RowChecker {
  public:
    explicit RowChecker(TextEncoding encoding) : encoding_(encoding) {}

    const char* check(std::string_view raw, CheckedRow& row, ScheduleRecord& record) {
        row.cut = false;
        row.message = nullptr;
        if (encoding_ == TEXT_UTF8) {
            if (!utf8_to_sjis_exact(raw, row.text)) {
                // The error file is Shift-JIS like the rest: what has no
                // form there shows as "?".
                row.text = utf8_to_sjis(raw);
                row.message = IMPORT_NOT_SJIS;
            }
        } else {
            row.text.assign(raw);
            if (!is_valid_sjis(raw))
                row.message = IMPORT_NOT_SJIS;
        }
        if (!row.message) {
            split_csv_row(row.text, fields_);
            row.message = check_import_fields(fields_, record, row.cut);
        }
        return row.message;
    }

  private:
    TextEncoding encoding_;
    std::vector<std::string> fields_;
};

} // namespace

std::string error_file_name(const LocalTimeStamp& now) {
    char name[64];
    std::snprintf(name, sizeof name, "vntraerr%04d%02d%02d%02d%02d%02d.csv", now.year, now.month,
                  now.day, now.hour, now.minute, now.second);
    return name;
}

std::filesystem::path error_file_path(const std::filesystem::path& input,
                                      const LocalTimeStamp& now) {
    return input.parent_path() / error_file_name(now);
}

std::string error_line(std::string_view line, const char* message) {
    std::string text(line);
    text += ',';
    text += message;
    return text;
}

ImportResult import_schedule_file(DataFile& store, const std::filesystem::path& input,
                                  const std::filesystem::path& error_file) {
    ImportResult result;
    // The whole file first: its encoding is decided from all of it.
    std::string bytes;
    WholeFileRead read = read_whole_file(input, bytes);
    if (read == WHOLE_FILE_CANNOT_OPEN) {
        result.status = IMPORT_CANNOT_OPEN_INPUT;
        return result;
    }
    result.read_failed = read == WHOLE_FILE_READ_ERROR;
    size_t bom_length = 0;
    TextEncoding encoding = detect_text_encoding(bytes, &bom_length);
    if (encoding == TEXT_UTF16) {
        result.status = IMPORT_UTF16_REFUSED;
        return result;
    }
    FilePtr errors = open_file(error_file, "wb");
    if (!errors) {
        result.status = IMPORT_CANNOT_CREATE_ERROR_FILE;
        return result;
    }
    std::string header = std::string(CSV_HEADER_LINE) + "\r\n";
    if (!write_items(errors.get(), header.data(), 1, header.size()))
        result.error_file_failed = true;

    CsvRowReader rows(std::string_view(bytes).substr(bom_length));
    RowChecker checker(encoding);
    ImportRun run(store, errors.get(), result);
    std::string_view raw;
    CheckedRow row;
    ScheduleRecord record;
    bool first = true;
    while (rows.next(raw)) {
        // After a read error the last row may be a piece of one.
        if (result.read_failed && rows.row_reached_end())
            break;
        const char* message = checker.check(raw, row, record);
        // The first row is the header unless it is a good row itself.
        bool header_row = first && message;
        first = false;
        if (header_row)
            continue;
        run.add(std::move(row.text), message, record, row.cut);
        row.text = std::string();
    }
    run.flush();
    run.finish();
    bool closed = close_checked(std::move(errors));
    if (!closed)
        result.error_file_failed = true;
    if (result.rejected == 0 && !result.error_file_failed) {
        std::error_code ignored;
        std::filesystem::remove(error_file, ignored);
    }
    return result;
}

std::string import_final_message(const ImportResult& result) {
    std::string message = IMPORT_DONE;
    if (result.cut > 0) {
        char note[128];
        std::snprintf(note, sizeof note, IMPORT_CUT_NOTE, static_cast<int>(result.cut));
        message += std::string("\n") + note;
    }
    if (result.error_file_failed)
        message += std::string("\n") + IMPORT_ERROR_FILE_FAILED;
    else if (result.rejected > 0)
        message += std::string("\n") + IMPORT_HAS_ERRORS;
    if (result.read_failed)
        message += std::string("\n") + IMPORT_READ_FAILED;
    return message;
}

} // namespace vntra
