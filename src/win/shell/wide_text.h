// The window boundary: the program's Shift-JIS texts become UTF-16 for the W
// functions, and what the user typed comes back as Shift-JIS.
#ifndef VNTRA_WIN_WIDE_TEXT_H
#define VNTRA_WIN_WIDE_TEXT_H

#include <windows.h>

#include <string>
#include <string_view>

namespace vntra {

std::wstring widen(std::string_view sjis);
std::string narrow(std::wstring_view wide);

void set_control_text(HWND dialog, int control_id, std::string_view sjis);
std::string control_text(HWND dialog, int control_id);

// MessageBoxW with Shift-JIS texts.
int show_message(HWND owner, std::string_view text, std::string_view title, UINT flags);

} // namespace vntra

#endif
