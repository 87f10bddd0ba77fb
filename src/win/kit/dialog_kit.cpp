#include "kit/dialog_kit.h"

#include <cstdio>
#include <cstdlib>

#include "shell/wide_text.h"
#include "text/sjis_cut.h"

namespace vntra {

void fill_number_list(HWND dialog, int control_id, int first, int last, int selected) {
    fill_number_list(dialog, control_id, first, last, 1, selected);
}

void fill_number_list(HWND dialog, int control_id, int first, int last, int step, int selected) {
    HWND list = ::GetDlgItem(dialog, control_id);
    ::SendMessageW(list, CB_RESETCONTENT, 0, 0);
    for (int number = first; number <= last; number += step) {
        wchar_t text[16];
        std::swprintf(text, 16, L"%d", number);
        // CB_ADDSTRING would sort the items of a sorted list as texts.
        ::SendMessageW(list, CB_INSERTSTRING, static_cast<WPARAM>(-1),
                       reinterpret_cast<LPARAM>(text));
    }
    select_number(dialog, control_id, selected);
}

void select_number(HWND dialog, int control_id, int value) {
    HWND list = ::GetDlgItem(dialog, control_id);
    wchar_t text[16];
    std::swprintf(text, 16, L"%d", value);
    LRESULT index = ::SendMessageW(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                   reinterpret_cast<LPARAM>(text));
    ::SendMessageW(list, CB_SETCURSEL, index == CB_ERR ? static_cast<WPARAM>(-1) : index, 0);
}

void fill_list_rows(HWND list, HFONT font, const std::vector<std::string>& rows) {
    ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    ::SendMessageW(list, LB_RESETCONTENT, 0, 0);
    HDC context = ::GetDC(list);
    HGDIOBJ previous = ::SelectObject(context, font);
    int widest = 0;
    for (size_t i = 0; i < rows.size(); ++i) {
        std::wstring row = widen(rows[i]);
        ::SendMessageW(list, LB_INSERTSTRING, i, reinterpret_cast<LPARAM>(row.c_str()));
        SIZE extent{};
        ::GetTextExtentPoint32W(context, row.c_str(), static_cast<int>(row.size()), &extent);
        if (extent.cx > widest)
            widest = extent.cx;
    }
    ::SelectObject(context, previous);
    ::ReleaseDC(list, context);
    RECT client;
    ::GetClientRect(list, &client);
    ::SendMessageW(list, LB_SETHORIZONTALEXTENT, widest > client.right ? widest + 4 : 0, 0);
    ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(list, nullptr, TRUE);
}

int selected_row(HWND dialog, int list_id) {
    LRESULT row = ::SendDlgItemMessageW(dialog, list_id, LB_GETCURSEL, 0, 0);
    return row == LB_ERR || row < 0 ? -1 : static_cast<int>(row);
}

int selected_number(HWND dialog, int control_id, int fallback) {
    HWND list = ::GetDlgItem(dialog, control_id);
    LRESULT index = ::SendMessageW(list, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR)
        return fallback;
    LRESULT length = ::SendMessageW(list, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR || length > 15)
        return fallback;
    wchar_t text[16] = {};
    ::SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
    return static_cast<int>(std::wcstol(text, nullptr, 10));
}

std::string read_edit_text(HWND dialog, int control_id, size_t max_bytes) {
    return sjis_cut(control_text(dialog, control_id), max_bytes);
}

void write_control_text(HWND dialog, int control_id, std::string_view sjis) {
    set_control_text(dialog, control_id, sjis);
}

namespace {

void focus_control(HWND dialog, int focus_control_id) {
    HWND control = ::GetDlgItem(dialog, focus_control_id);
    if (!control)
        return;
    // WM_NEXTDLGCTL keeps the dialog's default button in step with the focus.
    ::SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    wchar_t class_name[16] = {};
    ::GetClassNameW(control, class_name, 16);
    if (::lstrcmpiW(class_name, L"Edit") == 0)
        ::SendMessageW(control, EM_SETSEL, 0, -1);
}

} // namespace

void show_input_error(HWND dialog, std::string_view message, int focus_control_id) {
    show_error(dialog, message);
    focus_control(dialog, focus_control_id);
}

void show_unowned_input_error(HWND dialog, std::string_view message, int focus_control_id) {
    show_message(nullptr, message, ERROR_TITLE, MB_OK | MB_ICONWARNING | MB_TOPMOST | MB_TASKMODAL);
    focus_control(dialog, focus_control_id);
}

void show_error(HWND owner, std::string_view message) {
    show_message(owner, message, ERROR_TITLE, MB_OK | MB_ICONWARNING | MB_TOPMOST);
}

bool ask_yes_no(HWND owner, std::string_view question) {
    return show_message(owner, question, CONFIRM_TITLE, MB_YESNO | MB_ICONQUESTION | MB_TOPMOST) ==
           IDYES;
}

void show_notice(HWND owner, std::string_view text) {
    show_message(owner, text, CONFIRM_TITLE, MB_OK | MB_ICONINFORMATION | MB_TOPMOST);
}

void centre_on_screen(HWND window) {
    RECT frame;
    if (!::GetWindowRect(window, &frame))
        return;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!::GetMonitorInfoW(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor))
        return;
    const RECT& area = monitor.rcWork;
    int width = frame.right - frame.left;
    int height = frame.bottom - frame.top;
    ::SetWindowPos(window, nullptr, area.left + (area.right - area.left - width) / 2,
                   area.top + (area.bottom - area.top - height) / 2, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace vntra
