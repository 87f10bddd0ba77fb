#include "editing/entry_form.h"

#include <gtest/gtest.h>

#include "support/records.h"

namespace vntra {
namespace {

const LocalDate SELECTED = {2005, 3, 15};
const int32_t ALARM_DEFAULT = 10;

std::string enables_text(const EntryEnables& e) {
    std::string text;
    for (bool on : {e.schedule_kinds, e.todo_kind, e.date, e.times, e.end_date, e.alarm_check,
                    e.alarm_minutes, e.reminder_check, e.reminder_fields, e.place})
        text += on ? '1' : '0';
    return text;
}

// A schedule being changed on another day, with every list chosen and both
// triggers checked, so that each switch shows what it resets.
EntryForm busy_form() {
    ScheduleRecord r =
        testing::dated_record(KIND_TIME_RANGE, {2004, 5, 20}, {2004, 5, 20}, "会議", "本社");
    r.start_hour = 14;
    r.start_minute = 30;
    r.end_hour = 16;
    r.alarm_state = TRIGGER_ARMED;
    r.alarm_lead_minutes = 25;
    r.reminder_state = TRIGGER_ARMED;
    r.reminder_year = 2004;
    r.reminder_month = 5;
    r.reminder_day = 19;
    r.reminder_hour = 8;
    return edit_entry_form(ENTRY_EDIT_SCHEDULE, r, SELECTED, ALARM_DEFAULT);
}

// Enables, in order: schedule kinds, ToDo kind, date, times, end date,
// alarm check, alarm minutes, reminder check, reminder fields, place.
TEST(KindSwitch, ResetsDatesAndListsAndGreysWhatTheKindDoesNotUse) {
    struct Case {
        int32_t kind;
        const char* enables;
        int32_t month, day, start_hour, start_minute, end_hour, end_month, end_day;
        bool alarm_on, reminder_on;
    } cases[] = {
        {KIND_TIME_RANGE, "1011010101", 3, 15, 14, 30, 16, -1, -1, false, false},
        {KIND_DATE_SPAN, "1010100111", 3, 15, -1, -1, -1, 3, 15, true, true},
        {KIND_MORNING, "1010000111", 3, 15, -1, -1, -1, -1, -1, true, true},
        {KIND_AFTERNOON, "1010000111", 3, 15, -1, -1, -1, -1, -1, true, true},
        {KIND_ALL_DAY, "1010000111", 3, 15, -1, -1, -1, -1, -1, true, true},
        {KIND_TODO, "1000000110", -1, -1, -1, -1, -1, -1, -1, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        EntryForm form = busy_form();
        switch_kind(form, c.kind, SELECTED, ALARM_DEFAULT);
        EXPECT_EQ(c.kind, form.kind);
        EXPECT_EQ(c.enables, enables_text(entry_enables(ENTRY_EDIT_SCHEDULE, form)));
        EXPECT_EQ(c.kind == KIND_TODO ? "2004" : "2005", form.year_text);
        EXPECT_EQ(c.month, form.month);
        EXPECT_EQ(c.day, form.day);
        EXPECT_EQ(c.start_hour, form.start_hour);
        EXPECT_EQ(c.start_minute, form.start_minute);
        EXPECT_EQ(c.end_hour, form.end_hour);
        EXPECT_EQ(c.end_month, form.end_month);
        EXPECT_EQ(c.end_day, form.end_day);
        EXPECT_EQ(c.alarm_on, form.alarm_on);
        EXPECT_EQ(c.reminder_on, form.reminder_on);
        EXPECT_EQ("会議", form.content);
    }
    // Back to a time range from a span: empty time lists get 9:00 and the
    // alarm minutes the settings' default.
    EntryForm form = busy_form();
    switch_kind(form, KIND_DATE_SPAN, SELECTED, ALARM_DEFAULT);
    switch_kind(form, KIND_TIME_RANGE, SELECTED, ALARM_DEFAULT);
    EXPECT_EQ(900, form.start_hour * 100 + form.start_minute);
    EXPECT_EQ(900, form.end_hour * 100 + form.end_minute);
    EXPECT_EQ(NO_SELECTION, form.end_month);
    EXPECT_EQ("10", form.alarm_minutes_text);
}

TEST(KindSwitch, OpeningStatesFollowTheMode) {
    struct Case {
        int32_t mode;
        const char* enables;
    } cases[] = {
        {ENTRY_NEW_SCHEDULE, "1011010101"},
        {ENTRY_NEW_TODO, "0100000100"},
    };
    for (const Case& c : cases) {
        EntryForm form = new_entry_form(c.mode, SELECTED, ALARM_DEFAULT);
        EXPECT_EQ(c.enables, enables_text(entry_enables(c.mode, form))) << c.mode;
    }
    EntryForm form = new_entry_form(ENTRY_NEW_SCHEDULE, SELECTED, ALARM_DEFAULT);
    EXPECT_EQ("2005", form.year_text);
    EXPECT_EQ(900, form.start_hour * 100 + form.start_minute);
    EXPECT_EQ(900, form.end_hour * 100 + form.end_minute);
    EXPECT_EQ("10", form.alarm_minutes_text);

    // A stored span opens with its end date and no times; a done reminder
    // opens unchecked; a minute off the 5-minute steps shows the step below.
    ScheduleRecord span = testing::dated_record(KIND_DATE_SPAN, {2004, 12, 28}, {2005, 1, 5});
    span.reminder_state = TRIGGER_DONE;
    form = edit_entry_form(ENTRY_EDIT_SCHEDULE, span, SELECTED, ALARM_DEFAULT);
    EXPECT_EQ("1010100101", enables_text(entry_enables(ENTRY_EDIT_SCHEDULE, form)));
    EXPECT_EQ("2004", form.year_text);
    EXPECT_EQ(1, form.end_month);
    EXPECT_EQ(5, form.end_day);
    EXPECT_EQ(NO_SELECTION, form.start_hour);
    EXPECT_FALSE(form.reminder_on);

    ScheduleRecord odd = testing::dated_record(KIND_TIME_RANGE, {2004, 3, 1}, {2004, 3, 1});
    odd.start_minute = 7;
    odd.end_hour = 25; // not in the hour list
    form = edit_entry_form(ENTRY_EDIT_SCHEDULE, odd, SELECTED, ALARM_DEFAULT);
    EXPECT_EQ(5, form.start_minute);
    EXPECT_EQ(NO_SELECTION, form.end_hour);
}

TEST(KindSwitch, CheckBoxesFillTheirDefaults) {
    // The reminder starts where the entry starts, or on the selected day at
    // 9:00 when the kind has no time or the item no date.
    struct Case {
        int32_t mode;
        int32_t kind;
        const char* year;
        int32_t month, day, hour, minute;
    } cases[] = {
        {ENTRY_EDIT_SCHEDULE, KIND_TIME_RANGE, "2004", 5, 20, 14, 30},
        {ENTRY_EDIT_SCHEDULE, KIND_ALL_DAY, "2005", 3, 15, 9, 0},
        {ENTRY_NEW_TODO, KIND_TODO, "2005", 3, 15, 9, 0},
    };
    for (const Case& c : cases) {
        EntryForm form = c.mode == ENTRY_NEW_TODO ? new_entry_form(c.mode, SELECTED, ALARM_DEFAULT)
                                                  : busy_form();
        if (c.kind != form.kind)
            switch_kind(form, c.kind, SELECTED, ALARM_DEFAULT);
        toggle_reminder(form, false, SELECTED);
        toggle_reminder(form, true, SELECTED);
        EXPECT_EQ(c.year, form.reminder_year_text) << c.kind;
        EXPECT_EQ(c.month, form.reminder_month) << c.kind;
        EXPECT_EQ(c.day, form.reminder_day) << c.kind;
        EXPECT_EQ(c.hour, form.reminder_hour) << c.kind;
        EXPECT_EQ(c.minute, form.reminder_minute) << c.kind;
    }

    // The alarm keeps a usable number and replaces anything else.
    struct Alarm {
        const char* typed;
        const char* after;
    } alarms[] = {{"", "10"}, {"0", "10"}, {"x5", "10"}, {"25", "25"}, {"0005", "10"}};
    for (const Alarm& a : alarms) {
        EntryForm form = new_entry_form(ENTRY_NEW_SCHEDULE, SELECTED, ALARM_DEFAULT);
        form.alarm_minutes_text = a.typed;
        toggle_alarm(form, true, ALARM_DEFAULT);
        EXPECT_EQ(a.after, form.alarm_minutes_text) << a.typed;
        EXPECT_TRUE(entry_enables(ENTRY_NEW_SCHEDULE, form).alarm_minutes);
        toggle_alarm(form, false, ALARM_DEFAULT);
        EXPECT_EQ(a.after, form.alarm_minutes_text) << "unchecking keeps the text";
    }

    // Only a new schedule's end hour follows its start hour.
    for (int32_t mode : {ENTRY_NEW_SCHEDULE, ENTRY_EDIT_SCHEDULE}) {
        EntryForm form = new_entry_form(mode, SELECTED, ALARM_DEFAULT);
        form.start_hour = 14;
        start_hour_changed(form, mode);
        EXPECT_EQ(mode == ENTRY_NEW_SCHEDULE ? 14 : 9, form.end_hour);
    }
}

TEST(KindSwitch, RadiosAndKindsMatch) {
    for (int32_t kind = KIND_TIME_RANGE; kind <= KIND_TODO; ++kind)
        EXPECT_EQ(kind, radio_kind(kind_radio(kind)));
    EXPECT_EQ(0, kind_radio(KIND_DELETED));
    EXPECT_EQ(0, radio_kind(ENTRY_OK));
}

} // namespace
} // namespace vntra
