#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "store/compaction.h"
#include "support/data_file_fixture.h"
#include "support/records.h"
#include "support/temp_folder.h"

namespace vntra {
namespace {

using testing::read_file_bytes;
using testing::write_file_bytes;

using testing::dated_record;

ScheduleRecord on(LocalDate day, const char* content) {
    return dated_record(KIND_ALL_DAY, day, day, content);
}

ScheduleRecord todo(const char* content) {
    ScheduleRecord r = blank_record();
    r.kind = KIND_TODO;
    set_text(r.content, content);
    return r;
}

struct CompactionFixture : testing::DataFileTest {
    CompactionPaths paths{folder / COMPACT_FILE_NAME, folder.path(), folder.path()};

    std::vector<std::string> contents() {
        std::vector<std::string> texts;
        DataFile reader{store.path, 0};
        load_record_count(reader);
        scan_records(reader, [&](const ScheduleRecord& r) {
            texts.push_back(std::to_string(r.id) + ":" + r.content);
        });
        return texts;
    }
};

TEST(ExpiryCutoff, SubtractsAcrossMonthsAndLeapDays) {
    EXPECT_EQ(20040102, expiry_cutoff_key({2004, 4, 11}, 100));
    EXPECT_EQ(20040229, expiry_cutoff_key({2004, 3, 1}, 1));
    EXPECT_EQ(20251231, expiry_cutoff_key({2026, 1, 1}, 1));
}

TEST_F(CompactionFixture, DropsDeletedAndExpiredAndRenumbers) {
    add(on({2004, 3, 1}, "one"));
    add(on({2004, 3, 2}, "two"));
    add(on({2004, 3, 3}, "three"));
    add(on({2004, 1, 2}, "four")); // on the cutoff date: expired
    add(on({2004, 3, 5}, "five"));
    ASSERT_TRUE(delete_record(store, 2));

    CompactionResult result = compact_data_file(store, paths, {2004, 4, 11}, 100);
    EXPECT_EQ(COMPACTION_DONE, result.outcome);
    EXPECT_EQ(3, result.kept_records);
    EXPECT_EQ(3, store.record_count);
    EXPECT_EQ((std::vector<std::string>{"1:one", "2:three", "3:five"}), contents());

    std::string bytes = read_file_bytes(store.path);
    ASSERT_EQ(12u + 3 * 212, bytes.size());
    EXPECT_EQ(std::string("ver 2.3\0", 8), bytes.substr(0, 8));
    EXPECT_EQ(folder / BACKUP_FILE_NAME, result.backup_path);
    EXPECT_EQ(bytes, read_file_bytes(folder / BACKUP_FILE_NAME));
    EXPECT_FALSE(std::filesystem::exists(paths.compact_copy));
}

TEST_F(CompactionFixture, StartDateDecidesAndTodosAlwaysStay) {
    add(on({2004, 1, 3}, "day after cutoff"));
    add(dated_record(KIND_DATE_SPAN, {2003, 12, 28}, {2004, 2, 5}, "span started before"));
    add(todo("old todo"));
    ScheduleRecord armed = on({2003, 6, 1}, "armed but old");
    armed.reminder_state = TRIGGER_ARMED;
    add(armed);
    compact_data_file(store, paths, {2004, 4, 11}, 100);
    EXPECT_EQ((std::vector<std::string>{"1:day after cutoff", "2:old todo"}), contents());
}

TEST_F(CompactionFixture, LeapDayCutoff) {
    add(on({2004, 2, 29}, "leap"));
    add(on({2004, 3, 1}, "march"));
    compact_data_file(store, paths, {2004, 3, 1}, 1);
    EXPECT_EQ((std::vector<std::string>{"1:march"}), contents());
}

TEST_F(CompactionFixture, EmptyFileStaysTheEmptyHeader) {
    add(on({2000, 1, 1}, "ancient"));
    CompactionResult result = compact_data_file(store, paths, {2004, 4, 11}, 100);
    EXPECT_EQ(0, result.kept_records);
    std::string bytes = read_file_bytes(store.path);
    EXPECT_EQ(std::string("ver 2.3\0\0\0\0\0", 12), bytes);
    EXPECT_EQ(bytes, read_file_bytes(folder / BACKUP_FILE_NAME));
}

TEST_F(CompactionFixture, UnwritableCopyLeavesTheDataFileUntouched) {
    add(on({2004, 3, 1}, "keep"));
    add(on({2000, 3, 1}, "old"));
    std::string before = read_file_bytes(store.path);
    // A folder in the copy's place: the copy cannot be created.
    std::filesystem::create_directories(paths.compact_copy / "occupied");
    CompactionResult result = compact_data_file(store, paths, {2004, 4, 11}, 100);
    EXPECT_EQ(COMPACTION_COPY_FAILED, result.outcome);
    EXPECT_EQ(before, read_file_bytes(store.path));
    EXPECT_EQ(2, store.record_count);
    // The backup still holds the (uncompacted) data.
    EXPECT_EQ(before, read_file_bytes(result.backup_path));
}

TEST_F(CompactionFixture, UnsetExpiryNeverPurges) {
    add(on({2000, 3, 1}, "old"));
    std::string before = read_file_bytes(store.path);
    for (int32_t expiry : {0, -1}) {
        CompactionResult result = compact_data_file(store, paths, {2004, 4, 11}, expiry);
        EXPECT_EQ(COMPACTION_NO_EXPIRY, result.outcome);
        EXPECT_EQ(before, read_file_bytes(store.path));
    }
}

TEST_F(CompactionFixture, TruncatedDataFileKeepsWhatIsThere) {
    add(on({2004, 3, 1}, "a"));
    add(on({2004, 3, 2}, "b"));
    add(on({2004, 3, 3}, "c"));
    std::string bytes = read_file_bytes(store.path);
    write_file_bytes(store.path, bytes.substr(0, 12 + 2 * 212 + 50));
    CompactionResult result = compact_data_file(store, paths, {2004, 4, 11}, 100);
    EXPECT_EQ(COMPACTION_DONE, result.outcome);
    EXPECT_EQ((std::vector<std::string>{"1:a", "2:b"}), contents());
    EXPECT_EQ(12u + 2 * 212, read_file_bytes(store.path).size());
}

// A data file that is there but cannot be read (here a folder has its name)
// is not an empty one: nothing is compacted and the old backup stays.
TEST_F(CompactionFixture, UnreadableDataFileLeavesDataAndBackupAlone) {
    add(on({2004, 3, 1}, "a"));
    std::string data = read_file_bytes(store.path);
    write_file_bytes(folder / BACKUP_FILE_NAME, data);
    std::filesystem::path moved = folder / "moved.fil";
    std::filesystem::rename(store.path, moved);
    std::filesystem::create_directories(store.path / "occupied");

    CompactionResult result = compact_data_file(store, paths, {2004, 4, 11}, 100);
    EXPECT_EQ(COMPACTION_READ_FAILED, result.outcome);
    EXPECT_TRUE(result.backup_path.empty());
    EXPECT_EQ(data, read_file_bytes(folder / BACKUP_FILE_NAME));
    EXPECT_EQ(1, store.record_count);
    EXPECT_TRUE(std::filesystem::is_directory(store.path));
    EXPECT_FALSE(std::filesystem::exists(paths.compact_copy));
}

// Backups written again and again must each equal the data file of their run
// (a library copy that refuses to replace a file would keep the first).
TEST_F(CompactionFixture, EveryRunReplacesTheBackup) {
    std::filesystem::create_directories(folder / "chosen");
    for (const char* content : {"first", "second", "third"}) {
        add(on({2004, 3, 1}, content));
        paths.backup_folder = folder / "chosen";
        CompactionResult result = compact_data_file(store, paths, {2004, 4, 11}, 100);
        EXPECT_EQ(folder / "chosen" / BACKUP_FILE_NAME, result.backup_path) << content;
        EXPECT_EQ(read_file_bytes(store.path), read_file_bytes(result.backup_path)) << content;
        // The fallback is replaced the same way.
        paths.backup_folder.clear();
        result = compact_data_file(store, paths, {2004, 4, 11}, 100);
        EXPECT_EQ(read_file_bytes(store.path), read_file_bytes(folder / BACKUP_FILE_NAME));
    }
    EXPECT_EQ((std::vector<std::string>{"1:first", "2:second", "3:third"}), contents());
}

TEST_F(CompactionFixture, MissingDataFileMakesNoBackup) {
    std::filesystem::remove(store.path);
    CompactionResult result = compact_data_file(store, paths, {2004, 4, 11}, 100);
    EXPECT_EQ(COMPACTION_NO_DATA_FILE, result.outcome);
    EXPECT_TRUE(result.backup_path.empty());
    EXPECT_FALSE(std::filesystem::exists(folder / BACKUP_FILE_NAME));
}

TEST_F(CompactionFixture, BackupGoesToTheChosenFolder) {
    add(on({2004, 3, 1}, "a"));
    std::filesystem::create_directories(folder / "バックアップ");
    paths.backup_folder = folder / "バックアップ";
    CompactionResult result = compact_data_file(store, paths, {2004, 4, 11}, 100);
    EXPECT_EQ(folder / "バックアップ" / BACKUP_FILE_NAME, result.backup_path);
    EXPECT_EQ(read_file_bytes(store.path), read_file_bytes(result.backup_path));
    EXPECT_FALSE(std::filesystem::exists(folder / BACKUP_FILE_NAME));
}

TEST_F(CompactionFixture, UnwritableBackupFolderFallsBackToTheProgramFolder) {
    add(on({2004, 3, 1}, "a"));
    paths.backup_folder = folder / "gone";
    CompactionResult result = compact_data_file(store, paths, {2004, 4, 11}, 100);
    EXPECT_EQ(folder / BACKUP_FILE_NAME, result.backup_path);
    EXPECT_EQ(read_file_bytes(store.path), read_file_bytes(result.backup_path));
}

TEST_F(CompactionFixture, UnwritableBackupKeepsTheCompactedFile) {
    add(on({2004, 3, 1}, "a"));
    add(on({2000, 3, 1}, "old"));
    // The backup's name is taken by a folder in both places.
    std::filesystem::create_directories(folder / BACKUP_FILE_NAME / "occupied");
    CompactionResult result = compact_data_file(store, paths, {2004, 4, 11}, 100);
    EXPECT_EQ(COMPACTION_DONE, result.outcome);
    EXPECT_TRUE(result.backup_path.empty());
    EXPECT_EQ((std::vector<std::string>{"1:a"}), contents());
}

} // namespace
} // namespace vntra

namespace vntra {
namespace {

// Where the system enforces the read-only attribute (Windows; not root on
// Linux), a read-only backup must not stop the exit or undo the compaction.
TEST_F(CompactionFixture, ReadOnlyBackupKeepsTheCompactedFile) {
    add(on({2004, 3, 1}, "a"));
    add(on({2000, 3, 1}, "old"));
    std::filesystem::path backup = folder / BACKUP_FILE_NAME;
    write_file_bytes(backup, "older backup");
    std::filesystem::permissions(backup,
                                 std::filesystem::perms::owner_write |
                                     std::filesystem::perms::group_write |
                                     std::filesystem::perms::others_write,
                                 std::filesystem::perm_options::remove);
    if (open_file(backup, "ab"))
        GTEST_SKIP() << "this system lets us write read-only files";
    CompactionResult result = compact_data_file(store, paths, {2004, 4, 11}, 100);
    EXPECT_EQ(COMPACTION_DONE, result.outcome);
    EXPECT_TRUE(result.backup_path.empty());
    EXPECT_EQ("older backup", read_file_bytes(backup));
    EXPECT_EQ((std::vector<std::string>{"1:a"}), contents());
    std::filesystem::permissions(backup, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
}

} // namespace
} // namespace vntra
