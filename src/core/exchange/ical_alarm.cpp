#include "exchange/ical_alarm.h"

namespace vntra {
namespace {

// A keyword value as some writers leave it, with blanks after it.
bool keyword_is(std::string_view text, std::string_view keyword) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return same_ical_name(text, keyword);
}

// Seconds before the start at which the alarm fires; false when its
// trigger cannot be read.
bool trigger_lead(const IcalProperty& trigger, int64_t start_utc, int64_t length,
                  const ZoneSet& zones, int64_t& lead) {
    const std::string* kind = find_parameter(trigger, "VALUE");
    if (kind && keyword_is(*kind, "DATE-TIME")) {
        IcalTime moment;
        int64_t utc = 0;
        if (!parse_ical_time(trigger, moment) || moment.form == ICAL_DATE ||
            !zones.to_utc(moment, utc))
            return false;
        lead = start_utc - utc;
        return true;
    }
    int64_t offset = 0;
    if (!parse_ical_duration(trigger.value, offset))
        return false;
    const std::string* related = find_parameter(trigger, "RELATED");
    bool from_end = related && keyword_is(*related, "END");
    lead = -offset - (from_end ? length : 0);
    return true;
}

} // namespace

int32_t offered_alarm_lead(int64_t lead_seconds) {
    if (lead_seconds <= 0)
        return 0;
    int64_t minutes = (lead_seconds + 59) / 60;
    return minutes <= LONGEST_ALARM_LEAD ? static_cast<int32_t>(minutes) : 0;
}

int32_t event_alarm_lead(const IcalEvent& event, int64_t start_utc, int64_t length,
                         const ZoneSet& zones) {
    for (const IcalComponent& alarm : event.component->children) {
        if (alarm.name != "VALARM")
            continue;
        const IcalProperty* action = alarm.find("ACTION");
        const IcalProperty* trigger = alarm.find("TRIGGER");
        if (!action || !trigger ||
            !(keyword_is(action->value, "DISPLAY") || keyword_is(action->value, "AUDIO")))
            continue;
        int64_t lead = 0;
        if (trigger_lead(*trigger, start_utc, length, zones, lead) && lead > 0)
            return offered_alarm_lead(lead);
    }
    return 0;
}

} // namespace vntra
