#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "exchange/ical_export.h"
#include "exchange/ical_import.h"
#include "exchange/ical_lines.h"
#include "store/compaction.h"
#include "support/data_file_fixture.h"
#include "support/records.h"
#include "support/sjis_assert.h"
#include "text/text_encoding.h"

namespace vntra {
namespace {

using testing::dated_record;
using testing::read_file_bytes;
using testing::timed_record;

std::string as_utf8(const char8_t* text) {
    return reinterpret_cast<const char*>(text);
}

// Folded lines are at most 75 octets, never split a UTF-8 sequence, and
// unfold to the line as it was.
TEST(IcalFolding, LinesAtMost75OctetsWholeCharacters) {
    const std::string lines[] = {
        std::string(75, 'a'),
        std::string(76, 'a'),
        std::string(300, 'b'),
        "SUMMARY:" +
            [] {
                std::string text;
                for (int i = 0; i < 40; ++i)
                    text += as_utf8(u8"会");
                return text;
            }(),
        "LOCATION:a" + as_utf8(u8"𠮷𠮷𠮷𠮷𠮷𠮷𠮷𠮷𠮷𠮷𠮷𠮷𠮷𠮷𠮷𠮷𠮷𠮷𠮷𠮷𠮷𠮷"),
    };
    for (const std::string& line : lines) {
        std::string out;
        append_folded_line(out, line);
        size_t start = 0;
        while (start < out.size()) {
            size_t end = out.find("\r\n", start);
            ASSERT_NE(std::string::npos, end);
            std::string_view piece(out.data() + start, end - start);
            EXPECT_LE(piece.size(), 75u);
            EXPECT_TRUE(is_valid_utf8(start == 0 ? piece : piece.substr(1))) << out;
            start = end + 2;
        }
        std::string storage;
        std::vector<std::string_view> unfolded;
        unfold_ical_lines(out, storage, unfolded);
        ASSERT_EQ(1u, unfolded.size());
        EXPECT_EQ(line, unfolded[0]);
    }
}

class IcalExportTest : public testing::DataFileTest {
  protected:
    std::string export_all(const DataFile& from, const std::string& name) {
        int32_t exported = 0;
        EXPECT_EQ(EXPORT_OK,
                  export_icalendar(from, folder / name,
                                   {wide_date_key(2025, 1, 1), wide_date_key(2025, 12, 31)}, now,
                                   exported));
        return read_file_bytes(folder / name);
    }
    IcalImportResult import_into(DataFile& into, const std::string& name) {
        IcalImportOptions options{default_recurrence_window({2025, 6, 1}),
                                  days_from_civil(2025, 6, 1) * SECONDS_PER_DAY, 0};
        return import_icalendar_file(into, folder / name, folder / "vntraerr.csv", options);
    }
    std::vector<ScheduleRecord> live(const DataFile& from) {
        std::vector<ScheduleRecord> records;
        scan_records(from, [&](const ScheduleRecord& r) {
            if (r.kind != KIND_DELETED)
                records.push_back(r);
        });
        return records;
    }
    LocalTimeStamp now{2025, 6, 1, 9, 30, 0, 0, 540};
};

// Every kind goes out and comes back the same; the same records keep their
// UIDs across compaction's renumbering; the export read back into the data
// file it came from adds nothing.
TEST_F(IcalExportTest, RecordsComeBackTheSame) {
    ScheduleRecord meeting = timed_record({2025, 7, 1}, 9, 5, 10, 55, "会議,打合せ; 表\\", "本社");
    meeting.alarm_state = TRIGGER_ARMED;
    meeting.alarm_lead_minutes = 15;
    ScheduleRecord late = timed_record({2025, 7, 2}, 22, 0, 24, 0, "夜勤");
    ScheduleRecord morning = dated_record(KIND_MORNING, {2025, 3, 1}, {2025, 3, 1}, "午前休");
    morning.end_hour = 12;
    ScheduleRecord afternoon = dated_record(KIND_AFTERNOON, {2025, 3, 1}, {2025, 3, 1}, "午後休");
    afternoon.start_hour = 12;
    ScheduleRecord todo = blank_record();
    todo.kind = KIND_TODO;
    set_text(todo.content, "報告書を書く");
    const ScheduleRecord kept[] = {
        meeting,
        late,
        dated_record(KIND_DATE_SPAN, {2025, 12, 28}, {2026, 1, 4}, "年末年始", "実家"),
        morning,
        afternoon,
        dated_record(KIND_ALL_DAY, {2025, 3, 2}, {2025, 3, 2},
                     "六十四バイトちょうどの内容です。六十四バイトちょうどの内容です。"),
        meeting, // the same entry twice: two UIDs
        todo,    // ToDo items come back after the events
    };
    add(dated_record(KIND_ALL_DAY, {2024, 12, 31}, {2024, 12, 31}, "範囲外"));
    for (const ScheduleRecord& r : kept)
        add(r);
    ASSERT_TRUE(delete_record(store, 1));
    std::string first = export_all(store, "out.ics");
    EXPECT_EQ(first.find(as_utf8(u8"範囲外")), std::string::npos);

    DataFile copy{folder / "copy.fil", 0};
    ASSERT_TRUE(create_data_file(copy.path));
    IcalImportResult result = import_into(copy, "out.ics");
    EXPECT_EQ(8, result.imported);
    EXPECT_EQ(0, result.rejected) << read_file_bytes(folder / "vntraerr.csv");
    std::vector<ScheduleRecord> back = live(copy);
    ASSERT_EQ(8u, back.size());
    for (size_t i = 0; i < back.size(); ++i) {
        EXPECT_EQ(make_sort_key(kept[i]), make_sort_key(back[i])) << i;
        EXPECT_SJIS_EQ(field_text(kept[i].content), field_text(back[i].content));
        EXPECT_SJIS_EQ(field_text(kept[i].place), field_text(back[i].place));
        EXPECT_EQ(kept[i].alarm_state, back[i].alarm_state) << i;
        EXPECT_EQ(kept[i].alarm_lead_minutes, back[i].alarm_lead_minutes) << i;
    }

    CompactionPaths paths{folder / COMPACT_FILE_NAME, folder.path(), {}};
    ASSERT_EQ(COMPACTION_DONE, compact_data_file(store, paths, {2025, 6, 1}, 3650).outcome);
    EXPECT_EQ(first, export_all(store, "again.ics"));
    result = import_into(store, "again.ics");
    EXPECT_EQ(0, result.imported);
    EXPECT_EQ(8, result.skipped);
}

} // namespace
} // namespace vntra
