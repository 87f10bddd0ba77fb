// When the timed mails are due, what they carry, and how their sending ends
// (the last against the SMTP peer of scripts/stages/mail-peers.sh).
#include <gtest/gtest.h>

#include "core/mail/mail_test_support.h"
#include "platform/file_io.h"
#include "support/data_file_fixture.h"
#include "support/records.h"
#include "support/sjis_assert.h"
#include "timed_mail/timed_mail_compose.h"
#include "timed_mail/timed_mail_send.h"
#include "timed_mail/timed_schedule.h"

namespace vntra {
namespace {

const TimedMailKind D = TIMED_DAILY;
const TimedMailKind W = TIMED_WEEKLY;

// The clock of a scan on a day (its date key) at hhmm.
LocalTimeStamp at(int32_t day, int hhmm) {
    return {day / 10000, day / 100 % 100, day % 100, hhmm / 100, hhmm % 100, 0, 0, 540};
}

// The daily mail at hhmm and the weekly one at dhhmm (weekday, hour,
// minute); -1 leaves a mail off.
SettingsRecord timed_settings(int daily, int weekly, int target) {
    SettingsRecord s = default_settings("C:\\");
    s.daily_on = daily >= 0;
    s.weekly_on = weekly >= 0;
    s.daily_hour = daily / 100;
    s.daily_minute = daily % 100;
    s.weekly_weekday = weekly / 10000;
    s.weekly_hour = weekly / 100 % 100;
    s.weekly_minute = weekly % 100;
    s.daily_target = s.weekly_target = target;
    return s;
}

TEST(TimedSchedule, DecisionTable) {
    struct Row {
        TimedMailKind kind;
        int set, target;
        TimedMailProgress progress;
        int32_t day, hhmm;
        TimedDecision decision;
        int32_t mails_arrived = 0;
        int32_t carried = 0; // the date key, when due
    };
    const int32_t DEC9 = 20251209;
    const Row rows[] = {
        // Daily at 7:00: early, on time, caught up, sent, a retry after one mail
        // went out, refused for the day (not the next), late after midnight.
        {D, 700, 0, {}, 20251209, 659, TIMED_NOT_YET},
        {D, 700, 0, {}, 20251209, 700, TIMED_DUE, 0, DEC9},
        {D, 700, 0, {20251208, 1, PERIOD_ARRIVED}, 20251209, 1320, TIMED_DUE, 0, DEC9},
        {D, 700, 0, {DEC9, 2, PERIOD_ARRIVED}, 20251209, 700, TIMED_ALREADY_SENT},
        {D, 700, 0, {DEC9, 1, PERIOD_IN_PROGRESS}, 20251209, 705, TIMED_DUE, 1, DEC9},
        {D, 700, 0, {DEC9, 0, PERIOD_STOPPED}, 20251209, 1800, TIMED_STOPPED},
        {D, 700, 0, {DEC9, 0, PERIOD_STOPPED}, 20251210, 700, TIMED_DUE, 0, 20251210},
        {D, 700, 0, {DEC9, 1, PERIOD_IN_PROGRESS}, 20251210, 0, TIMED_NOT_YET},
        // The clock set back within the day, and to the day before.
        {D, 700, 0, {DEC9, 1, PERIOD_ARRIVED}, 20251209, 630, TIMED_ALREADY_SENT},
        {D, 700, 0, {DEC9, 1, PERIOD_ARRIVED}, 20251208, 2300, TIMED_CLOCK_SET_BACK},
        // Tomorrow's plans over a month end and into a new year.
        {D, 700, 1, {}, 20260131, 700, TIMED_DUE, 0, 20260201},
        {D, 2355, 1, {}, 20251231, 2359, TIMED_DUE, 0, 20260101},
        {D, 2400, 0, {}, 20251209, 2359, TIMED_OFF}, // a hand-edited hour never comes
        // Mondays at 7:00, the week of Sunday 11-30 to Saturday 12-06: before,
        // on time, late that Monday, too late on Tuesday, sent, then moved.
        {W, 10700, 0, {}, 20251130, 900, TIMED_NOT_YET},
        {W, 10700, 0, {}, 20251201, 700, TIMED_DUE, 0, 20251130},
        {W, 10700, 0, {20251123, 1, PERIOD_ARRIVED}, 20251201, 2359, TIMED_DUE, 0, 20251130},
        {W, 10700, 0, {}, 20251202, 700, TIMED_TOO_LATE},
        {W, 10700, 0, {20251130, 3, PERIOD_ARRIVED}, 20251201, 710, TIMED_ALREADY_SENT},
        {W, 60700, 1, {20251130, 1, PERIOD_ARRIVED}, 20251206, 700, TIMED_ALREADY_SENT},
        // Next week over the year end; the clock set back a week.
        {W, 60700, 1, {}, 20251227, 700, TIMED_DUE, 0, 20251228},
        {W, 10700, 0, {20251207, 1, PERIOD_ARRIVED}, 20251201, 700, TIMED_CLOCK_SET_BACK},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        const Row& row = rows[i];
        SettingsRecord s = row.kind == D ? timed_settings(row.set, -1, row.target)
                                         : timed_settings(-1, row.set, row.target);
        timed_progress(s, row.kind) = row.progress;
        TimedPlan plan = plan_timed_mail(row.kind, s, at(row.day, row.hhmm));
        EXPECT_EQ(row.decision, plan.decision) << "row " << i;
        EXPECT_EQ(row.mails_arrived, plan.mails_arrived) << "row " << i;
        EXPECT_EQ(row.carried, plan.decision == TIMED_DUE ? make_date_key(plan.carried) : 0)
            << "row " << i;
    }
}

TEST(TimedSchedule, NextSendLine) {
    struct Row {
        int daily, weekly; // as timed_settings takes them
        int32_t day, hhmm;
        const char* line;
    };
    const Row rows[] = {
        {-1, -1, 20251209, 600, ""},
        // One waiting to be tried again shows its own minute.
        {700, -1, 20251209, 930, "次の定時送信：12月9日 7:00 今日の予定"},
        {805, 10700, 20251208, 600, "次の定時送信：12月8日 7:00 今週の予定"},
        {-1, 10700, 20251209, 600, "次の定時送信：12月15日 7:00 今週の予定"},
    };
    for (const Row& row : rows) {
        SettingsRecord s = timed_settings(row.daily, row.weekly, TARGET_THIS);
        EXPECT_SJIS_EQ(row.line, next_timed_mail_text(s, at(row.day, row.hhmm))) << row.day;
    }
}

using testing::dated_record;
using testing::timed_record;

class TimedMailCompose : public testing::DataFileTest {
  protected:
    void SetUp() override {
        DataFileTest::SetUp();
        add(dated_record(KIND_DATE_SPAN, {2025, 12, 8}, {2025, 12, 10}, "出張", "大阪"));
        add(timed_record({2025, 12, 9}, 9, 0, 10, 30, "会議", "本社"));
        add(dated_record(KIND_ALL_DAY, {2025, 12, 3}, {2025, 12, 3}, "棚卸し", "倉庫"));
        add(dated_record(KIND_TODO, {0, 0, 0}, {0, 0, 0}, "書類提出"));
    }
};

// Each mail as "subject|body", with the day list's and the week list's rows.
TEST_F(TimedMailCompose, SameRowsSplitAndSubjectsAsTheDayAndWeekMails) {
    const char* TODO = "ＴｏＤｏリスト|書類提出\r\n";
    const char* DAY = "12月9日のスケジュール|12月08日-12月10日\r\n出張：大阪\r\n"
                      "09:00-10:30      \r\n会議：本社\r\n";
    const char* EMPTY_DAY = "12月11日のスケジュール|12月11日の予定はありません\r\n";
    const char* WEEK = "12月第2週のスケジュール|12月08日-12月10日   \r\n出張：大阪\r\n"
                       "12月09日 09:00-10:30\r\n会議：本社\r\n";
    // A week from November into December is November's row 6.
    const char* ACROSS = "11月第6週のスケジュール|12月03日 終日       \r\n棚卸し：倉庫\r\n";
    const char* EMPTY_WEEK = "1月第2週のスケジュール|1月第2週の予定はありません\r\n";
    struct Row {
        TimedMailKind kind;
        int32_t carried; // the day, or the week's Sunday
        int32_t send_todo, send_when_empty;
        std::vector<const char*> mails;
        bool unreadable = false; // a file that cannot be read is no empty day
    };
    const Row rows[] = {
        {D, 20251209, 1, 1, {DAY, TODO}},  {D, 20251211, 0, 1, {EMPTY_DAY}},
        {D, 20251211, 0, 0, {}},           {D, 20251211, 1, 0, {TODO}},
        {W, 20251207, 0, 1, {WEEK}},       {W, 20251130, 0, 1, {ACROSS}},
        {W, 20260104, 0, 1, {EMPTY_WEEK}}, {D, 20251211, 1, 1, {}, true},
    };
    for (const Row& row : rows) {
        SettingsRecord s = default_settings("C:\\");
        s.send_todo = row.send_todo;
        s.send_when_empty = row.send_when_empty;
        LocalDate carried{row.carried / 10000, row.carried / 100 % 100, row.carried % 100};
        fail_file_operation(row.unreadable ? 1 : 0);
        TimedMails composed = compose_timed_mails(row.kind, store, s, carried);
        fail_file_operation(0);
        EXPECT_EQ(!row.unreadable, composed.read) << row.carried;
        ASSERT_EQ(row.mails.size(), composed.mails.size()) << row.carried;
        for (size_t i = 0; i < row.mails.size(); ++i)
            EXPECT_SJIS_EQ(row.mails[i], composed.mails[i].subject + "|" + composed.mails[i].body)
                << row.carried;
    }
}

// Each mail the server took is reported before the next one starts, and a
// refusal ends the period with one box; a failure that may pass shows none.
TEST(MailPeerTimed, ProgressIsReportedAsTheServerTakesEachMail) {
    REQUIRE_PEER("VNTRA_SMTP_PORT");
    struct Row {
        const char* recipient;   // the peer refuses "onlyone" after one mail
        int port, mails_arrived; // port 0: the peer; else one where nothing listens
        TimedSendEnd end;
        // Per report: mails arrived, '+' going on, '=' all, '!' stopped, '@' stored.
        const char* reports;
        const char* box; // what the one box says, or null
    };
    const Row rows[] = {
        {"to", 0, 1, TIMED_SEND_DONE, "2+@1 3=@2 ", nullptr},
        {"onlyone", 0, 0, TIMED_SEND_REFUSED, "1+@1 1!@1 ", "552"},
        {"to", 1, 0, TIMED_SEND_LATER, "", nullptr},
        // Unusable settings (a line break in the address) end the period unsent.
        {"to\r\nRSET", 0, 1, TIMED_SEND_REFUSED, "1!@0 ", "制御文字"},
    };
    for (const Row& row : rows) {
        std::string to = testing::fresh_address(row.recipient);
        SettingsRecord settings =
            testing::peer_settings(row.port ? row.port : testing::peer_port("VNTRA_SMTP_PORT"), to);
        testing::MailRun run(settings);
        run.context.options.timeout_ms = 2000;
        std::string reports;
        auto report = [&](TimedMailKind, const TimedMailProgress& p) {
            EXPECT_EQ(20251209, p.period_key);
            reports += std::to_string(p.mails_arrived) + "+=!"[p.state] + "@" +
                       std::to_string(testing::stored_mails(to).size()) + " ";
        };
        TimedBatch batch{TIMED_DAILY, 20251209, row.mails_arrived, {}, "12月9日の予定"};
        batch.mails = {{"件名1", "一通目\r\n"}, {"件名2", "二通目\r\n"}, {"件名3", "三通目\r\n"}};
        EXPECT_EQ(row.end, send_timed_batch(run.context, batch, report)) << row.recipient;
        EXPECT_EQ(row.reports, reports) << row.recipient;
        ASSERT_EQ(row.box ? 1u : 0u, run.ui.messages.size()) << row.recipient;
        EXPECT_NE(std::string::npos, run.ui.only_message().find(row.box ? row.box : ""));
    }
}

} // namespace
} // namespace vntra
