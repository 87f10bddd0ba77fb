// Output files that people choose (exports): the path holds either what it
// held before or the complete new file, never a half-written one, whatever
// fails on the way (a full disk, a lost network drive, the program ending).
#ifndef VNTRA_PLATFORM_WHOLE_FILE_H
#define VNTRA_PLATFORM_WHOLE_FILE_H

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/file_io.h"

namespace vntra {

// Writes into a temporary file beside the target ("<name>.new", or
// "<name>.new2" and on when that name is taken by another file) and moves it
// into the target's place only when it is whole and on the disk.
//
//     WholeFileWriter out(path);
//     if (!out.is_open()) ...             // the target may not be written
//     out.write(part); out.write(more);  // as the content is produced
//     if (!out.commit()) ...             // the target is as it was
//
// A writer that is destroyed without a successful commit removes its
// temporary file and leaves the target alone.
class WholeFileWriter {
  public:
    // A target that exists but may not be written (read-only, or held open
    // by a program that keeps others from writing) is refused here, before
    // anything is written: is_open() is then false.
    explicit WholeFileWriter(const std::filesystem::path& target);
    ~WholeFileWriter();
    WholeFileWriter(const WholeFileWriter&) = delete;
    WholeFileWriter& operator=(const WholeFileWriter&) = delete;

    bool is_open() const { return file_ != nullptr; }
    // False when this or an earlier write failed; later writes are skipped.
    bool write(std::string_view bytes);
    // Flushes the temporary file to the disk, closes it and puts it in the
    // target's place. True only when the target now holds every byte written.
    bool commit();

  private:
    void discard();

    std::filesystem::path target_;
    std::filesystem::path temporary_;
    FilePtr file_;
    bool written_ = true;
};

// The whole content in one call.
bool write_whole_file(const std::filesystem::path& target, std::string_view bytes);

enum WholeFileRead {
    WHOLE_FILE_READ,        // `bytes` holds the whole file
    WHOLE_FILE_CANNOT_OPEN, // `bytes` is empty
    WHOLE_FILE_READ_ERROR,  // `bytes` holds what came before the error
};

// Reads a file that people bring in (an import) whole, so that it can be
// judged as a whole (its encoding) before any of it is used. A read error is
// never taken for the end of the file.
WholeFileRead read_whole_file(const std::filesystem::path& path, std::string& bytes);

} // namespace vntra

#endif
