// What every dialog of the program needs and nobody should write twice:
// running a modal dialog over a data struct, number drop-downs, bounded
// reads of edit fields, and the program's three kinds of message box.
#ifndef VNTRA_WIN_KIT_DIALOG_KIT_H
#define VNTRA_WIN_KIT_DIALOG_KIT_H

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "text/box_titles.h"

namespace vntra {

// Runs a modal dialog whose procedure finds `data` with dialog_data<Data>().
// Returns what EndDialog was given (-1 when the dialog could not be made).
template <typename Data>
INT_PTR run_modal_dialog(HINSTANCE instance, HWND owner, int template_id, DLGPROC procedure,
                         Data& data) {
    return ::DialogBoxParamW(instance, MAKEINTRESOURCEW(template_id), owner, procedure,
                             reinterpret_cast<LPARAM>(&data));
}

// In a dialog procedure: on WM_INITDIALOG keeps lparam as the dialog's data;
// afterwards returns it. Null for the few messages that come before.
template <typename Data> Data* dialog_data(HWND dialog, UINT message, LPARAM lparam) {
    if (message == WM_INITDIALOG) {
        ::SetWindowLongPtrW(dialog, DWLP_USER, lparam);
        return reinterpret_cast<Data*>(lparam);
    }
    return reinterpret_cast<Data*>(::GetWindowLongPtrW(dialog, DWLP_USER));
}

// Fills a drop-down list with first..last as decimal texts and selects
// `selected` (nothing when it is outside the range).
void fill_number_list(HWND dialog, int control_id, int first, int last, int selected);
// The same in steps (0, 5, … 55 for minutes); `selected` must be one of them.
void fill_number_list(HWND dialog, int control_id, int first, int last, int step, int selected);
// The selected number, or `fallback` when nothing is selected.
int selected_number(HWND dialog, int control_id, int fallback);
// Selects the item that shows `value`; nothing when no item does.
void select_number(HWND dialog, int control_id, int value);

// Puts Shift-JIS rows into a list box, measured in `font`, and lets it
// scroll sideways only when the widest row does not fit.
void fill_list_rows(HWND list, HFONT font, const std::vector<std::string>& rows);
// The selected row of a list box, or -1.
int selected_row(HWND dialog, int list_id);

// An edit field's text as Shift-JIS, cut to at most max_bytes bytes at a
// character boundary, as a field read with a buffer of that size would be.
std::string read_edit_text(HWND dialog, int control_id, size_t max_bytes);
// Shows a Shift-JIS text in a control.
void write_control_text(HWND dialog, int control_id, std::string_view sjis);

// An input error: the "エラー" box (warning, topmost) owned by the dialog,
// then the focus on the control that needs correcting, its text selected.
void show_input_error(HWND dialog, std::string_view message, int focus_control_id);
// The same for the few checks whose box has no owner window. It is
// task-modal instead, so the program's windows still wait for the answer.
void show_unowned_input_error(HWND dialog, std::string_view message, int focus_control_id);
// A failure that is no one control's fault: the same box, focus unchanged.
void show_error(HWND owner, std::string_view message);
// A question under "確認": true for Yes.
bool ask_yes_no(HWND owner, std::string_view question);
// A notice under "確認" with the information icon.
void show_notice(HWND owner, std::string_view text);

// Puts a window in the middle of the work area of its monitor.
void centre_on_screen(HWND window);

} // namespace vntra

#endif
