#include "calendar_window/month_view.h"

#include <cstdio>
#include <cstring>

#include "calendar/holidays.h"
#include "store/settings_record.h"
#include "text/sjis_cut.h"

namespace vntra {
namespace {

// A fixed text field up to its terminator, or whole when a damaged file left
// it unterminated.
int32_t month_key(int32_t year, int32_t month) {
    return year * 100 + month;
}

} // namespace

bool step_to_previous_month(YearMonth& shown) {
    if (shown.year == FIRST_SHOWN_MONTH.year && shown.month == FIRST_SHOWN_MONTH.month)
        return false;
    if (shown.month == 1) {
        shown.year -= 1;
        shown.month = 12;
    } else {
        shown.month -= 1;
    }
    return true;
}

void step_to_next_month(YearMonth& shown) {
    if (shown.month == 12) {
        shown.year += 1;
        shown.month = 1;
    } else {
        shown.month += 1;
    }
}

int day_within_month(YearMonth shown, int day) {
    int last = days_in_month(shown.year, shown.month);
    return day > last ? last : day;
}

bool MonthView::week_exists(int week) const {
    if (week == 5)
        return week5_exists;
    if (week == 6)
        return week6_exists;
    return week >= 1 && week <= 4;
}

int32_t shown_mark_range(int32_t mark_range) {
    return mark_range == MARK_THIS_MONTH || mark_range == MARK_TODAY ? mark_range : MARK_THIS_WEEK;
}

MarkPeriod mark_period(const LocalDate& today, int32_t mark_range) {
    LocalDate first = today;
    LocalDate last = today;
    if (mark_range == MARK_THIS_MONTH) {
        first.day = 1;
        last.day = days_in_month(today.year, today.month);
    } else if (mark_range != MARK_TODAY) {
        int weekday = day_of_week(today.year, today.month, today.day);
        first = days_before(today, weekday);
        last = days_before(today, weekday - 6);
    }
    return {date_key_text(first.year, first.month, first.day),
            date_key_text(last.year, last.month, last.day)};
}

std::string month_line_text(const ScheduleRecord& r) {
    std::string content = field_text(r.content);
    std::string place = field_text(r.place);
    char line[320];
    switch (r.kind) {
    case KIND_TIME_RANGE:
        std::snprintf(line, sizeof line, "%02d月%02d日 %02d:%02d-%02d:%02d  %s：%s", r.start_month,
                      r.start_day, r.start_hour, r.start_minute, r.end_hour, r.end_minute,
                      content.c_str(), place.c_str());
        break;
    case KIND_DATE_SPAN:
        std::snprintf(line, sizeof line, "%02d月%02d日-%02d月%02d日     %s：%s", r.start_month,
                      r.start_day, r.end_month, r.end_day, content.c_str(), place.c_str());
        break;
    case KIND_MORNING:
        std::snprintf(line, sizeof line, "%02d月%02d日 午前         %s：%s", r.start_month,
                      r.start_day, content.c_str(), place.c_str());
        break;
    case KIND_AFTERNOON:
        std::snprintf(line, sizeof line, "%02d月%02d日 午後         %s：%s", r.start_month,
                      r.start_day, content.c_str(), place.c_str());
        break;
    case KIND_ALL_DAY:
        std::snprintf(line, sizeof line, "%02d月%02d日 終日         %s：%s", r.start_month,
                      r.start_day, content.c_str(), place.c_str());
        break;
    default:
        return {};
    }
    return line;
}

std::string marked_row_text(const ScheduleRecord& r, const MarkPeriod& period) {
    std::string start = date_key_text(r.start_year, r.start_month, r.start_day);
    std::string end = date_key_text(r.end_year, r.end_month, r.end_day);
    bool outside = end < period.first_key || period.last_key < start;
    return (outside ? "　 " : "★ ") + month_line_text(r);
}

bool listed_in_month(const ScheduleRecord& r, YearMonth shown) {
    if (r.kind < KIND_TIME_RANGE || r.kind > KIND_ALL_DAY)
        return false;
    int32_t shown_key = month_key(shown.year, shown.month);
    return month_key(r.start_year, r.start_month) <= shown_key &&
           shown_key <= month_key(r.end_year, r.end_month);
}

void mark_covered_days(const ScheduleRecord& r, YearMonth shown,
                       int32_t (&day_marks)[DAY_MARK_COUNT]) {
    int last_day = days_in_month(shown.year, shown.month);
    bool starts_here = r.start_year == shown.year && r.start_month == shown.month;
    bool ends_here = r.end_year == shown.year && r.end_month == shown.month;
    int from = starts_here ? r.start_day : 1;
    int to = ends_here ? r.end_day : last_day;
    if (from < 1)
        from = 1;
    if (to > last_day)
        to = last_day;
    for (int day = from; day <= to; ++day)
        day_marks[day] = 1;
}

MonthView build_month_view(const DataFile& store, YearMonth shown, const LocalDate& today,
                           int32_t mark_range) {
    MonthView view{};
    view.shown = shown;
    fill_month_cells(shown.year, shown.month, view.cells, view.first_weekday);
    view.week5_exists = view.cells[28] != 0;
    view.week6_exists = view.cells[35] != 0;
    view.entries = build_sorted_list(
        store, [&](const ScheduleRecord& record) { return listed_in_month(record, shown); });
    MarkPeriod period = mark_period(today, mark_range);
    view.rows.reserve(view.entries.size());
    for (const ScheduleListEntry& entry : view.entries) {
        mark_covered_days(entry.record, shown, view.day_marks);
        view.rows.push_back(marked_row_text(entry.record, period));
    }
    return view;
}

TodoView build_todo_view(const DataFile& store) {
    TodoView view;
    view.entries = build_sorted_list(
        store, [](const ScheduleRecord& record) { return record.kind == KIND_TODO; });
    // All ToDo items share one sort key; the list orders them by id instead,
    // right-aligned so that 12 comes after 9.
    for (ScheduleListEntry& entry : view.entries)
        std::snprintf(entry.key, sizeof entry.key, "%10d", entry.record.id);
    sort_list(view.entries);
    view.rows.reserve(view.entries.size());
    for (const ScheduleListEntry& entry : view.entries)
        view.rows.push_back(field_text(entry.record.content));
    return view;
}

std::string todo_notice_text(size_t todo_count, int32_t send_todo) {
    if (send_todo != 1 || todo_count == 0)
        return {};
    char text[64];
    std::snprintf(text, sizeof text, "%d件のＴｏＤｏも送信します", static_cast<int>(todo_count));
    return text;
}

std::string send_button_caption(const char* recipient_address) {
    const size_t SHOWN_BYTES = 20;
    std::string caption(recipient_address, strnlen(recipient_address, 256));
    if (caption.empty())
        return "メール送信";
    if (caption.size() > SHOWN_BYTES)
        caption = sjis_cut(caption, SHOWN_BYTES) + " ～";
    return caption + " へメール送信";
}

RgbColour shade_colour(CellShade shade) {
    switch (shade) {
    case SHADE_PLAIN:
        return {255, 255, 255};
    case SHADE_TODAY:
        return {255, 255, 150};
    case SHADE_HOLIDAY:
        return {255, 150, 150};
    case SHADE_SATURDAY:
        return {150, 255, 255};
    case SHADE_NEUTRAL:
        break;
    }
    return {225, 225, 225};
}

CellShade header_shade(int column) {
    if (column == 0)
        return SHADE_HOLIDAY;
    if (column == 6)
        return SHADE_SATURDAY;
    return SHADE_NEUTRAL;
}

CellShade cell_shade(YearMonth shown, int cell_index, int day, const LocalDate& today) {
    if (day == 0)
        return SHADE_NEUTRAL;
    if (shown.year == today.year && shown.month == today.month && day == today.day)
        return SHADE_TODAY;
    int column = cell_index % 7;
    if (column == 0 || resolve_holiday(shown.year, shown.month, day).is_holiday)
        return SHADE_HOLIDAY;
    if (column == 6)
        return SHADE_SATURDAY;
    return SHADE_PLAIN;
}

} // namespace vntra
