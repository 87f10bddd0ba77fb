#include "editing/day_view.h"

#include <gtest/gtest.h>

#include "support/data_file_fixture.h"
#include "support/records.h"
#include "support/sjis_assert.h"

namespace vntra {
namespace {

using testing::dated_record;
using testing::timed_record;

TEST(DayLine, EveryKindHasThe19ByteColumn) {
    const LocalDate day = {2004, 3, 10};
    struct Case {
        ScheduleRecord record;
        const char* line;
    } cases[] = {
        {timed_record(day, 9, 0, 10, 30, "会議", ""), "09:00-10:30        会議："},
        {dated_record(KIND_DATE_SPAN, {2004, 3, 8}, {2004, 3, 12}, "出張", "大阪"),
         "03月08日-03月12日  出張：大阪"},
        {dated_record(KIND_MORNING, day, day, "通院", "病院"), "午前               通院：病院"},
        {dated_record(KIND_AFTERNOON, day, day, "来客", ""), "午後               来客："},
        {dated_record(KIND_ALL_DAY, day, day, "休暇", "自宅"), "終日               休暇：自宅"},
    };
    for (const Case& c : cases) {
        std::string line = day_line_text(c.record);
        EXPECT_SJIS_EQ(c.line, line);
        ASSERT_GT(line.size(), DAY_ROW_PREFIX_BYTES);
        EXPECT_EQ("  ", line.substr(DAY_ROW_SPLIT, 2)) << c.record.kind;
        EXPECT_SJIS_EQ(field_text(c.record.content),
                       line.substr(DAY_ROW_PREFIX_BYTES, field_text(c.record.content).size()));
    }
    ScheduleRecord todo = blank_record();
    todo.kind = KIND_TODO;
    EXPECT_EQ("", day_line_text(todo));
    EXPECT_EQ("", day_line_text(deleted_record(3)));
}

class DayViewTest : public testing::DataFileTest {};

TEST_F(DayViewTest, SpansThatBeganEarlierComeFirst) {
    add(dated_record(KIND_ALL_DAY, {2004, 3, 10}, {2004, 3, 10}, "終日", ""));
    add(timed_record({2004, 3, 10}, 13, 0, 14, 0, "午後の会議", ""));
    add(dated_record(KIND_DATE_SPAN, {2004, 3, 8}, {2004, 3, 12}, "出張", "大阪"));
    add(timed_record({2004, 3, 10}, 9, 0, 10, 30, "朝の会議", ""));
    add(dated_record(KIND_MORNING, {2004, 3, 11}, {2004, 3, 11}, "翌日", ""));
    ScheduleRecord todo = blank_record();
    todo.kind = KIND_TODO;
    set_text(todo.content, "ＴｏＤｏ");
    add(todo);
    add(dated_record(KIND_MORNING, {2004, 3, 10}, {2004, 3, 10}, "消した", ""));
    ASSERT_TRUE(delete_record(store, 7));

    struct Case {
        LocalDate day;
        std::vector<int32_t> ids;
    } cases[] = {
        {{2004, 3, 10}, {3, 4, 2, 1}}, {{2004, 3, 8}, {3}}, {{2004, 3, 12}, {3}},
        {{2004, 3, 11}, {3, 5}},       {{2004, 3, 13}, {}},
    };
    for (const Case& c : cases) {
        DayView view = build_day_view(store, c.day);
        std::vector<int32_t> ids;
        for (const ScheduleListEntry& entry : view.entries)
            ids.push_back(entry.record.id);
        EXPECT_EQ(c.ids, ids) << c.day.day;
        ASSERT_EQ(view.entries.size(), view.rows.size());
        for (size_t i = 0; i < view.rows.size(); ++i)
            EXPECT_EQ(day_line_text(view.entries[i].record), view.rows[i]);
    }
    // A span from 28 December ends in the next year and covers New Year.
    add(dated_record(KIND_DATE_SPAN, {2004, 12, 28}, {2005, 1, 5}, "年末年始", ""));
    EXPECT_EQ(1u, build_day_view(store, {2005, 1, 1}).entries.size());

    std::filesystem::remove(store.path);
    EXPECT_TRUE(build_day_view(store, {2004, 3, 10}).rows.empty());
}

TEST(DayCaptions, DateAndToDoNotice) {
    EXPECT_SJIS_EQ("2004年3月5日", day_caption({2004, 3, 5}));
    EXPECT_SJIS_EQ("2件のＴｏＤｏもメールで送信します", day_todo_notice_text(2, 1));
    EXPECT_EQ("", day_todo_notice_text(0, 1));
    EXPECT_EQ("", day_todo_notice_text(2, 0));
}

} // namespace
} // namespace vntra
