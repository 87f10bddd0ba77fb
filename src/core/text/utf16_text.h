// UTF-16, as the W functions of the window hand over what was typed, and
// UTF-8, as the SMTP login sends the account and the password. Converted
// directly, not through Shift-JIS, which has no form for many characters a
// password may hold. Both write into a buffer reserved at its final size,
// so that a secret leaves no copy behind in memory given back.
#ifndef VNTRA_TEXT_UTF16_TEXT_H
#define VNTRA_TEXT_UTF16_TEXT_H

#include <string>
#include <string_view>

namespace vntra {

// False (and `utf8` empty) for an unpaired surrogate.
bool utf16_to_utf8(std::u16string_view utf16, std::string& utf8);
// False (and `utf16` empty) for bytes that are not valid UTF-8: stray or
// missing continuation bytes, overlong forms, surrogates, beyond U+10FFFF.
bool utf8_to_utf16(std::string_view utf8, std::u16string& utf16);

} // namespace vntra

#endif
