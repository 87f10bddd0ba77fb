// Time zones: a zone as its observances (the STANDARD and DAYLIGHT parts of
// a VTIMEZONE, or a row of the built-in table of common zone names), and
// the conversion of any iCalendar time to Japan's wall clock.
#ifndef VNTRA_EXCHANGE_ICAL_ZONES_H
#define VNTRA_EXCHANGE_ICAL_ZONES_H

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/ical_components.h"
#include "exchange/ical_recurrence.h"
#include "exchange/ical_time.h"

namespace vntra {

// One STANDARD or DAYLIGHT part: from each onset on, the zone is
// offset_to seconds ahead of UTC.
struct ZoneObservance {
    int64_t onset = 0; // wall clock of the first onset, before the change
    int32_t offset_from = 0;
    int32_t offset_to = 0;
    bool has_rule = false;
    RecurrenceRule rule;
    std::vector<int64_t> more_onsets; // RDATEs, wall clock
};

class TimeZone {
  public:
    TimeZone() = default;
    explicit TimeZone(std::vector<ZoneObservance> observances);

    // Seconds by which the zone is ahead of UTC at that moment.
    int32_t offset_at(int64_t utc) const;
    // The moment of a wall-clock time. A time that occurs twice (when the
    // clocks go back) is its first occurrence; a time skipped when they go
    // forward is read with the offset from before the change.
    int64_t to_utc(int64_t wall) const;

  private:
    struct Transition {
        int64_t utc;
        int32_t offset;
    };
    struct Year {
        int32_t offset_before;               // in effect when the year before it began
        std::vector<Transition> transitions; // this year and the one before
    };
    const Year& year(int32_t number) const;
    void onsets(const ZoneObservance& observance, int64_t first_wall, int64_t last_wall,
                std::vector<Transition>& out) const;
    int32_t offset_by_history(int64_t utc) const;

    std::vector<ZoneObservance> observances_;
    mutable std::map<int32_t, Year> years_;
};

// Reads "+0900", "-0500" or "+053000" as seconds.
bool parse_utc_offset(std::string_view text, int32_t& seconds);

// A VTIMEZONE component as a zone. False when it has no usable part.
bool zone_from_vtimezone(const IcalComponent& vtimezone, TimeZone& zone);

// The names that the common calendars give Japan's zone ("Asia/Tokyo",
// "Tokyo Standard Time", ...). Times in them are taken as they stand.
bool is_japan_zone_name(std::string_view tzid);

// A zone from the built-in table of common names, with the daylight saving
// rules in force today. False for a name the table does not hold.
bool zone_from_table(std::string_view tzid, TimeZone& zone);

// The zones a file can name: its own VTIMEZONEs first, then the table.
class ZoneSet {
  public:
    void add_file_zones(const IcalComponent& calendar);

    // Japan's wall clock for a time as written. False for a zone that is
    // neither in the file nor in the table.
    bool to_japan_clock(const IcalTime& time, int64_t& japan) const;
    // The moment of a time as written; floating times and dates are Japan's.
    bool to_utc(const IcalTime& time, int64_t& utc) const;
    // The time, written on the clock of `like` (its zone or UTC), of a moment.
    bool utc_to_clock_of(const IcalTime& like, int64_t utc, int64_t& clock) const;

  private:
    const TimeZone* find(const std::string& tzid) const;

    std::map<std::string, TimeZone> file_zones_;
    mutable std::map<std::string, std::unique_ptr<TimeZone>> table_zones_;
};

} // namespace vntra

#endif
