// What the program owns for its whole run: the paths, the one settings
// record, the data file's count, and the flags and windows the tray, the
// calendar window and the notice window share.
#ifndef VNTRA_WIN_APP_H
#define VNTRA_WIN_APP_H

#include <windows.h>

#include <filesystem>
#include <string>

#include "store/data_file.h"
#include "store/schedule_keys.h"
#include "store/settings_record.h"

namespace vntra {

const wchar_t RESIDENT_CLASS_NAME[] = L"vntra";
const wchar_t RESIDENT_WINDOW_TITLE[] = L"vntra";
const wchar_t INSTANCE_MUTEX_NAME[] = L"hollin-tasni-vntra";
const UINT SCAN_TIMER_ID = 100;
const UINT SCAN_PERIOD_MS = 60000;
const UINT TRAY_CALLBACK_MESSAGE = WM_APP + 100; // 32868
const UINT TRAY_ICON_ID = 1;
// While the taskbar does not take the icon (at log-on it may exist but not
// answer yet), adding it is tried again on this timer.
const UINT TRAY_RETRY_TIMER_ID = 101;
const UINT TRAY_RETRY_PERIOD_MS = 2000;
// Posted by start-up when the settings file is there but could not be read.
const UINT SETTINGS_UNREAD_MESSAGE = WM_APP + 101;
// Posted by start-up when the data file's count had to be set to its slots.
const UINT DATA_COUNT_REPAIRED_MESSAGE = WM_APP + 102;

struct App {
    HINSTANCE instance = nullptr;
    HWND resident_window = nullptr;
    HMENU tray_menu_resource = nullptr;
    HMENU tray_menu = nullptr; // the first popup of menu 110
    HICON tray_icon = nullptr;
    UINT taskbar_created_message = 0;

    std::filesystem::path program_folder;
    std::string program_folder_sjis; // ends with a backslash
    std::filesystem::path settings_path;
    std::filesystem::path data_path;
    std::filesystem::path compact_path;

    DataFile store;
    SettingsRecord settings{};
    // The exit housekeeping needs the loaded expiry period; start-up that
    // stopped before loading the settings leaves the data file alone.
    bool settings_loaded = false;

    bool busy = false; // a window opened from the tray is up
    bool today_notice_shown = false;
    HWND calendar_window = nullptr;
    HWND notice_window = nullptr;
    HWND settings_sheet = nullptr; // while the settings sheet is open
};

App& application();

// A dialog opened from the tray frees the tray again when it closes; opened
// from the calendar window, that window still holds it.
inline void release_busy(App& app) {
    if (!app.calendar_window)
        app.busy = false;
}

// Today as the local clock has it.
LocalDate local_today();

} // namespace vntra

#endif
