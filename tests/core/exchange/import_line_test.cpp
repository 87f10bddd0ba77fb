#include <gtest/gtest.h>

#include <string>

#include "exchange/exchange_texts.h"
#include "exchange/import_line.h"
#include "support/sjis_assert.h"

namespace vntra {
namespace {

// What a line should give: its message (null for a good line) and, for a
// good line, the stored date and time fields.
struct LineCase {
    const char* line;
    const char* message;
    int32_t kind = 0;
    int32_t start[5] = {}; // year, month, day, hour, minute
    int32_t end[5] = {};
};

const LineCase LINE_CASES[] = {
    // The last failing check wins: the kind fails first, then the year.
    {"1999,3,15,7,0,0,0,0,0,0,会議,", IMPORT_BAD_START_YEAR},
    {"2004,3,15,7,0,0,0,0,0,0,会議,", IMPORT_BAD_KIND},
    {"2004,3,15,0,0,0,0,0,0,0,会議,", IMPORT_BAD_KIND},
    // An empty content overrides whatever the checks found.
    {"2004,13,15,3,0,0,0,0,0,0,,場所", IMPORT_NO_CONTENT},
    {"2004,13,15,3,0,0,0,0,0,0,会議,", IMPORT_BAD_START_MONTH},
    {"2004,4,31,3,0,0,0,0,0,0,会議,", IMPORT_BAD_START_DAY},
    {"2004,4,0,3,0,0,0,0,0,0,会議,", IMPORT_BAD_START_DAY},
    {"2004,2,29,5,0,0,0,0,0,0,閏日,", nullptr, 5, {2004, 2, 29, 0, 0}, {2004, 2, 29, 24, 0}},
    {"2005,2,29,5,0,0,0,0,0,0,閏日,", IMPORT_BAD_START_DAY},
    // Years the program cannot show or compare are refused.
    {"10000,1,1,5,0,0,0,0,0,0,遠い未来,", IMPORT_BAD_START_YEAR},
    {"2147483647,1,1,2,0,0,0,0,12,31,遠い未来,", IMPORT_BAD_START_YEAR},

    // Time ranges: minutes go down to 5-minute steps, the end is the start date.
    {"2004,3,15,1,9,7,10,58,0,0,会議,", nullptr, 1, {2004, 3, 15, 9, 5}, {2004, 3, 15, 10, 55}},
    {"2004,3,15,1,10,0,10,0,0,0,会議,", nullptr, 1, {2004, 3, 15, 10, 0}, {2004, 3, 15, 10, 0}},
    {"2004,3,15,1,23,0,24,60,0,0,深夜,", nullptr, 1, {2004, 3, 15, 23, 0}, {2004, 3, 15, 24, 60}},
    {"2004,3,15,1,9,60,11,0,0,0,会議,", nullptr, 1, {2004, 3, 15, 9, 60}, {2004, 3, 15, 11, 0}},
    {"2004,3,15,1,9,0,10,0,6,20,会議,", nullptr, 1, {2004, 3, 15, 9, 0}, {2004, 3, 15, 10, 0}},
    {"2004,3,15,1,0,0,0,0,0,0,会議,", IMPORT_ZERO_TIMES},
    {"2004,3,15,1,11,0,10,0,0,0,会議,", IMPORT_TIMES_REVERSED},
    {"2004,3,15,1,25,0,26,0,0,0,会議,", IMPORT_BAD_END_HOUR},
    {"2004,3,15,1,9,61,10,0,0,0,会議,", IMPORT_BAD_START_MINUTE},
    {"2004,3,15,1,10,61,10,59,0,0,会議,", IMPORT_TIMES_REVERSED},
    {"2004,3,15,1,9,0,10,-5,0,0,会議,", IMPORT_BAD_END_MINUTE},
    {"2004,3,15,1,-1,0,10,0,0,0,会議,", IMPORT_BAD_START_HOUR},
    {"2004,3,15,1,2147483647,0,-2147483647,0,0,0,会議,", IMPORT_TIMES_REVERSED},

    // Date spans: across New Year, the end goes into the next year.
    {"2004,12,20,2,0,0,0,0,1,5,年末年始,", nullptr, 2, {2004, 12, 20, 0, 0}, {2005, 1, 5, 0, 0}},
    {"2003,12,28,2,0,0,0,0,2,29,年越し,", nullptr, 2, {2003, 12, 28, 0, 0}, {2004, 2, 29, 0, 0}},
    {"2004,12,28,2,0,0,0,0,2,29,年越し,", IMPORT_BAD_END_DAY},
    {"2004,3,10,2,0,0,0,0,3,5,出張,", IMPORT_DAYS_REVERSED},
    {"2004,3,10,2,0,0,0,0,3,10,出張,", nullptr, 2, {2004, 3, 10, 0, 0}, {2004, 3, 10, 0, 0}},
    {"2004,3,10,2,0,0,0,0,13,1,出張,", IMPORT_BAD_END_MONTH},
    {"2004,3,10,2,0,0,0,0,4,31,出張,", IMPORT_BAD_END_DAY},
    // The four time columns of a span are kept as they are.
    {"2004,3,10,2,9,30,18,0,3,12,出張,", nullptr, 2, {2004, 3, 10, 9, 30}, {2004, 3, 12, 18, 0}},

    // Morning, afternoon, all day: fixed times, the line's times ignored.
    {"2004,3,15,3,9,0,10,0,4,1,午前,", nullptr, 3, {2004, 3, 15, 0, 0}, {2004, 3, 15, 12, 0}},
    {"2004,3,15,4,0,0,0,0,0,0,午後,", nullptr, 4, {2004, 3, 15, 12, 0}, {2004, 3, 15, 24, 0}},
    {"2004,3,15,5,0,0,0,0,0,0,終日,", nullptr, 5, {2004, 3, 15, 0, 0}, {2004, 3, 15, 24, 0}},

    // Columns that are missing or empty count as 0.
    {"2004,3,15,5,,,,,,,終日,", nullptr, 5, {2004, 3, 15, 0, 0}, {2004, 3, 15, 24, 0}},
    {"2004,3,15,5", IMPORT_NO_CONTENT},
    // Anything but a sign and digits is refused by its column, and that
    // outranks the range check that a 0 would fail; an empty content still
    // outranks everything.
    {"2004,3,15,1,13:00,0,14,0,0,0,会議,", IMPORT_NOT_A_NUMBER[4]},
    {"2004,3,15,1,9,abc,10,0,0,0,会議,", IMPORT_NOT_A_NUMBER[5]},
    {"2026/12/08,12月,8,5,0,0,0,0,0,0,会議,", IMPORT_NOT_A_NUMBER[1]},
    {"2004,3,15,一,0,0,0,0,0,0,会議,", IMPORT_NOT_A_NUMBER[3]},
    {"2004,3,15,5,0,0,0,0,0,1E3,会議,", IMPORT_NOT_A_NUMBER[9]},
    {"2004,3,15,5,0,0,0,0,5.0,-,会議,", IMPORT_NOT_A_NUMBER[9]},
    {"2004,3,15,1,\"9\r\n\",0,10,0,0,0,会議,", IMPORT_NOT_A_NUMBER[4]},
    {"2004,3,15,abc,0,0,0,0,0,0,,", IMPORT_NO_CONTENT},
    // Full-width digits are digits; spaces around a number and a plus sign
    // do no harm.
    {"２００４,１２,０８,５,,,,,,,全角,", nullptr, 5, {2004, 12, 8, 0, 0}, {2004, 12, 8, 24, 0}},
    {" 2004 ,+3, 15,1,\"9\",０５,10, 0,,,会議,",
     nullptr,
     1,
     {2004, 3, 15, 9, 5},
     {2004, 3, 15, 10, 0}},
    {"", IMPORT_NO_CONTENT},
    {",,,,,,,,,,,", IMPORT_NO_CONTENT},
    // Numbers longer than four characters are read whole.
    {"02004,003,0015,5,0,0,0,0,0,0,終日,", nullptr, 5, {2004, 3, 15, 0, 0}, {2004, 3, 15, 24, 0}},
};

TEST(ImportLine, ChecksAndStoredFields) {
    for (const LineCase& c : LINE_CASES) {
        SCOPED_TRACE(testing::readable(c.line));
        ScheduleRecord r;
        const char* message = check_import_line(c.line, r);
        if (c.message) {
            ASSERT_NE(nullptr, message);
            EXPECT_SJIS_EQ(c.message, message);
            continue;
        }
        ASSERT_EQ(nullptr, message) << testing::readable(message);
        EXPECT_EQ(0, r.id);
        EXPECT_EQ(c.kind, r.kind);
        int32_t start[5] = {r.start_year, r.start_month, r.start_day, r.start_hour, r.start_minute};
        int32_t end[5] = {r.end_year, r.end_month, r.end_day, r.end_hour, r.end_minute};
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(c.start[i], start[i]) << "start field " << i;
            EXPECT_EQ(c.end[i], end[i]) << "end field " << i;
        }
        EXPECT_EQ(0, r.alarm_state);
        EXPECT_EQ(0, r.reminder_state);
    }
}

// How the two text columns come out.
struct TextCase {
    std::string line;
    std::string content;
    std::string place;
};

TEST(ImportLine, ContentAndPlace) {
    const std::string full(32, 'x');
    const std::string kanji33 = [] {
        std::string s;
        for (int i = 0; i < 33; ++i)
            s += "漢";
        return s;
    }();
    const TextCase cases[] = {
        {"2004,3,15,5,0,0,0,0,0,0,会議,本社", "会議", "本社"},
        // Quotes group a field with commas and are removed.
        {"2004,3,15,5,0,0,0,0,0,0,\"会議,打合せ,昼食\",\"本社,3F\"", "会議,打合せ,昼食", "本社,3F"},
        // A doubled quote inside quotes is one quote; elsewhere a quote is
        // an ordinary character.
        {"2004,3,15,5,0,0,0,0,0,0,\"「A\"\"B」\",x", "「A\"B」", "x"},
        {"2004,3,15,5,0,0,0,0,0,0,19\"モニター,本社", "19\"モニター", "本社"},
        // Line breaks inside a cell become one space each.
        {"2004,3,15,5,0,0,0,0,0,0,\"会議\r\n打合せ\n昼食\r\",\"\r\n\"", "会議 打合せ 昼食 ", " "},
        // Eleven columns: no place.
        {"2004,3,15,5,0,0,0,0,0,0,会議", "会議", ""},
        // Columns beyond the twelfth (an error file's message) are ignored.
        {"2004,3,15,5,0,0,0,0,0,0,会議,本社,区分が範囲外", "会議", "本社"},
        // Too long: cut to 64 and 66 bytes, never inside a double-byte character.
        {"2004,3,15,5,0,0,0,0,0,0," + kanji33 + "," + kanji33, kanji33.substr(0, 64),
         kanji33.substr(0, 66)},
        {"2004,3,15,5,0,0,0,0,0,0,a" + kanji33 + ",a" + kanji33, "a" + kanji33.substr(0, 62),
         "a" + kanji33.substr(0, 64)},
        {"2004,3,15,5,0,0,0,0,0,0," + full + full + "yz," + full + full + "yz", full + full,
         full + full + "yz"},
    };
    for (const TextCase& c : cases) {
        SCOPED_TRACE(testing::readable(c.line));
        ScheduleRecord r;
        ASSERT_EQ(nullptr, check_import_line(c.line, r));
        EXPECT_SJIS_EQ(c.content, field_text(r.content));
        EXPECT_SJIS_EQ(c.place, field_text(r.place));
    }
}

TEST(ImportLine, MinutesRoundDownToFiveMinuteSteps) {
    const int32_t cases[][2] = {{0, 0}, {4, 0}, {5, 5}, {7, 5}, {58, 55}, {59, 55}, {60, 60}};
    for (const auto& c : cases)
        EXPECT_EQ(c[1], round_down_to_five(c[0])) << c[0];
}

} // namespace
} // namespace vntra
