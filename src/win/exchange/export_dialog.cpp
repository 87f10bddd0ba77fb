#include <cstdio>

#include "exchange/csv_export.h"
#include "exchange/exchange_texts.h"
#include "exchange/ical_export.h"
#include "exchange/exchange_dialogs.h"
#include "kit/dialog_kit.h"
#include "kit/file_chooser.h"
#include "resource_ids.h"
#include "shell/wide_text.h"

namespace vntra {
namespace {

const char CSV_FILTER_NAME[] = "csv files {*.csv}";
const char CSV_PATTERN[] = "*.csv";
const char ICAL_FILTER_NAME[] = "iCalendar (*.ics)";
const char ICAL_PATTERN[] = "*.ics";

struct ExportDialog {
    App* app;
    HWND dialog;
};

void make_topmost(HWND window) {
    ::SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

std::string number_text(int32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    return text;
}

int control_of(ExportFormField field) {
    switch (field) {
    case EXPORT_FIELD_START_YEAR:
        return IDC_EXPORT_START_YEAR;
    case EXPORT_FIELD_START_MONTH:
        return IDC_EXPORT_START_MONTH;
    case EXPORT_FIELD_START_DAY:
        return IDC_EXPORT_START_DAY;
    case EXPORT_FIELD_END_YEAR:
        return IDC_EXPORT_END_YEAR;
    case EXPORT_FIELD_END_MONTH:
        return IDC_EXPORT_END_MONTH;
    case EXPORT_FIELD_END_DAY:
        return IDC_EXPORT_END_DAY;
    case EXPORT_FIELD_BROWSE:
    default:
        return IDC_EXPORT_BROWSE;
    }
}

void on_init(ExportDialog& d) {
    make_topmost(d.dialog);
    DateFields start{}, end{};
    initial_export_range(local_today(), start, end);
    write_control_text(d.dialog, IDC_EXPORT_START_YEAR, number_text(start.year));
    fill_number_list(d.dialog, IDC_EXPORT_START_MONTH, 1, 12, start.month);
    fill_number_list(d.dialog, IDC_EXPORT_START_DAY, 1, 31, start.day);
    write_control_text(d.dialog, IDC_EXPORT_END_YEAR, number_text(end.year));
    fill_number_list(d.dialog, IDC_EXPORT_END_MONTH, 1, 12, end.month);
    fill_number_list(d.dialog, IDC_EXPORT_END_DAY, 1, 31, end.day);
    ::CheckRadioButton(d.dialog, IDC_EXPORT_FORMAT_CSV, IDC_EXPORT_FORMAT_ICAL,
                       IDC_EXPORT_FORMAT_CSV);
}

bool icalendar_chosen(const ExportDialog& d) {
    return ::IsDlgButtonChecked(d.dialog, IDC_EXPORT_FORMAT_ICAL) == BST_CHECKED;
}

void close_dialog(ExportDialog& d) {
    release_busy(*d.app);
    ::EndDialog(d.dialog, 0);
}

void on_browse(ExportDialog& d) {
    std::wstring path;
    bool ical = icalendar_chosen(d);
    if (choose_file(d.dialog, CHOOSE_FILE_TO_SAVE, ical ? ICAL_FILTER_NAME : CSV_FILTER_NAME,
                    ical ? ICAL_PATTERN : CSV_PATTERN, path))
        ::SetDlgItemTextW(d.dialog, IDC_EXPORT_PATH, path.c_str());
}

void on_export(ExportDialog& d) {
    ExportForm form{control_text(d.dialog, IDC_EXPORT_PATH),
                    control_text(d.dialog, IDC_EXPORT_START_YEAR),
                    selected_number(d.dialog, IDC_EXPORT_START_MONTH, 0),
                    selected_number(d.dialog, IDC_EXPORT_START_DAY, 0),
                    control_text(d.dialog, IDC_EXPORT_END_YEAR),
                    selected_number(d.dialog, IDC_EXPORT_END_MONTH, 0),
                    selected_number(d.dialog, IDC_EXPORT_END_DAY, 0)};
    ExportRange range{};
    FormError error{nullptr, EXPORT_FIELD_BROWSE};
    if (!check_export_form(form, range, error)) {
        show_input_error(d.dialog, error.message, control_of(error.focus));
        return;
    }
    // The typed or chosen path as the window holds it, whatever its characters.
    std::filesystem::path output(control_wide_text(d.dialog, IDC_EXPORT_PATH));
    int32_t exported = 0;
    HCURSOR previous = ::SetCursor(::LoadCursorW(nullptr, MAKEINTRESOURCEW(32514))); // IDC_WAIT
    ExportStatus status =
        icalendar_chosen(d)
            ? export_icalendar(d.app->store, output, range, current_local_time(), exported)
            : export_schedule(d.app->store, output, range, exported);
    ::SetCursor(previous);
    switch (status) {
    case EXPORT_OK:
        show_notice(d.dialog, EXPORT_DONE);
        close_dialog(d);
        break;
    case EXPORT_CANNOT_CREATE:
        show_input_error(d.dialog, EXPORT_FILE_IN_USE, IDC_EXPORT_BROWSE);
        break;
    case EXPORT_CANNOT_READ_DATA:
        show_error(d.dialog, EXPORT_DATA_UNREADABLE);
        break;
    case EXPORT_INCOMPLETE:
        show_error(d.dialog, EXPORT_WRITE_FAILED);
        break;
    }
}

void on_command(ExportDialog& d, int id) {
    switch (id) {
    case IDC_EXPORT_BROWSE:
        on_browse(d);
        break;
    case IDC_EXPORT_RUN:
        on_export(d);
        break;
    case IDC_EXCHANGE_CLOSE:
    case IDCANCEL:
        close_dialog(d);
        break;
    default:
        break;
    }
}

INT_PTR CALLBACK export_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    ExportDialog* d = dialog_data<ExportDialog>(dialog, message, lparam);
    if (!d)
        return FALSE;
    switch (message) {
    case WM_INITDIALOG:
        d->dialog = dialog;
        on_init(*d);
        return TRUE;
    case WM_COMMAND:
        on_command(*d, LOWORD(wparam));
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

void run_export_dialog(App& app, HWND owner) {
    ExportDialog d{&app, nullptr};
    if (run_modal_dialog(app.instance, owner, IDD_EXPORT, export_dialog_proc, d) == -1)
        release_busy(app);
}

} // namespace vntra
