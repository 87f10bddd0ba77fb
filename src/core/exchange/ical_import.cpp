#include "exchange/ical_import.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <system_error>
#include <unordered_set>
#include <vector>

#include "exchange/csv_fields.h"
#include "exchange/exchange_texts.h"
#include "exchange/ical_alarm.h"
#include "exchange/ical_event_map.h"
#include "exchange/ical_import_memory.h"
#include "exchange/ical_texts.h"
#include "platform/sjis_text.h"
#include "platform/whole_file.h"
#include "store/compaction.h"
#include "store/record_appender.h"
#include "text/text_encoding.h"

namespace vntra {
namespace {

// Records are stored in batches of about this many; a failing batch sends
// no more than its events to the error file.
const size_t BATCH_RECORDS = 4096;
const size_t CONTENT_BYTES = CONTENT_SIZE - 1;
const size_t PLACE_BYTES = PLACE_SIZE - 1;

const char* fault_reason(OccurrenceFault fault) {
    switch (fault) {
    case OCCURRENCE_NO_START:
        return ICAL_NO_START;
    case OCCURRENCE_UNREADABLE:
        return ICAL_UNREADABLE;
    case OCCURRENCE_UNKNOWN_ZONE:
        return ICAL_UNKNOWN_ZONE;
    case OCCURRENCE_END_BEFORE_START:
        return ICAL_END_BEFORE_START;
    case OCCURRENCE_RULE_MALFORMED:
        return ICAL_RULE_MALFORMED;
    case OCCURRENCE_RULE_UNSUPPORTED:
        return ICAL_RULE_UNSUPPORTED;
    case OCCURRENCE_TOO_MANY:
        return ICAL_TOO_MANY;
    case OCCURRENCES_OK:
        break;
    }
    return ICAL_UNREADABLE;
}

// The UID an event is remembered by; events without one (which the format
// does not allow, but some phones write) by their summary and start.
std::string event_identity(const IcalEvent& event) {
    if (!event.uid.empty())
        return event.uid;
    return std::string("\x01") + event.summary + '\x01' + event.start_text;
}

// The text with one "?" for each character that Shift-JIS lacks, the same
// on every system, for the error file.
std::string sjis_with_marks(std::string_view utf8) {
    std::string text;
    std::string one;
    for (size_t i = 0; i < utf8.size();) {
        unsigned char lead = static_cast<unsigned char>(utf8[i]);
        size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
        length = std::min(length, utf8.size() - i);
        bool converted = utf8_to_sjis_exact(utf8.substr(i, length), one);
        text += converted ? one : std::string("?");
        i += length;
    }
    return text;
}

// Texts of one event, converted once for all its instances.
struct EventTexts {
    const char* fault = nullptr;
    std::string content;
    std::string place;
    bool cut = false;
};

EventTexts convert_texts(const IcalEvent& event) {
    EventTexts texts;
    RecordTextStatus content = record_text(event.summary, CONTENT_BYTES, texts.content);
    RecordTextStatus place = record_text(event.location, PLACE_BYTES, texts.place);
    if (content == RECORD_TEXT_NOT_SJIS || place == RECORD_TEXT_NOT_SJIS)
        texts.fault = IMPORT_NOT_SJIS;
    else if (texts.content.empty())
        texts.fault = IMPORT_NO_CONTENT;
    texts.cut = content == RECORD_TEXT_CUT || place == RECORD_TEXT_CUT;
    return texts;
}

// A record made from an event, waiting for its batch to be stored.
struct Pending {
    ScheduleRecord record;
    uint64_t key;
    bool from_series;
    bool cut;
};

class IcalImportRun {
  public:
    IcalImportRun(DataFile& store, std::FILE* errors, const IcalImportOptions& options,
                  ImportMemory& memory, IcalImportResult& result)
        : appender_(store), errors_(errors), options_(options), memory_(memory), result_(result) {
        taken_.reserve(BATCH_RECORDS * 16);
    }

    void add_event(const IcalEvent& event, const std::vector<const IcalEvent*>& overrides,
                   const ZoneSet& zones) {
        if (event.cancelled)
            return; // the calendar itself says it does not take place
        std::vector<Occurrence> occurrences;
        OccurrenceFault fault =
            event_occurrences(event, overrides, zones, options_.window, occurrences);
        if (fault != OCCURRENCES_OK)
            return reject(event, fault_reason(fault));
        std::string uid = event_identity(event);
        bool series = event.has_rule || !event.extra_dates.empty();
        std::vector<Pending> made;
        std::map<const IcalEvent*, EventTexts> texts;
        for (const Occurrence& o : occurrences) {
            auto found = texts.find(o.source);
            if (found == texts.end())
                found = texts.emplace(o.source, convert_texts(*o.source)).first;
            const EventTexts& text = found->second;
            if (text.fault)
                return reject(event, text.fault);
            int32_t lead =
                event_alarm_lead(*o.source, o.start - JAPAN_OFFSET_SECONDS, o.end - o.start, zones);
            ScheduleRecord r = blank_record();
            if (const char* reason = shape_occurrence(o, lead > 0, r))
                return reject(event, reason);
            set_text(r.content, text.content);
            set_text(r.place, text.place);
            if (r.kind == KIND_TIME_RANGE && lead > 0 && o.start > options_.now) {
                r.alarm_state = TRIGGER_ARMED;
                r.alarm_lead_minutes = lead;
            }
            made.push_back({r, event_key(uid, o.instance), series, text.cut});
        }
        keep(event, made);
    }

    void add_todo(const IcalEvent& todo) {
        if (todo.completed || todo.cancelled)
            return;
        EventTexts text = convert_texts(todo);
        if (text.fault)
            return reject(todo, text.fault);
        ScheduleRecord r = blank_record();
        r.kind = KIND_TODO;
        set_text(r.content, text.content);
        std::vector<Pending> made{{r, event_key(event_identity(todo), ""), false, text.cut}};
        keep(todo, made);
    }

    void flush() {
        std::vector<ScheduleRecord> records;
        records.reserve(batch_.size());
        for (const Pending& p : batch_)
            records.push_back(p.record);
        bool stored = records.empty() || appender_.append(records);
        for (size_t i = 0; i < batch_.size(); ++i) {
            const Pending& p = batch_[i];
            if (!stored)
                continue;
            memory_.remember(p.key, records[i]);
            ++result_.imported;
            result_.from_series += p.from_series ? 1 : 0;
            result_.cut += p.cut ? 1 : 0;
        }
        if (!stored)
            for (const std::string& line : batch_lines_)
                write_error(line);
        batch_.clear();
        batch_lines_.clear();
    }

    bool finish() { return appender_.close(); }

  private:
    // Keeps an event's records unless every one of them was imported
    // before; an event is stored whole or not at all.
    void keep(const IcalEvent& event, std::vector<Pending>& made) {
        bool any = false;
        bool own = is_own_export(event);
        for (Pending& p : made) {
            if (memory_.knows(p.key) || !taken_.insert(p.key).second || own) {
                ++result_.skipped;
                continue;
            }
            batch_.push_back(p);
            any = true;
        }
        if (any)
            batch_lines_.push_back(error_text(event, IMPORT_NOT_STORED));
        if (batch_.size() >= BATCH_RECORDS)
            flush();
    }

    // An event this program exported whose record is still in the data file.
    bool is_own_export(const IcalEvent& event) const {
        uint64_t print = 0;
        return exported_uid_print(event.uid, print) && memory_.has_record(print);
    }

    std::string error_text(const IcalEvent& event, const char* reason) const {
        std::string summary;
        if (record_text(event.summary, event.summary.size() * 2 + 1, summary) ==
            RECORD_TEXT_NOT_SJIS)
            summary = sjis_with_marks(event.summary);
        return csv_field(summary) + "," + csv_field(utf8_to_sjis(event.start_text)) + "," + reason;
    }

    void reject(const IcalEvent& event, const char* reason) {
        write_error(error_text(event, reason));
    }

    void write_error(const std::string& line) {
        ++result_.rejected;
        std::string text = line + "\r\n";
        if (!write_items(errors_, text.data(), 1, text.size()))
            result_.error_file_failed = true;
    }

    RecordAppender appender_;
    std::FILE* errors_;
    const IcalImportOptions& options_;
    ImportMemory& memory_;
    IcalImportResult& result_;
    std::vector<Pending> batch_;
    std::vector<std::string> batch_lines_;
    std::unordered_set<uint64_t> taken_;
};

IcalImportStatus parse_status(IcalParseStatus status) {
    return status == ICAL_UNFINISHED ? ICAL_IMPORT_CUT_SHORT : ICAL_IMPORT_NOT_ICALENDAR;
}

// Events in file order; RECURRENCE-ID events go with the series of their
// UID, or stand alone when the file has no such series.
void import_calendars(const std::vector<IcalComponent>& calendars, IcalImportRun& run) {
    ZoneSet zones;
    std::vector<IcalEvent> events;
    std::vector<IcalEvent> todos;
    for (const IcalComponent& calendar : calendars) {
        zones.add_file_zones(calendar);
        for (const IcalComponent& child : calendar.children) {
            if (child.name == "VEVENT")
                events.push_back(read_ical_event(child));
            else if (child.name == "VTODO")
                todos.push_back(read_ical_event(child));
        }
    }
    std::map<std::string, size_t> series;
    for (size_t i = 0; i < events.size(); ++i)
        if (!events[i].has_recurrence_id && !events[i].uid.empty())
            series.emplace(events[i].uid, i);
    std::map<size_t, std::vector<const IcalEvent*>> moved;
    std::vector<bool> standalone(events.size(), true);
    for (size_t i = 0; i < events.size(); ++i) {
        auto master = series.find(events[i].uid);
        if (events[i].has_recurrence_id && master != series.end()) {
            moved[master->second].push_back(&events[i]);
            standalone[i] = false;
        }
    }
    for (size_t i = 0; i < events.size(); ++i)
        if (standalone[i])
            run.add_event(events[i], moved[i], zones);
    for (const IcalEvent& todo : todos)
        run.add_todo(todo);
}

} // namespace

RecurrenceWindow default_recurrence_window(const LocalDate& today) {
    auto shifted = [&](int32_t years) {
        int32_t year = today.year + years;
        int32_t d = std::min(today.day, gregorian_days_in_month(year, today.month));
        return days_from_civil(year, today.month, d);
    };
    return {shifted(-1), shifted(2)};
}

LocalDate window_day(int64_t day) {
    LocalDate date{};
    civil_from_days(day, date.year, date.month, date.day);
    return date;
}

RecurrenceWindow window_of_range(const ExportRange& range) {
    auto day = [](int64_t key) {
        return days_from_civil(static_cast<int32_t>(key / 10000),
                               static_cast<int32_t>(key / 100 % 100),
                               static_cast<int32_t>(key % 100));
    };
    return {day(range.first_key), day(range.last_key)};
}

IcalImportOptions ical_import_options(const LocalTimeStamp& now, const RecurrenceWindow& window,
                                      int32_t expiry_days) {
    CivilTime clock{now.year, now.month, now.day, now.hour, now.minute, now.second};
    LocalDate today{now.year, now.month, now.day};
    int32_t cutoff = expiry_days > 0 ? expiry_cutoff_key(today, expiry_days) : 0;
    return {window, seconds_from_civil(clock), cutoff};
}

bool is_icalendar_file(const std::filesystem::path& path) {
    FilePtr file = open_file(path, "rb");
    char head[64];
    size_t got = 0;
    return file && read_items(file.get(), head, 1, sizeof head, got) &&
           looks_like_icalendar(std::string_view(head, got));
}

IcalImportResult import_icalendar_file(DataFile& store, const std::filesystem::path& input,
                                       const std::filesystem::path& error_file,
                                       const IcalImportOptions& options) {
    IcalImportResult result;
    std::string bytes;
    switch (read_whole_file(input, bytes)) {
    case WHOLE_FILE_CANNOT_OPEN:
        result.status = ICAL_IMPORT_CANNOT_OPEN_INPUT;
        return result;
    case WHOLE_FILE_READ_ERROR:
        result.status = ICAL_IMPORT_READ_FAILED;
        return result;
    case WHOLE_FILE_READ:
        break;
    }
    switch (detect_text_encoding(bytes, nullptr)) {
    case TEXT_UTF16:
        result.status = ICAL_IMPORT_UTF16;
        return result;
    case TEXT_SHIFT_JIS:
        // The format is UTF-8, but older Japanese phones wrote their own
        // code page; plain ASCII reads the same either way.
        if (!is_valid_utf8(bytes))
            bytes = sjis_to_utf8(bytes);
        break;
    case TEXT_UTF8:
        break;
    }
    std::vector<IcalComponent> calendars;
    IcalParseResult parsed = parse_icalendar(bytes, calendars);
    if (parsed.status != ICAL_PARSED) {
        result.status = parse_status(parsed.status);
        return result;
    }
    ImportMemory memory;
    switch (memory.load(store, options.expiry_cutoff_key)) {
    case MEMORY_DATA_UNREADABLE:
        result.status = ICAL_IMPORT_DATA_UNREADABLE;
        return result;
    case MEMORY_UNREADABLE:
        result.status = ICAL_IMPORT_MEMORY_UNREADABLE;
        return result;
    case MEMORY_LOADED:
        break;
    }
    FilePtr errors = open_file(error_file, "wb");
    if (!errors) {
        result.status = ICAL_IMPORT_CANNOT_CREATE_ERROR_FILE;
        return result;
    }
    std::string header = std::string(ICAL_ERROR_HEADER) + "\r\n";
    if (!write_items(errors.get(), header.data(), 1, header.size()))
        result.error_file_failed = true;
    {
        IcalImportRun run(store, errors.get(), options, memory, result);
        import_calendars(calendars, run);
        run.flush();
        run.finish();
    }
    // Without its memory the next import of the same file would double
    // what this one stored.
    result.memory_not_saved = !memory.save() && result.imported > 0;
    if (!close_checked(std::move(errors)))
        result.error_file_failed = true;
    if (result.rejected == 0 && !result.error_file_failed) {
        std::error_code ignored;
        std::filesystem::remove(error_file, ignored);
    }
    return result;
}

std::string ical_import_message(const IcalImportResult& r) {
    char counts[512];
    std::snprintf(counts, sizeof counts,
                  "取り込んだ予定：%d件（うち繰り返しの予定から%d件）\n"
                  "前に取り込んだため飛ばした予定：%d件\n"
                  "取り込めなかった予定：%d件%s\n"
                  "内容・場所を切り詰めた予定：%d件",
                  r.imported, r.from_series, r.skipped, r.rejected,
                  r.rejected > 0 ? "（エラーファイルに記録しました）" : "", r.cut);
    std::string message = std::string(IMPORT_DONE) + "\n" + counts;
    if (r.error_file_failed)
        message += std::string("\n") + IMPORT_ERROR_FILE_FAILED;
    if (r.memory_not_saved)
        message += std::string("\n") + ICAL_MEMORY_NOT_SAVED;
    return message;
}

} // namespace vntra
