#include "reminders/today_notice.h"

#include <cstdio>

#include "editing/day_view.h"
#include "store/sorted_list.h"

namespace vntra {

std::string build_today_notice(const DataFile& store, const LocalDate& today) {
    int32_t today_key = make_date_key(today);
    ScheduleList entries = build_sorted_list(
        store, [&](const ScheduleRecord& record) { return covers_day(record, today_key); });
    std::string text = "【今日のスケジュールです】\r\n";
    for (const ScheduleListEntry& entry : entries)
        text += "\r\n" + day_line_text(entry.record);
    if (entries.empty())
        text += "\r\n予定は、ありません。";
    return text;
}

} // namespace vntra
