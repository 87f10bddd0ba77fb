// Which encoding a text file that people bring to the program is in: the
// Shift-JIS the program keeps, UTF-8 as today's spreadsheets and editors
// write it (with or without a byte order mark), or UTF-16, which the
// program does not read.
#ifndef VNTRA_TEXT_TEXT_ENCODING_H
#define VNTRA_TEXT_TEXT_ENCODING_H

#include <cstddef>
#include <string_view>

namespace vntra {

enum TextEncoding { TEXT_SHIFT_JIS, TEXT_UTF8, TEXT_UTF16 };

// Decides from the whole content of a file:
// - a UTF-8 byte order mark means UTF-8;
// - a UTF-16 byte order mark, or the shape of UTF-16 (many NUL bytes, nearly
//   all on one side of the byte pairs), means UTF-16;
// - otherwise valid UTF-8 holding at least one multi-byte sequence is UTF-8;
// - everything else is Shift-JIS (plain ASCII included).
// `bom_length`, when given, receives the length of the byte order mark to
// skip (0 when there is none).
TextEncoding detect_text_encoding(std::string_view bytes, size_t* bom_length);

// True when the text is valid UTF-8: no stray or missing continuation bytes,
// no overlong forms, no surrogates, nothing above U+10FFFF.
bool is_valid_utf8(std::string_view bytes);

// True when every byte is a whole Shift-JIS (code page 932) character: ASCII,
// a half-width katakana, or a lead byte followed by a trail byte.
bool is_valid_sjis(std::string_view bytes);

} // namespace vntra

#endif
