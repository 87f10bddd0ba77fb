// Shift-JIS to the 7-bit ISO-2022-JP that mail carries, and the RFC 2047
// encoded word that puts such text into a header.
#ifndef VNTRA_MAIL_ISO2022JP_H
#define VNTRA_MAIL_ISO2022JP_H

#include <cstdint>
#include <string>
#include <string_view>

namespace vntra {

// A double-byte Shift-JIS code (lead × 256 + trail) as its JIS X 0208 code,
// or 0 when it has none (not a lead and trail pair, or the user-defined and
// extension areas). Rows that JIS X 0208 leaves empty map arithmetically.
uint16_t sjis_to_jis(uint16_t code);

// An IBM extension code (0xFA40 .. 0xFC4B, as text typed on Windows often
// carries) as the code Windows' own converters use for the same character:
// its JIS X 0208 form, its NEC row-13 form (0x87..) or its NEC-selected twin
// (0xED.., 0xEE..). Every other code comes back unchanged.
uint16_t ibm_extension_twin(uint16_t code);

// The JIS X 0208 code put in place of a character that has none: "〓".
const uint16_t JIS_REPLACEMENT = 0x222E;

// Shift-JIS text to ISO-2022-JP, ending in ASCII mode, with each CR LF (and
// a lone CR) turned into one LF. The text ends at its first zero byte.
// Everything that comes out is 7-bit: half-width katakana become their
// full-width forms (with a following voiced or semi-voiced mark joined),
// IBM extension characters take the code of their twin, double-byte
// characters without a JIS code become "〓", and bytes that are
// no character at all, or would switch the decoder's mode, become "?".
std::string to_iso2022jp(std::string_view sjis);

// The Shift-JIS length of the text as it arrives after to_iso2022jp: every
// half-width katakana (with the mark joined to it) counts as the two bytes of
// its full-width form, as does a lone lead byte that becomes "〓"; everything
// else counts as it is. The text ends at its first zero byte.
size_t arriving_length(std::string_view sjis);

// "=?ISO-2022-JP?B?" + Base64 of the bytes + "?=", never split.
std::string encode_header_word(std::string_view jis);

} // namespace vntra

#endif
