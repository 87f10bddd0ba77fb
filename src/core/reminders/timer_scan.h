// The minute scan's decisions: which alarms sound, which reminder mails go
// out, and which marks are written back, from the local time and the records.
// The window plays the sounds, shows the notices and sends the mails.
#ifndef VNTRA_REMINDERS_TIMER_SCAN_H
#define VNTRA_REMINDERS_TIMER_SCAN_H

#include <cstdint>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "store/data_file.h"

namespace vntra {

// Which trigger of a record: the `which` of mark_trigger_done.
enum TriggerWhich : int32_t {
    TRIGGER_ALARM = 1,
    TRIGGER_REMINDER = 2,
};

const char REMINDER_SUBJECT[] = "リマインドメール（お知らせ）";

// "\r\n 03月15日 10:00-11:00\r\n 会議\r\n (本社)" and the "\r\n" behind it:
// what an alarm appends to the notice window.
std::string alarm_notice_text(const ScheduleRecord& record);

// The reminder mail's body for the record's kind; empty for other kinds.
std::string reminder_body(const ScheduleRecord& record);

// A time range whose start, today or tomorrow, is at most its lead away
// (or already past today).
bool alarm_due(const ScheduleRecord& record, const LocalTimeStamp& now);

// The reminder's minute is now or past.
bool reminder_due(const ScheduleRecord& record, const LocalTimeStamp& now);

// The state of the record's alarm or reminder.
int32_t trigger_state(const ScheduleRecord& record, int32_t which);
int32_t& trigger_state(ScheduleRecord& record, int32_t which);

// Both records set the trigger for the same moment: the alarm by its start
// date, start time and lead, the reminder by its date and time.
bool same_trigger_moment(const ScheduleRecord& a, const ScheduleRecord& b, int32_t which);

// The trigger the record carries now is still the one that fired: armed, and
// not moved or deleted by an edit since.
bool same_trigger(const ScheduleRecord& fired, const ScheduleRecord& current, int32_t which);

// What this run remembers about triggers beyond the data file: those that
// fired but whose mark could not be written (they must not fire again),
// reminders whose failure the user has already been shown, and reminders
// held back while their mail is on its way or its box waits for the user.
class TriggerMemory {
  public:
    void remember_unwritten(const ScheduleRecord& fired, int32_t which);
    void forget_unwritten(int32_t id, int32_t which);
    bool fired_unwritten(const ScheduleRecord& current, int32_t which) const;

    void remember_failure_shown(const ScheduleRecord& fired);
    void forget_failure_shown(int32_t id);
    bool failure_shown(const ScheduleRecord& current) const;

    // By record id: while one of a record's reminders is in hand, none of
    // that record's reminders is taken up again.
    void hold(int32_t id);
    void release(int32_t id);
    bool held(int32_t id) const;

    bool empty() const { return unwritten_.empty() && failures_shown_.empty() && held_.empty(); }

  private:
    struct Remembered {
        ScheduleRecord fired;
        int32_t which;
    };
    std::vector<Remembered> unwritten_;
    std::vector<ScheduleRecord> failures_shown_;
    std::vector<int32_t> held_;
};

struct AlarmFiring {
    ScheduleRecord record; // as read by the scan
    std::string notice;    // appended to the notice window
};

struct ReminderMail {
    ScheduleRecord record;
    std::string subject;
    std::string body;
    // False once the user has seen a failure of this reminder: later
    // attempts fail without another box.
    bool announce_failure;
};

struct PendingMark {
    ScheduleRecord record;
    int32_t which;
};

struct ScanPlan {
    bool file_read = false; // false: the data file could not be opened
    std::vector<AlarmFiring> alarms;
    std::vector<ReminderMail> reminders;
    // Triggers that fired earlier in this run and only need their mark.
    std::vector<PendingMark> marks_to_retry;
};

// Decides one scan over every slot of the data file, in file order.
ScanPlan plan_scan(const DataFile& store, const LocalTimeStamp& now, const TriggerMemory& memory);

// The same over records already in memory.
ScanPlan plan_scan(const std::vector<ScheduleRecord>& records, const LocalTimeStamp& now,
                   const TriggerMemory& memory);

enum MarkResult {
    MARK_WRITTEN,
    MARK_NOT_NEEDED, // the record was edited or deleted since it fired
    MARK_FAILED,     // the data file could not be read or written
};

// Sets the trigger to TRIGGER_DONE in the record as it is on disk now and
// writes it back, unless an edit has replaced the trigger meanwhile.
MarkResult mark_trigger_done(const DataFile& store, const ScheduleRecord& fired, int32_t which);

// Marks a trigger that has done its job; one whose mark cannot be written is
// remembered, so that it does not fire again while only the write is retried.
MarkResult mark_fired(const DataFile& store, TriggerMemory& memory, const ScheduleRecord& fired,
                      int32_t which);

} // namespace vntra

#endif
