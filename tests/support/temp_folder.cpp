#include "support/temp_folder.h"

#include <atomic>
#include <random>
#include <fstream>
#include <iterator>

namespace vntra::testing {

TempFolder::TempFolder() {
    static std::atomic<int> serial{0};
    std::random_device random;
    auto stamp = (static_cast<unsigned long long>(random()) << 32) | random();
    std::error_code error;
    std::filesystem::path base = std::filesystem::temp_directory_path(error);
    path_ = base / ("vntra-test-" + std::to_string(stamp) + "-" + std::to_string(serial++));
    std::filesystem::create_directories(path_, error);
}

TempFolder::~TempFolder() {
    std::error_code error;
    std::filesystem::remove_all(path_, error);
}

std::string read_file_bytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void write_file_bytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

} // namespace vntra::testing
