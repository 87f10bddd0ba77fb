// The line to a mail server as the session speaks over it: commands out,
// replies read whole within a bounded time, and the texts that name what
// went wrong. Shared by the SMTP dialogue and the POP login before it.
#ifndef VNTRA_CORE_MAIL_SERVER_LINK_H
#define VNTRA_CORE_MAIL_SERVER_LINK_H

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "mail/mail_ui.h"
#include "mail/smtp_session.h"
#include "platform/socket.h"
#include "platform/tls_stream.h"

namespace vntra {
namespace mail_link {

extern const char NO_ANSWER[];
extern const char CONNECTION_LOST[];

// A reply line longer than this is taken in pieces; no server sends one.
const size_t MAX_LINE = 64 * 1024;
// How much of a reply a message quotes.
const size_t QUOTED_LINES = 4;
const size_t QUOTED_LINE_BYTES = 200;

// A server's line as a message may show it: ASCII only, cut short.
std::string quotable(std::string_view line);
const char* failure_text(NetResult result);
// A wait that ran out or a line that dropped names its server: with POP
// before SMTP there are two, and the user has to know which one to check.
std::string naming_server(const std::string& failure, const std::string& server);

// Commands out, replies in, each reply read whole within the time allowed
// from its start, however the server's bytes are split across reads.
class ServerLink {
  public:
    ServerLink(TlsStream& connection, int timeout_ms)
        : connection_(connection), timeout_ms_(timeout_ms) {}

    NetResult send(std::string_view text) { return connection_.send_all(text, timeout_ms_); }

    // One SMTP reply, its continuation lines ("250-…") up to the last ("250 …"),
    // within timeout_ms (0: the session's time). `lines` takes every line
    // without its code, for the extensions of an EHLO reply.
    NetResult read_smtp_reply(int& code, std::string& text,
                              std::vector<std::string>* lines = nullptr, int timeout_ms = 0) {
        int64_t deadline = monotonic_milliseconds() + (timeout_ms ? timeout_ms : timeout_ms_);
        text.clear();
        if (lines)
            lines->clear();
        for (size_t count = 0;; ++count) {
            std::string line;
            NetResult result = read_line(line, deadline);
            if (result != NET_OK)
                return result;
            if (lines && lines->size() < 1000)
                lines->push_back(line.size() > 4 ? line.substr(4) : "");
            if (count < QUOTED_LINES)
                text += (count ? "\n" : "") + quotable(line);
            bool more = line.size() > 3 && line[3] == '-';
            if (!more) {
                code = reply_code(line);
                last_reply_code_ = code;
                return NET_OK;
            }
        }
    }

    // One POP3 status line: "+OK …" or "-ERR …".
    NetResult read_pop_reply(bool& ok, std::string& text) {
        int64_t deadline = monotonic_milliseconds() + timeout_ms_;
        std::string line;
        NetResult result = read_line(line, deadline);
        ok = line.compare(0, 3, "+OK") == 0;
        text = quotable(line);
        return result;
    }

    // The lines of a POP3 listing up to its closing ".".
    NetResult skip_pop_listing() {
        int64_t deadline = monotonic_milliseconds() + timeout_ms_;
        for (;;) {
            std::string line;
            NetResult result = read_line(line, deadline);
            if (result != NET_OK || line == ".")
                return result;
        }
    }

    // Bytes that came in after the last reply was taken.
    bool has_unread() const { return !pending_.empty(); }
    // After a failed TLS start the line speaks no protocol any more.
    void mark_broken() { broken_ = true; }
    bool broken() const { return broken_; }
    // The code of the last SMTP reply read, 0 before the first.
    int last_reply_code() const { return last_reply_code_; }

  private:
    static int reply_code(std::string_view line) {
        if (line.size() < 3)
            return 0;
        int code = 0;
        for (size_t i = 0; i < 3; ++i) {
            if (line[i] < '0' || line[i] > '9')
                return 0;
            code = code * 10 + (line[i] - '0');
        }
        return code;
    }

    NetResult read_line(std::string& line, int64_t deadline) {
        for (;;) {
            size_t end = pending_.find('\n');
            if (end != std::string::npos || pending_.size() >= MAX_LINE) {
                size_t taken = end != std::string::npos ? end : MAX_LINE;
                line = pending_.substr(0, taken);
                pending_.erase(0, end != std::string::npos ? taken + 1 : taken);
                if (!line.empty() && line.back() == '\r')
                    line.pop_back();
                return NET_OK;
            }
            int64_t left = deadline - monotonic_milliseconds();
            if (left <= 0)
                return NET_TIMED_OUT;
            char buffer[REPLY_BUFFER_SIZE];
            size_t received = 0;
            NetResult result =
                connection_.receive(buffer, sizeof buffer, received, static_cast<int>(left));
            if (result != NET_OK)
                return result;
            pending_.append(buffer, received);
        }
    }

    TlsStream& connection_;
    int timeout_ms_;
    std::string pending_;
    bool broken_ = false;
    int last_reply_code_ = 0;
};

// Ends a dialogue that went wrong: a polite QUIT if the line still works
// (without waiting for its answer), then the connection is closed before the
// user reads why, so that the server is not held meanwhile.
void abandon(ServerLink& link, TlsStream& connection, MailUi& ui, const std::string& why,
             const std::string& server);

bool valid_port(int port);

// Starts the network, finds `server` and opens a socket for it. False after
// a message when a step fails: the start's as an error, the others in `style`.
bool open_socket_for(MailUi& ui, MessageStyle style, NetLayer& net, const std::string& server,
                     NetAddress& address, TcpConnection& connection);

// POP before SMTP: logs in to the POP server and leaves again. False, after
// its message, when the login did not go through.
bool log_in_to_pop(MailContext& context);

} // namespace mail_link
} // namespace vntra

#endif
