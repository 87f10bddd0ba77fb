// The occurrences of an event on Japan's clock: a single event as it is, a
// series from its RRULE and RDATEs less its EXDATEs, with the instances that
// RECURRENCE-ID events move or cancel put in their place.
#ifndef VNTRA_EXCHANGE_ICAL_OCCURRENCES_H
#define VNTRA_EXCHANGE_ICAL_OCCURRENCES_H

#include <string>
#include <vector>

#include "exchange/ical_event.h"
#include "exchange/ical_zones.h"

namespace vntra {

struct Occurrence {
    bool all_day = false;
    int64_t start = 0; // Japan's wall clock; midnight of the day when all_day
    int64_t end = 0;   // exclusive
    // Which instance of a series this is: its original start as UTC
    // ("YYYYMMDDTHHMMSSZ") or as a date; empty for a single event.
    std::string instance;
    const IcalEvent* source = nullptr; // whose texts and alarms it carries
};

// Days since 1970-01-01 on Japan's calendar, both ends included.
struct RecurrenceWindow {
    int64_t first_day;
    int64_t last_day;
};

enum OccurrenceFault {
    OCCURRENCES_OK,
    OCCURRENCE_NO_START,
    OCCURRENCE_UNREADABLE,
    OCCURRENCE_UNKNOWN_ZONE,
    OCCURRENCE_END_BEFORE_START,
    OCCURRENCE_RULE_MALFORMED,
    OCCURRENCE_RULE_UNSUPPORTED,
    OCCURRENCE_TOO_MANY,
};

// The occurrences of `event` in start order. A series keeps only those
// starting inside the window; a single event is kept wherever it lies.
// `overrides` are the RECURRENCE-ID events that share its UID.
OccurrenceFault event_occurrences(const IcalEvent& event,
                                  const std::vector<const IcalEvent*>& overrides,
                                  const ZoneSet& zones, const RecurrenceWindow& window,
                                  std::vector<Occurrence>& occurrences);

// The instance text of a RECURRENCE-ID or EXDATE value, comparable with
// Occurrence::instance. False for a zone that cannot be resolved.
bool instance_text(const IcalTime& time, const ZoneSet& zones, std::string& text);

} // namespace vntra

#endif
