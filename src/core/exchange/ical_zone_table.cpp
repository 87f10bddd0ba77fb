// The zones that files name without describing them: a small table of the
// common Olson and Windows names with today's daylight saving rules. Earlier
// rules of these zones are not kept; calendars rarely need them and files
// that do carry their own VTIMEZONE.
#include "exchange/ical_lines.h"
#include "exchange/ical_zones.h"

namespace vntra {
namespace {

enum DaylightRule {
    NO_DAYLIGHT,
    DAYLIGHT_US, // second Sunday in March to first Sunday in November, 2:00
    DAYLIGHT_EU, // last Sunday in March to last Sunday in October, 1:00 UTC
    DAYLIGHT_AU, // first Sunday in October to first Sunday in April
    DAYLIGHT_NZ, // last Sunday in September to first Sunday in April
};

struct TableZone {
    const char* name;
    int32_t standard_minutes;
    DaylightRule rule;
};

const char* const JAPAN_NAMES[] = {
    "Asia/Tokyo", "Japan", "JST", "JST-9", "Tokyo Standard Time", "Japan Standard Time",
};

const TableZone ZONES[] = {
    {"UTC", 0, NO_DAYLIGHT},
    {"Etc/UTC", 0, NO_DAYLIGHT},
    {"GMT", 0, NO_DAYLIGHT},
    {"Etc/GMT", 0, NO_DAYLIGHT},
    {"Universal", 0, NO_DAYLIGHT},
    {"Coordinated Universal Time", 0, NO_DAYLIGHT},
    {"Greenwich Standard Time", 0, NO_DAYLIGHT},
    {"Atlantic/Reykjavik", 0, NO_DAYLIGHT},
    {"Europe/London", 0, DAYLIGHT_EU},
    {"Europe/Dublin", 0, DAYLIGHT_EU},
    {"Europe/Lisbon", 0, DAYLIGHT_EU},
    {"GMT Standard Time", 0, DAYLIGHT_EU},
    {"Europe/Paris", 60, DAYLIGHT_EU},
    {"Europe/Berlin", 60, DAYLIGHT_EU},
    {"Europe/Madrid", 60, DAYLIGHT_EU},
    {"Europe/Rome", 60, DAYLIGHT_EU},
    {"Europe/Amsterdam", 60, DAYLIGHT_EU},
    {"Europe/Brussels", 60, DAYLIGHT_EU},
    {"Europe/Vienna", 60, DAYLIGHT_EU},
    {"Europe/Zurich", 60, DAYLIGHT_EU},
    {"Europe/Stockholm", 60, DAYLIGHT_EU},
    {"Europe/Oslo", 60, DAYLIGHT_EU},
    {"Europe/Copenhagen", 60, DAYLIGHT_EU},
    {"Europe/Prague", 60, DAYLIGHT_EU},
    {"Europe/Warsaw", 60, DAYLIGHT_EU},
    {"Europe/Budapest", 60, DAYLIGHT_EU},
    {"W. Europe Standard Time", 60, DAYLIGHT_EU},
    {"Romance Standard Time", 60, DAYLIGHT_EU},
    {"Central Europe Standard Time", 60, DAYLIGHT_EU},
    {"Central European Standard Time", 60, DAYLIGHT_EU},
    {"Europe/Helsinki", 120, DAYLIGHT_EU},
    {"Europe/Athens", 120, DAYLIGHT_EU},
    {"Europe/Kiev", 120, DAYLIGHT_EU},
    {"Europe/Kyiv", 120, DAYLIGHT_EU},
    {"Europe/Bucharest", 120, DAYLIGHT_EU},
    {"FLE Standard Time", 120, DAYLIGHT_EU},
    {"GTB Standard Time", 120, DAYLIGHT_EU},
    {"Europe/Moscow", 180, NO_DAYLIGHT},
    {"Europe/Istanbul", 180, NO_DAYLIGHT},
    {"Asia/Dubai", 240, NO_DAYLIGHT},
    {"Asia/Karachi", 300, NO_DAYLIGHT},
    {"Asia/Kolkata", 330, NO_DAYLIGHT},
    {"Asia/Calcutta", 330, NO_DAYLIGHT},
    {"India Standard Time", 330, NO_DAYLIGHT},
    {"Asia/Dhaka", 360, NO_DAYLIGHT},
    {"Asia/Bangkok", 420, NO_DAYLIGHT},
    {"Asia/Jakarta", 420, NO_DAYLIGHT},
    {"Asia/Ho_Chi_Minh", 420, NO_DAYLIGHT},
    {"SE Asia Standard Time", 420, NO_DAYLIGHT},
    {"Asia/Shanghai", 480, NO_DAYLIGHT},
    {"Asia/Hong_Kong", 480, NO_DAYLIGHT},
    {"Asia/Taipei", 480, NO_DAYLIGHT},
    {"Asia/Singapore", 480, NO_DAYLIGHT},
    {"Asia/Manila", 480, NO_DAYLIGHT},
    {"Asia/Kuala_Lumpur", 480, NO_DAYLIGHT},
    {"Australia/Perth", 480, NO_DAYLIGHT},
    {"China Standard Time", 480, NO_DAYLIGHT},
    {"Taipei Standard Time", 480, NO_DAYLIGHT},
    {"Singapore Standard Time", 480, NO_DAYLIGHT},
    {"Asia/Seoul", 540, NO_DAYLIGHT},
    {"Korea Standard Time", 540, NO_DAYLIGHT},
    {"Australia/Darwin", 570, NO_DAYLIGHT},
    {"Australia/Adelaide", 570, DAYLIGHT_AU},
    {"Australia/Brisbane", 600, NO_DAYLIGHT},
    {"Australia/Sydney", 600, DAYLIGHT_AU},
    {"Australia/Melbourne", 600, DAYLIGHT_AU},
    {"Australia/Canberra", 600, DAYLIGHT_AU},
    {"Australia/Hobart", 600, DAYLIGHT_AU},
    {"AUS Eastern Standard Time", 600, DAYLIGHT_AU},
    {"Pacific/Auckland", 720, DAYLIGHT_NZ},
    {"New Zealand Standard Time", 720, DAYLIGHT_NZ},
    {"Pacific/Honolulu", -600, NO_DAYLIGHT},
    {"Hawaiian Standard Time", -600, NO_DAYLIGHT},
    {"America/Anchorage", -540, DAYLIGHT_US},
    {"Alaskan Standard Time", -540, DAYLIGHT_US},
    {"America/Los_Angeles", -480, DAYLIGHT_US},
    {"America/Vancouver", -480, DAYLIGHT_US},
    {"Pacific Standard Time", -480, DAYLIGHT_US},
    {"America/Denver", -420, DAYLIGHT_US},
    {"America/Edmonton", -420, DAYLIGHT_US},
    {"Mountain Standard Time", -420, DAYLIGHT_US},
    {"America/Phoenix", -420, NO_DAYLIGHT},
    {"US Mountain Standard Time", -420, NO_DAYLIGHT},
    {"America/Chicago", -360, DAYLIGHT_US},
    {"America/Winnipeg", -360, DAYLIGHT_US},
    {"Central Standard Time", -360, DAYLIGHT_US},
    {"America/Mexico_City", -360, NO_DAYLIGHT},
    {"America/New_York", -300, DAYLIGHT_US},
    {"America/Toronto", -300, DAYLIGHT_US},
    {"America/Detroit", -300, DAYLIGHT_US},
    {"Eastern Standard Time", -300, DAYLIGHT_US},
    {"America/Bogota", -300, NO_DAYLIGHT},
    {"America/Lima", -300, NO_DAYLIGHT},
    {"America/Halifax", -240, DAYLIGHT_US},
    {"America/Sao_Paulo", -180, NO_DAYLIGHT},
};

bool contains_word(std::string_view text, std::string_view word) {
    for (size_t i = 0; i + word.size() <= text.size(); ++i)
        if (same_ical_name(text.substr(i, word.size()), word))
            return true;
    return false;
}

const TableZone* find_exact(std::string_view name) {
    for (const TableZone& zone : ZONES)
        if (same_ical_name(name, zone.name))
            return &zone;
    return nullptr;
}

// Some writers put "/vendor/version/" before the Olson name: a name that
// starts with a slash is looked up by each of its suffixes after a slash.
const TableZone* find_zone(std::string_view tzid) {
    if (const TableZone* zone = find_exact(tzid))
        return zone;
    if (tzid.empty() || tzid[0] != '/')
        return nullptr;
    for (size_t slash = 0; slash != std::string_view::npos; slash = tzid.find('/', slash + 1))
        if (const TableZone* zone = find_exact(tzid.substr(slash + 1)))
            return zone;
    return nullptr;
}

// The day in `month` of `year` that is the n-th (or, for -1, the last)
// Sunday.
int64_t sunday(int32_t year, int32_t month, int32_t n) {
    if (n > 0) {
        int64_t first = days_from_civil(year, month, 1);
        return first + (7 - weekday_of_days(first)) % 7 + (n - 1) * 7;
    }
    int64_t last = days_from_civil(year, month, gregorian_days_in_month(year, month));
    return last - weekday_of_days(last);
}

// A yearly part changing on the n-th Sunday of the month at `wall_time`.
ZoneObservance yearly_part(int32_t first_year, int32_t month, int32_t n, int64_t wall_time,
                           int32_t from, int32_t to) {
    ZoneObservance part;
    part.onset = sunday(first_year, month, n) * SECONDS_PER_DAY + wall_time;
    part.offset_from = from;
    part.offset_to = to;
    part.has_rule = true;
    part.rule.frequency = RECUR_YEARLY;
    part.rule.by_month.push_back(month);
    part.rule.by_day.push_back({n, 0});
    return part;
}

} // namespace

bool is_japan_zone_name(std::string_view tzid) {
    for (const char* name : JAPAN_NAMES)
        if (same_ical_name(tzid, name))
            return true;
    // "(UTC+09:00) Osaka, Sapporo, Tokyo", "/vendor/version/Asia/Tokyo", ...
    return contains_word(tzid, "Tokyo");
}

bool zone_from_table(std::string_view tzid, TimeZone& zone) {
    const TableZone* row = find_zone(tzid);
    if (!row)
        return false;
    int32_t standard = row->standard_minutes * 60;
    int32_t daylight = standard + 3600;
    std::vector<ZoneObservance> parts;
    switch (row->rule) {
    case NO_DAYLIGHT: {
        ZoneObservance part;
        part.onset = days_from_civil(1970, 1, 1) * SECONDS_PER_DAY;
        part.offset_from = standard;
        part.offset_to = standard;
        parts.push_back(part);
        break;
    }
    case DAYLIGHT_US:
        parts.push_back(yearly_part(2007, 3, 2, 2 * 3600, standard, daylight));
        parts.push_back(yearly_part(2007, 11, 1, 2 * 3600, daylight, standard));
        break;
    case DAYLIGHT_EU:
        parts.push_back(yearly_part(1996, 3, -1, 3600 + standard, standard, daylight));
        parts.push_back(yearly_part(1996, 10, -1, 3600 + daylight, daylight, standard));
        break;
    case DAYLIGHT_AU:
        parts.push_back(yearly_part(2008, 10, 1, 2 * 3600, standard, daylight));
        parts.push_back(yearly_part(2008, 4, 1, 3 * 3600, daylight, standard));
        break;
    case DAYLIGHT_NZ:
        parts.push_back(yearly_part(2007, 9, -1, 2 * 3600, standard, daylight));
        parts.push_back(yearly_part(2008, 4, 1, 3 * 3600, daylight, standard));
        break;
    }
    zone = TimeZone(std::move(parts));
    return true;
}

} // namespace vntra
