// The help window and the about box, from the tray and from the calendar
// window.
#include <algorithm>
#include <cstring>

#include "gui_kit.h"
#include "help/help_text.h"
#include "resource_ids.h"

namespace vntra::gui {
namespace {

LRESULT send_now(HWND window, UINT message, WPARAM wparam = 0, LPARAM lparam = 0) {
    DWORD_PTR result = 0;
    ::SendMessageTimeoutW(window, message, wparam, lparam, SMTO_NORMAL, 5000, &result);
    return static_cast<LRESULT>(result);
}

// A machine without a mail program: Wine's own handler of "mailto:" is taken
// away for the test and put back afterwards.
class NoMailProgram {
  public:
    NoMailProgram() {
        HKEY command = nullptr;
        if (::RegOpenKeyExW(HKEY_CLASSES_ROOT, COMMAND_KEY, 0, KEY_READ, &command) ==
            ERROR_SUCCESS) {
            wchar_t value[512] = {};
            DWORD size = sizeof value - sizeof(wchar_t);
            if (::RegQueryValueExW(command, nullptr, nullptr, nullptr,
                                   reinterpret_cast<BYTE*>(value), &size) == ERROR_SUCCESS)
                saved_command_ = value;
            ::RegCloseKey(command);
        }
        ::RegDeleteTreeW(HKEY_CLASSES_ROOT, L"mailto");
    }
    ~NoMailProgram() {
        if (saved_command_.empty())
            return;
        HKEY key = nullptr;
        if (::RegCreateKeyExW(HKEY_CLASSES_ROOT, L"mailto", 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                              nullptr) == ERROR_SUCCESS) {
            ::RegSetValueExW(key, L"URL Protocol", 0, REG_SZ, reinterpret_cast<const BYTE*>(L""),
                             sizeof(wchar_t));
            ::RegCloseKey(key);
        }
        if (::RegCreateKeyExW(HKEY_CLASSES_ROOT, COMMAND_KEY, 0, nullptr, 0, KEY_WRITE, nullptr,
                              &key, nullptr) == ERROR_SUCCESS) {
            ::RegSetValueExW(key, nullptr, 0, REG_SZ,
                             reinterpret_cast<const BYTE*>(saved_command_.c_str()),
                             static_cast<DWORD>((saved_command_.size() + 1) * sizeof(wchar_t)));
            ::RegCloseKey(key);
        }
    }

  private:
    static constexpr const wchar_t* COMMAND_KEY = L"mailto\\shell\\open\\command";
    std::wstring saved_command_;
};

GUI_TEST(help_shows_its_text_unclipped_and_leaves_the_calendar_busy) {
    std::filesystem::path folder = fresh_program_folder("help_window");
    Program program;
    GUI_CHECK(program.start(folder));
    HWND calendar = program.open_calendar();
    GUI_CHECK(calendar != nullptr);
    if (!calendar)
        return;
    ::PostMessageW(calendar, WM_COMMAND, CMD_HELP, 0);
    HWND help = find_window(L"説明", program.process_id());
    GUI_CHECK(help != nullptr);
    if (!help)
        return;
    GUI_CHECK(!::IsWindowVisible(calendar));
    GUI_CHECK((::GetWindowLongW(help, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0);
    HWND text = ::GetDlgItem(help, IDC_HELP_TEXT);
    // The whole guide, and no line wrapped by the field: every hand-made
    // line fits its width in the fixed-pitch face.
    std::wstring shown = item_text(help, IDC_HELP_TEXT);
    GUI_CHECK(shown.size() > 2000);
    GUI_CHECK(shown.find(L"・スケジューラーの使い方") != std::wstring::npos);
    GUI_CHECK(send_now(text, EM_GETLINECOUNT) ==
              1 + std::count(HELP_TEXT, HELP_TEXT + std::strlen(HELP_TEXT), '\n'));
    GUI_CHECK((::GetWindowLongW(text, GWL_STYLE) & ES_READONLY) != 0);
    GUI_CHECK(pixel_at(help, IDC_HELP_TEXT, 4, 4) == RGB(255, 255, 200));
    screenshot("help_window");
    // It scrolls to its last line.
    send_now(text, WM_VSCROLL, SB_BOTTOM);
    GUI_CHECK(send_now(text, EM_GETFIRSTVISIBLELINE) > 0);
    screenshot("help_window_end");

    click(help, IDC_HELP_OK);
    GUI_CHECK(wait_gone(help));
    GUI_CHECK(wait_until([&] { return ::IsWindowVisible(calendar) != FALSE; }));
    // The calendar window still holds the tray.
    size_t windows_before = visible_windows(program.process_id()).size();
    program.tray_click(WM_RBUTTONDOWN);
    ::Sleep(800);
    GUI_CHECK(visible_windows(program.process_id()).size() == windows_before);
    ::PostMessageW(calendar, WM_COMMAND, CMD_TO_TRAY, 0);
    GUI_CHECK(wait_gone(calendar));
    GUI_CHECK(program.exit_from_tray());
}

GUI_TEST(about_box_mail_button_reports_a_missing_mailer) {
    std::filesystem::path folder = fresh_program_folder("about_box");
    Program program;
    GUI_CHECK(program.start(folder));
    ::PostMessageW(program.resident(), WM_COMMAND, CMD_TRAY_ABOUT, 0);
    HWND about = find_window(L"情報", program.process_id());
    GUI_CHECK(about != nullptr);
    if (!about)
        return;
    GUI_CHECK_TEXT(std::wstring(L"Vontara ver 2.3"), item_text(about, IDC_ABOUT_PRODUCT));
    std::wstring button = item_text(about, IDC_ABOUT_MAIL);
    GUI_CHECK(button.rfind(L"ご意見・ご要望はこのメールアドレスへ\r\n", 0) == 0);
    GUI_CHECK(button.find(L'@') != std::wstring::npos);
    screenshot("about_box");
    // Busy while it is up: the tray opens nothing.
    program.tray_click(WM_LBUTTONDOWN);
    ::Sleep(800);
    GUI_CHECK(count_windows(L"Vontara", program.process_id()) == 0);

    NoMailProgram no_mail_program;
    click(about, IDC_ABOUT_MAIL);
    HWND error = find_window(L"エラー", program.process_id());
    GUI_CHECK(error != nullptr);
    if (error) {
        GUI_CHECK_TEXT(std::wstring(L"メーラーを起動できませんでした"), static_texts(error));
        screenshot("about_mailer_failed");
        click(error, IDOK);
        GUI_CHECK(wait_gone(error));
    }
    // The box closes either way, and the tray answers again.
    GUI_CHECK(wait_gone(about));
    HWND calendar = program.open_calendar();
    GUI_CHECK(calendar != nullptr);
    if (calendar) {
        ::PostMessageW(calendar, WM_COMMAND, CMD_TO_TRAY, 0);
        GUI_CHECK(wait_gone(calendar));
    }
    GUI_CHECK(program.exit_from_tray());
}

} // namespace
} // namespace vntra::gui
