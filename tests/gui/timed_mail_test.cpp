// The daily mail from the real program at 7:00 (clock_at), with the SMTP peer;
// the wake-up broadcast has it scan at once instead of a minute later.
#include <cstdio>

#include "gui_kit.h"
#include "resource_ids.h"
#include "store/schedule_keys.h"

namespace vntra::gui {
namespace {

void wake_up(const Program& program) {
    ::PostMessageW(program.resident(), WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
}

// hh:30 to the next hour, its alarm armed `lead` minutes before when not 0.
ScheduleRecord half_past(const Today& day, int hour, const char* content, int lead = 0) {
    ScheduleRecord r = dated_record(KIND_TIME_RANGE, day.year, day.month, day.day, day.year,
                                    day.month, day.day, content, "");
    r.start_hour = hour;
    r.start_minute = 30;
    r.end_hour = hour + 1;
    r.alarm_state = lead ? TRIGGER_ARMED : TRIGGER_OFF;
    r.alarm_lead_minutes = lead;
    return r;
}

std::wstring month_day(const Today& day, const char* format) {
    char text[256];
    std::snprintf(text, sizeof text, format, day.month, day.day);
    return wide(text);
}

} // namespace

// At 7:00 the day's schedule and the ToDo list arrive, once: neither a second
// scan, nor a whole-record save, nor a restart in the same minute sends them
// again. An alarm whose start went by while the PC slept is only noted.
GUI_TEST(daily_mail_arrives_once_at_its_minute) {
    int port = peer_port("VNTRA_SMTP_PORT");
    GUI_CHECK_MSG(port != 0, "the stage starts the SMTP peer");
    std::filesystem::path folder = fresh_program_folder("timed_mail");
    std::string to = fresh_address("morning");
    SettingsRecord settings = mail_settings(port, to);
    settings.daily_on = 1; // 7:00, today's plans
    settings.send_todo = 1;
    write_settings(folder, settings);
    wait_for_second_below(15); // the whole flow stays inside the program's 7:00
    ShiftedClock clock = clock_at(7, 0);
    write_records(folder / "vntradata.fil",
                  {half_past(clock.date, 9, "朝会"), half_past(clock.date, 6, "早朝点検", 10),
                   todo_record("書類提出")});

    Program program;
    GUI_CHECK(program.start_with_clock(folder, clock));
    wake_up(program);
    wake_up(program); // a second scan in the same minute
    GUI_CHECK(wait_until([&] { return received_mails(to).size() == 2; }));
    std::vector<std::string> mails = received_mails(to);
    mails.resize(2);
    GUI_CHECK_TEXT(month_day(clock.date, "Subject: %d月%d日のスケジュール \nFrom: Vontara "
                                         "<me@example.jp>\n\n06:30-07:00      \n早朝点検：\n"
                                         "09:30-10:00      \n朝会：\n"),
                   wide(mails[0]));
    GUI_CHECK_TEXT(wide("Subject: ＴｏＤｏリスト \nFrom: Vontara <me@example.jp>\n\n書類提出\n"),
                   wide(mails[1]));
    HWND notice = find_window(L"お知らせ", program.process_id());
    GUI_CHECK_TEXT(month_day(clock.date, "\r\n %02d月%02d日 06:30-07:00（時刻を過ぎています）"
                                         "\r\n 早朝点検\r\n ()\r\n"),
                   notice ? item_text(notice, IDC_NOTICE_TEXT) : L"");
    TimedMailProgress sent = settings_in(folder).daily_progress;
    GUI_CHECK(sent.period_key == make_date_key(clock.date.year, clock.date.month, clock.date.day));
    GUI_CHECK(sent.mails_arrived == 2 && sent.state == PERIOD_ARRIVED);

    HWND calendar = program.open_calendar();
    GUI_CHECK_TEXT(month_day(add_days(clock.date, 1), "次の定時送信：%d月%d日 7:00 今日の予定"),
                   calendar ? item_text(calendar, IDC_NEXT_TIMED_MAIL) : L"");
    ::Sleep(1500); // the window paints slowly under a busy Xvfb
    screenshot("timed_mail_next_in_calendar");
    click_and_wait(calendar, IDC_MARK_TODAY); // a save of the whole record
    ::PostMessageW(calendar, WM_COMMAND, CMD_TO_TRAY, 0);
    GUI_CHECK(wait_gone(calendar));
    GUI_CHECK(program.exit_from_tray());

    GUI_CHECK_MSG(clock_at(7, 0).offset_minutes == clock.offset_minutes, "still the same minute");
    Program again;
    GUI_CHECK(again.start_with_clock(folder, clock));
    wake_up(again);
    ::Sleep(3000);
    GUI_CHECK(received_mails(to).size() == 2);
    GUI_CHECK(again.exit_from_tray());
}

} // namespace vntra::gui
