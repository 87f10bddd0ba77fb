#include "exchange/ical_export.h"

#include <algorithm>
#include <cstdio>

#include "exchange/ical_alarm.h"
#include "exchange/ical_import_memory.h"
#include "exchange/ical_lines.h"
#include "exchange/ical_time.h"
#include "platform/sjis_text.h"
#include "platform/whole_file.h"

namespace vntra {
namespace {

const size_t FOLD_OCTETS = 75;
// The output is written in pieces of about this size.
const size_t WRITE_CHUNK = 256 * 1024;
const char CRLF[] = "\r\n";
const char ZONE_ID[] = "Asia/Tokyo";

bool is_continuation_byte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

int64_t record_moment(int32_t year, int32_t month, int32_t day, int32_t hour, int32_t minute) {
    return days_from_civil(year, month, day) * SECONDS_PER_DAY + hour * 3600 + minute * 60;
}

// The text of a record's field as an escaped UTF-8 value.
std::string text_value(std::string_view sjis) {
    return escape_ical_text(sjis_to_utf8(sjis));
}

} // namespace

void append_folded_line(std::string& out, std::string_view line) {
    size_t room = FOLD_OCTETS;
    while (line.size() > room) {
        size_t cut = room;
        while (cut > 0 && is_continuation_byte(line[cut]))
            --cut;
        if (cut == 0)
            cut = room; // not UTF-8 at all: cut where the octets run out
        out.append(line.substr(0, cut));
        out += CRLF;
        out += ' ';
        line.remove_prefix(cut);
        room = FOLD_OCTETS - 1; // the leading space counts
    }
    out.append(line);
    out += CRLF;
}

bool is_exported_as_ical(const ScheduleRecord& record, const ExportRange& range) {
    return record.kind == KIND_TODO || is_exported(record, range);
}

IcalCalendarText::IcalCalendarText(const LocalTimeStamp& now) {
    CivilTime local{now.year, now.month, now.day, now.hour, now.minute, now.second};
    stamp_ = format_ical_date_time(seconds_from_civil(local) - now.utc_offset_minutes * 60, true);
}

void IcalCalendarText::begin() {
    text_ += "BEGIN:VCALENDAR\r\n"
             "VERSION:2.0\r\n"
             "PRODID:-//Vontara//vntra 2.3//JA\r\n"
             "CALSCALE:GREGORIAN\r\n"
             "BEGIN:VTIMEZONE\r\n"
             "TZID:Asia/Tokyo\r\n"
             "BEGIN:STANDARD\r\n"
             "DTSTART:19700101T000000\r\n"
             "TZOFFSETFROM:+0900\r\n"
             "TZOFFSETTO:+0900\r\n"
             "TZNAME:JST\r\n"
             "END:STANDARD\r\n"
             "END:VTIMEZONE\r\n";
}

void IcalCalendarText::end() {
    text_ += "END:VCALENDAR\r\n";
}

void IcalCalendarText::add(const ScheduleRecord& record, bool exported) {
    if (record.kind == KIND_DELETED)
        return;
    uint64_t print = record_print(record);
    int32_t ordinal = ++seen_[print];
    if (!exported)
        return;
    std::string uid = exported_uid(print, ordinal);
    if (record.kind == KIND_TODO)
        add_todo(record, uid);
    else
        add_event(record, uid);
}

void IcalCalendarText::add_event(const ScheduleRecord& r, const std::string& uid) {
    std::string start;
    std::string end;
    if (r.kind == KIND_ALL_DAY || r.kind == KIND_DATE_SPAN) {
        // Day events end on the day after their last one.
        int64_t first = days_from_civil(r.start_year, r.start_month, r.start_day);
        int64_t last =
            r.kind == KIND_ALL_DAY ? first : days_from_civil(r.end_year, r.end_month, r.end_day);
        start = "DTSTART;VALUE=DATE:" + format_ical_date(first);
        end = "DTEND;VALUE=DATE:" + format_ical_date(std::max(first, last) + 1);
    } else {
        int32_t start_hour = r.kind == KIND_AFTERNOON ? 12
                             : r.kind == KIND_MORNING ? 0
                                                      : r.start_hour;
        int32_t start_minute = r.kind == KIND_TIME_RANGE ? r.start_minute : 0;
        int32_t end_hour = r.kind == KIND_MORNING ? 12 : r.kind == KIND_AFTERNOON ? 24 : r.end_hour;
        int32_t end_minute = r.kind == KIND_TIME_RANGE ? r.end_minute : 0;
        int64_t from =
            record_moment(r.start_year, r.start_month, r.start_day, start_hour, start_minute);
        int64_t to = record_moment(r.start_year, r.start_month, r.start_day, end_hour, end_minute);
        start = std::string("DTSTART;TZID=") + ZONE_ID + ":" + format_ical_date_time(from, false);
        end = std::string("DTEND;TZID=") + ZONE_ID + ":" +
              format_ical_date_time(std::max(from, to), false);
    }
    text_ += "BEGIN:VEVENT\r\n";
    append_folded_line(text_, "UID:" + uid);
    append_folded_line(text_, "DTSTAMP:" + stamp_);
    append_folded_line(text_, start);
    append_folded_line(text_, end);
    std::string summary = text_value(field_text(r.content));
    append_folded_line(text_, "SUMMARY:" + summary);
    std::string place = field_text(r.place);
    if (!place.empty())
        append_folded_line(text_, "LOCATION:" + text_value(place));
    if (r.kind == KIND_TIME_RANGE && r.alarm_state == TRIGGER_ARMED && r.alarm_lead_minutes > 0) {
        char trigger[32];
        std::snprintf(trigger, sizeof trigger, "TRIGGER:-PT%dM", r.alarm_lead_minutes);
        text_ += "BEGIN:VALARM\r\nACTION:DISPLAY\r\n";
        append_folded_line(text_, "DESCRIPTION:" + summary);
        append_folded_line(text_, trigger);
        text_ += "END:VALARM\r\n";
    }
    text_ += "END:VEVENT\r\n";
}

void IcalCalendarText::add_todo(const ScheduleRecord& r, const std::string& uid) {
    text_ += "BEGIN:VTODO\r\n";
    append_folded_line(text_, "UID:" + uid);
    append_folded_line(text_, "DTSTAMP:" + stamp_);
    append_folded_line(text_, "SUMMARY:" + text_value(field_text(r.content)));
    text_ += "STATUS:NEEDS-ACTION\r\n";
    text_ += "END:VTODO\r\n";
}

ExportStatus export_icalendar(const DataFile& store, const std::filesystem::path& output,
                              const ExportRange& range, const LocalTimeStamp& now,
                              int32_t& exported) {
    exported = 0;
    RecordReader reader(store.path);
    if (!reader.is_open() || reader.failed())
        return EXPORT_CANNOT_READ_DATA;
    WholeFileWriter file(output);
    if (!file.is_open())
        return EXPORT_CANNOT_CREATE;
    IcalCalendarText calendar(now);
    calendar.begin();
    bool written = true;
    ScheduleRecord record;
    while (written && reader.next(record)) {
        bool taken = is_exported_as_ical(record, range);
        calendar.add(record, taken);
        exported += taken ? 1 : 0;
        if (calendar.text().size() >= WRITE_CHUNK) {
            written = file.write(calendar.text());
            calendar.text().clear();
        }
    }
    calendar.end();
    written = written && file.write(calendar.text());
    if (reader.failed())
        return EXPORT_CANNOT_READ_DATA;
    return written && file.commit() ? EXPORT_OK : EXPORT_INCOMPLETE;
}

} // namespace vntra
