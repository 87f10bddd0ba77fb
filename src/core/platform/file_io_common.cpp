#include "platform/file_io.h"

namespace vntra {

bool close_checked(FilePtr file) {
    if (!file)
        return false;
    bool had_error = std::ferror(file.get()) != 0;
    return std::fclose(file.release()) == 0 && !had_error;
}

} // namespace vntra
