#include "reminders/today_notice.h"

#include <gtest/gtest.h>

#include "support/data_file_fixture.h"
#include "support/records.h"
#include "support/sjis_assert.h"
#include "support/temp_folder.h"

namespace vntra {
namespace {

using testing::dated_record;

class TodayNotice : public testing::DataFileTest {};

TEST_F(TodayNotice, SaysSoWhenNothingIsPlanned) {
    add(dated_record(KIND_ALL_DAY, {2004, 3, 14}, {2004, 3, 14}, "昨日", ""));
    EXPECT_SJIS_EQ("【今日のスケジュールです】\r\n\r\n予定は、ありません。",
                   build_today_notice(store, {2004, 3, 15}));
}

TEST_F(TodayNotice, ListsTodaysEntriesInSortOrder) {
    LocalDate today{2004, 3, 15};
    add(dated_record(KIND_ALL_DAY, today, today, "休暇", "自宅"));
    ScheduleRecord meeting = dated_record(KIND_TIME_RANGE, today, today, "会議", "本社");
    meeting.start_hour = 9;
    meeting.end_hour = 10;
    meeting.end_minute = 30;
    add(meeting);
    add(dated_record(KIND_DATE_SPAN, {2004, 3, 14}, {2004, 3, 16}, "出張", "大阪"));
    add(dated_record(KIND_MORNING, today, today, "通院", ""));
    add(dated_record(KIND_AFTERNOON, today, today, "来客", "応接室"));
    ScheduleRecord todo = blank_record();
    todo.kind = KIND_TODO;
    set_text(todo.content, "買い物");
    add(todo);
    add(dated_record(KIND_ALL_DAY, today, today, "消した", ""));
    ASSERT_TRUE(delete_record(store, 7));

    EXPECT_SJIS_EQ("【今日のスケジュールです】\r\n"
                   "\r\n03月14日-03月16日  出張：大阪"
                   "\r\n09:00-10:30        会議：本社"
                   "\r\n午前               通院："
                   "\r\n午後               来客：応接室"
                   "\r\n終日               休暇：自宅",
                   build_today_notice(store, today));
}

} // namespace
} // namespace vntra
