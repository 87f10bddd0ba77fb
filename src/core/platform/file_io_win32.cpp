#include "platform/file_io_detail.h"

#include <io.h>
#include <string>
#include <windows.h>

namespace vntra {
namespace file_io_detail {

FilePtr open_counted(const std::filesystem::path& path, const char* mode) {
    std::wstring wide_mode(mode, mode + std::char_traits<char>::length(mode));
    return FilePtr(::_wfopen(path.c_str(), wide_mode.c_str()));
}

} // namespace file_io_detail

bool flush_to_disk(std::FILE* file) {
    if (file_io_detail::fault_here())
        return false;
    return std::fflush(file) == 0 && ::_commit(::_fileno(file)) == 0;
}

bool file_length(std::FILE* file, uint64_t& length) {
    if (file_io_detail::fault_here())
        return false;
    HANDLE handle = reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(file)));
    LARGE_INTEGER size;
    if (std::fflush(file) != 0 || handle == INVALID_HANDLE_VALUE ||
        !::GetFileSizeEx(handle, &size) || size.QuadPart < 0)
        return false;
    length = static_cast<uint64_t>(size.QuadPart);
    return true;
}

bool cut_file(std::FILE* file, uint64_t length) {
    if (file_io_detail::fault_here())
        return false;
    HANDLE handle = reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(file)));
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(length);
    return std::fflush(file) == 0 && handle != INVALID_HANDLE_VALUE &&
           ::SetFilePointerEx(handle, end, nullptr, FILE_BEGIN) && ::SetEndOfFile(handle);
}

// std::filesystem's rename and copy_file cannot be used here: mingw's library
// sees every file on a drive as the same file (the system reports no inode
// numbers) and refuses to replace one with another.
bool replace_file(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (file_io_detail::fault_here())
        return false;
    return ::MoveFileExW(from.c_str(), to.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

} // namespace vntra
