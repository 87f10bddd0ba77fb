// The help window (dialog 108) and the about box (dialog 109). Both run
// modally and free the tray's `busy` when they close unless the calendar
// window is open.
#ifndef VNTRA_WIN_HELP_DIALOGS_H
#define VNTRA_WIN_HELP_DIALOGS_H

#include "shell/app.h"

namespace vntra {

void run_help_window(App& app, HWND owner);
void run_about_box(App& app, HWND owner);

} // namespace vntra

#endif
