// The protected session against servers on loopback, started by
// scripts/stages/mail-tls.sh. Natively the TLS start is a test switch over
// plain text (SubmissionPlain, against tests/peers/plain_submission.py);
// under Wine it is SChannel against aiosmtpd with a test CA (SubmissionTls,
// against tests/peers/tls_smtp.py). Both are skipped when the peers are not
// running.
#include <gtest/gtest.h>

#include <cstdlib>

#include "core/mail/mail_test_support.h"
#include "mail/smtp_security.h"
#include "mail/smtp_session.h"
#include "support/sjis_assert.h"
#include "text/base64.h"

namespace vntra {
namespace {

using testing::fresh_address;
using testing::MailRun;
using testing::peer_path;
using testing::read_file_bytes;
using testing::stored_mails;

const char ACCOUNT[] = "vntra@example.jp";
const char PASSWORD[] = "tls-secret";
// The peers' second login, which they take only in UTF-8: "wörd@example.jp"
// and "p@ss wörd" (ö has no Shift-JIS form).
const char UTF8_ACCOUNT[] = "w\xC3\xB6rd@example.jp";
const char UTF8_PASSWORD[] = "p@ss w\xC3\xB6rd";

// The port a peer of the TLS stage wrote for one of its servers, or 0.
int stage_port(const char* folder_variable, const std::string& name) {
    std::filesystem::path folder = peer_path(folder_variable);
    if (folder.empty())
        return 0;
    return std::atoi(read_file_bytes(folder / (name + ".port")).c_str());
}

SettingsRecord protected_settings(const std::string& server, int port, int security, bool auth,
                                  const std::string& recipient, const char* password = PASSWORD,
                                  const char* account = ACCOUNT) {
    SettingsRecord s = default_settings("C:\\");
    set_text(s.smtp_server, server);
    s.smtp_port = port;
    set_text(s.sender_address, "me@example.jp");
    set_text(s.recipient_address, recipient);
    s.smtp_security = security;
    s.smtp_auth = auth ? 1 : 0;
    EXPECT_TRUE(set_smtp_account(s, account));
    EXPECT_TRUE(set_smtp_password(s, password));
    return s;
}

// What a server wrote in its log since `before` bytes.
std::string log_since(const std::filesystem::path& log, size_t before) {
    std::string text = read_file_bytes(log);
    return text.size() > before ? text.substr(before) : "";
}

// Waits until the server has written `wanted` into its log after `before`
// bytes, at most five seconds; the server writes after the client moved on.
std::string wait_for_log(const std::filesystem::path& log, size_t before,
                         const std::string& wanted) {
    std::string text;
    int64_t deadline = monotonic_milliseconds() + 5000;
    do {
        text = log_since(log, before);
    } while (text.find(wanted) == std::string::npos && monotonic_milliseconds() < deadline);
    return text;
}

#ifndef _WIN32

// The scripted servers, which go on in plain text after STARTTLS.
#define REQUIRE_PLAIN_PEERS()                                                                      \
    if (stage_port("VNTRA_PLAIN_SUBMISSION_DIR", "starttls") == 0)                                 \
    GTEST_SKIP() << "VNTRA_PLAIN_SUBMISSION_DIR is not set: run scripts/stages/mail-tls.sh"

class SubmissionPlain : public ::testing::Test {
  protected:
    void SetUp() override { set_tls_outcome_for_tests(TLS_OK); }
    void TearDown() override { set_tls_outcome_for_tests(TLS_UNAVAILABLE); }
    static std::filesystem::path log_of(const std::string& mode) {
        return peer_path("VNTRA_PLAIN_SUBMISSION_DIR") / (mode + ".log");
    }
};

TEST_F(SubmissionPlain, StartTlsThenLoginThenTheMail) {
    REQUIRE_PLAIN_PEERS();
    struct Case {
        std::string mode; // "login-only" offers AUTH LOGIN, the others PLAIN too
        bool auth;
        const char* account;
        const char* password;
    };
    const Case cases[] = {
        {"starttls", true, ACCOUNT, PASSWORD},
        {"login-only", true, ACCOUNT, PASSWORD},
        // AUTH offered in the clear is still only used after STARTTLS.
        {"auth-before", true, ACCOUNT, PASSWORD},
        {"starttls", false, ACCOUNT, PASSWORD},
        // A login outside Shift-JIS arrives in UTF-8 by both mechanisms.
        {"starttls", true, UTF8_ACCOUNT, UTF8_PASSWORD},
        {"login-only", true, UTF8_ACCOUNT, UTF8_PASSWORD},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        std::filesystem::path log = log_of(c.mode);
        size_t before = read_file_bytes(log).size();
        SettingsRecord settings =
            protected_settings("127.0.0.1", stage_port("VNTRA_PLAIN_SUBMISSION_DIR", c.mode),
                               SECURITY_STARTTLS, c.auth, "to@example.jp", c.password, c.account);
        MailRun run(settings);
        ASSERT_TRUE(send_mail(run.context, "件名", "本文\r\n", MAIL_QUIET))
            << testing::readable(run.ui.only_message());
        EXPECT_TRUE(run.ui.messages.empty());
        std::string logged = // between the second EHLO and MAIL FROM
            !c.auth ? ""
            : c.mode != "login-only"
                ? "AUTH PLAIN " + auth_plain_response(c.account, c.password)
                : "AUTH LOGIN\r\n" + base64_encode(c.account) + "\r\n" + base64_encode(c.password);
        EXPECT_EQ("EHLO 127.0.0.1\r\nSTARTTLS\r\nEHLO 127.0.0.1\r\n" + logged +
                      (c.auth ? "\r\n" : "") +
                      "MAIL FROM: <me@example.jp>\r\nRCPT TO: <to@example.jp>\r\nDATA\r\n"
                      "QUIT\r\n",
                  wait_for_log(log, before, "QUIT"));
    }
}

// Every refusal comes before a password or a message could leave.
TEST_F(SubmissionPlain, RefusalsSendNoLogin) {
    REQUIRE_PLAIN_PEERS();
    struct Case {
        std::string mode;
        TlsResult outcome;
        const char* password;
        std::string message;
    };
    const std::string refused = login_refused_message(ACCOUNT, "535 5.7.8 bad credentials");
    const Case cases[] = {
        {"no-starttls", TLS_OK, PASSWORD, NO_STARTTLS_MESSAGE},
        {"no-auth", TLS_OK, PASSWORD, NO_AUTH_MESSAGE},
        {"inject", TLS_OK, PASSWORD, INJECTED_MESSAGE},
        {"starttls", TLS_UNTRUSTED, PASSWORD, tls_failure_message(TLS_UNTRUSTED, "127.0.0.1", 0)},
        {"starttls", TLS_WRONG_HOST, PASSWORD, tls_failure_message(TLS_WRONG_HOST, "127.0.0.1", 0)},
        {"starttls", TLS_OLD_VERSION, PASSWORD,
         tls_failure_message(TLS_OLD_VERSION, "127.0.0.1", 0)},
        {"starttls", TLS_OK, "wrong", refused},
        {"login-only", TLS_OK, "wrong", refused},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode + " " + std::to_string(c.outcome));
        set_tls_outcome_for_tests(c.outcome);
        std::filesystem::path log = log_of(c.mode);
        size_t before = read_file_bytes(log).size();
        SettingsRecord settings =
            protected_settings("127.0.0.1", stage_port("VNTRA_PLAIN_SUBMISSION_DIR", c.mode),
                               SECURITY_STARTTLS, true, "to@example.jp", c.password);
        MailRun run(settings);
        EXPECT_FALSE(send_mail(run.context, "件名", "本文\r\n", MAIL_QUIET));
        ASSERT_EQ(1u, run.ui.messages.size());
        EXPECT_EQ(MESSAGE_ERROR, run.ui.messages[0].style);
        EXPECT_SJIS_EQ(c.message, run.ui.messages[0].text);
        std::string logged = wait_for_log(log, before, "EHLO");
        EXPECT_EQ(std::string::npos, logged.find("MAIL FROM")) << logged;
        if (c.password == PASSWORD) {
            EXPECT_EQ(std::string::npos, logged.find("AUTH")) << logged;
        }
    }
}

// Settings that would put the password on the wire unencrypted, or that
// cannot be used, stop the mail before any connection.
TEST_F(SubmissionPlain, SettingsThatCannotBeUsedStopBeforeConnecting) {
    struct Case {
        int security;
        bool auth;
        bool password_stored;
        const char* message;
    };
    const Case cases[] = {
        {SECURITY_NONE, true, true, AUTH_WITHOUT_TLS_MESSAGE},
        {3, false, true, UNKNOWN_SECURITY_MESSAGE},
        {-1, false, true, UNKNOWN_SECURITY_MESSAGE},
        {SECURITY_STARTTLS, true, false, NO_PASSWORD_MESSAGE},
    };
    for (const Case& c : cases) {
        // Port 1 has nobody listening: a connection would give another message.
        SettingsRecord settings =
            protected_settings("127.0.0.1", 1, c.security, c.auth, "to@example.jp");
        if (!c.password_stored)
            settings.smtp_password_size = 0;
        MailRun run(settings);
        EXPECT_FALSE(send_mail(run.context, "件名", "本文\r\n", MAIL_QUIET));
        EXPECT_SJIS_EQ(c.message, run.ui.only_message());
    }
}

// A STARTTLS session on an implicit-TLS port meets silence: a short wait,
// and a message that suggests the other mode.
TEST_F(SubmissionPlain, SilentGreetingSuggestsImplicitTls) {
    REQUIRE_PLAIN_PEERS();
    SettingsRecord settings =
        protected_settings("127.0.0.1", stage_port("VNTRA_PLAIN_SUBMISSION_DIR", "silent"),
                           SECURITY_STARTTLS, true, "to@example.jp");
    MailRun run(settings);
    run.context.options.greeting_timeout_ms = 300;
    int64_t start = monotonic_milliseconds();
    EXPECT_FALSE(send_mail(run.context, "件名", "本文\r\n", MAIL_QUIET));
    EXPECT_LT(monotonic_milliseconds() - start, 3000);
    EXPECT_SJIS_EQ(SILENT_GREETING_MESSAGE, run.ui.only_message());
    EXPECT_EQ(GREETING_TIMEOUT_MS, SessionOptions{}.greeting_timeout_ms);
}

#else

// The TLS servers of the stage: aiosmtpd with certificates from a test CA
// that only the test's Wine prefix trusts.
#define REQUIRE_TLS_PEERS()                                                                        \
    if (stage_port("VNTRA_TLS_DIR", "starttls") == 0)                                              \
    GTEST_SKIP() << "VNTRA_TLS_DIR is not set: run scripts/stages/mail-tls.sh"

std::filesystem::path tls_log(const std::string& name) {
    return peer_path("VNTRA_TLS_DIR") / (name + ".log");
}

TEST(SubmissionTls, MailArrivesInBothModesByBothMechanisms) {
    REQUIRE_TLS_PEERS();
    struct Case {
        std::string server;
        std::string log; // the server behind a proxy keeps the log
        int security;
        std::string mechanism;
    };
    const Case cases[] = {
        {"starttls", "starttls", SECURITY_STARTTLS, "AUTH PLAIN"},
        {"starttls-login", "starttls-login", SECURITY_STARTTLS, "AUTH LOGIN"},
        {"implicit", "implicit", SECURITY_SSL, "AUTH PLAIN"},
        {"implicit-login", "implicit-login", SECURITY_SSL, "AUTH LOGIN"},
        // Records and replies cut into pieces of a few bytes on the way.
        {"chunked-starttls", "starttls", SECURITY_STARTTLS, "AUTH PLAIN"},
        {"chunked-implicit", "implicit", SECURITY_SSL, "AUTH PLAIN"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.server);
        size_t before = read_file_bytes(tls_log(c.log)).size();
        std::string to = fresh_address("tls");
        SettingsRecord settings = protected_settings(
            "localhost", stage_port("VNTRA_TLS_DIR", c.server), c.security, true, to);
        MailRun run(settings);
        std::string body;
        for (int i = 0; i < 200; ++i)
            body += "行" + std::to_string(i) + " 暗号化された予定\r\n";
        ASSERT_TRUE(send_mail(run.context, "暗号化の件名", body, MAIL_QUIET))
            << testing::readable(run.ui.only_message());
        EXPECT_TRUE(run.ui.messages.empty());
        std::vector<testing::StoredMail> mails = stored_mails(to);
        ASSERT_EQ(1u, mails.size());
        EXPECT_NE(std::string::npos, mails[0].decoded.find(sjis_to_utf8("行199 暗号化された予定")));
        std::string logged = wait_for_log(tls_log(c.log), before, "QUIT");
        std::string expected = (c.security == SECURITY_STARTTLS ? "EHLO\nSTARTTLS\n" : "") +
                               std::string("EHLO\n") + c.mechanism + "\nMAIL\nQUIT\n";
        EXPECT_EQ(expected, logged);
    }
}

// Refused before any password leaves: the server's log shows no AUTH.
TEST(SubmissionTls, RefusalsSendNoLogin) {
    REQUIRE_TLS_PEERS();
    struct Case {
        std::string server;
        std::string host;
        int security;
        std::string message;
    };
    const Case cases[] = {
        {"unknown-ca", "localhost", SECURITY_STARTTLS,
         tls_failure_message(TLS_UNTRUSTED, "localhost", 0)},
        {"unknown-ca-implicit", "localhost", SECURITY_SSL,
         tls_failure_message(TLS_UNTRUSTED, "localhost", 0)},
        {"other-host", "localhost", SECURITY_STARTTLS,
         tls_failure_message(TLS_WRONG_HOST, "localhost", 0)},
        {"expired", "localhost", SECURITY_STARTTLS,
         tls_failure_message(TLS_EXPIRED, "localhost", 0)},
        {"plain-auth", "localhost", SECURITY_STARTTLS, NO_STARTTLS_MESSAGE},
        {"no-auth", "localhost", SECURITY_STARTTLS, NO_AUTH_MESSAGE},
        {"tls11", "localhost", SECURITY_SSL, tls_failure_message(TLS_OLD_VERSION, "localhost", 0)},
        {"tls13", "localhost", SECURITY_SSL,
         tls_failure_message(TLS_VERSION_REFUSED, "localhost", 0)},
        // The wrong mode for the port, both ways.
        {"implicit", "localhost", SECURITY_STARTTLS, SILENT_GREETING_MESSAGE},
        {"starttls", "localhost", SECURITY_SSL, tls_failure_message(TLS_NOT_TLS, "localhost", 0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.server + " " + c.host);
        size_t before = read_file_bytes(tls_log(c.server)).size();
        SettingsRecord settings = protected_settings(c.host, stage_port("VNTRA_TLS_DIR", c.server),
                                                     c.security, true, fresh_address("never"));
        MailRun run(settings);
        run.context.options.greeting_timeout_ms = 1000;
        EXPECT_FALSE(send_mail(run.context, "件名", "本文\r\n", MAIL_QUIET));
        ASSERT_EQ(1u, run.ui.messages.size());
        EXPECT_SJIS_EQ(c.message, run.ui.messages[0].text);
        std::string logged = log_since(tls_log(c.server), before);
        EXPECT_EQ(std::string::npos, logged.find("AUTH")) << logged;
        EXPECT_EQ(std::string::npos, logged.find("MAIL")) << logged;
    }
}

TEST(SubmissionTls, WrongPasswordNamesTheAccount) {
    REQUIRE_TLS_PEERS();
    for (const char* server : {"starttls", "implicit-login"}) {
        int security = std::string(server) == "starttls" ? SECURITY_STARTTLS : SECURITY_SSL;
        std::string to = fresh_address("never");
        SettingsRecord settings =
            protected_settings("localhost", stage_port("VNTRA_TLS_DIR", server), security, true, to,
                               "not-the-password");
        MailRun run(settings);
        EXPECT_FALSE(send_mail(run.context, "件名", "本文\r\n", MAIL_QUIET));
        EXPECT_SJIS_EQ(
            login_refused_message(ACCOUNT, "535 5.7.8 Authentication credentials invalid"),
            run.ui.only_message());
        EXPECT_TRUE(stored_mails(to).empty());
    }
}

#endif

} // namespace
} // namespace vntra
