#include "exchange/ical_event.h"

namespace vntra {
namespace {

std::string upper_value(std::string_view value) {
    std::string text(value);
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.pop_back();
    return text;
}

// The items of a date list property, each with the property's VALUE and
// TZID.
bool read_dates(const IcalProperty& property, std::vector<ExtraDate>& dates) {
    const std::string* kind = find_parameter(property, "VALUE");
    bool periods = kind && upper_value(*kind) == "PERIOD";
    for (std::string_view item : split_ical_list(property.value)) {
        IcalProperty single = property;
        ExtraDate date;
        size_t slash = item.find('/');
        if (periods != (slash != std::string_view::npos))
            return false;
        single.value = std::string(item.substr(0, slash));
        if (!parse_ical_time(single, date.start))
            return false;
        if (periods) {
            std::string_view rest = item.substr(slash + 1);
            int64_t length = 0;
            date.has_end = true;
            if (parse_ical_duration(rest, length)) {
                date.end = date.start;
                date.end.clock += length;
            } else {
                single.value = std::string(rest);
                single.parameters.clear();
                if (!parse_ical_time(single, date.end))
                    return false;
                if (date.end.form == ICAL_FLOATING && date.start.form == ICAL_ZONED) {
                    date.end.form = ICAL_ZONED;
                    date.end.zone = date.start.zone;
                }
            }
        }
        dates.push_back(std::move(date));
    }
    return true;
}

} // namespace

IcalEvent read_ical_event(const IcalComponent& component) {
    IcalEvent event;
    event.component = &component;
    bool readable = true;
    for (const IcalProperty& p : component.properties) {
        const std::string& name = p.name;
        if (name == "UID") {
            event.uid = p.value;
        } else if (name == "SUMMARY") {
            event.summary = unescape_ical_text(p.value);
        } else if (name == "LOCATION") {
            event.location = unescape_ical_text(p.value);
        } else if (name == "DTSTART" && !event.has_start) {
            event.start_text = p.value;
            event.has_start = parse_ical_time(p, event.start);
            readable = readable && event.has_start;
        } else if ((name == "DTEND" || name == "DUE") && !event.has_end) {
            event.has_end = parse_ical_time(p, event.end);
            readable = readable && event.has_end;
        } else if (name == "DURATION" && !event.has_duration) {
            event.has_duration = parse_ical_duration(p.value, event.duration);
            readable = readable && event.has_duration;
        } else if (name == "STATUS") {
            std::string status = upper_value(p.value);
            event.cancelled = status == "CANCELLED";
            event.completed = event.completed || status == "COMPLETED";
        } else if (name == "COMPLETED") {
            event.completed = true;
        } else if (name == "RECURRENCE-ID") {
            event.has_recurrence_id = parse_ical_time(p, event.recurrence_id);
            readable = readable && event.has_recurrence_id;
            const std::string* range = find_parameter(p, "RANGE");
            event.this_and_future = range && upper_value(*range) == "THISANDFUTURE";
        } else if (name == "RRULE") {
            // A second rule would have to be merged with the first; no
            // calendar writes one, so it is refused like an unknown part.
            event.rule_parse = event.has_rule ? RECURRENCE_UNSUPPORTED
                                              : parse_recurrence_rule(p.value, event.rule);
            event.has_rule = true;
        } else if (name == "EXRULE") {
            // Dropped from the format; taking the series without it would
            // add the instances it removes.
            event.rule_parse = RECURRENCE_UNSUPPORTED;
            event.has_rule = true;
        } else if (name == "RDATE") {
            readable = read_dates(p, event.extra_dates) && readable;
        } else if (name == "EXDATE") {
            std::vector<ExtraDate> dates;
            readable = read_dates(p, dates) && readable;
            for (const ExtraDate& date : dates)
                event.excluded.push_back(date.start);
        }
    }
    event.unreadable = !readable;
    return event;
}

} // namespace vntra
