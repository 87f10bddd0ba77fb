#include "platform/file_io_detail.h"

#include <system_error>
#include <vector>

namespace vntra {
namespace {

struct FaultPlan {
    long fail_at = 0;
    long counted = 0;
    bool injected = false;
};

FaultPlan& fault_plan() {
    static FaultPlan plan;
    return plan;
}

} // namespace

namespace file_io_detail {

bool fault_here() {
    FaultPlan& plan = fault_plan();
    ++plan.counted;
    if (plan.fail_at != 0 && plan.counted == plan.fail_at) {
        plan.injected = true;
        return true;
    }
    return false;
}

} // namespace file_io_detail

void fail_file_operation(long n) {
    fault_plan() = FaultPlan{n, 0, false};
}

long file_operations_counted() {
    return fault_plan().counted;
}

bool file_fault_injected() {
    return fault_plan().injected;
}

FilePtr open_file(const std::filesystem::path& path, const char* mode) {
    if (file_io_detail::fault_here())
        return nullptr;
    return file_io_detail::open_counted(path, mode);
}

FilePtr open_file_unbuffered(const std::filesystem::path& path, const char* mode) {
    FilePtr file = open_file(path, mode);
    if (file)
        std::setvbuf(file.get(), nullptr, _IONBF, 0);
    return file;
}

bool read_items(std::FILE* file, void* buffer, size_t size, size_t count, size_t& got) {
    got = 0;
    if (file_io_detail::fault_here())
        return false;
    got = std::fread(buffer, size, count, file);
    return got == count || std::ferror(file) == 0;
}

bool write_items(std::FILE* file, const void* data, size_t size, size_t count) {
    if (file_io_detail::fault_here())
        return false;
    return std::fwrite(data, size, count, file) == count;
}

bool flush_file(std::FILE* file) {
    if (file_io_detail::fault_here())
        return false;
    return std::fflush(file) == 0;
}

bool close_checked(FilePtr file) {
    if (!file)
        return false;
    bool had_error = std::ferror(file.get()) != 0;
    bool closed = std::fclose(file.release()) == 0;
    // A close that fails is counted after the file is gone, as a failing
    // close leaves it.
    return !file_io_detail::fault_here() && closed && !had_error;
}

bool copy_file_over(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (file_io_detail::fault_here())
        return false;
    // A destination that exists but may not be written (a read-only backup)
    // keeps what it holds; replacing the directory entry would get round that.
    if (!file_is_missing(to)) {
        FilePtr existing = open_file_unbuffered(to, "rb+");
        if (!existing || !close_checked(std::move(existing)))
            return false;
    }
    FilePtr source = open_file_unbuffered(from, "rb");
    if (!source)
        return false;
    std::filesystem::path temporary = to;
    temporary += ".new";
    FilePtr target = open_file_unbuffered(temporary, "wb");
    bool copied = target != nullptr;
    std::vector<char> block(64 * 1024);
    while (copied) {
        size_t got = 0;
        copied = read_items(source.get(), block.data(), 1, block.size(), got) &&
                 write_items(target.get(), block.data(), 1, got);
        if (got < block.size())
            break;
    }
    copied = copied && flush_to_disk(target.get());
    copied = close_checked(std::move(target)) && copied;
    copied = close_checked(std::move(source)) && copied;
    if (copied && replace_file(temporary, to))
        return true;
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
    return false;
}

bool file_is_missing(const std::filesystem::path& path) {
    std::error_code error;
    std::filesystem::file_status status = std::filesystem::status(path, error);
    return status.type() == std::filesystem::file_type::not_found;
}

} // namespace vntra
