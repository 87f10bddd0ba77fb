// The settings sheet: its openers, what OK stores and saves, failing pages,
// the font list, the shortcuts and the calendar window's fonts.
#include <cstring>

#include "gui_kit.h"
#include "resource_ids.h"

namespace vntra::gui {
namespace {

const int MAIL_TAB = 0;
const int FONT_TAB = 1;
const int STARTUP_TAB = 2;
const int DATA_TAB = 4;
const int POP_TAB = 5;

// Settings whose every field differs from the defaults, so that a field a
// page must not touch shows up when it changes.
SettingsRecord unusual_settings() {
    SettingsRecord s{};
    std::strcpy(s.smtp_server, "old.smtp.example");
    std::strcpy(s.sender_address, "old@example.jp");
    std::strcpy(s.recipient_address, "old@phone.example");
    std::strcpy(s.recipient_address2, "old2@phone.example");
    s.mail_size_choice = 3;
    s.smtp_port = 2525;
    std::strcpy(s.font_face, sjis("IPAゴシック").c_str());
    s.font_size = 12;
    std::strcpy(s.alarm_wav_file, "C:\\alarm.wav");
    s.alarm_minutes = 7;
    s.expiry_days = 45;
    std::strcpy(s.backup_folder, "C:\\backup\\");
    s.send_todo = 1;
    s.pop_before_smtp = 0;
    std::strcpy(s.pop_server, "pop.example");
    s.pop_port = 0; // shown as 110 by the POP page
    std::strcpy(s.pop_account, "acct");
    std::strcpy(s.pop_password, " pw ");
    s.format_enabled = 1;
    s.format_start_date = 1;
    std::strcpy(s.start_date_format, "DATE:yyyy/mm/dd");
    s.notify_today_at_startup = 0;
    s.mark_range = MARK_TODAY;
    return s;
}

bool same_record(const SettingsRecord& a, const SettingsRecord& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

HWND open_sheet_from_tray(Program& program) {
    ::PostMessageW(program.resident(), WM_COMMAND, CMD_TRAY_SETTINGS, 0);
    return find_window(L"設定", program.process_id());
}

// Presses OK and answers the "エラー" box that follows; returns its message.
[[maybe_unused]] std::wstring ok_expecting_error(HWND sheet, DWORD pid) {
    click(sheet, IDOK);
    HWND box = find_window(L"エラー", pid);
    if (!box)
        return L"(no error box)";
    std::wstring text = static_texts(box);
    click(box, IDOK);
    wait_gone(box);
    return text;
}

} // namespace

GUI_TEST(settings_mail_page_alone_saves_only_its_fields) {
    std::filesystem::path folder = fresh_program_folder("settings_mail");
    SettingsRecord before = unusual_settings();
    write_settings(folder, before);
    Program program;
    GUI_CHECK(program.start(folder));
    HWND sheet = open_sheet_from_tray(program);
    GUI_CHECK(sheet != nullptr);
    if (!sheet)
        return;
    HWND page = current_sheet_page(sheet);
    GUI_CHECK_TEXT(std::wstring(L"old.smtp.example"), item_text(page, IDC_SMTP_SERVER));
    GUI_CHECK(is_checked(page, 1078) && is_checked(page, IDC_SEND_TODO));
    set_item_text(page, IDC_SMTP_SERVER, L" smtp.example.jp ");
    set_item_text(page, IDC_SMTP_PORT, L"587");
    set_item_text(page, IDC_SENDER, L"me@example.jp");
    set_item_text(page, IDC_RECIPIENT, L"予定@phone.example");
    set_item_text(page, IDC_RECIPIENT2, L"");
    click_and_wait(page, IDC_SIZE_1600);
    click_and_wait(page, IDC_SEND_TODO);
    screenshot("settings_page_mail");
    click(sheet, IDOK);
    GUI_CHECK(wait_gone(sheet));

    SettingsRecord expected = before;
    std::memset(expected.smtp_server, 0, sizeof expected.smtp_server);
    std::strcpy(expected.smtp_server, "smtp.example.jp");
    std::memset(expected.sender_address, 0, sizeof expected.sender_address);
    std::strcpy(expected.sender_address, "me@example.jp");
    std::memset(expected.recipient_address, 0, sizeof expected.recipient_address);
    std::strcpy(expected.recipient_address, sjis("予定@phone.example").c_str());
    std::memset(expected.recipient_address2, 0, sizeof expected.recipient_address2);
    expected.mail_size_choice = 4;
    expected.smtp_port = 587;
    expected.send_todo = 0;
    GUI_CHECK(wait_until([&] { return same_record(expected, settings_in(folder)); }));
    GUI_CHECK(size_of_file(folder / "vntraini.fil") == 2396);
    GUI_CHECK(program.exit_from_tray());
}

} // namespace vntra::gui
