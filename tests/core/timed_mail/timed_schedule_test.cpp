#include <gtest/gtest.h>

#include "support/sjis_assert.h"
#include "timed_mail/timed_schedule.h"

namespace vntra {
namespace {

struct Moment {
    int year, month, day, hour, minute;
};

LocalTimeStamp at(const Moment& m) {
    LocalTimeStamp stamp{};
    stamp = {m.year, m.month, m.day, m.hour, m.minute, 0, 0, 540};
    return stamp;
}

// Daily at 7:00 for today, weekly on Monday at 7:00 for this week; both on.
SettingsRecord switched_on() {
    SettingsRecord s = default_settings("C:\\");
    s.daily_on = 1;
    s.weekly_on = 1;
    return s;
}

TEST(TimedSchedule, DecisionTable) {
    struct Row {
        const char* what;
        TimedMailKind kind;
        void (*adjust)(SettingsRecord&);
        TimedMailProgress progress;
        Moment now;
        TimedDecision decision;
        int32_t mails_arrived = 0;
        LocalDate carried = {0, 0, 0}; // checked when due
    };
    auto none = [](SettingsRecord&) {};
    auto off = [](SettingsRecord& s) { s.daily_on = s.weekly_on = 0; };
    auto hour_24 = [](SettingsRecord& s) { s.daily_hour = s.weekly_hour = 24; };
    auto tomorrow = [](SettingsRecord& s) { s.daily_target = TARGET_NEXT; };
    auto late_evening = [](SettingsRecord& s) {
        s.daily_target = TARGET_NEXT;
        s.daily_hour = 23;
        s.daily_minute = 55;
    };
    auto saturday_next_week = [](SettingsRecord& s) {
        s.weekly_weekday = 6;
        s.weekly_target = TARGET_NEXT;
    };
    const TimedMailProgress NEVER = {0, 0, 0};
    const Row rows[] = {
        {"daily: a minute early", TIMED_DAILY, none, NEVER, {2025, 12, 9, 6, 59}, TIMED_NOT_YET},
        {"daily: at the minute",
         TIMED_DAILY,
         none,
         NEVER,
         {2025, 12, 9, 7, 0},
         TIMED_DUE,
         0,
         {2025, 12, 9}},
        {"daily: PC off at 7:00, caught up at the first scan",
         TIMED_DAILY,
         none,
         {20251208, 1, PERIOD_ARRIVED},
         {2025, 12, 9, 13, 20},
         TIMED_DUE,
         0,
         {2025, 12, 9}},
        {"daily: second scan in the minute",
         TIMED_DAILY,
         none,
         {20251209, 2, PERIOD_ARRIVED},
         {2025, 12, 9, 7, 0},
         TIMED_ALREADY_SENT},
        {"daily: retry goes on after the mails that arrived",
         TIMED_DAILY,
         none,
         {20251209, 1, PERIOD_IN_PROGRESS},
         {2025, 12, 9, 7, 5},
         TIMED_DUE,
         1,
         {2025, 12, 9}},
        {"daily: refused, stopped for the day",
         TIMED_DAILY,
         none,
         {20251209, 0, PERIOD_STOPPED},
         {2025, 12, 9, 18, 0},
         TIMED_STOPPED},
        {"daily: the next day starts afresh",
         TIMED_DAILY,
         none,
         {20251209, 0, PERIOD_STOPPED},
         {2025, 12, 10, 7, 0},
         TIMED_DUE,
         0,
         {2025, 12, 10}},
        {"daily: after midnight yesterday's rest is too late",
         TIMED_DAILY,
         none,
         {20251209, 1, PERIOD_IN_PROGRESS},
         {2025, 12, 10, 0, 0},
         TIMED_NOT_YET},
        {"daily: clock set back within the day",
         TIMED_DAILY,
         none,
         {20251209, 1, PERIOD_ARRIVED},
         {2025, 12, 9, 6, 30},
         TIMED_ALREADY_SENT},
        {"daily: clock set back to the day before",
         TIMED_DAILY,
         none,
         {20251209, 1, PERIOD_ARRIVED},
         {2025, 12, 8, 23, 0},
         TIMED_CLOCK_SET_BACK},
        {"daily: tomorrow's plans over a month end",
         TIMED_DAILY,
         tomorrow,
         NEVER,
         {2026, 1, 31, 7, 0},
         TIMED_DUE,
         0,
         {2026, 2, 1}},
        {"daily: tomorrow's plans into a leap day",
         TIMED_DAILY,
         tomorrow,
         NEVER,
         {2028, 2, 28, 8, 0},
         TIMED_DUE,
         0,
         {2028, 2, 29}},
        {"daily: 23:55 on New Year's Eve carries New Year's Day",
         TIMED_DAILY,
         late_evening,
         NEVER,
         {2025, 12, 31, 23, 59},
         TIMED_DUE,
         0,
         {2026, 1, 1}},
        {"daily: switched off", TIMED_DAILY, off, NEVER, {2025, 12, 9, 7, 0}, TIMED_OFF},
        {"daily: a hand-edited hour never comes",
         TIMED_DAILY,
         hour_24,
         NEVER,
         {2025, 12, 9, 23, 59},
         TIMED_OFF},
        // Monday 2025-12-01 lies in the week from Sunday 11-30 to Saturday 12-06.
        {"weekly: the Sunday before",
         TIMED_WEEKLY,
         none,
         NEVER,
         {2025, 11, 30, 9, 0},
         TIMED_NOT_YET},
        {"weekly: Monday a minute early",
         TIMED_WEEKLY,
         none,
         NEVER,
         {2025, 12, 1, 6, 59},
         TIMED_NOT_YET},
        {"weekly: a week across a month end",
         TIMED_WEEKLY,
         none,
         NEVER,
         {2025, 12, 1, 7, 0},
         TIMED_DUE,
         0,
         {2025, 11, 30}},
        {"weekly: caught up late on its weekday",
         TIMED_WEEKLY,
         none,
         {20251123, 1, PERIOD_ARRIVED},
         {2025, 12, 1, 23, 59},
         TIMED_DUE,
         0,
         {2025, 11, 30}},
        {"weekly: the weekday went by without it",
         TIMED_WEEKLY,
         none,
         NEVER,
         {2025, 12, 2, 7, 0},
         TIMED_TOO_LATE},
        {"weekly: sent this week",
         TIMED_WEEKLY,
         none,
         {20251130, 3, PERIOD_ARRIVED},
         {2025, 12, 1, 7, 10},
         TIMED_ALREADY_SENT},
        {"weekly: the weekday changed after this week's went out",
         TIMED_WEEKLY,
         saturday_next_week,
         {20251130, 1, PERIOD_ARRIVED},
         {2025, 12, 6, 7, 0},
         TIMED_ALREADY_SENT},
        {"weekly: next week across the year end",
         TIMED_WEEKLY,
         saturday_next_week,
         NEVER,
         {2025, 12, 27, 7, 0},
         TIMED_DUE,
         0,
         {2025, 12, 28}},
        {"weekly: clock set back a week",
         TIMED_WEEKLY,
         none,
         {20251207, 1, PERIOD_ARRIVED},
         {2025, 12, 1, 7, 0},
         TIMED_CLOCK_SET_BACK},
    };
    for (const Row& row : rows) {
        SettingsRecord s = switched_on();
        row.adjust(s);
        timed_progress(s, row.kind) = row.progress;
        TimedPlan plan = plan_timed_mail(row.kind, s, at(row.now));
        EXPECT_EQ(row.decision, plan.decision) << row.what;
        if (row.decision != TIMED_DUE)
            continue;
        EXPECT_EQ(row.mails_arrived, plan.mails_arrived) << row.what;
        EXPECT_EQ(make_date_key(row.carried), make_date_key(plan.carried)) << row.what;
    }
}

TEST(TimedSchedule, NextSendLine) {
    struct Row {
        const char* what;
        void (*adjust)(SettingsRecord&);
        Moment now;
        const char* line;
    };
    const Row rows[] = {
        {"both off",
         [](SettingsRecord& s) { s.daily_on = s.weekly_on = 0; },
         {2025, 12, 9, 6, 0},
         ""},
        {"today's mail still to go",
         [](SettingsRecord&) {},
         {2025, 12, 9, 6, 0},
         "次の定時送信：12月9日 7:00 今日の予定"},
        {"waiting to be tried again shows its minute",
         [](SettingsRecord&) {},
         {2025, 12, 9, 9, 30},
         "次の定時送信：12月9日 7:00 今日の予定"},
        {"today's has arrived: tomorrow's",
         [](SettingsRecord& s) {
             s.daily_progress = {20251209, 1, PERIOD_ARRIVED};
         },
         {2025, 12, 9, 9, 30},
         "次の定時送信：12月10日 7:00 今日の予定"},
        {"the weekly one comes first",
         [](SettingsRecord& s) {
             s.daily_hour = 8;
             s.daily_minute = 5;
             s.weekly_target = TARGET_NEXT;
         },
         {2025, 12, 8, 6, 0},
         "次の定時送信：12月8日 7:00 来週の予定"},
        {"only the weekly, after its weekday",
         [](SettingsRecord& s) { s.daily_on = 0; },
         {2025, 12, 9, 6, 0},
         "次の定時送信：12月15日 7:00 今週の予定"},
    };
    for (const Row& row : rows) {
        SettingsRecord s = switched_on();
        row.adjust(s);
        EXPECT_SJIS_EQ(row.line, next_timed_mail_text(s, at(row.now))) << row.what;
    }
}

} // namespace
} // namespace vntra
