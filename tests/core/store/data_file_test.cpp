#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/file_io.h"
#include "store/data_file.h"
#include "store/sorted_list.h"
#include "support/temp_folder.h"

namespace vntra {
namespace {

using testing::read_file_bytes;
using testing::TempFolder;
using testing::write_file_bytes;

int32_t int_at(const std::string& bytes, size_t offset) {
    int32_t value = 0;
    std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

ScheduleRecord all_day(int32_t y, int32_t m, int32_t d, const char* content) {
    ScheduleRecord r = blank_record();
    r.kind = KIND_ALL_DAY;
    r.start_year = r.end_year = y;
    r.start_month = r.end_month = m;
    r.start_day = r.end_day = d;
    r.end_hour = 24;
    set_text(r.content, content);
    return r;
}

struct StoreFixture : ::testing::Test {
    TempFolder folder;
    DataFile store{folder / DATA_FILE_NAME, 0};

    void SetUp() override { ASSERT_TRUE(create_data_file(store.path)); }

    void append_days(int count) {
        for (int i = 1; i <= count; ++i) {
            ScheduleRecord r = all_day(2004, 3, i, "予定");
            int32_t expected_id = store.record_count + 1;
            ASSERT_EQ(expected_id, append_record(store, r));
        }
    }
};

TEST_F(StoreFixture, NewFileIsTheTwelveByteHeader) {
    std::string bytes = read_file_bytes(store.path);
    ASSERT_EQ(12u, bytes.size());
    EXPECT_EQ(std::string("ver 2.3\0", 8), bytes.substr(0, 8));
    EXPECT_EQ(0, int_at(bytes, 8));
    EXPECT_EQ(0, load_record_count(store));
}

TEST_F(StoreFixture, AppendWritesCountAndSlotAtTheirOffsets) {
    append_days(5);
    ScheduleRecord sixth = all_day(2004, 4, 1, "六番目");
    sixth.id = 99; // the store decides the id
    EXPECT_EQ(6, append_record(store, sixth));
    EXPECT_EQ(6, sixth.id);

    std::string bytes = read_file_bytes(store.path);
    ASSERT_EQ(12u + 6 * 212, bytes.size());
    EXPECT_EQ(6, int_at(bytes, 8));
    EXPECT_EQ(6, int_at(bytes, 1072));                // id of slot 6
    EXPECT_EQ(KIND_ALL_DAY, int_at(bytes, 1072 + 4)); // its kind
    EXPECT_EQ(2004, int_at(bytes, 1072 + 8));         // its start year
    EXPECT_EQ(0, std::memcmp(bytes.data() + 1072 + 48, "六番目", 6));

    DataFile reopened{store.path, 0};
    EXPECT_EQ(6, load_record_count(reopened));
    ScheduleRecord read = blank_record();
    ASSERT_TRUE(read_record(reopened, 6, read));
    EXPECT_STREQ("六番目", read.content);
}

TEST_F(StoreFixture, DeleteBlanksTheSlotInPlace) {
    append_days(5);
    ScheduleRecord third;
    ASSERT_TRUE(read_record(store, 3, third));
    set_text(third.place, "会議室");
    third.alarm_state = TRIGGER_ARMED;
    ASSERT_TRUE(rewrite_record(store, third));
    ASSERT_TRUE(delete_record(store, 3));

    std::string bytes = read_file_bytes(store.path);
    ASSERT_EQ(12u + 5 * 212, bytes.size());
    EXPECT_EQ(5, int_at(bytes, 8));
    ScheduleRecord expected = deleted_record(3);
    EXPECT_EQ(0, std::memcmp(&expected, bytes.data() + 12 + 2 * 212, 212));

    std::vector<int32_t> kinds;
    scan_records(store, [&](const ScheduleRecord& r) { kinds.push_back(r.kind); });
    EXPECT_EQ((std::vector<int32_t>{5, 5, 0, 5, 5}), kinds);
}

TEST_F(StoreFixture, ScansStopWhereAFileShorterThanItsCountEnds) {
    append_days(5);
    std::string bytes = read_file_bytes(store.path);
    write_file_bytes(store.path, bytes.substr(0, 12 + 3 * 212 + 100)); // 3½ slots, count 5
    DataFile truncated{store.path, 0};
    EXPECT_EQ(5, load_record_count(truncated));
    std::vector<int32_t> ids;
    scan_records(truncated, [&](const ScheduleRecord& r) { ids.push_back(r.id); });
    EXPECT_EQ((std::vector<int32_t>{1, 2, 3}), ids);
    ScheduleRecord r;
    EXPECT_FALSE(read_record(truncated, 4, r));
    EXPECT_FALSE(read_record(truncated, 0, r));
}

TEST_F(StoreFixture, ScansReadOnlyTheCountedSlots) {
    append_days(3);
    store.record_count = 2; // a record appended by someone else is not seen
    int seen = 0;
    scan_records(store, [&](const ScheduleRecord&) { ++seen; });
    EXPECT_EQ(2, seen);
}

TEST_F(StoreFixture, FailedAppendLeavesTheCountAndLeavesNoHole) {
    append_days(2);
    std::filesystem::path real = store.path;
    store.path = folder / "missing" / DATA_FILE_NAME;
    ScheduleRecord r = all_day(2004, 5, 1, "失敗");
    EXPECT_EQ(0, append_record(store, r));
    EXPECT_EQ(2, store.record_count);
    EXPECT_FALSE(rewrite_record(store, all_day(2004, 5, 1, "x")));
    EXPECT_FALSE(delete_record(store, 1));

    store.path = real;
    EXPECT_EQ(3, append_record(store, r));
    std::string bytes = read_file_bytes(store.path);
    EXPECT_EQ(12u + 3 * 212, bytes.size());
    EXPECT_EQ(3, int_at(bytes, 8));
}

TEST_F(StoreFixture, RewriteRefusesIdsOutsideTheFile) {
    append_days(2);
    ScheduleRecord r = all_day(2004, 5, 1, "x");
    r.id = 3;
    EXPECT_FALSE(rewrite_record(store, r));
    r.id = 0;
    EXPECT_FALSE(rewrite_record(store, r));
    EXPECT_EQ(12u + 2 * 212, read_file_bytes(store.path).size());
}

TEST_F(StoreFixture, MissingFileReadsAsEmptyButKeepsTheCount) {
    DataFile missing{folder / "none.fil", 7};
    // A count that cannot be read is no reason to forget the one we had.
    EXPECT_EQ(7, load_record_count(missing));
    int seen = 0;
    scan_records(missing, [&](const ScheduleRecord&) { ++seen; });
    EXPECT_EQ(0, seen);
}

// Whatever the store remembers or the header says, a new record goes behind
// the slots the file holds: no stale or damaged count may overwrite record 1.
TEST_F(StoreFixture, AppendAndRewriteGoByTheSlotsInTheFile) {
    append_days(5);
    std::string before = read_file_bytes(store.path);
    for (int32_t remembered : {0, 2, 9, -1}) {
        std::string damaged = before;
        std::memcpy(&damaged[8], &remembered, sizeof remembered);
        write_file_bytes(store.path, damaged);
        DataFile stale{store.path, remembered};
        ScheduleRecord rewritten;
        ASSERT_TRUE(read_record(stale, 5, rewritten));
        EXPECT_TRUE(rewrite_record(stale, rewritten)) << remembered;
        rewritten.id = 6;
        EXPECT_FALSE(rewrite_record(stale, rewritten)) << remembered;

        ScheduleRecord r = all_day(2004, 5, 1, "追加");
        EXPECT_EQ(6, append_record(stale, r)) << remembered;
        EXPECT_EQ(6, stale.record_count);
        std::string after = read_file_bytes(store.path);
        EXPECT_EQ(before.substr(12), after.substr(12, 5 * 212)) << remembered;
        EXPECT_EQ(6, int_at(after, 8));
    }
}

TEST_F(StoreFixture, ReaderTellsAReadErrorFromAShortFile) {
    append_days(3);
    struct Case {
        const char* what;
        size_t file_bytes;
        long failing_operation; // counted from the reader's open; 0 for none
        std::vector<int32_t> ids;
        bool failed;
    };
    const Case cases[] = {
        {"whole file", 12 + 3 * 212, 0, {1, 2, 3}, false},
        {"shorter than its count", 12 + 2 * 212 + 7, 0, {1, 2}, false},
        {"header only", 12, 0, {}, false},
        {"open fails", 12 + 3 * 212, 1, {}, true},
        {"count cannot be read", 12 + 3 * 212, 2, {}, true},
        {"slots cannot be read", 12 + 3 * 212, 3, {}, true},
    };
    std::string bytes = read_file_bytes(store.path);
    for (const Case& c : cases) {
        write_file_bytes(store.path, bytes.substr(0, c.file_bytes));
        fail_file_operation(c.failing_operation);
        RecordReader reader(store.path);
        std::vector<int32_t> ids;
        ScheduleRecord r;
        while (reader.next(r))
            ids.push_back(r.id);
        fail_file_operation(0);
        EXPECT_EQ(c.ids, ids) << c.what;
        EXPECT_EQ(c.failed, reader.failed()) << c.what;
    }
}

TEST_F(StoreFixture, SortedListFiltersAndOrdersByKey) {
    ScheduleRecord records[] = {
        all_day(2004, 3, 15, "終日"),
        all_day(2004, 2, 10, "二月"),
        all_day(2004, 3, 1, "一日"),
    };
    ScheduleRecord timed = all_day(2004, 3, 15, "朝");
    timed.kind = KIND_TIME_RANGE;
    timed.start_hour = 9;
    timed.end_hour = 10;
    for (ScheduleRecord& r : records)
        append_record(store, r);
    append_record(store, timed);
    ScheduleRecord todo = blank_record();
    todo.kind = KIND_TODO;
    set_text(todo.content, "買い物");
    append_record(store, todo);
    delete_record(store, 2);

    ScheduleList march = build_sorted_list(
        store, [](const ScheduleRecord& r) { return overlaps_days(r, 20040301, 20040331); });
    ASSERT_EQ(3u, march.size());
    EXPECT_STREQ("一日", march[0].record.content);
    EXPECT_STREQ("朝", march[1].record.content);
    EXPECT_STREQ("終日", march[2].record.content);
    EXPECT_STREQ("2004031510900200403151000", march[1].key);

    ScheduleList todos =
        build_sorted_list(store, [](const ScheduleRecord& r) { return r.kind == KIND_TODO; });
    ASSERT_EQ(1u, todos.size());
    EXPECT_EQ(5, todos[0].record.id);
}

} // namespace
} // namespace vntra
