#include "exchange/ical_occurrences.h"

#include <algorithm>
#include <climits>
#include <set>

namespace vntra {
namespace {

// A series is expanded a little beyond the window on its own clock, then
// held to the window on Japan's; no zone is more than a day from Japan.
const int64_t WINDOW_MARGIN = 2 * SECONDS_PER_DAY;
const size_t MAX_OCCURRENCES = 100000;

bool japan_start(const IcalTime& time, const ZoneSet& zones, int64_t& japan) {
    return zones.to_japan_clock(time, japan);
}

// The event's length in seconds on Japan's clock (whole days for a day
// event). A day event without an end lasts one day; a timed one none.
OccurrenceFault event_length(const IcalEvent& event, const ZoneSet& zones, int64_t start,
                             int64_t& length) {
    bool all_day = event.start.form == ICAL_DATE;
    length = all_day ? SECONDS_PER_DAY : 0;
    if (event.has_end) {
        int64_t end = 0;
        if (!japan_start(event.end, zones, end))
            return OCCURRENCE_UNKNOWN_ZONE;
        length = end - start;
    } else if (event.has_duration) {
        length = event.duration;
    }
    if (length < 0)
        return OCCURRENCE_END_BEFORE_START;
    if (all_day) {
        // Whole days, at least one: some writers give a day event an end
        // equal to its start.
        length = std::max<int64_t>(1, (length + SECONDS_PER_DAY - 1) / SECONDS_PER_DAY) *
                 SECONDS_PER_DAY;
    }
    return OCCURRENCES_OK;
}

bool in_window(int64_t japan, const RecurrenceWindow& window) {
    int64_t day = days_of_seconds(japan);
    return day >= window.first_day && day <= window.last_day;
}

// UNTIL on the clock that the series' starts are written in.
int64_t until_on_start_clock(const RecurrenceRule& rule, const IcalTime& start,
                             const ZoneSet& zones) {
    if (!rule.has_until)
        return LLONG_MAX;
    if (rule.until_is_date)
        return start.form == ICAL_DATE ? rule.until : rule.until + SECONDS_PER_DAY - 1;
    if (!rule.until_is_utc)
        return rule.until;
    int64_t clock = 0;
    if (start.form == ICAL_DATE)
        return rule.until + JAPAN_OFFSET_SECONDS;
    if (!zones.utc_to_clock_of(start, rule.until, clock))
        return LLONG_MAX;
    return clock;
}

// The Japan start of an instance written on the start's clock.
bool instance_on_japan_clock(const IcalTime& start, int64_t clock, const ZoneSet& zones,
                             int64_t& japan) {
    IcalTime time = start;
    time.clock = clock;
    return japan_start(time, zones, japan);
}

OccurrenceFault series_starts(const IcalEvent& event, const ZoneSet& zones,
                              const RecurrenceWindow& window, std::vector<int64_t>& clocks) {
    clocks.clear();
    if (!event.has_rule) {
        clocks.push_back(event.start.clock);
        return OCCURRENCES_OK;
    }
    if (event.rule_parse == RECURRENCE_MALFORMED)
        return OCCURRENCE_RULE_MALFORMED;
    if (event.rule_parse == RECURRENCE_UNSUPPORTED)
        return OCCURRENCE_RULE_UNSUPPORTED;
    ExpansionLimits limits{window.first_day * SECONDS_PER_DAY - WINDOW_MARGIN,
                           (window.last_day + 1) * SECONDS_PER_DAY + WINDOW_MARGIN,
                           until_on_start_clock(event.rule, event.start, zones), MAX_OCCURRENCES};
    if (!expand_recurrence(event.rule, event.start.clock, limits, clocks))
        return OCCURRENCE_TOO_MANY;
    return OCCURRENCES_OK;
}

} // namespace

bool instance_text(const IcalTime& time, const ZoneSet& zones, std::string& text) {
    if (time.form == ICAL_DATE) {
        text = format_ical_date(days_of_seconds(time.clock));
        return true;
    }
    int64_t utc = 0;
    if (!zones.to_utc(time, utc))
        return false;
    text = format_ical_date_time(utc, true);
    return true;
}

OccurrenceFault event_occurrences(const IcalEvent& event,
                                  const std::vector<const IcalEvent*>& overrides,
                                  const ZoneSet& zones, const RecurrenceWindow& window,
                                  std::vector<Occurrence>& occurrences) {
    occurrences.clear();
    if (!event.has_start)
        return event.unreadable ? OCCURRENCE_UNREADABLE : OCCURRENCE_NO_START;
    if (event.unreadable)
        return OCCURRENCE_UNREADABLE;
    int64_t first_start = 0;
    if (!japan_start(event.start, zones, first_start))
        return OCCURRENCE_UNKNOWN_ZONE;
    int64_t length = 0;
    OccurrenceFault fault = event_length(event, zones, first_start, length);
    if (fault != OCCURRENCES_OK)
        return fault;
    bool all_day = event.start.form == ICAL_DATE;

    bool series = event.has_rule || !event.extra_dates.empty();
    if (!series) {
        Occurrence single{all_day, first_start, first_start + length, "", &event};
        if (event.has_recurrence_id && !instance_text(event.recurrence_id, zones, single.instance))
            return OCCURRENCE_UNKNOWN_ZONE;
        occurrences.push_back(std::move(single));
        return OCCURRENCES_OK;
    }
    for (const IcalEvent* moved : overrides)
        if (moved->this_and_future)
            return OCCURRENCE_RULE_UNSUPPORTED;

    std::vector<int64_t> clocks;
    fault = series_starts(event, zones, window, clocks);
    if (fault != OCCURRENCES_OK)
        return fault;
    std::vector<Occurrence> found;
    for (int64_t clock : clocks) {
        Occurrence o{all_day, 0, 0, "", &event};
        IcalTime time = event.start;
        time.clock = clock;
        if (!instance_on_japan_clock(event.start, clock, zones, o.start) ||
            !instance_text(time, zones, o.instance))
            return OCCURRENCE_UNKNOWN_ZONE;
        o.end = o.start + length;
        found.push_back(std::move(o));
    }
    for (const ExtraDate& extra : event.extra_dates) {
        Occurrence o{extra.start.form == ICAL_DATE, 0, 0, "", &event};
        if (!japan_start(extra.start, zones, o.start) ||
            !instance_text(extra.start, zones, o.instance))
            return OCCURRENCE_UNKNOWN_ZONE;
        o.end = o.start + length;
        if (extra.has_end && !japan_start(extra.end, zones, o.end))
            return OCCURRENCE_UNKNOWN_ZONE;
        if (o.end < o.start)
            return OCCURRENCE_END_BEFORE_START;
        found.push_back(std::move(o));
    }

    // Instances that EXDATEs remove, and those that overrides replace.
    std::set<std::string> removed;
    std::set<int64_t> removed_days;
    for (const IcalTime& excluded : event.excluded) {
        std::string text;
        if (!instance_text(excluded, zones, text))
            return OCCURRENCE_UNKNOWN_ZONE;
        removed.insert(text);
        if (excluded.form == ICAL_DATE)
            removed_days.insert(days_of_seconds(excluded.clock));
    }
    std::set<std::string> replaced;
    for (const IcalEvent* moved : overrides) {
        std::string text;
        if (!instance_text(moved->recurrence_id, zones, text))
            return OCCURRENCE_UNKNOWN_ZONE;
        replaced.insert(text);
    }
    std::set<std::string> seen;
    for (Occurrence& o : found) {
        if (!in_window(o.start, window) || removed.count(o.instance) ||
            removed_days.count(days_of_seconds(o.start)) || replaced.count(o.instance) ||
            !seen.insert(o.instance).second)
            continue;
        occurrences.push_back(std::move(o));
    }
    for (const IcalEvent* moved : overrides) {
        if (moved->cancelled)
            continue;
        std::vector<Occurrence> own;
        OccurrenceFault moved_fault = event_occurrences(*moved, {}, zones, window, own);
        if (moved_fault != OCCURRENCES_OK)
            return moved_fault;
        for (Occurrence& o : own)
            if (in_window(o.start, window))
                occurrences.push_back(std::move(o));
    }
    std::stable_sort(occurrences.begin(), occurrences.end(),
                     [](const Occurrence& a, const Occurrence& b) { return a.start < b.start; });
    return OCCURRENCES_OK;
}

} // namespace vntra
