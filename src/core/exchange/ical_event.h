// What one VEVENT or VTODO says, read once from its properties: texts
// unescaped, times parsed, recurrence parts collected.
#ifndef VNTRA_EXCHANGE_ICAL_EVENT_H
#define VNTRA_EXCHANGE_ICAL_EVENT_H

#include <string>
#include <vector>

#include "exchange/ical_components.h"
#include "exchange/ical_recurrence.h"
#include "exchange/ical_time.h"

namespace vntra {

// An RDATE: a start, and for a PERIOD its own end.
struct ExtraDate {
    IcalTime start;
    bool has_end = false;
    IcalTime end;
};

struct IcalEvent {
    const IcalComponent* component = nullptr;
    std::string uid;
    std::string summary;    // UTF-8, unescaped; empty when missing
    std::string location;   // likewise
    std::string start_text; // DTSTART as written, for the error file

    bool has_start = false;
    IcalTime start;
    bool has_end = false;
    IcalTime end;
    bool has_duration = false;
    int64_t duration = 0; // seconds

    bool cancelled = false; // STATUS:CANCELLED
    bool completed = false; // a VTODO with COMPLETED or STATUS:COMPLETED

    bool has_recurrence_id = false;
    IcalTime recurrence_id;
    bool this_and_future = false; // RANGE=THISANDFUTURE

    bool has_rule = false;
    RecurrenceParse rule_parse = RECURRENCE_OK;
    RecurrenceRule rule;
    std::vector<ExtraDate> extra_dates; // RDATE
    std::vector<IcalTime> excluded;     // EXDATE

    // A value that is there but cannot be read (a date, a duration, an
    // RDATE or an EXDATE): the event is refused rather than guessed at.
    bool unreadable = false;
};

IcalEvent read_ical_event(const IcalComponent& component);

} // namespace vntra

#endif
