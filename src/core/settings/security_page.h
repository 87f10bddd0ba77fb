// The page "送信の認証・暗号化": how the connection to the SMTP server is
// protected and the login it uses.
#ifndef VNTRA_SETTINGS_SECURITY_PAGE_H
#define VNTRA_SETTINGS_SECURITY_PAGE_H

#include <string>

#include "settings/settings_pages.h"

namespace vntra {

// The standard port of each mode: 25, 587 (STARTTLS) and 465 (SSL/TLS).
int standard_port(int security);

// The port to offer when the user picks `security`: its standard port when
// the current one is empty or another mode's standard port; a port of the
// user's own choosing stays.
int offered_port(int security, int current_port);

// The account and the password in UTF-8, as typed.
struct SecurityPageInput {
    int security = SECURITY_NONE;
    bool auth = false;
    std::string account;
    std::string password; // empty: the stored password stays; wiped by the caller
};
PageResult apply_security_page(const SecurityPageInput& input, SettingsRecord& settings);

} // namespace vntra

#endif
