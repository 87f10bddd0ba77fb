// The resident program must not grow with use. This driver opens and closes
// each window of the real program a few hundred times and reports how much
// the process's resident anonymous memory grew per 100 openings. It uses the
// GUI suite's kit; scripts/soak builds it and runs it under Xvfb and Wine.
//
//   vntra_soak.exe <bin folder> <work folder> <openings> [window ...]
//
// The figure is RssAnon from /proc/<pid>/status of the program's Wine
// process (read through the Z: drive): the heap pages the process has
// touched and still holds. Wine keeps its USER objects (menus, icons, window
// properties) and the buffers of the controls in the process's own heap, so
// a leak of any of them shows there, while memory freed and reused does not.
// VmRSS would add file pages that come and go with the page cache, and VmData
// counts whole reserved regions, so neither gives a steady slope.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "gui_kit.h"
#include "gui_run.h"
#include "resource_ids.h"

namespace vntra::gui {

RunState& run_state() {
    static RunState state;
    return state;
}

namespace {

const int ENTRY_COUNT = 300;
const int TODO_COUNT = 20;
// Openings before the first reading: caches (fonts, classes, the first
// heap blocks of each kind) fill once and are not growth.
const int WARM_UP_OPENINGS = 20;
const int CHUNK = 100;

// The log is the output: scripts/soak shows it as it grows.
void say(const std::string& line) {
    log_line(line);
}

// ---- the program's memory ------------------------------------------------------

std::string lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// The Unix process that runs vntra.exe from `folder`: its command line names
// the executable by its Windows path.
std::filesystem::path status_file_of(const std::filesystem::path& folder) {
    std::string wanted = lower(utf8((folder / "vntra.exe").wstring()));
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(L"Z:\\proc", error)) {
        std::string name = entry.path().filename().string();
        if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        std::string command_line = read_bytes(entry.path() / "cmdline");
        std::replace(command_line.begin(), command_line.end(), '\0', ' ');
        if (lower(command_line).find(wanted) != std::string::npos)
            return entry.path() / "status";
    }
    return {};
}

// RssAnon in kB, or -1 when the status file cannot be read.
long rss_anon_kb(const std::filesystem::path& status_file) {
    std::string status = read_bytes(status_file);
    size_t at = status.find("RssAnon:");
    return at == std::string::npos ? -1 : std::atol(status.c_str() + at + 8);
}

// ---- driving ---------------------------------------------------------------------

// The kit waits in steps of 50 ms; a few hundred openings per window want
// shorter steps.
template <typename Condition> bool soon(Condition condition) {
    DWORD start = ::GetTickCount();
    while (!condition()) {
        if (::GetTickCount() - start > static_cast<DWORD>(DEFAULT_TIMEOUT_MS))
            return false;
        ::Sleep(5);
    }
    return true;
}

HWND appears(const std::wstring& title, DWORD pid) {
    HWND window = nullptr;
    soon([&] { return (window = find_window_now(title, pid)) != nullptr; });
    return window;
}

// Waits until the thread that owns `window` takes sent messages again
// outside any modal loop that is ending.
bool settled(HWND window) {
    DWORD_PTR ignored = 0;
    return ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, DEFAULT_TIMEOUT_MS,
                                 &ignored) != 0;
}

struct Session {
    Program program;
    HWND calendar = nullptr;
    std::wstring day_cell_text;
};

// Closes a window as its close box does and waits until it is gone and
// `opener` (if any) shows again.
bool close_window(HWND window, HWND opener) {
    ::PostMessageW(window, WM_CLOSE, 0, 0);
    if (!soon([&] { return !::IsWindow(window) || !::IsWindowVisible(window); }))
        return false;
    if (!opener)
        return true;
    return soon([&] { return ::IsWindowVisible(opener) != FALSE; }) && settled(opener);
}

// A dialog the calendar window opens with a menu command or a button, and
// that hides the calendar window while it runs.
bool open_from_calendar(Session& s, UINT message, WPARAM wparam, LPARAM lparam,
                        const std::wstring& title) {
    ::PostMessageW(s.calendar, message, wparam, lparam);
    HWND window = appears(title, s.program.process_id());
    return window && close_window(window, s.calendar);
}

bool menu_command(Session& s, int command, const std::wstring& title) {
    return open_from_calendar(s, WM_COMMAND, static_cast<WPARAM>(command), 0, title);
}

bool calendar_round(Session& s) {
    s.program.tray_click(WM_LBUTTONDOWN);
    HWND calendar = appears(L"Vontara", s.program.process_id());
    return calendar && close_window(calendar, nullptr) && settled(s.program.resident());
}

bool help_round(Session& s) {
    return menu_command(s, CMD_HELP, L"説明");
}
bool about_round(Session& s) {
    return menu_command(s, CMD_ABOUT, L"情報");
}
bool settings_round(Session& s) {
    return menu_command(s, CMD_SETTINGS, L"設定");
}
bool import_round(Session& s) {
    return menu_command(s, CMD_IMPORT, L"スケジュールデータ（ＣＳＶ）のインポート");
}
bool export_round(Session& s) {
    return menu_command(s, CMD_EXPORT, L"スケジュールデータ（ＣＳＶ）のエクスポート");
}
bool entry_round(Session& s) {
    HWND button = ::GetDlgItem(s.calendar, IDC_NEW_TODO);
    return open_from_calendar(s, WM_COMMAND, MAKEWPARAM(IDC_NEW_TODO, BN_CLICKED),
                              reinterpret_cast<LPARAM>(button), L"ｽｹｼﾞｭｰﾙ・ＴｏＤｏ 登録");
}

// The 15th of the shown month, which holds several entries.
bool day_list_round(Session& s) {
    for (int id = IDC_FIRST_CELL; id <= IDC_LAST_CELL; ++id) {
        if (item_text(s.calendar, id) != L"15")
            continue;
        RECT area;
        ::GetWindowRect(::GetDlgItem(s.calendar, id), &area);
        POINT middle{(area.left + area.right) / 2, (area.top + area.bottom) / 2};
        ::ScreenToClient(s.calendar, &middle);
        return open_from_calendar(s, WM_LBUTTONUP, 0, MAKELPARAM(middle.x, middle.y),
                                  L"ｽｹｼﾞｭｰﾙ一覧");
    }
    return false;
}

// One page forward or back; a year forward, then a year back again.
bool paging_round(Session& s) {
    static int step = 0;
    int button = (step++ / 12) % 2 == 0 ? IDC_NEXT_MONTH : IDC_PREVIOUS_MONTH;
    click_and_wait(s.calendar, button);
    return settled(s.calendar);
}

struct SoakWindow {
    const char* name;
    bool (*round)(Session&);
    bool needs_calendar;
};

const SoakWindow WINDOWS[] = {
    {"calendar", calendar_round, false}, {"help", help_round, true},
    {"entry", entry_round, true},        {"daylist", day_list_round, true},
    {"settings", settings_round, true},  {"about", about_round, true},
    {"import", import_round, true},      {"export", export_round, true},
    {"paging", paging_round, true},
};

// ---- the program folder ------------------------------------------------------

// Entries of every kind over this month and the next, several on each day,
// and a few ToDo items: lists of a realistic length in every window.
std::vector<ScheduleRecord> soak_records() {
    Today now = today();
    std::vector<ScheduleRecord> records;
    for (int i = 0; i < ENTRY_COUNT - TODO_COUNT; ++i) {
        int month = now.month + i % 2;
        int year = now.year + (month > 12 ? 1 : 0);
        month = month > 12 ? 1 : month;
        int day = 1 + (i / 2) % 28;
        int32_t kind = KIND_TIME_RANGE + i % 5;
        int end_day = kind == KIND_DATE_SPAN ? (day + 2 > 28 ? 28 : day + 2) : day;
        ScheduleRecord record = dated_record(kind, year, month, day, year, month, end_day,
                                             "打ち合わせ " + std::to_string(i), "会議室");
        if (kind == KIND_TIME_RANGE) {
            record.start_hour = 9 + i % 8;
            record.end_hour = record.start_hour + 1;
        }
        records.push_back(record);
    }
    for (int i = 0; i < TODO_COUNT; ++i)
        records.push_back(todo_record("買い物 " + std::to_string(i)));
    return records;
}

std::filesystem::path prepare_folder() {
    std::filesystem::path folder = fresh_program_folder("soak");
    write_records(folder / "vntradata.fil", soak_records());
    SettingsRecord settings = mail_ready_settings(folder);
    settings.notify_today_at_startup = 0;
    write_settings(folder, settings);
    return folder;
}

// ---- the run -----------------------------------------------------------------

bool ensure_calendar(Session& s, bool wanted) {
    HWND open = find_window_now(L"Vontara", s.program.process_id());
    if (wanted && !open) {
        s.program.tray_click(WM_LBUTTONDOWN);
        open = appears(L"Vontara", s.program.process_id());
    } else if (!wanted && open) {
        close_window(open, nullptr);
        open = nullptr;
    }
    s.calendar = wanted ? open : nullptr;
    return !wanted || open;
}

// Opens and closes one window `openings` times after the warm-up; prints
// the growth of every chunk of 100 and the overall rate. False when a
// round failed.
bool soak(Session& s, const SoakWindow& window, int openings,
          const std::filesystem::path& status_file) {
    if (!ensure_calendar(s, window.needs_calendar)) {
        say(std::string(window.name) + ": the calendar window did not open");
        return false;
    }
    for (int i = 0; i < WARM_UP_OPENINGS; ++i)
        if (!window.round(s)) {
            say(std::string(window.name) + ": warm-up opening " + std::to_string(i + 1) +
                " failed");
            return false;
        }
    long first = rss_anon_kb(status_file);
    long before = first;
    std::string chunks;
    for (int done = 0; done < openings;) {
        if (!window.round(s)) {
            say(std::string(window.name) + ": opening " + std::to_string(done + 1) + " failed");
            return false;
        }
        if (++done % CHUNK == 0 || done == openings) {
            long now = rss_anon_kb(status_file);
            chunks += " " + std::to_string(now - before);
            before = now;
        }
    }
    double per_100 = 100.0 * static_cast<double>(before - first) / openings;
    char line[160];
    std::snprintf(line, sizeof line,
                  "%-9s %6.1f kB per 100 openings (%.2f kB each; %d openings;"
                  " kB per chunk of %d:%s)",
                  window.name, per_100, per_100 / 100, openings, CHUNK, chunks.c_str());
    say(line);
    return true;
}

int run(int openings, const std::vector<std::string>& wanted) {
    Session s;
    std::filesystem::path folder = prepare_folder();
    if (!s.program.start(folder)) {
        say("the program did not start");
        return 1;
    }
    std::filesystem::path status_file = status_file_of(folder);
    if (rss_anon_kb(status_file) < 0) {
        say("cannot read the program's /proc status");
        return 1;
    }
    say("RssAnon at start: " + std::to_string(rss_anon_kb(status_file)) + " kB");
    bool all_ran = true;
    for (const SoakWindow& window : WINDOWS) {
        bool chosen = wanted.empty();
        for (const std::string& name : wanted)
            chosen = chosen || name == window.name;
        if (chosen && !soak(s, window, openings, status_file))
            all_ran = false;
    }
    say("RssAnon at end: " + std::to_string(rss_anon_kb(status_file)) + " kB");
    ensure_calendar(s, false);
    if (!s.program.exit_from_tray())
        s.program.kill();
    return all_ran ? 0 : 1;
}

} // namespace
} // namespace vntra::gui

int wmain(int argc, wchar_t** argv) {
    using namespace vntra::gui;
    if (argc < 4)
        return 2;
    RunState& state = run_state();
    state.bin_folder = argv[1];
    state.work_folder = argv[2];
    std::filesystem::create_directories(state.work_folder);
    state.log_path = state.work_folder / "soak.log";
    std::ofstream(state.log_path, std::ios::trunc).close();
    int openings = std::atoi(utf8(argv[3]).c_str());
    std::vector<std::string> wanted;
    for (int i = 4; i < argc; ++i)
        wanted.push_back(utf8(argv[i]));
    return run(openings > 0 ? openings : 300, wanted);
}
