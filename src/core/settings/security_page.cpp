#include "settings/security_page.h"

#include "mail/smtp_security.h"
#include "text/secret_text.h"
#include "text/trim_spaces.h"

namespace vntra {
namespace {

PageResult failure(const char* message, PageControl focus) {
    PageResult result;
    result.message = message;
    result.focus = focus;
    return result;
}

} // namespace

int standard_port(int security) {
    return security == SECURITY_STARTTLS ? 587 : security == SECURITY_SSL ? 465 : 25;
}

int offered_port(int security, int current_port) {
    for (int mode : {SECURITY_NONE, SECURITY_STARTTLS, SECURITY_SSL}) {
        if (current_port == standard_port(mode))
            return standard_port(security);
    }
    return current_port <= 0 ? standard_port(security) : current_port;
}

PageResult apply_security_page(const SecurityPageInput& input, SettingsRecord& settings) {
    std::string account = input.account;
    if (!trim_spaces(account))
        account.clear(); // blanks only
    bool security_known = input.security == SECURITY_NONE || input.security == SECURITY_STARTTLS ||
                          input.security == SECURITY_SSL;
    if (!security_known)
        return failure("暗号化の方式を選んで下さい", CONTROL_SECURITY_NONE);
    if (input.auth) {
        // A password never travels unencrypted.
        if (input.security == SECURITY_NONE)
            return failure("暗号化が「なし」のときはSMTP認証を使えません。暗号化を選んで下さい",
                           CONTROL_SECURITY_NONE);
        if (account.empty())
            return failure("SMTP認証のアカウントが入力されていません", CONTROL_SMTP_ACCOUNT);
        std::string stored;
        WipeOnExit<std::string> wipe(stored);
        if (input.password.empty() && !smtp_password(settings, stored))
            return failure("SMTP認証のパスワードが入力されていません", CONTROL_SMTP_PASSWORD);
    }
    // Cut, the account would be another one: the login would be refused
    // far from the cause.
    SettingsRecord updated = settings;
    if (!set_smtp_account(updated, account))
        return failure("SMTP認証のアカウントが長すぎます", CONTROL_SMTP_ACCOUNT);
    if (!input.password.empty() && !set_smtp_password(updated, input.password))
        return failure("パスワードを暗号化して保存できませんでした。短くして下さい",
                       CONTROL_SMTP_PASSWORD);
    updated.smtp_security = input.security;
    updated.smtp_auth = input.auth ? 1 : 0;
    settings = updated;
    return {};
}

} // namespace vntra
