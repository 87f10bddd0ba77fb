// Mail from the calendar window against the real SMTP peers of the stage:
// the shown month in several mails with the ToDo list, one week, a server
// that never answers while the window stays alive, and missing settings.
#include "gui_kit.h"
#include "gui_run.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>

#include "resource_ids.h"

namespace vntra::gui {
namespace {

const int SILENT_SEND_TIMEOUT_MS = 45000;

std::string two(int value) {
    char text[8];
    std::snprintf(text, sizeof text, "%02d", value);
    return text;
}

// What a month or week row becomes in a plain mail: its date column (the
// first 20 bytes) on a line, then content and place.
std::string all_day_block(int month, int day, const std::string& content,
                          const std::string& place) {
    return two(month) + "月" + two(day) + "日 終日       \n" + content + "：" + place + "\n";
}

std::string span_block(int month, int day, int end_month, int end_day, const std::string& content,
                       const std::string& place) {
    return two(month) + "月" + two(day) + "日-" + two(end_month) + "月" + two(end_day) + "日   \n" +
           content + "：" + place + "\n";
}

std::string subject_of(const std::string& mail) {
    size_t end = mail.find('\n');
    return mail.substr(0, end);
}

std::string body_of(const std::string& mail) {
    size_t start = mail.find("\n\n");
    return start == std::string::npos ? std::string() : mail.substr(start + 2);
}

struct Progress {
    int position;
    int end;
};

Progress progress_of(HWND window) {
    HWND bar = ::GetDlgItem(window, IDC_MAIL_PROGRESS);
    return {static_cast<int>(::SendMessageW(bar, PBM_GETPOS, 0, 0)),
            static_cast<int>(::SendMessageW(bar, PBM_GETRANGE, FALSE, 0))};
}

// Waits for the box with this title, keeping an eye on the progress bar
// meanwhile; returns the box (null on time-out).
HWND wait_for_box(const std::wstring& title, DWORD pid, HWND window, int& highest_position,
                  int timeout_ms = 20000) {
    HWND box = nullptr;
    wait_until(
        [&] {
            int position = progress_of(window).position;
            if (position > highest_position)
                highest_position = position;
            return (box = find_window_now(title, pid)) != nullptr;
        },
        timeout_ms);
    return box;
}

HWND start_with(Program& program, const std::string& name, const SettingsRecord& settings,
                const std::vector<ScheduleRecord>& records) {
    std::filesystem::path folder = fresh_program_folder(name);
    write_settings(folder, settings);
    write_records(folder / "vntradata.fil", records);
    if (!program.start(folder))
        return nullptr;
    return program.open_calendar();
}

void close_and_exit(Program& program, HWND calendar) {
    ::PostMessageW(calendar, WM_COMMAND, CMD_TO_TRAY, 0);
    GUI_CHECK(wait_gone(calendar));
    GUI_CHECK(program.exit_from_tray());
}

GUI_TEST(mail_the_month_in_several_mails_with_the_todo_list) {
    GUI_CHECK_MSG(peer_port("VNTRA_SMTP_PORT") != 0, "the SMTP peer is not running");
    Today now = today();
    Today before = add_days({now.year, now.month, 1, 0}, -7);
    Today after = add_days({now.year, now.month, 28, 0}, 7);
    std::string to = fresh_address("month");
    SettingsRecord settings = mail_settings(peer_port("VNTRA_SMTP_PORT"), to);
    settings.mail_size_choice = 1; // "２００" characters: 400 bytes
    settings.send_todo = 1;
    // Thirteen days and a span from the month before, 59 bytes each in a
    // mail: six fit in 400 bytes, so three mails.
    const std::string place = "本社会議室";
    std::vector<ScheduleRecord> records;
    std::string expected;
    records.push_back(dated_record(KIND_DATE_SPAN, before.year, before.month, before.day, now.year,
                                   now.month, 2, "第00回の打ち合わせ予定", place));
    expected += span_block(before.month, before.day, now.month, 2, "第00回の打ち合わせ予定", place);
    for (int day = 13; day >= 1; --day) {
        std::string content = "第" + two(day) + "回の打ち合わせ予定";
        records.push_back(dated_record(KIND_ALL_DAY, now.year, now.month, day, now.year, now.month,
                                       day, content, place));
    }
    for (int day = 1; day <= 13; ++day)
        expected += all_day_block(now.month, day, "第" + two(day) + "回の打ち合わせ予定", place);
    records.push_back(dated_record(KIND_ALL_DAY, after.year, after.month, after.day, after.year,
                                   after.month, after.day, "翌月の予定", ""));
    records.push_back(todo_record("牛乳を買う"));
    records.push_back(todo_record("書類を出す"));

    Program program;
    HWND calendar = start_with(program, "mail_month", settings, records);
    GUI_CHECK(calendar != nullptr);
    if (!calendar)
        return;
    GUI_CHECK(is_enabled(calendar, IDC_SEND_MAIL));
    GUI_CHECK(is_checked(calendar, IDC_SEND_MONTH));
    click(calendar, IDC_SEND_MAIL);
    int highest = 0;
    HWND box = wait_for_box(L"確認", program.process_id(), calendar, highest);
    GUI_CHECK(box != nullptr);
    if (box) {
        GUI_CHECK_TEXT(std::wstring(L"3件のスケジュールメールと1件のＴｏＤｏメールを送信しました"),
                       static_texts(box));
        // The last batch (the ToDo list) has gone out whole.
        Progress bar = progress_of(calendar);
        GUI_CHECK_MSG(bar.end > 0 && bar.position == bar.end,
                      std::to_string(bar.position) + " of " + std::to_string(bar.end));
        GUI_CHECK(!is_enabled(calendar, IDC_SEND_MAIL));
        screenshot("mail_month_result");
        click(box, IDOK);
        GUI_CHECK(wait_gone(box));
    }
    GUI_CHECK(wait_send_ended(calendar));
    GUI_CHECK(is_checked(calendar, IDC_SEND_MONTH));
    GUI_CHECK(progress_of(calendar).position == 0);

    std::vector<std::string> mails = received_mails(to);
    GUI_CHECK_MSG(mails.size() == 4, std::to_string(mails.size()) + " mails");
    if (mails.size() == 4) {
        std::string month = std::to_string(now.month);
        std::string wanted[] = {"Subject: " + month + "月のスケジュール No.1 ",
                                "Subject: " + month + "月のスケジュール No.2 ",
                                "Subject: " + month + "月のスケジュール No.3 ",
                                "Subject: ＴｏＤｏリスト "};
        std::string bodies;
        for (size_t i = 0; i < 4; ++i) {
            GUI_CHECK_TEXT(wide(wanted[i]), wide(subject_of(mails[i])));
            if (i < 3)
                bodies += body_of(mails[i]);
        }
        // Every entry of the month once, in the list's order, and nothing else.
        GUI_CHECK_TEXT(wide(expected), wide(bodies));
        GUI_CHECK_TEXT(std::wstring(L"牛乳を買う\n書類を出す\n"), wide(body_of(mails[3])));
    }
    close_and_exit(program, calendar);
}

GUI_TEST(mail_week_three_then_the_radios_return_to_the_month) {
    GUI_CHECK_MSG(peer_port("VNTRA_SMTP_PORT") != 0, "the SMTP peer is not running");
    Today now = today();
    int weekday_of_first = add_days(now, 1 - now.day).weekday;
    int sunday = 15 - weekday_of_first; // week 3 runs from this day to six days on
    std::string to = fresh_address("week");
    SettingsRecord settings = mail_settings(peer_port("VNTRA_SMTP_PORT"), to);
    std::vector<ScheduleRecord> records = {
        dated_record(KIND_ALL_DAY, now.year, now.month, sunday + 7, now.year, now.month, sunday + 7,
                     "第四週", ""),
        dated_record(KIND_ALL_DAY, now.year, now.month, sunday + 6, now.year, now.month, sunday + 6,
                     "土曜日", "自宅"),
        dated_record(KIND_ALL_DAY, now.year, now.month, sunday - 1, now.year, now.month, sunday - 1,
                     "第二週", ""),
        dated_record(KIND_ALL_DAY, now.year, now.month, sunday, now.year, now.month, sunday,
                     "日曜日", "公園"),
        todo_record("送らないＴｏＤｏ"),
    };
    Program program;
    HWND calendar = start_with(program, "mail_week", settings, records);
    GUI_CHECK(calendar != nullptr);
    if (!calendar)
        return;
    // A checked 第６週 that paging disables (no two months running have six rows).
    for (int i = 0; i < 24 && !is_enabled(calendar, IDC_SEND_WEEK6); ++i)
        click_and_wait(calendar, IDC_NEXT_MONTH);
    click_and_wait(calendar, IDC_SEND_WEEK6);
    click_and_wait(calendar, IDC_NEXT_MONTH);
    GUI_CHECK(!is_enabled(calendar, IDC_SEND_WEEK6));
    GUI_CHECK(!is_checked(calendar, IDC_SEND_WEEK6));
    GUI_CHECK(is_checked(calendar, IDC_SEND_MONTH));
    click_and_wait(calendar, IDC_THIS_MONTH);
    click_and_wait(calendar, IDC_SEND_WEEK1 + 2);
    GUI_CHECK(is_checked(calendar, IDC_SEND_WEEK1 + 2));
    GUI_CHECK(!is_checked(calendar, IDC_SEND_MONTH));
    click(calendar, IDC_SEND_MAIL);
    int highest = 0;
    HWND box = wait_for_box(L"確認", program.process_id(), calendar, highest);
    GUI_CHECK(box != nullptr);
    if (box) {
        GUI_CHECK_TEXT(std::wstring(L"1件のスケジュールメールを送信しました"), static_texts(box));
        click(box, IDOK);
        GUI_CHECK(wait_gone(box));
    }
    GUI_CHECK(wait_until([&] { return is_checked(calendar, IDC_SEND_MONTH); }));
    GUI_CHECK(!is_checked(calendar, IDC_SEND_WEEK1 + 2));
    std::vector<std::string> mails = received_mails(to);
    GUI_CHECK_MSG(mails.size() == 1, std::to_string(mails.size()) + " mails");
    if (mails.size() == 1) {
        GUI_CHECK_TEXT(wide("Subject: " + std::to_string(now.month) + "月第3週のスケジュール "),
                       wide(subject_of(mails[0])));
        GUI_CHECK_TEXT(wide(all_day_block(now.month, sunday, "日曜日", "公園") +
                            all_day_block(now.month, sunday + 6, "土曜日", "自宅")),
                       wide(body_of(mails[0])));
    }
    close_and_exit(program, calendar);
}

GUI_TEST(mail_a_day_from_its_list_split_after_the_time_column) {
    GUI_CHECK_MSG(peer_port("VNTRA_SMTP_PORT") != 0, "the SMTP peer is not running");
    Today now = today();
    const int day = 10;
    std::string to = fresh_address("day");
    SettingsRecord settings = mail_settings(peer_port("VNTRA_SMTP_PORT"), to);
    settings.send_todo = 1;
    ScheduleRecord meeting = dated_record(KIND_TIME_RANGE, now.year, now.month, day, now.year,
                                          now.month, day, "会議", "");
    meeting.start_hour = 9;
    meeting.end_hour = 10;
    meeting.end_minute = 30;
    std::vector<ScheduleRecord> records = {
        dated_record(KIND_ALL_DAY, now.year, now.month, day, now.year, now.month, day, "休暇",
                     "自宅"),
        meeting,
        dated_record(KIND_DATE_SPAN, now.year, now.month, 8, now.year, now.month, 12, "出張",
                     "大阪"),
        dated_record(KIND_ALL_DAY, now.year, now.month, day + 1, now.year, now.month, day + 1,
                     "翌日", ""),
        todo_record("牛乳を買う"),
    };
    Program program;
    HWND calendar = start_with(program, "mail_day", settings, records);
    GUI_CHECK(calendar != nullptr);
    if (!calendar)
        return;
    HWND day_list = nullptr;
    for (int cell = 0; cell < 42 && !day_list; ++cell) {
        if (item_text(calendar, IDC_FIRST_CELL + cell) == std::to_wstring(day)) {
            click_on_area(calendar, IDC_FIRST_CELL + cell);
            day_list = find_window(L"ｽｹｼﾞｭｰﾙ一覧", program.process_id());
        }
    }
    GUI_CHECK(day_list != nullptr);
    if (!day_list)
        return;
    GUI_CHECK(is_enabled(day_list, IDC_DAY_MAIL));
    click(day_list, IDC_DAY_MAIL);
    int highest = 0;
    HWND box = wait_for_box(L"確認", program.process_id(), day_list, highest);
    GUI_CHECK(box != nullptr);
    if (box) {
        GUI_CHECK_TEXT(std::wstring(L"1件のスケジュールメールと1件のＴｏＤｏメールを送信しました"),
                       static_texts(box));
        GUI_CHECK(!is_enabled(day_list, IDC_DAY_MAIL));
        screenshot("mail_day_result");
        click(box, IDOK);
        GUI_CHECK(wait_gone(box));
    }
    GUI_CHECK(wait_send_ended(day_list));
    std::vector<std::string> mails = received_mails(to);
    GUI_CHECK_MSG(mails.size() == 2, std::to_string(mails.size()) + " mails");
    if (mails.size() == 2) {
        GUI_CHECK_TEXT(wide("Subject: " + std::to_string(now.month) + "月" + std::to_string(day) +
                            "日のスケジュール "),
                       wide(subject_of(mails[0])));
        // The span that began on the 8th first, then the day's own entries
        // by time and kind; each row breaks where its time column ends.
        GUI_CHECK_TEXT(wide(two(now.month) + "月08日-" + two(now.month) + "月12日\n出張：大阪\n" +
                            "09:00-10:30      \n会議：\n" + "終日             \n休暇：自宅\n"),
                       wide(body_of(mails[0])));
        GUI_CHECK_TEXT(std::wstring(L"Subject: ＴｏＤｏリスト "), wide(subject_of(mails[1])));
        GUI_CHECK_TEXT(std::wstring(L"牛乳を買う\n"), wide(body_of(mails[1])));
    }
    click(day_list, IDC_DAY_CLOSE);
    GUI_CHECK(wait_gone(day_list));
    GUI_CHECK(wait_until([&] { return ::IsWindowVisible(calendar) != FALSE; }));
    close_and_exit(program, calendar);
}

GUI_TEST(mail_to_a_silent_server_leaves_the_window_alive) {
    GUI_CHECK_MSG(peer_port("VNTRA_ODD_SILENT_PORT") != 0, "the silent peer is not running");
    Today now = today();
    SettingsRecord settings =
        mail_settings(peer_port("VNTRA_ODD_SILENT_PORT"), fresh_address("silent"));
    std::vector<ScheduleRecord> records = {dated_record(KIND_ALL_DAY, now.year, now.month, now.day,
                                                        now.year, now.month, now.day, "会議", "")};
    Program program;
    HWND calendar = start_with(program, "mail_silent", settings, records);
    GUI_CHECK(calendar != nullptr);
    if (!calendar)
        return;
    int week = (now.day + add_days(now, 1 - now.day).weekday - 1) / 7 + 1;
    click_and_wait(calendar, IDC_SEND_WEEK1 + week - 1);
    DWORD pressed = ::GetTickCount();
    click(calendar, IDC_SEND_MAIL);
    GUI_CHECK(wait_until([&] { return !is_enabled(calendar, IDC_SEND_MAIL); }));
    // For a few seconds of the wait: the window answers at once, stays
    // disabled for sending and does not close.
    ::PostMessageW(calendar, WM_COMMAND, IDCANCEL, 0);
    ::PostMessageW(calendar, WM_COMMAND, CMD_TO_TRAY, 0);
    DWORD slowest = 0;
    for (int i = 0; i < 20; ++i) {
        DWORD start = ::GetTickCount();
        DWORD_PTR result = 0;
        LRESULT answered =
            ::SendMessageTimeoutW(calendar, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &result);
        GUI_CHECK(answered != 0);
        slowest = std::max(slowest, static_cast<DWORD>(::GetTickCount() - start));
        ::Sleep(150);
    }
    GUI_CHECK_MSG(slowest < 1000, std::to_string(slowest) + " ms");
    GUI_CHECK(::IsWindow(calendar) && ::IsWindowVisible(calendar));
    GUI_CHECK(!is_enabled(calendar, IDC_SEND_MAIL));
    click_and_wait(calendar, IDC_NEXT_MONTH); // paging goes on meanwhile
    click_and_wait(calendar, IDC_THIS_MONTH);
    screenshot("mail_silent_waiting");

    int highest = 0;
    HWND box =
        wait_for_box(L"エラー", program.process_id(), calendar, highest, SILENT_SEND_TIMEOUT_MS);
    GUI_CHECK(box != nullptr);
    if (box) {
        DWORD waited = ::GetTickCount() - pressed;
        GUI_CHECK_MSG(waited < SILENT_SEND_TIMEOUT_MS, std::to_string(waited) + " ms");
        std::wstring text = static_texts(box);
        GUI_CHECK_MSG(text.find(L"127.0.0.1") != std::wstring::npos &&
                          text.find(L"応答がありません") != std::wstring::npos,
                      utf8(text));
        screenshot("mail_silent_error");
        click(box, IDOK);
        GUI_CHECK(wait_gone(box));
    }
    GUI_CHECK(wait_send_ended(calendar));
    // A send that failed keeps the week chosen for the next try.
    GUI_CHECK(is_checked(calendar, IDC_SEND_WEEK1 + week - 1));
    GUI_CHECK(!is_checked(calendar, IDC_SEND_MONTH));
    close_and_exit(program, calendar);
}

GUI_TEST(the_session_ends_while_a_mail_waits_and_keeps_the_data) {
    GUI_CHECK_MSG(peer_port("VNTRA_ODD_SILENT_PORT") != 0, "the silent peer is not running");
    Today now = today();
    SettingsRecord settings =
        mail_settings(peer_port("VNTRA_ODD_SILENT_PORT"), fresh_address("ending"));
    std::vector<ScheduleRecord> records = {
        dated_record(KIND_ALL_DAY, now.year, now.month, now.day, now.year, now.month, now.day,
                     "会議", "本社"),
        todo_record("買い物"),
    };
    Program program;
    HWND calendar = start_with(program, "mail_ending", settings, records);
    GUI_CHECK(calendar != nullptr);
    if (!calendar)
        return;
    std::filesystem::path folder = run_state().work_folder / "mail_ending";
    std::string before = read_bytes(folder / "vntradata.fil");
    click(calendar, IDC_SEND_MAIL);
    GUI_CHECK(wait_until([&] { return !is_enabled(calendar, IDC_SEND_MAIL); }));
    DWORD start = ::GetTickCount();
    DWORD_PTR answer = 0;
    ::SendMessageTimeoutW(program.resident(), WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, 10000,
                          &answer);
    GUI_CHECK(answer == TRUE);
    // Well before the server's 30 seconds are up.
    GUI_CHECK(program.wait_for_exit(15000) == 0);
    DWORD took = ::GetTickCount() - start;
    GUI_CHECK_MSG(took < 10000, std::to_string(took) + " ms");
    GUI_CHECK(read_bytes(folder / "vntradata.fil") == before);
    GUI_CHECK(read_bytes(folder / "vntradata.bak") == before);
}

GUI_TEST(mail_without_settings_sends_nothing) {
    Today now = today();
    SettingsRecord settings = mail_settings(peer_port("VNTRA_SMTP_PORT"), "");
    settings.smtp_server[0] = '\0';
    std::vector<ScheduleRecord> records = {dated_record(KIND_ALL_DAY, now.year, now.month, now.day,
                                                        now.year, now.month, now.day, "会議", "")};
    Program program;
    HWND calendar = start_with(program, "mail_unset", settings, records);
    GUI_CHECK(calendar != nullptr);
    if (!calendar)
        return;
    GUI_CHECK_TEXT(std::wstring(L"メール送信"), item_text(calendar, IDC_SEND_MAIL));
    std::filesystem::path settings_file = run_state().work_folder / "mail_unset" / "vntraini.fil";
    std::string stored = read_bytes(settings_file);
    click(calendar, IDC_SEND_MAIL);
    HWND box = find_window(L"確認", program.process_id());
    GUI_CHECK(box != nullptr);
    if (box) {
        GUI_CHECK_TEXT(std::wstring(L"メール関係の設定を行って下さい"), static_texts(box));
        click(box, IDOK);
        GUI_CHECK(wait_gone(box));
    }
    // The settings sheet follows; closed unfilled, the command ends there.
    HWND sheet = find_window(L"設定", program.process_id());
    GUI_CHECK(sheet != nullptr);
    if (sheet) {
        screenshot("mail_settings_sheet");
        click(sheet, IDCANCEL);
        GUI_CHECK(wait_gone(sheet));
    }
    // Nothing more happens: no second box, the button stays usable.
    ::Sleep(500);
    GUI_CHECK(find_window_now(L"確認", program.process_id()) == nullptr);
    GUI_CHECK(find_window_now(L"エラー", program.process_id()) == nullptr);
    GUI_CHECK(is_enabled(calendar, IDC_SEND_MAIL));
    GUI_CHECK(read_bytes(settings_file) == stored);
    close_and_exit(program, calendar);
}

} // namespace
} // namespace vntra::gui
