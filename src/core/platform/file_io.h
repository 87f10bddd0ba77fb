// The file operations every stored file goes through: paths that hold any
// character, reads that tell an error from the end of the file, flushing to
// the disk, replacing and copying a file in one step. Each operation counts
// itself, so that a test can make any one of them fail.
#ifndef VNTRA_PLATFORM_FILE_IO_H
#define VNTRA_PLATFORM_FILE_IO_H

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>

namespace vntra {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// fopen for any path (wide on Windows). Null when the file cannot be opened.
FilePtr open_file(const std::filesystem::path& path, const char* mode);

// The same without a stdio buffer: every write reaches the system at once,
// so a failure shows at the write that caused it and nothing is left to go
// wrong at the close. The store opens its files this way.
FilePtr open_file_unbuffered(const std::filesystem::path& path, const char* mode);

// Reads up to `count` items of `size` bytes; `got` tells how many whole items
// arrived. False only for a read error: a file that simply ends early gives
// true with a smaller `got`.
bool read_items(std::FILE* file, void* buffer, size_t size, size_t count, size_t& got);

// Writes `count` items of `size` bytes; true when every one was written.
bool write_items(std::FILE* file, const void* data, size_t size, size_t count);

// Hands what is buffered to the system.
bool flush_file(std::FILE* file);

// Pushes everything written so far through to the disk.
bool flush_to_disk(std::FILE* file);

// Closes the file and reports whether every byte reached it.
bool close_checked(FilePtr file);

// The length of an open file in bytes, as the system has it.
bool file_length(std::FILE* file, uint64_t& length);

// Cuts an open file back to `length` bytes: takes back what a write that
// was given up left behind its end.
bool cut_file(std::FILE* file, uint64_t length);

// Puts `from` in the place of `to` in one step, replacing `to` if it exists,
// so that there is never a moment without one complete file at `to`.
bool replace_file(const std::filesystem::path& from, const std::filesystem::path& to);

// Makes `to` a byte-for-byte copy of `from`, replacing an older `to` only once
// the whole copy is on the disk. A `to` that may not be written is left alone.
bool copy_file_over(const std::filesystem::path& from, const std::filesystem::path& to);

// True only when the system says that nothing exists at the path; a file that
// is there but cannot be opened, or a path that cannot be checked, is not
// missing.
bool file_is_missing(const std::filesystem::path& path);

// ---- test seam ----------------------------------------------------------------
// Makes the n-th counted file operation from now on fail as the system would
// report it (1 = the next one); 0 lets every operation through again. The
// counted operations are opening, reading, writing, flushing, closing,
// measuring, cutting, replacing and copying.
void fail_file_operation(long n);
// Counted operations since the last fail_file_operation call.
long file_operations_counted();
// Whether the chosen operation was reached and made to fail.
bool file_fault_injected();

} // namespace vntra

#endif
