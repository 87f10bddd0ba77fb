// A fresh, empty folder for one test, removed with everything in it afterwards.
#ifndef VNTRA_TESTS_TEMP_FOLDER_H
#define VNTRA_TESTS_TEMP_FOLDER_H

#include <filesystem>
#include <string>

namespace vntra::testing {

class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

  private:
    std::filesystem::path path_;
};

// The whole content of a file, or an empty text when it cannot be read.
std::string read_file_bytes(const std::filesystem::path& path);
void write_file_bytes(const std::filesystem::path& path, const std::string& bytes);

} // namespace vntra::testing

#endif
