#include "editing/entry_check.h"

#include "calendar/date_arithmetic.h"
#include "reminders/timer_scan.h"
#include "text/decimal_prefix.h"
#include "text/sjis_cut.h"

namespace vntra {
namespace {

EntryCheck failure(const char* message, int focus) {
    EntryCheck check{};
    check.passed = false;
    check.message = message;
    check.focus = focus;
    return check;
}

// The first unselected list of a row, in the order the user fills them.
struct ListField {
    int32_t value;
    int control_id;
};
template <size_t N> int first_unselected(const ListField (&fields)[N]) {
    for (const ListField& field : fields)
        if (field.value == NO_SELECTION)
            return field.control_id;
    return 0;
}

// A year edit: empty, too early or too late fails with the focus on it.
bool check_year(const std::string& text, int control_id, int32_t& year, EntryCheck& failed) {
    std::string read = text.substr(0, YEAR_READ_CHARS);
    if (read.empty()) {
        failed = failure(MESSAGE_NOT_ENTERED, control_id);
        return false;
    }
    year = decimal_prefix(read);
    if (year < FIRST_ENTRY_YEAR) {
        failed = failure(MESSAGE_YEAR_TOO_EARLY, control_id);
        return false;
    }
    if (year > LAST_ENTRY_YEAR) {
        failed = failure(MESSAGE_YEAR_TOO_LATE, control_id);
        return false;
    }
    return true;
}

bool check_start_date(const EntryForm& form, ScheduleRecord& r, EntryCheck& failed) {
    int32_t year = 0;
    if (!check_year(form.year_text, ENTRY_YEAR, year, failed))
        return false;
    const ListField date[] = {{form.month, ENTRY_MONTH}, {form.day, ENTRY_DAY}};
    if (int missing = first_unselected(date)) {
        failed = failure(MESSAGE_DATE_NOT_ENTERED, missing);
        return false;
    }
    if (form.day > days_in_month(year, form.month)) {
        failed = failure(MESSAGE_DATE_INVALID, ENTRY_DAY);
        return false;
    }
    r.start_year = year;
    r.start_month = form.month;
    r.start_day = form.day;
    return true;
}

void set_times(ScheduleRecord& r, int32_t start_hour, int32_t start_minute, int32_t end_hour,
               int32_t end_minute) {
    r.start_hour = start_hour;
    r.start_minute = start_minute;
    r.end_hour = end_hour;
    r.end_minute = end_minute;
}

void end_on_start_day(ScheduleRecord& r) {
    r.end_year = r.start_year;
    r.end_month = r.start_month;
    r.end_day = r.start_day;
}

bool check_time_range(const EntryForm& form, ScheduleRecord& r, EntryCheck& failed) {
    const ListField times[] = {{form.start_hour, ENTRY_START_HOUR},
                               {form.start_minute, ENTRY_START_MINUTE},
                               {form.end_hour, ENTRY_END_HOUR},
                               {form.end_minute, ENTRY_END_MINUTE}};
    if (int missing = first_unselected(times)) {
        failed = failure(MESSAGE_TIME_NOT_ENTERED, missing);
        return false;
    }
    if (form.start_hour * 100 + form.start_minute > form.end_hour * 100 + form.end_minute) {
        failed = failure(MESSAGE_TIME_INVALID, ENTRY_END_HOUR);
        return false;
    }
    int32_t lead = 0;
    if (form.alarm_on) {
        lead = decimal_prefix(form.alarm_minutes_text, ALARM_MINUTES_READ_CHARS);
        if (lead < 1) {
            failed = failure(MESSAGE_NUMBER_INVALID, ENTRY_ALARM_MINUTES);
            return false;
        }
    }
    r.kind = KIND_TIME_RANGE;
    set_times(r, form.start_hour, form.start_minute, form.end_hour, form.end_minute);
    end_on_start_day(r);
    r.alarm_state = form.alarm_on ? TRIGGER_ARMED : TRIGGER_OFF;
    r.alarm_lead_minutes = lead;
    return true;
}

bool check_date_span(const EntryForm& form, ScheduleRecord& r, EntryCheck& failed) {
    const ListField end[] = {{form.end_month, ENTRY_END_MONTH}, {form.end_day, ENTRY_END_DAY}};
    if (int missing = first_unselected(end)) {
        failed = failure(MESSAGE_DATE_NOT_ENTERED, missing);
        return false;
    }
    // A span whose end month comes before its start month ends next year.
    int32_t end_year = r.start_year + (form.end_month < r.start_month ? 1 : 0);
    if (form.end_day > days_in_month(end_year, form.end_month)) {
        failed = failure(MESSAGE_DATE_INVALID, ENTRY_END_DAY);
        return false;
    }
    r.kind = KIND_DATE_SPAN;
    set_times(r, 0, 0, 24, 0);
    r.end_year = end_year;
    r.end_month = form.end_month;
    r.end_day = form.end_day;
    return true;
}

bool check_reminder(const EntryForm& form, ScheduleRecord& r, EntryCheck& failed) {
    if (!form.reminder_on)
        return true;
    int32_t year = 0;
    if (!check_year(form.reminder_year_text, ENTRY_REMINDER_YEAR, year, failed))
        return false;
    const ListField date[] = {{form.reminder_month, ENTRY_REMINDER_MONTH},
                              {form.reminder_day, ENTRY_REMINDER_DAY}};
    if (int missing = first_unselected(date)) {
        failed = failure(MESSAGE_DATE_NOT_ENTERED, missing);
        return false;
    }
    const ListField time[] = {{form.reminder_hour, ENTRY_REMINDER_HOUR},
                              {form.reminder_minute, ENTRY_REMINDER_MINUTE}};
    if (int missing = first_unselected(time)) {
        failed = failure(MESSAGE_TIME_NOT_ENTERED, missing);
        return false;
    }
    if (form.reminder_day > days_in_month(year, form.reminder_month)) {
        failed = failure(MESSAGE_DATE_INVALID, ENTRY_REMINDER_DAY);
        return false;
    }
    r.reminder_state = TRIGGER_ARMED;
    r.reminder_year = year;
    r.reminder_month = form.reminder_month;
    r.reminder_day = form.reminder_day;
    r.reminder_hour = form.reminder_hour;
    r.reminder_minute = form.reminder_minute;
    return true;
}

// The kind of item a mode works on: a dated entry or a ToDo item.
bool holds_item_of_mode(const ScheduleRecord& r, int32_t mode, int32_t id) {
    if (r.id != id)
        return false;
    if (is_todo_mode(mode))
        return r.kind == KIND_TODO;
    return r.kind >= KIND_TIME_RANGE && r.kind <= KIND_ALL_DAY;
}

// The dialog does not stop a reminder mail that is already on its way, and
// its mark lands on disk while the dialog is open. Writing back the armed
// state read at the opening would send that reminder a second time.
void keep_marks_made_meanwhile(const ScheduleRecord& opened, const ScheduleRecord& stored,
                               ScheduleRecord& record) {
    for (int32_t which : {TRIGGER_ALARM, TRIGGER_REMINDER}) {
        if (trigger_state(opened, which) != TRIGGER_DONE &&
            trigger_state(stored, which) == TRIGGER_DONE &&
            trigger_state(record, which) == TRIGGER_ARMED &&
            same_trigger_moment(stored, record, which))
            trigger_state(record, which) = TRIGGER_DONE;
    }
}

} // namespace

EntryCheck check_entry(int32_t mode, const EntryForm& form) {
    EntryCheck check{};
    check.passed = true;
    check.message = "";
    ScheduleRecord& r = check.record;
    r = blank_record(); // ToDo items keep every date, time and alarm field at 0
    EntryCheck failed{};
    if (is_todo_mode(mode)) {
        r.kind = KIND_TODO;
    } else {
        if (!check_start_date(form, r, failed))
            return failed;
        switch (form.kind) {
        case KIND_DATE_SPAN:
            if (!check_date_span(form, r, failed))
                return failed;
            break;
        case KIND_MORNING:
            r.kind = KIND_MORNING;
            set_times(r, 0, 0, 12, 0);
            end_on_start_day(r);
            break;
        case KIND_AFTERNOON:
            r.kind = KIND_AFTERNOON;
            set_times(r, 12, 0, 24, 0);
            end_on_start_day(r);
            break;
        case KIND_ALL_DAY:
            r.kind = KIND_ALL_DAY;
            set_times(r, 0, 0, 24, 0);
            end_on_start_day(r);
            break;
        default:
            if (!check_time_range(form, r, failed))
                return failed;
            break;
        }
    }
    std::string content = sjis_cut(form.content, ENTRY_TEXT_READ_BYTES);
    if (content.empty())
        return failure(MESSAGE_NOT_ENTERED, ENTRY_CONTENT);
    if (!check_reminder(form, r, failed))
        return failed;
    copy_to_field(r.content, sizeof r.content, content);
    // A ToDo item has no place, whatever the disabled edit may hold.
    if (!is_todo_mode(mode))
        copy_to_field(r.place, sizeof r.place, sjis_cut(form.place, ENTRY_TEXT_READ_BYTES));
    return check;
}

EntryLoad load_entry(const DataFile& store, int32_t mode, int32_t id, ScheduleRecord& record) {
    ScheduleRecord read{};
    if (!read_record(store, id, read))
        return LOAD_UNREADABLE;
    if (!holds_item_of_mode(read, mode, id))
        return LOAD_GONE;
    record = read;
    return LOAD_DONE;
}

EntrySave save_entry(DataFile& store, int32_t mode, int32_t id, const ScheduleRecord& opened,
                     ScheduleRecord& record) {
    if (!is_edit_mode(mode))
        return append_record(store, record) != 0 ? SAVE_DONE : SAVE_FAILED;
    ScheduleRecord stored{};
    if (!read_record(store, id, stored))
        return SAVE_FAILED;
    if (!holds_item_of_mode(stored, mode, id))
        return SAVE_GONE;
    record.id = id;
    keep_marks_made_meanwhile(opened, stored, record);
    return rewrite_record(store, record) ? SAVE_DONE : SAVE_FAILED;
}

} // namespace vntra
