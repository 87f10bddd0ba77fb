#include "text/sjis_cut.h"

#include <cstring>

namespace vntra {

size_t sjis_cut_length(std::string_view text, size_t max_bytes) {
    size_t position = 0;
    while (position < text.size()) {
        size_t width = 1;
        if (is_sjis_lead_byte(static_cast<unsigned char>(text[position])) &&
            position + 1 < text.size())
            width = 2;
        if (position + width > max_bytes)
            break;
        position += width;
    }
    return position;
}

std::string sjis_cut(std::string_view text, size_t max_bytes) {
    return std::string(text.substr(0, sjis_cut_length(text, max_bytes)));
}

void copy_to_field(char* field, size_t field_size, std::string_view text) {
    if (field_size == 0)
        return;
    std::memset(field, 0, field_size);
    size_t length = sjis_cut_length(text.substr(0, text.find('\0')), field_size - 1);
    if (length > 0) // an empty view may carry no data pointer at all
        std::memcpy(field, text.data(), length);
}

} // namespace vntra
