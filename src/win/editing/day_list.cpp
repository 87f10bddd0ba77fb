#include "editing/day_list.h"

#include "calendar/holidays.h"
#include "calendar_window/month_view.h"
#include "calendar_window/window_texts.h"
#include "editing/day_view.h"
#include "editing/entry_dialog.h"
#include "kit/dialog_kit.h"
#include "kit/list_font.h"
#include "mail/mail_job.h"
#include "mail/schedule_mail_command.h"
#include "resource_ids.h"
#include "shell/wide_text.h"

namespace vntra {
namespace {

const COLORREF HOLIDAY_TEXT_COLOUR = RGB(255, 0, 0);

struct DayList {
    App* app;
    LocalDate day;
    const ScheduleList* todo;
    HWND dialog;
    HFONT list_font;
    DayView view; // row i of the list box is view.entries[i]
};

// The day's entries in list order, each with the row the list shows: what
// the day's mail sends.
const DayView& day_entries(const DayList& list) {
    return list.view;
}

void refresh(DayList& list) {
    list.view = build_day_view(list.app->store, list.day);
    fill_list_rows(::GetDlgItem(list.dialog, IDC_DAY_LIST), list.list_font, list.view.rows);
}

// The entry behind the selected row, or null without a selection.
const ScheduleListEntry* selected_entry(const DayList& list) {
    int row = selected_row(list.dialog, IDC_DAY_LIST);
    const ScheduleList& entries = day_entries(list).entries;
    if (row < 0 || static_cast<size_t>(row) >= entries.size())
        return nullptr;
    return &entries[static_cast<size_t>(row)];
}

void open_entry(DayList& list, int32_t mode, int32_t record_id) {
    run_entry_dialog(*list.app, list.dialog, {mode, record_id, list.day});
    refresh(list);
}

void delete_selected(DayList& list) {
    const ScheduleListEntry* entry = selected_entry(list);
    if (!entry)
        return;
    if (!ask_yes_no(list.dialog, DELETE_QUESTION)) {
        ::SendDlgItemMessageW(list.dialog, IDC_DAY_LIST, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        return;
    }
    // A deletion that did not reach the file keeps its row.
    if (!delete_record(list.app->store, entry->record.id)) {
        show_error(list.dialog, DELETE_FAILED_TEXT);
        return;
    }
    refresh(list);
}

// ---- dialog routines -------------------------------------------------------

void on_init(DayList& list) {
    App& app = *list.app;
    HWND dialog = list.dialog;
    HICON icon = ::LoadIconW(app.instance, MAKEINTRESOURCEW(IDI_PROGRAM));
    ::SendMessageW(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    ::SendMessageW(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    write_control_text(dialog, IDC_DAY_DATE, day_caption(list.day));
    write_control_text(dialog, IDC_DAY_HOLIDAY,
                       holiday_name(list.day.year, list.day.month, list.day.day));
    write_control_text(dialog, IDC_DAY_MAIL, send_button_caption(app.settings.recipient_address));
    HWND list_box = ::GetDlgItem(dialog, IDC_DAY_LIST);
    list.list_font = create_list_font(list_box, app.settings);
    ::SendMessageW(list_box, WM_SETFONT, reinterpret_cast<WPARAM>(list.list_font), TRUE);
    refresh(list);
    write_control_text(dialog, IDC_DAY_TODO_NOTICE,
                       day_todo_notice_text(list.todo->size(), app.settings.send_todo));
}

// The day's rows as the list shows them, split after their time column.
void send_day_mail(DayList& list) {
    const DayView& view = day_entries(list);
    ScheduleMailRequest request{view.entries, view.rows,     DAY_LINE_SPLIT,
                                *list.todo,   &DAY_SUBJECTS, {list.day.month, list.day.day}};
    start_schedule_mail(*list.app, list.dialog, std::move(request));
}

void on_command(DayList& list, int id) {
    switch (id) {
    case IDC_DAY_NEW:
        open_entry(list, ENTRY_NEW_SCHEDULE, 0);
        break;
    case IDC_DAY_EDIT:
        if (const ScheduleListEntry* entry = selected_entry(list))
            open_entry(list, ENTRY_EDIT_SCHEDULE, entry->record.id);
        break;
    case IDC_DAY_DELETE:
        delete_selected(list);
        break;
    case IDC_DAY_MAIL:
        send_day_mail(list);
        break;
    case IDC_DAY_CLOSE:
    case IDCANCEL:
        ::EndDialog(list.dialog, 0);
        break;
    default:
        break;
    }
}

INT_PTR on_colour(HDC context, HWND control) {
    if (::GetDlgCtrlID(control) != IDC_DAY_HOLIDAY)
        return FALSE;
    ::SetTextColor(context, HOLIDAY_TEXT_COLOUR);
    ::SetBkMode(context, TRANSPARENT);
    return reinterpret_cast<INT_PTR>(::GetSysColorBrush(COLOR_BTNFACE));
}

INT_PTR CALLBACK day_list_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    DayList* list = dialog_data<DayList>(dialog, message, lparam);
    if (!list)
        return FALSE;
    // While the day's mail goes out the list stays up and can scroll.
    if (refused_while_sending(dialog, message, wparam, {IDC_DAY_LIST}))
        return TRUE;
    switch (message) {
    case WM_INITDIALOG:
        list->dialog = dialog;
        on_init(*list);
        return TRUE;
    case WM_COMMAND:
        on_command(*list, LOWORD(wparam));
        return TRUE;
    case WM_CTLCOLORSTATIC:
        return on_colour(reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam));
    case WM_DESTROY:
        ::DeleteObject(list->list_font);
        list->list_font = nullptr;
        return FALSE;
    default:
        return FALSE;
    }
}

} // namespace

void run_day_list(App& app, HWND opener, const LocalDate& day, const ScheduleList& todo) {
    DayList list{};
    list.app = &app;
    list.day = day;
    list.todo = &todo;
    ::ShowWindow(opener, SW_HIDE);
    run_modal_dialog(app.instance, opener, IDD_DAY_LIST, day_list_proc, list);
    ::ShowWindow(opener, SW_SHOW);
    ::SetForegroundWindow(opener);
}

} // namespace vntra
