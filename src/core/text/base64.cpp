#include "text/base64.h"

namespace vntra {

std::string base64_encode(std::string_view bytes) {
    static const char ALPHABET[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    for (size_t i = 0; i < bytes.size(); i += 3) {
        size_t left = bytes.size() - i;
        unsigned b0 = static_cast<unsigned char>(bytes[i]);
        unsigned b1 = left > 1 ? static_cast<unsigned char>(bytes[i + 1]) : 0;
        unsigned b2 = left > 2 ? static_cast<unsigned char>(bytes[i + 2]) : 0;
        text += ALPHABET[b0 >> 2];
        text += ALPHABET[(b0 & 0x03) << 4 | b1 >> 4];
        text += left > 1 ? ALPHABET[(b1 & 0x0F) << 2 | b2 >> 6] : '=';
        text += left > 2 ? ALPHABET[b2 & 0x3F] : '=';
    }
    return text;
}

} // namespace vntra
