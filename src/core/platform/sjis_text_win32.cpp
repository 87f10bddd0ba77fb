#include "platform/sjis_text.h"
#include "platform/sjis_text_detail.h"

#include <windows.h>

namespace vntra {
namespace {

const UINT SHIFT_JIS = 932;

std::wstring to_wide(UINT code_page, std::string_view text) {
    if (text.empty())
        return {};
    int length =
        ::MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(length, L'\0');
    ::MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                          length);
    return wide;
}

std::string from_wide(UINT code_page, std::wstring_view wide) {
    if (wide.empty())
        return {};
    const char* default_char = code_page == CP_UTF8 ? nullptr : "?";
    int length = ::WideCharToMultiByte(code_page, 0, wide.data(), static_cast<int>(wide.size()),
                                       nullptr, 0, default_char, nullptr);
    std::string text(length, '\0');
    ::WideCharToMultiByte(code_page, 0, wide.data(), static_cast<int>(wide.size()), text.data(),
                          length, default_char, nullptr);
    return text;
}

} // namespace

std::string sjis_to_utf8(std::string_view sjis) {
    return from_wide(CP_UTF8, to_wide(SHIFT_JIS, sjis));
}

namespace sjis_text_detail {

bool append_sjis(std::string_view utf8, std::string& sjis, bool exact) {
    if (utf8.empty())
        return true;
    if (!exact) {
        sjis += from_wide(SHIFT_JIS, to_wide(CP_UTF8, utf8));
        return true;
    }
    int size = static_cast<int>(utf8.size());
    int length =
        ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, nullptr, 0);
    if (length == 0)
        return false;
    std::wstring wide(length, L'\0');
    ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, wide.data(), length);
    // No best-fit guesses: a character without its own Shift-JIS form fails.
    BOOL used_default = FALSE;
    int bytes = ::WideCharToMultiByte(SHIFT_JIS, WC_NO_BEST_FIT_CHARS, wide.data(), length, nullptr,
                                      0, nullptr, &used_default);
    if (bytes == 0 || used_default)
        return false;
    size_t old_size = sjis.size();
    sjis.resize(old_size + bytes);
    ::WideCharToMultiByte(SHIFT_JIS, WC_NO_BEST_FIT_CHARS, wide.data(), length,
                          sjis.data() + old_size, bytes, nullptr, &used_default);
    return !used_default;
}

} // namespace sjis_text_detail

std::filesystem::path path_from_sjis(std::string_view sjis) {
    return std::filesystem::path(to_wide(SHIFT_JIS, sjis));
}

std::string sjis_from_path(const std::filesystem::path& path) {
    return from_wide(SHIFT_JIS, path.native());
}

} // namespace vntra
