#include "editing/day_view.h"

#include <cstdio>

namespace vntra {

std::string day_line_text(const ScheduleRecord& r) {
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

DayView build_day_view(const DataFile& store, const LocalDate& day, bool* read_ok) {
    DayView view;
    view.day = day;
    int32_t key = make_date_key(day);
    view.entries = build_sorted_list(
        store, [key](const ScheduleRecord& record) { return covers_day(record, key); }, read_ok);
    view.rows.reserve(view.entries.size());
    for (const ScheduleListEntry& entry : view.entries)
        view.rows.push_back(day_line_text(entry.record));
    return view;
}

std::string day_caption(const LocalDate& day) {
    char text[64];
    std::snprintf(text, sizeof text, "%d年%d月%d日", day.year, day.month, day.day);
    return text;
}

std::string day_todo_notice_text(size_t todo_count, int32_t send_todo) {
    if (send_todo != 1 || todo_count == 0)
        return {};
    char text[80];
    std::snprintf(text, sizeof text, "%d件のＴｏＤｏもメールで送信します",
                  static_cast<int>(todo_count));
    return text;
}

} // namespace vntra
