// Reminder mails through the real session: the one with nothing listening
// runs everywhere; the peer cases run in scripts/stages/mail-peers.sh.
#include "reminders/reminder_mail.h"

#include <gtest/gtest.h>

#include "core/mail/mail_test_support.h"
#include "support/data_file_fixture.h"
#include "support/records.h"
#include "support/sjis_assert.h"

namespace vntra {
namespace {

using testing::fresh_address;
using testing::MailRun;
using testing::peer_port;
using testing::peer_settings;
using testing::stored_mails;

const LocalTimeStamp NOW = {2004, 3, 15, 9, 50, 0, 1, 540};

ScheduleRecord meeting_with_reminder() {
    ScheduleRecord r =
        testing::dated_record(KIND_TIME_RANGE, {2004, 3, 15}, {2004, 3, 15}, "会議", "本社");
    r.start_hour = 10;
    r.end_hour = 11;
    r.reminder_state = TRIGGER_ARMED;
    r.reminder_year = 2004;
    r.reminder_month = 3;
    r.reminder_day = 15;
    r.reminder_hour = 9;
    r.reminder_minute = 45;
    return r;
}

class MailReminder : public testing::DataFileTest {
  protected:
    int32_t reminder_state() {
        ScheduleRecord r{};
        EXPECT_TRUE(read_record(store, 1, r));
        return r.reminder_state;
    }

    // One scan's reminders, sent and settled as the window does it.
    size_t scan_and_send(MailRun& run, size_t& messages) {
        ScanPlan plan = plan_scan(store, NOW, memory);
        run.ui.messages.clear();
        for (const ReminderMail& mail : plan.reminders)
            settle_reminder(store, memory, mail, send_reminder(run.context, mail));
        messages = run.ui.messages.size();
        return plan.reminders.size();
    }

    TriggerMemory memory;
};

// Without any server: a mail sent or refused for good is done; one that may
// pass stays armed, and its next attempt fails without another box.
TEST_F(MailReminder, SettledByHowTheSendEnded) {
    add(meeting_with_reminder());
    for (MailOutcome outcome : {MAIL_SENT, MAIL_REFUSED, MAIL_MAY_PASS}) {
        memory = TriggerMemory();
        ScanPlan plan = plan_scan(store, NOW, memory);
        ASSERT_EQ(1u, plan.reminders.size());
        settle_reminder(store, memory, plan.reminders[0], outcome);
        bool may_pass = outcome == MAIL_MAY_PASS;
        EXPECT_EQ(may_pass ? TRIGGER_ARMED : TRIGGER_DONE, reminder_state()) << outcome;
        EXPECT_EQ(may_pass, memory.failure_shown(plan.reminders[0].record)) << outcome;
        ASSERT_TRUE(rewrite_record(store, plan.reminders[0].record));
    }
}

// The user is away from the computer; that is why the mail was wanted. A
// mail that did not go out keeps its reminder armed and is tried again at
// every scan, with one box for the user, not one a minute.
TEST_F(MailReminder, AFailureThatMayPassIsRetriedQuietly) {
    add(meeting_with_reminder());
    SettingsRecord settings = peer_settings(1, "to@example.jp"); // nothing listens on port 1
    settings.mail_size_choice = 3;
    MailRun run(settings);
    size_t messages = 0;
    EXPECT_EQ(1u, scan_and_send(run, messages));
    EXPECT_EQ(1u, messages);
    EXPECT_SJIS_EQ("サーバーソケットに接続失敗", run.ui.messages[0].text);
    EXPECT_EQ(MAIL_MAY_PASS, run.context.outcome);
    EXPECT_EQ(768, run.progress.mail_limit_bytes);
    EXPECT_EQ(TRIGGER_ARMED, reminder_state());
    for (int scan = 0; scan < 3; ++scan) {
        EXPECT_EQ(1u, scan_and_send(run, messages));
        EXPECT_EQ(0u, messages);
        EXPECT_EQ(TRIGGER_ARMED, reminder_state());
    }
    // A new time for the reminder is a new reminder: its failure is shown.
    ScheduleRecord moved{};
    ASSERT_TRUE(read_record(store, 1, moved));
    moved.reminder_minute = 50;
    ASSERT_TRUE(rewrite_record(store, moved));
    EXPECT_EQ(1u, scan_and_send(run, messages));
    EXPECT_EQ(1u, messages);
}

TEST_F(MailReminder, PeerRetriedReminderGoesOutOnceTheServerAnswers) {
    REQUIRE_PEER("VNTRA_SMTP_PORT");
    add(meeting_with_reminder());
    std::string to = fresh_address("reminder");
    SettingsRecord settings = peer_settings(1, to);
    MailRun run(settings);
    size_t messages = 0;
    scan_and_send(run, messages);
    ASSERT_EQ(TRIGGER_ARMED, reminder_state());
    settings.smtp_port = peer_port("VNTRA_SMTP_PORT");
    EXPECT_EQ(1u, scan_and_send(run, messages));
    EXPECT_EQ(0u, messages);
    EXPECT_EQ(TRIGGER_DONE, reminder_state());
    EXPECT_TRUE(memory.empty());
    EXPECT_EQ(0u, scan_and_send(run, messages));
    std::vector<testing::StoredMail> mails = stored_mails(to);
    ASSERT_EQ(1u, mails.size());
    std::string decoded = mails[0].decoded;
    std::erase(decoded, '\r');
    EXPECT_EQ(
        sjis_to_utf8("Subject: リマインドメール（お知らせ） \nFrom: Vontara <me@example.jp>\n\n"
                     "03月15日\n10:00-11:00\n会議：本社\n"),
        decoded);
}

TEST_F(MailReminder, PeerRefusalIsFinal) {
    REQUIRE_PEER("VNTRA_SMTP_PORT");
    add(meeting_with_reminder());
    std::string to = fresh_address("refuse");
    SettingsRecord settings = peer_settings(peer_port("VNTRA_SMTP_PORT"), to);
    MailRun run(settings);
    size_t messages = 0;
    EXPECT_EQ(1u, scan_and_send(run, messages));
    EXPECT_EQ(1u, messages);
    EXPECT_EQ(MAIL_REFUSED, run.context.outcome);
    EXPECT_EQ(TRIGGER_DONE, reminder_state());
    EXPECT_EQ(0u, scan_and_send(run, messages));
    EXPECT_TRUE(stored_mails(to).empty());
}

TEST_F(MailReminder, PeerBusyServerKeepsTheReminder) {
    REQUIRE_PEER("VNTRA_SMTP_PORT");
    add(meeting_with_reminder());
    SettingsRecord settings = peer_settings(peer_port("VNTRA_SMTP_PORT"), fresh_address("busy"));
    MailRun run(settings);
    size_t messages = 0;
    EXPECT_EQ(1u, scan_and_send(run, messages));
    EXPECT_EQ(1u, messages);
    EXPECT_EQ(TRIGGER_ARMED, reminder_state());
    EXPECT_EQ(1u, scan_and_send(run, messages));
    EXPECT_EQ(0u, messages);
}

} // namespace
} // namespace vntra
