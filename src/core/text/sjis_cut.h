// Cutting Shift-JIS texts at a byte count without splitting a double-byte
// character: every fixed-width field and every shortened caption uses this.
#ifndef VNTRA_TEXT_SJIS_CUT_H
#define VNTRA_TEXT_SJIS_CUT_H

#include <cstddef>
#include <string>
#include <string_view>

namespace vntra {

// True for the first byte of a double-byte Shift-JIS character.
inline bool is_sjis_lead_byte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// The longest prefix of text, at most max_bytes long, that ends on a
// character boundary. A lead byte with nothing after it counts as one byte.
size_t sjis_cut_length(std::string_view text, size_t max_bytes);

// The text cut to at most max_bytes bytes at a character boundary.
std::string sjis_cut(std::string_view text, size_t max_bytes);

// Copies text into a fixed field of field_size bytes: cut at a character
// boundary to field_size - 1 bytes, zero-terminated, the rest zero-filled.
void copy_to_field(char* field, size_t field_size, std::string_view text);

} // namespace vntra

#endif
