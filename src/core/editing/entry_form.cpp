#include "editing/entry_form.h"

#include "text/decimal_prefix.h"

namespace vntra {
namespace {

struct KindRadio {
    int32_t kind;
    int control_id;
};
const KindRadio KIND_RADIOS[] = {
    {KIND_TIME_RANGE, ENTRY_TIME_RANGE}, {KIND_DATE_SPAN, ENTRY_DATE_SPAN},
    {KIND_MORNING, ENTRY_MORNING},       {KIND_AFTERNOON, ENTRY_AFTERNOON},
    {KIND_ALL_DAY, ENTRY_ALL_DAY},       {KIND_TODO, ENTRY_TODO},
};

bool is_dated_kind(int32_t kind) {
    return kind >= KIND_TIME_RANGE && kind <= KIND_ALL_DAY;
}

// A stored value as a list selection: itself when the list holds it.
int32_t in_list(int32_t value, int32_t first, int32_t last) {
    return value >= first && value <= last ? value : NO_SELECTION;
}
// Minutes show as the step at or below them.
int32_t minute_in_list(int32_t minute) {
    return minute >= 0 && minute < 60 ? minute / MINUTE_STEP * MINUTE_STEP : NO_SELECTION;
}

void reset_date(EntryForm& form, const LocalDate& selected) {
    form.year_text = std::to_string(selected.year);
    form.month = selected.month;
    form.day = selected.day;
}

void clear_times(EntryForm& form) {
    form.start_hour = form.start_minute = form.end_hour = form.end_minute = NO_SELECTION;
}

void clear_end_date(EntryForm& form) {
    form.end_month = form.end_day = NO_SELECTION;
}

void set_reminder(EntryForm& form, std::string year_text, int32_t month, int32_t day, int32_t hour,
                  int32_t minute) {
    form.reminder_year_text = std::move(year_text);
    form.reminder_month = month;
    form.reminder_day = day;
    form.reminder_hour = hour;
    form.reminder_minute = minute;
}

void show_stored_reminder(EntryForm& form, const ScheduleRecord& r) {
    form.reminder_on = r.reminder_state == TRIGGER_ARMED;
    if (!form.reminder_on)
        return;
    set_reminder(form, std::to_string(r.reminder_year), in_list(r.reminder_month, 1, 12),
                 in_list(r.reminder_day, 1, 31), in_list(r.reminder_hour, 0, HOUR_LAST),
                 minute_in_list(r.reminder_minute));
}

} // namespace

int kind_radio(int32_t kind) {
    for (const KindRadio& radio : KIND_RADIOS)
        if (radio.kind == kind)
            return radio.control_id;
    return 0;
}

int32_t radio_kind(int control_id) {
    for (const KindRadio& radio : KIND_RADIOS)
        if (radio.control_id == control_id)
            return radio.kind;
    return 0;
}

EntryEnables entry_enables(int32_t mode, const EntryForm& form) {
    EntryEnables e{};
    bool todo = is_todo_mode(mode);
    e.schedule_kinds = !todo;
    e.todo_kind = todo;
    e.date = is_dated_kind(form.kind);
    e.times = form.kind == KIND_TIME_RANGE;
    e.end_date = form.kind == KIND_DATE_SPAN;
    e.alarm_check = form.kind == KIND_TIME_RANGE;
    e.alarm_minutes = e.alarm_check && form.alarm_on;
    e.reminder_check = true;
    e.reminder_fields = form.reminder_on;
    e.place = form.kind != KIND_TODO;
    return e;
}

EntryForm new_entry_form(int32_t mode, const LocalDate& selected, int32_t alarm_minutes) {
    EntryForm form;
    if (is_todo_mode(mode)) {
        form.kind = KIND_TODO;
        return form;
    }
    form.kind = KIND_TIME_RANGE;
    reset_date(form, selected);
    form.start_hour = form.end_hour = DEFAULT_HOUR;
    form.start_minute = form.end_minute = 0;
    form.alarm_minutes_text = std::to_string(alarm_minutes);
    return form;
}

EntryForm edit_entry_form(int32_t mode, const ScheduleRecord& r, const LocalDate& selected,
                          int32_t alarm_minutes) {
    EntryForm form = new_entry_form(mode, selected, alarm_minutes);
    if (!is_todo_mode(mode)) {
        form.kind = is_dated_kind(r.kind) ? r.kind : KIND_TIME_RANGE;
        form.year_text = std::to_string(r.start_year);
        form.month = in_list(r.start_month, 1, 12);
        form.day = in_list(r.start_day, 1, 31);
        clear_times(form);
        if (form.kind == KIND_TIME_RANGE) {
            form.start_hour = in_list(r.start_hour, 0, HOUR_LAST);
            form.start_minute = minute_in_list(r.start_minute);
            form.end_hour = in_list(r.end_hour, 0, HOUR_LAST);
            form.end_minute = minute_in_list(r.end_minute);
            // A done alarm shows unchecked: saving re-arms it only if asked.
            form.alarm_on = r.alarm_state == TRIGGER_ARMED;
            form.alarm_minutes_text = std::to_string(r.alarm_lead_minutes);
        } else if (form.kind == KIND_DATE_SPAN) {
            form.end_month = in_list(r.end_month, 1, 12);
            form.end_day = in_list(r.end_day, 1, 31);
        }
        form.place = field_text(r.place);
    }
    form.content = field_text(r.content);
    show_stored_reminder(form, r);
    return form;
}

void switch_kind(EntryForm& form, int32_t kind, const LocalDate& selected, int32_t alarm_minutes) {
    form.kind = kind;
    if (kind == KIND_TODO) {
        form.month = form.day = NO_SELECTION;
        clear_times(form);
        clear_end_date(form);
        return;
    }
    reset_date(form, selected);
    if (kind == KIND_TIME_RANGE) {
        if (form.start_hour == NO_SELECTION)
            form.start_hour = DEFAULT_HOUR;
        if (form.start_minute == NO_SELECTION)
            form.start_minute = 0;
        if (form.end_hour == NO_SELECTION)
            form.end_hour = DEFAULT_HOUR;
        if (form.end_minute == NO_SELECTION)
            form.end_minute = 0;
        clear_end_date(form);
        form.alarm_on = false;
        form.alarm_minutes_text = std::to_string(alarm_minutes);
        form.reminder_on = false;
        return;
    }
    clear_times(form);
    if (kind == KIND_DATE_SPAN) {
        if (form.end_month == NO_SELECTION)
            form.end_month = selected.month;
        if (form.end_day == NO_SELECTION)
            form.end_day = selected.day;
    } else {
        clear_end_date(form);
    }
}

void toggle_alarm(EntryForm& form, bool checked, int32_t alarm_minutes) {
    form.alarm_on = checked;
    if (checked && decimal_prefix(form.alarm_minutes_text, ALARM_MINUTES_READ_CHARS) == 0)
        form.alarm_minutes_text = std::to_string(alarm_minutes);
}

void toggle_reminder(EntryForm& form, bool checked, const LocalDate& selected) {
    form.reminder_on = checked;
    if (!checked)
        return;
    bool date_chosen =
        is_dated_kind(form.kind) && form.month != NO_SELECTION && form.day != NO_SELECTION;
    if (!date_chosen) {
        set_reminder(form, std::to_string(selected.year), selected.month, selected.day,
                     DEFAULT_HOUR, 0);
        return;
    }
    std::string year = form.year_text.substr(0, YEAR_READ_CHARS);
    if (form.kind == KIND_TIME_RANGE && form.start_hour != NO_SELECTION &&
        form.start_minute != NO_SELECTION)
        set_reminder(form, year, form.month, form.day, form.start_hour, form.start_minute);
    else if (form.kind == KIND_TIME_RANGE)
        set_reminder(form, std::to_string(selected.year), selected.month, selected.day,
                     DEFAULT_HOUR, 0);
    else
        set_reminder(form, year, form.month, form.day, DEFAULT_HOUR, 0);
}

void start_hour_changed(EntryForm& form, int32_t mode) {
    if (mode == ENTRY_NEW_SCHEDULE)
        form.end_hour = form.start_hour;
}

} // namespace vntra
