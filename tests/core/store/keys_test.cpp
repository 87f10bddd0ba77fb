#include <gtest/gtest.h>

#include "store/schedule_keys.h"
#include "store/schedule_record.h"

namespace vntra {
namespace {

ScheduleRecord dated(int32_t kind, LocalDate start, int sh, int sm, LocalDate end, int eh, int em) {
    ScheduleRecord r = blank_record();
    r.kind = kind;
    r.start_year = start.year;
    r.start_month = start.month;
    r.start_day = start.day;
    r.start_hour = sh;
    r.start_minute = sm;
    r.end_year = end.year;
    r.end_month = end.month;
    r.end_day = end.day;
    r.end_hour = eh;
    r.end_minute = em;
    return r;
}

TEST(SortKey, OrdersByDateThenKindThenTime) {
    ScheduleRecord timed = dated(KIND_TIME_RANGE, {2004, 3, 15}, 9, 0, {2004, 3, 15}, 10, 30);
    ScheduleRecord all_day = dated(KIND_ALL_DAY, {2004, 3, 15}, 0, 0, {2004, 3, 15}, 24, 0);
    EXPECT_EQ("2004031510900200403151030", make_sort_key(timed));
    EXPECT_EQ("2004031550000200403152400", make_sort_key(all_day));
    EXPECT_LT(make_sort_key(timed), make_sort_key(all_day));
    EXPECT_EQ("0000000060000000000000000",
              make_sort_key(dated(KIND_TODO, {0, 0, 0}, 0, 0, {0, 0, 0}, 0, 0)));
}

TEST(DateKeys, SpanAcrossTheYearCoversEveryDayInIt) {
    ScheduleRecord span = dated(KIND_DATE_SPAN, {2004, 12, 28}, 0, 0, {2005, 1, 5}, 24, 0);
    EXPECT_FALSE(covers_day(span, 20041227));
    EXPECT_TRUE(covers_day(span, 20041228));
    EXPECT_TRUE(covers_day(span, 20041231));
    EXPECT_TRUE(covers_day(span, 20050101));
    EXPECT_TRUE(covers_day(span, 20050105));
    EXPECT_FALSE(covers_day(span, 20050106));
    EXPECT_TRUE(overlaps_days(span, 20050101, 20050131));
    EXPECT_FALSE(overlaps_days(span, 20050201, 20050228));

    ScheduleRecord todo = blank_record();
    todo.kind = KIND_TODO;
    EXPECT_FALSE(covers_day(todo, 0));
    EXPECT_FALSE(covers_day(blank_record(), 0));
}

TEST(DateKeys, TextForms) {
    EXPECT_EQ(20040315, make_date_key(2004, 3, 15));
    EXPECT_EQ("20040315", date_key_text(2004, 3, 15));
    EXPECT_EQ(200403150905, minute_key(2004, 3, 15, 9, 5));
}

TEST(DaysBefore, CrossesMonthsYearsAndLeapDays) {
    auto key = [](LocalDate d) { return make_date_key(d); };
    EXPECT_EQ(20040102, key(days_before({2004, 4, 11}, 100)));
    EXPECT_EQ(20040229, key(days_before({2004, 3, 1}, 1)));
    EXPECT_EQ(20030228, key(days_before({2003, 3, 1}, 1)));
    EXPECT_EQ(20051231, key(days_before({2006, 1, 1}, 1)));
    EXPECT_EQ(20260901, key(days_before({2026, 12, 10}, 100)));
}

TEST(RecordText, FieldsAreCutAndTerminated) {
    ScheduleRecord r = blank_record();
    set_text(r.content, std::string(64, 'a'));
    EXPECT_EQ(64u, std::string(r.content).size());
    EXPECT_EQ('\0', reinterpret_cast<const char*>(&r)[112]);
    set_text(r.content, std::string(100, 'b'));
    EXPECT_EQ(64u, std::string(r.content).size());
}

} // namespace
} // namespace vntra
