// The few file operations whose portable forms are not enough: paths that
// hold any character, flushing to the disk, and replacing a file in one step.
#ifndef VNTRA_PLATFORM_FILE_IO_H
#define VNTRA_PLATFORM_FILE_IO_H

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

// Pushes everything written so far through to the disk.
bool flush_to_disk(std::FILE* file);

// Closes the file and reports whether every byte reached it.
bool close_checked(FilePtr file);

// Puts `from` in the place of `to` in one step, replacing `to` if it exists,
// so that there is never a moment without one complete file at `to`.
bool replace_file(const std::filesystem::path& from, const std::filesystem::path& to);

} // namespace vntra

#endif
