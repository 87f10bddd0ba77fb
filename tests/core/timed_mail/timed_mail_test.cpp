// What the timed mails carry, and how their sending ends: against the SMTP
// peer of scripts/stages/mail-peers.sh (skipped without it).
#include <gtest/gtest.h>

#include "core/mail/mail_test_support.h"
#include "platform/file_io.h"
#include "support/data_file_fixture.h"
#include "support/records.h"
#include "support/sjis_assert.h"
#include "timed_mail/timed_mail_compose.h"
#include "timed_mail/timed_mail_send.h"

namespace vntra {
namespace {

using testing::dated_record;
using testing::timed_record;

class TimedMailCompose : public testing::DataFileTest {
  protected:
    void SetUp() override {
        DataFileTest::SetUp();
        add(dated_record(KIND_DATE_SPAN, {2025, 12, 8}, {2025, 12, 10}, "出張", "大阪"));
        add(timed_record({2025, 12, 9}, 9, 0, 10, 30, "会議", "本社"));
        add(dated_record(KIND_ALL_DAY, {2025, 12, 3}, {2025, 12, 3}, "棚卸し", "倉庫"));
        ScheduleRecord todo = blank_record();
        todo.kind = KIND_TODO;
        set_text(todo.content, "書類提出");
        add(todo);
    }
};

TEST_F(TimedMailCompose, SameRowsSplitAndSubjectsAsTheDayAndWeekMails) {
    struct Row {
        const char* what;
        TimedMailKind kind;
        LocalDate carried;
        int32_t send_todo;
        int32_t send_when_empty;
        std::vector<std::pair<const char*, const char*>> mails; // subject, body
    };
    const char* TODO_BODY = "書類提出\r\n";
    const Row rows[] = {
        {"a day, then the ToDo list",
         TIMED_DAILY,
         {2025, 12, 9},
         1,
         1,
         {{"12月9日のスケジュール",
           "12月08日-12月10日\r\n出張：大阪\r\n09:00-10:30      \r\n会議：本社\r\n"},
          {"ＴｏＤｏリスト", TODO_BODY}}},
        {"an empty day still gets its mail",
         TIMED_DAILY,
         {2025, 12, 11},
         0,
         1,
         {{"12月11日のスケジュール", "12月11日の予定はありません\r\n"}}},
        {"an empty day, not sent", TIMED_DAILY, {2025, 12, 11}, 0, 0, {}},
        {"an empty day with the ToDo list",
         TIMED_DAILY,
         {2025, 12, 11},
         1,
         0,
         {{"ＴｏＤｏリスト", TODO_BODY}}},
        {"week 2 of December",
         TIMED_WEEKLY,
         {2025, 12, 7},
         0,
         1,
         {{"12月第2週のスケジュール",
           "12月08日-12月10日   \r\n出張：大阪\r\n12月09日 09:00-10:30\r\n会議：本社\r\n"}}},
        {"a week from November into December is November's row 6",
         TIMED_WEEKLY,
         {2025, 11, 30},
         0,
         1,
         {{"11月第6週のスケジュール", "12月03日 終日       \r\n棚卸し：倉庫\r\n"}}},
        {"an empty week",
         TIMED_WEEKLY,
         {2026, 1, 4},
         0,
         1,
         {{"1月第2週のスケジュール", "1月第2週の予定はありません\r\n"}}},
    };
    for (const Row& row : rows) {
        SettingsRecord s = default_settings("C:\\");
        s.send_todo = row.send_todo;
        s.send_when_empty = row.send_when_empty;
        TimedMails composed = compose_timed_mails(row.kind, store, s, row.carried);
        EXPECT_TRUE(composed.read) << row.what;
        ASSERT_EQ(row.mails.size(), composed.mails.size()) << row.what;
        for (size_t i = 0; i < row.mails.size(); ++i) {
            EXPECT_SJIS_EQ(row.mails[i].first, composed.mails[i].subject) << row.what;
            EXPECT_SJIS_EQ(row.mails[i].second, composed.mails[i].body) << row.what;
        }
    }
}

TEST_F(TimedMailCompose, AFileThatCannotBeReadIsNoEmptyDay) {
    SettingsRecord s = default_settings("C:\\");
    fail_file_operation(1);
    TimedMails composed = compose_timed_mails(TIMED_DAILY, store, s, {2025, 12, 11});
    fail_file_operation(0);
    EXPECT_FALSE(composed.read);
    EXPECT_TRUE(composed.mails.empty());
}

TimedBatch three_mails(int32_t mails_arrived) {
    TimedBatch batch;
    batch.period_key = 20251209;
    batch.mails_arrived = mails_arrived;
    batch.mails = {{"件名1", "一通目\r\n"}, {"件名2", "二通目\r\n"}, {"件名3", "三通目\r\n"}};
    batch.name = "12月9日の予定";
    return batch;
}

// Each mail the server took is reported before the next one starts, and a
// refusal ends the period with one box; a failure that may pass shows none.
TEST(MailPeerTimed, ProgressIsReportedAsTheServerTakesEachMail) {
    REQUIRE_PEER("VNTRA_SMTP_PORT");
    struct Row {
        const char* recipient; // the peer refuses "onlyone" after one mail
        int port;              // 0: the peer; else a port where nothing listens
        int32_t mails_arrived;
        TimedSendEnd end;
        size_t spooled;
        std::vector<TimedMailProgress> reports;
        bool box;
    };
    const Row rows[] = {
        {"to",
         0,
         0,
         TIMED_SEND_DONE,
         3,
         {{20251209, 1, PERIOD_IN_PROGRESS},
          {20251209, 2, PERIOD_IN_PROGRESS},
          {20251209, 3, PERIOD_ARRIVED}},
         false},
        {"to",
         0,
         1,
         TIMED_SEND_DONE,
         2,
         {{20251209, 2, PERIOD_IN_PROGRESS}, {20251209, 3, PERIOD_ARRIVED}},
         false},
        {"onlyone",
         0,
         0,
         TIMED_SEND_REFUSED,
         1,
         {{20251209, 1, PERIOD_IN_PROGRESS}, {20251209, 1, PERIOD_STOPPED}},
         true},
        {"to", 1, 0, TIMED_SEND_LATER, 0, {}, false},
        // Unusable settings (a line break in the address) end the period unsent.
        {"to\r\nRSET", 0, 1, TIMED_SEND_REFUSED, 0, {{20251209, 1, PERIOD_STOPPED}}, true},
    };
    for (const Row& row : rows) {
        std::string to = testing::fresh_address(row.recipient);
        SettingsRecord settings =
            testing::peer_settings(row.port ? row.port : testing::peer_port("VNTRA_SMTP_PORT"), to);
        testing::MailRun run(settings);
        run.context.options.timeout_ms = 2000;
        std::vector<TimedMailProgress> reports;
        std::vector<size_t> spooled_at_report;
        auto report = [&](TimedMailKind, const TimedMailProgress& progress) {
            reports.push_back(progress);
            spooled_at_report.push_back(testing::stored_mails(to).size());
        };
        EXPECT_EQ(row.end, send_timed_batch(run.context, three_mails(row.mails_arrived), report))
            << row.recipient;
        EXPECT_EQ(row.spooled, testing::stored_mails(to).size()) << row.recipient;
        ASSERT_EQ(row.reports.size(), reports.size()) << row.recipient;
        for (size_t i = 0; i < reports.size(); ++i) {
            EXPECT_EQ(row.reports[i].mails_arrived, reports[i].mails_arrived) << row.recipient;
            EXPECT_EQ(row.reports[i].state, reports[i].state) << row.recipient;
            EXPECT_EQ(row.reports[i].period_key, reports[i].period_key) << row.recipient;
            // Reported once the server has the mail, not before.
            EXPECT_EQ(static_cast<size_t>(reports[i].mails_arrived - row.mails_arrived),
                      spooled_at_report[i])
                << row.recipient;
        }
        ASSERT_EQ(row.box ? 1u : 0u, run.ui.messages.size()) << row.recipient;
        if (row.box) {
            const char* why = row.spooled ? "552" : "制御文字";
            EXPECT_NE(std::string::npos, run.ui.messages[0].text.find(why)) << row.recipient;
        }
    }
}

} // namespace
} // namespace vntra
