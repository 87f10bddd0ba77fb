// The entry dialog driven through the calendar window: every kind of entry
// written byte for byte, input errors with their focus, and the wait for
// mail settings before a reminder can be set.
#include <cstdio>
#include <functional>

#include "editing_session.h"

namespace vntra::gui {
namespace {

GUI_TEST(entry_dialog_writes_every_kind_and_a_todo_item) {
    Session s;
    if (!start_session(s, "entry_kinds"))
        return;
    Today now = today();
    HWND day_list = open_day_list(s, now.day);
    if (!day_list)
        return;
    wchar_t caption[64];
    std::swprintf(caption, 64, L"%d年%d月%d日", now.year, now.month, now.day);
    GUI_CHECK_TEXT(std::wstring(caption), item_text(day_list, IDC_DAY_DATE));
    GUI_CHECK(is_enabled(day_list, IDC_DAY_MAIL));
    GUI_CHECK_TEXT(std::wstring(L"phone@example.jp へメール送信"),
                   item_text(day_list, IDC_DAY_MAIL));

    // A time range: the end hour follows the start hour of a new entry.
    HWND entry = open_entry(s, day_list, IDC_DAY_NEW);
    if (!entry)
        return;
    GUI_CHECK(!::IsWindowVisible(day_list));
    GUI_CHECK_TEXT(number(now.year), item_text(entry, IDC_ENTRY_YEAR));
    GUI_CHECK_TEXT(number(now.month), item_text(entry, IDC_ENTRY_MONTH));
    GUI_CHECK_TEXT(number(now.day), item_text(entry, IDC_ENTRY_DAY));
    GUI_CHECK(is_checked(entry, IDC_ENTRY_TIME_RANGE) && !is_enabled(entry, IDC_ENTRY_TODO));
    GUI_CHECK(!is_enabled(entry, IDC_ENTRY_END_MONTH) &&
              !is_enabled(entry, IDC_ENTRY_ALARM_MINUTES));
    GUI_CHECK_TEXT(std::wstring(L"9"), item_text(entry, IDC_ENTRY_END_HOUR));
    ::Sleep(300);
    screenshot("entry_time_range");
    choose_item(entry, IDC_ENTRY_START_HOUR, 10);
    GUI_CHECK_TEXT(std::wstring(L"10"), item_text(entry, IDC_ENTRY_END_HOUR));
    choose_item(entry, IDC_ENTRY_END_HOUR, 11);
    choose_item(entry, IDC_ENTRY_END_MINUTE, 6);
    set_item_text(entry, IDC_ENTRY_CONTENT, L"会議");
    set_item_text(entry, IDC_ENTRY_PLACE, L"本社");
    click_and_wait(entry, IDC_ENTRY_ALARM);
    GUI_CHECK(is_enabled(entry, IDC_ENTRY_ALARM_MINUTES));
    GUI_CHECK_TEXT(std::wstring(L"7"), item_text(entry, IDC_ENTRY_ALARM_MINUTES));
    set_item_text(entry, IDC_ENTRY_ALARM_MINUTES, L"15");
    click_and_wait(entry, IDC_ENTRY_REMINDER);
    GUI_CHECK(is_enabled(entry, IDC_ENTRY_REMINDER_HOUR));
    GUI_CHECK_TEXT(number(now.year), item_text(entry, IDC_ENTRY_REMINDER_YEAR));
    GUI_CHECK_TEXT(std::wstring(L"10"), item_text(entry, IDC_ENTRY_REMINDER_HOUR));
    choose_item(entry, IDC_ENTRY_REMINDER_HOUR, 8);
    GUI_CHECK(press_ok(entry));
    GUI_CHECK(wait_until([&] { return ::IsWindowVisible(day_list) != FALSE; }));
    GUI_CHECK((list_rows(day_list, IDC_DAY_LIST) ==
               std::vector<std::wstring>{L"10:00-11:30        会議：本社"}));

    // The other four kinds, each in its own state of the dialog.
    struct Kind {
        int radio;
        const char* shot;
        const wchar_t* content;
    } kinds[] = {
        {IDC_ENTRY_DATE_SPAN, "entry_date_span", L"年末年始の旅行"},
        {IDC_ENTRY_MORNING, "entry_morning", L"通院"},
        {IDC_ENTRY_AFTERNOON, "entry_afternoon", L"来客"},
        {IDC_ENTRY_ALL_DAY, "entry_all_day", L"休暇"},
    };
    for (const Kind& k : kinds) {
        entry = open_entry(s, day_list, IDC_DAY_NEW);
        if (!entry)
            return;
        click_and_wait(entry, k.radio);
        GUI_CHECK(!is_enabled(entry, IDC_ENTRY_START_HOUR) && !is_enabled(entry, IDC_ENTRY_ALARM));
        GUI_CHECK(is_enabled(entry, IDC_ENTRY_END_DAY) == (k.radio == IDC_ENTRY_DATE_SPAN));
        if (k.radio == IDC_ENTRY_DATE_SPAN) {
            GUI_CHECK_TEXT(number(now.day), item_text(entry, IDC_ENTRY_END_DAY));
            choose_item(entry, IDC_ENTRY_MONTH, 11);
            choose_item(entry, IDC_ENTRY_DAY, 19);
            choose_item(entry, IDC_ENTRY_END_MONTH, 0);
            choose_item(entry, IDC_ENTRY_END_DAY, 4);
        }
        set_item_text(entry, IDC_ENTRY_CONTENT, k.content);
        ::Sleep(300);
        screenshot(k.shot);
        GUI_CHECK(press_ok(entry));
    }
    GUI_CHECK(wait_until([&] { return ::IsWindowVisible(day_list) != FALSE; }));
    GUI_CHECK(list_rows(day_list, IDC_DAY_LIST).size() >= 4);
    ::Sleep(300);
    screenshot("day_list_today");
    click(day_list, IDC_DAY_CLOSE);
    GUI_CHECK(wait_gone(day_list));
    GUI_CHECK(wait_until([&] { return ::IsWindowVisible(s.calendar) != FALSE; }));
    bool listed = false;
    for (const std::wstring& row : list_rows(s.calendar, IDC_MONTH_LIST))
        listed = listed || row.find(L"10:00-11:30  会議：本社") != std::wstring::npos;
    GUI_CHECK(listed);

    // A ToDo item from the calendar window: undated, no place.
    entry = open_entry(s, s.calendar, IDC_NEW_TODO);
    if (!entry)
        return;
    GUI_CHECK(is_checked(entry, IDC_ENTRY_TODO) && is_enabled(entry, IDC_ENTRY_TODO));
    for (int id : {IDC_ENTRY_TIME_RANGE, IDC_ENTRY_ALL_DAY, IDC_ENTRY_YEAR, IDC_ENTRY_MONTH,
                   IDC_ENTRY_PLACE, IDC_ENTRY_ALARM})
        GUI_CHECK_MSG(!is_enabled(entry, id), "control " + std::to_string(id));
    set_item_text(entry, IDC_ENTRY_CONTENT, L"牛乳を買う");
    click_and_wait(entry, IDC_ENTRY_REMINDER);
    GUI_CHECK_TEXT(std::wstring(L"9"), item_text(entry, IDC_ENTRY_REMINDER_HOUR));
    ::Sleep(300);
    screenshot("entry_todo");
    GUI_CHECK(press_ok(entry));
    GUI_CHECK(wait_until([&] {
        return list_rows(s.calendar, IDC_TODO_LIST) == std::vector<std::wstring>{L"牛乳を買う"};
    }));

    std::string bytes = read_bytes(s.data_file());
    GUI_CHECK(record_count_of(s.data_file()) == 6 && bytes.size() == 12 + 6 * 212);
    int y = now.year;
    int m = now.month;
    int d = now.day;
    check_slot(bytes, 1,
               {{AT_ID, 1},
                {AT_KIND, KIND_TIME_RANGE},
                {AT_START_YEAR, y},
                {AT_START_MONTH, m},
                {AT_START_DAY, d},
                {AT_START_HOUR, 10},
                {AT_START_MINUTE, 0},
                {AT_END_YEAR, y},
                {AT_END_MONTH, m},
                {AT_END_DAY, d},
                {AT_END_HOUR, 11},
                {AT_END_MINUTE, 30},
                {AT_ALARM_STATE, 1},
                {AT_ALARM_LEAD, 15},
                {AT_REMINDER_STATE, 1},
                {AT_REMINDER_YEAR, y},
                {AT_REMINDER_MONTH, m},
                {AT_REMINDER_DAY, d},
                {AT_REMINDER_HOUR, 8},
                {AT_REMINDER_MINUTE, 0}});
    GUI_CHECK(slot_text(bytes, 1, AT_CONTENT) == shift_jis(L"会議"));
    GUI_CHECK(slot_text(bytes, 1, AT_PLACE) == shift_jis(L"本社"));
    check_slot(bytes, 2,
               {{AT_ID, 2},
                {AT_KIND, KIND_DATE_SPAN},
                {AT_START_YEAR, y},
                {AT_START_MONTH, 12},
                {AT_START_DAY, 20},
                {AT_END_YEAR, y + 1},
                {AT_END_MONTH, 1},
                {AT_END_DAY, 5},
                {AT_START_HOUR, 0},
                {AT_END_HOUR, 24},
                {AT_ALARM_STATE, 0},
                {AT_REMINDER_STATE, 0}});
    const int kinds_from_3[][3] = {
        {KIND_MORNING, 0, 12}, {KIND_AFTERNOON, 12, 24}, {KIND_ALL_DAY, 0, 24}};
    for (int i = 0; i < 3; ++i)
        check_slot(bytes, 3 + i,
                   {{AT_ID, 3 + i},
                    {AT_KIND, kinds_from_3[i][0]},
                    {AT_START_DAY, d},
                    {AT_END_YEAR, y},
                    {AT_END_MONTH, m},
                    {AT_END_DAY, d},
                    {AT_START_HOUR, kinds_from_3[i][1]},
                    {AT_END_HOUR, kinds_from_3[i][2]},
                    {AT_ALARM_STATE, 0},
                    {AT_ALARM_LEAD, 0}});
    check_slot(bytes, 6,
               {{AT_ID, 6},
                {AT_KIND, KIND_TODO},
                {AT_START_YEAR, 0},
                {AT_START_MONTH, 0},
                {AT_END_YEAR, 0},
                {AT_END_HOUR, 0},
                {AT_ALARM_STATE, 0},
                {AT_REMINDER_STATE, 1},
                {AT_REMINDER_YEAR, y},
                {AT_REMINDER_MONTH, m},
                {AT_REMINDER_DAY, d},
                {AT_REMINDER_HOUR, 9}});
    GUI_CHECK(slot_text(bytes, 6, AT_CONTENT) == shift_jis(L"牛乳を買う"));
    GUI_CHECK(slot_text(bytes, 6, AT_PLACE).empty());
    end_session(s);
}

GUI_TEST(entry_dialog_names_the_first_fault_and_focuses_it) {
    Session s;
    if (!start_session(s, "entry_faults"))
        return;
    Today now = today();
    HWND day_list = open_day_list(s, now.day);
    HWND entry = day_list ? open_entry(s, day_list, IDC_DAY_NEW) : nullptr;
    if (!entry)
        return;
    struct Fault {
        const char* name;
        std::function<void()> make;
        const wchar_t* message;
        int focus;
    } faults[] = {
        {"empty year", [&] { set_item_text(entry, IDC_ENTRY_YEAR, L""); }, L"内容が未入力です",
         IDC_ENTRY_YEAR},
        {"year 2000", [&] { set_item_text(entry, IDC_ENTRY_YEAR, L"2000"); },
         L"2001以上にして下さい", IDC_ENTRY_YEAR},
        {"31 April",
         [&] {
             choose_item(entry, IDC_ENTRY_MONTH, 3);
             choose_item(entry, IDC_ENTRY_DAY, 30);
         },
         L"日付が不正です", IDC_ENTRY_DAY},
        {"10:05 to 10:00",
         [&] {
             choose_item(entry, IDC_ENTRY_START_MINUTE, 1);
             choose_item(entry, IDC_ENTRY_END_HOUR, 10);
         },
         L"時間が不正です", IDC_ENTRY_END_HOUR},
        {"alarm minutes 0",
         [&] {
             click_and_wait(entry, IDC_ENTRY_ALARM);
             set_item_text(entry, IDC_ENTRY_ALARM_MINUTES, L"0");
         },
         L"数値が正しく入力されていません", IDC_ENTRY_ALARM_MINUTES},
        {"empty content", [&] { set_item_text(entry, IDC_ENTRY_CONTENT, L""); },
         L"内容が未入力です", IDC_ENTRY_CONTENT},
        {"reminder without a year",
         [&] {
             click_and_wait(entry, IDC_ENTRY_REMINDER);
             set_item_text(entry, IDC_ENTRY_REMINDER_YEAR, L"");
         },
         L"内容が未入力です", IDC_ENTRY_REMINDER_YEAR},
    };
    bool first = true;
    for (const Fault& f : faults) {
        // A good 10:00-11:00 entry on today, then the one fault.
        click_and_wait(entry, IDC_ENTRY_TIME_RANGE);
        choose_item(entry, IDC_ENTRY_START_HOUR, 10);
        choose_item(entry, IDC_ENTRY_START_MINUTE, 0);
        choose_item(entry, IDC_ENTRY_END_HOUR, 11);
        set_item_text(entry, IDC_ENTRY_CONTENT, L"会議");
        f.make();
        click(entry, IDC_ENTRY_OK);
        HWND box = find_window(L"エラー", s.pid());
        GUI_CHECK_MSG(box != nullptr, f.name);
        if (!box)
            continue;
        if (first)
            screenshot("entry_error_box");
        first = false;
        GUI_CHECK_TEXT(std::wstring(f.message), static_texts(box));
        click(box, IDOK);
        GUI_CHECK(wait_gone(box));
        GUI_CHECK_MSG(focus_reaches(entry, f.focus), f.name);
        GUI_CHECK(::IsWindowVisible(entry));
    }
    GUI_CHECK(record_count_of(s.data_file()) == 0);
    click(entry, IDC_ENTRY_CANCEL);
    GUI_CHECK(wait_gone(entry));
    GUI_CHECK(list_rows(day_list, IDC_DAY_LIST).empty());
    click(day_list, IDC_DAY_CLOSE);
    GUI_CHECK(wait_gone(day_list));
    end_session(s);
}

GUI_TEST(entry_waits_for_mail_settings) {
    std::filesystem::path folder = fresh_program_folder("entry_no_mail");
    Program program;
    GUI_CHECK(program.start(folder));
    HWND calendar = program.open_calendar();
    GUI_CHECK(calendar != nullptr);
    if (!calendar)
        return;
    click(calendar, IDC_NEW_TODO);
    HWND entry = find_window(ENTRY_TITLE, program.process_id());
    GUI_CHECK(entry != nullptr);
    if (!entry)
        return;
    set_item_text(entry, IDC_ENTRY_CONTENT, L"牛乳を買う");
    // The guard says what is missing and opens the settings sheet; closed
    // without the mail settings, the entry waits as typed.
    for (bool give_settings : {false, true}) {
        click(entry, IDC_ENTRY_OK);
        HWND box = find_window(L"確認", program.process_id());
        GUI_CHECK(box != nullptr);
        if (box) {
            GUI_CHECK_TEXT(std::wstring(L"メール関係の設定を行って下さい"), static_texts(box));
            click(box, IDOK);
            GUI_CHECK(wait_gone(box));
        }
        HWND sheet = find_window(L"設定", program.process_id());
        GUI_CHECK(sheet != nullptr);
        if (!sheet)
            return;
        if (give_settings) {
            HWND mail = current_sheet_page(sheet);
            set_item_text(mail, IDC_SMTP_SERVER, L"smtp.example.jp");
            set_item_text(mail, IDC_SENDER, L"me@example.jp");
            set_item_text(mail, IDC_RECIPIENT, L"phone@example.jp");
        }
        click(sheet, give_settings ? IDOK : IDCANCEL);
        GUI_CHECK(wait_gone(sheet));
        if (!give_settings) {
            ::Sleep(500);
            GUI_CHECK(::IsWindowVisible(entry));
            GUI_CHECK(record_count_of(folder / "vntradata.fil") == 0);
        }
    }
    // With the settings made, the same OK saves the entry.
    GUI_CHECK(wait_gone(entry));
    GUI_CHECK(wait_until([&] { return record_count_of(folder / "vntradata.fil") == 1; }));
    GUI_CHECK(std::string(settings_in(folder).smtp_server) == "smtp.example.jp");
    ::PostMessageW(calendar, WM_COMMAND, CMD_TO_TRAY, 0);
    GUI_CHECK(wait_gone(calendar));
    GUI_CHECK(program.exit_from_tray());
}

} // namespace
} // namespace vntra::gui
