// Numbers typed into edit fields: optional leading blanks and a sign, then
// the digits up to the first other character. No digits give 0.
#ifndef VNTRA_TEXT_DECIMAL_PREFIX_H
#define VNTRA_TEXT_DECIMAL_PREFIX_H

#include <cstdint>
#include <string_view>

namespace vntra {

// The value of the leading decimal digits of text, after the text is cut to
// max_chars bytes (the width the field is read with). Values beyond the
// int32 range stop at its ends.
int32_t decimal_prefix(std::string_view text, size_t max_chars = std::string_view::npos);

} // namespace vntra

#endif
