#include "exchange/ical_zones.h"

#include <algorithm>
#include <climits>

namespace vntra {
namespace {

// No zone is more than 26 hours from UTC; windows get this much margin.
const int64_t MARGIN = 2 * SECONDS_PER_DAY;

int64_t year_start(int32_t year) {
    return days_from_civil(year, 1, 1) * SECONDS_PER_DAY;
}

ExpansionLimits onset_limits(const ZoneObservance& observance, int64_t first_wall,
                             int64_t last_wall) {
    int64_t until = LLONG_MAX;
    const RecurrenceRule& rule = observance.rule;
    if (rule.has_until)
        until = rule.until_is_utc    ? rule.until + observance.offset_from
                : rule.until_is_date ? rule.until + SECONDS_PER_DAY - 1
                                     : rule.until;
    return {first_wall, last_wall, until, 100000};
}

} // namespace

TimeZone::TimeZone(std::vector<ZoneObservance> observances)
    : observances_(std::move(observances)) {}

void TimeZone::onsets(const ZoneObservance& observance, int64_t first_wall, int64_t last_wall,
                      std::vector<Transition>& out) const {
    auto add = [&](int64_t wall) {
        if (wall >= first_wall && wall <= last_wall)
            out.push_back({wall - observance.offset_from, observance.offset_to});
    };
    if (observance.has_rule) {
        std::vector<int64_t> starts;
        expand_recurrence(observance.rule, observance.onset,
                          onset_limits(observance, first_wall, last_wall), starts);
        for (int64_t wall : starts)
            add(wall);
    } else {
        add(observance.onset);
    }
    for (int64_t wall : observance.more_onsets)
        add(wall);
}

int32_t TimeZone::offset_by_history(int64_t utc) const {
    bool found = false;
    Transition latest{0, 0};
    std::vector<Transition> all;
    for (const ZoneObservance& observance : observances_) {
        all.clear();
        onsets(observance, LLONG_MIN, utc + MARGIN, all);
        for (const Transition& t : all)
            if (t.utc <= utc && (!found || t.utc > latest.utc)) {
                latest = t;
                found = true;
            }
    }
    if (found)
        return latest.offset;
    // Before every onset: the offset the earliest part changes from.
    const ZoneObservance* earliest = nullptr;
    for (const ZoneObservance& observance : observances_)
        if (!earliest || observance.onset < earliest->onset)
            earliest = &observance;
    return earliest ? earliest->offset_from : 0;
}

// Transitions of the year and the one before it, complete from two days
// into the year before on; the offset in effect at that point.
const TimeZone::Year& TimeZone::year(int32_t number) const {
    auto cached = years_.find(number);
    if (cached != years_.end())
        return cached->second;
    Year year;
    int64_t complete_from = year_start(number - 1) + MARGIN;
    for (const ZoneObservance& observance : observances_)
        onsets(observance, year_start(number - 1), year_start(number + 1) + MARGIN,
               year.transitions);
    year.transitions.erase(
        std::remove_if(year.transitions.begin(), year.transitions.end(),
                       [complete_from](const Transition& t) { return t.utc < complete_from; }),
        year.transitions.end());
    std::sort(year.transitions.begin(), year.transitions.end(),
              [](const Transition& a, const Transition& b) { return a.utc < b.utc; });
    year.offset_before = offset_by_history(complete_from);
    return years_.emplace(number, std::move(year)).first->second;
}

int32_t TimeZone::offset_at(int64_t utc) const {
    if (observances_.empty())
        return 0;
    const Year& y = year(civil_from_seconds(utc).year);
    int32_t offset = y.offset_before;
    for (const Transition& t : y.transitions) {
        if (t.utc > utc)
            break;
        offset = t.offset;
    }
    return offset;
}

int64_t TimeZone::to_utc(int64_t wall) const {
    std::vector<int32_t> offsets;
    for (const ZoneObservance& observance : observances_) {
        offsets.push_back(observance.offset_from);
        offsets.push_back(observance.offset_to);
    }
    if (offsets.empty())
        return wall;
    // Larger offsets give earlier moments: try them first.
    std::sort(offsets.begin(), offsets.end(), std::greater<int32_t>());
    offsets.erase(std::unique(offsets.begin(), offsets.end()), offsets.end());
    for (int32_t offset : offsets)
        if (offset_at(wall - offset) == offset)
            return wall - offset;
    return wall - offset_at(wall - offsets.front());
}

bool parse_utc_offset(std::string_view text, int32_t& seconds) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    if ((text.size() != 5 && text.size() != 7) || (text[0] != '+' && text[0] != '-'))
        return false;
    int32_t parts[3] = {0, 0, 0};
    for (size_t i = 1; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        parts[(i - 1) / 2] = parts[(i - 1) / 2] * 10 + (text[i] - '0');
    }
    if (parts[0] > 23 || parts[1] > 59 || parts[2] > 59)
        return false;
    seconds = parts[0] * 3600 + parts[1] * 60 + parts[2];
    if (text[0] == '-')
        seconds = -seconds;
    return true;
}

bool zone_from_vtimezone(const IcalComponent& vtimezone, TimeZone& zone) {
    std::vector<ZoneObservance> observances;
    for (const IcalComponent& part : vtimezone.children) {
        if (part.name != "STANDARD" && part.name != "DAYLIGHT")
            continue;
        const IcalProperty* start = part.find("DTSTART");
        const IcalProperty* from = part.find("TZOFFSETFROM");
        const IcalProperty* to = part.find("TZOFFSETTO");
        ZoneObservance observance;
        IcalTime onset;
        if (!start || !from || !to || !parse_ical_time(*start, onset) ||
            !parse_utc_offset(from->value, observance.offset_from) ||
            !parse_utc_offset(to->value, observance.offset_to))
            return false;
        observance.onset = onset.clock;
        for (const IcalProperty& property : part.properties) {
            if (property.name == "RRULE") {
                if (observance.has_rule ||
                    parse_recurrence_rule(property.value, observance.rule) != RECURRENCE_OK)
                    return false;
                observance.has_rule = true;
            } else if (property.name == "RDATE") {
                for (std::string_view item : split_ical_list(property.value)) {
                    IcalTime when;
                    if (!parse_ical_time_value(item, when))
                        return false;
                    observance.more_onsets.push_back(when.clock);
                }
            }
        }
        observances.push_back(std::move(observance));
    }
    if (observances.empty())
        return false;
    zone = TimeZone(std::move(observances));
    return true;
}

void ZoneSet::add_file_zones(const IcalComponent& calendar) {
    for (const IcalComponent& child : calendar.children) {
        if (child.name != "VTIMEZONE")
            continue;
        const IcalProperty* id = child.find("TZID");
        TimeZone zone;
        // A zone the file describes in a way this program cannot read is
        // left to the table, by its name.
        if (id && !file_zones_.count(id->value) && zone_from_vtimezone(child, zone))
            file_zones_.emplace(id->value, std::move(zone));
    }
}

const TimeZone* ZoneSet::find(const std::string& tzid) const {
    auto own = file_zones_.find(tzid);
    if (own != file_zones_.end())
        return &own->second;
    auto known = table_zones_.find(tzid);
    if (known != table_zones_.end())
        return known->second.get();
    auto zone = std::make_unique<TimeZone>();
    if (!zone_from_table(tzid, *zone))
        return nullptr;
    return table_zones_.emplace(tzid, std::move(zone)).first->second.get();
}

bool ZoneSet::to_utc(const IcalTime& time, int64_t& utc) const {
    switch (time.form) {
    case ICAL_UTC:
        utc = time.clock;
        return true;
    case ICAL_DATE:
    case ICAL_FLOATING:
        utc = time.clock - JAPAN_OFFSET_SECONDS;
        return true;
    case ICAL_ZONED:
        break;
    }
    if (is_japan_zone_name(time.zone)) {
        utc = time.clock - JAPAN_OFFSET_SECONDS;
        return true;
    }
    const TimeZone* zone = find(time.zone);
    if (!zone)
        return false;
    utc = zone->to_utc(time.clock);
    return true;
}

bool ZoneSet::to_japan_clock(const IcalTime& time, int64_t& japan) const {
    if (time.form == ICAL_DATE || time.form == ICAL_FLOATING) {
        japan = time.clock;
        return true;
    }
    int64_t utc = 0;
    if (!to_utc(time, utc))
        return false;
    japan = utc + JAPAN_OFFSET_SECONDS;
    return true;
}

bool ZoneSet::utc_to_clock_of(const IcalTime& like, int64_t utc, int64_t& clock) const {
    switch (like.form) {
    case ICAL_UTC:
        clock = utc;
        return true;
    case ICAL_DATE:
    case ICAL_FLOATING:
        clock = utc + JAPAN_OFFSET_SECONDS;
        return true;
    case ICAL_ZONED:
        break;
    }
    if (is_japan_zone_name(like.zone)) {
        clock = utc + JAPAN_OFFSET_SECONDS;
        return true;
    }
    const TimeZone* zone = find(like.zone);
    if (!zone)
        return false;
    clock = utc + zone->offset_at(utc);
    return true;
}

} // namespace vntra
