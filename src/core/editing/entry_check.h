// The entry dialog's OK: the checks in their fixed order, the record they
// build, and the guarded reads and writes of the data file.
#ifndef VNTRA_EDITING_ENTRY_CHECK_H
#define VNTRA_EDITING_ENTRY_CHECK_H

#include <cstdint>

#include "editing/entry_form.h"
#include "store/data_file.h"

namespace vntra {

const char MESSAGE_NOT_ENTERED[] = "内容が未入力です";
const char MESSAGE_YEAR_TOO_EARLY[] = "2001以上にして下さい";
const char MESSAGE_YEAR_TOO_LATE[] = "99999以下にして下さい";
const char MESSAGE_DATE_NOT_ENTERED[] = "日付が未入力です";
const char MESSAGE_DATE_INVALID[] = "日付が不正です";
const char MESSAGE_TIME_NOT_ENTERED[] = "時間が未入力です";
const char MESSAGE_TIME_INVALID[] = "時間が不正です";
const char MESSAGE_NUMBER_INVALID[] = "数値が正しく入力されていません";

// Years are typed freely, but one that would not fit the date keys of
// every reader (year × 10000 + …, one more for a span's end) is refused.
const int32_t FIRST_ENTRY_YEAR = 2001;
const int32_t LAST_ENTRY_YEAR = 99999;

// The first check that failed (message and control to focus), or the
// finished record. The record's id is left to the save.
struct EntryCheck {
    bool passed;
    const char* message;
    int focus;
    ScheduleRecord record;
};

// Every check after the mail settings, in the order the user meets them:
// date, kind and times, alarm, content, reminder.
EntryCheck check_entry(int32_t mode, const EntryForm& form);

enum EntryLoad {
    LOAD_DONE,
    LOAD_UNREADABLE, // the data file could not be read
    LOAD_GONE,       // the slot no longer holds that kind of item
};

// Reads the record an edit opens on. A schedule must be a live dated entry
// and a ToDo item a ToDo item, in the slot of its own id.
EntryLoad load_entry(const DataFile& store, int32_t mode, int32_t id, ScheduleRecord& record);

enum EntrySave {
    SAVE_DONE,
    SAVE_FAILED, // nothing was written; the count is as it was
    SAVE_GONE,   // an edit's slot no longer holds its record: not overwritten
};

// A new entry is appended (its id set); an edit is written back into the
// slot of `id` only when that slot still holds the item being changed.
// `opened` is the edited record as read when the dialog opened: a trigger
// that has fired since then stays done unless the edit moved it.
EntrySave save_entry(DataFile& store, int32_t mode, int32_t id, const ScheduleRecord& opened,
                     ScheduleRecord& record);

} // namespace vntra

#endif
