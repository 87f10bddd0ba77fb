#include "reminders/timer_scan.h"

#include <algorithm>
#include <cstdio>

#include "store/schedule_keys.h"

namespace vntra {
namespace {

// Content (64 bytes), place (66) and the fixed parts fit with room to spare.
const size_t TEXT_BUFFER = 320;

int32_t tomorrow_key(const LocalTimeStamp& now) {
    LocalDate tomorrow = days_before({now.year, now.month, now.day}, -1);
    return make_date_key(tomorrow);
}

// Everything a scan works out once from the clock.
struct ScanClock {
    explicit ScanClock(const LocalTimeStamp& now)
        : now(now), today_key(make_date_key(now.year, now.month, now.day)),
          tomorrow_key(vntra::tomorrow_key(now)),
          minute_key(vntra::minute_key(now.year, now.month, now.day, now.hour, now.minute)) {}
    LocalTimeStamp now;
    int32_t today_key;
    int32_t tomorrow_key;
    int64_t minute_key;
};

bool alarm_due_at(const ScheduleRecord& r, const ScanClock& clock) {
    if (r.kind != KIND_TIME_RANGE)
        return false;
    int32_t start_key = start_date_key(r);
    int64_t day_offset;
    if (start_key == clock.today_key)
        day_offset = 0;
    else if (start_key == clock.tomorrow_key)
        day_offset = 24;
    else
        return false;
    // In 64 bits, so that a damaged record cannot overflow the sum.
    int64_t minutes_until_start =
        (day_offset + r.start_hour - clock.now.hour) * 60 + r.start_minute - clock.now.minute;
    return minutes_until_start <= r.alarm_lead_minutes;
}

bool reminder_kind(int32_t kind) {
    return kind >= KIND_TIME_RANGE && kind <= KIND_TODO;
}

bool reminder_due_at(const ScheduleRecord& r, const ScanClock& clock) {
    return minute_key(r.reminder_year, r.reminder_month, r.reminder_day, r.reminder_hour,
                      r.reminder_minute) <= clock.minute_key;
}

void plan_record(const ScheduleRecord& r, const ScanClock& clock, const TriggerMemory& memory,
                 ScanPlan& plan) {
    if (r.alarm_state == TRIGGER_ARMED) {
        if (memory.fired_unwritten(r, TRIGGER_ALARM))
            plan.marks_to_retry.push_back({r, TRIGGER_ALARM});
        else if (alarm_due_at(r, clock))
            plan.alarms.push_back({r, alarm_notice_text(r)});
    }
    if (r.reminder_state == TRIGGER_ARMED && reminder_kind(r.kind)) {
        if (memory.fired_unwritten(r, TRIGGER_REMINDER))
            plan.marks_to_retry.push_back({r, TRIGGER_REMINDER});
        else if (!memory.held(r.id) && reminder_due_at(r, clock))
            plan.reminders.push_back(
                {r, REMINDER_SUBJECT, reminder_body(r), !memory.failure_shown(r)});
    }
}

} // namespace

std::string alarm_notice_text(const ScheduleRecord& r) {
    char text[TEXT_BUFFER];
    std::snprintf(text, sizeof text, "\r\n %02d月%02d日 %02d:%02d-%02d:%02d\r\n %s\r\n (%s)\r\n",
                  r.start_month, r.start_day, r.start_hour, r.start_minute, r.end_hour,
                  r.end_minute, field_text(r.content).c_str(), field_text(r.place).c_str());
    return text;
}

std::string reminder_body(const ScheduleRecord& r) {
    std::string content = field_text(r.content);
    std::string place = field_text(r.place);
    char text[TEXT_BUFFER];
    const char* part_of_day = nullptr;
    switch (r.kind) {
    case KIND_TIME_RANGE:
        std::snprintf(text, sizeof text, "%02d月%02d日\r\n%02d:%02d-%02d:%02d\r\n%s：%s\r\n",
                      r.start_month, r.start_day, r.start_hour, r.start_minute, r.end_hour,
                      r.end_minute, content.c_str(), place.c_str());
        return text;
    case KIND_DATE_SPAN:
        std::snprintf(text, sizeof text, "%02d月%02d日-%02d月%02d日\r\n%s：%s", r.start_month,
                      r.start_day, r.end_month, r.end_day, content.c_str(), place.c_str());
        return text;
    case KIND_MORNING:
        part_of_day = "午前";
        break;
    case KIND_AFTERNOON:
        part_of_day = "午後";
        break;
    case KIND_ALL_DAY:
        part_of_day = "終日";
        break;
    case KIND_TODO:
        return "ＴｏＤｏ\r\n" + content;
    default:
        return {};
    }
    std::snprintf(text, sizeof text, "%02d月%02d日\r\n%s\r\n%s：%s", r.start_month, r.start_day,
                  part_of_day, content.c_str(), place.c_str());
    return text;
}

bool alarm_due(const ScheduleRecord& record, const LocalTimeStamp& now) {
    return alarm_due_at(record, ScanClock(now));
}

bool reminder_due(const ScheduleRecord& record, const LocalTimeStamp& now) {
    return reminder_due_at(record, ScanClock(now));
}

int32_t trigger_state(const ScheduleRecord& record, int32_t which) {
    return which == TRIGGER_ALARM ? record.alarm_state : record.reminder_state;
}

int32_t& trigger_state(ScheduleRecord& record, int32_t which) {
    return which == TRIGGER_ALARM ? record.alarm_state : record.reminder_state;
}

bool same_trigger_moment(const ScheduleRecord& a, const ScheduleRecord& b, int32_t which) {
    if (which == TRIGGER_ALARM)
        return a.start_year == b.start_year && a.start_month == b.start_month &&
               a.start_day == b.start_day && a.start_hour == b.start_hour &&
               a.start_minute == b.start_minute && a.alarm_lead_minutes == b.alarm_lead_minutes;
    return a.reminder_year == b.reminder_year && a.reminder_month == b.reminder_month &&
           a.reminder_day == b.reminder_day && a.reminder_hour == b.reminder_hour &&
           a.reminder_minute == b.reminder_minute;
}

bool same_trigger(const ScheduleRecord& fired, const ScheduleRecord& current, int32_t which) {
    return current.id == fired.id && current.kind == fired.kind &&
           trigger_state(current, which) == TRIGGER_ARMED &&
           same_trigger_moment(fired, current, which);
}

// ---- memory ------------------------------------------------------------------

void TriggerMemory::remember_unwritten(const ScheduleRecord& fired, int32_t which) {
    forget_unwritten(fired.id, which);
    unwritten_.push_back({fired, which});
}

void TriggerMemory::forget_unwritten(int32_t id, int32_t which) {
    std::erase_if(unwritten_,
                  [&](const Remembered& r) { return r.fired.id == id && r.which == which; });
}

bool TriggerMemory::fired_unwritten(const ScheduleRecord& current, int32_t which) const {
    for (const Remembered& r : unwritten_) {
        if (r.which == which && same_trigger(r.fired, current, which))
            return true;
    }
    return false;
}

void TriggerMemory::remember_failure_shown(const ScheduleRecord& fired) {
    forget_failure_shown(fired.id);
    failures_shown_.push_back(fired);
}

void TriggerMemory::forget_failure_shown(int32_t id) {
    std::erase_if(failures_shown_, [&](const ScheduleRecord& r) { return r.id == id; });
}

bool TriggerMemory::failure_shown(const ScheduleRecord& current) const {
    for (const ScheduleRecord& fired : failures_shown_) {
        if (same_trigger(fired, current, TRIGGER_REMINDER))
            return true;
    }
    return false;
}

void TriggerMemory::hold(int32_t id) {
    if (!held(id))
        held_.push_back(id);
}

void TriggerMemory::release(int32_t id) {
    std::erase(held_, id);
}

bool TriggerMemory::held(int32_t id) const {
    return std::find(held_.begin(), held_.end(), id) != held_.end();
}

// ---- the scan ------------------------------------------------------------------

ScanPlan plan_scan(const DataFile& store, const LocalTimeStamp& now, const TriggerMemory& memory) {
    ScanPlan plan;
    ScanClock clock(now);
    RecordReader reader(store.path, store.record_count);
    plan.file_read = reader.is_open();
    ScheduleRecord record;
    while (reader.next(record))
        plan_record(record, clock, memory, plan);
    return plan;
}

ScanPlan plan_scan(const std::vector<ScheduleRecord>& records, const LocalTimeStamp& now,
                   const TriggerMemory& memory) {
    ScanPlan plan;
    plan.file_read = true;
    ScanClock clock(now);
    for (const ScheduleRecord& record : records)
        plan_record(record, clock, memory, plan);
    return plan;
}

MarkResult mark_trigger_done(const DataFile& store, const ScheduleRecord& fired, int32_t which) {
    if (which != TRIGGER_ALARM && which != TRIGGER_REMINDER)
        return MARK_NOT_NEEDED;
    ScheduleRecord current;
    if (!read_record(store, fired.id, current))
        return MARK_FAILED;
    if (!same_trigger(fired, current, which))
        return MARK_NOT_NEEDED;
    trigger_state(current, which) = TRIGGER_DONE;
    return rewrite_record(store, current) ? MARK_WRITTEN : MARK_FAILED;
}

MarkResult mark_fired(const DataFile& store, TriggerMemory& memory, const ScheduleRecord& fired,
                      int32_t which) {
    MarkResult result = mark_trigger_done(store, fired, which);
    if (result == MARK_FAILED)
        memory.remember_unwritten(fired, which);
    else
        memory.forget_unwritten(fired.id, which);
    return result;
}

} // namespace vntra
