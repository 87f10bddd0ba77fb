#include "gui_kit.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "gui_run.h"
#include "resource_ids.h"
#include "store/schedule_keys.h"

namespace vntra::gui {
namespace {

const UINT TRAY_CALLBACK_MESSAGE = WM_APP + 100;
const UINT COMMAND_EXIT = 40006;
const UINT SCAN_TIMER_ID = 100;
const UINT MESSAGE_TIMEOUT_MS = 5000;

std::string to_code_page(UINT code_page, const std::wstring& text) {
    if (text.empty())
        return {};
    int length = ::WideCharToMultiByte(code_page, 0, text.data(), static_cast<int>(text.size()),
                                       nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(length), '\0');
    ::WideCharToMultiByte(code_page, 0, text.data(), static_cast<int>(text.size()), out.data(),
                          length, nullptr, nullptr);
    return out;
}

std::wstring from_code_page(UINT code_page, const std::string& text) {
    if (text.empty())
        return {};
    int length =
        ::MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(length), L'\0');
    ::MultiByteToWideChar(code_page, 0, text.data(), static_cast<int>(text.size()), out.data(),
                          length);
    return out;
}

std::string class_name(HWND window) {
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    return utf8(name);
}

struct WindowSearch {
    std::wstring title;
    DWORD pid;
    bool visible_only;
    bool any_title;
    std::vector<HWND> found;
};

BOOL CALLBACK collect_window(HWND window, LPARAM search_pointer) {
    WindowSearch& search = *reinterpret_cast<WindowSearch*>(search_pointer);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(window, &pid);
    if (search.pid && pid != search.pid)
        return TRUE;
    if (search.visible_only && !::IsWindowVisible(window))
        return TRUE;
    if (search.any_title || window_text(window) == search.title)
        search.found.push_back(window);
    return TRUE;
}

std::vector<HWND> top_level_windows(const std::wstring& title, DWORD pid, bool visible_only,
                                    bool any_title) {
    WindowSearch search{title, pid, visible_only, any_title, {}};
    ::EnumWindows(collect_window, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

BOOL CALLBACK collect_static_text(HWND child, LPARAM text_pointer) {
    std::wstring& text = *reinterpret_cast<std::wstring*>(text_pointer);
    if (class_name(child) == "Static") {
        std::wstring part = window_text(child);
        if (!part.empty())
            text += (text.empty() ? L"" : L"|") + part;
    }
    return TRUE;
}

LRESULT send(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    DWORD_PTR result = 0;
    ::SendMessageTimeoutW(window, message, wparam, lparam, SMTO_NORMAL, MESSAGE_TIMEOUT_MS,
                          &result);
    return static_cast<LRESULT>(result);
}

} // namespace

// ---- checks -----------------------------------------------------------------

std::string utf8(const std::wstring& text) {
    return to_code_page(CP_UTF8, text);
}
std::wstring wide(const std::string& utf8_text) {
    return from_code_page(CP_UTF8, utf8_text);
}

std::string shift_jis(const std::wstring& text) {
    return to_code_page(932, text);
}

std::vector<GuiTest>& registered_tests() {
    static std::vector<GuiTest> tests;
    return tests;
}

void record_check(bool passed, const char* expression, const char* file, int line,
                  const std::string& detail) {
    if (passed)
        return;
    run_state().current_failures += 1;
    std::ostringstream message;
    message << "  FAILED " << std::filesystem::path(file).filename().string() << ":" << line << ": "
            << expression;
    if (!detail.empty())
        message << " (" << detail << ")";
    log_line(message.str());
}

void log_line(const std::string& text) {
    std::ofstream log(run_state().log_path, std::ios::app | std::ios::binary);
    log << text << "\n";
}

// ---- the program --------------------------------------------------------------

std::filesystem::path fresh_program_folder(const std::string& name) {
    std::filesystem::path folder = run_state().work_folder / name;
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    std::filesystem::create_directories(folder);
    for (const char* file : {"vntra.exe", "tabrix.dll"})
        std::filesystem::copy_file(run_state().bin_folder / file, folder / file,
                                   std::filesystem::copy_options::overwrite_existing, ignored);
    return folder;
}

Program::~Program() {
    if (running())
        kill();
    if (process_)
        ::CloseHandle(process_);
}

bool Program::launch(const std::filesystem::path& folder) {
    std::wstring executable = (folder / "vntra.exe").wstring();
    std::wstring command_line = L"\"" + executable + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(executable.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0,
                          nullptr, folder.wstring().c_str(), &startup, &info))
        return false;
    ::CloseHandle(info.hThread);
    process_ = info.hProcess;
    process_id_ = info.dwProcessId;
    return true;
}

bool Program::start(const std::filesystem::path& folder) {
    return launch(folder) && wait_until_started();
}

bool Program::wait_until_started() {
    wait_until([&] {
        for (HWND window : top_level_windows(L"vntra", process_id_, false, false))
            if (class_name(window) == "vntra")
                resident_ = window;
        return resident_ != nullptr;
    });
    if (!resident_)
        return false;
    // The window is there while start-up still runs inside its creation, and
    // start-up answers sent messages while it waits for the tray. Only an
    // idle message loop means start-up is over.
    ::WaitForInputIdle(process_, MESSAGE_TIMEOUT_MS);
    DWORD_PTR ignored = 0;
    return ::SendMessageTimeoutW(resident_, WM_NULL, 0, 0, SMTO_NORMAL, MESSAGE_TIMEOUT_MS,
                                 &ignored) != 0;
}

bool Program::running() const {
    return process_ && ::WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

long Program::wait_for_exit(int timeout_ms) {
    if (!process_ ||
        ::WaitForSingleObject(process_, static_cast<DWORD>(timeout_ms)) != WAIT_OBJECT_0)
        return -1;
    DWORD code = 0;
    ::GetExitCodeProcess(process_, &code);
    return static_cast<long>(code);
}

bool Program::exit_from_tray() {
    ::PostMessageW(resident_, WM_COMMAND, COMMAND_EXIT, 0);
    return wait_for_exit() == 0;
}

void Program::kill() {
    if (process_) {
        ::TerminateProcess(process_, 1);
        ::WaitForSingleObject(process_, 5000);
    }
}

void Program::tray_click(UINT button_down_message) const {
    ::PostMessageW(resident_, TRAY_CALLBACK_MESSAGE, 1, button_down_message);
}

HWND Program::open_calendar() {
    tray_click(WM_LBUTTONDOWN);
    return find_window(L"Vontara", process_id_);
}

void Program::scan_now() const {
    ::PostMessageW(resident_, WM_TIMER, SCAN_TIMER_ID, 0);
}

// ---- windows ------------------------------------------------------------------

HWND find_window_now(const std::wstring& title, DWORD pid) {
    std::vector<HWND> found = top_level_windows(title, pid, true, false);
    return found.empty() ? nullptr : found.front();
}

HWND find_window(const std::wstring& title, DWORD pid, int timeout_ms) {
    HWND window = nullptr;
    wait_until([&] { return (window = find_window_now(title, pid)) != nullptr; }, timeout_ms);
    return window;
}

int count_windows(const std::wstring& title, DWORD pid) {
    return static_cast<int>(top_level_windows(title, pid, true, false).size());
}

std::vector<HWND> visible_windows(DWORD pid) {
    return top_level_windows(L"", pid, true, true);
}

bool wait_gone(HWND window, int timeout_ms) {
    return wait_until([&] { return !::IsWindow(window) || !::IsWindowVisible(window); },
                      timeout_ms);
}

std::wstring window_text(HWND window) {
    wchar_t text[2048] = {};
    ::InternalGetWindowText(window, text, 2048);
    return text;
}

std::wstring item_text(HWND dialog, int id) {
    HWND item = ::GetDlgItem(dialog, id);
    int length = static_cast<int>(send(item, WM_GETTEXTLENGTH, 0, 0));
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    send(item, WM_GETTEXT, static_cast<WPARAM>(length + 1), reinterpret_cast<LPARAM>(text.data()));
    text.resize(wcslen(text.c_str()));
    return text;
}

std::wstring static_texts(HWND window) {
    std::wstring text;
    ::EnumChildWindows(window, collect_static_text, reinterpret_cast<LPARAM>(&text));
    return text;
}

std::vector<std::wstring> list_rows(HWND dialog, int list_id) {
    HWND list = ::GetDlgItem(dialog, list_id);
    std::vector<std::wstring> rows;
    LRESULT count = send(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        LRESULT length = send(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
        std::wstring row(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
        send(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(row.data()));
        row.resize(wcslen(row.c_str()));
        rows.push_back(row);
    }
    return rows;
}

bool is_enabled(HWND dialog, int id) {
    return ::IsWindowEnabled(::GetDlgItem(dialog, id));
}

bool is_checked(HWND dialog, int id) {
    return send(::GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool has_border(HWND dialog, int id) {
    return (::GetWindowLongW(::GetDlgItem(dialog, id), GWL_STYLE) & WS_BORDER) != 0;
}

std::vector<std::wstring> combo_rows(HWND dialog, int id) {
    HWND combo = ::GetDlgItem(dialog, id);
    std::vector<std::wstring> rows;
    LRESULT count = send(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        LRESULT length = send(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
        std::wstring row(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
        send(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(row.data()));
        row.resize(wcslen(row.c_str()));
        rows.push_back(row);
    }
    return rows;
}

int combo_selection(HWND dialog, int id) {
    return static_cast<int>(send(::GetDlgItem(dialog, id), CB_GETCURSEL, 0, 0));
}

int focused_control_id(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info) || !info.hwndFocus)
        return 0;
    return ::GetDlgCtrlID(info.hwndFocus);
}

bool focus_reaches(HWND window, int id, int timeout_ms) {
    if (wait_until([&] { return focused_control_id(window) == id; }, timeout_ms))
        return true;
    log_line("  the focus is on control " + std::to_string(focused_control_id(window)) +
             ", not on " + std::to_string(id));
    return false;
}

HWND current_sheet_page(HWND sheet) {
    return reinterpret_cast<HWND>(send(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}

HWND show_sheet_page(HWND sheet, int index) {
    send(sheet, PSM_SETCURSEL, static_cast<WPARAM>(index), 0);
    return current_sheet_page(sheet);
}

std::wstring ok_expecting_error(HWND sheet, DWORD pid) {
    click(sheet, IDOK);
    HWND box = find_window(L"エラー", pid);
    if (!box)
        return L"(no error box)";
    std::wstring text = static_texts(box);
    click(box, IDOK);
    wait_gone(box);
    return text;
}

void click(HWND dialog, int id) {
    ::PostMessageW(::GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

void click_and_wait(HWND dialog, int id) {
    send(::GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

void select_row(HWND dialog, int list_id, int row) {
    send(::GetDlgItem(dialog, list_id), LB_SETCURSEL, static_cast<WPARAM>(row), 0);
}

void choose_item(HWND dialog, int combo_id, int index) {
    select_combo_row(dialog, combo_id, index);
    HWND combo = ::GetDlgItem(dialog, combo_id);
    send(dialog, WM_COMMAND, MAKEWPARAM(combo_id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

void click_on_area(HWND dialog, int id) {
    RECT area;
    ::GetWindowRect(::GetDlgItem(dialog, id), &area);
    POINT middle{(area.left + area.right) / 2, (area.top + area.bottom) / 2};
    ::ScreenToClient(dialog, &middle);
    LPARAM where = MAKELPARAM(middle.x, middle.y);
    ::PostMessageW(dialog, WM_LBUTTONDOWN, MK_LBUTTON, where);
    ::PostMessageW(dialog, WM_LBUTTONUP, 0, where);
}

bool shows_red(HWND dialog, int id) {
    HWND control = ::GetDlgItem(dialog, id);
    RECT client;
    ::GetClientRect(control, &client);
    POINT origin{0, 0};
    ::ClientToScreen(control, &origin);
    HDC screen = ::GetDC(nullptr);
    bool red = false;
    for (int y = 0; y < client.bottom && !red; ++y)
        for (int x = 0; x < client.right && !red; ++x) {
            COLORREF c = ::GetPixel(screen, origin.x + x, origin.y + y);
            red = GetRValue(c) > 180 && GetGValue(c) < 90 && GetBValue(c) < 90;
        }
    ::ReleaseDC(nullptr, screen);
    return red;
}

void set_item_text(HWND dialog, int id, const std::wstring& text) {
    send(::GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void select_combo_row(HWND dialog, int id, int row) {
    send(::GetDlgItem(dialog, id), CB_SETCURSEL, static_cast<WPARAM>(row), 0);
}

std::wstring answer_message_box(const std::wstring& title, DWORD pid) {
    HWND box = find_window(title, pid);
    if (!box)
        return L"";
    std::wstring text = static_texts(box);
    HWND button = ::FindWindowExW(box, nullptr, L"Button", nullptr);
    ::PostMessageW(button, BM_CLICK, 0, 0);
    wait_gone(box);
    return text;
}

bool choose_in_file_chooser(DWORD pid, const std::filesystem::path& path, bool wait_gone_after) {
    HWND chooser = find_window(L"ファイルを選択する", pid);
    if (!chooser)
        return false;
    // The file name box: a combo box in the explorer-style chooser, an edit
    // field in the older one.
    const int FILE_NAME_COMBO = 0x47c;
    const int FILE_NAME_EDIT = 0x480;
    HWND name = ::GetDlgItem(chooser, FILE_NAME_COMBO);
    if (!name)
        name = ::GetDlgItem(chooser, FILE_NAME_EDIT);
    send(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.wstring().c_str()));
    ::PostMessageW(chooser, WM_COMMAND, IDOK, 0);
    return !wait_gone_after || wait_gone(chooser);
}

bool wait_send_ended(HWND window, int timeout_ms) {
    return wait_until([&] { return is_enabled(window, IDC_SEND_MAIL); }, timeout_ms);
}

COLORREF pixel_at(HWND dialog, int id, int x, int y) {
    POINT point{x, y};
    ::ClientToScreen(::GetDlgItem(dialog, id), &point);
    HDC screen = ::GetDC(nullptr);
    COLORREF colour = ::GetPixel(screen, point.x, point.y);
    ::ReleaseDC(nullptr, screen);
    return colour;
}

bool screenshot(const std::string& name) {
    const std::filesystem::path& shots = run_state().shot_folder;
    std::filesystem::path png = shots / (name + ".png");
    std::error_code ignored;
    std::filesystem::remove(png, ignored);
    ::Sleep(300); // let the windows finish painting
    std::ofstream(shots / (name + ".req")) << name << "\n";
    bool taken = wait_until([&] { return std::filesystem::exists(png); }, 15000);
    if (!taken)
        log_line("  (no screenshot " + name + ": is the stage script watching?)");
    return taken;
}

} // namespace vntra::gui
