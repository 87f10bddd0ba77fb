// The settings sheet "設定": nine pages over the live settings record.
#ifndef VNTRA_WIN_SETTINGS_SETTINGS_SHEET_H
#define VNTRA_WIN_SETTINGS_SETTINGS_SHEET_H

#include <windows.h>

#include "shell/app.h"

namespace vntra {

// Runs the sheet modally, owned by `owner`. Each page that succeeds on OK
// has stored its fields in app.settings and saved them; returns whether any
// did. Keeps no copy of the record: the openers that want one take it
// (see open_settings_from_tray, the calendar window), while the mail guard
// runs the sheet directly.
bool run_settings_sheet(App& app, HWND owner);

// At the end of the session: an open sheet stops being owned by the
// window about to be destroyed. Destroyed with its owner, the sheet would
// be freed under its own modal loop (and under a page's message box); left
// alone, it ends with the quit message like every other modal loop.
void release_settings_sheet(App& app);

// The tray's "設定": the sheet with the tray's copy of the fields, put back
// when no page was applied.
void open_settings_from_tray(App& app);

} // namespace vntra

#endif
