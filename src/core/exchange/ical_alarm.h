// An event's VALARM as the alarm of a record: the first DISPLAY or AUDIO
// alarm that sounds before the start, as a lead the entry dialog offers.
#ifndef VNTRA_EXCHANGE_ICAL_ALARM_H
#define VNTRA_EXCHANGE_ICAL_ALARM_H

#include <cstdint>

#include "exchange/ical_event.h"
#include "exchange/ical_zones.h"

namespace vntra {

// The longest lead the entry dialog takes: as many minutes as its three
// digits hold.
const int32_t LONGEST_ALARM_LEAD = 999;

// The lead in whole minutes of a trigger that fires `lead_seconds` before
// the start: the nearest lead the dialog offers that does not sound later
// than asked (a lead of 90 seconds is 2 minutes), or 0 when none does (at
// or after the start, or further ahead than the longest lead).
int32_t offered_alarm_lead(int64_t lead_seconds);

// The lead of the event's alarm in minutes, or 0 for none. `start_utc` and
// `length` place the event, for triggers relative to its end or given as a
// moment.
int32_t event_alarm_lead(const IcalEvent& event, int64_t start_utc, int64_t length,
                         const ZoneSet& zones);

} // namespace vntra

#endif
