// Changes through the day list: an edit keeps its id and re-arms its
// triggers, a data file held by another program fails without loss, and
// the day list of New Year's Day adds and deletes.
#include <cstdio>
#include <functional>

#include "editing_session.h"

namespace vntra::gui {
namespace {

GUI_TEST(changes_keep_their_id_rearm_and_survive_a_held_file) {
    Today now = today();
    ScheduleRecord meeting = dated_record(KIND_TIME_RANGE, now.year, now.month, now.day, now.year,
                                          now.month, now.day, "定例", "");
    meeting.start_hour = 9;
    meeting.end_hour = 10;
    meeting.end_minute = 0;
    meeting.alarm_state = TRIGGER_DONE;
    meeting.alarm_lead_minutes = 5;
    Session s;
    if (!start_session(s, "entry_changes", {todo_record("電話する"), meeting}))
        return;

    // A changed time range keeps its slot; its done alarm is armed again.
    select_row(s.calendar, IDC_MONTH_LIST, 0);
    HWND entry = open_entry(s, s.calendar, IDC_EDIT_SCHEDULE);
    if (!entry)
        return;
    GUI_CHECK(!::IsWindowVisible(s.calendar));
    GUI_CHECK(!is_checked(entry, IDC_ENTRY_ALARM));
    GUI_CHECK_TEXT(std::wstring(L"定例"), item_text(entry, IDC_ENTRY_CONTENT));
    GUI_CHECK_TEXT(std::wstring(L"9"), item_text(entry, IDC_ENTRY_START_HOUR));
    // Only a new entry's end hour follows its start hour.
    choose_item(entry, IDC_ENTRY_START_HOUR, 8);
    GUI_CHECK_TEXT(std::wstring(L"10"), item_text(entry, IDC_ENTRY_END_HOUR));
    choose_item(entry, IDC_ENTRY_END_HOUR, 11);
    click_and_wait(entry, IDC_ENTRY_ALARM);
    GUI_CHECK_TEXT(std::wstring(L"5"), item_text(entry, IDC_ENTRY_ALARM_MINUTES));
    GUI_CHECK(press_ok(entry));
    GUI_CHECK(wait_until([&] {
        std::vector<std::wstring> rows = list_rows(s.calendar, IDC_MONTH_LIST);
        return rows.size() == 1 && rows[0].find(L"08:00-11:00") != std::wstring::npos;
    }));
    std::string bytes = read_bytes(s.data_file());
    GUI_CHECK(record_count_of(s.data_file()) == 2);
    check_slot(bytes, 2,
               {{AT_ID, 2},
                {AT_KIND, KIND_TIME_RANGE},
                {AT_START_HOUR, 8},
                {AT_END_HOUR, 11},
                {AT_ALARM_STATE, 1},
                {AT_ALARM_LEAD, 5}});

    // A save that cannot be written says so and keeps the dialog as typed.
    select_row(s.calendar, IDC_MONTH_LIST, 0);
    entry = open_entry(s, s.calendar, IDC_EDIT_SCHEDULE);
    if (!entry)
        return;
    set_item_text(entry, IDC_ENTRY_CONTENT, L"定例（延期）");
    {
        HeldFile held(s.data_file());
        click(entry, IDC_ENTRY_OK);
        std::wstring message = answer_box(s, L"エラー");
        GUI_CHECK_MSG(message.find(L"保存できませんでした") != std::wstring::npos, utf8(message));
    }
    GUI_CHECK(::IsWindowVisible(entry));
    GUI_CHECK_TEXT(std::wstring(L"定例（延期）"), item_text(entry, IDC_ENTRY_CONTENT));
    GUI_CHECK(read_bytes(s.data_file()) == bytes);
    GUI_CHECK(press_ok(entry));
    bytes = read_bytes(s.data_file());
    GUI_CHECK(slot_text(bytes, 2, AT_CONTENT) == shift_jis(L"定例（延期）"));

    // An edit whose record cannot be read does not open.
    select_row(s.calendar, IDC_MONTH_LIST, 0);
    {
        HeldFile held(s.data_file());
        click(s.calendar, IDC_EDIT_SCHEDULE);
        std::wstring message = answer_box(s, L"エラー");
        GUI_CHECK_MSG(message.find(L"開けませんでした") != std::wstring::npos, utf8(message));
        GUI_CHECK(find_window_now(ENTRY_TITLE, s.pid()) == nullptr);
    }
    ::Sleep(300);
    GUI_CHECK(find_window_now(ENTRY_TITLE, s.pid()) == nullptr);

    // A ToDo item changes in place too.
    select_row(s.calendar, IDC_TODO_LIST, 0);
    entry = open_entry(s, s.calendar, IDC_EDIT_TODO);
    if (!entry)
        return;
    GUI_CHECK_TEXT(std::wstring(L"電話する"), item_text(entry, IDC_ENTRY_CONTENT));
    set_item_text(entry, IDC_ENTRY_CONTENT, L"電話する（至急）");
    GUI_CHECK(press_ok(entry));
    GUI_CHECK(wait_until([&] {
        return list_rows(s.calendar, IDC_TODO_LIST) ==
               std::vector<std::wstring>{L"電話する（至急）"};
    }));
    GUI_CHECK(record_count_of(s.data_file()) == 2);
    end_session(s);
}

GUI_TEST(day_list_of_new_years_day_adds_and_deletes) {
    Today now = today();
    int year = now.month == 1 ? now.year : now.year + 1;
    ScheduleRecord visit = dated_record(KIND_TIME_RANGE, year, 1, 1, year, 1, 1, "初詣", "");
    visit.start_hour = 10;
    visit.end_hour = 11;
    Session s;
    if (!start_session(
            s, "day_list_new_year",
            {dated_record(KIND_DATE_SPAN, year - 1, 12, 30, year, 1, 3, "年末年始", ""), visit}))
        return;
    for (int i = 0; i < 12 && item_text(s.calendar, IDC_MONTH) != L"1"; ++i)
        click_and_wait(s.calendar, IDC_NEXT_MONTH);
    HWND day_list = open_day_list(s, 1);
    if (!day_list)
        return;
    GUI_CHECK_TEXT(number(year) + L"年1月1日", item_text(day_list, IDC_DAY_DATE));
    GUI_CHECK_TEXT(std::wstring(L"元旦"), item_text(day_list, IDC_DAY_HOLIDAY));
    GUI_CHECK(wait_until([&] { return shows_red(day_list, IDC_DAY_HOLIDAY); }));
    GUI_CHECK((
        list_rows(day_list, IDC_DAY_LIST) ==
        std::vector<std::wstring>{L"12月30日-01月03日  年末年始：", L"10:00-11:00        初詣："}));
    screenshot("day_list_new_years_day");

    HWND entry = open_entry(s, day_list, IDC_DAY_NEW);
    if (!entry)
        return;
    GUI_CHECK_TEXT(number(year), item_text(entry, IDC_ENTRY_YEAR));
    GUI_CHECK_TEXT(std::wstring(L"1"), item_text(entry, IDC_ENTRY_MONTH));
    click_and_wait(entry, IDC_ENTRY_AFTERNOON);
    set_item_text(entry, IDC_ENTRY_CONTENT, L"新年会");
    GUI_CHECK(press_ok(entry));
    GUI_CHECK(wait_until([&] { return list_rows(day_list, IDC_DAY_LIST).size() == 3; }));
    std::vector<std::wstring> rows = list_rows(day_list, IDC_DAY_LIST);
    if (rows.size() == 3)
        GUI_CHECK_TEXT(std::wstring(L"午後               新年会："), rows[2]);

    // Deleting asks first; a held file keeps the row and says so.
    select_row(day_list, IDC_DAY_LIST, 2);
    click(day_list, IDC_DAY_DELETE);
    std::wstring question = answer_box(s, L"確認", IDYES);
    GUI_CHECK_TEXT(std::wstring(L"削除しますか"), question);
    GUI_CHECK(wait_until([&] { return list_rows(day_list, IDC_DAY_LIST).size() == 2; }));
    GUI_CHECK(records_of(s.data_file()).size() == 3 && records_of(s.data_file())[2].kind == 0);
    select_row(day_list, IDC_DAY_LIST, 1);
    {
        HeldFile held(s.data_file());
        click(day_list, IDC_DAY_DELETE);
        question = answer_box(s, L"確認", IDYES);
        GUI_CHECK_TEXT(std::wstring(L"削除しますか"), question);
        std::wstring message = answer_box(s, L"エラー");
        GUI_CHECK_MSG(message.find(L"削除できませんでした") != std::wstring::npos, utf8(message));
    }
    GUI_CHECK(list_rows(day_list, IDC_DAY_LIST).size() == 2);
    GUI_CHECK(records_of(s.data_file())[1].kind == KIND_TIME_RANGE);

    click(day_list, IDC_DAY_CLOSE);
    GUI_CHECK(wait_gone(day_list));
    GUI_CHECK(wait_until([&] { return ::IsWindowVisible(s.calendar) != FALSE; }));
    GUI_CHECK(list_rows(s.calendar, IDC_MONTH_LIST).size() == 2);
    end_session(s);
}

} // namespace
} // namespace vntra::gui
