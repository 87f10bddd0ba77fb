// Program entry: refuses a second instance, creates the resident window and
// runs the one message loop.
#include <windows.h>

#include <string>

#include "resource_ids.h"
#include "kit/static_control_memory.h"
#include "shell/app.h"
#include "shell/resident_window.h"
#include "reminders/notice_window.h"
#include "shell/wide_text.h"
#include "text/sjis_cut.h"
#include "tabrix.h"

namespace vntra {
namespace {

// At most 128 bytes of its Shift-JIS form, cut between characters.
std::wstring executable_file_name() {
    wchar_t path[MAX_PATH + 1] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    const size_t NAME_LIMIT = 128;
    return widen(sjis_cut(narrow(std::filesystem::path(path).filename().wstring()), NAME_LIMIT));
}

void warn_second_instance() {
    std::wstring text = executable_file_name() + widen("\nこのプログラムは既に起動しています");
    ::MessageBoxW(nullptr, text.c_str(), widen("二重起動").c_str(),
                  MB_OK | MB_ICONWARNING | MB_TOPMOST);
}

int run(HINSTANCE instance) {
    // The CSV field library is part of the program; one from an older build
    // would read imported lines differently.
    if (CSV_version() < LIBRARY_VERSION)
        return 0;

    HANDLE mutex = ::CreateMutexW(nullptr, FALSE, INSTANCE_MUTEX_NAME);
    if (mutex && ::GetLastError() == ERROR_ALREADY_EXISTS) {
        warn_second_instance();
        ::CloseHandle(mutex);
        return 0;
    }

    StaticControlMemoryWatch statics;
    App& app = application();
    app.instance = instance;
    app.tray_menu_resource = ::LoadMenuW(instance, MAKEINTRESOURCEW(IDM_TRAY_MENU));
    app.tray_menu = ::GetSubMenu(app.tray_menu_resource, 0);

    HWND window = create_resident_window(instance);
    int exit_code = 0;
    if (window) {
        ::ShowWindow(window, SW_HIDE);
        MSG message;
        while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
            if (notice_keyboard_message(app, message))
                continue;
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
        exit_code = static_cast<int>(message.wParam);
    }
    if (app.tray_menu_resource)
        ::DestroyMenu(app.tray_menu_resource);
    if (mutex)
        ::CloseHandle(mutex);
    return exit_code;
}

} // namespace
} // namespace vntra

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    return vntra::run(instance);
}
