#include "reminders/timer_scan.h"

#include <gtest/gtest.h>

#include "support/data_file_fixture.h"
#include "support/records.h"
#include "support/sjis_assert.h"

namespace vntra {
namespace {

using testing::dated_record;

LocalTimeStamp at(int year, int month, int day, int hour, int minute) {
    return {year, month, day, hour, minute, 0, 0, 540};
}

ScheduleRecord time_range(LocalDate day, int start_hour, int start_minute, int lead,
                          const char* content = "会議", const char* place = "本社") {
    ScheduleRecord r = dated_record(KIND_TIME_RANGE, day, day, content, place);
    r.start_hour = start_hour;
    r.start_minute = start_minute;
    r.end_hour = start_hour + 1;
    r.end_minute = start_minute;
    r.alarm_state = TRIGGER_ARMED;
    r.alarm_lead_minutes = lead;
    return r;
}

ScheduleRecord with_reminder(ScheduleRecord r, int year, int month, int day, int hour, int minute) {
    r.reminder_state = TRIGGER_ARMED;
    r.reminder_year = year;
    r.reminder_month = month;
    r.reminder_day = day;
    r.reminder_hour = hour;
    r.reminder_minute = minute;
    return r;
}

std::vector<int32_t> ids_of(const std::vector<AlarmFiring>& alarms) {
    std::vector<int32_t> ids;
    for (const AlarmFiring& a : alarms)
        ids.push_back(a.record.id);
    return ids;
}

std::vector<int32_t> ids_of(const std::vector<ReminderMail>& mails) {
    std::vector<int32_t> ids;
    for (const ReminderMail& m : mails)
        ids.push_back(m.record.id);
    return ids;
}

TEST(AlarmDue, LeadTimeTodayAndTomorrow) {
    struct Case {
        LocalDate start_day;
        int start_hour, start_minute, lead;
        LocalTimeStamp now;
        bool due;
    };
    const Case cases[] = {
        {{2004, 3, 15}, 10, 0, 10, at(2004, 3, 15, 9, 49), false},
        {{2004, 3, 15}, 10, 0, 10, at(2004, 3, 15, 9, 50), true},
        {{2004, 3, 15}, 10, 0, 10, at(2004, 3, 15, 10, 0), true},
        // Armed after its start: it still sounds, at the next scan.
        {{2004, 3, 15}, 10, 0, 10, at(2004, 3, 15, 10, 20), true},
        {{2004, 3, 15}, 10, 0, 10, at(2004, 3, 15, 23, 59), true},
        // Across midnight: (24 + 0 − 23) × 60 + 5 − 52 = 13.
        {{2004, 3, 16}, 0, 5, 15, at(2004, 3, 15, 23, 52), true},
        {{2004, 3, 16}, 0, 5, 15, at(2004, 3, 15, 23, 49), false},
        // Tomorrow rolls over months, leap days and years.
        {{2004, 3, 1}, 0, 0, 5, at(2004, 2, 29, 23, 56), true},
        {{2003, 3, 1}, 0, 0, 5, at(2003, 2, 28, 23, 56), true},
        {{2005, 1, 1}, 0, 0, 1, at(2004, 12, 31, 23, 59), true},
        {{2004, 5, 1}, 0, 30, 60, at(2004, 4, 30, 23, 30), true},
        // Neither today nor tomorrow: never.
        {{2004, 3, 14}, 23, 0, 10, at(2004, 3, 15, 0, 0), false},
        {{2004, 3, 17}, 0, 0, 100000, at(2004, 3, 15, 0, 0), false},
        // A long lead reaches back into the day before.
        {{2004, 3, 16}, 9, 0, 1440, at(2004, 3, 15, 9, 0), true},
        {{2004, 3, 16}, 9, 0, 1439, at(2004, 3, 15, 9, 0), false},
    };
    for (const Case& c : cases) {
        ScheduleRecord r = time_range(c.start_day, c.start_hour, c.start_minute, c.lead);
        EXPECT_EQ(c.due, alarm_due(r, c.now))
            << c.start_day.year << "-" << c.start_day.month << "-" << c.start_day.day << " "
            << c.start_hour << ":" << c.start_minute << " lead " << c.lead << " at " << c.now.day
            << " " << c.now.hour << ":" << c.now.minute;
    }
}

TEST(ReminderDue, MinuteKeysComparedAsNumbers) {
    struct Case {
        int year, month, day, hour, minute;
        LocalTimeStamp now;
        bool due;
    };
    const Case cases[] = {
        {2004, 3, 15, 9, 5, at(2004, 3, 15, 9, 5), true},
        {2004, 3, 15, 9, 5, at(2004, 3, 15, 9, 4), false},
        {2004, 3, 15, 9, 5, at(2004, 3, 15, 12, 0), true},
        // Due while the program was not running: the first scan sends it.
        {2003, 12, 31, 23, 55, at(2004, 3, 15, 9, 4), true},
        {2004, 3, 16, 0, 0, at(2004, 3, 15, 23, 59), false},
        // 24:00 as entered comes after 23:59 and before the next day's 0:00.
        {2004, 3, 15, 24, 0, at(2004, 3, 16, 0, 0), true},
        {2004, 3, 15, 24, 0, at(2004, 3, 15, 23, 59), false},
        // Years of five digits lie in the future, not before every other year.
        {9999, 12, 31, 23, 55, at(2026, 1, 1, 0, 0), false},
        {20025, 3, 15, 9, 5, at(2026, 1, 1, 0, 0), false},
        {9999, 12, 31, 23, 59, at(10000, 1, 1, 0, 0), true},
    };
    for (const Case& c : cases) {
        ScheduleRecord r = with_reminder(blank_record(), c.year, c.month, c.day, c.hour, c.minute);
        EXPECT_EQ(c.due, reminder_due(r, c.now)) << c.year << " at " << c.now.year;
    }
}

TEST(ScanTexts, NoticeBlockOfAnAlarm) {
    struct Case {
        const char* content;
        const char* place;
        std::string text;
    };
    const Case cases[] = {
        {"会議", "本社", "\r\n 03月15日 10:00-11:00\r\n 会議\r\n (本社)\r\n"},
        {"会議", "", "\r\n 03月15日 10:00-11:00\r\n 会議\r\n ()\r\n"},
        {"1234567890123456789012345678901234567890123456789012345678901234",
         "ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯＰＱＲＳＴＵＶＷＸＹＺａｂｃｄｅｆｇ",
         "\r\n 03月15日 10:00-11:00\r\n "
         "1234567890123456789012345678901234567890123456789012345678901234\r\n "
         "(ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯＰＱＲＳＴＵＶＷＸＹＺａｂｃｄｅｆｇ)\r\n"},
    };
    for (const Case& c : cases)
        EXPECT_SJIS_EQ(c.text,
                       alarm_notice_text(time_range({2004, 3, 15}, 10, 0, 10, c.content, c.place)));
    ScheduleRecord early = time_range({2004, 1, 5}, 7, 5, 10, "朝", "駅");
    early.end_hour = 24;
    early.end_minute = 0;
    EXPECT_SJIS_EQ("\r\n 01月05日 07:05-24:00\r\n 朝\r\n (駅)\r\n", alarm_notice_text(early));
}

TEST(ScanTexts, ReminderBodyPerKind) {
    struct Case {
        int32_t kind;
        std::string body;
    };
    const Case cases[] = {
        {KIND_TIME_RANGE, "03月15日\r\n10:00-11:30\r\n会議：本社\r\n"},
        {KIND_DATE_SPAN, "03月15日-04月02日\r\n会議：本社"},
        {KIND_MORNING, "03月15日\r\n午前\r\n会議：本社"},
        {KIND_AFTERNOON, "03月15日\r\n午後\r\n会議：本社"},
        {KIND_ALL_DAY, "03月15日\r\n終日\r\n会議：本社"},
        {KIND_TODO, "ＴｏＤｏ\r\n会議"},
        {KIND_DELETED, ""},
        {7, ""},
    };
    for (const Case& c : cases) {
        ScheduleRecord r = dated_record(c.kind, {2004, 3, 15}, {2004, 4, 2}, "会議", "本社");
        r.start_hour = 10;
        r.end_hour = 11;
        r.end_minute = 30;
        EXPECT_SJIS_EQ(c.body, reminder_body(r)) << "kind " << c.kind;
    }
    ScheduleRecord no_place = dated_record(KIND_ALL_DAY, {2004, 3, 15}, {2004, 3, 15}, "休暇", "");
    EXPECT_SJIS_EQ("03月15日\r\n終日\r\n休暇：", reminder_body(no_place));
}

TEST(ScanPlan, WhatOneScanFires) {
    const LocalTimeStamp now = at(2004, 3, 15, 9, 50);
    struct Case {
        const char* name;
        std::vector<ScheduleRecord> records;
        std::vector<int32_t> alarms;
        std::vector<int32_t> reminders;
    };
    auto numbered = [](std::vector<ScheduleRecord> records) {
        for (size_t i = 0; i < records.size(); ++i)
            records[i].id = static_cast<int32_t>(i + 1);
        return records;
    };
    ScheduleRecord due = time_range({2004, 3, 15}, 10, 0, 10);
    ScheduleRecord not_yet = time_range({2004, 3, 15}, 10, 1, 10);
    ScheduleRecord done = due;
    done.alarm_state = TRIGGER_DONE;
    ScheduleRecord off = due;
    off.alarm_state = TRIGGER_OFF;
    auto other_kind = [&](int32_t kind) {
        ScheduleRecord r = due;
        r.kind = kind;
        return r;
    };
    ScheduleRecord todo = blank_record();
    todo.kind = KIND_TODO;
    set_text(todo.content, "買い物");
    const Case cases[] = {
        {"two alarms in one minute, in file order", numbered({not_yet, due, due}), {2, 3}, {}},
        {"only armed alarms", numbered({done, off, due}), {3}, {}},
        {"only time ranges sound",
         numbered({other_kind(KIND_DATE_SPAN), other_kind(KIND_MORNING), other_kind(KIND_AFTERNOON),
                   other_kind(KIND_ALL_DAY), other_kind(KIND_TODO), other_kind(KIND_DELETED)}),
         {},
         {}},
        {"reminders of every kind",
         numbered({with_reminder(other_kind(KIND_DATE_SPAN), 2004, 3, 15, 9, 50),
                   with_reminder(todo, 2004, 3, 15, 9, 45), with_reminder(off, 2004, 3, 15, 9, 55),
                   with_reminder(other_kind(KIND_DELETED), 2004, 3, 15, 9, 0)}),
         {},
         {1, 2}},
        {"alarm and reminder of one record",
         numbered({with_reminder(due, 2004, 3, 15, 9, 50)}),
         {1},
         {1}},
        {"a done reminder stays quiet",
         numbered({[&] {
             ScheduleRecord r = with_reminder(off, 2004, 3, 1, 0, 0);
             r.reminder_state = TRIGGER_DONE;
             return r;
         }()}),
         {},
         {}},
    };
    for (const Case& c : cases) {
        ScanPlan plan = plan_scan(c.records, now, TriggerMemory());
        EXPECT_EQ(c.alarms, ids_of(plan.alarms)) << c.name;
        EXPECT_EQ(c.reminders, ids_of(plan.reminders)) << c.name;
        EXPECT_TRUE(plan.marks_to_retry.empty()) << c.name;
        for (const ReminderMail& mail : plan.reminders) {
            EXPECT_SJIS_EQ("リマインドメール（お知らせ）", mail.subject);
            EXPECT_EQ(reminder_body(mail.record), mail.body);
            EXPECT_TRUE(mail.announce_failure);
        }
        for (const AlarmFiring& alarm : plan.alarms)
            EXPECT_EQ(alarm_notice_text(alarm.record), alarm.notice);
    }
    // A reminder whose mail is on its way or whose box waits is not taken
    // up again; the alarms and the other reminders go on.
    TriggerMemory memory;
    memory.hold(1);
    ScanPlan busy = plan_scan(
        numbered({with_reminder(due, 2004, 3, 15, 9, 50), with_reminder(todo, 2004, 3, 15, 9, 50)}),
        now, memory);
    EXPECT_EQ(1u, busy.alarms.size());
    EXPECT_EQ(std::vector<int32_t>{2}, ids_of(busy.reminders));
}

class ScanOnDisk : public testing::DataFileTest {
  protected:
    ScheduleRecord on_disk(int32_t id) {
        ScheduleRecord r{};
        EXPECT_TRUE(read_record(store, id, r));
        return r;
    }
};

TEST_F(ScanOnDisk, EachTriggerFiresOnce) {
    add(time_range({2004, 3, 15}, 10, 0, 10));
    add(with_reminder(time_range({2004, 3, 20}, 10, 0, 10), 2004, 3, 15, 9, 50));
    TriggerMemory memory;
    ScanPlan first = plan_scan(store, at(2004, 3, 15, 9, 50), memory);
    ASSERT_TRUE(first.file_read);
    ASSERT_EQ(1u, first.alarms.size());
    ASSERT_EQ(1u, first.reminders.size());
    EXPECT_EQ(MARK_WRITTEN, mark_fired(store, memory, first.alarms[0].record, TRIGGER_ALARM));
    EXPECT_EQ(MARK_WRITTEN, mark_fired(store, memory, first.reminders[0].record, TRIGGER_REMINDER));
    EXPECT_EQ(TRIGGER_DONE, on_disk(1).alarm_state);
    EXPECT_EQ(TRIGGER_DONE, on_disk(2).reminder_state);
    // The other trigger of the record stays as it was.
    EXPECT_EQ(TRIGGER_ARMED, on_disk(2).alarm_state);
    ScanPlan second = plan_scan(store, at(2004, 3, 15, 9, 51), memory);
    EXPECT_TRUE(second.alarms.empty());
    EXPECT_TRUE(second.reminders.empty());
    EXPECT_TRUE(memory.empty());
}

TEST_F(ScanOnDisk, AMissingFileIsNotAnEmptyOne) {
    DataFile missing{folder / "none.fil", 3};
    ScanPlan plan = plan_scan(missing, at(2004, 3, 15, 9, 50), TriggerMemory());
    EXPECT_FALSE(plan.file_read);
    add(time_range({2004, 1, 1}, 10, 0, 10));
    EXPECT_TRUE(plan_scan(store, at(2004, 3, 15, 9, 50), TriggerMemory()).file_read);
}

TEST_F(ScanOnDisk, MarksLeaveEditsAlone) {
    struct Case {
        const char* name;
        void (*edit)(ScheduleRecord&);
        int32_t which;
        MarkResult result;
        int32_t state_after;
    };
    const Case cases[] = {
        {"unchanged alarm", [](ScheduleRecord&) {}, TRIGGER_ALARM, MARK_WRITTEN, TRIGGER_DONE},
        {"content edited", [](ScheduleRecord& r) { set_text(r.content, "別件"); }, TRIGGER_ALARM,
         MARK_WRITTEN, TRIGGER_DONE},
        {"start moved", [](ScheduleRecord& r) { r.start_hour = 15; }, TRIGGER_ALARM,
         MARK_NOT_NEEDED, TRIGGER_ARMED},
        {"lead changed", [](ScheduleRecord& r) { r.alarm_lead_minutes = 30; }, TRIGGER_ALARM,
         MARK_NOT_NEEDED, TRIGGER_ARMED},
        {"alarm switched off", [](ScheduleRecord& r) { r.alarm_state = TRIGGER_OFF; },
         TRIGGER_ALARM, MARK_NOT_NEEDED, TRIGGER_OFF},
        {"reminder moved", [](ScheduleRecord& r) { r.reminder_minute = 55; }, TRIGGER_REMINDER,
         MARK_NOT_NEEDED, TRIGGER_ARMED},
        {"unchanged reminder", [](ScheduleRecord&) {}, TRIGGER_REMINDER, MARK_WRITTEN,
         TRIGGER_DONE},
        {"deleted", [](ScheduleRecord& r) { r = deleted_record(r.id); }, TRIGGER_REMINDER,
         MARK_NOT_NEEDED, TRIGGER_OFF},
        {"neither trigger", [](ScheduleRecord&) {}, 3, MARK_NOT_NEEDED, TRIGGER_ARMED},
    };
    int32_t id = 0;
    for (const Case& c : cases) {
        ScheduleRecord fired =
            with_reminder(time_range({2004, 3, 15}, 10, 0, 10), 2004, 3, 15, 9, 50);
        add(fired);
        fired.id = ++id;
        ScheduleRecord edited = fired;
        c.edit(edited);
        ASSERT_TRUE(rewrite_record(store, edited));
        EXPECT_EQ(c.result, mark_trigger_done(store, fired, c.which)) << c.name;
        ScheduleRecord after = on_disk(id);
        int32_t which = c.which == 3 ? TRIGGER_ALARM : c.which;
        EXPECT_EQ(c.state_after, which == TRIGGER_ALARM ? after.alarm_state : after.reminder_state)
            << c.name;
        EXPECT_EQ(field_text(edited.content), field_text(after.content)) << c.name;
    }
}

// A data file that can be read but not written (another program holds it):
// the alarm has sounded once; it must not sound every minute until the file
// is free, and its mark is written as soon as it can be.
TEST_F(ScanOnDisk, AnUnwritableMarkIsRememberedAndRetried) {
    add(with_reminder(time_range({2004, 3, 15}, 10, 0, 10), 2004, 3, 15, 9, 0));
    // A path that holds a folder: nothing can be read or written there.
    DataFile locked{folder / "locked.fil", 1};
    std::filesystem::create_directories(locked.path / "held");
    TriggerMemory memory;
    ScanPlan first = plan_scan(store, at(2004, 3, 15, 9, 50), memory);
    ASSERT_EQ(1u, first.alarms.size());
    ASSERT_EQ(1u, first.reminders.size());
    EXPECT_EQ(MARK_FAILED, mark_fired(locked, memory, first.alarms[0].record, TRIGGER_ALARM));
    EXPECT_EQ(MARK_FAILED, mark_fired(locked, memory, first.reminders[0].record, TRIGGER_REMINDER));
    EXPECT_EQ(TRIGGER_ARMED, on_disk(1).alarm_state);

    for (int minute = 51; minute <= 53; ++minute) {
        ScanPlan later = plan_scan(store, at(2004, 3, 15, 9, minute), memory);
        EXPECT_TRUE(later.alarms.empty());
        EXPECT_TRUE(later.reminders.empty());
        ASSERT_EQ(2u, later.marks_to_retry.size());
        for (const PendingMark& mark : later.marks_to_retry)
            EXPECT_EQ(MARK_FAILED, mark_fired(locked, memory, mark.record, mark.which));
    }
    ScanPlan freed = plan_scan(store, at(2004, 3, 15, 9, 54), memory);
    ASSERT_EQ(2u, freed.marks_to_retry.size());
    for (const PendingMark& mark : freed.marks_to_retry)
        EXPECT_EQ(MARK_WRITTEN, mark_fired(store, memory, mark.record, mark.which));
    EXPECT_TRUE(memory.empty());
    EXPECT_EQ(TRIGGER_DONE, on_disk(1).alarm_state);
    EXPECT_EQ(TRIGGER_DONE, on_disk(1).reminder_state);
    ScanPlan after = plan_scan(store, at(2004, 3, 15, 9, 55), memory);
    EXPECT_TRUE(after.alarms.empty() && after.reminders.empty() && after.marks_to_retry.empty());
}

TEST_F(ScanOnDisk, AnEditArmsAnUnwrittenTriggerAnew) {
    add(time_range({2004, 3, 15}, 10, 0, 10));
    DataFile locked{folder / "locked.fil", 1};
    std::filesystem::create_directories(locked.path / "held");
    TriggerMemory memory;
    ScanPlan first = plan_scan(store, at(2004, 3, 15, 9, 50), memory);
    ASSERT_EQ(1u, first.alarms.size());
    mark_fired(locked, memory, first.alarms[0].record, TRIGGER_ALARM);
    // The user moves the meeting by five minutes: that is a new alarm.
    ScheduleRecord moved = on_disk(1);
    moved.start_minute = 5;
    ASSERT_TRUE(rewrite_record(store, moved));
    ScanPlan next = plan_scan(store, at(2004, 3, 15, 9, 56), memory);
    EXPECT_EQ(1u, next.alarms.size());
    EXPECT_TRUE(next.marks_to_retry.empty());
}

} // namespace
} // namespace vntra
