// When the schedule mails itself: the daily mail at its minute, the weekly
// one at its minute of its weekday, each once per day or week, caught up
// later the same day when the PC was off or asleep at the minute, and never
// sent late after that day. Decided from the clock and the settings alone.
#ifndef VNTRA_TIMED_MAIL_TIMED_SCHEDULE_H
#define VNTRA_TIMED_MAIL_TIMED_SCHEDULE_H

#include <cstdint>
#include <string>

#include "platform/clock.h"
#include "store/schedule_keys.h"
#include "store/settings_record.h"

namespace vntra {

enum TimedMailKind {
    TIMED_DAILY = 0,
    TIMED_WEEKLY = 1,
};
const int TIMED_MAIL_KIND_COUNT = 2;

enum TimedDecision {
    TIMED_OFF,            // switched off, or a time or weekday no drop-down offers
    TIMED_NOT_YET,        // this period's minute has not come
    TIMED_DUE,            // send now: at the minute, caught up later that day, or tried again
    TIMED_ALREADY_SENT,   // every mail of this period has arrived
    TIMED_STOPPED,        // refused, or the settings could not be used: not again this period
    TIMED_TOO_LATE,       // the weekly mail's day went by without it; it is not sent late
    TIMED_CLOCK_SET_BACK, // a later period's mail has gone out already
};

struct TimedPlan {
    TimedDecision decision = TIMED_OFF;
    int32_t period_key = 0; // today, or the Sunday of this week
    // When due: how many of the period's mails arrived before a failure
    // stopped them; the send goes on after those.
    int32_t mails_arrived = 0;
    // The day the mail carries, or the Sunday of the week it carries.
    LocalDate carried = {0, 0, 0};
};

TimedPlan plan_timed_mail(TimedMailKind kind, const SettingsRecord& settings,
                          const LocalTimeStamp& now);

// The progress record of the kind in the settings.
TimedMailProgress& timed_progress(SettingsRecord& settings, TimedMailKind kind);
const TimedMailProgress& timed_progress(const SettingsRecord& settings, TimedMailKind kind);

// "今日の予定", "明日の予定", "今週の予定" or "来週の予定".
const char* timed_target_label(TimedMailKind kind, int32_t target);

// "次の定時送信：12月9日 7:00 今日の予定": the next send of either kind that
// is still to go out (one waiting to be tried again shows its own minute),
// or "" when both are off.
std::string next_timed_mail_text(const SettingsRecord& settings, const LocalTimeStamp& now);

} // namespace vntra

#endif
