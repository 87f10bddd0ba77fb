// Conversions between the program's Shift-JIS (code page 932) texts and the
// system's own forms: UTF-8 for people reading test output, and file paths.
#ifndef VNTRA_PLATFORM_SJIS_TEXT_H
#define VNTRA_PLATFORM_SJIS_TEXT_H

#include <filesystem>
#include <string>
#include <string_view>

namespace vntra {

// Bytes that are not valid Shift-JIS come out as U+FFFD, never dropped silently.
std::string sjis_to_utf8(std::string_view sjis);
// Characters with no Shift-JIS form come out as "?".
std::string utf8_to_sjis(std::string_view utf8);
// The same, but false (and `sjis` undefined) when the text is not valid
// UTF-8 or holds a character that Shift-JIS has no form for.
bool utf8_to_sjis_exact(std::string_view utf8, std::string& sjis);

std::filesystem::path path_from_sjis(std::string_view sjis);
std::string sjis_from_path(const std::filesystem::path& path);

} // namespace vntra

#endif
