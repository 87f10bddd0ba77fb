#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "exchange/csv_export.h"
#include "exchange/exchange_texts.h"
#include "support/data_file_fixture.h"
#include "support/records.h"
#include "support/sjis_assert.h"

namespace vntra {
namespace {

using testing::dated_record;
using testing::read_file_bytes;
using testing::timed_record;

TEST(ExportLine, KindDependentColumnsAndQuoting) {
    struct Case {
        ScheduleRecord record;
        const char* line;
    };
    ScheduleRecord alarmed = timed_record({2004, 3, 15}, 9, 0, 10, 30, "会議", "本社");
    alarmed.alarm_state = TRIGGER_ARMED;
    alarmed.alarm_lead_minutes = 10;
    const Case cases[] = {
        {alarmed, "2004,3,15,1,9,0,10,30,0,0,会議,本社"},
        {dated_record(KIND_DATE_SPAN, {2004, 12, 28}, {2005, 1, 5}, "年末年始", ""),
         "2004,12,28,2,0,0,0,0,1,5,年末年始,"},
        {dated_record(KIND_MORNING, {2004, 3, 15}, {2004, 3, 15}, "午前休", "自宅"),
         "2004,3,15,3,0,0,0,0,0,0,午前休,自宅"},
        {dated_record(KIND_ALL_DAY, {2004, 3, 15}, {2004, 3, 15}, "会議,昼食", "本社,3F"),
         "2004,3,15,5,0,0,0,0,0,0,\"会議,昼食\",\"本社,3F\""},
        {dated_record(KIND_ALL_DAY, {2004, 3, 15}, {2004, 3, 15}, "「A\"B」", ""),
         "2004,3,15,5,0,0,0,0,0,0,\"「A\"\"B」\","},
    };
    for (const Case& c : cases)
        EXPECT_SJIS_EQ(c.line, export_line(c.record));
}

TEST(ExportSelection, EntriesThatTouchTheRange) {
    const ExportRange april{20040401, 20040430};
    struct Case {
        ScheduleRecord record;
        bool exported;
    };
    ScheduleRecord todo = blank_record();
    todo.kind = KIND_TODO;
    const Case cases[] = {
        {dated_record(KIND_DATE_SPAN, {2004, 3, 25}, {2004, 4, 5}), true},
        {dated_record(KIND_DATE_SPAN, {2004, 4, 25}, {2004, 5, 5}), true},
        {dated_record(KIND_DATE_SPAN, {2004, 3, 1}, {2004, 5, 31}), true},
        {dated_record(KIND_ALL_DAY, {2004, 4, 1}, {2004, 4, 1}), true},
        {dated_record(KIND_ALL_DAY, {2004, 4, 30}, {2004, 4, 30}), true},
        {dated_record(KIND_ALL_DAY, {2004, 3, 31}, {2004, 3, 31}), false},
        {dated_record(KIND_ALL_DAY, {2004, 5, 1}, {2004, 5, 1}), false},
        {todo, false},
        {deleted_record(3), false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.exported, is_exported(c.record, april)) << make_sort_key(c.record);
    // Ranges beyond four-digit years still compare as dates.
    EXPECT_TRUE(is_exported(cases[0].record, {20010101, wide_date_key(1000000, 1, 1)}));
}

TEST(ExportForm, ChecksInTheirOrder) {
    struct Case {
        ExportForm form;
        const char* message; // null: accepted
        ExportFormField focus;
    };
    const ExportForm good{"out.csv", "2004", 4, 1, "2004", 4, 30};
    auto with = [&](auto change) {
        ExportForm form = good;
        change(form);
        return form;
    };
    const Case cases[] = {
        {good, nullptr, EXPORT_FIELD_BROWSE},
        {with([](ExportForm& f) {
             f.file.clear();
             f.start_year.clear();
         }),
         NO_FILE_GIVEN, EXPORT_FIELD_BROWSE},
        {with([](ExportForm& f) { f.start_year.clear(); }), YEAR_NOT_GIVEN,
         EXPORT_FIELD_START_YEAR},
        {with([](ExportForm& f) { f.start_year = "2000"; }), YEAR_TOO_EARLY,
         EXPORT_FIELD_START_YEAR},
        {with([](ExportForm& f) { f.start_year = "abc"; }), YEAR_TOO_EARLY,
         EXPORT_FIELD_START_YEAR},
        {with([](ExportForm& f) { f.start_month = 0; }), DATE_NOT_GIVEN, EXPORT_FIELD_START_MONTH},
        {with([](ExportForm& f) { f.start_day = 0; }), DATE_NOT_GIVEN, EXPORT_FIELD_START_DAY},
        {with([](ExportForm& f) {
             f.start_year = "2005";
             f.start_month = 2;
             f.start_day = 29;
         }),
         DATE_INVALID, EXPORT_FIELD_START_DAY},
        {with([](ExportForm& f) {
             f.start_month = 2;
             f.start_day = 29;
         }),
         nullptr, EXPORT_FIELD_BROWSE},
        {with([](ExportForm& f) { f.end_year.clear(); }), YEAR_NOT_GIVEN, EXPORT_FIELD_END_YEAR},
        {with([](ExportForm& f) { f.end_month = 0; }), DATE_NOT_GIVEN, EXPORT_FIELD_END_MONTH},
        {with([](ExportForm& f) { f.end_day = 0; }), DATE_NOT_GIVEN, EXPORT_FIELD_END_DAY},
        {with([](ExportForm& f) { f.end_day = 31; }), DATE_INVALID, EXPORT_FIELD_END_DAY},
        {with([](ExportForm& f) {
             f.start_month = 5;
             f.start_day = 1;
         }),
         DATES_REVERSED, EXPORT_FIELD_START_DAY},
        {with([](ExportForm& f) { f.start_day = 30; }), nullptr, EXPORT_FIELD_BROWSE},
        // The end year has no lower bound of its own; read up to 7 characters.
        {with([](ExportForm& f) { f.end_year = "0"; }), DATES_REVERSED, EXPORT_FIELD_START_DAY},
        {with([](ExportForm& f) { f.end_year = "00020039"; }), DATES_REVERSED,
         EXPORT_FIELD_START_DAY},
        {with([](ExportForm& f) { f.end_year = "9999999"; }), nullptr, EXPORT_FIELD_BROWSE},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(i);
        ExportRange range{};
        FormError error{nullptr, EXPORT_FIELD_BROWSE};
        bool accepted = check_export_form(c.form, range, error);
        if (!c.message) {
            EXPECT_TRUE(accepted) << testing::readable(error.message ? error.message : "");
            continue;
        }
        ASSERT_FALSE(accepted);
        EXPECT_SJIS_EQ(c.message, error.message);
        EXPECT_EQ(c.focus, error.focus);
    }
}

TEST(ExportForm, FirstRangeRunsFromLastMonthToTheEndOfNextMonth) {
    struct Case {
        LocalDate today;
        DateFields start;
        DateFields end;
    };
    const Case cases[] = {
        {{2004, 6, 15}, {2004, 5, 1}, {2004, 7, 31}},
        {{2004, 1, 31}, {2003, 12, 1}, {2004, 2, 29}},
        {{2005, 1, 10}, {2004, 12, 1}, {2005, 2, 28}},
        {{2004, 12, 1}, {2004, 11, 1}, {2005, 1, 31}},
        {{2004, 3, 3}, {2004, 2, 1}, {2004, 4, 30}},
    };
    for (const Case& c : cases) {
        DateFields start{}, end{};
        initial_export_range(c.today, start, end);
        EXPECT_EQ(c.start.year * 10000 + c.start.month * 100 + c.start.day,
                  start.year * 10000 + start.month * 100 + start.day);
        EXPECT_EQ(c.end.year * 10000 + c.end.month * 100 + c.end.day,
                  end.year * 10000 + end.month * 100 + end.day);
    }
}

struct ExportFile : testing::DataFileTest {
    std::filesystem::path output = folder / "out.csv";
};

TEST_F(ExportFile, HeaderThenMatchingRecordsInFileOrder) {
    add(dated_record(KIND_ALL_DAY, {2004, 4, 20}, {2004, 4, 20}, "後の日", ""));
    add(dated_record(KIND_ALL_DAY, {2004, 6, 1}, {2004, 6, 1}, "範囲外", ""));
    add(timed_record({2004, 4, 2}, 9, 0, 10, 30, "前の日", "本社"));
    ScheduleRecord todo = blank_record();
    todo.kind = KIND_TODO;
    set_text(todo.content, "ToDo");
    add(todo);
    ASSERT_TRUE(delete_record(store, 2));
    int32_t exported = 0;
    ASSERT_EQ(EXPORT_OK, export_schedule(store, output, {20040401, 20040430}, exported));
    EXPECT_EQ(2, exported);
    EXPECT_SJIS_EQ(std::string(CSV_HEADER_LINE) + "\r\n" +
                       "2004,4,20,5,0,0,0,0,0,0,後の日,\r\n"
                       "2004,4,2,1,9,0,10,30,0,0,前の日,本社\r\n",
                   read_file_bytes(output));
}

TEST_F(ExportFile, FailuresAreNotReportedAsSuccess) {
    int32_t exported = 0;
    // A missing folder: the file cannot be created.
    EXPECT_EQ(EXPORT_CANNOT_CREATE, export_schedule(store, folder / "missing" / "out.csv",
                                                    {20010101, 20301231}, exported));
    // An unreadable data file is not an empty one, and the output is left alone.
    testing::write_file_bytes(output, "keep");
    DataFile missing{folder / "nothing.fil", 3};
    EXPECT_EQ(EXPORT_CANNOT_READ_DATA,
              export_schedule(missing, output, {20010101, 20301231}, exported));
    EXPECT_EQ("keep", read_file_bytes(output));
    // A file of the user's that has the name of the temporary file is kept.
    testing::write_file_bytes(folder / "out.csv.new", "mine");
    EXPECT_EQ(EXPORT_OK, export_schedule(store, output, {20010101, 20301231}, exported));
    EXPECT_EQ(std::string(CSV_HEADER_LINE) + "\r\n", read_file_bytes(output));
    EXPECT_EQ("mine", read_file_bytes(folder / "out.csv.new"));
    EXPECT_FALSE(std::filesystem::exists(folder / "out.csv.new2"));
}

} // namespace
} // namespace vntra
