// The entry dialog's form as plain data: what its controls hold, which of
// them the user may touch, and how a click on a kind, a check box or the
// start hour changes them. The dialog reads its controls into an EntryForm,
// lets these functions change it and puts the result back on screen.
#ifndef VNTRA_EDITING_ENTRY_FORM_H
#define VNTRA_EDITING_ENTRY_FORM_H

#include <cstdint>
#include <string>

#include "store/schedule_keys.h"
#include "store/schedule_record.h"

namespace vntra {

// How the entry dialog is opened. 10 or more means a ToDo item.
enum EntryMode : int32_t {
    ENTRY_NONE = 0,
    ENTRY_NEW_SCHEDULE = 1,
    ENTRY_EDIT_SCHEDULE = 2,
    ENTRY_NEW_TODO = 11,
    ENTRY_EDIT_TODO = 12,
};

inline bool is_todo_mode(int32_t mode) {
    return mode >= 10;
}
inline bool is_edit_mode(int32_t mode) {
    return mode == ENTRY_EDIT_SCHEDULE || mode == ENTRY_EDIT_TODO;
}

// The controls of the entry dialog; a failed check names the one to focus.
enum EntryControl : int {
    ENTRY_OK = 1055,
    ENTRY_CANCEL = 1060,
    ENTRY_TIME_RANGE = 1063, // the six kind radios: 1063–1067 and 1116
    ENTRY_DATE_SPAN = 1064,
    ENTRY_MORNING = 1065,
    ENTRY_AFTERNOON = 1066,
    ENTRY_ALL_DAY = 1067,
    ENTRY_CONTENT = 1068,
    ENTRY_PLACE = 1069,
    ENTRY_START_HOUR = 1070,
    ENTRY_START_MINUTE = 1071,
    ENTRY_END_HOUR = 1072,
    ENTRY_END_MINUTE = 1073,
    ENTRY_END_MONTH = 1074,
    ENTRY_END_DAY = 1075,
    ENTRY_MONTH = 1087,
    ENTRY_DAY = 1088,
    ENTRY_YEAR = 1089,
    ENTRY_ALARM_MINUTES = 1099,
    ENTRY_ALARM = 1103,
    ENTRY_REMINDER = 1104,
    ENTRY_REMINDER_YEAR = 1105,
    ENTRY_REMINDER_MONTH = 1106,
    ENTRY_REMINDER_DAY = 1107,
    ENTRY_REMINDER_HOUR = 1108,
    ENTRY_REMINDER_MINUTE = 1109,
    ENTRY_TODO = 1116,
};

// The radio of a kind (1–6) and back; 0 for anything else.
int kind_radio(int32_t kind);
int32_t radio_kind(int control_id);

// What the fields are read with: the year texts and the alarm minutes by
// their first few characters, content and place by their first 64 bytes.
const size_t YEAR_READ_CHARS = 7;
const size_t ALARM_MINUTES_READ_CHARS = 3;
const size_t ENTRY_TEXT_READ_BYTES = 64;

// A drop-down list without a selection.
const int32_t NO_SELECTION = -1;

// The drop-down lists hold these values; minutes step by 5. A value that is
// not in its list (a hand-made record) shows as no selection, a minute as
// the step below it.
const int32_t HOUR_LAST = 24;
const int32_t MINUTE_STEP = 5;
const int32_t DEFAULT_HOUR = 9;

// Everything the entry dialog shows, with the drop-down lists as values
// (NO_SELECTION when nothing is chosen) and the edits as Shift-JIS texts.
struct EntryForm {
    int32_t kind = KIND_TIME_RANGE; // the checked radio
    std::string year_text;
    int32_t month = NO_SELECTION;
    int32_t day = NO_SELECTION;
    int32_t start_hour = NO_SELECTION;
    int32_t start_minute = NO_SELECTION;
    int32_t end_hour = NO_SELECTION;
    int32_t end_minute = NO_SELECTION;
    int32_t end_month = NO_SELECTION;
    int32_t end_day = NO_SELECTION;
    std::string content;
    std::string place;
    bool alarm_on = false;
    std::string alarm_minutes_text;
    bool reminder_on = false;
    std::string reminder_year_text;
    int32_t reminder_month = NO_SELECTION;
    int32_t reminder_day = NO_SELECTION;
    int32_t reminder_hour = NO_SELECTION;
    int32_t reminder_minute = NO_SELECTION;
};

// Which controls the user may touch. It follows from the mode and the form,
// so that a check box always agrees with the fields it governs.
struct EntryEnables {
    bool schedule_kinds; // the five dated radios
    bool todo_kind;
    bool date; // year, month, day
    bool times;
    bool end_date;
    bool alarm_check;
    bool alarm_minutes;
    bool reminder_check;
    bool reminder_fields;
    bool place;
};

EntryEnables entry_enables(int32_t mode, const EntryForm& form);

// A new schedule on the selected date from 9:00 to 9:00, or an empty ToDo
// item; the alarm minutes edit holds the settings' default.
EntryForm new_entry_form(int32_t mode, const LocalDate& selected, int32_t alarm_minutes);

// The form of a stored record opened for a change.
EntryForm edit_entry_form(int32_t mode, const ScheduleRecord& record, const LocalDate& selected,
                          int32_t alarm_minutes);

// A click on a kind radio: the date goes back to the selected date and the
// lists the kind does not use are cleared; a time range gets its default
// times and starts with both triggers off.
void switch_kind(EntryForm& form, int32_t kind, const LocalDate& selected, int32_t alarm_minutes);

// The alarm check box: a checked alarm without a usable number of minutes
// takes the settings' default.
void toggle_alarm(EntryForm& form, bool checked, int32_t alarm_minutes);

// The reminder check box: a checked reminder starts at the entry's start
// (a time range), on its day at 9:00 (other kinds), or on the selected day
// at 9:00 (ToDo items, and entries whose date is not chosen).
void toggle_reminder(EntryForm& form, bool checked, const LocalDate& selected);

// A new schedule's end hour follows its start hour.
void start_hour_changed(EntryForm& form, int32_t mode);

} // namespace vntra

#endif
