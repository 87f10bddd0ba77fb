#include "calendar_window/calendar_window.h"

#include <commctrl.h>

#include <cstdio>

#include "calendar_window/bulk_send.h"
#include "calendar_window/month_view.h"
#include "calendar_window/window_texts.h"
#include "editing/day_list.h"
#include "editing/entry_dialog.h"
#include "exchange/exchange_dialogs.h"
#include "help/help_dialogs.h"
#include "reminders/notice_window.h"
#include "reminders/today_notice.h"
#include "resource_ids.h"
#include "settings/settings_sheet.h"
#include "settings/settings_pages.h"
#include "kit/dialog_kit.h"
#include "kit/list_font.h"
#include "mail/mail_job.h"
#include "shell/wide_text.h"

namespace vntra {
namespace {

struct CalendarWindow {
    App* app;
    HWND dialog;
    LocalDate today;
    YearMonth shown;
    int selected_day;
    MonthView month;
    TodoView todo;
    HBRUSH brushes[CELL_SHADE_COUNT];
    HFONT month_list_font;
    HFONT todo_list_font;
};

CalendarWindow* window_of(HWND dialog) {
    return reinterpret_cast<CalendarWindow*>(::GetWindowLongPtrW(dialog, DWLP_USER));
}

std::string number_text(int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    return text;
}

// ---- filling the controls --------------------------------------------------

void set_border(HWND control, bool bordered) {
    LONG_PTR style = ::GetWindowLongPtrW(control, GWL_STYLE);
    LONG_PTR wanted = bordered ? (style | WS_BORDER) : (style & ~static_cast<LONG_PTR>(WS_BORDER));
    if (wanted == style)
        return;
    ::SetWindowLongPtrW(control, GWL_STYLE, wanted);
    ::SetWindowPos(control, nullptr, 0, 0, 0, 0,
                   SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void refresh_month_list(CalendarWindow& w) {
    const App& app = *w.app;
    w.month = build_month_view(app.store, w.shown, w.today, app.settings.mark_range);
    fill_list_rows(::GetDlgItem(w.dialog, IDC_MONTH_LIST), w.month_list_font, w.month.rows);
    enable_week_radios(w.dialog, w.month);
    for (int i = 0; i < MONTH_CELL_COUNT; ++i) {
        int day = w.month.cells[i];
        set_control_text(w.dialog, IDC_FIRST_CELL + i, day ? number_text(day) : "");
        set_border(::GetDlgItem(w.dialog, IDC_FIRST_CELL + i), day && w.month.day_marks[day] == 1);
    }
    ::InvalidateRect(w.dialog, nullptr, TRUE);
}

void show_todo_notice(CalendarWindow& w) {
    set_control_text(w.dialog, IDC_TODO_NOTICE,
                     todo_notice_text(w.todo.entries.size(), w.app->settings.send_todo));
}

void refresh_todo_list(CalendarWindow& w) {
    w.todo = build_todo_view(w.app->store);
    fill_list_rows(::GetDlgItem(w.dialog, IDC_TODO_LIST), w.todo_list_font, w.todo.rows);
    show_todo_notice(w);
}

void show_month(CalendarWindow& w) {
    w.selected_day = day_within_month(w.shown, w.selected_day);
    set_control_text(w.dialog, IDC_YEAR, number_text(w.shown.year));
    set_control_text(w.dialog, IDC_MONTH, number_text(w.shown.month));
    refresh_month_list(w);
}

void show_today_notice(CalendarWindow& w) {
    App& app = *w.app;
    open_notice(app, w.dialog);
    append_notice(app, build_today_notice(app.store, w.today));
    app.today_notice_shown = true;
}

// Both lists show the face and size of the settings; the fonts they had
// before are deleted once the lists no longer use them.
void apply_list_fonts(CalendarWindow& w) {
    HFONT old_fonts[] = {w.month_list_font, w.todo_list_font};
    HWND month_list = ::GetDlgItem(w.dialog, IDC_MONTH_LIST);
    HWND todo_list = ::GetDlgItem(w.dialog, IDC_TODO_LIST);
    w.month_list_font = create_list_font(month_list, w.app->settings);
    w.todo_list_font = create_list_font(todo_list, w.app->settings);
    ::SendMessageW(month_list, WM_SETFONT, reinterpret_cast<WPARAM>(w.month_list_font), TRUE);
    ::SendMessageW(todo_list, WM_SETFONT, reinterpret_cast<WPARAM>(w.todo_list_font), TRUE);
    for (HFONT font : old_fonts)
        if (font)
            ::DeleteObject(font);
}

// ---- dialog routines -------------------------------------------------------

void on_init(CalendarWindow& w) {
    App& app = *w.app;
    app.calendar_window = w.dialog;
    HICON icon = ::LoadIconW(app.instance, MAKEINTRESOURCEW(IDI_PROGRAM));
    ::SendMessageW(w.dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    ::SendMessageW(w.dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));

    for (int shade = 0; shade < CELL_SHADE_COUNT; ++shade) {
        RgbColour colour = shade_colour(static_cast<CellShade>(shade));
        w.brushes[shade] = ::CreateSolidBrush(RGB(colour.red, colour.green, colour.blue));
    }
    apply_list_fonts(w);

    w.today = local_today();
    w.shown = {w.today.year, w.today.month};
    w.selected_day = w.today.day;
    load_record_count(app.store);

    ::CheckRadioButton(w.dialog, IDC_MARK_MONTH, IDC_MARK_TODAY,
                       IDC_MARK_MONTH + shown_mark_range(app.settings.mark_range));
    ::CheckRadioButton(w.dialog, IDC_SEND_MONTH, IDC_SEND_WEEK6, IDC_SEND_MONTH);
    set_control_text(w.dialog, IDC_SEND_MAIL, send_button_caption(app.settings.recipient_address));

    show_month(w);
    refresh_todo_list(w);
    if (!app.today_notice_shown && app.settings.notify_today_at_startup == 1)
        show_today_notice(w);
}

void close_window(CalendarWindow& w) {
    for (HBRUSH& brush : w.brushes) {
        ::DeleteObject(brush);
        brush = nullptr;
    }
    w.app->busy = false;
    w.app->calendar_window = nullptr;
    ::EndDialog(w.dialog, 0);
}

void delete_selected(CalendarWindow& w, int list_id) {
    HWND list = ::GetDlgItem(w.dialog, list_id);
    LRESULT row = ::SendMessageW(list, LB_GETCURSEL, 0, 0);
    const ScheduleList& entries = list_id == IDC_MONTH_LIST ? w.month.entries : w.todo.entries;
    if (row == LB_ERR || row < 0 || static_cast<size_t>(row) >= entries.size())
        return;
    if (!ask_yes_no(w.dialog, DELETE_QUESTION)) {
        ::SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        return;
    }
    if (!delete_record(w.app->store, entries[static_cast<size_t>(row)].record.id)) {
        show_error(w.dialog, DELETE_FAILED_TEXT);
        return;
    }
    if (list_id == IDC_MONTH_LIST)
        refresh_month_list(w);
    else
        refresh_todo_list(w);
}

// ---- editing ------------------------------------------------------------------

LocalDate selected_date(const CalendarWindow& w) {
    return {w.shown.year, w.shown.month, w.selected_day};
}

// The record id behind the selected row of a list, or 0 without a selection.
int32_t selected_id(const CalendarWindow& w, int list_id) {
    int row = selected_row(w.dialog, list_id);
    const ScheduleList& entries = list_id == IDC_MONTH_LIST ? w.month.entries : w.todo.entries;
    if (row < 0 || static_cast<size_t>(row) >= entries.size())
        return 0;
    return entries[static_cast<size_t>(row)].record.id;
}

void edit_schedule(CalendarWindow& w) {
    int32_t id = selected_id(w, IDC_MONTH_LIST);
    if (id == 0)
        return;
    run_entry_dialog(*w.app, w.dialog, {ENTRY_EDIT_SCHEDULE, id, selected_date(w)});
    refresh_month_list(w);
}

void open_todo_entry(CalendarWindow& w, int32_t mode) {
    int32_t id = 0;
    if (mode == ENTRY_EDIT_TODO) {
        id = selected_id(w, IDC_TODO_LIST);
        if (id == 0)
            return;
    }
    run_entry_dialog(*w.app, w.dialog, {mode, id, selected_date(w)});
    refresh_todo_list(w);
}

// A click on a day cell opens that day's list; other clicks do nothing.
void on_click(CalendarWindow& w, POINT point) {
    for (int i = 0; i < MONTH_CELL_COUNT; ++i) {
        RECT cell;
        HWND control = ::GetDlgItem(w.dialog, IDC_FIRST_CELL + i);
        ::GetWindowRect(control, &cell);
        ::MapWindowPoints(nullptr, w.dialog, reinterpret_cast<POINT*>(&cell), 2);
        if (!::PtInRect(&cell, point))
            continue;
        int day = w.month.cells[i];
        if (day == 0)
            return;
        w.selected_day = day;
        run_day_list(*w.app, w.dialog, selected_date(w), w.todo.entries);
        refresh_month_list(w);
        return;
    }
}

void choose_mark_range(CalendarWindow& w, int radio_id) {
    App& app = *w.app;
    ::CheckRadioButton(w.dialog, IDC_MARK_MONTH, IDC_MARK_TODAY, radio_id);
    app.settings.mark_range = radio_id - IDC_MARK_MONTH;
    // A settings file that cannot be written keeps the choice in memory
    // until the next save; the list follows it either way.
    save_settings(app.settings_path, app.settings);
    refresh_month_list(w);
}

// Help, about, import and export run while the window hides; it still holds
// `busy`. Import and export may change what the month shows.
void run_hidden(CalendarWindow& w, void (*run)(App&, HWND), bool refresh) {
    ::ShowWindow(w.dialog, SW_HIDE);
    run(*w.app, w.dialog);
    ::ShowWindow(w.dialog, SW_SHOW);
    if (refresh)
        refresh_month_list(w);
}

void open_settings(CalendarWindow& w) {
    App& app = *w.app;
    SettingsRecord copy = app.settings;
    ::ShowWindow(w.dialog, SW_HIDE);
    bool applied = run_settings_sheet(app, w.dialog);
    ::ShowWindow(w.dialog, SW_SHOW);
    if (applied) {
        apply_list_fonts(w);
        refresh_month_list(w);
        refresh_todo_list(w);
    } else {
        put_back_fields(app.settings, copy, CALENDAR_COPY_END);
    }
    show_todo_notice(w);
    set_control_text(w.dialog, IDC_SEND_MAIL, send_button_caption(app.settings.recipient_address));
}

void on_command(CalendarWindow& w, int id, int notification) {
    switch (id) {
    case IDC_PREVIOUS_MONTH:
        if (step_to_previous_month(w.shown))
            show_month(w);
        break;
    case IDC_NEXT_MONTH:
        step_to_next_month(w.shown);
        show_month(w);
        break;
    case IDC_THIS_MONTH:
        w.shown = {w.today.year, w.today.month};
        show_month(w);
        break;
    case IDC_EDIT_SCHEDULE:
        edit_schedule(w);
        break;
    case IDC_DELETE_SCHEDULE:
        delete_selected(w, IDC_MONTH_LIST);
        break;
    case IDC_NEW_TODO:
        open_todo_entry(w, ENTRY_NEW_TODO);
        break;
    case IDC_EDIT_TODO:
        open_todo_entry(w, ENTRY_EDIT_TODO);
        break;
    case IDC_DELETE_TODO:
        delete_selected(w, IDC_TODO_LIST);
        break;
    case IDC_MARK_MONTH:
    case IDC_MARK_WEEK:
    case IDC_MARK_TODAY:
        if (notification == BN_CLICKED)
            choose_mark_range(w, id);
        break;
    case IDC_SEND_MAIL:
        send_bulk_mail(*w.app, w.dialog, w.month, w.todo.entries);
        break;
    case CMD_SETTINGS:
        open_settings(w);
        break;
    case CMD_HELP:
        run_hidden(w, run_help_window, false);
        break;
    case CMD_ABOUT:
        run_hidden(w, run_about_box, false);
        break;
    case CMD_IMPORT:
        run_hidden(w, run_import_dialog, true);
        break;
    case CMD_EXPORT:
        run_hidden(w, run_export_dialog, true);
        break;
    case CMD_TO_TRAY:
    case IDCANCEL:
        close_window(w);
        break;
    default:
        break;
    }
}

// Paints headers and day cells with their shades; the text keeps its colour.
INT_PTR on_colour(CalendarWindow& w, HDC context, HWND control) {
    int id = ::GetDlgCtrlID(control);
    CellShade shade;
    if (id >= IDC_FIRST_WEEKDAY_HEADER && id <= IDC_LAST_WEEKDAY_HEADER) {
        shade = header_shade(id - IDC_FIRST_WEEKDAY_HEADER);
    } else if (id >= IDC_FIRST_CELL && id <= IDC_LAST_CELL) {
        int index = id - IDC_FIRST_CELL;
        shade = cell_shade(w.shown, index, w.month.cells[index], w.today);
    } else {
        return FALSE;
    }
    ::SetBkMode(context, TRANSPARENT);
    return reinterpret_cast<INT_PTR>(w.brushes[shade]);
}

void on_destroy(CalendarWindow& w) {
    ::DeleteObject(w.month_list_font);
    ::DeleteObject(w.todo_list_font);
    w.month_list_font = w.todo_list_font = nullptr;
}

INT_PTR CALLBACK calendar_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_INITDIALOG) {
        CalendarWindow* w = reinterpret_cast<CalendarWindow*>(lparam);
        w->dialog = dialog;
        ::SetWindowLongPtrW(dialog, DWLP_USER, lparam);
        on_init(*w);
        return TRUE;
    }
    CalendarWindow* w = window_of(dialog);
    if (!w)
        return FALSE;
    // While a mail goes out the window stays up and can page and scroll.
    if (refused_while_sending(dialog, message, wparam,
                              {IDC_PREVIOUS_MONTH, IDC_NEXT_MONTH, IDC_THIS_MONTH, IDC_MONTH_LIST,
                               IDC_TODO_LIST, IDC_MARK_MONTH, IDC_MARK_WEEK, IDC_MARK_TODAY}))
        return TRUE;
    switch (message) {
    case WM_COMMAND:
        on_command(*w, LOWORD(wparam), HIWORD(wparam));
        return TRUE;
    case WM_CTLCOLORSTATIC:
        return on_colour(*w, reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam));
    case WM_LBUTTONUP:
        on_click(*w, {static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))});
        return TRUE;
    case WM_DESTROY:
        on_destroy(*w);
        return FALSE;
    default:
        return FALSE;
    }
}

} // namespace

void open_calendar_window(App& app) {
    CalendarWindow window{};
    window.app = &app;
    ::DialogBoxParamW(app.instance, MAKEINTRESOURCEW(IDD_CALENDAR), app.resident_window,
                      calendar_dialog_proc, reinterpret_cast<LPARAM>(&window));
    // Whatever ended the dialog, the tray must take clicks again.
    app.busy = false;
    app.calendar_window = nullptr;
}

} // namespace vntra
