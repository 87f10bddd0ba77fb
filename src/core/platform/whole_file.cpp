#include "platform/whole_file.h"

#include <string>
#include <system_error>

namespace vntra {
namespace {

// Enough names for stale temporary files left by a crash and for a user's
// own "<name>.new"; neither is ever overwritten.
const int TEMPORARY_NAMES = 9;
const size_t READ_CHUNK = 256 * 1024;

std::filesystem::path free_temporary_name(const std::filesystem::path& target) {
    for (int n = 1; n <= TEMPORARY_NAMES; ++n) {
        std::filesystem::path candidate = target;
        candidate += n == 1 ? std::string(".new") : ".new" + std::to_string(n);
        if (file_is_missing(candidate))
            return candidate;
    }
    return {};
}

// Replacing the directory entry would get round a read-only file or one that
// another program holds open for itself, so ask the file first.
bool may_replace(const std::filesystem::path& target) {
    if (file_is_missing(target))
        return true;
    FilePtr existing = open_file_unbuffered(target, "rb+");
    return existing && close_checked(std::move(existing));
}

} // namespace

WholeFileWriter::WholeFileWriter(const std::filesystem::path& target) : target_(target) {
    if (!may_replace(target_))
        return;
    temporary_ = free_temporary_name(target_);
    if (!temporary_.empty())
        file_ = open_file_unbuffered(temporary_, "wb");
    if (!file_)
        temporary_.clear();
}

WholeFileWriter::~WholeFileWriter() {
    discard();
}

bool WholeFileWriter::write(std::string_view bytes) {
    if (!file_)
        return false;
    written_ =
        written_ && (bytes.empty() || write_items(file_.get(), bytes.data(), 1, bytes.size()));
    return written_;
}

bool WholeFileWriter::commit() {
    if (!file_)
        return false;
    bool whole = written_ && flush_to_disk(file_.get());
    whole = close_checked(std::move(file_)) && whole;
    if (whole && replace_file(temporary_, target_)) {
        temporary_.clear();
        return true;
    }
    discard();
    return false;
}

void WholeFileWriter::discard() {
    file_.reset();
    if (temporary_.empty())
        return;
    std::error_code ignored;
    std::filesystem::remove(temporary_, ignored);
    temporary_.clear();
}

bool write_whole_file(const std::filesystem::path& target, std::string_view bytes) {
    WholeFileWriter writer(target);
    return writer.write(bytes) && writer.commit();
}

WholeFileRead read_whole_file(const std::filesystem::path& path, std::string& bytes) {
    bytes.clear();
    FilePtr file = open_file(path, "rb");
    if (!file)
        return WHOLE_FILE_CANNOT_OPEN;
    for (;;) {
        size_t old_size = bytes.size();
        bytes.resize(old_size + READ_CHUNK);
        size_t got = 0;
        bool read = read_items(file.get(), bytes.data() + old_size, 1, READ_CHUNK, got);
        bytes.resize(old_size + got);
        if (!read)
            return WHOLE_FILE_READ_ERROR;
        if (got < READ_CHUNK)
            return WHOLE_FILE_READ;
    }
}

} // namespace vntra
