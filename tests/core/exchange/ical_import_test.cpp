#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "exchange/exchange_texts.h"
#include "exchange/ical_import.h"
#include "exchange/ical_texts.h"
#include "support/data_file_fixture.h"
#include "support/sjis_assert.h"

namespace vntra {
namespace {

using testing::read_file_bytes;
using testing::write_file_bytes;

std::string as_utf8(const char8_t* text) {
    return reinterpret_cast<const char*>(text);
}

// A record as one line: its sort key, alarm state and lead, content, place.
std::string describe(const ScheduleRecord& r) {
    return make_sort_key(r) + " " + std::to_string(r.alarm_state) + "/" +
           std::to_string(r.alarm_lead_minutes) + " " + field_text(r.content) + "|" +
           field_text(r.place);
}

class IcalImportTest : public testing::DataFileTest {
  protected:
    // Imports the text as if today were `today`, at noon.
    IcalImportResult import(const std::string& ics, LocalDate today = {2025, 6, 1}) {
        write_file_bytes(folder / "in.ics", ics);
        int64_t noon =
            days_from_civil(today.year, today.month, today.day) * SECONDS_PER_DAY + 12 * 3600;
        IcalImportOptions options{default_recurrence_window(today), noon, cutoff};
        return import_icalendar_file(store, folder / "in.ics", folder / "vntraerr.csv", options);
    }
    std::vector<std::string> records() {
        std::vector<std::string> lines;
        scan_records(store, [&](const ScheduleRecord& r) {
            if (r.kind != KIND_DELETED)
                lines.push_back(describe(r));
        });
        return lines;
    }
    int32_t cutoff = 0;
};

std::string calendar(const std::string& events) {
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n" + events + "END:VCALENDAR\r\n";
}

std::string event(const std::string& lines, const std::string& uid = "u1") {
    return "BEGIN:VEVENT\r\nUID:" + uid + "\r\nSUMMARY:" + as_utf8(u8"会議") + "\r\n" + lines +
           "END:VEVENT\r\n";
}

std::string alarm(const char* trigger, const char* action = "DISPLAY") {
    return std::string("BEGIN:VALARM\r\nACTION:") + action + "\r\n" + trigger +
           "\r\nEND:VALARM\r\n";
}

// The shapes of events and the records they become. Today is 2025-06-01.
TEST_F(IcalImportTest, EventShapesToKinds) {
    struct Case {
        std::string lines;
        const char* record; // sort key and alarm; "" when nothing is stored
        const char* reason; // the error line's reason, or null
    };
    const std::string future = "DTSTART:20250701T090000\r\nDTEND:20250701T100000\r\n";
    const Case cases[] = {
        {"DTSTART;VALUE=DATE:20250301\r\n", "2025030150000202503012400 0/0", nullptr},
        {"DTSTART;VALUE=DATE:20250301\r\nDTEND;VALUE=DATE:20250302\r\n",
         "2025030150000202503012400 0/0", nullptr},
        {"DTSTART;VALUE=DATE:20250301\r\nDTEND;VALUE=DATE:20250304\r\n",
         "2025030120000202503032400 0/0", nullptr},
        {"DTSTART;VALUE=DATE:20251230\r\nDURATION:P4D\r\n", "2025123020000202601022400 0/0",
         nullptr},
        {"DTSTART;VALUE=DATE:20250101\r\nDTEND;VALUE=DATE:20260201\r\n", "", ICAL_SPAN_TOO_LONG},
        {"DTSTART;TZID=Asia/Tokyo:20250301T090700\r\nDTEND;TZID=Asia/Tokyo:20250301T105800\r\n",
         "2025030110905202503011055 0/0", nullptr},
        {"DTSTART:20250301T000000\r\nDTEND:20250302T000000\r\n", "2025030150000202503012400 0/0",
         nullptr},
        {"DTSTART:20250301T000000\r\nDTEND:20250301T120000\r\n", "2025030130000202503011200 0/0",
         nullptr},
        {"DTSTART:20250301T120000\r\nDTEND:20250302T000000\r\n", "2025030141200202503012400 0/0",
         nullptr},
        {"DTSTART:20250301T220000\r\nDTEND:20250302T000000\r\n", "2025030112200202503012400 0/0",
         nullptr},
        {"DTSTART:20250301T220000\r\nDTEND:20250303T010000\r\n", "2025030120000202503032400 0/0",
         nullptr},
        {"DTSTART:20250301T100000\r\nDTEND:20250303T000000\r\n", "2025030120000202503022400 0/0",
         nullptr},
        {"DTSTART:20250301T150000Z\r\nDTEND:20250301T160000Z\r\n", "2025030210000202503020100 0/0",
         nullptr},
        {"DTSTART:20250301T090000\r\nDURATION:PT90M\r\n", "2025030110900202503011030 0/0", nullptr},
        {"DTSTART:20250301T090000\r\n", "2025030110900202503010900 0/0", nullptr},
        // Alarms: the first DISPLAY or AUDIO alarm before the start, as a
        // lead the entry dialog offers, armed only when the event is ahead.
        {future + alarm("TRIGGER:-PT15M"), "2025070110900202507011000 1/15", nullptr},
        {future + alarm("TRIGGER:-PT90S", "AUDIO"), "2025070110900202507011000 1/2", nullptr},
        {future + alarm("TRIGGER;RELATED=END:-PT90M"), "2025070110900202507011000 1/30", nullptr},
        {future + alarm("TRIGGER:-PT1000M"), "2025070110900202507011000 0/0", nullptr},
        {future + alarm("TRIGGER:PT5M"), "2025070110900202507011000 0/0", nullptr},
        {future + alarm("TRIGGER:-P1D", "EMAIL") + alarm("TRIGGER:-PT5M"),
         "2025070110900202507011000 1/5", nullptr},
        {"DTSTART:20250701T000000\r\nDTEND:20250701T120000\r\n" + alarm("TRIGGER:-PT5M"),
         "2025070110000202507011200 1/5", nullptr},
        {"DTSTART;VALUE=DATE:20250701\r\n" + alarm("TRIGGER:-PT5M"),
         "2025070150000202507012400 0/0", nullptr},
        {"DTSTART:20250301T090000\r\nDTEND:20250301T100000\r\n" + alarm("TRIGGER:-PT5M"),
         "2025030110900202503011000 0/0", nullptr},
        {"DTSTART:20250301T090000\r\nDTEND:20250301T080000\r\n", "", ICAL_END_BEFORE_START},
        {"DTSTART:19990301T090000\r\n", "", IMPORT_BAD_START_YEAR},
        {"DTSTART;TZID=Mars/Olympus_Mons:20250301T090000\r\n", "", ICAL_UNKNOWN_ZONE},
        {"DTSTART:2025-03-01\r\n", "", ICAL_UNREADABLE},
        {"DTEND:20250301T090000\r\n", "", ICAL_NO_START},
        {"DTSTART:20250301T090000\r\nSTATUS:CANCELLED\r\n", "", nullptr},
    };
    for (const Case& c : cases) {
        SetUp();
        IcalImportResult result = import(calendar(event(c.lines)));
        ASSERT_EQ(ICAL_IMPORT_FINISHED, result.status);
        std::vector<std::string> stored = records();
        std::vector<std::string> expected;
        if (*c.record)
            expected.push_back(std::string(c.record) + " 会議|");
        EXPECT_EQ(expected, stored) << c.lines;
        EXPECT_EQ(c.reason ? 1 : 0, result.rejected) << c.lines;
        if (c.reason) {
            std::string start = c.lines.substr(0, c.lines.find("\r\n"));
            start = start.substr(start.find(':') + 1);
            if (c.lines.compare(0, 7, "DTSTART") != 0)
                start.clear();
            EXPECT_SJIS_EQ(std::string(ICAL_ERROR_HEADER) + "\r\n会議," + start + "," + c.reason +
                               "\r\n",
                           read_file_bytes(folder / "vntraerr.csv"));
        }
    }
}

} // namespace
} // namespace vntra
