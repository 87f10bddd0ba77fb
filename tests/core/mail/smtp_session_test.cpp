// The session and the commands where no server is needed: texts, the guard
// on settings, and failures found before or at the connect.
#include <gtest/gtest.h>

#include "core/mail/mail_test_support.h"
#include "mail/mail_settings_check.h"
#include "mail/schedule_mail.h"
#include "mail/smtp_session.h"
#include "support/sjis_assert.h"

namespace vntra {
namespace {

using testing::MailRun;
using testing::RecordingUi;

// Loopback port 1: nothing listens there, so a connect is refused at once.
const int CLOSED_PORT = 1;

TEST(MailSession, DateHeaderText) {
    struct Case {
        LocalTimeStamp time;
        std::string text;
    };
    const Case cases[] = {
        {{2004, 12, 5, 14, 3, 7, 0, 540}, "Sun, 05 Dec 2004 14:03:07 +0900"},
        {{2004, 1, 31, 0, 0, 0, 6, 0}, "Sat, 31 Jan 2004 00:00:00 +0000"},
        {{2024, 7, 1, 23, 59, 59, 1, 330}, "Mon, 01 Jul 2024 23:59:59 +0530"},
        {{2024, 7, 1, 9, 5, 0, 1, -570}, "Mon, 01 Jul 2024 09:05:00 -0930"},
        {{2024, 11, 3, 8, 0, 0, 0, -300}, "Sun, 03 Nov 2024 08:00:00 -0500"},
        {{2024, 2, 29, 12, 0, 0, 4, 765}, "Thu, 29 Feb 2024 12:00:00 +1245"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.text, format_mail_date(c.time));
}

TEST(MailSession, LocalTimeIsPlausible) {
    LocalTimeStamp now = current_local_time();
    EXPECT_GE(now.year, 2020);
    EXPECT_TRUE(now.month >= 1 && now.month <= 12);
    EXPECT_TRUE(now.day >= 1 && now.day <= 31);
    EXPECT_TRUE(now.hour >= 0 && now.hour <= 23);
    EXPECT_TRUE(now.weekday >= 0 && now.weekday <= 6);
    EXPECT_LE(now.utc_offset_minutes, 14 * 60);
    EXPECT_GE(now.utc_offset_minutes, -12 * 60);
    int64_t before = monotonic_milliseconds();
    EXPECT_GE(monotonic_milliseconds(), before);
}

SettingsRecord closed_settings() {
    SettingsRecord s = testing::peer_settings(CLOSED_PORT, "to@example.jp");
    set_text(s.pop_server, "127.0.0.1");
    s.pop_port = CLOSED_PORT;
    set_text(s.pop_account, "vntra");
    set_text(s.pop_password, "pop-secret");
    return s;
}

// A setting with a line end could add commands of its own to the dialogue;
// it is refused before anything is connected.
TEST(MailSession, RefusesControlCharactersBeforeConnecting) {
    struct Case {
        void (*spoil)(SettingsRecord&);
        std::string message; // empty: the setting is not used, so the session connects
    };
    const std::string tail = "に改行などの制御文字が含まれています。設定を確認して下さい";
    const Case cases[] = {
        {[](SettingsRecord& s) { set_text(s.smtp_server, "127.0.0.1\r\nRSET"); },
         "送信メールサーバー" + tail},
        {[](SettingsRecord& s) { set_text(s.sender_address, "me@example.jp>\r\nRCPT TO: <x@y"); },
         "差出人メールアドレス" + tail},
        {[](SettingsRecord& s) { set_text(s.recipient_address, "to@example.jp\n"); },
         "あて先メールアドレス" + tail},
        {[](SettingsRecord& s) { set_text(s.recipient_address2, "cc@example.jp\t"); },
         "あて先メールアドレス２" + tail},
        {[](SettingsRecord& s) {
             s.pop_before_smtp = 1;
             set_text(s.pop_server, "127.0.0.1\x1B");
         },
         "受信メールサーバー" + tail},
        {[](SettingsRecord& s) {
             s.pop_before_smtp = 1;
             set_text(s.pop_account, "vntra\rDELE 1");
         },
         "アカウント" + tail},
        {[](SettingsRecord& s) {
             s.pop_before_smtp = 1;
             set_text(s.pop_password, "pop\x7F");
         },
         "パスワード" + tail},
        {[](SettingsRecord& s) { set_text(s.pop_password, "pop\r\n"); }, ""},
        // Japanese text is no control character, trail bytes included.
        {[](SettingsRecord& s) { set_text(s.recipient_address2, "予定表@example.jp"); }, ""},
    };
    for (const Case& c : cases) {
        SettingsRecord settings = closed_settings();
        c.spoil(settings);
        MailRun run(settings);
        EXPECT_FALSE(send_mail(run.context, "件名", "本文\r\n", MAIL_QUIET));
        ASSERT_EQ(1u, run.ui.messages.size());
        EXPECT_EQ(MESSAGE_ERROR, run.ui.messages[0].style);
        EXPECT_SJIS_EQ(c.message.empty() ? "サーバーソケットに接続失敗" : c.message,
                       run.ui.messages[0].text);
    }
}

TEST(MailSession, ConnectFailures) {
    struct Case {
        int pop_before_smtp;
        int pop_port;
        MessageStyle style;
    };
    // The POP3 stage keeps its plain "Error" boxes; port 0 gets no default there.
    const Case cases[] = {
        {0, CLOSED_PORT, MESSAGE_ERROR},
        {1, CLOSED_PORT, MESSAGE_PLAIN_ERROR},
        {1, 0, MESSAGE_PLAIN_ERROR},
    };
    for (const Case& c : cases) {
        SettingsRecord settings = closed_settings();
        settings.pop_before_smtp = c.pop_before_smtp;
        settings.pop_port = c.pop_port;
        MailRun run(settings);
        EXPECT_FALSE(send_mail(run.context, "件名", "本文\r\n", MAIL_QUIET));
        ASSERT_EQ(1u, run.ui.messages.size());
        EXPECT_EQ(c.style, run.ui.messages[0].style);
        EXPECT_SJIS_EQ("サーバーソケットに接続失敗", run.ui.messages[0].text);
    }
}

TEST(MailSession, PortZeroAsksTheServicesDatabaseFirst) {
    SettingsRecord settings = closed_settings();
    settings.smtp_port = 0;
    MailRun run(settings);
    run.context.options.port_service = "vntra-no-such-service";
    run.context.options.default_port = CLOSED_PORT;
    EXPECT_FALSE(send_mail(run.context, "件名", "本文\r\n", MAIL_QUIET));
    ASSERT_EQ(2u, run.ui.messages.size());
    EXPECT_EQ(MESSAGE_NOTICE, run.ui.messages[0].style);
    EXPECT_SJIS_EQ("ポート指定がされていないので、デフォルトを使います", run.ui.messages[0].text);
    EXPECT_SJIS_EQ("サーバーソケットに接続失敗", run.ui.messages[1].text);
    EXPECT_EQ(DEFAULT_SMTP_PORT, SessionOptions{}.default_port);
}

TEST(MailSettingsGuard, CompleteSettingsPassWithoutAWord) {
    SettingsRecord settings = closed_settings();
    RecordingUi ui;
    EXPECT_TRUE(check_mail_settings(ui, settings));
    EXPECT_TRUE(ui.calls.empty());
}

TEST(MailSettingsGuard, IncompleteSettingsOpenTheSheet) {
    struct Case {
        void (*clear)(SettingsRecord&);
        bool sheet_fills_in;
        bool result;
    };
    const Case cases[] = {
        {[](SettingsRecord& s) { s.smtp_server[0] = '\0'; }, false, false},
        {[](SettingsRecord& s) { s.sender_address[0] = '\0'; }, false, false},
        {[](SettingsRecord& s) { s.recipient_address[0] = '\0'; }, false, false},
        {[](SettingsRecord& s) { s.recipient_address[0] = '\0'; }, true, true},
    };
    for (const Case& c : cases) {
        SettingsRecord settings = closed_settings();
        c.clear(settings);
        RecordingUi ui;
        ui.on_sheet = [&] {
            if (c.sheet_fills_in)
                settings = closed_settings();
        };
        EXPECT_EQ(c.result, check_mail_settings(ui, settings));
        EXPECT_EQ((std::vector<std::string>{"message", "sheet"}), ui.calls);
        EXPECT_EQ(MESSAGE_NOTICE, ui.messages[0].style);
        EXPECT_SJIS_EQ("メール関係の設定を行って下さい", ui.messages[0].text);
    }
    // The second recipient is optional.
    SettingsRecord settings = closed_settings();
    settings.recipient_address2[0] = '\0';
    EXPECT_TRUE(mail_settings_complete(settings));
}

TEST(MailCommand, NothingToSend) {
    ScheduleListEntry todo{};
    todo.record = blank_record();
    todo.record.kind = KIND_TODO;
    set_text(todo.record.content, "買い物");
    struct Case {
        int32_t send_todo;
        size_t todo_count;
        std::string message;
    };
    const Case cases[] = {
        {1, 0, "スケジュール等がありません"},
        {0, 0, "スケジュールがありません"},
        {0, 1, "スケジュールがありません"}, // ToDo items are not sent when switched off
    };
    for (const Case& c : cases) {
        SettingsRecord settings = closed_settings();
        settings.send_todo = c.send_todo;
        MailRun run(settings);
        ScheduleMailSource source;
        source.todo_entries = std::span<const ScheduleListEntry>(&todo, c.todo_count);
        EXPECT_FALSE(send_schedule_mails(run.context, source, MONTH_SUBJECTS, {12, 0}));
        EXPECT_EQ((std::vector<std::string>{"message"}), run.ui.calls); // the button stays as it is
        EXPECT_EQ(MESSAGE_ERROR, run.ui.messages[0].style);
        EXPECT_SJIS_EQ(c.message, run.ui.messages[0].text);
    }
}

TEST(MailCommand, IncompleteSettingsEndTheCommandQuietly) {
    SettingsRecord settings = closed_settings();
    settings.smtp_server[0] = '\0';
    MailRun run(settings);
    std::string row = "12月24日 18:00-21:00  会議";
    ScheduleListEntry entry{};
    ScheduleMailSource source;
    source.entries = std::span<const ScheduleListEntry>(&entry, 1);
    source.rows = std::span<const std::string>(&row, 1);
    EXPECT_FALSE(send_schedule_mails(run.context, source, MONTH_SUBJECTS, {12, 0}));
    EXPECT_EQ((std::vector<std::string>{"message", "sheet"}), run.ui.calls);
}

TEST(MailCommand, AFailedSendEnablesTheButtonAgain) {
    SettingsRecord settings = closed_settings();
    MailRun run(settings);
    std::string row = "12月24日 18:00-21:00  会議";
    ScheduleListEntry entry{};
    ScheduleMailSource source;
    source.entries = std::span<const ScheduleListEntry>(&entry, 1);
    source.rows = std::span<const std::string>(&row, 1);
    EXPECT_FALSE(send_schedule_mails(run.context, source, MONTH_SUBJECTS, {12, 0}));
    int32_t size = make_line_item(row, MONTH_LINE_SPLIT).size;
    EXPECT_EQ((std::vector<std::string>{"button off", "range " + std::to_string(size), "message",
                                        "button on"}),
              run.ui.calls);
    EXPECT_SJIS_EQ("サーバーソケットに接続失敗", run.ui.only_message());
    EXPECT_EQ(400, run.progress.mail_limit_bytes);
}

// What follows DATA, as the server must read it: CR LF line ends, no empty
// lines, and a "." at a line's start doubled so that only the last line ends
// the mail.
TEST(MailSession, BodyOnTheWire) {
    struct Case {
        std::string converted;
        std::string wire;
        std::vector<int32_t> line_sizes;
    };
    const Case cases[] = {
        {"", "", {}},
        {"A\nB", "A\r\nB\r\n", {3, 3}},
        {"A\n\n\nB\n", "A\r\nB\r\n", {3, 3}},
        {".", "..\r\n", {3}},
        {".x\n..\nx.\n", "..x\r\n...\r\nx.\r\n", {4, 4, 4}},
        {" .\n.\r", " .\r\n..\r\r\n", {4, 4}},
        {"\x1B$B%F\x1B(B\n", "\x1B$B%F\x1B(B\r\n", {10}},
    };
    for (const Case& c : cases) {
        std::vector<int32_t> sizes;
        EXPECT_EQ(c.wire, wire_body(c.converted, &sizes)) << c.converted;
        EXPECT_EQ(c.line_sizes, sizes) << c.converted;
    }
    // Whatever the text, no line of the wire form is the lone "." that ends the mail.
    std::string text = ".\n.\n..\n";
    std::string wire = wire_body(text);
    EXPECT_EQ(std::string::npos, ("\r\n" + wire).find("\r\n.\r\n"));
}

} // namespace
} // namespace vntra
