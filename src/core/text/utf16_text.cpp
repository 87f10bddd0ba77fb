#include "text/utf16_text.h"

#include <cstdint>

#include "text/secret_text.h"
#include "text/text_encoding.h"

namespace vntra {
namespace {

bool is_high_surrogate(uint32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool is_low_surrogate(uint32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

void append_utf8(uint32_t code, std::string& utf8) {
    if (code < 0x80) {
        utf8 += static_cast<char>(code);
    } else if (code < 0x800) {
        utf8 += static_cast<char>(0xC0 | code >> 6);
        utf8 += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        utf8 += static_cast<char>(0xE0 | code >> 12);
        utf8 += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        utf8 += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        utf8 += static_cast<char>(0xF0 | code >> 18);
        utf8 += static_cast<char>(0x80 | (code >> 12 & 0x3F));
        utf8 += static_cast<char>(0x80 | (code >> 6 & 0x3F));
        utf8 += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// The character of valid UTF-8 at `i`, which moves past it.
uint32_t next_code(std::string_view utf8, size_t& i) {
    unsigned char lead = static_cast<unsigned char>(utf8[i]);
    size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    uint32_t code = length == 1 ? lead : lead & (0x7F >> length);
    for (size_t k = 1; k < length; ++k)
        code = code << 6 | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    i += length;
    return code;
}

} // namespace

bool utf16_to_utf8(std::u16string_view utf16, std::string& utf8) {
    wipe_secret(utf8);
    utf8.reserve(utf16.size() * 3);
    for (size_t i = 0; i < utf16.size(); ++i) {
        uint32_t code = utf16[i];
        if (is_high_surrogate(code) && i + 1 < utf16.size() && is_low_surrogate(utf16[i + 1])) {
            code = 0x10000 + ((code - 0xD800) << 10) + (utf16[++i] - 0xDC00);
        } else if (is_high_surrogate(code) || is_low_surrogate(code)) {
            wipe_secret(utf8);
            return false;
        }
        append_utf8(code, utf8);
    }
    return true;
}

bool utf8_to_utf16(std::string_view utf8, std::u16string& utf16) {
    wipe_secret(utf16);
    if (!is_valid_utf8(utf8))
        return false;
    utf16.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        uint32_t code = next_code(utf8, i);
        if (code >= 0x10000) {
            utf16 += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
            utf16 += static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            utf16 += static_cast<char16_t>(code);
        }
    }
    return true;
}

} // namespace vntra
