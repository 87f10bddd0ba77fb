// Shortcuts to the running program in the user's Startup folder and on the
// desktop, both named "Vontara.lnk".
#ifndef VNTRA_WIN_SETTINGS_SHORTCUTS_H
#define VNTRA_WIN_SETTINGS_SHORTCUTS_H

#include <string>

namespace vntra {

const wchar_t SHORTCUT_FILE_NAME[] = L"Vontara.lnk";

struct ShortcutPlaces {
    bool known = false;          // both folders were found
    std::wstring target;         // the running vntra.exe
    std::wstring working_folder; // its folder
    std::wstring desktop_link;
    std::wstring startup_link;
};

// Asks the shell where this user's desktop and Startup folder are; `known`
// stays false when either cannot be found (no user profile).
ShortcutPlaces find_shortcut_places();

bool shortcut_exists(const std::wstring& link);
// Writes (or rewrites) the shortcut; false when it could not be saved.
bool create_shortcut(const std::wstring& link, const std::wstring& target,
                     const std::wstring& working_folder);
// True when no file is left at the path (a missing one included).
bool delete_shortcut(const std::wstring& link);

} // namespace vntra

#endif
