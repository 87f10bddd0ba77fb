#include "exchange/csv_import.h"

#include <cstdio>
#include <system_error>
#include <vector>

#include "exchange/exchange_texts.h"
#include "exchange/import_line.h"
#include "platform/sjis_text.h"
#include "store/record_appender.h"

namespace vntra {
namespace {

const size_t READ_CHUNK = 64 * 1024;
// Good lines are stored in batches of this many: few writes, and a failing
// batch sends no more than these lines to the error file.
const size_t BATCH_LINES = 4096;
const char UTF8_BOM[] = "\xEF\xBB\xBF";

// Lines of one batch, in file order: a good line carries its record, a bad
// one its message.
struct BatchLine {
    std::string line;
    const char* message;
};

class ImportRun {
  public:
    ImportRun(DataFile& store, std::FILE* errors, ImportResult& result)
        : appender_(store), errors_(errors), result_(result) {}

    void add(std::string line, const char* message, const ScheduleRecord& record) {
        if (!message)
            records_.push_back(record);
        lines_.push_back({std::move(line), message});
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
            if (!message)
                continue;
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
    // What a C string of the line holds, up to its first line break.
    std::string text(line.substr(0, line.find_first_of(std::string_view("\n\0", 2))));
    text += ',';
    text += message;
    return text;
}

LineReader::LineReader(std::FILE* file) : file_(file) {
    fill();
    if (buffer_.compare(0, 3, UTF8_BOM) == 0) {
        utf8_ = true;
        position_ = 3;
    }
}

bool LineReader::fill() {
    if (at_end_)
        return false;
    buffer_.erase(0, position_);
    position_ = 0;
    size_t old_size = buffer_.size();
    buffer_.resize(old_size + READ_CHUNK);
    size_t got = 0;
    bool read = read_items(file_, buffer_.data() + old_size, 1, READ_CHUNK, got);
    buffer_.resize(old_size + got);
    if (!read)
        failed_ = true;
    if (!read || got < READ_CHUNK)
        at_end_ = true;
    return got > 0;
}

bool LineReader::next(std::string& line) {
    size_t searched = position_;
    for (;;) {
        size_t newline = buffer_.find('\n', searched);
        if (newline != std::string::npos) {
            size_t end =
                newline > position_ && buffer_[newline - 1] == '\r' ? newline - 1 : newline;
            line.assign(buffer_, position_, end - position_);
            position_ = newline + 1;
            return true;
        }
        size_t scanned = buffer_.size() - position_;
        if (!fill()) {
            // After a read error the rest is a piece of a line, not a line.
            if (failed_ || position_ == buffer_.size())
                return false;
            // The last line has no line end.
            line.assign(buffer_, position_, std::string::npos);
            position_ = buffer_.size();
            return true;
        }
        searched = position_ + scanned;
    }
}

ImportResult import_schedule_file(DataFile& store, const std::filesystem::path& input,
                                  const std::filesystem::path& error_file) {
    ImportResult result;
    FilePtr source = open_file(input, "rb");
    if (!source) {
        result.status = IMPORT_CANNOT_OPEN_INPUT;
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

    LineReader reader(source.get());
    ImportRun run(store, errors.get(), result);
    std::string line;
    std::string converted;
    ScheduleRecord record;
    bool first = true;
    while (reader.next(line)) {
        if (first) {
            first = false; // the header
            continue;
        }
        if (reader.is_utf8()) {
            if (!utf8_to_sjis_exact(line, converted)) {
                run.add(utf8_to_sjis(line), IMPORT_NOT_SJIS, record);
                continue;
            }
            line.swap(converted);
        }
        const char* message = check_import_line(line, record);
        run.add(std::move(line), message, record);
        line = std::string();
    }
    run.flush();
    run.finish();
    result.read_failed = reader.failed();
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
    std::string message = result.rejected == 0 ? IMPORT_DONE : IMPORT_DONE_WITH_ERRORS;
    if (result.error_file_failed)
        message = std::string(IMPORT_DONE) + "\n" + IMPORT_ERROR_FILE_FAILED;
    if (result.read_failed)
        message += std::string("\n") + IMPORT_READ_FAILED;
    return message;
}

} // namespace vntra
