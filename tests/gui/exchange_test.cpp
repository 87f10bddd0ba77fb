// CSV export and import: the dialogs from the tray and the calendar window,
// the files they write and the records they append.
#include "gui_kit.h"

#include <algorithm>

#include "resource_ids.h"

namespace vntra::gui {
namespace {

const wchar_t EXPORT_TITLE[] = L"スケジュールデータ（ＣＳＶ）のエクスポート";
const wchar_t IMPORT_TITLE[] = L"スケジュールデータ（ＣＳＶ）のインポート";
const char HEADER[] =
    "開始年,開始月,開始日,区分,開始時,開始分,終了時,終了分,終了月,終了日,内容,場所\r\n";

// The box's message, compared once (the box goes when it is answered).
void check_box(const std::wstring& title, const std::wstring& expected, const Program& program) {
    std::wstring message = answer_message_box(title, program.process_id());
    GUI_CHECK_TEXT(expected, message);
}

bool is_topmost(HWND window) {
    return (::GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

// The tray answers a left click again: nothing holds `busy`.
bool tray_is_free(Program& program) {
    HWND calendar = program.open_calendar();
    if (!calendar)
        return false;
    ::PostMessageW(calendar, WM_COMMAND, CMD_TO_TRAY, 0);
    return wait_gone(calendar);
}

GUI_TEST(export_writes_the_entries_that_touch_the_range) {
    std::filesystem::path folder = fresh_program_folder("export_range");
    ScheduleRecord meeting =
        dated_record(KIND_TIME_RANGE, 2004, 4, 2, 2004, 4, 2, "会議,打合せ", "本社");
    meeting.start_hour = 9;
    meeting.end_hour = 10;
    meeting.end_minute = 30;
    write_records(folder / "vntradata.fil",
                  {meeting, dated_record(KIND_DATE_SPAN, 2004, 3, 25, 2004, 4, 5, "出張", ""),
                   dated_record(KIND_ALL_DAY, 2004, 6, 1, 2004, 6, 1, "範囲外", ""),
                   todo_record("ＴｏＤｏは出さない")});
    Program program;
    GUI_CHECK(program.start(folder));
    ::PostMessageW(program.resident(), WM_COMMAND, CMD_TRAY_EXPORT, 0);
    HWND dialog = find_window(EXPORT_TITLE, program.process_id());
    GUI_CHECK(dialog != nullptr);
    if (!dialog)
        return;
    GUI_CHECK(is_topmost(dialog));
    // It opens on the 1st of last month.
    Today now = today();
    Today last_month = add_days({now.year, now.month, 1, 0}, -1);
    GUI_CHECK_TEXT(std::to_wstring(last_month.year), item_text(dialog, IDC_EXPORT_START_YEAR));
    GUI_CHECK_TEXT(std::to_wstring(last_month.month), item_text(dialog, IDC_EXPORT_START_MONTH));
    GUI_CHECK_TEXT(std::wstring(L"1"), item_text(dialog, IDC_EXPORT_START_DAY));

    // A range that ends before it starts is refused.
    std::filesystem::path output = folder / L"書き出し.csv";
    set_item_text(dialog, IDC_EXPORT_PATH, output.wstring());
    set_item_text(dialog, IDC_EXPORT_START_YEAR, L"2004");
    select_combo_row(dialog, IDC_EXPORT_START_MONTH, 4); // May
    select_combo_row(dialog, IDC_EXPORT_START_DAY, 0);
    set_item_text(dialog, IDC_EXPORT_END_YEAR, L"2004");
    select_combo_row(dialog, IDC_EXPORT_END_MONTH, 3); // April
    select_combo_row(dialog, IDC_EXPORT_END_DAY, 29);
    screenshot("export_dialog");
    click(dialog, IDC_EXPORT_RUN);
    check_box(L"エラー", L"開始日と終了日が逆転しています", program);
    GUI_CHECK(!std::filesystem::exists(output));

    // The chooser names a new file, and asks before it replaces one.
    set_item_text(dialog, IDC_EXPORT_PATH, L"");
    click(dialog, IDC_EXPORT_BROWSE);
    GUI_CHECK(choose_in_file_chooser(program.process_id(), output));
    GUI_CHECK_TEXT(output.wstring(), item_text(dialog, IDC_EXPORT_PATH));
    std::filesystem::path existing = folder / L"既存.csv";
    {
        FILE* file = _wfopen(existing.wstring().c_str(), L"wb");
        std::fclose(file);
    }
    click(dialog, IDC_EXPORT_BROWSE);
    GUI_CHECK(choose_in_file_chooser(program.process_id(), existing, false));
    HWND question = nullptr;
    GUI_CHECK(wait_until([&] {
        for (HWND window : visible_windows(program.process_id()))
            if (static_texts(window).find(L"上書き") != std::wstring::npos)
                question = window;
        return question != nullptr;
    }));
    screenshot("export_replace_question");
    ::PostMessageW(question, WM_COMMAND, IDYES, 0);
    GUI_CHECK(wait_until([&] { return item_text(dialog, IDC_EXPORT_PATH) == existing.wstring(); }));
    set_item_text(dialog, IDC_EXPORT_PATH, output.wstring());

    select_combo_row(dialog, IDC_EXPORT_START_MONTH, 3); // April
    click(dialog, IDC_EXPORT_RUN);
    check_box(L"確認", L"エクスポートが終了しました。", program);
    GUI_CHECK(wait_gone(dialog));
    // Data file order; a content with a comma stays one column.
    GUI_CHECK(read_bytes(output) ==
              shift_jis(std::string(HEADER) + "2004,4,2,1,9,0,10,30,0,0,\"会議,打合せ\",本社\r\n"
                                              "2004,3,25,2,0,0,0,0,4,5,出張,\r\n"));

    // The same range as iCalendar: the chooser gives a name typed without
    // an extension ".ics", and the file is UTF-8 with Japan's zone.
    GUI_CHECK(tray_is_free(program));
    ::PostMessageW(program.resident(), WM_COMMAND, CMD_TRAY_EXPORT, 0);
    dialog = find_window(EXPORT_TITLE, program.process_id());
    GUI_CHECK(dialog != nullptr);
    if (!dialog)
        return;
    click(dialog, IDC_EXPORT_FORMAT_ICAL);
    click(dialog, IDC_EXPORT_BROWSE);
    GUI_CHECK(choose_in_file_chooser(program.process_id(), folder / L"予定表"));
    std::filesystem::path calendar_file = folder / L"予定表.ics";
    GUI_CHECK_TEXT(calendar_file.wstring(), item_text(dialog, IDC_EXPORT_PATH));
    set_item_text(dialog, IDC_EXPORT_START_YEAR, L"2004");
    select_combo_row(dialog, IDC_EXPORT_START_MONTH, 3);
    select_combo_row(dialog, IDC_EXPORT_START_DAY, 0);
    set_item_text(dialog, IDC_EXPORT_END_YEAR, L"2004");
    select_combo_row(dialog, IDC_EXPORT_END_MONTH, 3);
    select_combo_row(dialog, IDC_EXPORT_END_DAY, 29);
    screenshot("export_dialog_icalendar");
    click(dialog, IDC_EXPORT_RUN);
    check_box(L"確認", L"エクスポートが終了しました。", program);
    GUI_CHECK(wait_gone(dialog));
    std::string ics = read_bytes(calendar_file);
    GUI_CHECK(ics.rfind("BEGIN:VCALENDAR\r\nVERSION:2.0\r\n", 0) == 0);
    for (const char* line : {"SUMMARY:会議\\,打合せ\r\nLOCATION:本社\r\n",
                             "DTSTART;TZID=Asia/Tokyo:20040402T090000\r\n",
                             "DTSTART;VALUE=DATE:20040325\r\nDTEND;VALUE=DATE:20040406\r\n",
                             "BEGIN:VTODO\r\n", "END:VCALENDAR\r\n"})
        GUI_CHECK(ics.find(line) != std::string::npos);
    GUI_CHECK(ics.find("範囲外") == std::string::npos);
    GUI_CHECK(tray_is_free(program));
    GUI_CHECK(program.exit_from_tray());
}

std::filesystem::path error_file_in(const std::filesystem::path& folder) {
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        std::string name = entry.path().filename().string();
        if (name.rfind("vntraerr", 0) == 0 && name.size() == 26)
            return entry.path();
    }
    return {};
}

GUI_TEST(import_appends_good_lines_and_lists_the_bad_ones) {
    std::filesystem::path folder = fresh_program_folder("import_lines");
    Today now = today();
    write_records(folder / "vntradata.fil", {todo_record("元からあるＴｏＤｏ")});
    std::string y = std::to_string(now.year);
    std::string m = std::to_string(now.month);
    std::string good_timed = y + "," + m + ",1,1,9,7,10,58,0,0,\"会議,打合せ\",本社";
    std::string good_day = y + "," + m + ",2,5,,,,,,,\"棚卸し\r\n倉庫\"";
    std::string bad_year = "1999,3,15,7,0,0,0,0,0,0,古い,";
    std::string no_content = y + ",13,1,3,0,0,0,0,0,0,,";
    // UTF-8 without a byte order mark, as LibreOffice and Google Sheets save it.
    std::filesystem::path input = folder / L"取込.csv";
    write_bytes(input, std::string(HEADER) + good_timed + "\r\n" + bad_year + "\r\n" + good_day +
                           "\r\n" + no_content + "\r\n");
    // Excel's "Unicode テキスト" saved under a .csv name.
    std::filesystem::path unicode = folder / L"ユニコード.csv";
    std::wstring unicode_text = L"\xFEFF" + wide(std::string(HEADER) + good_timed + "\r\n");
    write_bytes(unicode, std::string(reinterpret_cast<const char*>(unicode_text.data()),
                                     unicode_text.size() * sizeof(wchar_t)));

    Program program;
    GUI_CHECK(program.start(folder));
    HWND calendar = program.open_calendar();
    GUI_CHECK(calendar != nullptr);
    if (!calendar)
        return;
    size_t rows_before = list_rows(calendar, IDC_MONTH_LIST).size();
    ::PostMessageW(calendar, WM_COMMAND, CMD_IMPORT, 0);
    HWND dialog = find_window(IMPORT_TITLE, program.process_id());
    GUI_CHECK(dialog != nullptr);
    if (!dialog)
        return;
    GUI_CHECK(is_topmost(dialog));
    GUI_CHECK(!::IsWindowVisible(calendar));
    // Nothing chosen yet.
    click(dialog, IDC_IMPORT_RUN);
    check_box(L"エラー", L"ファイルが入力されていません", program);
    GUI_CHECK(item_text(dialog, IDC_IMPORT_INSTRUCTIONS).find(L"vntraerr+日時.csv") !=
              std::wstring::npos);
    // Read from the screen: given the time to be painted again after the box.
    GUI_CHECK(wait_until(
        [&] { return pixel_at(dialog, IDC_IMPORT_INSTRUCTIONS, 200, 6) == RGB(255, 255, 200); }));
    // No line of the instructions is wrapped by the field, down to the last.
    HWND instructions = ::GetDlgItem(dialog, IDC_IMPORT_INSTRUCTIONS);
    std::wstring shown = item_text(dialog, IDC_IMPORT_INSTRUCTIONS);
    GUI_CHECK(::SendMessageW(instructions, EM_GETLINECOUNT, 0, 0) ==
              1 + std::count(shown.begin(), shown.end(), L'\n'));
    ::SendMessageW(instructions, WM_VSCROLL, SB_BOTTOM, 0);
    screenshot("import_dialog_instructions_end");

    // A UTF-16 file is refused whole, with the way to save it instead.
    click(dialog, IDC_IMPORT_BROWSE);
    GUI_CHECK(choose_in_file_chooser(program.process_id(), unicode));
    click(dialog, IDC_IMPORT_RUN);
    GUI_CHECK(find_window(L"エラー", program.process_id()) != nullptr);
    screenshot("import_utf16_refused");
    check_box(L"エラー",
              L"Unicode テキスト（UTF-16）のファイルは\n読み込めません。\n"
              L"Excelの「名前を付けて保存」で、\nファイルの種類を「CSV UTF-8」または\n"
              L"「CSV (コンマ区切り)」にして保存し直し、\nもう一度インポートして下さい。",
              program);
    GUI_CHECK(error_file_in(folder).empty());
    GUI_CHECK(records_of(folder / "vntradata.fil").size() == 1);

    click(dialog, IDC_IMPORT_BROWSE);
    GUI_CHECK(choose_in_file_chooser(program.process_id(), input));
    GUI_CHECK_TEXT(input.wstring(), item_text(dialog, IDC_IMPORT_PATH));
    screenshot("import_dialog");
    click(dialog, IDC_IMPORT_RUN);
    check_box(L"確認", L"インポートが終了しました。\nエラーがあります。", program);
    GUI_CHECK(wait_gone(dialog));

    // Back in the calendar window, which lists the new entries of this month.
    GUI_CHECK(wait_until([&] { return ::IsWindowVisible(calendar) != FALSE; }));
    GUI_CHECK(
        wait_until([&] { return list_rows(calendar, IDC_MONTH_LIST).size() == rows_before + 2; }));
    std::vector<ScheduleRecord> records = records_of(folder / "vntradata.fil");
    GUI_CHECK(records.size() == 3);
    if (records.size() == 3) {
        const ScheduleRecord& timed = records[1];
        GUI_CHECK(timed.id == 2 && timed.kind == KIND_TIME_RANGE && timed.start_minute == 5 &&
                  timed.end_minute == 55 && timed.end_day == 1);
        GUI_CHECK(std::string(timed.content) == shift_jis("会議,打合せ"));
        GUI_CHECK(records[2].id == 3 && records[2].kind == KIND_ALL_DAY &&
                  records[2].end_hour == 24 && std::string(records[2].place).empty());
        GUI_CHECK(std::string(records[2].content) == shift_jis("棚卸し 倉庫"));
    }
    std::filesystem::path errors = error_file_in(folder);
    GUI_CHECK(!errors.empty());
    GUI_CHECK(read_bytes(errors) ==
              shift_jis(std::string(HEADER) + bad_year + ",開始年が範囲外\r\n" + no_content +
                        ",内容が未入力\r\n"));

    // An iCalendar file from another calendar: a weekly series of two, a day
    // event, and one whose summary Shift-JIS cannot hold. Its second import
    // adds nothing.
    char month[8];
    std::snprintf(month, sizeof month, "%04d%02d", now.year, now.month);
    std::string ym = month;
    std::filesystem::path ics = folder / L"他のカレンダー.ics";
    {
        std::string text = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\nUID:gui-1\r\n"
                           "DTSTART:" +
                           ym + "03T100000\r\nDTEND:" + ym +
                           "03T110000\r\n"
                           "RRULE:FREQ=WEEKLY;COUNT=2\r\nSUMMARY:朝会\r\nEND:VEVENT\r\n"
                           "BEGIN:VEVENT\r\nUID:gui-2\r\nDTSTART;VALUE=DATE:" +
                           ym +
                           "20\r\n"
                           "SUMMARY:棚卸し\r\nLOCATION:倉庫\r\nEND:VEVENT\r\n"
                           "BEGIN:VEVENT\r\nUID:gui-3\r\nDTSTART:" +
                           ym +
                           "21T010000Z\r\n"
                           "SUMMARY:花見 🌸\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n";
        FILE* file = _wfopen(ics.wstring().c_str(), L"wb");
        std::fwrite(text.data(), 1, text.size(), file);
        std::fclose(file);
    }
    const wchar_t* const closing[] = {
        L"インポートが終了しました。\n取り込んだ予定：3件（うち繰り返しの予定から2件）\n"
        L"前に取り込んだため飛ばした予定：0件\n"
        L"取り込めなかった予定：1件（エラーファイルに記録しました）\n内容・場所を切り詰めた予定：0"
        L"件",
        L"インポートが終了しました。\n取り込んだ予定：0件（うち繰り返しの予定から0件）\n"
        L"前に取り込んだため飛ばした予定：3件\n"
        L"取り込めなかった予定：1件（エラーファイルに記録しました）\n内容・場所を切り詰めた予定：0"
        L"件",
    };
    for (const wchar_t* expected : closing) {
        ::PostMessageW(calendar, WM_COMMAND, CMD_IMPORT, 0);
        dialog = find_window(IMPORT_TITLE, program.process_id());
        GUI_CHECK(dialog != nullptr);
        if (!dialog)
            return;
        // Series are made from a year back to two years ahead.
        GUI_CHECK_TEXT(std::to_wstring(now.year - 1),
                       item_text(dialog, IDC_IMPORT_WINDOW_FIRST_YEAR));
        GUI_CHECK_TEXT(std::to_wstring(now.year + 2),
                       item_text(dialog, IDC_IMPORT_WINDOW_LAST_YEAR));
        click(dialog, IDC_IMPORT_BROWSE);
        GUI_CHECK(choose_in_file_chooser(program.process_id(), ics));
        screenshot("import_dialog_icalendar");
        click(dialog, IDC_IMPORT_RUN);
        check_box(L"確認", expected, program);
        GUI_CHECK(wait_gone(dialog));
        GUI_CHECK(wait_until([&] { return ::IsWindowVisible(calendar) != FALSE; }));
    }
    GUI_CHECK(
        wait_until([&] { return list_rows(calendar, IDC_MONTH_LIST).size() == rows_before + 5; }));
    records = records_of(folder / "vntradata.fil");
    GUI_CHECK(records.size() == 6);
    if (records.size() == 6)
        GUI_CHECK(records[3].kind == KIND_TIME_RANGE && records[3].start_day == 3 &&
                  records[3].start_hour == 10 && records[4].start_day == 10 &&
                  records[5].kind == KIND_ALL_DAY &&
                  std::string(records[5].place) == shift_jis("倉庫"));

    // The calendar window still holds `busy`.
    program.tray_click(WM_LBUTTONDOWN);
    ::Sleep(800);
    GUI_CHECK(count_windows(L"Vontara", program.process_id()) == 1);
    ::PostMessageW(calendar, WM_COMMAND, CMD_TO_TRAY, 0);
    GUI_CHECK(wait_gone(calendar));
    GUI_CHECK(program.exit_from_tray());
}

GUI_TEST(import_of_a_file_that_has_gone_says_so) {
    std::filesystem::path folder = fresh_program_folder("import_gone");
    std::filesystem::path input = folder / L"消える.csv";
    {
        FILE* file = _wfopen(input.wstring().c_str(), L"wb");
        std::fputs("header\r\n", file);
        std::fclose(file);
    }
    Program program;
    GUI_CHECK(program.start(folder));
    ::PostMessageW(program.resident(), WM_COMMAND, CMD_TRAY_IMPORT, 0);
    HWND dialog = find_window(IMPORT_TITLE, program.process_id());
    GUI_CHECK(dialog != nullptr);
    if (!dialog)
        return;
    click(dialog, IDC_IMPORT_BROWSE);
    GUI_CHECK(choose_in_file_chooser(program.process_id(), input));
    std::filesystem::remove(input);
    click(dialog, IDC_IMPORT_RUN);
    check_box(L"エラー", L"インポートするファイルを開けませんでした", program);
    GUI_CHECK(error_file_in(folder).empty());
    // The dialog stays; closing it frees the tray.
    GUI_CHECK(::IsWindowVisible(dialog));
    click(dialog, IDC_EXCHANGE_CLOSE);
    GUI_CHECK(wait_gone(dialog));
    GUI_CHECK(tray_is_free(program));
    GUI_CHECK(program.exit_from_tray());
}

} // namespace
} // namespace vntra::gui
