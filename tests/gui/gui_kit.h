// A small kit for driving the real program from outside: start it from a
// fresh program folder, find its windows, click, read what they show, wait
// with a time-out, take screenshots and check the files it writes.
#ifndef VNTRA_TESTS_GUI_KIT_H
#define VNTRA_TESTS_GUI_KIT_H

#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "store/schedule_record.h"
#include "store/settings_record.h"

namespace vntra::gui {

// ---- checks ---------------------------------------------------------------

void record_check(bool passed, const char* expression, const char* file, int line,
                  const std::string& detail);
std::string utf8(const std::wstring& text);
std::wstring wide(const std::string& utf8_text);
// A text as the program stores it (code page 932).
std::string shift_jis(const std::wstring& text);

#define GUI_CHECK(condition)                                                                       \
    ::vntra::gui::record_check(static_cast<bool>(condition), #condition, __FILE__, __LINE__, {})
#define GUI_CHECK_MSG(condition, detail)                                                           \
    ::vntra::gui::record_check(static_cast<bool>(condition), #condition, __FILE__, __LINE__, detail)
// Wide texts compared; failures show both as UTF-8.
#define GUI_CHECK_TEXT(expected, actual)                                                           \
    ::vntra::gui::record_check((expected) == (actual), #actual, __FILE__, __LINE__,                \
                               "expected \"" + ::vntra::gui::utf8(expected) + "\", got \"" +       \
                                   ::vntra::gui::utf8(actual) + "\"")

// A test is a function registered under a name; tests run in file order.
struct GuiTest {
    const char* name;
    void (*run)();
};
std::vector<GuiTest>& registered_tests();
struct TestRegistration {
    TestRegistration(const char* name, void (*run)()) { registered_tests().push_back({name, run}); }
};
#define GUI_TEST(name)                                                                             \
    static void name();                                                                            \
    static ::vntra::gui::TestRegistration name##_registration(#name, name);                        \
    static void name()

void log_line(const std::string& text);

// ---- waiting ----------------------------------------------------------------

const int DEFAULT_TIMEOUT_MS = 8000;

template <typename Condition>
bool wait_until(Condition condition, int timeout_ms = DEFAULT_TIMEOUT_MS) {
    DWORD start = ::GetTickCount();
    for (;;) {
        if (condition())
            return true;
        if (::GetTickCount() - start > static_cast<DWORD>(timeout_ms))
            return false;
        ::Sleep(50);
    }
}

// ---- the program ------------------------------------------------------------

struct ShiftedClock;

// A fresh program folder holding vntra.exe and tabrix.dll (and nothing else).
std::filesystem::path fresh_program_folder(const std::string& name);

class Program {
  public:
    Program() = default;
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Starts vntra.exe in the folder and waits for its hidden window.
    bool start(const std::filesystem::path& folder);
    // Starts it without waiting for a window (the second instance).
    bool launch(const std::filesystem::path& folder);
    // Starts it in the clock's zone (clock_at); the driver's clock stays.
    bool start_with_clock(const std::filesystem::path& folder, const ShiftedClock& clock);
    HWND resident() const { return resident_; }
    DWORD process_id() const { return process_id_; }
    bool running() const;
    // Waits for the process to end; its exit code, or -1 on a time-out.
    long wait_for_exit(int timeout_ms = DEFAULT_TIMEOUT_MS);
    // The tray menu's "終了"; returns whether the program ended in time.
    bool exit_from_tray();
    // Ends it the hard way (at the end of a failed test).
    void kill();

    void tray_click(UINT button_down_message) const;
    // Opens the calendar window with a left click and returns it.
    HWND open_calendar();
    // The minute scan now, as the timer would run it at its next tick.
    void scan_now() const;

  private:
    bool wait_until_started(); // the hidden window, and start-up over
    HANDLE process_ = nullptr;
    DWORD process_id_ = 0;
    HWND resident_ = nullptr;
};

// ---- windows ----------------------------------------------------------------

// A visible top-level window of the process with this title (any process
// when pid is 0), waited for; null on time-out.
HWND find_window(const std::wstring& title, DWORD pid = 0, int timeout_ms = DEFAULT_TIMEOUT_MS);
HWND find_window_now(const std::wstring& title, DWORD pid = 0);
int count_windows(const std::wstring& title, DWORD pid = 0);
// Visible top-level windows of the process, whatever their title.
std::vector<HWND> visible_windows(DWORD pid);
bool wait_gone(HWND window, int timeout_ms = DEFAULT_TIMEOUT_MS);

std::wstring window_text(HWND window);
std::wstring item_text(HWND dialog, int id);
// The texts of every static child (a message box's message).
std::wstring static_texts(HWND window);
std::vector<std::wstring> list_rows(HWND dialog, int list_id);
bool is_enabled(HWND dialog, int id);
bool is_checked(HWND dialog, int id);
bool has_border(HWND dialog, int id);

// The rows of a drop-down list and the index of its selection (-1: none).
std::vector<std::wstring> combo_rows(HWND dialog, int id);
int combo_selection(HWND dialog, int id);
// The control id that has the keyboard focus in the window's thread (0: none).
int focused_control_id(HWND window);
// Waits for the focus to reach control `id` of the window's thread, and logs
// where it is instead when it does not. A window moves the focus to the
// field to fill in only after its error box has gone, so a check right after
// the box would read the focus too early.
bool focus_reaches(HWND window, int id, int timeout_ms = DEFAULT_TIMEOUT_MS);

// A property sheet: the page it shows, and showing the page at an index.
HWND current_sheet_page(HWND sheet);
HWND show_sheet_page(HWND sheet, int index);
// Presses OK on a sheet and answers the "エラー" box that follows; returns its
// message, or "(no error box)".
std::wstring ok_expecting_error(HWND sheet, DWORD pid);

// Posts BM_CLICK, for buttons whose handler opens a modal box.
void click(HWND dialog, int id);
// Sends BM_CLICK and returns once the handler has run.
void click_and_wait(HWND dialog, int id);
void select_row(HWND dialog, int list_id, int row);
// Selects a drop-down item (-1: none) and tells the dialog, as a user's
// choice would.
void choose_item(HWND dialog, int combo_id, int index);
// A left click on the dialog itself at the middle of a control's area (for
// controls that leave clicks to their dialog, like static day cells).
void click_on_area(HWND dialog, int id);
// True when some pixel of the control is clearly red (red text).
bool shows_red(HWND dialog, int id);

// Types a text into an edit field.
void set_item_text(HWND dialog, int id, const std::wstring& text);
// Selects a row of a drop-down list.
void select_combo_row(HWND dialog, int id, int row);
// Waits for a message box of the process, returns its message and closes it
// with its first button; an empty text when no box came.
std::wstring answer_message_box(const std::wstring& title, DWORD pid);
// Picks a file in the file chooser ("ファイルを選択する") the process has
// open, by typing its path; false when the chooser did not come, or did not
// go when `wait_gone_after` (a chooser that asks a question stays).
bool choose_in_file_chooser(DWORD pid, const std::filesystem::path& path,
                            bool wait_gone_after = true);

// The colour on screen at a point of a control, in its client coordinates.
COLORREF pixel_at(HWND dialog, int id, int x, int y);

// Saves the whole screen as <shots>/<name>.png (taken by the stage script).
bool screenshot(const std::string& name);

// Waits until the window's mail command has ended, that is, until its send
// button takes clicks again. The result box goes a moment before that, and
// until then the window refuses its other commands and its closing with a
// beep.
bool wait_send_ended(HWND window, int timeout_ms = DEFAULT_TIMEOUT_MS);

// ---- files ------------------------------------------------------------------

std::string read_bytes(const std::filesystem::path& path);
void write_bytes(const std::filesystem::path& path, const std::string& bytes);
// The UTF-8 text in Shift-JIS, as the program writes its files.
std::string shift_jis(const std::string& utf8_text);
intmax_t size_of_file(const std::filesystem::path& path);
int32_t record_count_of(const std::filesystem::path& data_file);
std::vector<ScheduleRecord> records_of(const std::filesystem::path& data_file);
// The int32 at `offset` of slot `id` (1-based) in a data file's bytes.
int32_t slot_int(const std::string& data_file_bytes, int id, size_t offset);
// A `header_count` of 0 or more is written instead of the records' number.
void write_records(const std::filesystem::path& data_file,
                   const std::vector<ScheduleRecord>& records, int32_t header_count = -1);
void write_settings(const std::filesystem::path& folder, const SettingsRecord& settings);
// The settings file of the folder as a record (zeros past its end).
SettingsRecord settings_in(const std::filesystem::path& folder);
// Defaults with the SMTP server, sender and recipient set, so that saving an
// entry needs no settings sheet.
SettingsRecord mail_ready_settings(const std::filesystem::path& folder);

// A dated record of one kind; texts are given as UTF-8 and stored as Shift-JIS.
ScheduleRecord dated_record(int32_t kind, int year, int month, int day, int end_year, int end_month,
                            int end_day, const std::string& content, const std::string& place);
ScheduleRecord todo_record(const std::string& content);

// ---- mail -------------------------------------------------------------------

// The port of a mail peer the stage started (VNTRA_SMTP_PORT, …), or 0.
int peer_port(const char* variable);
// An address no earlier run has used, so a test finds only its own mail.
std::string fresh_address(const std::string& local);
// Settings that send to 127.0.0.1 at the port, to the recipient, without
// today's notice.
SettingsRecord mail_settings(int port, const std::string& recipient);
// What the SMTP peer received for a recipient, oldest first: subject, sender
// name and body decoded to UTF-8, line ends as LF.
std::vector<std::string> received_mails(const std::string& recipient);

struct Today {
    int year;
    int month;
    int day;
    int weekday; // 0 = Sunday
};
Today today();
// The date `days` after the given one (negative goes back).
Today add_days(const Today& date, int days);

// A zone where it is hour:minute now, and its date: a morning without waiting
// for one. Wine takes each process's zone from its own TZ.
struct ShiftedClock {
    int offset_minutes; // local time = UTC + this
    Today date;
};
ShiftedClock clock_at(int hour, int minute);
// Waits until the clock's second is below `second`.
void wait_for_second_below(int second);

// Holds a file open without sharing, as another program might: the program
// can neither read nor replace it meanwhile.
struct HeldFile {
    explicit HeldFile(const std::filesystem::path& path)
        : handle(::CreateFileW(path.wstring().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                               nullptr)) {
        GUI_CHECK(handle != INVALID_HANDLE_VALUE);
    }
    ~HeldFile() { release(); }
    void release() {
        if (handle != INVALID_HANDLE_VALUE)
            ::CloseHandle(handle);
        handle = INVALID_HANDLE_VALUE;
    }
    HANDLE handle;
};

} // namespace vntra::gui

#endif
