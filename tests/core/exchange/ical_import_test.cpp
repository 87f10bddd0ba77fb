#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "exchange/exchange_texts.h"
#include "exchange/ical_import.h"
#include "exchange/ical_import_memory.h"
#include "exchange/ical_texts.h"
#include "store/compaction.h"
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

// Series expanded inside the window (today 2025-01-10: from 2024-01-10 to
// 2027-01-10), as the starts of the records they give.
TEST_F(IcalImportTest, SeriesInsideTheWindow) {
    struct Case {
        std::string lines;
        std::vector<std::string> starts; // date and time of each record
        const char* reason;
        std::string more = ""; // components after the series
    };
    // One instance moved to the next day, another cancelled.
    const std::string moved = "BEGIN:VEVENT\r\nUID:s\r\nSUMMARY:x\r\n"
                              "RECURRENCE-ID:20250113T090000\r\nDTSTART:20250114T100000\r\n"
                              "END:VEVENT\r\nBEGIN:VEVENT\r\nUID:s\r\nSUMMARY:x\r\n"
                              "RECURRENCE-ID:20250120T090000\r\nSTATUS:CANCELLED\r\nEND:VEVENT\r\n";
    const Case cases[] = {
        {"DTSTART;VALUE=DATE:20250131\r\nRRULE:FREQ=MONTHLY;BYMONTHDAY=31;COUNT=4\r\n",
         {"20250131 0000", "20250331 0000", "20250531 0000", "20250731 0000"},
         nullptr},
        {"DTSTART;VALUE=DATE:20250131\r\nRRULE:FREQ=MONTHLY;BYMONTHDAY=-1;COUNT=3\r\n",
         {"20250131 0000", "20250228 0000", "20250331 0000"},
         nullptr},
        {"DTSTART;VALUE=DATE:20200229\r\nRRULE:FREQ=YEARLY\r\n", {"20240229 0000"}, nullptr},
        {"DTSTART:20250131T100000\r\nRRULE:FREQ=MONTHLY;BYDAY=5FR;COUNT=3\r\n",
         {"20250131 1000", "20250530 1000", "20250829 1000"},
         nullptr},
        {"DTSTART;VALUE=DATE:20250131\r\n"
         "RRULE:FREQ=MONTHLY;BYDAY=MO,TU,WE,TH,FR;BYSETPOS=-1;COUNT=3\r\n",
         {"20250131 0000", "20250228 0000", "20250331 0000"},
         nullptr},
        // COUNT counts the instances that EXDATE then removes.
        {"DTSTART;TZID=Asia/Tokyo:20250106T090000\r\nRRULE:FREQ=WEEKLY;COUNT=5\r\n"
         "EXDATE;TZID=Asia/Tokyo:20250113T090000,20250127T090000\r\n",
         {"20250106 0900", "20250120 0900", "20250203 0900"},
         nullptr},
        {"DTSTART;TZID=America/New_York:20250106T090000\r\n"
         "RRULE:FREQ=DAILY;UNTIL=20250108T140000Z\r\n",
         {"20250106 2300", "20250107 2300", "20250108 2300"},
         nullptr},
        {"DTSTART:20250106T090000\r\nRRULE:FREQ=WEEKLY;COUNT=3\r\nRDATE:20250110T150000\r\n",
         {"20250106 0900", "20250110 1500", "20250114 1000"},
         nullptr,
         moved},
        {"DTSTART:20250106T090000\r\nRRULE:FREQ=DAILY;BYHOUR=9,18\r\n", {}, ICAL_RULE_UNSUPPORTED},
        {"DTSTART:20250106T090000\r\nRRULE:FREQ=FORTNIGHTLY\r\n", {}, ICAL_RULE_MALFORMED},
        {"DTSTART:20250106T090000\r\nRRULE:FREQ=DAILY\r\nEXRULE:FREQ=WEEKLY\r\n",
         {},
         ICAL_RULE_UNSUPPORTED},
        {"DTSTART:20250106T090000\r\nRRULE:FREQ=DAILY;INTERVAL=0\r\n", {}, ICAL_RULE_MALFORMED},
    };
    for (const Case& c : cases) {
        SetUp();
        std::string text = calendar(event(c.lines, "s") + c.more);
        IcalImportResult result = import(text, {2025, 1, 10});
        std::vector<std::string> starts;
        scan_records(store, [&](const ScheduleRecord& r) {
            char start[32];
            std::snprintf(start, sizeof start, "%04d%02d%02d %02d%02d", r.start_year, r.start_month,
                          r.start_day, r.start_hour, r.start_minute);
            starts.push_back(start);
        });
        EXPECT_EQ(c.starts, starts) << c.lines;
        EXPECT_EQ(static_cast<int32_t>(c.starts.size()), result.from_series) << c.lines;
        EXPECT_EQ(c.reason ? 1 : 0, result.rejected) << c.lines;
    }
}

std::filesystem::path test_file(const char* name) {
    return std::filesystem::path(VNTRA_TEST_FILES) / "ical" / name;
}

// Files as the common calendars export them: a web calendar in UTC with a
// moved and a cancelled instance, a desktop client with its own zones and a
// ToDo, a phone with floating times. Today is 2025-06-01.
TEST_F(IcalImportTest, FilesAsCalendarsWriteThem) {
    struct Case {
        const char* file;
        std::vector<std::string> records;
        int32_t from_series;
        int32_t rejected;
        int32_t cut;
    };
    const Case cases[] = {
        {"web_calendar_utc.ics",
         {"2025030310900202503031000 0/0 週次定例|本社 3F 会議室",
          "2025031111100202503111200 0/0 週次定例（火曜に変更）|本社 3F 会議室",
          "2025032410900202503241000 0/0 週次定例|本社 3F 会議室",
          "2025042820000202505062400 0/0 ゴールデンウィーク休暇|",
          "2025032050000202503202400 0/0 春分の日|",
          "2025070111500202507011600 1/30 取引先訪問, 見積の説明|大阪市北区梅田1-1-1"},
         3,
         1,
         0},
        {"desktop_client_tzid.ics",
         {"2025041511000202504151130 0/0 予算会議|オンライン",
          "2025041710900202504171000 0/0 米国支社との電話会議|",
          "2025013111600202501311700 0/0 月次報告|", "2025022811600202502281700 0/0 月次報告|",
          "2025033111600202503311700 0/0 月次報告|", "2025043011600202504301700 0/0 月次報告|",
          "2025050550000202505052400 0/0 こどもの日|",
          "0000000060000000000000000 0/0 報告書を書く|"},
         4,
         0,
         0},
        {"phone_floating.ics",
         {"2025061011830202506102030 1/30 歓迎会～二次会|居酒屋　和 東京都千代田区1-2-3",
          "2024070750000202407072400 0/0 母の誕生日|", "2025070750000202507072400 0/0 母の誕生日|",
          "2026070750000202607072400 0/0 母の誕生日|",
          "2025062011010202506201200 1/60 "
          "とても長い件名のテストです。この件名は六十四バイトを超えるので切|"},
         3,
         0,
         1},
    };
    for (const Case& c : cases) {
        SetUp();
        IcalImportResult result = import(read_file_bytes(test_file(c.file)));
        ASSERT_EQ(ICAL_IMPORT_FINISHED, result.status) << c.file;
        EXPECT_EQ(c.records, records()) << c.file;
        EXPECT_EQ(static_cast<int32_t>(c.records.size()), result.imported) << c.file;
        EXPECT_EQ(c.from_series, result.from_series) << c.file;
        EXPECT_EQ(c.rejected, result.rejected) << c.file;
        EXPECT_EQ(c.cut, result.cut) << c.file;
        EXPECT_EQ(c.rejected > 0, std::filesystem::exists(folder / "vntraerr.csv")) << c.file;
    }
    EXPECT_SJIS_EQ(std::string(ICAL_ERROR_HEADER) + "\r\n" + "お花見 ?,20250405T030000Z," +
                       IMPORT_NOT_SJIS + "\r\n",
                   [&] {
                       SetUp();
                       import(read_file_bytes(test_file("web_calendar_utc.ics")));
                       return read_file_bytes(folder / "vntraerr.csv");
                   }());
}

// Importing the same calendar again: instances already in the data file are
// skipped, across deletions and compaction's renumbering.
TEST_F(IcalImportTest, SameCalendarAgainDoesNotDoubleIt) {
    std::string desktop = read_file_bytes(test_file("desktop_client_tzid.ics"));
    ASSERT_EQ(8, import(desktop).imported);
    EXPECT_TRUE(std::filesystem::exists(folder / IMPORT_MEMORY_FILE_NAME));
    IcalImportResult again = import(desktop);
    EXPECT_EQ(0, again.imported);
    EXPECT_EQ(8, again.skipped);

    // A deleted record comes back; the others stay single.
    ASSERT_TRUE(delete_record(store, 2));
    again = import(desktop);
    EXPECT_EQ(1, again.imported);
    EXPECT_EQ(7, again.skipped);

    // Compaction renumbers and purges what started by 2025-02-28; what it
    // purged is not brought back while it would expire again.
    CompactionPaths paths{folder / COMPACT_FILE_NAME, folder.path(), {}};
    ASSERT_EQ(COMPACTION_DONE, compact_data_file(store, paths, {2025, 6, 1}, 93).outcome);
    ASSERT_EQ(6, store.record_count);
    cutoff = expiry_cutoff_key({2025, 6, 1}, 93);
    again = import(desktop);
    EXPECT_EQ(0, again.imported);
    EXPECT_EQ(8, again.skipped);
    cutoff = 0;
    again = import(desktop);
    EXPECT_EQ(2, again.imported);
    EXPECT_EQ(6, again.skipped);
    EXPECT_EQ(8, store.record_count);
    ASSERT_EQ(8u, records().size());
}

// The file as a whole: its encoding, and a structure cut short, decide
// before anything is stored.
TEST_F(IcalImportTest, WholeFileIsJudgedFirst) {
    const std::string one = calendar(event("DTSTART;VALUE=DATE:20250301\r\n"));
    std::string utf16 = "\xFF\xFE";
    for (char c : one)
        utf16 += std::string{c, '\0'};
    struct Case {
        std::string bytes;
        IcalImportStatus status;
        bool stored; // the one all-day record
    };
    const Case cases[] = {
        {"\xEF\xBB\xBF" + one, ICAL_IMPORT_FINISHED, true},
        // Older Japanese phones wrote their own code page.
        {"BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nDTSTART;VALUE=DATE:20250301\r\nSUMMARY:会議\r\n"
         "END:VEVENT\r\nEND:VCALENDAR\r\n",
         ICAL_IMPORT_FINISHED, true},
        {utf16, ICAL_IMPORT_UTF16, false},
        {one.substr(0, one.size() - 15), ICAL_IMPORT_CUT_SHORT, false},
        {"開始年,開始月\r\n", ICAL_IMPORT_NOT_ICALENDAR, false},
    };
    for (const Case& c : cases) {
        SetUp();
        write_file_bytes(folder / "in.ics", c.bytes);
        EXPECT_EQ(c.status != ICAL_IMPORT_NOT_ICALENDAR, is_icalendar_file(folder / "in.ics"));
        EXPECT_EQ(c.status, import(c.bytes).status);
        std::vector<std::string> expected;
        if (c.stored)
            expected.push_back("2025030150000202503012400 0/0 会議|");
        EXPECT_EQ(expected, records());
    }
}

} // namespace
} // namespace vntra
