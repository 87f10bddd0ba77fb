#include "mail/smtp_session.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "mail/iso2022jp.h"
#include "mail/mail_settings_check.h"
#include "mail/server_link.h"
#include "mail/smtp_security.h"
#include "platform/socket.h"
#include "platform/tls_stream.h"
#include "store/schedule_record.h"
#include "text/base64.h"
#include "text/secret_text.h"

namespace vntra {
namespace {

using namespace mail_link;

// Sends one command (or none, for the greeting) and checks that its reply
// carries one of the accepted codes.
bool smtp_step(ServerLink& link, const std::string& command, const char* step, int accepted,
               int also_accepted, std::string& failure) {
    NetResult result = command.empty() ? NET_OK : link.send(command);
    int code = 0;
    std::string reply;
    if (result == NET_OK)
        result = link.read_smtp_reply(code, reply);
    if (result != NET_OK) {
        failure = failure_text(result);
        return false;
    }
    if (code != accepted && code != also_accepted) {
        failure = std::string("メールサーバーがエラーを返しました（") + step + "）\n" + reply;
        return false;
    }
    return true;
}

// EHLO and the extensions its reply lists.
bool ehlo_step(ServerLink& link, const std::string& server, EhloOffer& offer,
               std::string& failure) {
    NetResult result = link.send("EHLO " + server + "\r\n");
    int code = 0;
    std::string reply;
    std::vector<std::string> lines;
    if (result == NET_OK)
        result = link.read_smtp_reply(code, reply, &lines);
    if (result != NET_OK) {
        failure = failure_text(result);
        return false;
    }
    if (code != 250) {
        failure = "メールサーバーがエラーを返しました（EHLO）\n" + reply;
        return false;
    }
    offer = parse_ehlo_offer(lines);
    return true;
}

// `head`, the Base64 of a secret and CR LF as one line, built in a buffer of
// its final size so that no partial copy is left behind; `encoded` is wiped.
std::string secret_line(std::string_view head, std::string& encoded) {
    std::string line;
    line.reserve(head.size() + encoded.size() + 2);
    line.append(head).append(encoded).append("\r\n");
    wipe_secret(encoded);
    return line;
}

// AUTH PLAIN, or LOGIN when the server does not offer PLAIN. Every line
// that carries the password is wiped once sent.
bool log_in(ServerLink& link, const EhloOffer& offer, const std::string& account,
            const std::string& password, std::string& failure) {
    if (!offer.auth_plain && !offer.auth_login) {
        failure = NO_AUTH_MESSAGE;
        return false;
    }
    int code = 0;
    std::string reply;
    NetResult result = NET_OK;
    if (offer.auth_plain) {
        std::string encoded = auth_plain_response(account, password);
        std::string command = secret_line("AUTH PLAIN ", encoded);
        WipeOnExit<std::string> wipe(command);
        result = link.send(command);
        if (result == NET_OK)
            result = link.read_smtp_reply(code, reply);
    } else {
        // Each step must be asked for (334) before the next goes out.
        std::string encoded_account = base64_encode(account);
        std::string encoded_password = base64_encode(password);
        std::string steps[] = {"AUTH LOGIN\r\n", secret_line("", encoded_account),
                               secret_line("", encoded_password)};
        WipeOnExit<std::string> wipe(steps[2]);
        for (const std::string& step : steps) {
            result = link.send(step);
            if (result == NET_OK)
                result = link.read_smtp_reply(code, reply);
            if (result != NET_OK || code != 334)
                break;
        }
    }
    if (result != NET_OK) {
        failure = failure_text(result);
        return false;
    }
    if (code == 235)
        return true;
    failure = code == 535 || code == 534 ? login_refused_message(account, reply)
                                         : "メールサーバーがエラーを返しました（AUTH）\n" + reply;
    return false;
}

// The greeting, then HELO as always; or, when the settings ask for
// protection, EHLO, STARTTLS with a fresh EHLO, and the login. Nothing goes
// out in the clear that the settings want protected.
bool open_submission(ServerLink& link, TlsStream& stream, MailContext& context,
                     const std::string& password, std::string& failure) {
    const SettingsRecord& settings = context.settings;
    const SessionOptions& options = context.options;
    std::string server = field_text(settings.smtp_server);
    int security = settings.smtp_security;
    int greeting_ms = 0;
    if (security == SECURITY_STARTTLS && options.greeting_timeout_ms < options.timeout_ms)
        greeting_ms = options.greeting_timeout_ms;
    int code = 0;
    std::string reply;
    NetResult result = link.read_smtp_reply(code, reply, nullptr, greeting_ms);
    if (result == NET_TIMED_OUT && security == SECURITY_STARTTLS) {
        failure = SILENT_GREETING_MESSAGE;
        return false;
    }
    if (result != NET_OK) {
        failure = failure_text(result);
        return false;
    }
    if (code != 220) {
        failure = "メールサーバーがエラーを返しました（接続）\n" + reply;
        return false;
    }
    if (security == SECURITY_NONE && settings.smtp_auth != 1)
        return smtp_step(link, "HELO " + server + "\r\n", "HELO", 250, 250, failure);

    EhloOffer offer;
    if (!ehlo_step(link, server, offer, failure))
        return false;
    if (security == SECURITY_STARTTLS) {
        if (!offer.starttls) {
            failure = NO_STARTTLS_MESSAGE;
            return false;
        }
        if (!smtp_step(link, "STARTTLS\r\n", "STARTTLS", 220, 220, failure))
            return false;
        // Whatever follows the go-ahead unencrypted was not sent by the
        // server we are about to trust, and would be read as if it had been.
        if (link.has_unread()) {
            failure = INJECTED_MESSAGE;
            link.mark_broken();
            return false;
        }
        TlsResult started = stream.start_tls(server, options.timeout_ms);
        if (started != TLS_OK) {
            failure = tls_failure_message(started, server, stream.failure_code());
            link.mark_broken();
            return false;
        }
        if (!ehlo_step(link, server, offer, failure))
            return false;
    }
    if (settings.smtp_auth != 1)
        return true;
    return log_in(link, offer, smtp_account(settings), password, failure);
}

bool send_all_or_fail(ServerLink& link, std::string_view text, std::string& failure) {
    NetResult result = link.send(text);
    if (result != NET_OK)
        failure = failure_text(result);
    return result == NET_OK;
}

std::string header_lines(const SettingsRecord& settings, std::string_view subject) {
    std::string recipient2 = field_text(settings.recipient_address2);
    std::string lines = std::string("X-Mailer: ") + MAILER_NAME + "\r\n";
    lines += "Date: " + format_mail_date(current_local_time()) + " \r\n";
    lines += "From: " + encode_header_word(to_iso2022jp(SENDER_DISPLAY_NAME)) + " <" +
             field_text(settings.sender_address) + ">\r\n";
    lines += "To: " + field_text(settings.recipient_address) + " \r\n";
    if (!recipient2.empty())
        lines += "Cc: " + recipient2 + " \r\n";
    lines += "Subject: " + encode_header_word(to_iso2022jp(subject)) + " \r\n";
    // Declared, so that today's mail readers need not guess the character set.
    lines += "MIME-Version: 1.0\r\n";
    lines += "Content-Type: text/plain; charset=ISO-2022-JP\r\n";
    lines += "Content-Transfer-Encoding: 7bit\r\n";
    return lines;
}

bool smtp_dialogue(ServerLink& link, TlsStream& stream, MailContext& context,
                   const std::string& password, std::string_view subject, std::string_view body,
                   int mode, std::string& failure) {
    const SettingsRecord& settings = context.settings;
    std::string recipient2 = field_text(settings.recipient_address2);
    if (!open_submission(link, stream, context, password, failure) ||
        !smtp_step(link, "MAIL FROM: <" + field_text(settings.sender_address) + ">\r\n",
                   "MAIL FROM", 250, 250, failure) ||
        !smtp_step(link, "RCPT TO: <" + field_text(settings.recipient_address) + ">\r\n", "RCPT TO",
                   250, 251, failure))
        return false;
    if (!recipient2.empty() &&
        !smtp_step(link, "RCPT TO: <" + recipient2 + ">\r\n", "RCPT TO", 250, 251, failure))
        return false;
    if (!smtp_step(link, "DATA\r\n", "DATA", 354, 354, failure))
        return false;

    // Headers, body and the closing "." go out together: a write per line
    // would make each mail wait on the peer's delayed acknowledgements.
    std::vector<int32_t> line_sizes;
    std::string message = header_lines(settings, subject) + "\r\n" +
                          wire_body(to_iso2022jp(body), &line_sizes) + ".\r\n";
    if (!send_all_or_fail(link, message, failure))
        return false;
    MailProgress& progress = context.progress;
    for (int32_t size : line_sizes) {
        if (mode != MAIL_PROGRESS || progress.progress_total <= progress.progress_done)
            break;
        int32_t step = std::min(size, progress.progress_total - progress.progress_done);
        progress.progress_done += step;
        context.ui.step_progress(step);
    }
    if (!smtp_step(link, "", "本文送信", 250, 250, failure))
        return false;
    if (context.accepted)
        context.accepted();
    // The message is accepted; the answer to QUIT changes nothing.
    int code = 0;
    std::string reply;
    if (link.send("QUIT\r\n") == NET_OK)
        link.read_smtp_reply(code, reply);
    return true;
}

bool deliver(MailContext& context, const std::string& password, std::string_view subject,
             std::string_view body, int mode);

} // namespace

std::string wire_body(std::string_view converted, std::vector<int32_t>* line_sizes) {
    std::string wire;
    wire.reserve(converted.size() + converted.size() / 16 + 2);
    for (size_t start = 0; start < converted.size();) {
        size_t end = converted.find('\n', start);
        if (end == std::string_view::npos)
            end = converted.size();
        std::string_view line = converted.substr(start, end - start);
        start = end + 1;
        if (line.empty())
            continue;
        if (line[0] == '.')
            wire += '.';
        wire.append(line);
        wire += "\r\n";
        if (line_sizes)
            line_sizes->push_back(static_cast<int32_t>(line.size() + 2));
    }
    return wire;
}

std::string format_mail_date(const LocalTimeStamp& time) {
    static const char* const DAYS[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const MONTHS[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    int weekday = time.weekday >= 0 && time.weekday <= 6 ? time.weekday : 0;
    int month = time.month >= 1 && time.month <= 12 ? time.month : 1;
    int offset = time.utc_offset_minutes;
    char sign = offset < 0 ? '-' : '+';
    if (offset < 0)
        offset = -offset;
    char text[64];
    std::snprintf(text, sizeof text, "%s, %02d %s %04d %02d:%02d:%02d %c%02d%02d", DAYS[weekday],
                  time.day, MONTHS[month - 1], time.year, time.hour, time.minute, time.second, sign,
                  offset / 60 % 100, offset % 60);
    return text;
}

std::string unusable_settings_message(const SettingsRecord& settings, std::string* password) {
    std::string unsafe = unsafe_mail_setting_message(settings);
    if (!unsafe.empty())
        return unsafe;
    // Settings that would send the password in the clear, or that cannot
    // say how to protect it, stop here, before anything goes out.
    int security = settings.smtp_security;
    std::string stored;
    WipeOnExit<std::string> wipe(stored);
    if (security != SECURITY_NONE && security != SECURITY_STARTTLS && security != SECURITY_SSL)
        return UNKNOWN_SECURITY_MESSAGE;
    if (settings.smtp_auth == 1 && security == SECURITY_NONE)
        return AUTH_WITHOUT_TLS_MESSAGE;
    if (settings.smtp_auth == 1 && !smtp_password(settings, stored))
        return NO_PASSWORD_MESSAGE;
    if (password)
        password->swap(stored);
    return {};
}

bool send_mail(MailContext& context, std::string_view subject, std::string_view body, int mode) {
    MailUi& ui = context.ui;
    const SettingsRecord& settings = context.settings;
    // Every way out but the two below may go away by itself.
    context.outcome = MAIL_MAY_PASS;
    std::string password;
    WipeOnExit<std::string> wipe(password);
    std::string unusable = unusable_settings_message(settings, &password);
    if (!unusable.empty()) {
        ui.show_message(MESSAGE_ERROR, unusable);
        return false;
    }
    bool sent = settings.pop_before_smtp != 1 || log_in_to_pop(context);
    if (sent)
        sent = deliver(context, password, subject, body, mode);
    return sent;
}

namespace {

bool deliver(MailContext& context, const std::string& password, std::string_view subject,
             std::string_view body, int mode) {
    MailUi& ui = context.ui;
    const SettingsRecord& settings = context.settings;
    NetLayer net;
    std::string server = field_text(settings.smtp_server);
    NetAddress address;
    TcpConnection connection;
    if (!open_socket_for(ui, MESSAGE_ERROR, net, server, address, connection))
        return false;
    int port = settings.smtp_port;
    if (port == 0) {
        port = service_port(context.options.port_service);
        if (port == 0) {
            ui.show_message(MESSAGE_NOTICE, "ポート指定がされていないので、デフォルトを使います");
            port = context.options.default_port;
        }
    }
    NetResult result = valid_port(port)
                           ? connection.connect(address, port, context.options.timeout_ms)
                           : NET_FAILED;
    if (result != NET_OK) {
        connection.close();
        ui.show_message(MESSAGE_ERROR, result == NET_TIMED_OUT ? naming_server(NO_ANSWER, server)
                                                               : "サーバーソケットに接続失敗");
        return false;
    }
    TlsStream stream(connection);
    if (settings.smtp_security == SECURITY_SSL) {
        TlsResult started = stream.start_tls(server, context.options.timeout_ms);
        if (started != TLS_OK) {
            stream.close();
            ui.show_message(MESSAGE_ERROR,
                            tls_failure_message(started, server, stream.failure_code()));
            return false;
        }
    }
    ServerLink link(stream, context.options.timeout_ms);
    std::string failure;
    if (!smtp_dialogue(link, stream, context, password, subject, body, mode, failure)) {
        // Only a refusal stops the dialogue at a 5xx reply; accepted replies are 2xx and 3xx.
        if (link.last_reply_code() / 100 == 5)
            context.outcome = MAIL_REFUSED;
        abandon(link, stream, ui, failure, server);
        return false;
    }
    stream.close();
    context.outcome = MAIL_SENT;
    return true;
}

} // namespace
} // namespace vntra
