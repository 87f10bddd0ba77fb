// Folder names as Shift-JIS texts.
#ifndef VNTRA_TEXT_FOLDER_TEXT_H
#define VNTRA_TEXT_FOLDER_TEXT_H

#include <string>
#include <string_view>

namespace vntra {

// The folder with exactly one backslash at its end. A folder that already
// ends with one (a drive root such as "C:\") gets no second; a last
// character whose second byte is 0x5C (表, ソ) is not a backslash. An empty
// text stays empty.
std::string with_trailing_backslash(std::string_view folder);

} // namespace vntra

#endif
