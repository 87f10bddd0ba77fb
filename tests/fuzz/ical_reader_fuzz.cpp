// Feeds random files to the iCalendar reader, from the component tree through
// time zones and recurrence to the records, and holds every record it would
// store to the rules the rest of the program relies on.
#include <cstdint>
#include <string>
#include <vector>

#include "exchange/ical_alarm.h"
#include "exchange/ical_event_map.h"
#include "exchange/ical_occurrences.h"
#include "text/sjis_cut.h"

namespace {

using namespace vntra;

bool within(int32_t value, int32_t low, int32_t high) {
    return value >= low && value <= high;
}

bool sound_text(const std::string& text, size_t max_bytes) {
    return text.size() <= max_bytes && sjis_cut_length(text, text.size()) == text.size();
}

int64_t day_key(int32_t year, int32_t month, int32_t day) {
    return int64_t{year} * 10000 + month * 100 + day;
}

bool sound_record(const ScheduleRecord& r) {
    bool sound = within(r.kind, KIND_TIME_RANGE, KIND_ALL_DAY) &&
                 within(r.start_year, 2001, 9999) && within(r.start_month, 1, 12) &&
                 within(r.start_day, 1, gregorian_days_in_month(r.start_year, r.start_month)) &&
                 within(r.end_month, 1, 12) &&
                 within(r.end_day, 1, gregorian_days_in_month(r.end_year, r.end_month)) &&
                 day_key(r.end_year, r.end_month, r.end_day) >=
                     day_key(r.start_year, r.start_month, r.start_day);
    if (r.kind == KIND_DATE_SPAN)
        return sound && (r.end_year == r.start_year ||
                         (r.end_year == r.start_year + 1 && r.end_month < r.start_month));
    sound = sound && r.end_year == r.start_year && r.end_month == r.start_month &&
            r.end_day == r.start_day;
    return sound && r.start_minute % 5 == 0 && r.end_minute % 5 == 0 &&
           within(r.start_hour, 0, 23) && within(r.end_hour, 0, 24) &&
           r.start_hour * 100 + r.start_minute <= r.end_hour * 100 + r.end_minute;
}

void check_event(const IcalEvent& event, const ZoneSet& zones, const RecurrenceWindow& window) {
    std::vector<Occurrence> occurrences;
    if (event_occurrences(event, {}, zones, window, occurrences) != OCCURRENCES_OK)
        return;
    bool series = event.has_rule || !event.extra_dates.empty();
    for (const Occurrence& o : occurrences) {
        int64_t day = days_of_seconds(o.start);
        if (o.end < o.start || (series && (day < window.first_day || day > window.last_day)))
            __builtin_trap();
        int32_t lead =
            event_alarm_lead(event, o.start - JAPAN_OFFSET_SECONDS, o.end - o.start, zones);
        if (!within(lead, 0, LONGEST_ALARM_LEAD))
            __builtin_trap();
        ScheduleRecord r = blank_record();
        if (!shape_occurrence(o, lead > 0, r) && !sound_record(r))
            __builtin_trap();
    }
    std::string text;
    if (record_text(event.summary, 64, text) != RECORD_TEXT_NOT_SJIS && !sound_text(text, 64))
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<IcalComponent> calendars;
    if (parse_icalendar(text, calendars).status != ICAL_PARSED)
        return 0;
    ZoneSet zones;
    for (const IcalComponent& calendar : calendars)
        zones.add_file_zones(calendar);
    RecurrenceWindow window{days_from_civil(2024, 1, 1), days_from_civil(2026, 12, 31)};
    for (const IcalComponent& calendar : calendars)
        for (const IcalComponent& child : calendar.children)
            if (child.name == "VEVENT" || child.name == "VTODO")
                check_event(read_ical_event(child), zones, window);
    return 0;
}
