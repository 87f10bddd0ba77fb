#include "text/text_encoding.h"

#include <algorithm>
#include <cstdint>

#include "text/sjis_cut.h"

namespace vntra {
namespace {

const std::string_view UTF8_BOM = "\xEF\xBB\xBF";
const std::string_view UTF16_LE_BOM = "\xFF\xFE";
const std::string_view UTF16_BE_BOM = "\xFE\xFF";

// UTF-16 shows itself in its first line already: every ASCII character (the
// commas, digits and line ends of a CSV file) has a NUL byte on the same side
// of its pair. A head is enough, and a large file is not walked twice.
const size_t UTF16_HEAD_BYTES = 4096;

bool looks_like_utf16(std::string_view bytes) {
    size_t pairs = std::min(bytes.size(), UTF16_HEAD_BYTES) / 2;
    size_t even_nuls = 0;
    size_t odd_nuls = 0;
    for (size_t i = 0; i < pairs; ++i) {
        even_nuls += bytes[2 * i] == '\0';
        odd_nuls += bytes[2 * i + 1] == '\0';
    }
    // Shift-JIS and UTF-8 texts hold no NUL at all; one stray NUL in a
    // damaged file is not enough to refuse the whole file.
    size_t nuls = even_nuls + odd_nuls;
    size_t one_side = std::max(even_nuls, odd_nuls);
    return pairs > 0 && nuls * 8 >= pairs && one_side * 10 >= nuls * 9;
}

bool is_continuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

} // namespace

bool is_valid_utf8(std::string_view bytes) {
    size_t i = 0;
    while (i < bytes.size()) {
        unsigned char lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        size_t length = 0;
        // The smallest and largest second byte: these bounds rule out
        // overlong forms, surrogates and code points above U+10FFFF.
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            if (lead == 0xE0)
                low = 0xA0;
            if (lead == 0xED)
                high = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            if (lead == 0xF0)
                low = 0x90;
            if (lead == 0xF4)
                high = 0x8F;
        } else {
            return false;
        }
        if (bytes.size() - i < length)
            return false;
        unsigned char second = static_cast<unsigned char>(bytes[i + 1]);
        if (second < low || second > high)
            return false;
        for (size_t k = 2; k < length; ++k)
            if (!is_continuation(static_cast<unsigned char>(bytes[i + k])))
                return false;
        i += length;
    }
    return true;
}

bool is_valid_sjis(std::string_view bytes) {
    for (size_t i = 0; i < bytes.size(); ++i) {
        unsigned char byte = static_cast<unsigned char>(bytes[i]);
        if (byte < 0x80 || (byte >= 0xA1 && byte <= 0xDF))
            continue;
        if (!is_sjis_lead_byte(byte) || i + 1 == bytes.size())
            return false;
        unsigned char trail = static_cast<unsigned char>(bytes[++i]);
        if (trail < 0x40 || trail == 0x7F || trail > 0xFC)
            return false;
    }
    return true;
}

// The UTF-8 decision looks at the whole file, not a head: a file of plain
// ASCII lines whose first Japanese character comes at line 5,000 is still
// UTF-8, and a Shift-JIS file whose first lines happen to pass as UTF-8 is
// still Shift-JIS. One pass over the bytes costs little next to reading them.
TextEncoding detect_text_encoding(std::string_view bytes, size_t* bom_length) {
    size_t skip = 0;
    TextEncoding encoding = TEXT_SHIFT_JIS;
    if (bytes.substr(0, UTF8_BOM.size()) == UTF8_BOM) {
        skip = UTF8_BOM.size();
        encoding = TEXT_UTF8;
    } else if (bytes.substr(0, 2) == UTF16_LE_BOM || bytes.substr(0, 2) == UTF16_BE_BOM) {
        skip = 2;
        encoding = TEXT_UTF16;
    } else if (looks_like_utf16(bytes)) {
        encoding = TEXT_UTF16;
    } else {
        bool multi_byte = std::any_of(bytes.begin(), bytes.end(),
                                      [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
        if (multi_byte && is_valid_utf8(bytes))
            encoding = TEXT_UTF8;
    }
    if (bom_length)
        *bom_length = skip;
    return encoding;
}

} // namespace vntra
