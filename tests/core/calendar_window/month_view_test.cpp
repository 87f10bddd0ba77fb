#include "calendar_window/month_view.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "store/settings_record.h"
#include "support/data_file_fixture.h"
#include "support/records.h"
#include "support/sjis_assert.h"
#include "support/temp_folder.h"

namespace vntra {
namespace {

using testing::dated_record;
using testing::timed_record;

TEST(MonthPaging, StopsAtJanuary2001WrapsYearsAndKeepsTheDayInTheMonth) {
    // `day` is the selected day before paging back, `kept` the day after.
    struct Case {
        YearMonth from;
        bool moved;
        YearMonth back;
        int day;
        int kept;
    } cases[] = {
        {{2001, 1}, false, {2001, 1}, 31, 31},
        {{2001, 2}, true, {2001, 1}, 28, 28},
        {{2004, 1}, true, {2003, 12}, 31, 31},
        {{2004, 3}, true, {2004, 2}, 31, 29}, // a leap February
        {{2005, 3}, true, {2005, 2}, 30, 28},
        {{2004, 5}, true, {2004, 4}, 31, 30},
        {{2004, 5}, true, {2004, 4}, 1, 1},
    };
    for (const Case& c : cases) {
        YearMonth shown = c.from;
        EXPECT_EQ(c.moved, step_to_previous_month(shown)) << c.from.year << "/" << c.from.month;
        EXPECT_EQ(c.back.year, shown.year);
        EXPECT_EQ(c.back.month, shown.month);
        EXPECT_EQ(c.kept, day_within_month(shown, c.day)) << c.from.year << "/" << c.from.month;
    }
    YearMonth december{2004, 12};
    step_to_next_month(december);
    EXPECT_EQ(2005, december.year);
    EXPECT_EQ(1, december.month);
}

TEST(MarkPeriod, CoversMonthWeekOrDay) {
    struct Case {
        LocalDate today;
        int32_t range;
        const char* first;
        const char* last;
    } cases[] = {
        {{2004, 3, 17}, MARK_THIS_MONTH, "20040301", "20040331"},
        {{2004, 2, 10}, MARK_THIS_MONTH, "20040201", "20040229"},
        {{2004, 3, 17}, MARK_THIS_WEEK, "20040314", "20040320"},
        {{2004, 3, 14}, MARK_THIS_WEEK, "20040314", "20040320"}, // a Sunday
        {{2004, 3, 20}, MARK_THIS_WEEK, "20040314", "20040320"}, // a Saturday
        {{2004, 12, 30}, MARK_THIS_WEEK, "20041226", "20050101"},
        {{2004, 3, 2}, MARK_THIS_WEEK, "20040229", "20040306"},
        {{2004, 3, 17}, MARK_TODAY, "20040317", "20040317"},
        {{2004, 3, 17}, 7, "20040314", "20040320"}, // a hand-edited value: the week
    };
    for (const Case& c : cases) {
        MarkPeriod period = mark_period(c.today, c.range);
        EXPECT_EQ(c.first, period.first_key) << c.range;
        EXPECT_EQ(c.last, period.last_key) << c.range;
    }
}

TEST(MonthRows, FormatEachKindWithTheDateInTwentyBytes) {
    LocalDate day{2004, 3, 15};
    struct Case {
        ScheduleRecord record;
        const char* line;
    } cases[] = {
        {timed_record(day, 9, 0, 10, 30, "会議", "本社"), "03月15日 09:00-10:30  会議：本社"},
        {dated_record(KIND_DATE_SPAN, {2004, 12, 28}, {2005, 1, 5}, "帰省", ""),
         "12月28日-01月05日     帰省："},
        {dated_record(KIND_MORNING, day, day, "通院", "病院"), "03月15日 午前         通院：病院"},
        {dated_record(KIND_AFTERNOON, day, day, "来客", ""), "03月15日 午後         来客："},
        {dated_record(KIND_ALL_DAY, day, day, "休暇", "自宅"), "03月15日 終日         休暇：自宅"},
    };
    for (const Case& c : cases) {
        std::string line = month_line_text(c.record);
        EXPECT_SJIS_EQ(c.line, line);
        ASSERT_GE(line.size(), 22u);
        EXPECT_EQ("  ", line.substr(20, 2)) << c.record.kind;
    }
    ScheduleRecord todo = blank_record();
    todo.kind = KIND_TODO;
    EXPECT_EQ("", month_line_text(todo));
}

TEST(MonthRows, MarkWhenTheEntryTouchesThePeriod) {
    MarkPeriod week{"20040314", "20040320"};
    struct Case {
        ScheduleRecord record;
        bool marked;
    } cases[] = {
        {dated_record(KIND_ALL_DAY, {2004, 3, 14}, {2004, 3, 14}),
         true}, // ends on the period start
        {dated_record(KIND_ALL_DAY, {2004, 3, 13}, {2004, 3, 13}), false}, // the day before
        {dated_record(KIND_ALL_DAY, {2004, 3, 20}, {2004, 3, 20}), true},
        {dated_record(KIND_ALL_DAY, {2004, 3, 21}, {2004, 3, 21}), false},
        {dated_record(KIND_DATE_SPAN, {2004, 3, 1}, {2004, 3, 31}), true}, // spans the whole week
    };
    for (const Case& c : cases) {
        std::string row = marked_row_text(c.record, week);
        EXPECT_SJIS_EQ((c.marked ? "★ " : "　 ") + month_line_text(c.record), row);
        EXPECT_EQ(3u, row.size() - month_line_text(c.record).size());
    }
}

TEST(MonthView, SpanAcrossMonthsIsListedAndMarkedInBoth) {
    ScheduleRecord span = dated_record(KIND_DATE_SPAN, {2004, 1, 28}, {2004, 2, 3}, "研修");
    EXPECT_TRUE(listed_in_month(span, {2004, 1}));
    EXPECT_TRUE(listed_in_month(span, {2004, 2}));
    EXPECT_FALSE(listed_in_month(span, {2003, 12}));
    EXPECT_FALSE(listed_in_month(span, {2004, 3}));
    ScheduleRecord new_year = dated_record(KIND_DATE_SPAN, {2004, 12, 28}, {2005, 1, 5});
    EXPECT_TRUE(listed_in_month(new_year, {2004, 12}));
    EXPECT_TRUE(listed_in_month(new_year, {2005, 1}));
    ScheduleRecord todo = blank_record();
    todo.kind = KIND_TODO;
    EXPECT_FALSE(listed_in_month(todo, {0, 0}));
    EXPECT_FALSE(listed_in_month(blank_record(), {0, 0}));

    int32_t january[DAY_MARK_COUNT] = {};
    int32_t february[DAY_MARK_COUNT] = {};
    mark_covered_days(span, {2004, 1}, january);
    mark_covered_days(span, {2004, 2}, february);
    for (int day = 1; day <= 31; ++day) {
        EXPECT_EQ(day >= 28 ? 1 : 0, january[day]) << "January " << day;
        EXPECT_EQ(day <= 3 ? 1 : 0, february[day]) << "February " << day;
    }
}

class MonthViewFile : public testing::DataFileTest {};

TEST_F(MonthViewFile, ListsTheMonthSortedWithMarksAndBorders) {
    add(dated_record(KIND_ALL_DAY, {2004, 3, 15}, {2004, 3, 15}, "休暇"));
    add(timed_record({2004, 3, 15}, 9, 0, 10, 30, "会議", "本社"));
    add(dated_record(KIND_DATE_SPAN, {2004, 2, 27}, {2004, 3, 2}, "出張", "大阪"));
    add(dated_record(KIND_ALL_DAY, {2004, 4, 1}, {2004, 4, 1}, "四月"));
    ScheduleRecord todo = blank_record();
    todo.kind = KIND_TODO;
    set_text(todo.content, "買い物");
    add(todo);
    add(dated_record(KIND_ALL_DAY, {2004, 3, 20}, {2004, 3, 20}, "消した"));
    ASSERT_TRUE(delete_record(store, 6));

    MonthView view = build_month_view(store, {2004, 3}, {2004, 3, 15}, MARK_TODAY);
    ASSERT_EQ(3u, view.rows.size());
    ASSERT_EQ(3u, view.entries.size());
    EXPECT_SJIS_EQ("　 02月27日-03月02日     出張：大阪", view.rows[0]);
    EXPECT_SJIS_EQ("★ 03月15日 09:00-10:30  会議：本社", view.rows[1]);
    EXPECT_SJIS_EQ("★ 03月15日 終日         休暇：", view.rows[2]);
    EXPECT_EQ(3, view.entries[0].record.id);
    EXPECT_EQ(2, view.entries[1].record.id);
    for (int day = 1; day <= 31; ++day)
        EXPECT_EQ(day <= 2 || day == 15 ? 1 : 0, view.day_marks[day]) << day;
    // March 2004 starts on a Monday and fills five rows.
    EXPECT_EQ(1, view.first_weekday);
    EXPECT_TRUE(view.week5_exists);
    EXPECT_FALSE(view.week6_exists);
}

TEST_F(MonthViewFile, WeekRadiosFollowTheRowsTheMonthUses) {
    struct Case {
        YearMonth month;
        bool week5;
        bool week6;
    } cases[] = {
        {{2009, 2}, false, false}, // starts on a Sunday, 28 days
        {{2004, 2}, true, false},
        {{2004, 5}, true, true}, // starts on a Saturday
    };
    for (const Case& c : cases) {
        MonthView view = build_month_view(store, c.month, {2004, 3, 15}, MARK_THIS_WEEK);
        EXPECT_EQ(c.week5, view.week5_exists) << c.month.year << "/" << c.month.month;
        EXPECT_EQ(c.week6, view.week6_exists) << c.month.year << "/" << c.month.month;
        EXPECT_TRUE(view.rows.empty());
    }
}

TEST_F(MonthViewFile, TodoItemsAreOrderedByTheirIdNumbers) {
    // A hand-made file whose slots hold ids 12 and 9, in that order.
    ScheduleRecord twelve = blank_record();
    twelve.kind = KIND_TODO;
    set_text(twelve.content, "十二");
    ScheduleRecord nine = twelve;
    set_text(nine.content, "九");
    add(twelve);
    add(nine);
    add(dated_record(KIND_ALL_DAY, {2004, 3, 15}, {2004, 3, 15}, "予定"));
    twelve.id = 12;
    nine.id = 9;
    std::string bytes = testing::read_file_bytes(store.path);
    std::memcpy(bytes.data() + 12, &twelve, sizeof twelve);
    std::memcpy(bytes.data() + 12 + sizeof twelve, &nine, sizeof nine);
    testing::write_file_bytes(store.path, bytes);

    TodoView view = build_todo_view(store);
    ASSERT_EQ(2u, view.rows.size());
    EXPECT_SJIS_EQ("九", view.rows[0]);
    EXPECT_SJIS_EQ("十二", view.rows[1]);
    EXPECT_EQ(9, view.entries[0].record.id);
}

TEST(CalendarCaptions, TodoNoticeAndSendButton) {
    EXPECT_EQ("", todo_notice_text(0, 1));
    EXPECT_EQ("", todo_notice_text(2, 0));
    EXPECT_SJIS_EQ("2件のＴｏＤｏも送信します", todo_notice_text(2, 1));

    struct Case {
        const char* address;
        const char* caption;
    } cases[] = {
        {"", "メール送信"},
        {"a@b.jp", "a@b.jp へメール送信"},
        {"12345678901234567890", "12345678901234567890 へメール送信"},     // 20 bytes
        {"123456789012345678901", "12345678901234567890 ～ へメール送信"}, // 21 bytes
        // A double-byte character across the 20th byte is left out whole.
        {"1234567890123456789予定", "1234567890123456789 ～ へメール送信"},
        {"123456789012345678予定", "123456789012345678予 ～ へメール送信"},
    };
    for (const Case& c : cases) {
        char field[256] = {};
        std::strncpy(field, c.address, sizeof field - 1);
        EXPECT_SJIS_EQ(c.caption, send_button_caption(field));
    }
}

TEST(MarkRadios, OutOfRangeShowsTheWeekAsTheMarksDo) {
    struct Case {
        int32_t stored;
        int32_t shown;
    };
    const Case cases[] = {{MARK_THIS_MONTH, MARK_THIS_MONTH},
                          {MARK_THIS_WEEK, MARK_THIS_WEEK},
                          {MARK_TODAY, MARK_TODAY},
                          {3, MARK_THIS_WEEK},
                          {-1, MARK_THIS_WEEK},
                          {INT32_MIN, MARK_THIS_WEEK}};
    LocalDate today{2004, 5, 3};
    for (const Case& c : cases) {
        EXPECT_EQ(c.shown, shown_mark_range(c.stored)) << c.stored;
        // The radio shown and the marks drawn agree.
        EXPECT_EQ(mark_period(today, c.shown).first_key, mark_period(today, c.stored).first_key);
        EXPECT_EQ(mark_period(today, c.shown).last_key, mark_period(today, c.stored).last_key);
    }
}

TEST(CellShades, TodayThenHolidaysAndSundaysThenSaturdays) {
    LocalDate today{2004, 5, 3}; // 憲法記念日, a Monday
    YearMonth may{2004, 5};      // May 1, 2004 is a Saturday: day d is cell 5 + d
    struct Case {
        int day;
        CellShade shade;
    } cases[] = {
        {0, SHADE_NEUTRAL}, {3, SHADE_TODAY},                        // a holiday that is today
        {4, SHADE_HOLIDAY},                                          // 国民の休日
        {5, SHADE_HOLIDAY},                                          // こどもの日
        {6, SHADE_PLAIN},   {8, SHADE_SATURDAY}, {9, SHADE_HOLIDAY}, // a Sunday
    };
    for (const Case& c : cases) {
        int cell = c.day == 0 ? 0 : 5 + c.day;
        EXPECT_EQ(c.shade, cell_shade(may, cell, c.day, today)) << c.day;
    }
    // 元旦 2005 falls on a Saturday: the holiday wins.
    EXPECT_EQ(SHADE_HOLIDAY, cell_shade({2005, 1}, 6, 1, today));
    EXPECT_EQ(SHADE_HOLIDAY, header_shade(0));
    EXPECT_EQ(SHADE_NEUTRAL, header_shade(3));
    EXPECT_EQ(SHADE_SATURDAY, header_shade(6));
    RgbColour today_colour = shade_colour(SHADE_TODAY);
    EXPECT_EQ(255, today_colour.red);
    EXPECT_EQ(255, today_colour.green);
    EXPECT_EQ(150, today_colour.blue);
}

} // namespace
} // namespace vntra
