#include <windows.h>

#include <shellapi.h>

#include "help/help_dialogs.h"
#include "help/help_text.h"
#include "kit/dialog_kit.h"
#include "kit/note_field.h"
#include "resource_ids.h"
#include "shell/wide_text.h"

namespace vntra {
namespace {

struct HelpWindow {
    App* app;
    HWND dialog;
    NoteField text;
};

// Top-most, with the program's icon: both windows of this area open so.
void dress_window(const App& app, HWND dialog) {
    ::SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    HICON icon = ::LoadIconW(app.instance, MAKEINTRESOURCEW(IDI_PROGRAM));
    ::SendMessageW(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    ::SendMessageW(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

// The width the widest hand-made line needs in the field's face.
int widest_line(HWND field, HFONT font, std::wstring_view text) {
    HDC context = ::GetDC(field);
    HGDIOBJ previous = ::SelectObject(context, font);
    int widest = 0;
    while (!text.empty()) {
        size_t end = text.find(L"\r\n");
        std::wstring_view line = text.substr(0, end);
        SIZE extent{};
        ::GetTextExtentPoint32W(context, line.data(), static_cast<int>(line.size()), &extent);
        widest = extent.cx > widest ? extent.cx : widest;
        text = end == std::wstring_view::npos ? std::wstring_view() : text.substr(end + 2);
    }
    ::SelectObject(context, previous);
    ::ReleaseDC(field, context);
    return widest;
}

// The lines are broken by hand and must not wrap again: where the face is
// wider than the template allows for, the window grows to fit them.
void fit_to_lines(HelpWindow& w) {
    HWND field = ::GetDlgItem(w.dialog, IDC_HELP_TEXT);
    DWORD margins = static_cast<DWORD>(::SendMessageW(field, EM_GETMARGINS, 0, 0));
    int needed =
        widest_line(field, w.text.font, widen(HELP_TEXT)) + LOWORD(margins) + HIWORD(margins) + 4;
    RECT client;
    ::GetClientRect(field, &client);
    int extra = needed - client.right;
    if (extra <= 0)
        return;
    auto grow = [&](HWND window, int dx, int dwidth) {
        RECT frame;
        ::GetWindowRect(window, &frame);
        POINT origin{frame.left, frame.top};
        HWND parent = ::GetParent(window);
        if (window != w.dialog)
            ::ScreenToClient(parent, &origin);
        ::SetWindowPos(window, nullptr, origin.x + dx, origin.y, frame.right - frame.left + dwidth,
                       frame.bottom - frame.top, SWP_NOZORDER | SWP_NOACTIVATE);
    };
    grow(w.dialog, 0, extra);
    grow(field, 0, extra);
    grow(::GetDlgItem(w.dialog, IDC_HELP_OK), extra / 2, 0);
    centre_on_screen(w.dialog);
}

void on_init(HelpWindow& w) {
    dress_window(*w.app, w.dialog);
    open_note_field(w.dialog, IDC_HELP_TEXT, HELP_TEXT, w.text);
    fit_to_lines(w);
    // The focus on "OK", so that the text is not shown all selected.
    ::SetFocus(::GetDlgItem(w.dialog, IDC_HELP_OK));
}

void close_window(HelpWindow& w) {
    release_busy(*w.app);
    ::EndDialog(w.dialog, 0);
}

INT_PTR CALLBACK help_window_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    HelpWindow* w = dialog_data<HelpWindow>(dialog, message, lparam);
    if (!w)
        return FALSE;
    switch (message) {
    case WM_INITDIALOG:
        w->dialog = dialog;
        on_init(*w);
        return FALSE; // the focus is set
    case WM_COMMAND:
        if (LOWORD(wparam) == IDC_HELP_OK || LOWORD(wparam) == IDCANCEL)
            close_window(*w);
        return TRUE;
    case WM_CTLCOLORSTATIC:
        return note_field_colour(w->text, reinterpret_cast<HDC>(wparam),
                                 reinterpret_cast<HWND>(lparam));
    default:
        return FALSE;
    }
}

// ---- about box ---------------------------------------------------------------

struct AboutBox {
    App* app;
    HWND dialog;
};

void on_about_init(AboutBox& b) {
    dress_window(*b.app, b.dialog);
    write_control_text(b.dialog, IDC_ABOUT_PRODUCT, about_product_text());
    write_control_text(b.dialog, IDC_ABOUT_DESCRIPTION, ABOUT_DESCRIPTION);
    write_control_text(b.dialog, IDC_ABOUT_MAIL, contact_button_text(contact_address()));
}

void close_about(AboutBox& b) {
    release_busy(*b.app);
    ::EndDialog(b.dialog, 0);
}

void open_mailer(AboutBox& b) {
    std::wstring link = widen(mailto_link(contact_address()));
    HINSTANCE result =
        ::ShellExecuteW(b.dialog, nullptr, link.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    // Values up to 32 are the shell's error codes.
    if (reinterpret_cast<INT_PTR>(result) <= 32)
        show_error(b.dialog, MAILER_FAILED);
    close_about(b);
}

INT_PTR CALLBACK about_box_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    AboutBox* b = dialog_data<AboutBox>(dialog, message, lparam);
    if (!b)
        return FALSE;
    switch (message) {
    case WM_INITDIALOG:
        b->dialog = dialog;
        on_about_init(*b);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wparam) == IDC_ABOUT_MAIL)
            open_mailer(*b);
        else if (LOWORD(wparam) == IDC_HELP_OK || LOWORD(wparam) == IDCANCEL)
            close_about(*b);
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

void run_help_window(App& app, HWND owner) {
    HelpWindow w{&app, nullptr, {}};
    if (run_modal_dialog(app.instance, owner, IDD_HELP, help_window_proc, w) == -1)
        release_busy(app);
    close_note_field(w.text);
}

void run_about_box(App& app, HWND owner) {
    AboutBox b{&app, nullptr};
    if (run_modal_dialog(app.instance, owner, IDD_ABOUT, about_box_proc, b) == -1)
        release_busy(app);
}

} // namespace vntra
