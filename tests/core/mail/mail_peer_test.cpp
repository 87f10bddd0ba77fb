// The session and the mail command against real servers on loopback, started
// by scripts/stages/mail-peers.sh; skipped when those are not running.
#include <gtest/gtest.h>

#include "core/mail/mail_test_support.h"
#include "mail/iso2022jp.h"
#include "mail/schedule_mail.h"
#include "mail/smtp_session.h"
#include "support/sjis_assert.h"

namespace vntra {
namespace {

using testing::fresh_address;
using testing::MailRun;
using testing::peer_path;
using testing::peer_port;
using testing::peer_settings;
using testing::read_file_bytes;
using testing::stored_mails;

const int SHORT_TIMEOUT_MS = 400;

// Files the peers write after the client has moved on are waited for.
std::string wait_for_text(const std::filesystem::path& path, const std::string& wanted) {
    std::string text;
    int64_t deadline = monotonic_milliseconds() + 5000;
    while (monotonic_milliseconds() < deadline) {
        text = read_file_bytes(path);
        if (text.find(wanted) != std::string::npos)
            break;
    }
    return text;
}

size_t count_of(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

std::string utf8(const std::string& sjis) {
    return sjis_to_utf8(sjis);
}

// The Date line carries the clock; the rest of the header is fixed.
std::string without_date(std::string raw) {
    size_t start = raw.find("Date: ");
    size_t end = raw.find("\r\n", start);
    if (start != std::string::npos && end != std::string::npos)
        raw.replace(start, end - start, "Date: (now)");
    return raw;
}

TEST(MailPeer, DeliversSubjectSenderAndBody) {
    REQUIRE_PEER("VNTRA_SMTP_PORT");
    std::string to = fresh_address("to");
    std::string cc = fresh_address("cc");
    SettingsRecord settings = peer_settings(peer_port("VNTRA_SMTP_PORT"), to);
    set_text(settings.recipient_address2, cc);
    MailRun run(settings);
    std::string body = "12月24日 18:00-21:00\r\n会議：本社\r\n\r\nｶﾞｲﾄﾞ ﾊﾟﾝ\r\n.x\r\n";
    ASSERT_TRUE(send_mail(run.context, "12月のスケジュール", body, MAIL_QUIET));
    EXPECT_TRUE(run.ui.messages.empty());
    EXPECT_TRUE(run.ui.steps.empty()); // quiet mode leaves the bar alone

    std::vector<testing::StoredMail> mails = stored_mails(to);
    ASSERT_EQ(1u, mails.size());
    // Decoded by the peer's own mail library; the subject keeps the blank
    // that ends its header line.
    EXPECT_EQ(utf8("Subject: 12月のスケジュール \nFrom: Vontara <me@example.jp>\n\n"
                   "12月24日 18:00-21:00\n会議：本社\nガイド パン\n.x\n"),
              [&] {
                  std::string text = mails[0].decoded;
                  std::erase(text, '\r');
                  return text;
              }());
    EXPECT_EQ("HELO 127.0.0.1\nEHLO no\nMAIL FROM me@example.jp\nRCPT TO " + to + "\nRCPT TO " +
                  cc + "\n",
              mails[0].envelope);
    std::string raw = without_date(mails[0].raw);
    EXPECT_EQ(0u, raw.find("X-Mailer: Orrin-Mailer\r\nDate: (now)\r\n"
                           "From: =?ISO-2022-JP?B?Vm9udGFyYQ==?= <me@example.jp>\r\nTo: " +
                           to + " \r\nCc: " + cc + " \r\nSubject: " +
                           encode_header_word(to_iso2022jp("12月のスケジュール")) +
                           " \r\nMIME-Version: 1.0\r\n"
                           "Content-Type: text/plain; charset=ISO-2022-JP\r\n"
                           "Content-Transfer-Encoding: 7bit\r\n\r\n"))
        << raw;
    for (unsigned char b : mails[0].raw)
        ASSERT_LT(b, 0x80);
}

// A body far beyond the mail limit arrives whole: nothing is held in a
// buffer sized from the limit.
TEST(MailPeer, LongBodiesArriveWhole) {
    REQUIRE_PEER("VNTRA_SMTP_PORT");
    std::string to = fresh_address("to");
    SettingsRecord settings = peer_settings(peer_port("VNTRA_SMTP_PORT"), to);
    MailRun run(settings);
    run.progress.mail_limit_bytes = 400;
    std::string body;
    std::string expected;
    for (int i = 0; i < 300; ++i) {
        body += "行" + std::to_string(i) + " 予定ｶﾞｲﾄﾞ\r\n";
        expected += utf8("行" + std::to_string(i) + " 予定ガイド\n");
    }
    ASSERT_TRUE(send_mail(run.context, "件名", body, MAIL_QUIET));
    std::vector<testing::StoredMail> mails = stored_mails(to);
    ASSERT_EQ(1u, mails.size());
    std::string decoded = mails[0].decoded;
    std::erase(decoded, '\r');
    EXPECT_EQ(expected, decoded.substr(decoded.find("\n\n") + 2));
}

// Replies in pieces, multi-line replies: every byte on the wire as expected.
TEST(MailPeer, ExactDialogueWithRepliesInPieces) {
    REQUIRE_PEER("VNTRA_ODD_SPLIT_PORT");
    SettingsRecord settings = peer_settings(peer_port("VNTRA_ODD_SPLIT_PORT"), "to@example.jp");
    MailRun run(settings);
    ASSERT_TRUE(send_mail(run.context, "abc", "A\r\n\r\nB\r\n.x\r\n", MAIL_QUIET));
    EXPECT_TRUE(run.ui.messages.empty());

    std::filesystem::path folder = peer_path("VNTRA_ODD_DIR");
    EXPECT_EQ("HELO 127.0.0.1\r\nMAIL FROM: <me@example.jp>\r\nRCPT TO: <to@example.jp>\r\n"
              "DATA\r\nQUIT\r\n",
              wait_for_text(folder / "split.log", "QUIT"));
    std::string raw = read_file_bytes(folder / "split.eml");
    std::string date = raw.substr(raw.find("Date: "), raw.find(" \r\nFrom") - raw.find("Date: "));
    EXPECT_EQ(std::string("Date: Sun, 05 Dec 2004 14:03:07 +0900").size(), date.size()) << date;
    EXPECT_EQ("X-Mailer: Orrin-Mailer\r\nDate: (now)\r\n"
              "From: =?ISO-2022-JP?B?Vm9udGFyYQ==?= <me@example.jp>\r\n"
              "To: to@example.jp \r\nSubject: =?ISO-2022-JP?B?YWJj?= \r\nMIME-Version: 1.0\r\n"
              "Content-Type: text/plain; charset=ISO-2022-JP\r\n"
              "Content-Transfer-Encoding: 7bit\r\n\r\nA\r\nB\r\n..x\r\n",
              without_date(raw));
}

TEST(MailPeer, RefusalsStopTheSession) {
    REQUIRE_PEER("VNTRA_SMTP_PORT");
    struct Case {
        std::string sender;
        std::string recipient;
        std::string recipient2;
        std::string message;
    };
    const std::string said = "メールサーバーがエラーを返しました";
    const Case cases[] = {
        {"bad@example.jp", "to", "", said + "（MAIL FROM）\n553 5.1.8 sender rejected"},
        {"me@example.jp", "refuse", "", said + "（RCPT TO）\n550 5.1.1 user unknown"},
        {"me@example.jp", "to", "refuse", said + "（RCPT TO）\n550 5.1.1 user unknown"},
        {"me@example.jp", "full", "", said + "（本文送信）\n552 5.2.2 mailbox full"},
    };
    for (const Case& c : cases) {
        std::string to = fresh_address(c.recipient);
        SettingsRecord settings = peer_settings(peer_port("VNTRA_SMTP_PORT"), to);
        set_text(settings.sender_address, c.sender);
        if (!c.recipient2.empty())
            set_text(settings.recipient_address2, fresh_address(c.recipient2));
        MailRun run(settings);
        EXPECT_FALSE(send_mail(run.context, "件名", "本文\r\n", MAIL_QUIET));
        ASSERT_EQ(1u, run.ui.messages.size());
        EXPECT_EQ(MESSAGE_ERROR, run.ui.messages[0].style);
        EXPECT_SJIS_EQ(c.message, run.ui.messages[0].text);
        EXPECT_TRUE(stored_mails(to).empty());
    }
}

// 251 ("not local; will forward") accepts a recipient as 250 does, for the
// first and the second recipient alike.
TEST(MailPeer, ForwardedRecipientsAreAccepted) {
    REQUIRE_PEER("VNTRA_SMTP_PORT");
    struct Case {
        std::string recipient;
        std::string recipient2;
    };
    const Case cases[] = {{"forward", ""}, {"to", "forward"}, {"forward", "forward"}};
    for (const Case& c : cases) {
        std::string to = fresh_address(c.recipient);
        SettingsRecord settings = peer_settings(peer_port("VNTRA_SMTP_PORT"), to);
        std::string cc = c.recipient2.empty() ? "" : fresh_address(c.recipient2);
        set_text(settings.recipient_address2, cc);
        MailRun run(settings);
        EXPECT_TRUE(send_mail(run.context, "転送", "本文\r\n", MAIL_QUIET)) << to;
        EXPECT_TRUE(run.ui.messages.empty()) << utf8(run.ui.only_message());
        std::vector<testing::StoredMail> mails = stored_mails(to);
        ASSERT_EQ(1u, mails.size()) << to;
        if (!cc.empty()) {
            EXPECT_NE(std::string::npos, mails[0].envelope.find("RCPT TO " + cc));
        }
    }
}

TEST(MailPeer, AServerThatSaysNoGetsQuitAndNothingElse) {
    REQUIRE_PEER("VNTRA_ODD_REFUSE_PORT");
    SettingsRecord settings = peer_settings(peer_port("VNTRA_ODD_REFUSE_PORT"), "to@example.jp");
    MailRun run(settings);
    EXPECT_FALSE(send_mail(run.context, "件名", "本文\r\n", MAIL_QUIET));
    EXPECT_SJIS_EQ("メールサーバーがエラーを返しました（HELO）\n554 5.7.1 no service for you",
                   run.ui.only_message());
    EXPECT_EQ("HELO 127.0.0.1\r\nQUIT\r\n",
              wait_for_text(peer_path("VNTRA_ODD_DIR") / "refuse.log", "QUIT"));
}

TEST(MailPeer, WaitsAreBounded) {
    REQUIRE_PEER("VNTRA_ODD_SILENT_PORT");
    struct Case {
        const char* smtp_port;
        bool pop;
        std::string message;
    };
    const Case cases[] = {
        {"VNTRA_ODD_SILENT_PORT", false, "メールサーバー（127.0.0.1）から応答がありません"},
        {"VNTRA_ODD_CLOSE_PORT", false, "メールサーバー（127.0.0.1）との接続が切れました"},
        // A POP3 server that never greets.
        {"VNTRA_SMTP_PORT", true, "メールサーバー（127.0.0.1）から応答がありません"},
    };
    for (const Case& c : cases) {
        SettingsRecord settings = peer_settings(peer_port(c.smtp_port), "to@example.jp");
        if (c.pop) {
            settings.pop_before_smtp = 1;
            set_text(settings.pop_server, "127.0.0.1");
            settings.pop_port = peer_port("VNTRA_ODD_SILENT_PORT");
            set_text(settings.pop_account, "vntra");
            set_text(settings.pop_password, "pop-secret");
        }
        MailRun run(settings);
        run.context.options.timeout_ms = SHORT_TIMEOUT_MS;
        int64_t start = monotonic_milliseconds();
        EXPECT_FALSE(send_mail(run.context, "件名", "本文\r\n", MAIL_QUIET));
        EXPECT_LT(monotonic_milliseconds() - start, 5000);
        ASSERT_EQ(1u, run.ui.messages.size());
        EXPECT_EQ(MESSAGE_ERROR, run.ui.messages[0].style);
        EXPECT_SJIS_EQ(c.message, run.ui.messages[0].text);
    }
    EXPECT_EQ(30000, SessionOptions{}.timeout_ms);
}

SettingsRecord pop_settings(const std::string& to, const std::string& password) {
    SettingsRecord settings = peer_settings(peer_port("VNTRA_SMTP_PORT"), to);
    settings.pop_before_smtp = 1;
    set_text(settings.pop_server, "127.0.0.1");
    settings.pop_port = peer_port("VNTRA_POP_PORT");
    set_text(settings.pop_account, "vntra");
    set_text(settings.pop_password, password);
    return settings;
}

TEST(MailPeer, PopBeforeSmtp) {
    REQUIRE_PEER("VNTRA_POP_PORT");
    const std::string login = "Login: user=<vntra>";
    std::filesystem::path log = peer_path("VNTRA_POP_LOG");
    size_t logins = count_of(read_file_bytes(log), login);

    std::string to = fresh_address("to");
    SettingsRecord settings = pop_settings(to, "pop-secret");
    MailRun run(settings);
    ASSERT_TRUE(send_mail(run.context, "件名", "本文\r\n", MAIL_QUIET));
    EXPECT_TRUE(run.ui.messages.empty());
    EXPECT_EQ(1u, stored_mails(to).size());
    int64_t deadline = monotonic_milliseconds() + 5000;
    while (count_of(read_file_bytes(log), login) == logins && monotonic_milliseconds() < deadline) {
    }
    EXPECT_EQ(logins + 1, count_of(read_file_bytes(log), login));

    // A refused login stops everything before SMTP.
    std::string to2 = fresh_address("to");
    SettingsRecord wrong = pop_settings(to2, "not-the-password");
    MailRun refused(wrong);
    EXPECT_FALSE(send_mail(refused.context, "件名", "本文\r\n", MAIL_QUIET));
    ASSERT_EQ(1u, refused.ui.messages.size());
    EXPECT_EQ(MESSAGE_ERROR, refused.ui.messages[0].style);
    EXPECT_EQ(0u, refused.ui.messages[0].text.find("POPサーバーにログインできませんでした\n-ERR"))
        << testing::readable(refused.ui.messages[0].text);
    EXPECT_TRUE(stored_mails(to2).empty());
}

TEST(MailPeer, PortZeroWithoutServiceUsesTheDefault) {
    REQUIRE_PEER("VNTRA_SMTP_PORT");
    std::string to = fresh_address("to");
    SettingsRecord settings = peer_settings(0, to);
    MailRun run(settings);
    run.context.options.port_service = "vntra-no-such-service";
    run.context.options.default_port = peer_port("VNTRA_SMTP_PORT");
    ASSERT_TRUE(send_mail(run.context, "件名", "本文\r\n", MAIL_QUIET));
    ASSERT_EQ(1u, run.ui.messages.size());
    EXPECT_EQ(MESSAGE_NOTICE, run.ui.messages[0].style);
    EXPECT_SJIS_EQ("ポート指定がされていないので、デフォルトを使います", run.ui.messages[0].text);
    EXPECT_EQ(1u, stored_mails(to).size());
}

TEST(MailPeer, UnknownServerName) {
    REQUIRE_PEER("VNTRA_SMTP_PORT");
    SettingsRecord settings = peer_settings(25, "to@example.jp");
    set_text(settings.smtp_server, "nonexistent.invalid");
    MailRun run(settings);
    EXPECT_FALSE(send_mail(run.context, "件名", "本文\r\n", MAIL_QUIET));
    EXPECT_SJIS_EQ("nonexistent.invalidが見つかりません", run.ui.only_message());
}

// The converted lines, escapes included, are longer than the caller counted;
// the bar still stops at its total.
TEST(MailPeer, ProgressNeverPassesTheTotal) {
    REQUIRE_PEER("VNTRA_SMTP_PORT");
    struct Case {
        int32_t total;
        std::vector<int32_t> steps;
    };
    // "会議" is 4 bytes, its converted line 10 and CR LF; "ab" is 2 and CR LF.
    const Case cases[] = {{100, {12, 4}}, {14, {12, 2}}, {5, {5}}, {0, {}}};
    for (const Case& c : cases) {
        SettingsRecord settings = peer_settings(peer_port("VNTRA_SMTP_PORT"), fresh_address("to"));
        MailRun run(settings);
        run.progress.progress_total = c.total;
        ASSERT_TRUE(send_mail(run.context, "件名", "会議\r\nab\r\n", MAIL_PROGRESS));
        EXPECT_EQ(c.steps, run.ui.steps);
        int32_t done = 0;
        for (int32_t step : c.steps)
            done += step;
        EXPECT_EQ(done, run.progress.progress_done);
    }
}

std::vector<ScheduleListEntry> todo_list(std::initializer_list<const char*> contents) {
    std::vector<ScheduleListEntry> list;
    for (const char* content : contents) {
        ScheduleListEntry& entry = list.emplace_back();
        entry.record = blank_record();
        entry.record.kind = KIND_TODO;
        set_text(entry.record.content, content);
    }
    return list;
}

// Month rows whose items are 150 bytes each: 125 bytes of text around them.
std::string row_of_150(int n) {
    std::string content = std::to_string(n) + "番目";
    while (content.size() < 125)
        content += "予";
    return "12月" + std::string(n < 10 ? "0" : "") + std::to_string(n) + "日 18:00-21:00  " +
           content.substr(0, 125);
}

TEST(MailPeerCommand, PacksSchedulesThenSendsTodos) {
    REQUIRE_PEER("VNTRA_SMTP_PORT");
    std::string to = fresh_address("to");
    SettingsRecord settings = peer_settings(peer_port("VNTRA_SMTP_PORT"), to);
    settings.send_todo = 1;
    settings.mail_size_choice = 1; // 400 bytes
    std::vector<std::string> rows = {row_of_150(1), row_of_150(2), row_of_150(3)};
    ASSERT_EQ(150, make_line_item(rows[0], MONTH_LINE_SPLIT).size);
    std::vector<ScheduleListEntry> entries(rows.size());
    std::vector<ScheduleListEntry> todos = todo_list({"買い物", "ｸﾘｰﾆﾝｸﾞ"});
    MailRun run(settings);
    ScheduleMailSource source{entries, rows, MONTH_LINE_SPLIT, todos};
    ASSERT_TRUE(send_schedule_mails(run.context, source, MONTH_SUBJECTS, {12, 0}));

    // The ToDo items count as they arrive: 買い物 9, クリーニング (sent
    // full-width) 12 + 2 + 1.
    EXPECT_EQ((std::vector<std::string>{"button off", "range 450", "reset", "range 24", "reset",
                                        "message", "button on"}),
              run.ui.calls);
    EXPECT_EQ(MESSAGE_NOTICE, run.ui.messages[0].style);
    EXPECT_SJIS_EQ("2件のスケジュールメールと1件のＴｏＤｏメールを送信しました",
                   run.ui.only_message());
    std::vector<testing::StoredMail> mails = stored_mails(to);
    ASSERT_EQ(3u, mails.size());
    EXPECT_EQ(0u, mails[0].decoded.find(utf8("Subject: 12月のスケジュール No.1 \n")));
    EXPECT_NE(std::string::npos, mails[0].decoded.find(utf8("2番目")));
    EXPECT_EQ(0u, mails[1].decoded.find(utf8("Subject: 12月のスケジュール No.2 \n")));
    EXPECT_NE(std::string::npos, mails[1].decoded.find(utf8("3番目")));
    EXPECT_EQ(0u, mails[2].decoded.find(utf8("Subject: ＴｏＤｏリスト \n")));
    EXPECT_NE(std::string::npos, mails[2].decoded.find(utf8("クリーニング")));
}

TEST(MailPeerCommand, TodosAloneAndTheSpecialFormat) {
    REQUIRE_PEER("VNTRA_SMTP_PORT");
    struct Case {
        bool with_schedule;
        std::string subject;
        std::string message;
    };
    const Case cases[] = {
        {false, "ＴｏＤｏリスト", "1件のＴｏＤｏメールを送信しました"},
        {true, "12月24日のスケジュール", "1件のスケジュールメールを送信しました"},
    };
    for (const Case& c : cases) {
        std::string to = fresh_address("to");
        SettingsRecord settings = peer_settings(peer_port("VNTRA_SMTP_PORT"), to);
        settings.send_todo = c.with_schedule ? 0 : 1;
        settings.format_enabled = 1;
        settings.format_start_date = settings.format_content = 1;
        set_text(settings.start_date_format, "DATE:yyyy/mm/dd/hh:nn");
        set_text(settings.content_prefix, "PLAN:");
        std::vector<ScheduleListEntry> entries = todo_list({"会議"});
        entries[0].record.kind = KIND_TIME_RANGE;
        entries[0].record.start_year = 2004;
        entries[0].record.start_month = 12;
        entries[0].record.start_day = 24;
        entries[0].record.start_hour = 18;
        std::vector<ScheduleListEntry> todos = todo_list({"a", "b", "c"});
        MailRun run(settings);
        ScheduleMailSource source;
        if (c.with_schedule)
            source.entries = entries;
        source.todo_entries = todos;
        ASSERT_TRUE(send_schedule_mails(run.context, source, DAY_SUBJECTS, {12, 24}));
        EXPECT_SJIS_EQ(c.message, run.ui.only_message());
        std::vector<testing::StoredMail> mails = stored_mails(to);
        ASSERT_EQ(1u, mails.size());
        EXPECT_EQ(0u, mails[0].decoded.find(utf8("Subject: " + c.subject + " \n")));
        std::string wanted = c.with_schedule ? "DATE:2004/12/24/18:00\nPLAN:会議\n" : "a\nb\nc\n";
        std::string decoded = mails[0].decoded;
        std::erase(decoded, '\r');
        EXPECT_NE(std::string::npos, decoded.find(utf8(wanted))) << decoded;
    }
}

TEST(MailPeerCommand, AFailedSendStopsTheRest) {
    REQUIRE_PEER("VNTRA_SMTP_PORT");
    // This peer mailbox takes one message and refuses the next.
    std::string to = fresh_address("onlyone");
    SettingsRecord settings = peer_settings(peer_port("VNTRA_SMTP_PORT"), to);
    settings.send_todo = 1;
    std::vector<std::string> rows = {row_of_150(1), row_of_150(2), row_of_150(3)};
    std::vector<ScheduleListEntry> entries(rows.size());
    std::vector<ScheduleListEntry> todos = todo_list({"買い物"});
    MailRun run(settings);
    ScheduleMailSource source{entries, rows, MONTH_LINE_SPLIT, todos};
    EXPECT_FALSE(send_schedule_mails(run.context, source, WEEK_SUBJECTS, {12, 6}));
    EXPECT_EQ((std::vector<std::string>{"button off", "range 450", "message", "button on"}),
              run.ui.calls);
    EXPECT_SJIS_EQ("メールサーバーがエラーを返しました（本文送信）\n552 5.2.2 mailbox full",
                   run.ui.only_message());
    std::vector<testing::StoredMail> mails = stored_mails(to);
    ASSERT_EQ(1u, mails.size());
    EXPECT_EQ(0u, mails[0].decoded.find(utf8("Subject: 12月第6週のスケジュール No.1 \n")));
}

TEST(MailPeerCommand, AStopAskedForEndsBetweenMails) {
    REQUIRE_PEER("VNTRA_SMTP_PORT");
    std::string to = fresh_address("to");
    SettingsRecord settings = peer_settings(peer_port("VNTRA_SMTP_PORT"), to);
    settings.send_todo = 1;
    settings.mail_size_choice = 1;
    std::vector<std::string> rows = {row_of_150(1), row_of_150(2), row_of_150(3)};
    std::vector<ScheduleListEntry> entries(rows.size());
    std::vector<ScheduleListEntry> todos = todo_list({"買い物"});
    MailRun run(settings);
    run.ui.stop_from = 2;
    ScheduleMailSource source{entries, rows, MONTH_LINE_SPLIT, todos};
    EXPECT_FALSE(send_schedule_mails(run.context, source, MONTH_SUBJECTS, {12, 0}));
    // The first mail went out whole; no second one, no ToDo mail, no result.
    EXPECT_EQ((std::vector<std::string>{"button off", "range 450", "button on"}), run.ui.calls);
    std::vector<testing::StoredMail> mails = stored_mails(to);
    ASSERT_EQ(1u, mails.size());
    EXPECT_EQ(0u, mails[0].decoded.find(utf8("Subject: 12月のスケジュール No.1 \n")));
}

} // namespace
} // namespace vntra
