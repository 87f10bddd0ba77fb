#include "text/folder_text.h"

#include "text/sjis_cut.h"

namespace vntra {

std::string with_trailing_backslash(std::string_view folder) {
    std::string text(folder);
    if (text.empty())
        return text;
    // Only a whole single-byte character at the end counts as a backslash.
    size_t whole = sjis_cut_length(folder, folder.size() - 1);
    bool ends_with_backslash = whole == folder.size() - 1 && folder.back() == '\\';
    if (!ends_with_backslash)
        text += '\\';
    return text;
}

} // namespace vntra
