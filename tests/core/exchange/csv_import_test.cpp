#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "exchange/csv_export.h"
#include "exchange/csv_import.h"
#include "exchange/exchange_texts.h"
#include "support/data_file_fixture.h"
#include "support/records.h"
#include "support/sjis_assert.h"

namespace vntra {
namespace {

using testing::dated_record;
using testing::read_file_bytes;
using testing::write_file_bytes;

const std::string HEADER = std::string(CSV_HEADER_LINE) + "\r\n";

std::string as_utf8(const char8_t* text) {
    return reinterpret_cast<const char*>(text);
}

TEST(ErrorFile, NameFromTheTimeBesideTheInput) {
    LocalTimeStamp now{2004, 3, 15, 9, 30, 0, 1, 540};
    EXPECT_EQ("vntraerr20040315093000.csv", error_file_name(now));
    EXPECT_EQ(std::filesystem::path("a") / "b" / "vntraerr20040315093000.csv",
              error_file_path(std::filesystem::path("a") / "b" / "in.csv", now));
    EXPECT_SJIS_EQ("2004,13,1,5,,,,,,,会議,,開始月が範囲外",
                   error_line("2004,13,1,5,,,,,,,会議,", IMPORT_BAD_START_MONTH));
}

TEST(LineReader, LinesOfAnyLengthWithoutTheirEnds) {
    testing::TempFolder folder;
    const std::string long_line(150000, 'x');
    struct Case {
        std::string bytes;
        std::vector<std::string> lines;
        bool utf8;
    };
    const Case cases[] = {
        {"", {}, false},
        {"a\r\nb\nc", {"a", "b", "c"}, false},
        {"a\n\n\r\nb\n", {"a", "", "", "b"}, false},
        {"a\rb\r\n", {"a\rb"}, false},
        {long_line + "\r\n" + long_line, {long_line, long_line}, false},
        {"\xEF\xBB\xBFh\r\nx", {"h", "x"}, true},
        {"\xEF\xBB", {"\xEF\xBB"}, false},
    };
    for (const Case& c : cases) {
        write_file_bytes(folder / "in.csv", c.bytes);
        FilePtr file = open_file(folder / "in.csv", "rb");
        ASSERT_TRUE(file);
        LineReader reader(file.get());
        std::vector<std::string> lines;
        std::string line;
        while (reader.next(line))
            lines.push_back(line);
        EXPECT_EQ(c.lines, lines) << c.bytes.substr(0, 20);
        EXPECT_EQ(c.utf8, reader.is_utf8());
        EXPECT_FALSE(reader.failed());
    }
}

struct ImportFile : testing::DataFileTest {
    std::filesystem::path input = folder / "in.csv";
    std::filesystem::path errors = folder / "vntraerr20040315093000.csv";

    ImportResult import(const std::string& bytes) {
        write_file_bytes(input, bytes);
        return import_schedule_file(store, input, errors);
    }
    std::vector<ScheduleRecord> stored() {
        DataFile reader{store.path, 0};
        load_record_count(reader);
        std::vector<ScheduleRecord> records;
        scan_records(reader, [&](const ScheduleRecord& r) { records.push_back(r); });
        return records;
    }
};

TEST_F(ImportFile, HeaderOnlyImportsNothingAndLeavesNoErrorFile) {
    ImportResult result = import(HEADER);
    EXPECT_EQ(IMPORT_FINISHED, result.status);
    EXPECT_EQ(0, result.imported);
    EXPECT_EQ(0, load_record_count(store));
    EXPECT_FALSE(std::filesystem::exists(errors));
    EXPECT_SJIS_EQ(IMPORT_DONE, import_final_message(result));
}

TEST_F(ImportFile, GoodLinesAppendedBadLinesInTheErrorFile) {
    add(dated_record(KIND_ALL_DAY, {2004, 1, 1}, {2004, 1, 1}, "元からある予定"));
    ImportResult result = import(HEADER + "2004,3,15,1,9,7,10,58,,,会議,本社\r\n"
                                          "1999,3,15,7,0,0,0,0,0,0,古い,\r\n"
                                          "2004,12,20,2,0,0,0,0,1,5,\"年末,年始\",\r\n"
                                          "2004,13,15,3,0,0,0,0,0,0,,\r\n");
    EXPECT_EQ(2, result.imported);
    EXPECT_EQ(2, result.rejected);
    EXPECT_SJIS_EQ(IMPORT_DONE_WITH_ERRORS, import_final_message(result));
    EXPECT_EQ(3, store.record_count);
    std::vector<ScheduleRecord> records = stored();
    ASSERT_EQ(3u, records.size());
    EXPECT_EQ(2, records[1].id);
    EXPECT_EQ("2004031510905200403151055", make_sort_key(records[1]));
    EXPECT_SJIS_EQ("本社", field_text(records[1].place));
    EXPECT_EQ(3, records[2].id);
    EXPECT_EQ(20050105, end_date_key(records[2]));
    EXPECT_SJIS_EQ("年末,年始", field_text(records[2].content));
    EXPECT_SJIS_EQ(HEADER + "1999,3,15,7,0,0,0,0,0,0,古い,,開始年が範囲外\r\n" +
                       "2004,13,15,3,0,0,0,0,0,0,,,内容が未入力\r\n",
                   read_file_bytes(errors));
}

TEST_F(ImportFile, ACorrectedErrorFileImportsItself) {
    import(HEADER + "2004,2,30,5,0,0,0,0,0,0,会議,本社\r\n");
    std::string corrected = read_file_bytes(errors);
    size_t bad = corrected.find("2004,2,30");
    ASSERT_NE(std::string::npos, bad);
    corrected.replace(bad, 9, "2004,2,29");
    std::filesystem::path again = folder / "vntraerr-corrected.csv";
    write_file_bytes(again, corrected);
    std::filesystem::remove(errors);
    ImportResult result = import_schedule_file(store, again, errors);
    EXPECT_EQ(1, result.imported);
    EXPECT_EQ(0, result.rejected);
    std::vector<ScheduleRecord> records = stored();
    ASSERT_EQ(1u, records.size());
    EXPECT_SJIS_EQ("本社", field_text(records[0].place));
}

TEST_F(ImportFile, LongLinesAreOneRecordNotSeveral) {
    std::string content(1500, 'x');
    ImportResult result = import(HEADER + "2004,3,15,5,0,0,0,0,0,0," + content + ",本社\r\n");
    EXPECT_EQ(1, result.imported);
    EXPECT_EQ(0, result.rejected);
    std::vector<ScheduleRecord> records = stored();
    ASSERT_EQ(1u, records.size());
    EXPECT_EQ(std::string(64, 'x'), field_text(records[0].content));
    EXPECT_SJIS_EQ("本社", field_text(records[0].place));
}

TEST_F(ImportFile, ExportThenImportGivesBackTheSameEntries) {
    ScheduleRecord timed =
        dated_record(KIND_TIME_RANGE, {2004, 4, 2}, {2004, 4, 2}, "会議,打合せ", "本社,3F");
    timed.start_hour = 9;
    timed.start_minute = 30;
    timed.end_hour = 10;
    timed.end_minute = 45;
    timed.end_hour = 10;
    ScheduleRecord span = dated_record(KIND_DATE_SPAN, {2004, 12, 28}, {2005, 1, 5}, "年末年始");
    span.end_hour = 0;
    const ScheduleRecord originals[] = {
        timed,
        span,
        dated_record(KIND_MORNING, {2004, 3, 1}, {2004, 3, 1}, "午前休", "自宅"),
        dated_record(KIND_AFTERNOON, {2004, 3, 2}, {2004, 3, 2}, "「午後」\"半休\"", ""),
        dated_record(KIND_ALL_DAY, {2004, 2, 29}, {2004, 2, 29}, "閏日", "どこか"),
    };
    for (ScheduleRecord r : originals) {
        if (r.kind == KIND_MORNING)
            r.end_hour = 12;
        if (r.kind == KIND_AFTERNOON)
            r.start_hour = 12;
        add(r);
    }
    int32_t exported = 0;
    ASSERT_EQ(EXPORT_OK, export_schedule(store, input, {20010101, 20301231}, exported));
    ASSERT_EQ(5, exported);

    DataFile target{folder / "second.fil", 0};
    ASSERT_TRUE(create_data_file(target.path));
    ImportResult result = import_schedule_file(target, input, errors);
    EXPECT_EQ(5, result.imported);
    EXPECT_EQ(0, result.rejected);
    std::vector<ScheduleRecord> before = stored();
    std::vector<ScheduleRecord> after;
    scan_records(target, [&](const ScheduleRecord& r) { after.push_back(r); });
    ASSERT_EQ(before.size(), after.size());
    for (size_t i = 0; i < before.size(); ++i) {
        EXPECT_EQ(make_sort_key(before[i]), make_sort_key(after[i]));
        // Quotes inside a content are the one thing tabrix cannot carry.
        std::string content = field_text(before[i].content);
        std::erase(content, '"');
        EXPECT_SJIS_EQ(content, field_text(after[i].content));
        EXPECT_SJIS_EQ(field_text(before[i].place), field_text(after[i].place));
    }
}

TEST_F(ImportFile, Utf8WithByteOrderMarkIsConvertedOrRejectedWhole) {
    std::string file = "\xEF\xBB\xBF" + as_utf8(u8"開始年,開始月\r\n") +
                       as_utf8(u8"2004,3,15,5,0,0,0,0,0,0,会議～打合せ,本社\r\n") +
                       as_utf8(u8"2004,3,16,5,0,0,0,0,0,0,한글,本社\r\n");
    ImportResult result = import(file);
    EXPECT_EQ(1, result.imported);
    EXPECT_EQ(1, result.rejected);
    std::vector<ScheduleRecord> records = stored();
    ASSERT_EQ(1u, records.size());
    EXPECT_SJIS_EQ("会議～打合せ", field_text(records[0].content));
    // The error file is Shift-JIS like the rest; the stray character shows as "?".
    EXPECT_SJIS_EQ(HEADER + "2004,3,16,5,0,0,0,0,0,0,??,本社," + IMPORT_NOT_SJIS + "\r\n",
                   read_file_bytes(errors));
}

TEST_F(ImportFile, LinesTheDataFileWouldNotTakeGoToTheErrorFile) {
    DataFile unwritable{folder / "missing" / DATA_FILE_NAME, 0};
    write_file_bytes(input,
                     HEADER + "2004,3,15,5,0,0,0,0,0,0,会議,\r\n2004,3,40,5,0,0,0,0,0,0,会議,\r\n");
    ImportResult result = import_schedule_file(unwritable, input, errors);
    EXPECT_EQ(0, result.imported);
    EXPECT_EQ(2, result.rejected);
    EXPECT_EQ(0, unwritable.record_count);
    EXPECT_SJIS_EQ(HEADER + "2004,3,15,5,0,0,0,0,0,0,会議,," + IMPORT_NOT_STORED + "\r\n" +
                       "2004,3,40,5,0,0,0,0,0,0,会議,," + IMPORT_BAD_START_DAY + "\r\n",
                   read_file_bytes(errors));
    EXPECT_SJIS_EQ(IMPORT_DONE_WITH_ERRORS, import_final_message(result));
}

TEST_F(ImportFile, FilesThatCannotBeOpened) {
    // The chosen file has gone since it was chosen: no error file is left.
    ImportResult missing = import_schedule_file(store, folder / "gone.csv", errors);
    EXPECT_EQ(IMPORT_CANNOT_OPEN_INPUT, missing.status);
    EXPECT_FALSE(std::filesystem::exists(errors));
    // No error file, no import.
    write_file_bytes(input, HEADER + "2004,3,15,5,0,0,0,0,0,0,会議,\r\n");
    ImportResult blocked = import_schedule_file(store, input, folder / "missing" / "err.csv");
    EXPECT_EQ(IMPORT_CANNOT_CREATE_ERROR_FILE, blocked.status);
    EXPECT_EQ(0, load_record_count(store));
}

} // namespace
} // namespace vntra
