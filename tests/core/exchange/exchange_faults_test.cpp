// The export and the import, run once for every file operation they make
// with that one operation failing: neither may report success for a file it
// did not write whole, and no imported line may vanish without a word.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "exchange/csv_export.h"
#include "exchange/csv_import.h"
#include "exchange/exchange_texts.h"
#include "platform/file_io.h"
#include "support/records.h"
#include "support/temp_folder.h"

namespace vntra {
namespace {

using testing::dated_record;
using testing::read_file_bytes;
using testing::TempFolder;
using testing::write_file_bytes;

const std::string HEADER = std::string(CSV_HEADER_LINE) + "\r\n";

size_t line_count(const std::string& text) {
    size_t lines = 0;
    for (char c : text)
        lines += c == '\n';
    return lines;
}

TEST(ExchangeFaults, ExportNeverCallsAPartialFileComplete) {
    TempFolder folder;
    DataFile store{folder / DATA_FILE_NAME, 0};
    ASSERT_TRUE(create_data_file(store.path));
    for (int day = 1; day <= 3; ++day) {
        ScheduleRecord r = dated_record(KIND_ALL_DAY, {2004, 4, day}, {2004, 4, day}, "予定");
        ASSERT_NE(0, append_record(store, r));
    }
    std::filesystem::path output = folder / "out.csv";
    int32_t exported = 0;
    ASSERT_EQ(EXPORT_OK, export_schedule(store, output, {20040101, 20041231}, exported));
    const std::string complete = read_file_bytes(output);

    // An older export at the path survives every failure whole.
    const std::string older = HEADER + "2001,1,1,5,0,0,0,0,0,0,older,\r\n";
    long faults = 0;
    for (long n = 1; n < 200; ++n) {
        write_file_bytes(output, older);
        fail_file_operation(n);
        ExportStatus status = export_schedule(store, output, {20040101, 20041231}, exported);
        bool injected = file_fault_injected();
        fail_file_operation(0);
        if (!injected)
            break;
        ++faults;
        SCOPED_TRACE(n);
        EXPECT_EQ(status == EXPORT_OK ? complete : older, read_file_bytes(output));
        // No temporary file is left beside it.
        EXPECT_EQ(2, std::distance(std::filesystem::directory_iterator(folder.path()), {}));
    }
    EXPECT_GT(faults, 3);
}

TEST(ExchangeFaults, ImportAccountsForEveryLine) {
    TempFolder folder;
    std::filesystem::path input = folder / "in.csv";
    write_file_bytes(
        input, HEADER + "2004,3,15,5,0,0,0,0,0,0,一,\r\n" + "2004,3,16,5,0,0,0,0,0,0,二,\r\n" +
                   "2004,3,99,5,0,0,0,0,0,0,誤り,\r\n" + "2004,3,17,5,0,0,0,0,0,0,三,\r\n");
    const size_t LINES = 4;
    std::filesystem::path errors = folder / "vntraerr.csv";
    long faults = 0;
    for (long n = 1; n < 500; ++n) {
        DataFile store{folder / DATA_FILE_NAME, 0};
        ASSERT_TRUE(create_data_file(store.path));
        std::filesystem::remove(errors);
        fail_file_operation(n);
        ImportResult result = import_schedule_file(store, input, errors);
        bool injected = file_fault_injected();
        fail_file_operation(0);
        SCOPED_TRACE(n);

        DataFile check{store.path, 0};
        int32_t stored = load_record_count(check);
        // The count claims no slot the file lacks.
        EXPECT_GE(std::filesystem::file_size(store.path),
                  static_cast<uintmax_t>(DATA_HEADER_SIZE + stored * RECORD_SIZE));
        std::string message = import_final_message(result);
        if (result.status != IMPORT_FINISHED) {
            EXPECT_EQ(0, stored); // refused before anything was stored
        } else if (result.read_failed || result.error_file_failed) {
            // The user is told that something is missing.
            EXPECT_NE(
                std::string::npos,
                message.find(result.read_failed ? IMPORT_READ_FAILED : IMPORT_ERROR_FILE_FAILED));
        } else {
            EXPECT_EQ(result.imported, stored);
            size_t listed =
                std::filesystem::exists(errors) ? line_count(read_file_bytes(errors)) - 1 : 0;
            EXPECT_EQ(LINES, static_cast<size_t>(stored) + listed);
            EXPECT_EQ(static_cast<size_t>(result.rejected), listed);
            EXPECT_EQ(listed == 0, message == IMPORT_DONE);
        }
        if (!injected)
            break;
        ++faults;
    }
    EXPECT_GT(faults, 5);
}

} // namespace
} // namespace vntra
