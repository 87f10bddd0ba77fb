// Recurrence rules (RRULE): reading one, and expanding it into the starts of
// its occurrences on the wall clock of the event's own zone.
#ifndef VNTRA_EXCHANGE_ICAL_RECURRENCE_H
#define VNTRA_EXCHANGE_ICAL_RECURRENCE_H

#include <cstdint>
#include <string_view>
#include <vector>

namespace vntra {

enum RecurrenceFrequency {
    RECUR_DAILY,
    RECUR_WEEKLY,
    RECUR_MONTHLY,
    RECUR_YEARLY,
};

struct WeekdayRule {
    int32_t ordinal; // 0 for every such weekday; 1 first, -1 last, ...
    int32_t weekday; // 0 = Sunday … 6 = Saturday
};

struct RecurrenceRule {
    RecurrenceFrequency frequency = RECUR_DAILY;
    int32_t interval = 1;
    int32_t count = 0; // 0: not bounded by a count
    bool has_until = false;
    bool until_is_date = false;
    bool until_is_utc = false;
    int64_t until = 0; // seconds of the clock it is written in
    std::vector<WeekdayRule> by_day;
    std::vector<int32_t> by_month_day; // 1..31 or -31..-1
    std::vector<int32_t> by_month;     // 1..12
    std::vector<int32_t> by_set_pos;   // 1..366 or -366..-1
    int32_t week_start = 1;            // Monday unless WKST says otherwise
};

enum RecurrenceParse {
    RECURRENCE_OK,
    RECURRENCE_MALFORMED,   // not a rule at all
    RECURRENCE_UNSUPPORTED, // a valid rule with parts this program does not expand
};

// Reads "FREQ=...;INTERVAL=...;...". Rules with SECONDLY, MINUTELY or HOURLY
// frequencies, BYHOUR, BYMINUTE, BYSECOND, BYYEARDAY or BYWEEKNO are valid
// iCalendar but unsupported here; they are refused rather than expanded in
// part.
RecurrenceParse parse_recurrence_rule(std::string_view value, RecurrenceRule& rule);

struct ExpansionLimits {
    int64_t first;   // occurrences starting before this are counted, not kept
    int64_t last;    // nothing after this is generated
    int64_t until;   // the rule's UNTIL on the start's clock, or INT64_MAX
    size_t max_kept; // at most this many are kept
};

// The occurrence starts of a rule whose first occurrence is `start` (wall
// clock seconds; the start always counts as the first occurrence), in
// ascending order, those from limits.first to limits.last. False when more
// than limits.max_kept would be kept.
bool expand_recurrence(const RecurrenceRule& rule, int64_t start, const ExpansionLimits& limits,
                       std::vector<int64_t>& starts);

} // namespace vntra

#endif
