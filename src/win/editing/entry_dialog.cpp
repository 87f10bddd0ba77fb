#include "editing/entry_dialog.h"

#include <imm.h>

#include "editing/editing_texts.h"
#include "editing/entry_check.h"
#include "kit/dialog_kit.h"
#include "kit/list_font.h"
#include "mail/mail_settings_check.h"
#include "resource_ids.h"
#include "settings/settings_sheet.h"
#include "shell/wide_text.h"

namespace vntra {
namespace {

// The template and the core name the controls alike.
static_assert(IDC_ENTRY_YEAR == ENTRY_YEAR && IDC_ENTRY_MONTH == ENTRY_MONTH &&
              IDC_ENTRY_DAY == ENTRY_DAY && IDC_ENTRY_TIME_RANGE == ENTRY_TIME_RANGE &&
              IDC_ENTRY_DATE_SPAN == ENTRY_DATE_SPAN && IDC_ENTRY_MORNING == ENTRY_MORNING &&
              IDC_ENTRY_AFTERNOON == ENTRY_AFTERNOON && IDC_ENTRY_ALL_DAY == ENTRY_ALL_DAY &&
              IDC_ENTRY_TODO == ENTRY_TODO && IDC_ENTRY_START_HOUR == ENTRY_START_HOUR &&
              IDC_ENTRY_START_MINUTE == ENTRY_START_MINUTE &&
              IDC_ENTRY_END_HOUR == ENTRY_END_HOUR && IDC_ENTRY_END_MINUTE == ENTRY_END_MINUTE &&
              IDC_ENTRY_END_MONTH == ENTRY_END_MONTH && IDC_ENTRY_END_DAY == ENTRY_END_DAY &&
              IDC_ENTRY_CONTENT == ENTRY_CONTENT && IDC_ENTRY_PLACE == ENTRY_PLACE &&
              IDC_ENTRY_ALARM == ENTRY_ALARM && IDC_ENTRY_ALARM_MINUTES == ENTRY_ALARM_MINUTES &&
              IDC_ENTRY_REMINDER == ENTRY_REMINDER &&
              IDC_ENTRY_REMINDER_YEAR == ENTRY_REMINDER_YEAR &&
              IDC_ENTRY_REMINDER_MONTH == ENTRY_REMINDER_MONTH &&
              IDC_ENTRY_REMINDER_DAY == ENTRY_REMINDER_DAY &&
              IDC_ENTRY_REMINDER_HOUR == ENTRY_REMINDER_HOUR &&
              IDC_ENTRY_REMINDER_MINUTE == ENTRY_REMINDER_MINUTE && IDC_ENTRY_OK == ENTRY_OK &&
              IDC_ENTRY_CANCEL == ENTRY_CANCEL);

const int KIND_RADIO_IDS[] = {IDC_ENTRY_TIME_RANGE, IDC_ENTRY_DATE_SPAN, IDC_ENTRY_MORNING,
                              IDC_ENTRY_AFTERNOON,  IDC_ENTRY_ALL_DAY,   IDC_ENTRY_TODO};

struct EntryDialog {
    App* app;
    EntryRequest request;
    ScheduleRecord loaded; // an edit's record as read when the dialog opened
    HWND dialog;
    HFONT text_font;
    bool saved;
};

// ---- the form on screen ----------------------------------------------------

int32_t list_value(HWND dialog, int id) {
    return selected_number(dialog, id, NO_SELECTION);
}

bool is_checked(HWND dialog, int id) {
    return ::IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

EntryForm read_form(HWND dialog) {
    EntryForm form;
    form.kind = KIND_TIME_RANGE;
    for (int id : KIND_RADIO_IDS)
        if (is_checked(dialog, id))
            form.kind = radio_kind(id);
    form.year_text = read_edit_text(dialog, IDC_ENTRY_YEAR, YEAR_READ_CHARS);
    form.month = list_value(dialog, IDC_ENTRY_MONTH);
    form.day = list_value(dialog, IDC_ENTRY_DAY);
    form.start_hour = list_value(dialog, IDC_ENTRY_START_HOUR);
    form.start_minute = list_value(dialog, IDC_ENTRY_START_MINUTE);
    form.end_hour = list_value(dialog, IDC_ENTRY_END_HOUR);
    form.end_minute = list_value(dialog, IDC_ENTRY_END_MINUTE);
    form.end_month = list_value(dialog, IDC_ENTRY_END_MONTH);
    form.end_day = list_value(dialog, IDC_ENTRY_END_DAY);
    form.content = read_edit_text(dialog, IDC_ENTRY_CONTENT, ENTRY_TEXT_READ_BYTES);
    form.place = read_edit_text(dialog, IDC_ENTRY_PLACE, ENTRY_TEXT_READ_BYTES);
    form.alarm_on = is_checked(dialog, IDC_ENTRY_ALARM);
    form.alarm_minutes_text =
        read_edit_text(dialog, IDC_ENTRY_ALARM_MINUTES, ALARM_MINUTES_READ_CHARS);
    form.reminder_on = is_checked(dialog, IDC_ENTRY_REMINDER);
    form.reminder_year_text = read_edit_text(dialog, IDC_ENTRY_REMINDER_YEAR, YEAR_READ_CHARS);
    form.reminder_month = list_value(dialog, IDC_ENTRY_REMINDER_MONTH);
    form.reminder_day = list_value(dialog, IDC_ENTRY_REMINDER_DAY);
    form.reminder_hour = list_value(dialog, IDC_ENTRY_REMINDER_HOUR);
    form.reminder_minute = list_value(dialog, IDC_ENTRY_REMINDER_MINUTE);
    return form;
}

void enable(HWND dialog, std::initializer_list<int> ids, bool enabled) {
    for (int id : ids)
        ::EnableWindow(::GetDlgItem(dialog, id), enabled);
}

// Everything but the two text edits, which keep what the user typed.
void show_form(const EntryDialog& d, const EntryForm& form) {
    HWND dialog = d.dialog;
    for (int id : KIND_RADIO_IDS)
        ::CheckDlgButton(dialog, id, radio_kind(id) == form.kind ? BST_CHECKED : BST_UNCHECKED);
    write_control_text(dialog, IDC_ENTRY_YEAR, form.year_text);
    const struct {
        int id;
        int32_t value;
    } lists[] = {
        {IDC_ENTRY_MONTH, form.month},
        {IDC_ENTRY_DAY, form.day},
        {IDC_ENTRY_START_HOUR, form.start_hour},
        {IDC_ENTRY_START_MINUTE, form.start_minute},
        {IDC_ENTRY_END_HOUR, form.end_hour},
        {IDC_ENTRY_END_MINUTE, form.end_minute},
        {IDC_ENTRY_END_MONTH, form.end_month},
        {IDC_ENTRY_END_DAY, form.end_day},
        {IDC_ENTRY_REMINDER_MONTH, form.reminder_month},
        {IDC_ENTRY_REMINDER_DAY, form.reminder_day},
        {IDC_ENTRY_REMINDER_HOUR, form.reminder_hour},
        {IDC_ENTRY_REMINDER_MINUTE, form.reminder_minute},
    };
    for (const auto& list : lists)
        select_number(dialog, list.id, list.value);
    ::CheckDlgButton(dialog, IDC_ENTRY_ALARM, form.alarm_on ? BST_CHECKED : BST_UNCHECKED);
    write_control_text(dialog, IDC_ENTRY_ALARM_MINUTES, form.alarm_minutes_text);
    ::CheckDlgButton(dialog, IDC_ENTRY_REMINDER, form.reminder_on ? BST_CHECKED : BST_UNCHECKED);
    write_control_text(dialog, IDC_ENTRY_REMINDER_YEAR, form.reminder_year_text);

    EntryEnables e = entry_enables(d.request.mode, form);
    enable(dialog,
           {IDC_ENTRY_TIME_RANGE, IDC_ENTRY_DATE_SPAN, IDC_ENTRY_MORNING, IDC_ENTRY_AFTERNOON,
            IDC_ENTRY_ALL_DAY},
           e.schedule_kinds);
    enable(dialog, {IDC_ENTRY_TODO}, e.todo_kind);
    enable(dialog, {IDC_ENTRY_YEAR, IDC_ENTRY_MONTH, IDC_ENTRY_DAY}, e.date);
    enable(dialog,
           {IDC_ENTRY_START_HOUR, IDC_ENTRY_START_MINUTE, IDC_ENTRY_END_HOUR, IDC_ENTRY_END_MINUTE},
           e.times);
    enable(dialog, {IDC_ENTRY_END_MONTH, IDC_ENTRY_END_DAY}, e.end_date);
    enable(dialog, {IDC_ENTRY_ALARM}, e.alarm_check);
    enable(dialog, {IDC_ENTRY_ALARM_MINUTES}, e.alarm_minutes);
    enable(dialog, {IDC_ENTRY_REMINDER}, e.reminder_check);
    enable(dialog,
           {IDC_ENTRY_REMINDER_YEAR, IDC_ENTRY_REMINDER_MONTH, IDC_ENTRY_REMINDER_DAY,
            IDC_ENTRY_REMINDER_HOUR, IDC_ENTRY_REMINDER_MINUTE},
           e.reminder_fields);
    enable(dialog, {IDC_ENTRY_PLACE}, e.place);
}

// Japanese input is on while the user is in a text field and off elsewhere.
void set_input_method(HWND dialog, int id, bool open) {
    HWND edit = ::GetDlgItem(dialog, id);
    HIMC context = ::ImmGetContext(edit);
    if (!context)
        return;
    ::ImmSetOpenStatus(context, open ? TRUE : FALSE);
    ::ImmReleaseContext(edit, context);
}

// ---- the mail settings the OK button asks for --------------------------------

// Only the guard's questions are needed here: the entry sends no mail.
class EntryMailGuard : public MailUi {
  public:
    EntryMailGuard(App& app, HWND dialog) : app_(app), dialog_(dialog) {}
    void show_message(MessageStyle style, const std::string& text) override {
        if (style == MESSAGE_NOTICE)
            show_notice(dialog_, text);
        else
            show_error(dialog_, text);
    }
    void set_progress_range(int32_t) override {}
    void step_progress(int32_t) override {}
    void reset_progress() override {}
    void enable_send_button(bool) override {}
    // Run directly: the guard keeps no copy and puts nothing back.
    void run_settings_sheet() override { ::vntra::run_settings_sheet(app_, dialog_); }

  private:
    App& app_;
    HWND dialog_;
};

// ---- dialog routines ----------------------------------------------------------

void on_init(EntryDialog& d) {
    App& app = *d.app;
    HWND dialog = d.dialog;
    HICON icon = ::LoadIconW(app.instance, MAKEINTRESOURCEW(IDI_PROGRAM));
    ::SendMessageW(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    ::SendMessageW(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));

    d.text_font = create_face_font(::GetDlgItem(dialog, IDC_ENTRY_CONTENT), app.settings, 9);
    for (int id : {IDC_ENTRY_CONTENT, IDC_ENTRY_PLACE})
        ::SendDlgItemMessageW(dialog, id, WM_SETFONT, reinterpret_cast<WPARAM>(d.text_font), TRUE);

    for (int id : {IDC_ENTRY_MONTH, IDC_ENTRY_END_MONTH, IDC_ENTRY_REMINDER_MONTH})
        fill_number_list(dialog, id, 1, 12, NO_SELECTION);
    for (int id : {IDC_ENTRY_DAY, IDC_ENTRY_END_DAY, IDC_ENTRY_REMINDER_DAY})
        fill_number_list(dialog, id, 1, 31, NO_SELECTION);
    for (int id : {IDC_ENTRY_START_HOUR, IDC_ENTRY_END_HOUR, IDC_ENTRY_REMINDER_HOUR})
        fill_number_list(dialog, id, 0, HOUR_LAST, NO_SELECTION);
    for (int id : {IDC_ENTRY_START_MINUTE, IDC_ENTRY_END_MINUTE, IDC_ENTRY_REMINDER_MINUTE})
        fill_number_list(dialog, id, 0, 55, MINUTE_STEP, NO_SELECTION);

    const EntryRequest& r = d.request;
    EntryForm form = is_edit_mode(r.mode)
                         ? edit_entry_form(r.mode, d.loaded, r.selected, app.settings.alarm_minutes)
                         : new_entry_form(r.mode, r.selected, app.settings.alarm_minutes);
    write_control_text(dialog, IDC_ENTRY_CONTENT, form.content);
    write_control_text(dialog, IDC_ENTRY_PLACE, form.place);
    show_form(d, form);
}

void on_ok(EntryDialog& d) {
    App& app = *d.app;
    EntryMailGuard guard(app, d.dialog);
    if (!check_mail_settings(guard, app.settings))
        return;
    EntryCheck check = check_entry(d.request.mode, read_form(d.dialog));
    if (!check.passed) {
        show_input_error(d.dialog, check.message, check.focus);
        return;
    }
    // A failed write keeps the dialog open with everything typed.
    switch (save_entry(app.store, d.request.mode, d.request.record_id, d.loaded, check.record)) {
    case SAVE_DONE:
        d.saved = true;
        ::EndDialog(d.dialog, IDOK);
        break;
    case SAVE_FAILED:
        show_error(d.dialog, SAVE_FAILED_TEXT);
        break;
    case SAVE_GONE:
        show_error(d.dialog, ENTRY_GONE_TEXT);
        break;
    }
}

// Applies a change that the core computes from the form on screen.
template <typename Change> void change_form(EntryDialog& d, Change change) {
    EntryForm form = read_form(d.dialog);
    change(form);
    show_form(d, form);
}

void on_command(EntryDialog& d, int id, int notification) {
    const EntryRequest& r = d.request;
    int32_t alarm_minutes = d.app->settings.alarm_minutes;
    int32_t kind = radio_kind(id);
    if (kind != 0) {
        if (notification == BN_CLICKED)
            change_form(d, [&](EntryForm& f) { switch_kind(f, kind, r.selected, alarm_minutes); });
        return;
    }
    switch (id) {
    case IDC_ENTRY_START_HOUR:
        if (notification == CBN_SELCHANGE)
            change_form(d, [&](EntryForm& f) { start_hour_changed(f, r.mode); });
        break;
    case IDC_ENTRY_ALARM:
        if (notification == BN_CLICKED)
            change_form(d, [&](EntryForm& f) {
                toggle_alarm(f, is_checked(d.dialog, IDC_ENTRY_ALARM), alarm_minutes);
            });
        break;
    case IDC_ENTRY_REMINDER:
        if (notification == BN_CLICKED)
            change_form(d, [&](EntryForm& f) {
                toggle_reminder(f, is_checked(d.dialog, IDC_ENTRY_REMINDER), r.selected);
            });
        break;
    case IDC_ENTRY_CONTENT:
    case IDC_ENTRY_PLACE:
        if (notification == EN_SETFOCUS || notification == EN_KILLFOCUS)
            set_input_method(d.dialog, id, notification == EN_SETFOCUS);
        break;
    case IDC_ENTRY_OK:
        on_ok(d);
        break;
    case IDC_ENTRY_CANCEL:
    case IDCANCEL:
        ::EndDialog(d.dialog, IDCANCEL);
        break;
    default:
        break;
    }
}

INT_PTR CALLBACK entry_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    EntryDialog* d = dialog_data<EntryDialog>(dialog, message, lparam);
    if (!d)
        return FALSE;
    switch (message) {
    case WM_INITDIALOG:
        d->dialog = dialog;
        on_init(*d);
        return TRUE;
    case WM_COMMAND:
        on_command(*d, LOWORD(wparam), HIWORD(wparam));
        return TRUE;
    case WM_DESTROY:
        ::DeleteObject(d->text_font);
        d->text_font = nullptr;
        return FALSE;
    default:
        return FALSE;
    }
}

} // namespace

bool run_entry_dialog(App& app, HWND opener, const EntryRequest& request) {
    EntryDialog d{};
    d.app = &app;
    d.request = request;
    if (is_edit_mode(request.mode)) {
        switch (load_entry(app.store, request.mode, request.record_id, d.loaded)) {
        case LOAD_DONE:
            break;
        case LOAD_UNREADABLE:
            show_error(opener, LOAD_FAILED_TEXT);
            return false;
        case LOAD_GONE:
            show_error(opener, ENTRY_GONE_TEXT);
            return false;
        }
    }
    // No alarm or reminder scan reads or rewrites records during an edit.
    ::KillTimer(app.resident_window, SCAN_TIMER_ID);
    ::ShowWindow(opener, SW_HIDE);
    run_modal_dialog(app.instance, opener, IDD_ENTRY, entry_dialog_proc, d);
    ::ShowWindow(opener, SW_SHOW);
    ::SetForegroundWindow(opener);
    ::SetTimer(app.resident_window, SCAN_TIMER_ID, SCAN_PERIOD_MS, nullptr);
    return d.saved;
}

} // namespace vntra
