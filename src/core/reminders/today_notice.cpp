#include "reminders/today_notice.h"

#include <cstdio>

#include "store/sorted_list.h"

namespace vntra {

std::string today_notice_line(const ScheduleRecord& r) {
    std::string content = field_text(r.content);
    std::string place = field_text(r.place);
    char line[320];
    switch (r.kind) {
    case KIND_TIME_RANGE:
        std::snprintf(line, sizeof line, "%02d:%02d-%02d:%02d        %s：%s", r.start_hour,
                      r.start_minute, r.end_hour, r.end_minute, content.c_str(), place.c_str());
        break;
    case KIND_DATE_SPAN:
        std::snprintf(line, sizeof line, "%02d月%02d日-%02d月%02d日  %s：%s", r.start_month,
                      r.start_day, r.end_month, r.end_day, content.c_str(), place.c_str());
        break;
    case KIND_MORNING:
        std::snprintf(line, sizeof line, "午前               %s：%s", content.c_str(),
                      place.c_str());
        break;
    case KIND_AFTERNOON:
        std::snprintf(line, sizeof line, "午後               %s：%s", content.c_str(),
                      place.c_str());
        break;
    case KIND_ALL_DAY:
        std::snprintf(line, sizeof line, "終日               %s：%s", content.c_str(),
                      place.c_str());
        break;
    default:
        return {};
    }
    return line;
}

std::string build_today_notice(const DataFile& store, const LocalDate& today) {
    int32_t today_key = make_date_key(today);
    ScheduleList entries = build_sorted_list(
        store, [&](const ScheduleRecord& record) { return covers_day(record, today_key); });
    std::string text = "【今日のスケジュールです】\r\n";
    for (const ScheduleListEntry& entry : entries)
        text += "\r\n" + today_notice_line(entry.record);
    if (entries.empty())
        text += "\r\n予定は、ありません。";
    return text;
}

} // namespace vntra
