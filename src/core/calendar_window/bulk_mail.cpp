#include "calendar_window/bulk_mail.h"

#include "calendar/date_arithmetic.h"
#include "store/schedule_keys.h"

namespace vntra {

WeekDates week_dates(YearMonth shown, int week) {
    LocalDate first_of_month{shown.year, shown.month, 1};
    int weekday = day_of_week(shown.year, shown.month, 1);
    LocalDate first = days_before(first_of_month, weekday - 7 * (week - 1));
    return {first, days_before(first, -6)};
}

bool taken_in_week(const ScheduleRecord& record, const WeekDates& week) {
    if (record.kind < KIND_TIME_RANGE || record.kind > KIND_ALL_DAY)
        return false;
    return overlaps_days(record, make_date_key(week.first), make_date_key(week.last));
}

WeekView build_week_view(const DataFile& store, YearMonth shown, int week, bool* read_ok) {
    WeekDates dates = week_dates(shown, week);
    WeekView view;
    view.entries = build_sorted_list(
        store, [&](const ScheduleRecord& record) { return taken_in_week(record, dates); }, read_ok);
    view.rows.reserve(view.entries.size());
    for (const ScheduleListEntry& entry : view.entries)
        view.rows.push_back(month_line_text(entry.record));
    return view;
}

std::string unmarked_row(const std::string& row) {
    const size_t MARK_BYTES = 3;
    return row.size() > MARK_BYTES ? row.substr(MARK_BYTES) : std::string();
}

BulkMail gather_bulk_mail(const DataFile& store, const MonthView& month, int week) {
    BulkMail mail{};
    if (week < 1 || week > LAST_WEEK) {
        mail.entries = month.entries;
        mail.rows.reserve(month.rows.size());
        for (const std::string& row : month.rows)
            mail.rows.push_back(unmarked_row(row));
        mail.subjects = &MONTH_SUBJECTS;
        mail.values = {month.shown.month, 0};
        return mail;
    }
    WeekView view = build_week_view(store, month.shown, week);
    mail.entries = std::move(view.entries);
    mail.rows = std::move(view.rows);
    mail.subjects = &WEEK_SUBJECTS;
    mail.values = {month.shown.month, week};
    return mail;
}

} // namespace vntra
