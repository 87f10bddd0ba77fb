// Alarms and reminder mails from the real one-minute timer. Each test waits
// for the first scan (a minute after start-up) and for the one after it; an
// alarm that falls due only at the second scan shows that it has run.
#include <cstdio>

#include "gui_kit.h"
#include "resource_ids.h"

namespace vntra::gui {
namespace {

const int FIRST_SCAN_TIMEOUT_MS = 80000; // the timer's period, and start-up
const int NEXT_SCAN_TIMEOUT_MS = 75000;

struct Minute {
    int year, month, day, hour, minute;
};

// The local time `minutes` from now, to the minute.
Minute minutes_from_now(int minutes) {
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    FILETIME file_time;
    ::SystemTimeToFileTime(&now, &file_time);
    ULARGE_INTEGER ticks{{file_time.dwLowDateTime, file_time.dwHighDateTime}};
    ticks.QuadPart += static_cast<LONGLONG>(minutes) * 60 * 10000000LL;
    file_time = {ticks.LowPart, ticks.HighPart};
    SYSTEMTIME then;
    ::FileTimeToSystemTime(&file_time, &then);
    return {then.wYear, then.wMonth, then.wDay, then.wHour, then.wMinute};
}

// Starts within the first 40 seconds of a minute, so that the scans, one
// and two minutes after start-up, fall into the next two minutes.
void wait_for_early_second() {
    SYSTEMTIME now;
    for (::GetLocalTime(&now); now.wSecond >= 40; ::GetLocalTime(&now))
        ::Sleep(500);
}

ScheduleRecord alarm_at(const Minute& start, int lead, const std::string& content,
                        const std::string& place) {
    ScheduleRecord r = dated_record(KIND_TIME_RANGE, start.year, start.month, start.day, start.year,
                                    start.month, start.day, content, place);
    r.start_hour = start.hour;
    r.start_minute = start.minute;
    r.end_hour = start.hour + 1;
    r.end_minute = r.end_hour == 24 ? 0 : start.minute;
    r.alarm_state = TRIGGER_ARMED;
    r.alarm_lead_minutes = lead;
    return r;
}

void set_reminder(ScheduleRecord& r, const Minute& when) {
    r.reminder_state = TRIGGER_ARMED;
    r.reminder_year = when.year;
    r.reminder_month = when.month;
    r.reminder_day = when.day;
    r.reminder_hour = when.hour;
    r.reminder_minute = when.minute;
}

std::wstring notice_block(const ScheduleRecord& r, const std::string& content,
                          const std::string& place) {
    wchar_t head[64];
    std::swprintf(head, 64, L"\r\n %02d月%02d日 %02d:%02d-%02d:%02d\r\n ", r.start_month,
                  r.start_day, r.start_hour, r.start_minute, r.end_hour, r.end_minute);
    return head + wide(content) + L"\r\n (" + wide(place) + L")\r\n";
}

// Waits until the record's trigger states on disk are the ones wanted.
bool states_become(const std::filesystem::path& data, size_t index, int32_t alarm,
                   int32_t reminder) {
    return wait_until([&] {
        std::vector<ScheduleRecord> records = records_of(data);
        return records.size() > index && records[index].alarm_state == alarm &&
               records[index].reminder_state == reminder;
    });
}

// The peer refuses the first reminder for good; its box waits unanswered
// while the reminder behind it and one due a minute later go out.
GUI_TEST(alarms_and_reminders_fire_once_from_the_timer) {
    int port = peer_port("VNTRA_SMTP_PORT");
    GUI_CHECK_MSG(port != 0, "the stage starts the SMTP peer");
    std::filesystem::path folder = fresh_program_folder("minute_scan");
    std::string to = fresh_address("reminder");
    write_settings(folder, mail_settings(port, to));
    wait_for_early_second();
    // Due at the first scan: it starts within its lead of ten minutes.
    ScheduleRecord meeting = alarm_at(minutes_from_now(5), 10, "定例会議", "本社");
    ScheduleRecord refused = todo_record("受信拒否の連絡");
    set_reminder(refused, minutes_from_now(-10));
    // A reminder that fell due yesterday, while the program was not running.
    Today today_date = today();
    ScheduleRecord stocktaking =
        dated_record(KIND_ALL_DAY, today_date.year, today_date.month, today_date.day,
                     today_date.year, today_date.month, today_date.day, "棚卸し", "倉庫");
    set_reminder(stocktaking, minutes_from_now(-24 * 60));
    // Due only at the second scan.
    ScheduleRecord visitor = alarm_at(minutes_from_now(12), 10, "来客", "");
    ScheduleRecord call_back = todo_record("折り返し電話");
    set_reminder(call_back, minutes_from_now(2));
    write_records(folder / "vntradata.fil", {meeting, refused, stocktaking, visitor, call_back});

    Program program;
    GUI_CHECK(program.start(folder));
    HWND notice = find_window(L"お知らせ", program.process_id(), FIRST_SCAN_TIMEOUT_MS);
    GUI_CHECK(notice != nullptr);
    if (!notice)
        return;
    std::wstring first_block = notice_block(meeting, "定例会議", "本社");
    GUI_CHECK_TEXT(first_block, item_text(notice, IDC_NOTICE_TEXT));
    HWND box = find_window(L"エラー", program.process_id());
    GUI_CHECK(box && static_texts(box).find(L"554 5.7.1 message refused") != std::wstring::npos);
    std::filesystem::path data = folder / "vntradata.fil";
    GUI_CHECK(states_become(data, 0, TRIGGER_DONE, TRIGGER_OFF));
    GUI_CHECK(states_become(data, 1, TRIGGER_OFF, TRIGGER_DONE));
    GUI_CHECK(states_become(data, 2, TRIGGER_OFF, TRIGGER_DONE));
    GUI_CHECK(wait_until([&] { return received_mails(to).size() == 1; }));
    std::vector<std::string> mails = received_mails(to);
    char day[32];
    std::snprintf(day, sizeof day, "%02d月%02d日", today_date.month, today_date.day);
    GUI_CHECK_TEXT(
        wide("Subject: リマインドメール（お知らせ） \nFrom: Vontara <me@example.jp>\n\n" +
             std::string(day) + "\n終日\n棚卸し：倉庫\n"),
        wide(mails.empty() ? "" : mails[0]));
    // The tray answers while the scan has done its work.
    GUI_CHECK(::SendMessageTimeoutW(program.resident(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000,
                                    nullptr) != 0);
    screenshot("alarm_notice");

    // The second scan: the second alarm and the reminder due now, nothing twice.
    std::wstring both = first_block + notice_block(visitor, "来客", "");
    GUI_CHECK(wait_until([&] { return item_text(notice, IDC_NOTICE_TEXT) == both; },
                         NEXT_SCAN_TIMEOUT_MS));
    GUI_CHECK_TEXT(both, item_text(notice, IDC_NOTICE_TEXT));
    GUI_CHECK(states_become(data, 3, TRIGGER_DONE, TRIGGER_OFF));
    GUI_CHECK(states_become(data, 4, TRIGGER_OFF, TRIGGER_DONE));
    GUI_CHECK(wait_until([&] { return received_mails(to).size() == 2; }));
    ::Sleep(2000);
    GUI_CHECK(received_mails(to).size() == 2);
    GUI_CHECK(count_windows(L"お知らせ", program.process_id()) == 1);
    GUI_CHECK(count_windows(L"エラー", program.process_id()) == 1 && ::IsWindow(box));
    screenshot("alarm_notice_second_scan");
    click(box, IDOK);
    GUI_CHECK(wait_gone(box));
    GUI_CHECK(program.exit_from_tray());
}

// An alarm due while the entry dialog is open sounds once it has closed.
// With nothing listening for mail, the reminder stays armed for a later
// scan, and the user sees one box: a scan while the box is open sounds its
// alarms but does not try the reminder again.
GUI_TEST(a_reminder_that_cannot_go_out_stays_armed) {
    std::filesystem::path folder = fresh_program_folder("minute_scan_no_server");
    write_settings(folder, mail_settings(1, fresh_address("nobody")));
    wait_for_early_second();
    ScheduleRecord papers = todo_record("書類提出");
    set_reminder(papers, minutes_from_now(-5));
    ScheduleRecord call = alarm_at(minutes_from_now(11), 10, "電話会議", "");
    ScheduleRecord visitor = alarm_at(minutes_from_now(12), 10, "来客", "応接室");
    write_records(folder / "vntradata.fil", {papers, call, visitor});

    Program program;
    GUI_CHECK(program.start(folder));
    DWORD started = ::GetTickCount();
    HWND calendar = program.open_calendar();
    GUI_CHECK(calendar != nullptr);
    click(calendar, IDC_NEW_TODO);
    HWND entry = find_window(L"ｽｹｼﾞｭｰﾙ・ＴｏＤｏ 登録", program.process_id());
    GUI_CHECK(entry != nullptr);
    if (!entry)
        return;
    // Past the first tick, and the call's alarm due since then.
    DWORD spent = ::GetTickCount() - started;
    ::Sleep(spent < 65000 ? 65000 - spent : 0);
    GUI_CHECK(count_windows(L"お知らせ", program.process_id()) +
                  count_windows(L"エラー", program.process_id()) ==
              0);
    click(entry, IDC_ENTRY_CANCEL);
    GUI_CHECK(wait_gone(entry));
    ::PostMessageW(calendar, WM_COMMAND, CMD_TO_TRAY, 0);
    GUI_CHECK(wait_gone(calendar));
    // The scan the restarted timer would run a minute later, without the wait.
    program.scan_now();
    HWND box = find_window(L"エラー", program.process_id());
    GUI_CHECK(box != nullptr);
    if (!box)
        return;
    GUI_CHECK(static_texts(box).find(L"サーバーソケットに接続失敗") != std::wstring::npos);
    HWND notice = find_window(L"お知らせ", program.process_id());
    std::wstring first_block = notice_block(call, "電話会議", "");
    GUI_CHECK(notice && item_text(notice, IDC_NOTICE_TEXT) == first_block);
    screenshot("reminder_error_box");

    // The restarted timer's scan, while the box still waits for the user.
    std::wstring both = first_block + notice_block(visitor, "来客", "応接室");
    GUI_CHECK(notice && wait_until([&] { return item_text(notice, IDC_NOTICE_TEXT) == both; },
                                   NEXT_SCAN_TIMEOUT_MS));
    GUI_CHECK(count_windows(L"エラー", program.process_id()) == 1);
    screenshot("reminder_error_box_second_scan");

    click(box, IDOK);
    GUI_CHECK(wait_gone(box));
    std::filesystem::path data = folder / "vntradata.fil";
    GUI_CHECK(states_become(data, 1, TRIGGER_DONE, TRIGGER_OFF));
    ::Sleep(2000);
    std::vector<ScheduleRecord> records = records_of(data);
    GUI_CHECK(!records.empty() && records[0].reminder_state == TRIGGER_ARMED);
    GUI_CHECK(count_windows(L"エラー", program.process_id()) == 0);
    GUI_CHECK(program.exit_from_tray());
    records = records_of(data);
    GUI_CHECK(!records.empty() && records[0].reminder_state == TRIGGER_ARMED);
}

} // namespace
} // namespace vntra::gui
