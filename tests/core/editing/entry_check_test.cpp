#include "editing/entry_check.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "reminders/timer_scan.h"
#include "support/data_file_fixture.h"
#include "support/records.h"
#include "support/sjis_assert.h"

namespace vntra {
namespace {

using testing::dated_record;

const LocalDate SELECTED = {2004, 3, 15};
const int32_t ALARM_DEFAULT = 10;

// A time range on 15 March 2004, 10:00 to 11:00, that passes every check.
EntryForm good_form() {
    EntryForm form = new_entry_form(ENTRY_NEW_SCHEDULE, SELECTED, ALARM_DEFAULT);
    form.start_hour = 10;
    form.end_hour = 11;
    form.content = "会議";
    form.place = "本社";
    return form;
}

struct Failing {
    const char* name;
    std::function<void(EntryForm&)> change;
    const char* message;
    int focus;
};

// The checks in the order the OK button makes them: each row breaks one
// field of a form that otherwise passes, and the later checks never speak.
TEST(EntryCheck, FirstFailureNamesMessageAndFocus) {
    const Failing cases[] = {
        {"empty year", [](EntryForm& f) { f.year_text = ""; }, MESSAGE_NOT_ENTERED, ENTRY_YEAR},
        {"year 2000", [](EntryForm& f) { f.year_text = "2000"; }, MESSAGE_YEAR_TOO_EARLY,
         ENTRY_YEAR},
        {"letters for a year", [](EntryForm& f) { f.year_text = "abcd"; }, MESSAGE_YEAR_TOO_EARLY,
         ENTRY_YEAR},
        {"year beyond the date keys", [](EntryForm& f) { f.year_text = "2147483"; },
         MESSAGE_YEAR_TOO_LATE, ENTRY_YEAR},
        {"no month, no day", [](EntryForm& f) { f.month = f.day = NO_SELECTION; },
         MESSAGE_DATE_NOT_ENTERED, ENTRY_MONTH},
        {"no day", [](EntryForm& f) { f.day = NO_SELECTION; }, MESSAGE_DATE_NOT_ENTERED, ENTRY_DAY},
        {"29 February 2005",
         [](EntryForm& f) {
             f.year_text = "2005";
             f.month = 2;
             f.day = 29;
         },
         MESSAGE_DATE_INVALID, ENTRY_DAY},
        {"31 April",
         [](EntryForm& f) {
             f.month = 4;
             f.day = 31;
         },
         MESSAGE_DATE_INVALID, ENTRY_DAY},
        {"no start minute, no end hour",
         [](EntryForm& f) { f.start_minute = f.end_hour = NO_SELECTION; }, MESSAGE_TIME_NOT_ENTERED,
         ENTRY_START_MINUTE},
        {"no end minute", [](EntryForm& f) { f.end_minute = NO_SELECTION; },
         MESSAGE_TIME_NOT_ENTERED, ENTRY_END_MINUTE},
        {"10:05 to 10:00",
         [](EntryForm& f) {
             f.start_minute = 5;
             f.end_hour = 10;
             f.end_minute = 0;
         },
         MESSAGE_TIME_INVALID, ENTRY_END_HOUR},
        {"alarm minutes 0",
         [](EntryForm& f) {
             f.alarm_on = true;
             f.alarm_minutes_text = "0";
         },
         MESSAGE_NUMBER_INVALID, ENTRY_ALARM_MINUTES},
        {"alarm minutes empty",
         [](EntryForm& f) {
             f.alarm_on = true;
             f.alarm_minutes_text = "";
         },
         MESSAGE_NUMBER_INVALID, ENTRY_ALARM_MINUTES},
        {"span without its end",
         [](EntryForm& f) {
             f.kind = KIND_DATE_SPAN;
             f.end_month = 4;
             f.end_day = NO_SELECTION;
         },
         MESSAGE_DATE_NOT_ENTERED, ENTRY_END_DAY},
        {"span to 29 February of a common year",
         [](EntryForm& f) {
             f.year_text = "2004";
             f.month = 12;
             f.day = 20;
             f.kind = KIND_DATE_SPAN;
             f.end_month = 2;
             f.end_day = 29;
         },
         MESSAGE_DATE_INVALID, ENTRY_END_DAY},
        {"empty content", [](EntryForm& f) { f.content = ""; }, MESSAGE_NOT_ENTERED, ENTRY_CONTENT},
        {"reminder without a year",
         [](EntryForm& f) {
             toggle_reminder(f, true, SELECTED);
             f.reminder_year_text = "";
         },
         MESSAGE_NOT_ENTERED, ENTRY_REMINDER_YEAR},
        {"reminder in 2000",
         [](EntryForm& f) {
             toggle_reminder(f, true, SELECTED);
             f.reminder_year_text = "2000";
         },
         MESSAGE_YEAR_TOO_EARLY, ENTRY_REMINDER_YEAR},
        {"reminder without a day",
         [](EntryForm& f) {
             toggle_reminder(f, true, SELECTED);
             f.reminder_day = NO_SELECTION;
         },
         MESSAGE_DATE_NOT_ENTERED, ENTRY_REMINDER_DAY},
        {"reminder without a minute",
         [](EntryForm& f) {
             toggle_reminder(f, true, SELECTED);
             f.reminder_minute = NO_SELECTION;
         },
         MESSAGE_TIME_NOT_ENTERED, ENTRY_REMINDER_MINUTE},
        {"reminder on 31 June, also without an hour",
         [](EntryForm& f) {
             toggle_reminder(f, true, SELECTED);
             f.reminder_month = 6;
             f.reminder_day = 31;
             f.reminder_hour = NO_SELECTION;
         },
         MESSAGE_TIME_NOT_ENTERED, ENTRY_REMINDER_HOUR},
        {"reminder on 31 June",
         [](EntryForm& f) {
             toggle_reminder(f, true, SELECTED);
             f.reminder_month = 6;
             f.reminder_day = 31;
         },
         MESSAGE_DATE_INVALID, ENTRY_REMINDER_DAY},
    };
    for (const Failing& c : cases) {
        EntryForm form = good_form();
        c.change(form);
        EntryCheck check = check_entry(ENTRY_NEW_SCHEDULE, form);
        EXPECT_FALSE(check.passed) << c.name;
        EXPECT_SJIS_EQ(c.message, check.message) << c.name;
        EXPECT_EQ(c.focus, check.focus) << c.name;
    }
    auto row = [&](std::string_view name) {
        return std::find_if(std::begin(cases), std::end(cases),
                            [&](const Failing& c) { return name == c.name; });
    };
    // Two adjacent sections broken at once: the earlier one speaks.
    const std::pair<const char*, const char*> adjacent[] = {
        {"31 April", "no end minute"},         {"10:05 to 10:00", "alarm minutes 0"},
        {"alarm minutes 0", "empty content"},  {"span without its end", "empty content"},
        {"empty content", "reminder in 2000"},
    };
    for (const auto& [earlier, later] : adjacent) {
        ASSERT_TRUE(row(earlier) != std::end(cases) && row(later) != std::end(cases));
        EntryForm form = good_form();
        row(later)->change(form);
        row(earlier)->change(form);
        EXPECT_EQ(row(earlier)->focus, check_entry(ENTRY_NEW_SCHEDULE, form).focus) << earlier;
    }
}

struct Passing {
    const char* name;
    std::function<void(EntryForm&)> change;
    std::function<void(const ScheduleRecord&)> expect;
};

TEST(EntryCheck, AcceptedFormsBuildTheirRecords) {
    const Passing cases[] = {
        {"five-digit year", [](EntryForm& f) { f.year_text = "20041"; },
         [](const ScheduleRecord& r) {
             EXPECT_EQ(20041, r.start_year);
             EXPECT_EQ(20041, r.end_year);
         }},
        {"year typed with more than seven characters",
         [](EntryForm& f) { f.year_text = "00020049"; },
         [](const ScheduleRecord& r) { EXPECT_EQ(2004, r.start_year); }},
        {"29 February 2100",
         [](EntryForm& f) {
             f.year_text = "2100";
             f.month = 2;
             f.day = 29;
         },
         [](const ScheduleRecord& r) { EXPECT_EQ(29, r.end_day); }},
        {"year 2001 itself", [](EntryForm& f) { f.year_text = "2001"; },
         [](const ScheduleRecord& r) { EXPECT_EQ(2001, r.start_year); }},
        {"10:00 to 10:00",
         [](EntryForm& f) {
             f.end_hour = 10;
             f.start_minute = f.end_minute = 0;
         },
         [](const ScheduleRecord& r) {
             EXPECT_EQ(KIND_TIME_RANGE, r.kind);
             EXPECT_EQ(1000, r.end_hour * 100 + r.end_minute);
             EXPECT_EQ(TRIGGER_OFF, r.alarm_state);
             EXPECT_EQ(0, r.alarm_lead_minutes);
         }},
        {"24:55 as an end",
         [](EntryForm& f) {
             f.end_hour = HOUR_LAST;
             f.end_minute = 55;
         },
         [](const ScheduleRecord& r) { EXPECT_EQ(2455, r.end_hour * 100 + r.end_minute); }},
        {"alarm minutes 1234 read as 123",
         [](EntryForm& f) {
             f.alarm_on = true;
             f.alarm_minutes_text = "1234";
         },
         [](const ScheduleRecord& r) {
             EXPECT_EQ(TRIGGER_ARMED, r.alarm_state);
             EXPECT_EQ(123, r.alarm_lead_minutes);
         }},
        {"span across New Year",
         [](EntryForm& f) {
             f.month = 12;
             f.day = 20;
             f.kind = KIND_DATE_SPAN;
             f.end_month = 1;
             f.end_day = 5;
             f.alarm_on = true; // greyed out for a span: never stored
         },
         [](const ScheduleRecord& r) {
             EXPECT_EQ(KIND_DATE_SPAN, r.kind);
             EXPECT_EQ(2005, r.end_year);
             EXPECT_EQ(1, r.end_month);
             EXPECT_EQ(5, r.end_day);
             EXPECT_EQ(0, r.start_hour * 100 + r.start_minute);
             EXPECT_EQ(2400, r.end_hour * 100 + r.end_minute);
             EXPECT_EQ(TRIGGER_OFF, r.alarm_state);
         }},
        {"span ending before it starts in the same month",
         [](EntryForm& f) {
             f.day = 10;
             f.kind = KIND_DATE_SPAN;
             f.end_month = 3;
             f.end_day = 3;
         },
         [](const ScheduleRecord& r) {
             EXPECT_EQ(2004, r.end_year);
             EXPECT_EQ(3, r.end_day);
         }},
        {"morning", [](EntryForm& f) { f.kind = KIND_MORNING; },
         [](const ScheduleRecord& r) {
             EXPECT_EQ(KIND_MORNING, r.kind);
             EXPECT_EQ(1200, r.end_hour * 100 + r.end_minute);
             EXPECT_EQ(15, r.end_day);
         }},
        {"afternoon", [](EntryForm& f) { f.kind = KIND_AFTERNOON; },
         [](const ScheduleRecord& r) {
             EXPECT_EQ(1200, r.start_hour * 100 + r.start_minute);
             EXPECT_EQ(2400, r.end_hour * 100 + r.end_minute);
         }},
        {"content of 70 bytes keeps its first 64",
         [](EntryForm& f) { f.content = std::string(70, 'x'); },
         [](const ScheduleRecord& r) { EXPECT_EQ(std::string(64, 'x'), field_text(r.content)); }},
        {"a double-byte character across byte 64 is left out whole",
         [](EntryForm& f) {
             f.content = std::string(63, 'x') + "会議";
             f.place = "a" + std::string("場所場所場所場所場所場所場所場所場所場所場所場所場所"
                                         "場所場所場所");
         },
         [](const ScheduleRecord& r) {
             EXPECT_EQ(std::string(63, 'x'), field_text(r.content));
             EXPECT_EQ(63u, field_text(r.place).size());
         }},
        {"reminder as entered",
         [](EntryForm& f) {
             toggle_reminder(f, true, SELECTED);
             f.reminder_hour = 24;
             f.reminder_minute = 55;
         },
         [](const ScheduleRecord& r) {
             EXPECT_EQ(TRIGGER_ARMED, r.reminder_state);
             EXPECT_EQ(2004, r.reminder_year);
             EXPECT_EQ(3, r.reminder_month);
             EXPECT_EQ(15, r.reminder_day);
             EXPECT_EQ(2455, r.reminder_hour * 100 + r.reminder_minute);
         }},
        {"reminder unchecked clears its fields",
         [](EntryForm& f) {
             toggle_reminder(f, true, SELECTED);
             toggle_reminder(f, false, SELECTED);
         },
         [](const ScheduleRecord& r) {
             EXPECT_EQ(TRIGGER_OFF, r.reminder_state);
             EXPECT_EQ(0, r.reminder_year + r.reminder_month + r.reminder_day);
         }},
    };
    for (const Passing& c : cases) {
        EntryForm form = good_form();
        c.change(form);
        EntryCheck check = check_entry(ENTRY_NEW_SCHEDULE, form);
        ASSERT_TRUE(check.passed) << c.name << ": " << testing::readable(check.message);
        SCOPED_TRACE(c.name);
        c.expect(check.record);
    }
}

TEST(EntryCheck, ToDoItemsAreUndatedAndPlaceless) {
    EntryForm form = new_entry_form(ENTRY_NEW_TODO, SELECTED, ALARM_DEFAULT);
    form.year_text = "1999"; // disabled fields are not checked
    form.content = "牛乳を買う";
    form.place = "店";
    form.alarm_on = true;
    EntryCheck check = check_entry(ENTRY_NEW_TODO, form);
    ASSERT_TRUE(check.passed);
    ScheduleRecord expected = blank_record();
    expected.kind = KIND_TODO;
    set_text(expected.content, "牛乳を買う");
    EXPECT_EQ(0, std::memcmp(&expected, &check.record, sizeof expected));

    form.content = "";
    check = check_entry(ENTRY_NEW_TODO, form);
    EXPECT_FALSE(check.passed);
    EXPECT_EQ(ENTRY_CONTENT, check.focus);
}

// ---- loading and saving -------------------------------------------------

class EntryStore : public testing::DataFileTest {
  protected:
    void SetUp() override {
        DataFileTest::SetUp();
        add(dated_record(KIND_ALL_DAY, SELECTED, SELECTED, "終日", ""));
        ScheduleRecord todo = blank_record();
        todo.kind = KIND_TODO;
        set_text(todo.content, "ＴｏＤｏ");
        add(todo);
        add(dated_record(KIND_MORNING, SELECTED, SELECTED, "消す", ""));
        ASSERT_TRUE(delete_record(store, 3));
    }
    ScheduleRecord slot(int32_t id) {
        ScheduleRecord r{};
        EXPECT_TRUE(read_record(store, id, r));
        return r;
    }
};

TEST_F(EntryStore, EditsOpenOnlyOnAnItemOfTheirKind) {
    struct Case {
        int32_t mode;
        int32_t id;
        EntryLoad expected;
    } cases[] = {
        {ENTRY_EDIT_SCHEDULE, 1, LOAD_DONE},       {ENTRY_EDIT_TODO, 2, LOAD_DONE},
        {ENTRY_EDIT_SCHEDULE, 2, LOAD_GONE},       {ENTRY_EDIT_TODO, 1, LOAD_GONE},
        {ENTRY_EDIT_SCHEDULE, 3, LOAD_GONE},       {ENTRY_EDIT_SCHEDULE, 4, LOAD_UNREADABLE},
        {ENTRY_EDIT_SCHEDULE, 0, LOAD_UNREADABLE},
    };
    for (const Case& c : cases) {
        ScheduleRecord record = blank_record();
        record.id = -7;
        EXPECT_EQ(c.expected, load_entry(store, c.mode, c.id, record)) << c.mode << "/" << c.id;
        EXPECT_EQ(c.expected == LOAD_DONE ? c.id : -7, record.id);
    }
    std::filesystem::remove(store.path);
    ScheduleRecord record{};
    EXPECT_EQ(LOAD_UNREADABLE, load_entry(store, ENTRY_EDIT_SCHEDULE, 1, record));
}

TEST_F(EntryStore, EditKeepsItsIdAndRearmsOnlyWhenAsked) {
    ScheduleRecord stored = slot(1);
    stored.kind = KIND_TIME_RANGE;
    stored.alarm_state = TRIGGER_DONE;
    stored.alarm_lead_minutes = 15;
    ASSERT_TRUE(rewrite_record(store, stored));

    EntryForm form = edit_entry_form(ENTRY_EDIT_SCHEDULE, stored, {2004, 4, 1}, ALARM_DEFAULT);
    EXPECT_FALSE(form.alarm_on); // a done alarm shows unchecked
    form.end_hour = 12;
    EntryCheck check = check_entry(ENTRY_EDIT_SCHEDULE, form);
    ASSERT_TRUE(check.passed);
    EXPECT_EQ(SAVE_DONE, save_entry(store, ENTRY_EDIT_SCHEDULE, 1, stored, check.record));
    EXPECT_EQ(1, slot(1).id);
    EXPECT_EQ(TRIGGER_OFF, slot(1).alarm_state);

    toggle_alarm(form, true, ALARM_DEFAULT);
    check = check_entry(ENTRY_EDIT_SCHEDULE, form);
    ASSERT_TRUE(check.passed);
    EXPECT_EQ(SAVE_DONE, save_entry(store, ENTRY_EDIT_SCHEDULE, 1, stored, check.record));
    EXPECT_EQ(TRIGGER_ARMED, slot(1).alarm_state);
    EXPECT_EQ(15, slot(1).alarm_lead_minutes);
    EXPECT_EQ(3, store.record_count);
}

// A reminder mail that was on its way when the dialog opened lands its mark
// while the dialog is open; OK must not arm it again unless the user moved it.
TEST_F(EntryStore, MarksMadeWhileTheDialogIsOpenSurviveTheSave) {
    struct Case {
        int32_t fired; // marked done while the dialog is open
        std::function<void(EntryForm&)> edit;
        int32_t alarm, reminder; // as saved
    };
    const Case cases[] = {
        {TRIGGER_REMINDER, [](EntryForm& f) { f.content = "別件"; }, TRIGGER_ARMED, TRIGGER_DONE},
        {TRIGGER_REMINDER, [](EntryForm& f) { f.reminder_minute = 5; }, TRIGGER_ARMED,
         TRIGGER_ARMED},
        {TRIGGER_ALARM, [](EntryForm& f) { f.end_hour = 12; }, TRIGGER_DONE, TRIGGER_ARMED},
        {TRIGGER_ALARM, [](EntryForm& f) { f.alarm_minutes_text = "30"; }, TRIGGER_ARMED,
         TRIGGER_ARMED},
    };
    ScheduleRecord opened = testing::timed_record(SELECTED, 10, 0, 11, 0, "会議");
    opened.id = 1;
    opened.alarm_state = opened.reminder_state = TRIGGER_ARMED;
    opened.alarm_lead_minutes = 15;
    opened.reminder_year = 2004;
    opened.reminder_month = 3;
    opened.reminder_day = 15;
    for (size_t i = 0; i < std::size(cases); ++i) {
        ScheduleRecord marked = opened;
        trigger_state(marked, cases[i].fired) = TRIGGER_DONE;
        ASSERT_TRUE(rewrite_record(store, marked));
        EntryForm form = edit_entry_form(ENTRY_EDIT_SCHEDULE, opened, SELECTED, ALARM_DEFAULT);
        cases[i].edit(form);
        EntryCheck check = check_entry(ENTRY_EDIT_SCHEDULE, form);
        ASSERT_TRUE(check.passed) << "row " << i;
        EXPECT_EQ(SAVE_DONE, save_entry(store, ENTRY_EDIT_SCHEDULE, 1, opened, check.record)) << i;
        EXPECT_EQ(cases[i].alarm, slot(1).alarm_state) << "row " << i;
        EXPECT_EQ(cases[i].reminder, slot(1).reminder_state) << "row " << i;
    }
}

TEST_F(EntryStore, EditNeverWritesOverAnotherItem) {
    std::string before = testing::read_file_bytes(store.path);
    EntryCheck check = check_entry(ENTRY_EDIT_SCHEDULE, good_form());
    ASSERT_TRUE(check.passed);
    // The ToDo item in slot 2 and the deleted slot 3 are not schedules.
    EXPECT_EQ(SAVE_GONE, save_entry(store, ENTRY_EDIT_SCHEDULE, 2, slot(1), check.record));
    EXPECT_EQ(SAVE_GONE, save_entry(store, ENTRY_EDIT_SCHEDULE, 3, slot(1), check.record));
    EXPECT_EQ(SAVE_FAILED, save_entry(store, ENTRY_EDIT_SCHEDULE, 9, slot(1), check.record));
    EXPECT_EQ(before, testing::read_file_bytes(store.path));
}

TEST_F(EntryStore, SaveThatCannotWriteKeepsTheCount) {
    std::filesystem::path real = store.path;
    store.path = folder / "missing" / DATA_FILE_NAME;
    EntryCheck check = check_entry(ENTRY_NEW_SCHEDULE, good_form());
    ASSERT_TRUE(check.passed);
    const ScheduleRecord none{};
    EXPECT_EQ(SAVE_FAILED, save_entry(store, ENTRY_NEW_SCHEDULE, 0, none, check.record));
    EXPECT_EQ(3, store.record_count);
    EXPECT_EQ(SAVE_FAILED, save_entry(store, ENTRY_EDIT_SCHEDULE, 1, none, check.record));

    store.path = real;
    EXPECT_EQ(SAVE_DONE, save_entry(store, ENTRY_NEW_SCHEDULE, 0, none, check.record));
    EXPECT_EQ(4, check.record.id);
    EXPECT_EQ(4, slot(4).id);
}

} // namespace
} // namespace vntra
