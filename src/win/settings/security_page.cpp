// The page "送信の認証・暗号化".
#include <windows.h>

#include <commctrl.h>

#include "kit/dialog_kit.h"
#include "mail/smtp_security.h"
#include "resource_ids.h"
#include "settings/security_page.h"
#include "settings/sheet_pages.h"
#include "shell/wide_text.h"
#include "store/schedule_record.h"
#include "text/secret_text.h"
#include "text/utf16_text.h"

namespace vntra {
namespace {

// Characters; its encrypted form must fit the record with room to spare.
const int PASSWORD_LIMIT = 127;
const int SECURITY_RADIOS[] = {IDC_SECURITY_NONE, IDC_SECURITY_STARTTLS, IDC_SECURITY_SSL};

static_assert(sizeof(wchar_t) == sizeof(char16_t), "the W functions take UTF-16");

// The account and the password go to the server as UTF-8, taken straight
// from the field's UTF-16: through Shift-JIS a character it lacks would be
// replaced by a look-alike and the login refused. False for a text no
// login can carry (an unpaired surrogate). The copy read here is wiped.
bool typed_utf8(HWND w, int control_id, std::string& utf8) {
    HWND control = ::GetDlgItem(w, control_id);
    int length = ::GetWindowTextLengthW(control);
    std::u16string wide(static_cast<size_t>(length) + 1, u'\0');
    WipeOnExit<std::u16string> wipe(wide);
    length = ::GetWindowTextW(control, reinterpret_cast<wchar_t*>(&wide[0]), length + 1);
    return utf16_to_utf8(std::u16string_view(wide.data(), static_cast<size_t>(length)), utf8);
}

void show_utf8(HWND w, int control_id, const std::string& utf8) {
    std::u16string wide;
    utf8_to_utf16(utf8, wide);
    ::SetDlgItemTextW(w, control_id, reinterpret_cast<const wchar_t*>(wide.c_str()));
}

int chosen_security(HWND w) {
    for (int mode = SECURITY_NONE; mode <= SECURITY_SSL; ++mode)
        if (is_checked(w, SECURITY_RADIOS[mode]))
            return mode;
    return -1;
}

// AUTH is open only with encryption, and its fields only with AUTH, so that
// a password is never typed for a line that would carry it in clear.
void enable_security_controls(HWND w) {
    bool encrypted = chosen_security(w) > SECURITY_NONE;
    if (!encrypted)
        set_checked(w, IDC_SMTP_AUTH, false);
    enable_control(w, IDC_SMTP_AUTH, encrypted);
    bool auth = encrypted && is_checked(w, IDC_SMTP_AUTH);
    enable_control(w, IDC_SMTP_ACCOUNT, auth);
    enable_control(w, IDC_SMTP_PASSWORD, auth);
}

void show_port_note(HWND w, int port) {
    write_control_text(w, IDC_SECURITY_PORT_NOTE,
                       "ポート番号を" + decimal_text(port) + "にします（「メール」ページ）");
}

void init_security(PageContext& page) {
    HWND w = page.window;
    const SettingsRecord& s = page.settings();
    ::SendDlgItemMessageW(w, IDC_SMTP_ACCOUNT, EM_LIMITTEXT, sizeof s.smtp_account - 1, 0);
    ::SendDlgItemMessageW(w, IDC_SMTP_PASSWORD, EM_LIMITTEXT, PASSWORD_LIMIT, 0);
    int security = s.smtp_security >= SECURITY_NONE && s.smtp_security <= SECURITY_SSL
                       ? s.smtp_security
                       : SECURITY_NONE;
    ::CheckRadioButton(w, IDC_SECURITY_NONE, IDC_SECURITY_SSL, SECURITY_RADIOS[security]);
    set_checked(w, IDC_SMTP_AUTH, s.smtp_auth == 1);
    show_utf8(w, IDC_SMTP_ACCOUNT, smtp_account_utf8(s));
    std::string stored;
    WipeOnExit<std::string> wipe(stored);
    write_control_text(w, IDC_PASSWORD_NOTE,
                       smtp_password(s, stored) ? "保存済みのパスワードを使います。"
                                                  "変えるときだけ入力して下さい"
                                                : "");
    page.offered_port = 0;
    enable_security_controls(w);
}

void security_command(PageContext& page, int control_id, int notification) {
    HWND w = page.window;
    if (notification != BN_CLICKED)
        return;
    if (control_id == IDC_SECURITY_NONE || control_id == IDC_SECURITY_STARTTLS ||
        control_id == IDC_SECURITY_SSL) {
        // The mail page, when open, changes its port field itself; when it
        // is not, this page stores the offered port with its own fields.
        int security = chosen_security(w);
        HWND sheet = ::GetParent(w);
        int port = static_cast<int>(PropSheet_QuerySiblings(sheet, SIBLING_OFFER_PORT, security));
        page.offered_port = port ? 0 : offered_port(security, page.settings().smtp_port);
        show_port_note(w, port ? port : page.offered_port);
    }
    enable_security_controls(w);
}

bool apply_security(PageContext& page) {
    HWND w = page.window;
    SecurityPageInput input;
    WipeOnExit<std::string> wipe(input.password);
    input.security = chosen_security(w);
    input.auth = is_checked(w, IDC_SMTP_AUTH);
    for (int id : {IDC_SMTP_ACCOUNT, IDC_SMTP_PASSWORD}) {
        if (!typed_utf8(w, id, id == IDC_SMTP_ACCOUNT ? input.account : input.password)) {
            show_page_error(page, "使えない文字が含まれています。入力し直して下さい", id);
            return false;
        }
    }
    SettingsRecord updated = page.settings();
    PageResult result = apply_security_page(input, updated);
    if (result.ok() && page.offered_port != 0)
        updated.smtp_port = page.offered_port;
    bool applied = finish_apply(page, result, updated);
    if (applied) {
        // The password is stored; the field no longer holds it.
        write_control_text(w, IDC_SMTP_PASSWORD, "");
        page.offered_port = 0;
    }
    return applied;
}

} // namespace

const PageRoutines SECURITY_PAGE = {init_security, security_command, apply_security};

} // namespace vntra
