#include "shell/resident_window.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cwchar>

#include "calendar_window/calendar_window.h"
#include "exchange/exchange_dialogs.h"
#include "help/help_dialogs.h"
#include "kit/dialog_kit.h"
#include "mail/mail_job.h"
#include "platform/sjis_text.h"
#include "reminders/minute_scan.h"
#include "resource_ids.h"
#include "settings/settings_sheet.h"
#include "shell/app.h"
#include "shell/wide_text.h"
#include "store/compaction.h"
#include "text/folder_text.h"

namespace vntra {
namespace {

const char SETTINGS_UNREAD_TEXT[] =
    "設定ファイル vntraini.fil を読み込めませんでした。\n"
    "既定の設定で動作します。このファイルを守るため、終了するまで設定は保存されません。";
const char DATA_COUNT_REPAIRED_TEXT[] =
    "データファイル vntradata.fil の件数が壊れていたため、修復しました。\n"
    "ファイルにある予定とＴｏＤｏは、すべてそのまま使えます。";

// ---- tray icon -------------------------------------------------------------

NOTIFYICONDATAW tray_registration(const App& app) {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof data;
    data.hWnd = app.resident_window;
    data.uID = TRAY_ICON_ID;
    return data;
}

// The program icon at the size the system draws small icons, so that it is
// sharp at every scaling; the icon file holds 16, 32 and 48 pixel images.
HICON load_small_icon(HINSTANCE instance) {
    return static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON,
                                           ::GetSystemMetrics(SM_CXSMICON),
                                           ::GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
}

// Adds the icon; when the taskbar does not take it (at log-on it may exist
// but not answer yet), tries again on a timer until it does, for without the
// icon there is no way into the program.
void add_tray_icon(App& app) {
    if (!app.tray_icon)
        app.tray_icon = load_small_icon(app.instance);
    NOTIFYICONDATAW data = tray_registration(app);
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = TRAY_CALLBACK_MESSAGE;
    data.hIcon = app.tray_icon;
    std::wstring tip = widen(std::string("Vontara ") + VERSION_TEXT);
    std::wcsncpy(data.szTip, tip.c_str(), sizeof data.szTip / sizeof data.szTip[0] - 1);
    // An icon that is already there (a retry after a slow answer) only needs
    // its data again.
    bool added = ::Shell_NotifyIconW(NIM_ADD, &data) || ::Shell_NotifyIconW(NIM_MODIFY, &data);
    if (added)
        ::KillTimer(app.resident_window, TRAY_RETRY_TIMER_ID);
    else
        ::SetTimer(app.resident_window, TRAY_RETRY_TIMER_ID, TRAY_RETRY_PERIOD_MS, nullptr);
}

void delete_tray_icon(App& app) {
    NOTIFYICONDATAW data = tray_registration(app);
    ::Shell_NotifyIconW(NIM_DELETE, &data);
}

void show_tray_menu(App& app) {
    ::SetForegroundWindow(app.resident_window);
    POINT cursor;
    ::GetCursorPos(&cursor);
    ::TrackPopupMenu(app.tray_menu, TPM_BOTTOMALIGN | TPM_RIGHTBUTTON, cursor.x, cursor.y, 0,
                     app.resident_window, nullptr);
    // Without a message after it, the menu would not close when the user
    // clicks elsewhere.
    ::PostMessageW(app.resident_window, WM_NULL, 0, 0);
}

// The window the user already has open from the tray, brought back to the
// front: once it has gone behind others, the tray is the way back to it.
void bring_open_window_forward(const App& app) {
    HWND window = ::GetLastActivePopup(app.resident_window);
    if (!window || window == app.resident_window || !::IsWindowVisible(window))
        window = app.calendar_window;
    if (!window)
        return;
    if (::IsIconic(window))
        ::ShowWindow(window, SW_RESTORE);
    ::SetForegroundWindow(window);
}

void on_tray_callback(App& app, WPARAM icon_id, LPARAM mouse_event) {
    if (icon_id != TRAY_ICON_ID)
        return;
    if (mouse_event != WM_LBUTTONDOWN && mouse_event != WM_RBUTTONDOWN)
        return;
    if (app.busy) {
        ::MessageBeep(MB_OK);
        bring_open_window_forward(app);
        return;
    }
    if (mouse_event == WM_LBUTTONDOWN) {
        // The click lets the program come to the front; taken here, it makes
        // the calendar the active window as it opens, whatever it opens
        // beside it without activation (the notice).
        ::SetForegroundWindow(app.resident_window);
        app.busy = true;
        open_calendar_window(app);
    } else {
        show_tray_menu(app);
    }
}

void on_command(App& app, UINT command) {
    switch (command) {
    case CMD_EXIT:
        delete_tray_icon(app);
        ::DestroyWindow(app.resident_window);
        break;
    // Each of these dialogs frees `busy` again when it closes.
    case CMD_TRAY_HELP:
        app.busy = true;
        run_help_window(app, app.resident_window);
        break;
    case CMD_TRAY_ABOUT:
        app.busy = true;
        run_about_box(app, app.resident_window);
        break;
    case CMD_TRAY_IMPORT:
        app.busy = true;
        run_import_dialog(app, app.resident_window);
        break;
    case CMD_TRAY_EXPORT:
        app.busy = true;
        run_export_dialog(app, app.resident_window);
        break;
    case CMD_TRAY_SETTINGS:
        open_settings_from_tray(app);
        break;
    default:
        break;
    }
}

// ---- start-up and exit -----------------------------------------------------

// Only a file that is really missing is created: one that is there but
// cannot be opened just now (a backup or sync tool holding it) must never be
// replaced by an empty one. Whether the settings can be read is for
// load_settings to find out.
bool ensure_settings_file(const App& app) {
    if (open_file(app.settings_path, "rb+") || !file_is_missing(app.settings_path))
        return true;
    FilePtr created = open_file(app.settings_path, "wb");
    return created && close_checked(std::move(created));
}

bool ensure_data_file(const App& app) {
    if (open_file(app.data_path, "rb+"))
        return true;
    return file_is_missing(app.data_path) && create_data_file(app.data_path);
}

void find_program_folder(App& app) {
    wchar_t module_path[MAX_PATH + 1] = {};
    ::GetModuleFileNameW(nullptr, module_path, MAX_PATH);
    app.program_folder = std::filesystem::path(module_path).parent_path();
    app.program_folder_sjis = with_trailing_backslash(sjis_from_path(app.program_folder));
    app.settings_path = app.program_folder / SETTINGS_FILE_NAME;
    app.data_path = app.program_folder / DATA_FILE_NAME;
    app.compact_path = app.program_folder / COMPACT_FILE_NAME;
}

// False when the window has to go: the two files can be neither opened nor made.
bool start_up(App& app, HWND window) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    app.busy = false;
    app.today_notice_shown = false;
    app.resident_window = window;
    find_program_folder(app);
    if (!ensure_settings_file(app) || !ensure_data_file(app))
        return false;
    app.store.path = app.data_path;
    // Before anything reads or writes the file, so that no view hides a
    // record and no append or compaction works to a damaged count.
    DataFileCheck checked = check_data_file(app.store);
    if (checked == DATA_FILE_UNREAD)
        load_record_count(app.store);
    SettingsReadOutcome read = SETTINGS_READ;
    app.settings = load_settings(app.settings_path, app.program_folder_sjis, &read);
    app.settings_loaded = true;
    // Told once, after start-up, so that the box does not hold up the
    // window's creation.
    if (read == SETTINGS_UNREADABLE)
        ::PostMessageW(window, SETTINGS_UNREAD_MESSAGE, 0, 0);
    if (checked == DATA_FILE_COUNT_REPAIRED)
        ::PostMessageW(window, DATA_COUNT_REPAIRED_MESSAGE, 0, 0);
    ::SetTimer(window, SCAN_TIMER_ID, SCAN_PERIOD_MS, nullptr);
    // The icon comes last: while the taskbar answers, this thread takes
    // messages sent to it (an ending session among them), and those must
    // find start-up complete, the settings loaded for the exit housekeeping.
    add_tray_icon(app);
    return true;
}

void exit_housekeeping(App& app) {
    ::KillTimer(app.resident_window, SCAN_TIMER_ID);
    ::KillTimer(app.resident_window, TRAY_RETRY_TIMER_ID);
    // Settles the reminders whose mails went out meanwhile, before the
    // compaction reads the file.
    finish_mail_jobs();
    if (app.settings_loaded) {
        CompactionPaths paths{app.compact_path, app.program_folder,
                              path_from_sjis(app.settings.backup_folder)};
        compact_data_file(app.store, paths, local_today(), app.settings.expiry_days);
    }
    if (app.tray_icon) {
        ::DestroyIcon(app.tray_icon);
        app.tray_icon = nullptr;
    }
    ::PostQuitMessage(0);
}

LRESULT CALLBACK resident_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    App& app = application();
    switch (message) {
    case WM_CREATE:
        return start_up(app, window) ? 0 : -1;
    case WM_DESTROY:
        exit_housekeeping(app);
        return 0;
    case WM_QUERYENDSESSION:
    case WM_USERCHANGED:
        // A message sent while start-up still waits on another process (the
        // tray) arrives in the middle of it; the exit then runs once start-up
        // is over, so that the housekeeping works on loaded settings.
        if (!app.settings_loaded) {
            ::PostMessageW(window, WM_COMMAND, CMD_EXIT, 0);
            return TRUE;
        }
        release_settings_sheet(app);
        ::DestroyWindow(window);
        return TRUE;
    case WM_COMMAND:
        on_command(app, LOWORD(wparam));
        return 0;
    case WM_TIMER:
        if (wparam == SCAN_TIMER_ID)
            scan_alarms_and_reminders(app);
        else if (wparam == TRAY_RETRY_TIMER_ID)
            add_tray_icon(app);
        return 0;
    case TRAY_CALLBACK_MESSAGE:
        on_tray_callback(app, wparam, lparam);
        return 0;
    case SETTINGS_UNREAD_MESSAGE:
        show_error(window, SETTINGS_UNREAD_TEXT);
        return 0;
    case DATA_COUNT_REPAIRED_MESSAGE:
        show_error(window, DATA_COUNT_REPAIRED_TEXT);
        return 0;
    default:
        // A restarted shell has forgotten the icon; add it again.
        if (message == app.taskbar_created_message && message != 0) {
            add_tray_icon(app);
            return 0;
        }
        return ::DefWindowProcW(window, message, wparam, lparam);
    }
}

} // namespace

HWND create_resident_window(HINSTANCE instance) {
    App& app = application();
    app.taskbar_created_message = ::RegisterWindowMessageW(L"TaskbarCreated");
    WNDCLASSEXW window_class{};
    window_class.cbSize = sizeof window_class;
    window_class.lpfnWndProc = resident_window_proc;
    window_class.hInstance = instance;
    window_class.hIcon = ::LoadIconW(instance, MAKEINTRESOURCEW(IDI_PROGRAM));
    window_class.hIconSm = load_small_icon(instance);
    window_class.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); // IDC_ARROW
    window_class.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
    window_class.lpszClassName = RESIDENT_CLASS_NAME;
    if (!::RegisterClassExW(&window_class))
        return nullptr;
    return ::CreateWindowExW(WS_EX_APPWINDOW, RESIDENT_CLASS_NAME, RESIDENT_WINDOW_TITLE,
                             WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
}

} // namespace vntra
