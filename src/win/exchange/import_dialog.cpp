#include <vector>

#include "exchange/csv_export.h"
#include "exchange/csv_import.h"
#include "exchange/exchange_dialogs.h"
#include "exchange/exchange_texts.h"
#include "exchange/ical_import.h"
#include "exchange/ical_texts.h"
#include "kit/dialog_kit.h"
#include "kit/file_chooser.h"
#include "kit/note_field.h"
#include "platform/sjis_text.h"
#include "resource_ids.h"
#include "shell/wide_text.h"

namespace vntra {
namespace {

const std::vector<FileFilter> IMPORT_FILTERS = {
    {"予定表ファイル (*.csv;*.ics)", "*.csv;*.ics"},
    {"CSV (*.csv)", "*.csv"},
    {"iCalendar (*.ics)", "*.ics"},
};

const char INSTRUCTIONS[] = "\r\n"
                            "１．圧縮ファイルの中にimport.csvというファイルがあるので、\r\n"
                            "　　適当なフォルダにコピーし、そのファイルにデータを作って\r\n"
                            "　　下さい。\r\n"
                            "２．作成する項目の説明は以下のとおりです。\r\n"
                            "　　　開始年　→　スケジュールの開始年\r\n"
                            "　　　開始月　→　スケジュールの開始月\r\n"
                            "　　　開始日　→　スケジュールの開始日\r\n"
                            "　　　区分　　→　１：時間指定　２：終了日指定　３：午前\r\n"
                            "　　　　　　　　　４：午後　　　５：終日\r\n"
                            "　　　開始時　→　区分が１のとき入力\r\n"
                            "　　　開始分　→　区分が１のとき入力\r\n"
                            "　　　終了時　→　区分が１のとき入力\r\n"
                            "　　　終了分　→　区分が１のとき入力\r\n"
                            "　　　終了月　→　区分が２のとき入力\r\n"
                            "　　　終了日　→　区分が２のとき入力\r\n"
                            "　　　内容　　→　日本語（２バイト）で入力\r\n"
                            "　　　場所　　→　日本語（２バイト）で入力\r\n"
                            "３．入力が完了したら、そのまま保存するか、別の名前で保存して\r\n"
                            "　　下さい（拡張子はcsv）\r\n"
                            "４．インポートを行う時は、先程保存したファイルを指定します。\r\n"
                            "　　なお、１行目が項目名（開始年,開始月,…）のときは、その行は\r\n"
                            "　　インポートしません。データのときはインポートします。\r\n"
                            "５．インポートデータにエラーがある場合は、同じフォルダに\r\n"
                            "　　エラーファイル（vntraerr+日時.csv）を作成します。\r\n"
                            "６．他のカレンダーのiCalendarファイル（拡張子ics）も選べます。\r\n"
                            "　　繰り返しの予定は下の期間の分を取り込みます。";

struct ImportDialog {
    App* app;
    HWND dialog;
    std::filesystem::path chosen; // as the chooser gave it, any characters
    NoteField instructions;
};

// The window's first and last day, each as a year edit and two lists.
void show_window_day(HWND dialog, int year_id, LocalDate day) {
    write_control_text(dialog, year_id, std::to_string(day.year));
    fill_number_list(dialog, year_id + 1, 1, 12, day.month);
    fill_number_list(dialog, year_id + 2, 1, 31, day.day);
}

void on_init(ImportDialog& d) {
    ::SetWindowPos(d.dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    open_note_field(d.dialog, IDC_IMPORT_INSTRUCTIONS, INSTRUCTIONS, d.instructions);
    RecurrenceWindow window = default_recurrence_window(local_today());
    show_window_day(d.dialog, IDC_IMPORT_WINDOW_FIRST_YEAR, window_day(window.first_day));
    show_window_day(d.dialog, IDC_IMPORT_WINDOW_LAST_YEAR, window_day(window.last_day));
    ::SetFocus(::GetDlgItem(d.dialog, IDC_IMPORT_BROWSE));
}

void close_dialog(ImportDialog& d) {
    release_busy(*d.app);
    ::EndDialog(d.dialog, 0);
}

void on_browse(ImportDialog& d) {
    std::wstring path;
    if (!choose_file(d.dialog, CHOOSE_EXISTING_FILE, IMPORT_FILTERS, path))
        return;
    d.chosen = path;
    ::SetDlgItemTextW(d.dialog, IDC_IMPORT_PATH, path.c_str());
}

int window_control(ExportFormField field) {
    switch (field) {
    case EXPORT_FIELD_START_YEAR:
        return IDC_IMPORT_WINDOW_FIRST_YEAR;
    case EXPORT_FIELD_START_MONTH:
        return IDC_IMPORT_WINDOW_FIRST_MONTH;
    case EXPORT_FIELD_START_DAY:
        return IDC_IMPORT_WINDOW_FIRST_DAY;
    case EXPORT_FIELD_END_YEAR:
        return IDC_IMPORT_WINDOW_LAST_YEAR;
    case EXPORT_FIELD_END_MONTH:
        return IDC_IMPORT_WINDOW_LAST_MONTH;
    case EXPORT_FIELD_END_DAY:
        return IDC_IMPORT_WINDOW_LAST_DAY;
    case EXPORT_FIELD_BROWSE:
    default:
        return IDC_IMPORT_BROWSE;
    }
}

const char* ical_failure(IcalImportStatus status) {
    switch (status) {
    case ICAL_IMPORT_CANNOT_OPEN_INPUT:
        return IMPORT_INPUT_UNREADABLE;
    case ICAL_IMPORT_READ_FAILED:
        return ICAL_READ_FAILED;
    case ICAL_IMPORT_UTF16:
        return ICAL_UTF16;
    case ICAL_IMPORT_NOT_ICALENDAR:
        return ICAL_NOT_READABLE;
    case ICAL_IMPORT_CUT_SHORT:
        return ICAL_CUT_SHORT;
    case ICAL_IMPORT_DATA_UNREADABLE:
        return ICAL_DATA_UNREADABLE;
    case ICAL_IMPORT_MEMORY_UNREADABLE:
        return ICAL_MEMORY_UNREADABLE;
    case ICAL_IMPORT_CANNOT_CREATE_ERROR_FILE:
        return ERROR_FILE_IN_USE;
    case ICAL_IMPORT_FINISHED:
        break;
    }
    return nullptr;
}

// An iCalendar file: its series are made inside the window the dialog shows.
void on_import_icalendar(ImportDialog& d) {
    ExportForm form{sjis_from_path(d.chosen),
                    control_text(d.dialog, IDC_IMPORT_WINDOW_FIRST_YEAR),
                    selected_number(d.dialog, IDC_IMPORT_WINDOW_FIRST_MONTH, 0),
                    selected_number(d.dialog, IDC_IMPORT_WINDOW_FIRST_DAY, 0),
                    control_text(d.dialog, IDC_IMPORT_WINDOW_LAST_YEAR),
                    selected_number(d.dialog, IDC_IMPORT_WINDOW_LAST_MONTH, 0),
                    selected_number(d.dialog, IDC_IMPORT_WINDOW_LAST_DAY, 0)};
    ExportRange range{};
    FormError error{nullptr, EXPORT_FIELD_BROWSE};
    if (!check_export_form(form, range, error)) {
        show_input_error(d.dialog, error.message, window_control(error.focus));
        return;
    }
    LocalTimeStamp now = current_local_time();
    IcalImportOptions options =
        ical_import_options(now, window_of_range(range), d.app->settings.expiry_days);
    HCURSOR previous = ::SetCursor(::LoadCursorW(nullptr, MAKEINTRESOURCEW(32514))); // IDC_WAIT
    IcalImportResult result =
        import_icalendar_file(d.app->store, d.chosen, error_file_path(d.chosen, now), options);
    ::SetCursor(previous);
    if (const char* failure = ical_failure(result.status)) {
        show_input_error(d.dialog, failure, IDC_IMPORT_BROWSE);
        return;
    }
    show_notice(d.dialog, ical_import_message(result));
    close_dialog(d);
}

void on_import(ImportDialog& d) {
    if (d.chosen.empty()) {
        show_input_error(d.dialog, NO_FILE_GIVEN, IDC_IMPORT_BROWSE);
        return;
    }
    // The file's first line decides the format, whatever its name.
    if (is_icalendar_file(d.chosen)) {
        on_import_icalendar(d);
        return;
    }
    std::filesystem::path error_file = error_file_path(d.chosen, current_local_time());
    HCURSOR previous = ::SetCursor(::LoadCursorW(nullptr, MAKEINTRESOURCEW(32514))); // IDC_WAIT
    ImportResult result = import_schedule_file(d.app->store, d.chosen, error_file);
    ::SetCursor(previous);
    switch (result.status) {
    case IMPORT_CANNOT_OPEN_INPUT:
        show_input_error(d.dialog, IMPORT_INPUT_UNREADABLE, IDC_IMPORT_BROWSE);
        return;
    case IMPORT_CANNOT_CREATE_ERROR_FILE:
        show_input_error(d.dialog, ERROR_FILE_IN_USE, IDC_IMPORT_BROWSE);
        return;
    case IMPORT_UTF16_REFUSED:
        show_input_error(d.dialog, IMPORT_UTF16_HOW_TO_SAVE, IDC_IMPORT_BROWSE);
        return;
    case IMPORT_FINISHED:
        show_notice(d.dialog, import_final_message(result));
        close_dialog(d);
        return;
    }
}

void on_command(ImportDialog& d, int id) {
    switch (id) {
    case IDC_IMPORT_BROWSE:
        on_browse(d);
        break;
    case IDC_IMPORT_RUN:
        on_import(d);
        break;
    case IDC_EXCHANGE_CLOSE:
    case IDCANCEL:
        close_dialog(d);
        break;
    default:
        break;
    }
}

INT_PTR CALLBACK import_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    ImportDialog* d = dialog_data<ImportDialog>(dialog, message, lparam);
    if (!d)
        return FALSE;
    switch (message) {
    case WM_INITDIALOG:
        d->dialog = dialog;
        on_init(*d);
        return FALSE; // the focus is set
    case WM_COMMAND:
        on_command(*d, LOWORD(wparam));
        return TRUE;
    case WM_CTLCOLORSTATIC:
        return note_field_colour(d->instructions, reinterpret_cast<HDC>(wparam),
                                 reinterpret_cast<HWND>(lparam));
    default:
        return FALSE;
    }
}

} // namespace

void run_import_dialog(App& app, HWND owner) {
    ImportDialog d{&app, nullptr, {}, {}};
    if (run_modal_dialog(app.instance, owner, IDD_IMPORT, import_dialog_proc, d) == -1)
        release_busy(app);
    close_note_field(d.instructions);
}

} // namespace vntra
