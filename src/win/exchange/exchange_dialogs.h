// The CSV export (dialog 119) and import (dialog 118). Both run modally and
// free the tray's `busy` when they close unless the calendar window is open.
#ifndef VNTRA_WIN_EXCHANGE_DIALOGS_H
#define VNTRA_WIN_EXCHANGE_DIALOGS_H

#include "shell/app.h"

namespace vntra {

void run_export_dialog(App& app, HWND owner);
void run_import_dialog(App& app, HWND owner);

} // namespace vntra

#endif
