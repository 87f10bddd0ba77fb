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
// account and the password, each after a NUL byte, in Base64.
std::string auth_plain_response(std::string_view account, std::string_view password);

// The password of the settings, decrypted; false when none can be read.
bool smtp_password(const SettingsRecord& settings, std::string& password);
// Encrypts and stores the password; false (and nothing changed) when it
// cannot be encrypted or its encrypted form would not fit the record.
bool set_smtp_password(SettingsRecord& settings, std::string_view password);

// The message for a failed TLS start with `server`, the name the user typed.
std::string tls_failure_message(TlsResult result, const std::string& server, uint32_t code);

// Messages of the protected session.
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
