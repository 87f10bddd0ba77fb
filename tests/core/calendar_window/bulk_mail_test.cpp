#include "calendar_window/bulk_mail.h"

#include <gtest/gtest.h>

#include "store/settings_record.h"
#include "support/data_file_fixture.h"
#include "support/records.h"
#include "support/sjis_assert.h"

namespace vntra {
namespace {

using testing::dated_record;

TEST(WeekDates, RowsOfTheMonthGridReachIntoNeighbouringMonths) {
    struct Case {
        YearMonth month;
        int week;
        LocalDate first;
        LocalDate last;
    } cases[] = {
        // March 1, 2004 is a Monday: week 1 starts on the leap day.
        {{2004, 3}, 1, {2004, 2, 29}, {2004, 3, 6}},
        {{2004, 3}, 5, {2004, 3, 28}, {2004, 4, 3}},
        // May 1, 2004 is a Saturday: six rows, the last one in June.
        {{2004, 5}, 6, {2004, 5, 30}, {2004, 6, 5}},
        // A month that starts on a Sunday starts its week 1 on the 1st.
        {{2009, 2}, 1, {2009, 2, 1}, {2009, 2, 7}},
        {{2009, 2}, 4, {2009, 2, 22}, {2009, 2, 28}},
        // Across the turn of the year.
        {{2005, 1}, 1, {2004, 12, 26}, {2005, 1, 1}},
        {{2004, 12}, 5, {2004, 12, 26}, {2005, 1, 1}},
    };
    for (const Case& c : cases) {
        WeekDates dates = week_dates(c.month, c.week);
        SCOPED_TRACE(std::to_string(c.month.year) + "/" + std::to_string(c.month.month) + " week " +
                     std::to_string(c.week));
        EXPECT_EQ(make_date_key(c.first), make_date_key(dates.first));
        EXPECT_EQ(make_date_key(c.last), make_date_key(dates.last));
    }
}

TEST(WeekSelection, AnEntryIsTakenWhenItTouchesTheWeek) {
    WeekDates week = week_dates({2004, 3}, 2); // March 7 – 13
    ScheduleRecord todo = dated_record(KIND_TODO, {2004, 3, 8}, {2004, 3, 8}, "dated ToDo");
    ScheduleRecord deleted = blank_record();
    struct Case {
        ScheduleRecord record;
        bool taken;
    } cases[] = {
        {dated_record(KIND_ALL_DAY, {2004, 3, 7}, {2004, 3, 7}), true},
        {dated_record(KIND_ALL_DAY, {2004, 3, 13}, {2004, 3, 13}), true},
        {dated_record(KIND_ALL_DAY, {2004, 3, 6}, {2004, 3, 6}), false},
        {dated_record(KIND_ALL_DAY, {2004, 3, 14}, {2004, 3, 14}), false},
        // From the week before to the week after: taken in the middle too.
        {dated_record(KIND_DATE_SPAN, {2004, 3, 1}, {2004, 3, 20}), true},
        {dated_record(KIND_DATE_SPAN, {2004, 3, 1}, {2004, 3, 7}), true},
        {dated_record(KIND_MORNING, {2004, 3, 10}, {2004, 3, 10}), true},
        {dated_record(KIND_AFTERNOON, {2004, 3, 10}, {2004, 3, 10}), true},
        {dated_record(KIND_TIME_RANGE, {2004, 3, 10}, {2004, 3, 10}), true},
        // A ToDo item is never taken, whatever dates it carries.
        {todo, false},
        {deleted, false},
        {dated_record(9, {2004, 3, 10}, {2004, 3, 10}), false},
    };
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(cases[i].taken, taken_in_week(cases[i].record, week)) << "case " << i;
}

TEST(BulkMailRows, MarksComeOffWholeCharacters) {
    EXPECT_SJIS_EQ("03月15日 終日         休暇：", unmarked_row("★ 03月15日 終日         休暇："));
    EXPECT_SJIS_EQ("03月15日 終日         休暇：", unmarked_row("　 03月15日 終日         休暇："));
    EXPECT_EQ("", unmarked_row("★ "));
    EXPECT_EQ("", unmarked_row(""));
}

class BulkMailFile : public testing::DataFileTest {
  protected:
    void add_march_and_april() {
        add(dated_record(KIND_DATE_SPAN, {2004, 2, 27}, {2004, 3, 9}, "出張", "大阪")); // 1
        add(dated_record(KIND_ALL_DAY, {2004, 2, 29}, {2004, 2, 29}, "閏日"));          // 2
        ScheduleRecord meeting =
            dated_record(KIND_TIME_RANGE, {2004, 3, 3}, {2004, 3, 3}, "会議", "本社"); // 3
        meeting.start_hour = 9;
        meeting.end_hour = 10;
        meeting.end_minute = 30;
        add(meeting);
        add(dated_record(KIND_MORNING, {2004, 3, 1}, {2004, 3, 1}, "朝礼"));   // 4
        add(dated_record(KIND_ALL_DAY, {2004, 3, 17}, {2004, 3, 17}, "休暇")); // 5
        add(dated_record(KIND_ALL_DAY, {2004, 4, 2}, {2004, 4, 2}, "四月"));   // 6
        add(dated_record(KIND_TODO, {2004, 3, 2}, {2004, 3, 2}, "買い物"));    // 7
    }
};

TEST_F(BulkMailFile, WeekOneTakesTheDaysOfTheMonthBeforeUnderTheShownMonth) {
    add_march_and_april();
    MonthView march = build_month_view(store, {2004, 3}, {2004, 3, 17}, MARK_TODAY);
    BulkMail mail = gather_bulk_mail(store, march, 1);
    ASSERT_EQ(4u, mail.rows.size());
    ASSERT_EQ(4u, mail.entries.size());
    EXPECT_SJIS_EQ("02月27日-03月09日     出張：大阪", mail.rows[0]);
    EXPECT_SJIS_EQ("02月29日 終日         閏日：", mail.rows[1]);
    EXPECT_SJIS_EQ("03月01日 午前         朝礼：", mail.rows[2]);
    EXPECT_SJIS_EQ("03月03日 09:00-10:30  会議：本社", mail.rows[3]);
    const int ids[] = {1, 2, 4, 3};
    for (size_t i = 0; i < 4; ++i)
        EXPECT_EQ(ids[i], mail.entries[i].record.id) << i;
    EXPECT_EQ(&WEEK_SUBJECTS, mail.subjects);
    EXPECT_SJIS_EQ("3月第1週のスケジュール", make_subject(*mail.subjects, mail.values, 0));
    EXPECT_SJIS_EQ("3月第1週のスケジュール No.2", make_subject(*mail.subjects, mail.values, 2));

    // Week 5 reaches into April and still carries March in its subject.
    BulkMail last = gather_bulk_mail(store, march, 5);
    ASSERT_EQ(1u, last.rows.size());
    EXPECT_SJIS_EQ("04月02日 終日         四月：", last.rows[0]);
    EXPECT_SJIS_EQ("3月第5週のスケジュール", make_subject(*last.subjects, last.values, 0));

    // A week without entries gives nothing to send.
    EXPECT_TRUE(gather_bulk_mail(store, march, 4).rows.empty());
}

TEST_F(BulkMailFile, TheMonthMailIsTheMonthListWithoutMarks) {
    add_march_and_april();
    MonthView march = build_month_view(store, {2004, 3}, {2004, 3, 17}, MARK_TODAY);
    BulkMail mail = gather_bulk_mail(store, march, WHOLE_MONTH);
    ASSERT_EQ(march.rows.size(), mail.rows.size());
    ASSERT_EQ(4u, mail.rows.size());
    for (size_t i = 0; i < mail.rows.size(); ++i) {
        EXPECT_EQ(march.entries[i].record.id, mail.entries[i].record.id) << i;
        EXPECT_EQ(month_line_text(mail.entries[i].record), mail.rows[i]) << i;
    }
    // The span that began in February is in it; the leap day is not.
    EXPECT_SJIS_EQ("02月27日-03月09日     出張：大阪", mail.rows[0]);
    EXPECT_SJIS_EQ("03月17日 終日         休暇：", mail.rows[3]);
    EXPECT_SJIS_EQ("3月のスケジュール No.1", make_subject(*mail.subjects, mail.values, 1));
}

} // namespace
} // namespace vntra
