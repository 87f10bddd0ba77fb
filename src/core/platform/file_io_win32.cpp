#include "platform/file_io.h"

#include <io.h>
#include <string>
#include <windows.h>

namespace vntra {

FilePtr open_file(const std::filesystem::path& path, const char* mode) {
    std::wstring wide_mode(mode, mode + std::char_traits<char>::length(mode));
    return FilePtr(::_wfopen(path.c_str(), wide_mode.c_str()));
}

bool flush_to_disk(std::FILE* file) {
    return std::fflush(file) == 0 && ::_commit(::_fileno(file)) == 0;
}

bool replace_file(const std::filesystem::path& from, const std::filesystem::path& to) {
    return ::MoveFileExW(from.c_str(), to.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

} // namespace vntra
