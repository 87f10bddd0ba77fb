#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "exchange/ical_components.h"
#include "exchange/ical_lines.h"
#include "exchange/ical_zones.h"

namespace vntra {
namespace {

std::string as_utf8(const char8_t* text) {
    return reinterpret_cast<const char*>(text);
}

// One content line as the reader sees it after unfolding: its name, its
// TZID parameter and its value with the text escapes undone.
TEST(IcalLines, UnfoldingParametersAndEscapes) {
    struct Case {
        std::string raw;
        const char* name; // null: not a content line
        const char* tzid;
        std::string value;
    };
    const Case cases[] = {
        {"SUMMARY:Hello\r\n World", "SUMMARY", "", "HelloWorld"},
        {"summary:Hel\n\tlo", "SUMMARY", "", "Hello"},
        // A fold that a careless writer put inside a UTF-8 sequence.
        {as_utf8(u8"SUMMARY:会\r\n 議"), "SUMMARY", "", as_utf8(u8"会議")},
        {"DTSTART;TZID=\"(UTC+09:00) Osaka, Sapporo, Tokyo\":20250101T090000", "DTSTART",
         "(UTC+09:00) Osaka, Sapporo, Tokyo", "20250101T090000"},
        {"DTSTART;VALUE=DATE-TIME;tzid=Asia/Tokyo:20250101T090000", "DTSTART", "Asia/Tokyo",
         "20250101T090000"},
        {"SUMMARY;LANGUAGE=ja:a\\, b\\; c\\\\ d\\ne\\Nf\\x", "SUMMARY", "", "a, b; c\\ d\ne\nf\\x"},
        {"X-URL:http://example.jp/a:b", "X-URL", "", "http://example.jp/a:b"},
        {"no colon here", nullptr, "", ""},
        {":no name", nullptr, "", ""},
    };
    for (const Case& c : cases) {
        std::string storage;
        std::vector<std::string_view> lines;
        unfold_ical_lines(c.raw, storage, lines);
        ASSERT_EQ(1u, lines.size()) << c.raw;
        IcalProperty property;
        bool parsed = parse_content_line(lines[0], property);
        ASSERT_EQ(c.name != nullptr, parsed) << c.raw;
        if (!parsed)
            continue;
        EXPECT_EQ(c.name, property.name);
        const std::string* tzid = find_parameter(property, "TZID");
        EXPECT_EQ(c.tzid, tzid ? *tzid : std::string());
        EXPECT_EQ(c.value, unescape_ical_text(property.value)) << c.raw;
    }
    // Writing escapes what reading undoes; any line break is one \n.
    EXPECT_EQ("a\\,b\\;c\\\\d\\ne\\nf\\ng", escape_ical_text("a,b;c\\d\r\ne\nf\rg"));
    EXPECT_EQ((std::vector<std::string_view>{"20250101", "a\\,b", ""}),
              split_ical_list("20250101,a\\,b,"));
}

TEST(IcalComponents, StructureThatDoesNotCloseIsRefusedWhole) {
    struct Case {
        const char* text;
        IcalParseStatus status;
        size_t calendars;
    };
    const Case cases[] = {
        {"BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n", ICAL_PARSED, 1},
        {"\xEF\xBB\xBF"
         "begin:vcalendar\nEND:VCALENDAR\nBEGIN:VCALENDAR\nEND:VCALENDAR",
         ICAL_PARSED, 2},
        {"BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nEND:VCALENDAR\r\n", ICAL_UNBALANCED, 0},
        {"BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nSUMMARY:cut", ICAL_UNFINISHED, 0},
        {"BEGIN:VEVENT\r\nEND:VEVENT\r\n", ICAL_NOT_ICALENDAR, 0},
        {"開始年,開始月\r\n", ICAL_NOT_ICALENDAR, 0},
    };
    for (const Case& c : cases) {
        std::vector<IcalComponent> calendars;
        EXPECT_EQ(c.status, parse_icalendar(c.text, calendars).status) << c.text;
        EXPECT_EQ(c.calendars, calendars.size()) << c.text;
    }
    EXPECT_TRUE(looks_like_icalendar("\xEF\xBB\xBF"
                                     "BEGIN:VCALENDAR\r\n"));
    EXPECT_FALSE(looks_like_icalendar("BEGIN:VEVENT"));
}

const char US_EASTERN[] = "BEGIN:VTIMEZONE\r\nTZID:Custom Eastern\r\n"
                          // The rules before 2007 and the ones since, as desktop clients write
                          // a zone's history.
                          "BEGIN:DAYLIGHT\r\nDTSTART:19870405T020000\r\n"
                          "RRULE:FREQ=YEARLY;BYMONTH=4;BYDAY=1SU;UNTIL=20060402T070000Z\r\n"
                          "TZOFFSETFROM:-0500\r\nTZOFFSETTO:-0400\r\nEND:DAYLIGHT\r\n"
                          "BEGIN:STANDARD\r\nDTSTART:19671029T020000\r\n"
                          "RRULE:FREQ=YEARLY;BYMONTH=10;BYDAY=-1SU;UNTIL=20061029T060000Z\r\n"
                          "TZOFFSETFROM:-0400\r\nTZOFFSETTO:-0500\r\nEND:STANDARD\r\n"
                          "BEGIN:DAYLIGHT\r\nDTSTART:20070311T020000\r\n"
                          "RRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=2SU\r\n"
                          "TZOFFSETFROM:-0500\r\nTZOFFSETTO:-0400\r\nEND:DAYLIGHT\r\n"
                          "BEGIN:STANDARD\r\nDTSTART:20071104T020000\r\n"
                          "RRULE:FREQ=YEARLY;BYMONTH=11;BYDAY=1SU\r\n"
                          "TZOFFSETFROM:-0400\r\nTZOFFSETTO:-0500\r\nEND:STANDARD\r\n"
                          "END:VTIMEZONE\r\n";
// A zone that claims Tokyo is at UTC: Japan's names are taken as they stand.
const char WRONG_TOKYO[] = "BEGIN:VTIMEZONE\r\nTZID:Tokyo Standard Time\r\n"
                           "BEGIN:STANDARD\r\nDTSTART:16010101T000000\r\n"
                           "TZOFFSETFROM:+0000\r\nTZOFFSETTO:+0000\r\nEND:STANDARD\r\n"
                           "END:VTIMEZONE\r\n";

// A time as written, on Japan's clock.
TEST(IcalZones, ConversionToJapanTime) {
    std::vector<IcalComponent> calendars;
    std::string file =
        std::string("BEGIN:VCALENDAR\r\n") + US_EASTERN + WRONG_TOKYO + "END:VCALENDAR\r\n";
    ASSERT_EQ(ICAL_PARSED, parse_icalendar(file, calendars).status);
    ZoneSet zones;
    zones.add_file_zones(calendars[0]);
    struct Case {
        const char* tzid; // "" for UTC or floating
        const char* time;
        const char* japan; // null: the zone is unknown
    };
    const Case cases[] = {
        {"", "20250115T000000Z", "20250115T090000"},
        {"", "20250115T090000", "20250115T090000"}, // floating times are Japan's
        {"Asia/Tokyo", "20250115T090000", "20250115T090000"},
        {"Tokyo Standard Time", "20250115T090000", "20250115T090000"},
        {"(UTC+09:00) Osaka, Sapporo, Tokyo", "20250115T090000", "20250115T090000"},
        {"Custom Eastern", "20250115T090000", "20250115T230000"},
        {"Custom Eastern", "20250715T090000", "20250715T220000"},
        {"Custom Eastern", "20060401T090000", "20060401T230000"}, // the old rule, before April
        {"Custom Eastern", "20060403T090000", "20060403T220000"},
        {"Custom Eastern", "20070312T090000", "20070312T220000"}, // the new rule, March
        {"America/New_York", "20250309T013000", "20250309T153000"},
        {"America/New_York", "20250309T023000", "20250309T163000"}, // skipped: offset before
        {"America/New_York", "20251102T013000", "20251102T143000"}, // twice: the first
        {"/mozilla.org/20070129_1/America/New_York", "20250715T090000", "20250715T220000"},
        {"Europe/London", "20250330T003000", "20250330T093000"},
        {"Europe/London", "20250330T023000", "20250330T103000"},
        {"Europe/Berlin", "20251026T023000", "20251026T093000"},
        {"Australia/Sydney", "20250115T090000", "20250115T070000"},
        {"Australia/Sydney", "20250715T090000", "20250715T080000"},
        {"Asia/Kolkata", "20250115T090000", "20250115T123000"},
        {"Mars/Olympus_Mons", "20250115T090000", nullptr},
    };
    for (const Case& c : cases) {
        IcalTime time;
        ASSERT_TRUE(parse_ical_time_value(c.time, time)) << c.time;
        if (*c.tzid) {
            time.form = ICAL_ZONED;
            time.zone = c.tzid;
        }
        int64_t japan = 0;
        bool known = zones.to_japan_clock(time, japan);
        ASSERT_EQ(c.japan != nullptr, known) << c.tzid;
        if (known) {
            EXPECT_EQ(c.japan, format_ical_date_time(japan, false)) << c.tzid << " " << c.time;
        }
    }
}

} // namespace
} // namespace vntra
