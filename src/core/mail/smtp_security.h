// Encrypted, authenticated submission: what the server offers after EHLO,
// the AUTH exchanges, the stored password and the messages for each way in
// which a protected session can fail.
#ifndef VNTRA_MAIL_SMTP_SECURITY_H
#define VNTRA_MAIL_SMTP_SECURITY_H

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/tls_stream.h"
#include "store/settings_record.h"

namespace vntra {

// How long a STARTTLS session waits for the greeting. A server on an
// implicit-TLS port waits in silence for our handshake, so the wait is short
// and its message suggests the other mode.
const int GREETING_TIMEOUT_MS = 10000;

struct EhloOffer {
    bool starttls = false;
    bool auth_plain = false;
    bool auth_login = false;
};

// The extensions of an EHLO reply, from its lines without the "250-" or
// "250 " in front. Keywords are case-insensitive; "AUTH=" is the form some
// older servers use.
EhloOffer parse_ehlo_offer(const std::vector<std::string>& lines);

// The initial response of AUTH PLAIN: no authorisation identity, then the
// account and the password, each after a NUL byte, in Base64. Both are
// UTF-8, as the login sends them.
std::string auth_plain_response(std::string_view account, std::string_view password);

// The login's account and password are stored and sent as UTF-8 (any
// character a server takes), not in the Shift-JIS of the program's other
// texts. Earlier releases stored them in Shift-JIS, as the user's edit field
// turned them into it; such a text is sent as it always was, so a login that
// worked goes on working, and typing it again stores UTF-8.

// The stored account, as the login sends it.
std::string smtp_account(const SettingsRecord& settings);
// The stored account in UTF-8, to be shown for editing. A text that is not
// valid UTF-8 is an earlier release's Shift-JIS.
std::string smtp_account_utf8(const SettingsRecord& settings);
// Stores a UTF-8 account; false (and nothing changed) when it does not fit.
bool set_smtp_account(SettingsRecord& settings, std::string_view account);

// The stored password, decrypted, as the login sends it; false when none
// can be read. The caller wipes it once used.
bool smtp_password(const SettingsRecord& settings, std::string& password);
// Encrypts and stores a UTF-8 password; false (and nothing changed) when it
// cannot be encrypted or its encrypted form would not fit the record.
bool set_smtp_password(SettingsRecord& settings, std::string_view password);

// The message for a failed TLS start with `server`, the name the user typed.
std::string tls_failure_message(TlsResult result, const std::string& server, uint32_t code);

// Messages of the protected session; `account` as stored.
std::string login_refused_message(const std::string& account, const std::string& reply);
extern const char NO_STARTTLS_MESSAGE[];
extern const char NO_AUTH_MESSAGE[];
extern const char INJECTED_MESSAGE[];
extern const char AUTH_WITHOUT_TLS_MESSAGE[];
extern const char NO_PASSWORD_MESSAGE[];
extern const char UNKNOWN_SECURITY_MESSAGE[];
extern const char SILENT_GREETING_MESSAGE[];

} // namespace vntra

#endif
