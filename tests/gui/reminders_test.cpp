// Today's schedule in the notice window: once per run, on the first opening
// of the calendar window.
#include "gui_kit.h"
#include "resource_ids.h"

namespace vntra::gui {
namespace {

HWND notice_of(const Program& program, int timeout_ms = DEFAULT_TIMEOUT_MS) {
    return find_window(L"お知らせ", program.process_id(), timeout_ms);
}

GUI_TEST(todays_notice_appears_once_per_run) {
    std::filesystem::path folder = fresh_program_folder("today_notice");
    Today now = today();
    Today tomorrow = add_days(now, 1);
    write_records(folder / "vntradata.fil",
                  {dated_record(KIND_ALL_DAY, now.year, now.month, now.day, now.year, now.month,
                                now.day, "棚卸し", "倉庫"),
                   dated_record(KIND_ALL_DAY, tomorrow.year, tomorrow.month, tomorrow.day,
                                tomorrow.year, tomorrow.month, tomorrow.day, "明日", "")});
    Program program;
    GUI_CHECK(program.start(folder));
    HWND calendar = program.open_calendar();
    HWND notice = notice_of(program);
    GUI_CHECK(calendar != nullptr && notice != nullptr);
    if (!calendar || !notice)
        return;
    GUI_CHECK_TEXT(
        std::wstring(L"【今日のスケジュールです】\r\n\r\n終日               棚卸し：倉庫"),
        item_text(notice, IDC_NOTICE_TEXT));
    GUI_CHECK((::GetWindowLongW(notice, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0);
    // Pale yellow behind the text, below the last line.
    RECT text_area;
    ::GetClientRect(::GetDlgItem(notice, IDC_NOTICE_TEXT), &text_area);
    GUI_CHECK(pixel_at(notice, IDC_NOTICE_TEXT, 30, text_area.bottom - 8) == RGB(255, 255, 200));
    // It does not cover the calendar.
    RECT notice_rect;
    RECT calendar_rect;
    RECT overlap;
    ::GetWindowRect(notice, &notice_rect);
    ::GetWindowRect(calendar, &calendar_rect);
    GUI_CHECK(!::IntersectRect(&overlap, &notice_rect, &calendar_rect));
    screenshot("notice_window");

    // The notice belongs to the calendar window and goes with it.
    ::PostMessageW(calendar, WM_COMMAND, CMD_TO_TRAY, 0);
    GUI_CHECK(wait_gone(calendar));
    GUI_CHECK(wait_gone(notice));

    // Opened again in the same run: no second notice.
    calendar = program.open_calendar();
    GUI_CHECK(calendar != nullptr);
    GUI_CHECK(notice_of(program, 1500) == nullptr);
    ::PostMessageW(calendar, WM_COMMAND, CMD_TO_TRAY, 0);
    GUI_CHECK(wait_gone(calendar));
    GUI_CHECK(program.exit_from_tray());

    // A new run gives the notice again.
    Program next_run;
    GUI_CHECK(next_run.start(folder));
    calendar = next_run.open_calendar();
    notice = notice_of(next_run);
    GUI_CHECK(notice != nullptr);
    if (notice) {
        click(notice, IDC_NOTICE_OK); // OK closes only the notice
        GUI_CHECK(wait_gone(notice));
    }
    GUI_CHECK(calendar && ::IsWindowVisible(calendar));
    ::PostMessageW(calendar, WM_COMMAND, CMD_TO_TRAY, 0);
    GUI_CHECK(wait_gone(calendar));
    GUI_CHECK(next_run.exit_from_tray());
}

GUI_TEST(no_notice_when_the_setting_is_off) {
    std::filesystem::path folder = fresh_program_folder("notice_off");
    SettingsRecord settings = default_settings("");
    settings.notify_today_at_startup = 0;
    write_settings(folder, settings);
    Program program;
    GUI_CHECK(program.start(folder));
    HWND calendar = program.open_calendar();
    GUI_CHECK(calendar != nullptr);
    GUI_CHECK(notice_of(program, 1500) == nullptr);
    ::PostMessageW(calendar, WM_COMMAND, CMD_TO_TRAY, 0);
    GUI_CHECK(wait_gone(calendar));
    GUI_CHECK(program.exit_from_tray());
}

} // namespace
} // namespace vntra::gui

namespace vntra::gui {
namespace {

// The notice opens without taking the activation from the calendar, and
// once the user turns to it, Tab moves between its controls while Enter and
// Esc close it.
GUI_TEST(notice_window_answers_the_keyboard) {
    std::filesystem::path folder = fresh_program_folder("notice_keys");
    Today now = today();
    write_records(folder / "vntradata.fil",
                  {dated_record(KIND_ALL_DAY, now.year, now.month, now.day, now.year, now.month,
                                now.day, "棚卸し", "倉庫")});
    for (WPARAM key : {VK_RETURN, VK_ESCAPE}) {
        Program program;
        GUI_CHECK(program.start(folder));
        HWND calendar = program.open_calendar();
        HWND notice = notice_of(program);
        GUI_CHECK(calendar != nullptr && notice != nullptr);
        if (!calendar || !notice)
            return;
        GUI_CHECK(wait_until([&] { return ::GetForegroundWindow() == calendar; }));

        ::SetForegroundWindow(notice);
        GUI_CHECK(wait_until([&] { return ::GetForegroundWindow() == notice; }));
        GUITHREADINFO focus{};
        focus.cbSize = sizeof focus;
        HWND text = ::GetDlgItem(notice, IDC_NOTICE_TEXT);
        HWND ok = ::GetDlgItem(notice, IDC_NOTICE_OK);
        DWORD thread = ::GetWindowThreadProcessId(notice, nullptr);
        auto focused = [&] {
            return ::GetGUIThreadInfo(thread, &focus) ? focus.hwndFocus : nullptr;
        };
        ::SendMessageW(notice, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(text), TRUE);
        GUI_CHECK(wait_until([&] { return focused() == text; }));
        ::PostMessageW(text, WM_KEYDOWN, VK_TAB, 0);
        GUI_CHECK(wait_until([&] { return focused() == ok; }));
        ::PostMessageW(ok, WM_KEYDOWN, VK_TAB, 0);
        GUI_CHECK(wait_until([&] { return focused() == text; }));
        screenshot(key == VK_RETURN ? "notice_keyboard" : "notice_keyboard_escape");

        ::PostMessageW(text, WM_KEYDOWN, key, 0);
        GUI_CHECK_MSG(wait_gone(notice, 3000), key == VK_RETURN ? "Enter" : "Esc");
        GUI_CHECK(::IsWindowVisible(calendar));
        ::PostMessageW(calendar, WM_COMMAND, CMD_TO_TRAY, 0);
        GUI_CHECK(wait_gone(calendar));
        GUI_CHECK(program.exit_from_tray());
    }
}

} // namespace
} // namespace vntra::gui
