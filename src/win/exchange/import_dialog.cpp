#include "exchange/csv_import.h"
#include "exchange/exchange_dialogs.h"
#include "exchange/exchange_texts.h"
#include "kit/dialog_kit.h"
#include "kit/file_chooser.h"
#include "kit/note_field.h"
#include "resource_ids.h"

namespace vntra {
namespace {

const char CSV_FILTER_NAME[] = "csv files {*.csv}";
const char CSV_PATTERN[] = "*.csv";

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
                            "　　なお、１件目のデータは、項目名になるので、インポートは\r\n"
                            "　　しません。２行目以降をインポートします。\r\n"
                            "５．インポートデータにエラーがある場合は、同じフォルダに\r\n"
                            "　　エラーファイル（vntraerr+日時.csv）を作成します。";

struct ImportDialog {
    App* app;
    HWND dialog;
    std::filesystem::path chosen; // as the chooser gave it, any characters
    NoteField instructions;
};

void on_init(ImportDialog& d) {
    ::SetWindowPos(d.dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    open_note_field(d.dialog, IDC_IMPORT_INSTRUCTIONS, INSTRUCTIONS, d.instructions);
    ::SetFocus(::GetDlgItem(d.dialog, IDC_IMPORT_BROWSE));
}

void close_dialog(ImportDialog& d) {
    release_busy(*d.app);
    ::EndDialog(d.dialog, 0);
}

void on_browse(ImportDialog& d) {
    std::wstring path;
    if (!choose_file(d.dialog, CHOOSE_EXISTING_FILE, CSV_FILTER_NAME, CSV_PATTERN, path))
        return;
    d.chosen = path;
    ::SetDlgItemTextW(d.dialog, IDC_IMPORT_PATH, path.c_str());
}

void on_import(ImportDialog& d) {
    if (d.chosen.empty()) {
        show_input_error(d.dialog, NO_FILE_GIVEN, IDC_IMPORT_BROWSE);
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
