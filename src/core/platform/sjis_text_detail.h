// Shared by the code page conversion's own sources only.
#ifndef VNTRA_PLATFORM_SJIS_TEXT_DETAIL_H
#define VNTRA_PLATFORM_SJIS_TEXT_DETAIL_H

#include <string>
#include <string_view>

namespace vntra::sjis_text_detail {

// The system's own conversion of a UTF-8 text to Shift-JIS, appended to
// `sjis`. Exact: false when the text is not valid UTF-8 or holds a character
// without a Shift-JIS form. Not exact: such characters come out as "?" and
// the result is always true.
bool append_sjis(std::string_view utf8, std::string& sjis, bool exact);

} // namespace vntra::sjis_text_detail

#endif
