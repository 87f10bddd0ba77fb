// Removing the half-width blanks users leave around settings texts.
#ifndef VNTRA_TEXT_TRIM_SPACES_H
#define VNTRA_TEXT_TRIM_SPACES_H

#include <string>

namespace vntra {

// Removes leading and trailing 0x20 bytes (not tabs, not the full-width
// space) from a zero-terminated text, in place. A text that is empty or only
// blanks is left as it is and gives false; otherwise true. Shift-JIS trail
// bytes are never 0x20, so this is safe on Japanese text.
bool trim_spaces(char* text);
bool trim_spaces(std::string& text);

} // namespace vntra

#endif
