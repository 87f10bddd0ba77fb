// The export as an iCalendar file: one VCALENDAR in UTF-8 with CR LF line
// ends and lines folded at 75 octets, a VEVENT for each dated record in the
// range and a VTODO for each ToDo item.
#ifndef VNTRA_EXCHANGE_ICAL_EXPORT_H
#define VNTRA_EXCHANGE_ICAL_EXPORT_H

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>

#include "exchange/csv_export.h"
#include "platform/clock.h"
#include "store/schedule_record.h"

namespace vntra {

// Appends the line and its CR LF, folded so that no line is longer than 75
// octets; a fold never falls inside a UTF-8 sequence.
void append_folded_line(std::string& out, std::string_view line);

// Builds the calendar's text piece by piece, so that a large export can be
// written as it grows.
class IcalCalendarText {
  public:
    // `now` gives every component its DTSTAMP.
    explicit IcalCalendarText(const LocalTimeStamp& now);

    // The VCALENDAR's opening lines and the VTIMEZONE of Japan.
    void begin();
    // Every live record must pass here, exported or not and in file order:
    // it numbers the records that share a fingerprint, for their UIDs.
    // Appends the record's component when `exported`.
    void add(const ScheduleRecord& record, bool exported);
    void end();

    std::string& text() { return text_; }

  private:
    void add_event(const ScheduleRecord& record, const std::string& uid);
    void add_todo(const ScheduleRecord& record, const std::string& uid);

    std::string text_;
    std::string stamp_;
    std::unordered_map<uint64_t, int32_t> seen_;
};

// Records the iCalendar export takes: the dated entries that touch the range,
// as the CSV export does, and every ToDo item (they have no date).
bool is_exported_as_ical(const ScheduleRecord& record, const ExportRange& range);

// Writes the calendar of the data file's records, in file order, whole or
// not at all. `exported` receives the number of components.
ExportStatus export_icalendar(const DataFile& store, const std::filesystem::path& output,
                              const ExportRange& range, const LocalTimeStamp& now,
                              int32_t& exported);

} // namespace vntra

#endif
