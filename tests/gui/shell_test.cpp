// Start-up, the single-instance guard, the tray and the exit housekeeping.
#include "gui_kit.h"
#include "resource_ids.h"

namespace vntra::gui {
namespace {

GUI_TEST(first_run_creates_empty_files) {
    std::filesystem::path folder = fresh_program_folder("first_run");
    Program program;
    GUI_CHECK(program.start(folder));
    GUI_CHECK(wait_until([&] { return size_of_file(folder / "vntradata.fil") == 12; }));
    GUI_CHECK(size_of_file(folder / "vntraini.fil") == 0);
    std::string header = read_bytes(folder / "vntradata.fil");
    GUI_CHECK(header == std::string("ver 2.3\0\0\0\0\0", 12));
    // Nothing shows but the tray icon.
    GUI_CHECK(visible_windows(program.process_id()).empty());
    screenshot("tray_icon");
    GUI_CHECK(program.exit_from_tray());
}

GUI_TEST(second_instance_is_refused) {
    std::filesystem::path folder = fresh_program_folder("second_instance");
    Program first;
    GUI_CHECK(first.start(folder));
    std::string data_before = read_bytes(folder / "vntradata.fil");

    Program second;
    GUI_CHECK(second.launch(folder));
    HWND box = find_window(L"二重起動", second.process_id());
    GUI_CHECK(box != nullptr);
    GUI_CHECK_TEXT(std::wstring(L"vntra.exe\nこのプログラムは既に起動しています"),
                   static_texts(box));
    screenshot("second_instance");
    click(box, IDOK);
    GUI_CHECK(second.wait_for_exit() == 0);

    GUI_CHECK(first.running());
    GUI_CHECK(::IsWindow(first.resident()));
    GUI_CHECK(read_bytes(folder / "vntradata.fil") == data_before);
    GUI_CHECK(size_of_file(folder / "vntraini.fil") == 0);
    GUI_CHECK(first.exit_from_tray());
}

GUI_TEST(tray_menu_opens_on_right_click) {
    std::filesystem::path folder = fresh_program_folder("tray_menu");
    Program program;
    GUI_CHECK(program.start(folder));
    program.tray_click(WM_RBUTTONDOWN);
    HWND menu = nullptr;
    GUI_CHECK(wait_until([&] {
        for (HWND window : visible_windows(program.process_id()))
            if (window_text(window).empty())
                menu = window;
        return menu != nullptr;
    }));
    screenshot("tray_menu");
    // Escape closes the menu; the program goes on.
    ::PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    GUI_CHECK(wait_gone(menu));
    GUI_CHECK(program.running());
    GUI_CHECK(program.exit_from_tray());
}

GUI_TEST(tray_clicks_open_nothing_while_the_calendar_is_open) {
    std::filesystem::path folder = fresh_program_folder("busy");
    Program program;
    GUI_CHECK(program.start(folder));
    HWND calendar = program.open_calendar();
    GUI_CHECK(calendar != nullptr);
    size_t windows_before = visible_windows(program.process_id()).size();
    program.tray_click(WM_LBUTTONDOWN);
    program.tray_click(WM_RBUTTONDOWN);
    ::Sleep(1500);
    GUI_CHECK(count_windows(L"Vontara", program.process_id()) == 1);
    GUI_CHECK(visible_windows(program.process_id()).size() == windows_before);

    // Closed again, the tray opens it once more.
    ::PostMessageW(calendar, WM_COMMAND, CMD_TO_TRAY, 0);
    GUI_CHECK(wait_gone(calendar));
    HWND again = program.open_calendar();
    GUI_CHECK(again != nullptr);
    ::PostMessageW(again, WM_COMMAND, IDCANCEL, 0);
    GUI_CHECK(wait_gone(again));
    GUI_CHECK(program.exit_from_tray());
}

GUI_TEST(exit_compacts_renumbers_and_backs_up) {
    std::filesystem::path folder = fresh_program_folder("exit_housekeeping");
    Today now = today();
    Today expired = add_days(now, -100); // expiry_days 100: this day and older go
    Today kept = add_days(now, -99);
    std::vector<ScheduleRecord> records = {
        dated_record(KIND_ALL_DAY, kept.year, kept.month, kept.day, kept.year, kept.month, kept.day,
                     "残る予定", ""),
        blank_record(), // a deleted slot
        dated_record(KIND_ALL_DAY, expired.year, expired.month, expired.day, expired.year,
                     expired.month, expired.day, "期限切れ", ""),
        todo_record("古いＴｏＤｏ"),
    };
    records[1].kind = KIND_DELETED;
    // A damaged count: the slots are what counts, and the user hears of it once.
    write_records(folder / "vntradata.fil", records, 0);
    Program program;
    GUI_CHECK(program.start(folder));
    GUI_CHECK(find_window(L"エラー", program.process_id()) && screenshot("data_count_repaired"));
    GUI_CHECK(answer_message_box(L"エラー", program.process_id())
                  .find(L"件数が壊れていたため、修復しました") != std::wstring::npos);
    GUI_CHECK(program.exit_from_tray());

    std::vector<ScheduleRecord> after = records_of(folder / "vntradata.fil");
    GUI_CHECK(record_count_of(folder / "vntradata.fil") == 2);
    GUI_CHECK(after.size() == 2);
    if (after.size() == 2) {
        GUI_CHECK(after[0].id == 1 && after[0].kind == KIND_ALL_DAY &&
                  after[0].start_day == kept.day);
        GUI_CHECK(after[1].id == 2 && after[1].kind == KIND_TODO);
    }
    GUI_CHECK(read_bytes(folder / "vntradata.bak") == read_bytes(folder / "vntradata.fil"));
    GUI_CHECK(!std::filesystem::exists(folder / "vntradata2.fil"));
}

} // namespace
} // namespace vntra::gui

namespace vntra::gui {
namespace {

GUI_TEST(end_of_session_runs_the_same_housekeeping) {
    std::filesystem::path folder = fresh_program_folder("session_end");
    ScheduleRecord deleted = blank_record();
    write_records(folder / "vntradata.fil", {deleted, todo_record("残る")});
    Program program;
    GUI_CHECK(program.start(folder));
    DWORD_PTR answer = 0;
    ::SendMessageTimeoutW(program.resident(), WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, 5000, &answer);
    GUI_CHECK(answer == TRUE);
    GUI_CHECK(program.wait_for_exit() == 0);
    GUI_CHECK(record_count_of(folder / "vntradata.fil") == 1);
    GUI_CHECK(read_bytes(folder / "vntradata.bak") == read_bytes(folder / "vntradata.fil"));
}

} // namespace
} // namespace vntra::gui

namespace vntra::gui {
namespace {

// Every exit replaces the backup: after each of two runs with different data
// the backup equals the data file byte for byte.
GUI_TEST(every_exit_writes_a_fresh_backup) {
    std::filesystem::path folder = fresh_program_folder("backup_twice");
    Today now = today();
    std::string first_backup;
    for (int run = 1; run <= 2; ++run) {
        std::vector<ScheduleRecord> records = {todo_record("一回目")};
        if (run == 2)
            records.push_back(dated_record(KIND_ALL_DAY, now.year, now.month, now.day, now.year,
                                           now.month, now.day, "二回目", "会議室"));
        write_records(folder / "vntradata.fil", records);
        Program program;
        GUI_CHECK(program.start(folder));
        GUI_CHECK(program.exit_from_tray());
        std::string data = read_bytes(folder / "vntradata.fil");
        std::string backup = read_bytes(folder / "vntradata.bak");
        GUI_CHECK_MSG(backup == data, "run " + std::to_string(run) + ": backup of " +
                                          std::to_string(backup.size()) + " bytes, data of " +
                                          std::to_string(data.size()));
        GUI_CHECK(record_count_of(folder / "vntradata.bak") == run);
        if (run == 1)
            first_backup = backup;
        else
            GUI_CHECK(backup != first_backup);
        GUI_CHECK(!std::filesystem::exists(folder / "vntradata.bak.new"));
    }
}

// Runs the test thread's own messages while waiting, so that another
// process can take the activation from a window of ours.
template <typename Condition> bool pump_until(Condition condition) {
    return wait_until([&] {
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            ::DispatchMessageW(&message);
        return condition();
    });
}

// With the calendar open, a tray click beeps and brings it back to the front,
// from behind another window or from the taskbar.
GUI_TEST(tray_click_brings_the_open_calendar_back) {
    std::filesystem::path folder = fresh_program_folder("tray_forward");
    Program program;
    GUI_CHECK(program.start(folder));
    HWND calendar = program.open_calendar();
    GUI_CHECK(calendar != nullptr);
    if (!calendar)
        return;

    HWND other =
        ::CreateWindowExW(0, L"STATIC", L"ほかのウィンドウ", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                          1280, 900, nullptr, nullptr, nullptr, nullptr);
    ::SetForegroundWindow(other);
    GUI_CHECK(pump_until([&] { return ::GetForegroundWindow() == other; }));
    program.tray_click(WM_LBUTTONDOWN);
    GUI_CHECK(pump_until([&] { return ::GetForegroundWindow() == calendar; }));
    screenshot("tray_click_brings_calendar_forward");
    ::DestroyWindow(other);

    ::ShowWindow(calendar, SW_MINIMIZE);
    GUI_CHECK(pump_until([&] { return ::IsIconic(calendar) != FALSE; }));
    program.tray_click(WM_RBUTTONDOWN);
    GUI_CHECK(pump_until([&] { return !::IsIconic(calendar); }));
    GUI_CHECK(count_windows(L"Vontara", program.process_id()) == 1);

    ::PostMessageW(calendar, WM_COMMAND, CMD_TO_TRAY, 0);
    GUI_CHECK(wait_gone(calendar));
    GUI_CHECK(program.exit_from_tray());
}

} // namespace
} // namespace vntra::gui

namespace vntra::gui {
namespace {

// A settings file that is there but cannot be read (here a folder holds its
// name): the user is told once, the program runs on the defaults, and what
// is there is left alone.
GUI_TEST(unreadable_settings_are_told_once_and_left_alone) {
    std::filesystem::path folder = fresh_program_folder("settings_unreadable");
    std::filesystem::create_directories(folder / "vntraini.fil" / "kept");
    Program program;
    GUI_CHECK(program.start(folder));
    HWND box = find_window(L"エラー", program.process_id());
    GUI_CHECK(box != nullptr);
    if (!box)
        return;
    GUI_CHECK(static_texts(box).find(L"vntraini.fil を読み込めませんでした") != std::wstring::npos);
    screenshot("settings_unreadable");
    click(box, IDOK);
    GUI_CHECK(wait_gone(box));

    // The calendar opens on the defaults; choosing a mark range saves nothing.
    HWND calendar = program.open_calendar();
    GUI_CHECK(calendar != nullptr);
    if (calendar) {
        GUI_CHECK(is_checked(calendar, IDC_MARK_WEEK));
        click_and_wait(calendar, IDC_MARK_TODAY);
        GUI_CHECK(find_window_now(L"エラー", program.process_id()) == nullptr);
        ::PostMessageW(calendar, WM_COMMAND, CMD_TO_TRAY, 0);
        GUI_CHECK(wait_gone(calendar));
    }
    GUI_CHECK(count_windows(L"エラー", program.process_id()) == 0);
    GUI_CHECK(std::filesystem::is_directory(folder / "vntraini.fil" / "kept"));
    GUI_CHECK(!std::filesystem::exists(folder / "vntraini.fil.new"));
    GUI_CHECK(program.exit_from_tray());
}

} // namespace
} // namespace vntra::gui
