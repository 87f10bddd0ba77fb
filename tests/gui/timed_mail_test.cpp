// The daily schedule mail from the real program at its minute, with the
// SMTP peer. The program runs in a zone where it is 7:00 now (clock_at), and
// the wake-up broadcast has it scan at once instead of a minute later.
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "gui_kit.h"
#include "resource_ids.h"
#include "store/schedule_keys.h"

namespace vntra::gui {
namespace {

const int TIMED_MAIL_TAB = 8;

void wake_up(const Program& program) {
    ::PostMessageW(program.resident(), WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
}

ScheduleRecord time_range(const Today& day, int start_hour, int end_hour, const char* content,
                          const char* place) {
    ScheduleRecord r = dated_record(KIND_TIME_RANGE, day.year, day.month, day.day, day.year,
                                    day.month, day.day, content, place);
    r.start_hour = start_hour;
    r.start_minute = 30;
    r.end_hour = end_hour;
    r.end_minute = 0;
    return r;
}

int utc_minute() {
    SYSTEMTIME now;
    ::GetSystemTime(&now);
    return now.wHour * 60 + now.wMinute;
}

std::string month_day(const Today& day, const char* format) {
    char text[64];
    std::snprintf(text, sizeof text, format, day.month, day.day);
    return text;
}

// A file's last write in 100-nanosecond ticks, 0 when it cannot be read.
long long written_at(const std::filesystem::path& file) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return static_cast<long long>(data.ftLastWriteTime.dwHighDateTime) << 32 |
           data.ftLastWriteTime.dwLowDateTime;
}

// How long after the server had stored the newest mail the settings file
// was replaced: the window in which a crash would send that mail again.
void log_write_delay(const std::filesystem::path& folder, const std::string& recipient) {
    const char* spool = std::getenv("VNTRA_SMTP_SPOOL");
    std::error_code error;
    long long newest = 0;
    for (const auto& file : std::filesystem::directory_iterator(
             std::filesystem::path(spool ? spool : "") / recipient, error))
        if (file.path().extension() == ".eml")
            newest = std::max(newest, written_at(file.path()));
    long long delay_us = (written_at(folder / "vntraini.fil") - newest) / 10;
    log_line("  the settings file held the mail " + std::to_string(delay_us) +
             " microseconds after the server had stored it");
}

} // namespace

// At 7:00 the day's schedule and the ToDo list arrive, once: neither a second
// scan, nor a whole-record save, nor a restart in the same minute sends them
// again. An alarm whose start went by while the PC slept is only
// written into the notice.
GUI_TEST(daily_mail_arrives_once_at_its_minute) {
    int port = peer_port("VNTRA_SMTP_PORT");
    GUI_CHECK_MSG(port != 0, "the stage starts the SMTP peer");
    std::filesystem::path folder = fresh_program_folder("timed_mail");
    std::string to = fresh_address("morning");
    SettingsRecord settings = mail_settings(port, to);
    settings.daily_on = 1; // 7:00, today's plans
    settings.send_todo = 1;
    write_settings(folder, settings);
    // The whole flow stays inside the program's 7:00.
    wait_for_second_below(15);
    ShiftedClock clock = clock_at(7, 0);
    int minute = utc_minute();
    const Today& day = clock.date;
    ScheduleRecord check = time_range(day, 6, 7, "早朝点検", "");
    check.alarm_state = TRIGGER_ARMED;
    check.alarm_lead_minutes = 10;
    write_records(folder / "vntradata.fil",
                  {time_range(day, 9, 10, "朝会", "会議室"), check, todo_record("書類提出")});

    Program program;
    GUI_CHECK(program.start_with_clock(folder, clock));
    wake_up(program);
    wake_up(program);
    GUI_CHECK(wait_until([&] { return received_mails(to).size() == 2; }));
    std::vector<std::string> mails = received_mails(to);
    GUI_CHECK_TEXT(wide("Subject: " + month_day(day, "%d月%d日のスケジュール") +
                        " \nFrom: Vontara <me@example.jp>\n\n06:30-07:00      \n早朝点検：\n"
                        "09:30-10:00      \n朝会：会議室\n"),
                   wide(mails.empty() ? "" : mails[0]));
    GUI_CHECK_TEXT(wide("Subject: ＴｏＤｏリスト \nFrom: Vontara <me@example.jp>\n\n書類提出\n"),
                   wide(mails.size() < 2 ? "" : mails[1]));
    HWND notice = find_window(L"お知らせ", program.process_id());
    GUI_CHECK(notice != nullptr);
    if (notice)
        GUI_CHECK_TEXT(wide(month_day(day, "\r\n %02d月%02d日") +
                            " 06:30-07:00（時刻を過ぎています）\r\n 早朝点検\r\n ()\r\n"),
                       item_text(notice, IDC_NOTICE_TEXT));
    TimedMailProgress written = settings_in(folder).daily_progress;
    GUI_CHECK(written.period_key == make_date_key(day.year, day.month, day.day) &&
              written.mails_arrived == 2 && written.state == PERIOD_ARRIVED);
    log_write_delay(folder, to);

    HWND calendar = program.open_calendar();
    GUI_CHECK(calendar != nullptr);
    if (calendar) {
        Today tomorrow = add_days(day, 1);
        GUI_CHECK_TEXT(wide(month_day(tomorrow, "次の定時送信：%d月%d日 7:00 今日の予定")),
                       item_text(calendar, IDC_NEXT_TIMED_MAIL));
        ::Sleep(1500); // the window paints slowly under a busy Xvfb
        screenshot("timed_mail_next_in_calendar");
        // The marks save the whole record, which must keep what was sent.
        click_and_wait(calendar, IDC_MARK_TODAY);
        GUI_CHECK(wait_until([&] { return settings_in(folder).mark_range == MARK_TODAY; }));
        ::PostMessageW(calendar, WM_COMMAND, CMD_TO_TRAY, 0);
        GUI_CHECK(wait_gone(calendar));
    }
    // The page as it was written.
    ::PostMessageW(program.resident(), WM_COMMAND, CMD_TRAY_SETTINGS, 0);
    HWND sheet = find_window(L"設定", program.process_id());
    GUI_CHECK(sheet != nullptr);
    if (sheet) {
        HWND page = show_sheet_page(sheet, TIMED_MAIL_TAB);
        GUI_CHECK(is_checked(page, IDC_DAILY_ON) && !is_checked(page, IDC_WEEKLY_ON));
        GUI_CHECK(combo_selection(page, IDC_DAILY_HOUR) == 7 &&
                  combo_selection(page, IDC_DAILY_MINUTE) == 0);
        GUI_CHECK(is_checked(page, IDC_DAILY_TODAY) && is_checked(page, IDC_SEND_WHEN_EMPTY));
        GUI_CHECK(!is_enabled(page, IDC_WEEKLY_WEEKDAY));
        screenshot("settings_page_timed_mail");
        click(sheet, IDCANCEL);
        GUI_CHECK(wait_gone(sheet));
    }
    GUI_CHECK(program.exit_from_tray());

    GUI_CHECK_MSG(utc_minute() == minute, "the restart falls into the same minute");
    Program again;
    GUI_CHECK(again.start_with_clock(folder, clock));
    wake_up(again);
    ::Sleep(3000);
    GUI_CHECK(received_mails(to).size() == 2);
    written = settings_in(folder).daily_progress;
    GUI_CHECK(written.mails_arrived == 2 && written.state == PERIOD_ARRIVED);
    GUI_CHECK(again.exit_from_tray());
}

} // namespace vntra::gui
