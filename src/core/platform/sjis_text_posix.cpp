#include "platform/sjis_text.h"
#include "platform/sjis_text_detail.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>

namespace vntra {
namespace {

// iconv with a replacement for every byte sequence it cannot convert.
std::string convert(const char* to, const char* from, std::string_view text,
                    std::string_view replacement, size_t skip_unit) {
    iconv_t cd = ::iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::string(text);
    std::string result;
    char buffer[256];
    char* in = const_cast<char*>(text.data());
    size_t in_left = text.size();
    while (in_left > 0) {
        char* out = buffer;
        size_t out_left = sizeof buffer;
        size_t rc = ::iconv(cd, &in, &in_left, &out, &out_left);
        result.append(buffer, out - buffer);
        if (rc == static_cast<size_t>(-1) && errno != E2BIG) {
            // Invalid or truncated input: replace one unit and go on.
            result.append(replacement);
            size_t skip = std::min(in_left, skip_unit);
            if (errno == EILSEQ && from[0] == 'U') {
                // Skip one whole UTF-8 character.
                unsigned char lead = static_cast<unsigned char>(*in);
                skip = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
                skip = std::min(skip, in_left);
            }
            in += skip;
            in_left -= skip;
        }
    }
    ::iconv_close(cd);
    return result;
}

} // namespace

std::string sjis_to_utf8(std::string_view sjis) {
    return convert("UTF-8", "CP932", sjis, "\xEF\xBF\xBD", 1);
}

namespace sjis_text_detail {

bool append_sjis(std::string_view utf8, std::string& sjis, bool exact) {
    if (utf8.empty())
        return true;
    if (!exact) {
        sjis += convert("CP932", "UTF-8", utf8, "?", 1);
        return true;
    }
    iconv_t cd = ::iconv_open("CP932", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    char buffer[256];
    char* in = const_cast<char*>(utf8.data());
    size_t in_left = utf8.size();
    bool ok = true;
    while (ok && in_left > 0) {
        char* out = buffer;
        size_t out_left = sizeof buffer;
        size_t rc = ::iconv(cd, &in, &in_left, &out, &out_left);
        sjis.append(buffer, out - buffer);
        ok = rc != static_cast<size_t>(-1) || errno == E2BIG;
    }
    ::iconv_close(cd);
    return ok;
}

} // namespace sjis_text_detail

std::filesystem::path path_from_sjis(std::string_view sjis) {
    return std::filesystem::path(sjis_to_utf8(sjis));
}

std::string sjis_from_path(const std::filesystem::path& path) {
    return utf8_to_sjis(path.string());
}

} // namespace vntra
