// The iCalendar exchange on a large scale: a 10,000-event calendar with 500
// recurring events into an empty data file, and 100,000 records out of one.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "exchange/ical_export.h"
#include "exchange/ical_import.h"
#include "exchange/ical_import_memory.h"
#include "large_data_file.h"
#include "platform/whole_file.h"

namespace vntra {
namespace {

const int32_t EVENT_COUNT = 10000;
const int32_t RECURRING_EVENTS = 500;
const LocalDate TODAY{2025, 6, 1};

std::string utf8(const char8_t* text) {
    return reinterpret_cast<const char*>(text);
}

// Events as the calendars write them: UTC, a zone of the file, floating and
// day events, alarms; every twentieth one a weekly, monthly or daily series
// without an end, so that each fills the window.
std::string large_calendar() {
    std::string text = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//bench//EN\r\n";
    const char* const rules[] = {"FREQ=WEEKLY;BYDAY=MO,TH", "FREQ=MONTHLY;BYMONTHDAY=-1",
                                 "FREQ=DAILY;INTERVAL=3"};
    const std::string summary = utf8(u8"定例会議の予定（第二会議室）");
    const std::string place = utf8(u8"本社 3F 会議室");
    char line[512];
    for (int32_t i = 0; i < EVENT_COUNT; ++i) {
        int year = 2024 + i % 3;
        int month = 1 + i / 3 % 12;
        int day = 1 + i % 28;
        text += "BEGIN:VEVENT\r\n";
        std::snprintf(line, sizeof line, "UID:bench-%d@example.com\r\nDTSTAMP:20250601T000000Z\r\n",
                      i);
        text += line;
        switch (i % 4) {
        case 0:
            std::snprintf(line, sizeof line,
                          "DTSTART:%04d%02d%02dT000000Z\r\nDTEND:%04d%02d%02dT013000Z\r\n", year,
                          month, day, year, month, day);
            break;
        case 1:
            std::snprintf(line, sizeof line,
                          "DTSTART;TZID=America/New_York:%04d%02d%02dT170000\r\n"
                          "DURATION:PT1H\r\n",
                          year, month, day);
            break;
        case 2:
            std::snprintf(line, sizeof line,
                          "DTSTART:%04d%02d%02dT100000\r\nDTEND:%04d%02d%02dT113000\r\n", year,
                          month, day, year, month, day);
            break;
        default:
            std::snprintf(line, sizeof line, "DTSTART;VALUE=DATE:%04d%02d%02d\r\n", year, month,
                          day);
            break;
        }
        text += line;
        if (i % (EVENT_COUNT / RECURRING_EVENTS) == 0)
            text += std::string("RRULE:") + rules[i / 20 % 3] + "\r\n";
        text += "SUMMARY:" + summary + "\r\nLOCATION:" + place + "\r\n";
        text += "BEGIN:VALARM\r\nACTION:DISPLAY\r\nTRIGGER:-PT15M\r\nEND:VALARM\r\nEND:VEVENT\r\n";
    }
    return text + "END:VCALENDAR\r\n";
}

void BM_IcalImport10kEvents(benchmark::State& state) {
    std::filesystem::path folder = bench_folder();
    std::filesystem::path input = folder / "large.ics";
    write_whole_file(input, large_calendar());
    int64_t noon = days_from_civil(TODAY.year, TODAY.month, TODAY.day) * SECONDS_PER_DAY + 43200;
    IcalImportOptions options{default_recurrence_window(TODAY), noon, 0};
    IcalImportResult result;
    for (auto _ : state) {
        state.PauseTiming();
        DataFile store{folder / DATA_FILE_NAME, 0};
        create_data_file(store.path);
        std::filesystem::remove(folder / IMPORT_MEMORY_FILE_NAME);
        state.ResumeTiming();
        result = import_icalendar_file(store, input, folder / "vntraerr.csv", options);
        if (result.status != ICAL_IMPORT_FINISHED || result.rejected != 0 ||
            result.imported < EVENT_COUNT)
            state.SkipWithError("not every event was imported");
    }
    state.counters["records"] = result.imported;
    state.counters["from_series"] = result.from_series;
}
BENCHMARK(BM_IcalImport10kEvents)->Unit(benchmark::kMillisecond);

void BM_IcalExport100kRecords(benchmark::State& state) {
    std::filesystem::path folder = bench_folder();
    DataFile store{folder / "ical-export-source.fil", LARGE_FILE_RECORDS};
    write_large_data_file(store.path);
    LocalTimeStamp now{2025, 6, 1, 9, 30, 0, 0, 540};
    int32_t exported = 0;
    for (auto _ : state) {
        ExportStatus status = export_icalendar(
            store, folder / "export.ics", {wide_date_key(2001, 1, 1), wide_date_key(2030, 12, 31)},
            now, exported);
        if (status != EXPORT_OK || exported != LARGE_FILE_RECORDS * 95 / 100)
            state.SkipWithError("not every record was exported");
    }
    state.counters["exported"] = exported;
}
BENCHMARK(BM_IcalExport100kRecords)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace vntra
