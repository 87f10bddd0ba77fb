// One complete mail session: an optional POP3 login ("POP before SMTP"), then
// the SMTP dialogue that hands one message to the server.
#ifndef VNTRA_MAIL_SMTP_SESSION_H
#define VNTRA_MAIL_SMTP_SESSION_H

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "mail/mail_ui.h"
#include "platform/clock.h"
#include "store/settings_record.h"

namespace vntra {

const int DEFAULT_SMTP_PORT = 25;
const int REPLY_BUFFER_SIZE = 1024;
const int MAIL_TIMEOUT_MS = 30000;
const int PROGRESS_BAR_ID = 1091;
const char MAILER_NAME[] = "Orrin-Mailer";
const char SENDER_DISPLAY_NAME[] = "Vontara";

// The size limit and progress counters the application keeps for its mails.
struct MailProgress {
    int32_t mail_limit_bytes = 0;
    int32_t progress_total = 0; // what the caller's progress bar stands for
    int32_t progress_done = 0;  // counted so far; the caller zeroes it per run
};

enum MailMode {
    MAIL_PROGRESS = 1, // the caller's progress bar advances per body line
    MAIL_QUIET = 2,    // reminders: nothing but error messages
};

// How the last send_mail ended, for callers that try again later.
enum MailOutcome {
    MAIL_SENT = 0,
    MAIL_MAY_PASS = 1, // no connection, no answer in time, a 4xx reply, a POP3 refusal
    MAIL_REFUSED = 2,  // the SMTP server answered 5xx: this mail will not be taken
};

struct SessionOptions {
    // Bounds the connect, the TLS handshake and each reply from a server.
    int timeout_ms = MAIL_TIMEOUT_MS;
    // Bounds the greeting of a STARTTLS session (see GREETING_TIMEOUT_MS).
    int greeting_timeout_ms = 10000;
    // Where the port comes from when the settings give none.
    const char* port_service = "mail";
    int default_port = DEFAULT_SMTP_PORT;
};

// Everything a mail command works with besides its texts: the window (for
// messages, the button and the progress bar), the live settings record and
// the application's counters.
struct MailContext {
    MailUi& ui;
    const SettingsRecord& settings;
    MailProgress& progress;
    SessionOptions options = {};
    // Set by every send_mail.
    MailOutcome outcome = MAIL_SENT;
    // Called the moment the server has taken the message, before the session
    // is closed: callers that must not send a mail twice write it down here.
    std::function<void()> accepted = {};
};

// Why the settings stop every mail before anything goes out (they would
// send the password in the clear, cannot say how to protect it, hold a
// control character, or the stored password cannot be read), or an empty
// text when they can be used. `password`, when given, receives the login's
// password.
std::string unusable_settings_message(const SettingsRecord& settings,
                                      std::string* password = nullptr);

// Sends one mail to the recipients of the settings. Subject and body are
// Shift-JIS; body lines end in CR LF. Every reply is checked, every wait is
// bounded; on any failure the user has been shown why and the result is false.
bool send_mail(MailContext& context, std::string_view subject, std::string_view body, int mode);

// The body as it goes over the wire after the header's empty line: the lines
// of the ISO-2022-JP text (separated by LF) each ending in CR LF, empty lines
// left out, and a line that starts with "." given a second one so that the
// server does not take it for the end of the mail. `line_sizes`, when given,
// receives each line's size as the progress bar counts it.
std::string wire_body(std::string_view converted, std::vector<int32_t>* line_sizes = nullptr);

// "Sun, 05 Dec 2004 14:03:07 +0900": the Date header's value, with English
// names whatever the locale and the zone in hours and minutes.
std::string format_mail_date(const LocalTimeStamp& time);

} // namespace vntra

#endif
