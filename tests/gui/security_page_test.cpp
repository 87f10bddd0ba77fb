// The settings page "送信の認証・暗号化": AUTH only with encryption, the
// port each mode offers, its checks, and the password stored encrypted.
#include "gui_kit.h"

#include <commctrl.h>

#include <cstring>

#include "mail/smtp_security.h"
#include "resource_ids.h"

namespace vntra::gui {
namespace {

const int MAIL_TAB = 0;
const int SECURITY_TAB = 7;

HWND open_security_page(Program& program, HWND& sheet) {
    ::PostMessageW(program.resident(), WM_COMMAND, CMD_TRAY_SETTINGS, 0);
    sheet = find_window(L"設定", program.process_id());
    return sheet ? show_sheet_page(sheet, SECURITY_TAB) : nullptr;
}

} // namespace

GUI_TEST(security_page_offers_ports_and_stores_the_login) {
    std::filesystem::path folder = fresh_program_folder("settings_security");
    SettingsRecord before = mail_ready_settings(folder);
    write_settings(folder, before);
    Program program;
    GUI_CHECK(program.start(folder));
    HWND sheet = nullptr;
    HWND page = open_security_page(program, sheet);
    GUI_CHECK(page != nullptr);
    if (!page)
        return;
    HWND mail_page = PropSheet_IndexToHwnd(sheet, MAIL_TAB);

    // Without encryption there is no login to fill in.
    GUI_CHECK(is_checked(page, IDC_SECURITY_NONE));
    GUI_CHECK(!is_enabled(page, IDC_SMTP_AUTH) && !is_enabled(page, IDC_SMTP_ACCOUNT) &&
              !is_enabled(page, IDC_SMTP_PASSWORD));

    struct Step {
        int radio;
        const wchar_t* port;
    };
    const Step steps[] = {{IDC_SECURITY_STARTTLS, L"587"},
                          {IDC_SECURITY_SSL, L"465"},
                          {IDC_SECURITY_NONE, L"25"},
                          {IDC_SECURITY_STARTTLS, L"587"}};
    for (const Step& step : steps) {
        click_and_wait(page, step.radio);
        GUI_CHECK_TEXT(std::wstring(step.port), item_text(mail_page, IDC_SMTP_PORT));
        GUI_CHECK(is_enabled(page, IDC_SMTP_AUTH) == (step.radio != IDC_SECURITY_NONE));
    }
    click_and_wait(page, IDC_SMTP_AUTH);
    GUI_CHECK(is_enabled(page, IDC_SMTP_ACCOUNT) && is_enabled(page, IDC_SMTP_PASSWORD));

    // The page's own checks, with the focus on the field to fill in.
    GUI_CHECK_TEXT(std::wstring(L"SMTP認証のアカウントが入力されていません"),
                   ok_expecting_error(sheet, program.process_id()));
    GUI_CHECK(focus_reaches(page, IDC_SMTP_ACCOUNT));
    set_item_text(page, IDC_SMTP_ACCOUNT, L"me@gmail.example");
    GUI_CHECK_TEXT(std::wstring(L"SMTP認証のパスワードが入力されていません"),
                   ok_expecting_error(sheet, program.process_id()));
    GUI_CHECK(focus_reaches(page, IDC_SMTP_PASSWORD));
    set_item_text(page, IDC_SMTP_PASSWORD, L"abcd efgh ijkl mnop");
    screenshot("settings_page_security");
    click(sheet, IDOK);
    GUI_CHECK(wait_gone(sheet));

    GUI_CHECK(wait_until([&] { return settings_in(folder).smtp_security == SECURITY_STARTTLS; }));
    SettingsRecord after = settings_in(folder);
    GUI_CHECK(after.smtp_auth == 1 && after.smtp_port == 587);
    GUI_CHECK(std::strcmp(after.smtp_account, "me@gmail.example") == 0);
    GUI_CHECK(read_bytes(folder / "vntraini.fil").find("abcd efgh") == std::string::npos);
    std::string password;
    GUI_CHECK(smtp_password(after, password) && password == "abcd efgh ijkl mnop");
    GUI_CHECK(size_of_file(folder / "vntraini.fil") == SETTINGS_RECORD_SIZE);

    // Opened again: the stored password is kept while its field stays empty.
    page = open_security_page(program, sheet);
    GUI_CHECK(page != nullptr);
    if (page) {
        GUI_CHECK(is_checked(page, IDC_SECURITY_STARTTLS) && is_checked(page, IDC_SMTP_AUTH));
        GUI_CHECK_TEXT(std::wstring(), item_text(page, IDC_SMTP_PASSWORD));
        click(sheet, IDOK);
        GUI_CHECK(wait_gone(sheet));
        GUI_CHECK(smtp_password(settings_in(folder), password) &&
                  password == "abcd efgh ijkl mnop");
    }
    GUI_CHECK(program.exit_from_tray());
}

} // namespace vntra::gui
