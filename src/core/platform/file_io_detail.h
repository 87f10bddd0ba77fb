// Shared by the file layer's own sources only.
#ifndef VNTRA_PLATFORM_FILE_IO_DETAIL_H
#define VNTRA_PLATFORM_FILE_IO_DETAIL_H

#include "platform/file_io.h"

namespace vntra::file_io_detail {

// Every counted operation asks first; true means "fail now".
bool fault_here();

// The system's own open, not counted.
FilePtr open_counted(const std::filesystem::path& path, const char* mode);

} // namespace vntra::file_io_detail

#endif
