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
using testing::utf8_bytes;
using testing::write_file_bytes;

const std::string HEADER = std::string(CSV_HEADER_LINE) + "\r\n";

TEST(ErrorFile, NameFromTheTimeBesideTheInput) {
    LocalTimeStamp now{2004, 3, 15, 9, 30, 0, 1, 540};
    EXPECT_EQ("vntraerr20040315093000.csv", error_file_name(now));
    EXPECT_EQ(std::filesystem::path("a") / "b" / "vntraerr20040315093000.csv",
              error_file_path(std::filesystem::path("a") / "b" / "in.csv", now));
    EXPECT_SJIS_EQ("2004,13,1,5,,,,,,,会議,,開始月が範囲外",
                   error_line("2004,13,1,5,,,,,,,会議,", IMPORT_BAD_START_MONTH));
}

TEST(ImportMessage, CutRowsOnTheirOwnLineAfterTheEnd) {
    const std::string done = std::string(IMPORT_DONE) + "\n";
    const std::string cut = "内容または場所が長すぎるため、12行を切り詰めました。";
    const std::pair<ImportResult, std::string> cases[] = {
        {{IMPORT_FINISHED, 3, 0, 0, false, false}, IMPORT_DONE},
        {{IMPORT_FINISHED, 3, 2, 0, false, false}, IMPORT_DONE_WITH_ERRORS},
        {{IMPORT_FINISHED, 3, 0, 12, false, false}, done + cut},
        {{IMPORT_FINISHED, 3, 1, 12, false, false}, done + cut + "\n" + IMPORT_HAS_ERRORS},
        {{IMPORT_FINISHED, 3, 1, 0, true, true},
         done + IMPORT_ERROR_FILE_FAILED + "\n" + IMPORT_READ_FAILED},
    };
    for (const auto& [result, message] : cases)
        EXPECT_SJIS_EQ(message, import_final_message(result));
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
    // Texts that fill their fields (64 and 66 bytes) with trail bytes that
    // look like a backslash; quotes; a leading "=".
    std::string full;
    for (int i = 0; i < 32; ++i)
        full += "能";
    const ScheduleRecord originals[] = {
        timed,
        span,
        dated_record(KIND_MORNING, {2004, 3, 1}, {2004, 3, 1}, "=SUM(A1)", "\"表\",ソ"),
        dated_record(KIND_AFTERNOON, {2004, 3, 2}, {2004, 3, 2}, "「午後」\"半休\"", "\""),
        dated_record(KIND_ALL_DAY, {2004, 2, 29}, {2004, 2, 29}, full.c_str(),
                     (full + "\"x").c_str()),
    };
    ASSERT_EQ(66u, field_text(originals[4].place).size());
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
    EXPECT_EQ(0, result.cut);
    std::vector<ScheduleRecord> before = stored();
    std::vector<ScheduleRecord> after;
    scan_records(target, [&](const ScheduleRecord& r) { after.push_back(r); });
    ASSERT_EQ(before.size(), after.size());
    for (size_t i = 0; i < before.size(); ++i) {
        EXPECT_EQ(make_sort_key(before[i]), make_sort_key(after[i]));
        EXPECT_SJIS_EQ(field_text(before[i].content), field_text(after[i].content));
        EXPECT_SJIS_EQ(field_text(before[i].place), field_text(after[i].place));
    }
}

// What each kind of file that spreadsheets and editors write gives: the
// records stored (content and place), the error file's rows after its
// header ("" when no error file is left) and the rows cut short.
TEST_F(ImportFile, FilesAsTodaysSpreadsheetsAndEditorsWriteThem) {
    struct Case {
        const char* name;
        std::string bytes;
        std::vector<std::string> stored; // "content|place"
        std::string errors;
        int32_t cut = 0;
        ImportStatus status = IMPORT_FINISHED;
    };
    const std::string day = "2004,3,15,5,,,,,,,";
    const std::string u8_header = utf8_bytes(u8"開始年,開始月,開始日,区分,内容,場所\r\n");
    const std::string long_content(70, 'x');
    const Case cases[] = {
        {"UTF-8 without a byte order mark",
         u8_header + day + utf8_bytes(u8"会議,本社\r\n"),
         {"会議|本社"},
         ""},
        {"UTF-8 with JIS variants",
         u8_header + day + utf8_bytes(u8"〜‖−¢£¬—,x\r\n"),
         {"\x81\x60\x81\x61\x81\x7C\x81\x91\x81\x92\x81\xCA\x81\x5C|x"},
         ""},
        {"UTF-8 mark, a character Shift-JIS lacks",
         "\xEF\xBB\xBF" + u8_header + day + utf8_bytes(u8"한글,本社\r\n"),
         {},
         day + "??,本社," + IMPORT_NOT_SJIS + "\r\n"},
        {"UTF-16", "\xFF\xFE" + std::string("2\0,\0", 4), {}, "", 0, IMPORT_UTF16_REFUSED},
        {"invalid Shift-JIS",
         HEADER + day + "\x82,x\r\n" + day + "表,能\r\n",
         {"表|能"},
         day + "\x82,x," + IMPORT_NOT_SJIS + "\r\n"},
        {"line breaks inside quotes",
         HEADER + day + "\"会議\r\n打合せ\",\"本社\n3F\r\"\r\n2004,13,1,5,,,,,,,\"a\r\nb\",\r\n",
         {"会議 打合せ|本社 3F "},
         "2004,13,1,5,,,,,,,\"a\r\nb\",," + std::string(IMPORT_BAD_START_MONTH) + "\r\n"},
        {"quotes",
         HEADER + day + "\"19\"\"モニター\",本社\r\n" + day + "19\"モニター,本社\r\n",
         {"19\"モニター|本社", "19\"モニター|本社"},
         ""},
        {"CR-only line ends",
         CSV_HEADER_LINE + ("\r" + day) + "会議,\r" + day + "打合せ,\r",
         {"会議|", "打合せ|"},
         ""},
        {"numbers",
         HEADER + "２００４,３,１５,５,,,,,,,全角,\r\n" + "2004,3,15,1,13:00,0,14,0,,,会議,\r\n",
         {"全角|"},
         "2004,3,15,1,13:00,0,14,0,,,会議,," + std::string(IMPORT_NOT_A_NUMBER[4]) + "\r\n"},
        {"no header row", day + "最初の行,\r\n" + day + "次の行,", {"最初の行|", "次の行|"}, ""},
        {"over-long texts",
         HEADER + day + long_content + ",\r\n" + day + "短い,\r\n",
         {std::string(64, 'x') + "|", "短い|"},
         "",
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(errors);
        ASSERT_TRUE(create_data_file(store.path));
        ImportResult result = import(c.bytes);
        EXPECT_EQ(c.status, result.status);
        std::vector<std::string> texts;
        for (const ScheduleRecord& r : stored())
            texts.push_back(field_text(r.content) + "|" + field_text(r.place));
        EXPECT_EQ(c.stored, texts);
        EXPECT_SJIS_EQ(c.errors.empty() ? "" : HEADER + c.errors, read_file_bytes(errors));
        EXPECT_EQ(c.cut, result.cut);
    }
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
