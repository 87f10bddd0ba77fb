#include <gtest/gtest.h>

#include <cstring>

#include "settings/timed_mail_page.h"
#include "store/schedule_record.h"
#include "support/sjis_assert.h"
#include "support/temp_folder.h"

namespace vntra {
namespace {

SettingsRecord mail_ready() {
    SettingsRecord s = default_settings("C:\\");
    set_text(s.smtp_server, "smtp.example.jp");
    set_text(s.sender_address, "me@example.jp");
    set_text(s.recipient_address, "phone@example.ne.jp");
    return s;
}

TimedMailPageInput both_on() {
    TimedMailPageInput input;
    input.daily_on = true;
    input.daily_hour = 6;
    input.daily_minute = 30;
    input.daily_target = TARGET_NEXT;
    input.weekly_on = true;
    input.weekly_weekday = 0;
    input.weekly_hour = 20;
    input.weekly_minute = 0;
    input.weekly_target = TARGET_NEXT;
    input.send_when_empty = false;
    return input;
}

TEST(TimedMailPage, ChecksInTheirOrder) {
    struct Row {
        const char* what;
        void (*adjust)(TimedMailPageInput&, SettingsRecord&);
        const char* message; // null: applied
        PageControl focus;
    };
    const char* DAILY = "毎日の予定を送る時刻を選んで下さい";
    const char* WEEKLY = "毎週の予定を送る時刻を選んで下さい";
    const char* NO_MAIL = "定時送信には「メール」ページの設定が必要です。送信メールサーバーと"
                          "差出人、あて先のメールアドレスを入力して下さい";
    const Row rows[] = {
        {"all chosen", [](TimedMailPageInput&, SettingsRecord&) {}, nullptr, NO_CONTROL},
        {"daily hour", [](TimedMailPageInput& i, SettingsRecord&) { i.daily_hour = -1; }, DAILY,
         CONTROL_DAILY_HOUR},
        {"daily minute", [](TimedMailPageInput& i, SettingsRecord&) { i.daily_minute = 60; }, DAILY,
         CONTROL_DAILY_MINUTE},
        {"weekday", [](TimedMailPageInput& i, SettingsRecord&) { i.weekly_weekday = -1; },
         "毎週の予定を送る曜日を選んで下さい", CONTROL_WEEKLY_WEEKDAY},
        {"weekly hour", [](TimedMailPageInput& i, SettingsRecord&) { i.weekly_hour = -1; }, WEEKLY,
         CONTROL_WEEKLY_HOUR},
        {"weekly minute", [](TimedMailPageInput& i, SettingsRecord&) { i.weekly_minute = -1; },
         WEEKLY, CONTROL_WEEKLY_MINUTE},
        {"a switched-off mail needs no choice",
         [](TimedMailPageInput& i, SettingsRecord&) {
             i.daily_on = false;
             i.daily_hour = -1;
         },
         nullptr, NO_CONTROL},
        {"no recipient", [](TimedMailPageInput&, SettingsRecord& s) { s.recipient_address[0] = 0; },
         NO_MAIL, CONTROL_DAILY_ON},
        {"no server, only the weekly on",
         [](TimedMailPageInput& i, SettingsRecord& s) {
             i.daily_on = false;
             s.smtp_server[0] = 0;
         },
         NO_MAIL, CONTROL_WEEKLY_ON},
        {"both off need no mail settings",
         [](TimedMailPageInput& i, SettingsRecord& s) {
             i.daily_on = i.weekly_on = false;
             s.smtp_server[0] = 0;
         },
         nullptr, NO_CONTROL},
    };
    for (const Row& row : rows) {
        TimedMailPageInput input = both_on();
        SettingsRecord settings = mail_ready();
        row.adjust(input, settings);
        settings.daily_progress = {20251209, 2, PERIOD_ARRIVED};
        SettingsRecord before = settings;
        PageResult result = apply_timed_mail_page(input, settings);
        if (row.message) {
            ASSERT_FALSE(result.ok()) << row.what;
            EXPECT_SJIS_EQ(row.message, result.message) << row.what;
            EXPECT_EQ(row.focus, result.focus) << row.what;
            EXPECT_EQ(0, std::memcmp(&before, &settings, sizeof before)) << row.what;
            continue;
        }
        ASSERT_TRUE(result.ok()) << row.what;
        EXPECT_EQ(input.daily_on ? 1 : 0, settings.daily_on) << row.what;
        EXPECT_EQ(input.weekly_on ? 1 : 0, settings.weekly_on) << row.what;
        EXPECT_EQ(0, settings.send_when_empty) << row.what;
        EXPECT_EQ(TARGET_NEXT, settings.weekly_target) << row.what;
        EXPECT_EQ(20, settings.weekly_hour) << row.what;
        // A list without a selection keeps the stored value.
        EXPECT_EQ(input.daily_hour < 0 ? 7 : 6, settings.daily_hour) << row.what;
        EXPECT_EQ(0, std::memcmp(&before.daily_progress, &settings.daily_progress,
                                 sizeof settings.daily_progress))
            << row.what;
    }
}

// A mail that arrives while the sheet is open writes its progress; a page
// saved afterwards from its older copy must not take it back.
TEST(TimedMailPage, SavedPageKeepsTheProgressWrittenMeanwhile) {
    testing::TempFolder folder;
    std::filesystem::path path = folder / SETTINGS_FILE_NAME;
    SettingsRecord live = mail_ready();
    SettingsRecord page_copy = live;
    live.daily_progress = {20251209, 1, PERIOD_ARRIVED};
    ASSERT_TRUE(apply_timed_mail_page(both_on(), page_copy).ok());
    ASSERT_TRUE(save_page(path, live, page_copy));
    SettingsRecord loaded = load_settings(path, "C:\\");
    EXPECT_EQ(20251209, loaded.daily_progress.period_key);
    EXPECT_EQ(PERIOD_ARRIVED, loaded.daily_progress.state);
    EXPECT_EQ(1, loaded.daily_on);
    EXPECT_EQ(0, std::memcmp(&live, &loaded, sizeof live));
}

} // namespace
} // namespace vntra
