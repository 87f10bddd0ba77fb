#include "timed_mail/timed_schedule.h"

#include <cstdio>

#include "calendar/date_arithmetic.h"

namespace vntra {
namespace {

const int MINUTES_PER_DAY = 24 * 60;
// How far ahead the next send is looked for: past a week, every switched-on
// kind has one unless the clock was set back further.
const int LOOK_AHEAD_DAYS = 15;

struct TimedSetting {
    bool on;
    int32_t weekday; // -1: every day
    int32_t hour;
    int32_t minute;
    int32_t target;
};

TimedSetting setting_of(const SettingsRecord& s, TimedMailKind kind) {
    if (kind == TIMED_DAILY)
        return {s.daily_on == 1, -1, s.daily_hour, s.daily_minute, s.daily_target};
    return {s.weekly_on == 1, s.weekly_weekday, s.weekly_hour, s.weekly_minute, s.weekly_target};
}

// A hand-edited file may hold anything; a time no day has never comes.
bool usable(const TimedSetting& t) {
    bool weekday_ok = t.weekday == -1 || (t.weekday >= 0 && t.weekday <= 6);
    bool target_ok = t.target == TARGET_THIS || t.target == TARGET_NEXT;
    return t.on && weekday_ok && target_ok && t.hour >= 0 && t.hour <= 23 && t.minute >= 0 &&
           t.minute <= 59;
}

LocalDate date_of(const LocalTimeStamp& now) {
    return {now.year, now.month, now.day};
}

LocalDate days_after(const LocalDate& date, int32_t days) {
    return days_before(date, -days);
}

LocalTimeStamp at_minute(const LocalDate& date, int32_t hour, int32_t minute) {
    LocalTimeStamp stamp{};
    stamp.year = date.year;
    stamp.month = date.month;
    stamp.day = date.day;
    stamp.hour = hour;
    stamp.minute = minute;
    return stamp;
}

} // namespace

TimedMailProgress& timed_progress(SettingsRecord& settings, TimedMailKind kind) {
    return kind == TIMED_DAILY ? settings.daily_progress : settings.weekly_progress;
}

const TimedMailProgress& timed_progress(const SettingsRecord& settings, TimedMailKind kind) {
    return kind == TIMED_DAILY ? settings.daily_progress : settings.weekly_progress;
}

TimedPlan plan_timed_mail(TimedMailKind kind, const SettingsRecord& settings,
                          const LocalTimeStamp& now) {
    TimedPlan plan;
    TimedSetting t = setting_of(settings, kind);
    if (!usable(t))
        return plan;
    LocalDate today = date_of(now);
    // The weekday comes from the date, not from the stamp, so that every
    // caller agrees on it.
    int weekday = day_of_week(today.year, today.month, today.day);
    LocalDate period_start = kind == TIMED_DAILY ? today : days_before(today, weekday);
    plan.period_key = make_date_key(period_start);
    const TimedMailProgress& progress = timed_progress(settings, kind);
    // A period whose mail has gone out (or was given up) stays done however
    // the clock moves; one later than now means the clock went back.
    if (progress.period_key > plan.period_key) {
        plan.decision = TIMED_CLOCK_SET_BACK;
        return plan;
    }
    bool this_period = progress.period_key == plan.period_key;
    if (this_period && progress.state == PERIOD_ARRIVED) {
        plan.decision = TIMED_ALREADY_SENT;
        return plan;
    }
    if (this_period && progress.state == PERIOD_STOPPED) {
        plan.decision = TIMED_STOPPED;
        return plan;
    }
    int now_minutes = now.hour * 60 + now.minute;
    int set_minutes = t.hour * 60 + t.minute;
    if (kind == TIMED_WEEKLY && weekday > t.weekday) {
        plan.decision = TIMED_TOO_LATE;
        return plan;
    }
    if ((kind == TIMED_WEEKLY && weekday < t.weekday) || now_minutes < set_minutes) {
        plan.decision = TIMED_NOT_YET;
        return plan;
    }
    plan.decision = TIMED_DUE;
    plan.mails_arrived = this_period && progress.mails_arrived > 0 ? progress.mails_arrived : 0;
    int32_t ahead = t.target == TARGET_NEXT ? (kind == TIMED_DAILY ? 1 : 7) : 0;
    plan.carried = days_after(period_start, ahead);
    return plan;
}

const char* timed_target_label(TimedMailKind kind, int32_t target) {
    if (kind == TIMED_DAILY)
        return target == TARGET_NEXT ? "明日の予定" : "今日の予定";
    return target == TARGET_NEXT ? "来週の予定" : "今週の予定";
}

std::string next_timed_mail_text(const SettingsRecord& settings, const LocalTimeStamp& now) {
    bool found = false;
    int64_t best_minute = 0;
    LocalDate best_day{};
    TimedSetting best{};
    TimedMailKind best_kind = TIMED_DAILY;
    for (TimedMailKind kind : {TIMED_DAILY, TIMED_WEEKLY}) {
        TimedSetting t = setting_of(settings, kind);
        if (!usable(t))
            continue;
        // The first day, from today on, on which the plan at the set minute
        // is to send: today's own minute while today's mail is still to go.
        for (int ahead = 0; ahead < LOOK_AHEAD_DAYS; ++ahead) {
            LocalDate day = days_after(date_of(now), ahead);
            LocalTimeStamp moment = at_minute(day, t.hour, t.minute);
            if (plan_timed_mail(kind, settings, moment).decision != TIMED_DUE)
                continue;
            int64_t minute =
                static_cast<int64_t>(make_date_key(day)) * MINUTES_PER_DAY + t.hour * 60 + t.minute;
            if (!found || minute < best_minute) {
                found = true;
                best_minute = minute;
                best_day = day;
                best = t;
                best_kind = kind;
            }
            break;
        }
    }
    if (!found)
        return {};
    char text[96];
    std::snprintf(text, sizeof text, "次の定時送信：%d月%d日 %d:%02d %s", best_day.month,
                  best_day.day, best.hour, best.minute, timed_target_label(best_kind, best.target));
    return text;
}

} // namespace vntra
