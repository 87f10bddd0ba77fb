#include "reminders/notice_window.h"

#include "resource_ids.h"
#include "kit/list_font.h"
#include "shell/wide_text.h"

namespace vntra {
namespace {

const COLORREF NOTICE_BACK_COLOUR = RGB(255, 255, 200);

// The resources of the one open notice window.
struct NoticeResources {
    HBRUSH back_brush = nullptr;
    HFONT text_font = nullptr;
    HHOOK keyboard_filter = nullptr;
};
NoticeResources notice_resources;

// The notice is modeless, but it often opens over a modal window (the
// calendar) whose own loop knows nothing of it; this filter gives the notice
// its keyboard in those loops too.
LRESULT CALLBACK modal_loop_filter(int code, WPARAM wparam, LPARAM lparam) {
    MSG* message = reinterpret_cast<MSG*>(lparam);
    HWND notice = application().notice_window;
    if (code >= 0 && notice && message && ::IsDialogMessageW(notice, message))
        return TRUE;
    return ::CallNextHookEx(notice_resources.keyboard_filter, code, wparam, lparam);
}

// Notices gather in the lower right corner of the work area, above the
// taskbar, where they do not cover the calendar.
void place_in_corner(HWND dialog) {
    RECT area;
    RECT window;
    if (!::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0) || !::GetWindowRect(dialog, &window))
        return;
    // Some shells leave the taskbar inside the reported work area.
    RECT taskbar;
    HWND tray = ::FindWindowW(L"Shell_TrayWnd", nullptr);
    if (tray && ::GetWindowRect(tray, &taskbar) && taskbar.top > area.top &&
        taskbar.top < area.bottom)
        area.bottom = taskbar.top;
    int width = window.right - window.left;
    int height = window.bottom - window.top;
    ::SetWindowPos(dialog, nullptr, area.right - width - 8, area.bottom - height - 8, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void on_init(App& app, HWND dialog) {
    app.notice_window = dialog;
    place_in_corner(dialog);
    // Shown without taking activation: alarms open it while the user types
    // elsewhere, and those keys must not land here.
    ::SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    notice_resources.keyboard_filter =
        ::SetWindowsHookExW(WH_MSGFILTER, modal_loop_filter, nullptr, ::GetCurrentThreadId());
    HICON icon = ::LoadIconW(app.instance, MAKEINTRESOURCEW(IDI_PROGRAM));
    ::SendMessageW(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    ::SendMessageW(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    notice_resources.back_brush = ::CreateSolidBrush(NOTICE_BACK_COLOUR);
    HWND text = ::GetDlgItem(dialog, IDC_NOTICE_TEXT);
    notice_resources.text_font = create_list_font(text, app.settings);
    ::SendMessageW(text, WM_SETFONT, reinterpret_cast<WPARAM>(notice_resources.text_font), TRUE);
}

INT_PTR on_colour(HWND dialog, HDC context, HWND control) {
    if (control != ::GetDlgItem(dialog, IDC_NOTICE_TEXT))
        return FALSE;
    ::SetBkMode(context, OPAQUE);
    ::SetBkColor(context, NOTICE_BACK_COLOUR);
    return reinterpret_cast<INT_PTR>(notice_resources.back_brush);
}

void on_destroy(App& app) {
    app.notice_window = nullptr;
    if (notice_resources.keyboard_filter)
        ::UnhookWindowsHookEx(notice_resources.keyboard_filter);
    if (notice_resources.back_brush)
        ::DeleteObject(notice_resources.back_brush);
    if (notice_resources.text_font)
        ::DeleteObject(notice_resources.text_font);
    notice_resources = {};
}

INT_PTR CALLBACK notice_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    App& app = application();
    switch (message) {
    case WM_INITDIALOG:
        on_init(app, dialog);
        return FALSE; // the window that opened the notice keeps the focus
    case WM_CTLCOLORSTATIC:
        return on_colour(dialog, reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam));
    case WM_COMMAND:
        if (LOWORD(wparam) == IDC_NOTICE_OK || LOWORD(wparam) == IDCANCEL) {
            ::DestroyWindow(dialog);
            return TRUE;
        }
        return FALSE;
    case WM_DESTROY:
        on_destroy(app);
        return FALSE;
    default:
        return FALSE;
    }
}

} // namespace

HWND open_notice(App& app, HWND owner) {
    if (!app.notice_window)
        ::CreateDialogParamW(app.instance, MAKEINTRESOURCEW(IDD_NOTICE), owner, notice_dialog_proc,
                             0);
    return app.notice_window;
}

bool notice_keyboard_message(const App& app, MSG& message) {
    return app.notice_window && ::IsDialogMessageW(app.notice_window, &message);
}

void append_notice(App& app, std::string_view text) {
    if (!app.notice_window)
        return;
    HWND control = ::GetDlgItem(app.notice_window, IDC_NOTICE_TEXT);
    int end = ::GetWindowTextLengthW(control);
    ::SendMessageW(control, EM_SETSEL, end, end);
    ::SendMessageW(control, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(widen(text).c_str()));
}

} // namespace vntra
