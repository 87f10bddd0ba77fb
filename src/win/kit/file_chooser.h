// The common file chooser as the program's dialogs use it: one filter, the
// title "ファイルを選択する", no read-only box, no network button.
#ifndef VNTRA_WIN_KIT_FILE_CHOOSER_H
#define VNTRA_WIN_KIT_FILE_CHOOSER_H

#include <windows.h>

#include <string>
#include <string_view>

namespace vntra {

enum FileChoice {
    CHOOSE_EXISTING_FILE, // the file must exist
    CHOOSE_FILE_TO_SAVE,  // a new name is fine; replacing a file is asked first
};

// Runs the chooser with the filter "<filter_name>" / pattern (Shift-JIS
// texts, for example "csv files {*.csv}" and "*.csv"). True with the chosen
// path when the user picked a file, false when cancelled.
bool choose_file(HWND owner, FileChoice choice, std::string_view filter_name,
                 std::string_view pattern, std::wstring& path);

// The whole text of a control as the window holds it, for paths that may
// carry characters Shift-JIS has no form for.
std::wstring control_wide_text(HWND dialog, int control_id);

} // namespace vntra

#endif
