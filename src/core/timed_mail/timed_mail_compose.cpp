#include "timed_mail/timed_mail_compose.h"

#include <cstdio>

#include "calendar/date_arithmetic.h"
#include "calendar_window/bulk_mail.h"
#include "calendar_window/month_view.h"
#include "editing/day_view.h"

namespace vntra {
namespace {

// The schedule part of a mail command: rows, entries and subjects.
struct ScheduleRows {
    bool read = false;
    ScheduleList entries;
    std::vector<std::string> rows;
    int split_position = MONTH_LINE_SPLIT;
    const SubjectSet* subjects = nullptr;
    SubjectValues values;
};

ScheduleRows day_rows(const DataFile& store, const LocalDate& day) {
    ScheduleRows rows;
    DayView view = build_day_view(store, day, &rows.read);
    rows.entries = std::move(view.entries);
    rows.rows = std::move(view.rows);
    rows.split_position = DAY_LINE_SPLIT;
    rows.subjects = &DAY_SUBJECTS;
    rows.values = {day.month, day.day};
    return rows;
}

ScheduleRows week_rows(const DataFile& store, const LocalDate& sunday) {
    ScheduleRows rows;
    WeekRow row = week_row_of(sunday);
    WeekView view = build_week_view(store, {row.year, row.month}, row.week, &rows.read);
    rows.entries = std::move(view.entries);
    rows.rows = std::move(view.rows);
    rows.subjects = &WEEK_SUBJECTS;
    rows.values = {row.month, row.week};
    return rows;
}

void append(std::vector<OutgoingMail>& to, std::vector<OutgoingMail> mails) {
    for (OutgoingMail& mail : mails)
        to.push_back(std::move(mail));
}

} // namespace

WeekRow week_row_of(const LocalDate& sunday) {
    int first_weekday = day_of_week(sunday.year, sunday.month, 1);
    return {sunday.year, sunday.month, (first_weekday + sunday.day - 1) / 7 + 1};
}

std::string timed_mail_name(TimedMailKind kind, const LocalDate& carried) {
    char text[64];
    if (kind == TIMED_DAILY) {
        std::snprintf(text, sizeof text, "%d月%d日の予定", carried.month, carried.day);
    } else {
        WeekRow row = week_row_of(carried);
        std::snprintf(text, sizeof text, "%d月第%d週の予定", row.month, row.week);
    }
    return text;
}

TimedMails compose_timed_mails(TimedMailKind kind, const DataFile& store,
                               const SettingsRecord& settings, const LocalDate& carried) {
    TimedMails result;
    ScheduleRows schedule =
        kind == TIMED_DAILY ? day_rows(store, carried) : week_rows(store, carried);
    bool with_todo = settings.send_todo == 1;
    bool todo_read = true;
    TodoView todo;
    if (with_todo)
        todo = build_todo_view(store, &todo_read);
    // A file that could not be read is not a day without plans.
    if (!schedule.read || !todo_read)
        return result;
    result.read = true;
    int32_t limit = mail_limit_for_choice(settings.mail_size_choice);
    if (!schedule.entries.empty()) {
        ScheduleMailSource source{schedule.entries, schedule.rows, schedule.split_position, {}};
        append(result.mails, compose_mails(schedule_items(source, settings), limit,
                                           *schedule.subjects, schedule.values));
    } else if (settings.send_when_empty == 1) {
        result.mails.push_back({make_subject(*schedule.subjects, schedule.values, 0),
                                timed_mail_name(kind, carried) + "はありません\r\n"});
    }
    if (with_todo && !todo.entries.empty())
        append(result.mails,
               compose_mails(todo_items(todo.entries), limit, TODO_SUBJECTS, SubjectValues{}));
    return result;
}

} // namespace vntra
