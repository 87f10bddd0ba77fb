// Protected mail end to end: the login is filled in on the page
// "送信の認証・暗号化", then a day goes out from its list to a server that
// takes mail only over STARTTLS with AUTH (aiosmtpd, with a certificate from
// the test CA that the stage trusts in the test Wine prefix).
#include "gui_kit.h"

#include <commctrl.h>

#include <cstdlib>
#include <cstring>

#include "resource_ids.h"

namespace vntra::gui {
namespace {

int tls_port(const char* name) {
    const char* folder = std::getenv("VNTRA_TLS_DIR");
    if (!folder)
        return 0;
    return std::atoi(
        read_bytes(std::filesystem::path(folder) / (std::string(name) + ".port")).c_str());
}

} // namespace

GUI_TEST(mail_a_day_over_starttls_after_filling_in_the_security_page) {
    int port = tls_port("starttls");
    GUI_CHECK_MSG(port != 0, "the TLS peers are not running");
    Today now = today();
    const int day = 10;
    std::string to = fresh_address("tls-day");
    SettingsRecord settings = mail_settings(port, to);
    // The certificate is for localhost.
    std::memset(settings.smtp_server, 0, sizeof settings.smtp_server);
    std::strcpy(settings.smtp_server, "localhost");
    std::filesystem::path folder = fresh_program_folder("mail_tls");
    write_settings(folder, settings);
    write_records(folder / "vntradata.fil",
                  {dated_record(KIND_ALL_DAY, now.year, now.month, day, now.year, now.month, day,
                                "暗号化の予定", "本社")});
    Program program;
    GUI_CHECK(program.start(folder));

    ::PostMessageW(program.resident(), WM_COMMAND, CMD_TRAY_SETTINGS, 0);
    HWND sheet = find_window(L"設定", program.process_id());
    GUI_CHECK(sheet != nullptr);
    if (!sheet)
        return;
    HWND page = show_sheet_page(sheet, 7);
    click_and_wait(page, IDC_SECURITY_STARTTLS);
    click_and_wait(page, IDC_SMTP_AUTH);
    // A login the peer takes only in UTF-8: ö has no Shift-JIS form.
    set_item_text(page, IDC_SMTP_ACCOUNT, L"wörd@example.jp");
    set_item_text(page, IDC_SMTP_PASSWORD, L"p@ss wörd");
    screenshot("mail_tls_security_page");
    click(sheet, IDOK);
    GUI_CHECK(wait_gone(sheet));
    GUI_CHECK(wait_until([&] { return settings_in(folder).smtp_auth == 1; }));
    GUI_CHECK(std::string(settings_in(folder).smtp_account) == utf8(L"wörd@example.jp"));
    // The peer's own port is not a standard one, so it stays.
    GUI_CHECK(settings_in(folder).smtp_port == port);

    HWND calendar = program.open_calendar();
    GUI_CHECK(calendar != nullptr);
    if (!calendar)
        return;
    HWND day_list = nullptr;
    for (int cell = 0; cell < 42 && !day_list; ++cell) {
        if (item_text(calendar, IDC_FIRST_CELL + cell) == std::to_wstring(day)) {
            click_on_area(calendar, IDC_FIRST_CELL + cell);
            day_list = find_window(L"ｽｹｼﾞｭｰﾙ一覧", program.process_id());
        }
    }
    GUI_CHECK(day_list != nullptr);
    if (!day_list)
        return;
    click(day_list, IDC_DAY_MAIL);
    HWND box = find_window(L"確認", program.process_id(), 20000);
    GUI_CHECK(box != nullptr);
    if (box) {
        GUI_CHECK_TEXT(std::wstring(L"1件のスケジュールメールを送信しました"), static_texts(box));
        screenshot("mail_tls_sent");
        click(box, IDOK);
        GUI_CHECK(wait_gone(box));
    }
    std::vector<std::string> mails = received_mails(to);
    GUI_CHECK_MSG(mails.size() == 1, std::to_string(mails.size()) + " mails");
    if (mails.size() == 1)
        GUI_CHECK(mails[0].find(utf8(L"暗号化の予定")) != std::string::npos);
    GUI_CHECK(wait_send_ended(day_list));
    click(day_list, IDC_DAY_CLOSE);
    GUI_CHECK(wait_gone(day_list));
    ::PostMessageW(calendar, WM_COMMAND, CMD_TO_TRAY, 0);
    GUI_CHECK(wait_gone(calendar));
    GUI_CHECK(program.exit_from_tray());
}

} // namespace vntra::gui
