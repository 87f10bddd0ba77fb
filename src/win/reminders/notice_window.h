// The notice window "お知らせ" (dialog 116): a topmost, modeless window with
// a read-only text that notices are appended to. At most one exists.
#ifndef VNTRA_WIN_NOTICE_WINDOW_H
#define VNTRA_WIN_NOTICE_WINDOW_H

#include <string_view>

#include "shell/app.h"

namespace vntra {

// The open notice window, or a new one owned by `owner`.
HWND open_notice(App& app, HWND owner);

// Adds the Shift-JIS text after what the window already shows. Callers bring
// their own line breaks.
void append_notice(App& app, std::string_view text);

// Hands a message of the program's own message loop to the notice window's
// keyboard handling (Enter, Esc, Tab); true when it was used up there.
// Modal loops (the calendar window's, message boxes) are covered by a message
// filter the window installs while it is open.
bool notice_keyboard_message(const App& app, MSG& message);

} // namespace vntra

#endif
