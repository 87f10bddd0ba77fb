// The calendar window: today's month with its shading, the schedule rows and
// their marks, paging, deletion and the ToDo list.
#include <algorithm>
#include <cstdio>

#include "calendar/holidays.h"
#include "gui_kit.h"
#include "resource_ids.h"

namespace vntra::gui {
namespace {

int days_in(int year, int month) {
    Today first{year, month, 1, 0};
    int days = 28;
    while (add_days(first, days).month == month)
        ++days;
    return days;
}

int date_key(const Today& date) {
    return date.year * 10000 + date.month * 100 + date.day;
}
int date_key(int year, int month, int day) {
    return year * 10000 + month * 100 + day;
}

std::wstring number(int value) {
    return std::to_wstring(value);
}

std::wstring two(int value) {
    wchar_t text[8];
    std::swprintf(text, 8, L"%02d", value);
    return text;
}

const COLORREF HOLIDAY = RGB(255, 150, 150);
const COLORREF SATURDAY = RGB(150, 255, 255);
const COLORREF NEUTRAL = RGB(225, 225, 225);
const COLORREF TODAY = RGB(255, 255, 150);
const COLORREF PLAIN = RGB(255, 255, 255);

std::string colour_text(COLORREF colour) {
    char text[32];
    std::snprintf(text, sizeof text, "(%d,%d,%d)", GetRValue(colour), GetGValue(colour),
                  GetBValue(colour));
    return text;
}

// The mark a row gets, computed from the clock: the entry touches the period.
struct Period {
    int first;
    int last;
};
Period period_for(int mark_range, const Today& now) {
    if (mark_range == 0)
        return {date_key(now.year, now.month, 1),
                date_key(now.year, now.month, days_in(now.year, now.month))};
    if (mark_range == 2)
        return {date_key(now), date_key(now)};
    return {date_key(add_days(now, -now.weekday)), date_key(add_days(now, 6 - now.weekday))};
}

std::wstring mark(const ScheduleRecord& r, const Period& period) {
    int start = date_key(r.start_year, r.start_month, r.start_day);
    int end = date_key(r.end_year, r.end_month, r.end_day);
    return end < period.first || period.last < start ? L"　 " : L"★ ";
}

std::wstring line_of(const ScheduleRecord& r, const std::wstring& content,
                     const std::wstring& place) {
    std::wstring date = two(r.start_month) + L"月" + two(r.start_day) + L"日";
    switch (r.kind) {
    case KIND_TIME_RANGE:
        return date + L" " + two(r.start_hour) + L":" + two(r.start_minute) + L"-" +
               two(r.end_hour) + L":" + two(r.end_minute) + L"  " + content + L"：" + place;
    case KIND_DATE_SPAN:
        return date + L"-" + two(r.end_month) + L"月" + two(r.end_day) + L"日     " + content +
               L"：" + place;
    case KIND_MORNING:
        return date + L" 午前         " + content + L"：" + place;
    case KIND_AFTERNOON:
        return date + L" 午後         " + content + L"：" + place;
    default:
        return date + L" 終日         " + content + L"：" + place;
    }
}

struct Entry {
    ScheduleRecord record;
    std::wstring content;
    std::wstring place;
};

Entry entry(int kind, const Today& from, const Today& to, const std::string& content,
            const std::string& place) {
    return {dated_record(kind, from.year, from.month, from.day, to.year, to.month, to.day, content,
                         place),
            wide(content), wide(place)};
}

HWND open_with(Program& program, const std::filesystem::path& folder) {
    if (!program.start(folder))
        return nullptr;
    HWND calendar = program.open_calendar();
    // The notice of today's schedule opens with it; it stays out of the way.
    return calendar;
}

void close_calendar(HWND calendar) {
    ::PostMessageW(calendar, WM_COMMAND, CMD_TO_TRAY, 0);
    GUI_CHECK(wait_gone(calendar));
}

GUI_TEST(calendar_opens_on_todays_month_with_its_shading) {
    std::filesystem::path folder = fresh_program_folder("calendar_today");
    Program program;
    HWND calendar = open_with(program, folder);
    GUI_CHECK(calendar != nullptr);
    if (!calendar)
        return;
    Today now = today();
    GUI_CHECK_TEXT(number(now.year), item_text(calendar, IDC_YEAR));
    GUI_CHECK_TEXT(number(now.month), item_text(calendar, IDC_MONTH));
    int first_column = ((now.weekday - (now.day - 1)) % 7 + 7) % 7;
    int length = days_in(now.year, now.month);
    ::Sleep(500);
    screenshot("calendar_this_month");
    for (int cell = 0; cell < 42; ++cell) {
        int day = cell - first_column + 1;
        bool in_month = day >= 1 && day <= length;
        GUI_CHECK_TEXT(in_month ? number(day) : std::wstring(),
                       item_text(calendar, IDC_FIRST_CELL + cell));
        COLORREF expected = NEUTRAL;
        if (in_month) {
            int column = cell % 7;
            if (day == now.day)
                expected = TODAY;
            else if (column == 0 || resolve_holiday(now.year, now.month, day).is_holiday)
                expected = HOLIDAY;
            else if (column == 6)
                expected = SATURDAY;
            else
                expected = PLAIN;
        }
        COLORREF seen = pixel_at(calendar, IDC_FIRST_CELL + cell, 2, 2);
        GUI_CHECK_MSG(seen == expected, "cell " + std::to_string(cell) + " day " +
                                            std::to_string(day) + ": " + colour_text(seen) +
                                            " instead of " + colour_text(expected));
    }
    const COLORREF headers[7] = {HOLIDAY, NEUTRAL, NEUTRAL, NEUTRAL, NEUTRAL, NEUTRAL, SATURDAY};
    const wchar_t* names[7] = {L"日", L"月", L"火", L"水", L"木", L"金", L"土"};
    for (int column = 0; column < 7; ++column) {
        GUI_CHECK_TEXT(std::wstring(names[column]),
                       item_text(calendar, IDC_FIRST_WEEKDAY_HEADER + column));
        GUI_CHECK(pixel_at(calendar, IDC_FIRST_WEEKDAY_HEADER + column, 2, 2) == headers[column]);
    }
    // The bulk mail: weeks 5 and 6 only when the month reaches those rows.
    for (int id : {IDC_SEND_MAIL, IDC_SEND_MONTH, IDC_SEND_WEEK1, IDC_SEND_WEEK1 + 3})
        GUI_CHECK_MSG(is_enabled(calendar, id), "control " + std::to_string(id));
    GUI_CHECK(is_enabled(calendar, IDC_SEND_WEEK5) == (first_column + length > 28));
    GUI_CHECK(is_enabled(calendar, IDC_SEND_WEEK6) == (first_column + length > 35));
    for (int id :
         {IDC_EDIT_SCHEDULE, IDC_DELETE_SCHEDULE, IDC_NEW_TODO, IDC_EDIT_TODO, IDC_DELETE_TODO})
        GUI_CHECK_MSG(is_enabled(calendar, id), "control " + std::to_string(id));
    GUI_CHECK(is_checked(calendar, IDC_SEND_MONTH));
    GUI_CHECK(is_checked(calendar, IDC_MARK_WEEK)); // the default range
    GUI_CHECK_TEXT(std::wstring(L"メール送信"), item_text(calendar, IDC_SEND_MAIL));
    close_calendar(calendar);
    GUI_CHECK(program.exit_from_tray());
}

GUI_TEST(rows_carry_marks_for_each_range) {
    std::filesystem::path folder = fresh_program_folder("calendar_rows");
    Today now = today();
    Today first{now.year, now.month, 1, 0};
    Today last{now.year, now.month, days_in(now.year, now.month), 0};
    std::vector<Entry> entries = {
        entry(KIND_ALL_DAY, now, now, "終日の用事", "自宅"),
        entry(KIND_MORNING, first, first, "月初の会議", "本社"),
        entry(KIND_AFTERNOON, last, last, "月末の締め", ""),
        entry(KIND_DATE_SPAN, add_days(now, -9), add_days(now, -8), "先週の出張", "大阪"),
        entry(KIND_DATE_SPAN, add_days(now, 1), add_days(now, 2), "明日からの旅行", "京都"),
    };
    entries[0].record.kind = KIND_TIME_RANGE; // 09:00-10:30 today
    entries[0].record.start_hour = 9;
    entries[0].record.end_hour = 10;
    entries[0].record.end_minute = 30;
    std::vector<ScheduleRecord> records;
    for (const Entry& e : entries)
        records.push_back(e.record);
    // ToDo items in slots 9 and 12 (the others deleted): 12 sorts after 9.
    while (records.size() < 8)
        records.push_back(blank_record());
    records.push_back(todo_record("牛乳を買う"));
    records.push_back(blank_record());
    records.push_back(blank_record());
    records.push_back(todo_record("電話する"));
    write_records(folder / "vntradata.fil", records);

    Program program;
    HWND calendar = open_with(program, folder);
    GUI_CHECK(calendar != nullptr);
    if (!calendar)
        return;
    ::Sleep(300);
    screenshot("calendar_rows");
    GUI_CHECK((list_rows(calendar, IDC_TODO_LIST) ==
               std::vector<std::wstring>{L"牛乳を買う", L"電話する"}));

    for (int range : {1, 0, 2}) {
        if (range != 1) {
            click_and_wait(calendar, IDC_MARK_MONTH + range);
            GUI_CHECK(wait_until(
                [&] { return size_of_file(folder / "vntraini.fil") == SETTINGS_RECORD_SIZE; }));
            std::string settings = read_bytes(folder / "vntraini.fil");
            GUI_CHECK(settings.size() == SETTINGS_RECORD_SIZE && settings[2392] == range);
        }
        Period period = period_for(range, now);
        std::vector<std::pair<std::string, std::wstring>> expected; // sort key, row
        for (const Entry& e : entries) {
            const ScheduleRecord& r = e.record;
            int shown = now.year * 100 + now.month;
            if (r.start_year * 100 + r.start_month > shown ||
                r.end_year * 100 + r.end_month < shown)
                continue;
            char key[64];
            std::snprintf(key, sizeof key, "%04d%02d%02d%01d%02d%02d", r.start_year, r.start_month,
                          r.start_day, r.kind, r.start_hour, r.start_minute);
            expected.push_back({key, mark(r, period) + line_of(r, e.content, e.place)});
        }
        std::stable_sort(expected.begin(), expected.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        std::vector<std::wstring> rows = list_rows(calendar, IDC_MONTH_LIST);
        GUI_CHECK_MSG(rows.size() == expected.size(), "range " + std::to_string(range));
        for (size_t i = 0; i < rows.size() && i < expected.size(); ++i)
            GUI_CHECK_TEXT(expected[i].second, rows[i]);
        // Borders on the days the listed entries cover.
        int first_column = ((now.weekday - (now.day - 1)) % 7 + 7) % 7;
        for (int day = 1; day <= last.day; ++day) {
            bool covered = false;
            for (const Entry& e : entries) {
                const ScheduleRecord& r = e.record;
                int key = date_key(now.year, now.month, day);
                covered = covered || (date_key(r.start_year, r.start_month, r.start_day) <= key &&
                                      key <= date_key(r.end_year, r.end_month, r.end_day));
            }
            GUI_CHECK_MSG(has_border(calendar, IDC_FIRST_CELL + first_column + day - 1) == covered,
                          "day " + std::to_string(day));
        }
    }
    close_calendar(calendar);
    GUI_CHECK(program.exit_from_tray());
}

// Paging back stops at January 2001; a span across two months is listed in
// both, with borders on its days in each.
GUI_TEST(paging_stops_at_january_2001_and_spans_show_in_both_months) {
    std::filesystem::path folder = fresh_program_folder("calendar_paging");
    std::vector<ScheduleRecord> records = {
        dated_record(KIND_DATE_SPAN, 2004, 1, 28, 2004, 2, 3, "研修", "名古屋"),
    };
    write_records(folder / "vntradata.fil", records);
    Program program;
    HWND calendar = open_with(program, folder);
    GUI_CHECK(calendar != nullptr);
    if (!calendar)
        return;
    Today now = today();
    int year = now.year;
    int month = now.month;
    bool steady = true;
    while (!(year == 2001 && month == 1) && steady) {
        click_and_wait(calendar, IDC_PREVIOUS_MONTH);
        if (--month == 0) {
            month = 12;
            --year;
        }
        steady = item_text(calendar, IDC_YEAR) == number(year) &&
                 item_text(calendar, IDC_MONTH) == number(month);
    }
    GUI_CHECK_MSG(steady, "paging back went wrong at " + std::to_string(year) + "/" +
                              std::to_string(month));
    click_and_wait(calendar, IDC_PREVIOUS_MONTH);
    GUI_CHECK_TEXT(std::wstring(L"2001"), item_text(calendar, IDC_YEAR));
    GUI_CHECK_TEXT(std::wstring(L"1"), item_text(calendar, IDC_MONTH));
    screenshot("calendar_january_2001");

    for (int i = 0; i < 36; ++i)
        click_and_wait(calendar, IDC_NEXT_MONTH);
    GUI_CHECK_TEXT(std::wstring(L"2004"), item_text(calendar, IDC_YEAR));
    GUI_CHECK_TEXT(std::wstring(L"1"), item_text(calendar, IDC_MONTH));
    std::vector<std::wstring> january = list_rows(calendar, IDC_MONTH_LIST);
    GUI_CHECK(january.size() == 1);
    if (!january.empty())
        GUI_CHECK_TEXT(std::wstring(L"　 01月28日-02月03日     研修：名古屋"), january[0]);
    // January 2004 starts on a Thursday (column 4): day d is cell 3 + d.
    for (int day = 1; day <= 31; ++day)
        GUI_CHECK_MSG(has_border(calendar, IDC_FIRST_CELL + 3 + day) == (day >= 28),
                      "January " + std::to_string(day));
    // 2004-01-12 (成人の日, a Monday) is shaded as a holiday.
    // (read from the screen, so given the time to be painted)
    GUI_CHECK(
        wait_until([&] { return pixel_at(calendar, IDC_FIRST_CELL + 3 + 12, 2, 2) == HOLIDAY; }));
    screenshot("calendar_january_2004");

    click_and_wait(calendar, IDC_NEXT_MONTH);
    GUI_CHECK_TEXT(std::wstring(L"2"), item_text(calendar, IDC_MONTH));
    GUI_CHECK(list_rows(calendar, IDC_MONTH_LIST).size() == 1);
    // February 2004 starts on a Sunday: day d is cell d − 1.
    for (int day = 1; day <= 29; ++day)
        GUI_CHECK_MSG(has_border(calendar, IDC_FIRST_CELL + day - 1) == (day <= 3),
                      "February " + std::to_string(day));
    click_and_wait(calendar, IDC_NEXT_MONTH);
    GUI_CHECK(list_rows(calendar, IDC_MONTH_LIST).empty());

    // December pages on to January of the next year; 今月 comes home.
    for (int i = 0; i < 9; ++i)
        click_and_wait(calendar, IDC_NEXT_MONTH);
    GUI_CHECK_TEXT(std::wstring(L"2004"), item_text(calendar, IDC_YEAR));
    GUI_CHECK_TEXT(std::wstring(L"12"), item_text(calendar, IDC_MONTH));
    click_and_wait(calendar, IDC_NEXT_MONTH);
    GUI_CHECK_TEXT(std::wstring(L"2005"), item_text(calendar, IDC_YEAR));
    GUI_CHECK_TEXT(std::wstring(L"1"), item_text(calendar, IDC_MONTH));
    click_and_wait(calendar, IDC_THIS_MONTH);
    GUI_CHECK_TEXT(number(now.year), item_text(calendar, IDC_YEAR));
    GUI_CHECK_TEXT(number(now.month), item_text(calendar, IDC_MONTH));
    close_calendar(calendar);
    GUI_CHECK(program.exit_from_tray());
}

// Answers the "確認" box that a delete button opens.
bool answer_delete_question(DWORD pid, int button) {
    HWND box = find_window(L"確認", pid);
    GUI_CHECK(box != nullptr);
    if (!box)
        return false;
    GUI_CHECK_TEXT(std::wstring(L"削除しますか"), static_texts(box));
    click(box, button);
    return wait_gone(box);
}

GUI_TEST(delete_asks_and_blanks_the_slot_only_on_yes) {
    std::filesystem::path folder = fresh_program_folder("calendar_delete");
    Today now = today();
    std::vector<ScheduleRecord> records = {
        entry(KIND_ALL_DAY, now, now, "消す予定", "").record,
        todo_record("消すＴｏＤｏ"),
        todo_record("残すＴｏＤｏ"),
    };
    write_records(folder / "vntradata.fil", records);
    std::string before = read_bytes(folder / "vntradata.fil");
    Program program;
    HWND calendar = open_with(program, folder);
    GUI_CHECK(calendar != nullptr);
    if (!calendar)
        return;

    // No: nothing changes and the selection is cleared.
    select_row(calendar, IDC_MONTH_LIST, 0);
    click(calendar, IDC_DELETE_SCHEDULE);
    screenshot("delete_question");
    GUI_CHECK(answer_delete_question(program.process_id(), IDNO));
    GUI_CHECK(list_rows(calendar, IDC_MONTH_LIST).size() == 1);
    GUI_CHECK(::SendMessageW(::GetDlgItem(calendar, IDC_MONTH_LIST), LB_GETCURSEL, 0, 0) == LB_ERR);
    GUI_CHECK(read_bytes(folder / "vntradata.fil") == before);

    // Without a selection the button does nothing.
    click(calendar, IDC_DELETE_SCHEDULE);
    ::Sleep(700);
    GUI_CHECK(find_window_now(L"確認", program.process_id()) == nullptr);

    // Yes: the slot is blanked in place.
    select_row(calendar, IDC_MONTH_LIST, 0);
    click(calendar, IDC_DELETE_SCHEDULE);
    GUI_CHECK(answer_delete_question(program.process_id(), IDYES));
    GUI_CHECK(wait_until([&] { return list_rows(calendar, IDC_MONTH_LIST).empty(); }));
    std::vector<ScheduleRecord> after = records_of(folder / "vntradata.fil");
    GUI_CHECK(record_count_of(folder / "vntradata.fil") == 3 && after.size() == 3);
    if (after.size() == 3)
        GUI_CHECK(after[0].id == 1 && after[0].kind == KIND_DELETED && after[0].content[0] == 0);

    // ToDo: No keeps it, Yes removes it.
    select_row(calendar, IDC_TODO_LIST, 0);
    click(calendar, IDC_DELETE_TODO);
    GUI_CHECK(answer_delete_question(program.process_id(), IDNO));
    GUI_CHECK(list_rows(calendar, IDC_TODO_LIST).size() == 2);
    select_row(calendar, IDC_TODO_LIST, 0);
    click(calendar, IDC_DELETE_TODO);
    GUI_CHECK(answer_delete_question(program.process_id(), IDYES));
    GUI_CHECK(wait_until([&] {
        return list_rows(calendar, IDC_TODO_LIST) == std::vector<std::wstring>{L"残すＴｏＤｏ"};
    }));
    after = records_of(folder / "vntradata.fil");
    if (after.size() == 3)
        GUI_CHECK(after[1].kind == KIND_DELETED && after[2].kind == KIND_TODO);
    close_calendar(calendar);
    GUI_CHECK(program.exit_from_tray());
}

GUI_TEST(delete_that_cannot_be_written_says_so_and_keeps_the_row) {
    std::filesystem::path folder = fresh_program_folder("calendar_delete_fails");
    write_records(folder / "vntradata.fil", {todo_record("書けないＴｏＤｏ")});
    Program program;
    HWND calendar = open_with(program, folder);
    GUI_CHECK(calendar != nullptr);
    if (!calendar)
        return;
    // Another program holds the data file without sharing it.
    HANDLE held = ::CreateFileW((folder / "vntradata.fil").wstring().c_str(), GENERIC_READ, 0,
                                nullptr, OPEN_EXISTING, 0, nullptr);
    GUI_CHECK(held != INVALID_HANDLE_VALUE);
    select_row(calendar, IDC_TODO_LIST, 0);
    click(calendar, IDC_DELETE_TODO);
    GUI_CHECK(answer_delete_question(program.process_id(), IDYES));
    HWND error = find_window(L"エラー", program.process_id());
    GUI_CHECK(error != nullptr);
    if (error) {
        GUI_CHECK(static_texts(error).find(L"削除できませんでした") != std::wstring::npos);
        screenshot("delete_failed");
        click(error, IDOK);
        GUI_CHECK(wait_gone(error));
    }
    ::CloseHandle(held);
    GUI_CHECK(list_rows(calendar, IDC_TODO_LIST) == std::vector<std::wstring>{L"書けないＴｏＤｏ"});
    std::vector<ScheduleRecord> after = records_of(folder / "vntradata.fil");
    GUI_CHECK(after.size() == 1 && after[0].kind == KIND_TODO);
    close_calendar(calendar);
    GUI_CHECK(program.exit_from_tray());
}

} // namespace
} // namespace vntra::gui
