#include "platform/file_io_detail.h"

#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vntra {
namespace file_io_detail {

FilePtr open_counted(const std::filesystem::path& path, const char* mode) {
    return FilePtr(std::fopen(path.c_str(), mode));
}

} // namespace file_io_detail

bool flush_to_disk(std::FILE* file) {
    if (file_io_detail::fault_here())
        return false;
    return std::fflush(file) == 0 && ::fsync(::fileno(file)) == 0;
}

bool file_length(std::FILE* file, uint64_t& length) {
    if (file_io_detail::fault_here())
        return false;
    struct stat status;
    // A folder opens here too, but holds no bytes of a file.
    if (std::fflush(file) != 0 || ::fstat(::fileno(file), &status) != 0 ||
        !S_ISREG(status.st_mode) || status.st_size < 0)
        return false;
    length = static_cast<uint64_t>(status.st_size);
    return true;
}

bool cut_file(std::FILE* file, uint64_t length) {
    if (file_io_detail::fault_here())
        return false;
    return std::fflush(file) == 0 && ::ftruncate(::fileno(file), static_cast<off_t>(length)) == 0;
}

bool replace_file(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (file_io_detail::fault_here())
        return false;
    if (std::rename(from.c_str(), to.c_str()) != 0)
        return false;
    // Make the new directory entry durable too.
    int dir = ::open(to.parent_path().empty() ? "." : to.parent_path().c_str(), O_RDONLY);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

} // namespace vntra
