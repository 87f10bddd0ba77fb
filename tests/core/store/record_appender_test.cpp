#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/file_io.h"
#include "store/record_appender.h"
#include "support/data_file_fixture.h"
#include "support/records.h"

namespace vntra {
namespace {

using testing::dated_record;
using testing::read_file_bytes;

struct Appender : testing::DataFileTest {
    std::vector<ScheduleRecord> batch(int size, const char* content) {
        return std::vector<ScheduleRecord>(
            size, dated_record(KIND_ALL_DAY, {2004, 3, 1}, {2004, 3, 1}, content));
    }
    int32_t header_count() {
        std::string bytes = read_file_bytes(store.path);
        int32_t count = -1;
        std::memcpy(&count, bytes.data() + RECORD_COUNT_OFFSET, sizeof count);
        return count;
    }
};

TEST_F(Appender, BatchesGetTheNextIdsAndTheCountCoversThem) {
    add(dated_record(KIND_ALL_DAY, {2004, 1, 1}, {2004, 1, 1}, "既存"));
    // The header, not a stale count in memory, says where the end is.
    store.record_count = 0;
    RecordAppender appender(store);
    ASSERT_TRUE(appender.is_open());
    std::vector<ScheduleRecord> first = batch(3, "一回目");
    ASSERT_TRUE(appender.append(first));
    EXPECT_EQ(2, first[0].id);
    EXPECT_EQ(4, first[2].id);
    EXPECT_EQ(4, header_count());
    std::vector<ScheduleRecord> second = batch(2, "二回目");
    ASSERT_TRUE(appender.append(second));
    EXPECT_TRUE(appender.close());
    EXPECT_EQ(6, store.record_count);
    EXPECT_EQ(6, header_count());
    EXPECT_EQ(static_cast<uintmax_t>(DATA_HEADER_SIZE + 6 * RECORD_SIZE),
              std::filesystem::file_size(store.path));
    ScheduleRecord last;
    ASSERT_TRUE(read_record(store, 6, last));
    EXPECT_EQ(6, last.id);
    EXPECT_STREQ("二回目", last.content);
}

TEST_F(Appender, AFailedBatchLeavesTheCountAsItWas) {
    DataFile missing{folder / "missing" / DATA_FILE_NAME, 0};
    RecordAppender closed(missing);
    std::vector<ScheduleRecord> records = batch(2, "x");
    EXPECT_FALSE(closed.is_open());
    EXPECT_FALSE(closed.append(records));
    // A full disk takes neither the slots nor the count.
    RecordAppender appender(store);
    fail_file_operation(1);
    EXPECT_FALSE(appender.append(records));
    fail_file_operation(0);
    EXPECT_EQ(0, header_count());
    EXPECT_FALSE(appender.append(records));
}

} // namespace
} // namespace vntra
