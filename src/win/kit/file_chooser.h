// The common file chooser as the program's dialogs use it: its filters, the
// title "ファイルを選択する", no read-only box, no network button.
#ifndef VNTRA_WIN_KIT_FILE_CHOOSER_H
#define VNTRA_WIN_KIT_FILE_CHOOSER_H

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace vntra {

enum FileChoice {
    CHOOSE_EXISTING_FILE, // the file must exist
    CHOOSE_FILE_TO_SAVE,  // a new name is fine; replacing a file is asked first
};

struct FileFilter {
    std::string_view name;    // Shift-JIS, for example "csv files {*.csv}"
    std::string_view pattern; // for example "*.csv" or "*.csv;*.ics"
};

// Runs the chooser with the filters, the first one chosen. A name saved
// without an extension gets the first filter's first one. True with the
// chosen path when the user picked a file, false when cancelled.
bool choose_file(HWND owner, FileChoice choice, const std::vector<FileFilter>& filters,
                 std::wstring& path);

// The same with one filter.
inline bool choose_file(HWND owner, FileChoice choice, std::string_view filter_name,
                        std::string_view pattern, std::wstring& path) {
    return choose_file(owner, choice, {{filter_name, pattern}}, path);
}

// The whole text of a control as the window holds it, for paths that may
// carry characters Shift-JIS has no form for.
std::wstring control_wide_text(HWND dialog, int control_id);

} // namespace vntra

#endif
