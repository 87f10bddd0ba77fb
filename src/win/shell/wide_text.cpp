#include "shell/wide_text.h"

namespace vntra {
namespace {
const UINT SHIFT_JIS = 932;
}

std::wstring widen(std::string_view sjis) {
    if (sjis.empty())
        return {};
    int length =
        ::MultiByteToWideChar(SHIFT_JIS, 0, sjis.data(), static_cast<int>(sjis.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    ::MultiByteToWideChar(SHIFT_JIS, 0, sjis.data(), static_cast<int>(sjis.size()), wide.data(),
                          length);
    return wide;
}

std::string narrow(std::wstring_view wide) {
    if (wide.empty())
        return {};
    int length = ::WideCharToMultiByte(SHIFT_JIS, 0, wide.data(), static_cast<int>(wide.size()),
                                       nullptr, 0, "?", nullptr);
    std::string text(static_cast<size_t>(length), '\0');
    ::WideCharToMultiByte(SHIFT_JIS, 0, wide.data(), static_cast<int>(wide.size()), text.data(),
                          length, "?", nullptr);
    return text;
}

void set_control_text(HWND dialog, int control_id, std::string_view sjis) {
    ::SetDlgItemTextW(dialog, control_id, widen(sjis).c_str());
}

std::string control_text(HWND dialog, int control_id) {
    HWND control = ::GetDlgItem(dialog, control_id);
    int length = ::GetWindowTextLengthW(control);
    std::wstring wide(static_cast<size_t>(length) + 1, L'\0');
    length = ::GetWindowTextW(control, wide.data(), length + 1);
    wide.resize(static_cast<size_t>(length));
    return narrow(wide);
}

int show_message(HWND owner, std::string_view text, std::string_view title, UINT flags) {
    return ::MessageBoxW(owner, widen(text).c_str(), widen(title).c_str(), flags);
}

} // namespace vntra
