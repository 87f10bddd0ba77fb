// Every store operation, run once for every file operation it makes with that
// one operation failing. After each run nothing that existed may be lost: each
// record is still in its slot, the count claims no slot that is missing, and
// the settings file is the old one or the new one, whole.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <iostream>
#include <iterator>
#include <vector>

#include "platform/file_io.h"
#include "store/compaction.h"
#include "store/data_file.h"
#include "store/record_appender.h"
#include "store/settings_record.h"
#include "support/records.h"
#include "support/temp_folder.h"

namespace vntra {
namespace {

using testing::dated_record;
using testing::read_file_bytes;
using testing::TempFolder;
using testing::write_file_bytes;

const LocalDate TODAY{2004, 4, 11};
const int32_t EXPIRY_DAYS = 100;

struct Tally {
    long faults = 0;
    long records_lost = 0;
    long damaged_headers = 0;
};

Tally& tally() {
    static Tally t;
    return t;
}

bool& fault_reached() {
    static bool reached = false;
    return reached;
}

// Runs the operations of the store with the n-th file operation failing; the
// set-up before and the checks after run fault-free.
template <typename Operation> void with_fault(long n, Operation operation) {
    fail_file_operation(n);
    operation();
    fault_reached() = file_fault_injected();
    fail_file_operation(0);
}

// Runs `attempt` for n = 1, 2, … until its operation completes without
// reaching the n-th file operation. Returns the faults injected.
long inject_each(const std::function<void(long)>& attempt) {
    long faults = 0;
    for (long n = 1; n < 10000; ++n) {
        fault_reached() = false;
        attempt(n);
        fail_file_operation(0);
        if (!fault_reached())
            return faults;
        ++faults;
    }
    ADD_FAILURE() << "the operation never completed";
    return faults;
}

std::vector<ScheduleRecord> starting_records() {
    std::vector<ScheduleRecord> records = {
        dated_record(KIND_ALL_DAY, {2004, 3, 1}, {2004, 3, 1}, "会議"),
        dated_record(KIND_ALL_DAY, {2000, 1, 1}, {2000, 1, 1}, "expired"),
        dated_record(KIND_DATE_SPAN, {2004, 4, 20}, {2004, 5, 2}, "出張", "大阪"),
        deleted_record(4),
        dated_record(KIND_MORNING, {2004, 6, 1}, {2004, 6, 1}, "健診"),
        dated_record(KIND_TODO, {0, 0, 0}, {0, 0, 0}, "ﾚﾎﾟｰﾄ提出"),
    };
    records[5].end_hour = 0;
    for (size_t i = 0; i < records.size(); ++i)
        records[i].id = static_cast<int32_t>(i + 1);
    return records;
}

std::string record_bytes(const ScheduleRecord& r) {
    return std::string(reinterpret_cast<const char*>(&r), sizeof r);
}

std::string data_file_bytes(const std::vector<ScheduleRecord>& records) {
    std::string bytes("ver 2.3\0", 8);
    int32_t count = static_cast<int32_t>(records.size());
    bytes.append(reinterpret_cast<const char*>(&count), sizeof count);
    for (const ScheduleRecord& r : records)
        bytes += record_bytes(r);
    return bytes;
}

int32_t count_in(const std::string& bytes) {
    int32_t count = -1;
    if (bytes.size() >= 12)
        std::memcpy(&count, bytes.data() + 8, sizeof count);
    return count;
}

std::string slot_in(const std::string& bytes, int32_t id) {
    size_t offset = 12 + static_cast<size_t>(id - 1) * 212;
    return offset + 212 <= bytes.size() ? bytes.substr(offset, 212) : std::string();
}

// Whether some whole slot holds the record, under any id (compaction renumbers).
bool holds(const std::string& bytes, const ScheduleRecord& r) {
    for (size_t at = 12; at + 212 <= bytes.size(); at += 212)
        if (bytes.compare(at + 4, 208, record_bytes(r), 4, 208) == 0)
            return true;
    return false;
}

// The slots 1..count of a data file: the count must be readable and every
// slot it claims must be there.
::testing::AssertionResult whole_data_file(const std::string& bytes) {
    int32_t count = count_in(bytes);
    if (count < 0)
        return ::testing::AssertionFailure() << "no readable count";
    if (bytes.size() < 12 + static_cast<size_t>(count) * 212)
        return ::testing::AssertionFailure() << "count " << count << " claims missing slots";
    return ::testing::AssertionSuccess();
}

// Slots of the old file that the data file no longer holds, where `allowed`
// may say what else a slot may hold after the operation.
long lost_slots(const std::string& bytes, const std::vector<ScheduleRecord>& before,
                const std::function<bool(int32_t, const std::string&)>& allowed) {
    long lost = 0;
    for (const ScheduleRecord& r : before) {
        std::string slot = r.id <= count_in(bytes) ? slot_in(bytes, r.id) : std::string();
        if (slot != record_bytes(r) && !(allowed && allowed(r.id, slot)))
            ++lost;
    }
    return lost;
}

struct StoreRun {
    TempFolder folder;
    DataFile store{folder / DATA_FILE_NAME, 0};
    std::vector<ScheduleRecord> before = starting_records();

    StoreRun() { write_file_bytes(store.path, data_file_bytes(before)); }
    std::string bytes() const { return read_file_bytes(store.path); }
};

void report(const char* operation, long faults, long lost) {
    tally().faults += faults;
    tally().records_lost += lost;
    std::cout << "[ faults   ] " << operation << ": " << faults << " injected, " << lost
              << " records lost; all operations so far: " << tally().faults << " injected, "
              << tally().damaged_headers << " damaged headers tried, " << tally().records_lost
              << " records lost\n";
    EXPECT_GT(faults, 0);
    EXPECT_EQ(0, lost);
}

TEST(FaultInjection, StartUpCountThenAppend) {
    long lost = 0;
    long faults = inject_each([&](long n) {
        StoreRun run;
        ScheduleRecord added = dated_record(KIND_ALL_DAY, {2004, 7, 7}, {2004, 7, 7}, "七夕");
        int32_t id = 0;
        with_fault(n, [&] {
            check_data_file(run.store);
            id = append_record(run.store, added);
        });
        std::string bytes = run.bytes();
        ASSERT_TRUE(whole_data_file(bytes)) << "fault " << n;
        lost += lost_slots(bytes, run.before, nullptr);
        int32_t count = count_in(bytes);
        ASSERT_TRUE(count == 6 || count == 7) << "fault " << n << ": count " << count;
        EXPECT_EQ(id != 0, count == 7) << "fault " << n; // reported as it ended
        if (count == 7) {
            added.id = 7;
            EXPECT_EQ(record_bytes(added), slot_in(bytes, 7)) << "fault " << n;
        }

        // The next append, fault-free, goes behind whatever is there.
        ScheduleRecord next = dated_record(KIND_ALL_DAY, {2004, 8, 1}, {2004, 8, 1}, "次");
        ASSERT_EQ(count + 1, append_record(run.store, next)) << "fault " << n;
        bytes = run.bytes();
        lost += lost_slots(bytes, run.before, nullptr);
        EXPECT_EQ(count + 1, count_in(bytes));
    });
    report("count and append", faults, lost);
}

TEST(FaultInjection, BatchAppendOfAnImport) {
    long lost = 0;
    long faults = inject_each([&](long n) {
        StoreRun run;
        std::vector<ScheduleRecord> batch(
            3, dated_record(KIND_ALL_DAY, {2004, 9, 1}, {2004, 9, 1}, "取込"));
        std::vector<ScheduleRecord> second = batch;
        bool first_stored = false, second_stored = false, closed = false;
        with_fault(n, [&] {
            RecordAppender appender(run.store);
            first_stored = appender.append(batch);
            second_stored = appender.append(second);
            closed = appender.close();
        });
        std::string bytes = run.bytes();
        ASSERT_TRUE(whole_data_file(bytes)) << "fault " << n;
        lost += lost_slots(bytes, run.before, nullptr);
        int32_t count = count_in(bytes);
        EXPECT_EQ(6 + 3 * first_stored + 3 * second_stored, count) << "fault " << n;
        EXPECT_EQ(first_stored && second_stored, closed) << "fault " << n;
        EXPECT_EQ(12u + count * 212u, bytes.size()) << "fault " << n;
        batch.insert(batch.end(), second.begin(), second.end());
        for (int32_t id = 7; id <= count; ++id)
            EXPECT_EQ(record_bytes(batch[id - 7]), slot_in(bytes, id)) << "fault " << n;
    });
    report("batch append", faults, lost);
}

// Damaged headers and half-made files through the start-up check, the
// compaction and an append, each file operation failing in turn.
TEST(FaultInjection, DamagedHeadersLoseNoRecord) {
    const struct {
        const char* what;
        int32_t count;
        size_t file_bytes; // of the starting records behind the header
    } headers[] = {
        {"count -1, 3 slots", -1, 12 + 3 * 212},
        {"count 0, 3 slots", 0, 12 + 3 * 212},
        {"count 2, 3 slots", 2, 12 + 3 * 212},
        {"torn append: slot 5 written, count 4", 4, 12 + 5 * 212},
        {"half made: 0 bytes", 0, 0},
        {"half made: the version text only", 0, 8},
    };
    const int32_t cutoff = expiry_cutoff_key(TODAY, EXPIRY_DAYS);
    for (const auto& header : headers) {
        ++tally().damaged_headers;
        std::string file = data_file_bytes(starting_records());
        std::memcpy(&file[8], &header.count, sizeof header.count);
        file.resize(header.file_bytes);
        long lost = 0;
        long faults = inject_each([&](long n) {
            StoreRun run;
            write_file_bytes(run.store.path, file);
            CompactionPaths paths{run.folder / COMPACT_FILE_NAME, run.folder.path(), {}};
            ScheduleRecord added = dated_record(KIND_ALL_DAY, {2004, 7, 7}, {2004, 7, 7}, "七夕");
            SCOPED_TRACE(std::string(header.what) + ", fault " + std::to_string(n));
            int32_t id = 0;
            with_fault(n, [&] {
                DataFileCheck checked = check_data_file(run.store);
                EXPECT_TRUE(
                    file_fault_injected() ||
                    checked == (file.size() < 12 ? DATA_FILE_RECREATED : DATA_FILE_COUNT_REPAIRED));
                compact_data_file(run.store, paths, TODAY, EXPIRY_DAYS);
                id = append_record(run.store, added);
            });
            std::string bytes = run.bytes();
            // Only a re-creation that failed leaves the file half made, as it was.
            EXPECT_TRUE(bytes.size() < 12 ? bytes == file
                                          : (bytes.size() - 12) / 212 == size_t(count_in(bytes)));
            EXPECT_EQ(id != 0, holds(bytes, added));
            for (size_t slot = 0; 12 + (slot + 1) * 212 <= file.size(); ++slot)
                lost += survives_compaction(run.before[slot], cutoff) &&
                        !holds(bytes, run.before[slot]);
        });
        report(header.what, faults, lost);
    }
}

TEST(FaultInjection, RewriteAndDelete) {
    for (bool deleting : {false, true}) {
        long lost = 0;
        long faults = inject_each([&](long n) {
            StoreRun run;
            ScheduleRecord changed = run.before[2];
            set_text(changed.place, "京都");
            ScheduleRecord expected = deleting ? deleted_record(3) : changed;
            with_fault(n, [&] {
                load_record_count(run.store);
                if (deleting)
                    delete_record(run.store, 3);
                else
                    rewrite_record(run.store, changed);
            });
            std::string bytes = run.bytes();
            ASSERT_TRUE(whole_data_file(bytes)) << "fault " << n;
            EXPECT_EQ(6, count_in(bytes)) << "fault " << n;
            lost += lost_slots(bytes, run.before, [&](int32_t id, const std::string& slot) {
                return id == 3 && slot == record_bytes(expected);
            });
        });
        report(deleting ? "delete" : "rewrite", faults, lost);
    }
}

TEST(FaultInjection, CompactionWithItsBackup) {
    // What a fault-free compaction leaves, for comparison.
    std::string compacted;
    {
        StoreRun clean;
        CompactionPaths paths{clean.folder / COMPACT_FILE_NAME, clean.folder.path(), {}};
        ASSERT_EQ(COMPACTION_DONE,
                  compact_data_file(clean.store, paths, TODAY, EXPIRY_DAYS).outcome);
        compacted = clean.bytes();
        ASSERT_EQ(4, count_in(compacted));
    }
    const std::string OLD_BACKUP = data_file_bytes({starting_records()[0]});
    long lost = 0;
    long faults = inject_each([&](long n) {
        StoreRun run;
        std::filesystem::path chosen = run.folder / "backup";
        std::filesystem::create_directories(chosen);
        write_file_bytes(chosen / BACKUP_FILE_NAME, OLD_BACKUP);
        write_file_bytes(run.folder / BACKUP_FILE_NAME, OLD_BACKUP);
        CompactionPaths paths{run.folder / COMPACT_FILE_NAME, run.folder.path(), chosen};
        with_fault(n, [&] { compact_data_file(run.store, paths, TODAY, EXPIRY_DAYS); });

        std::string bytes = run.bytes();
        ASSERT_TRUE(whole_data_file(bytes)) << "fault " << n;
        bool untouched = bytes == data_file_bytes(run.before);
        EXPECT_TRUE(untouched || bytes == compacted) << "fault " << n;
        if (!untouched && bytes != compacted)
            lost += 4;
        // Each backup is the old one or a copy of the data file, whole.
        for (const std::filesystem::path& backup :
             {chosen / BACKUP_FILE_NAME, run.folder / BACKUP_FILE_NAME}) {
            std::string copy = read_file_bytes(backup);
            EXPECT_TRUE(copy == OLD_BACKUP || copy == bytes) << "fault " << n << ": " << backup;
        }
    });
    report("compaction and backup", faults, lost);
}

SettingsRecord settings_with(int32_t port, int32_t mark_range) {
    SettingsRecord s = default_settings("C:\\予定表\\");
    std::strcpy(s.smtp_server, "mail.example.jp");
    s.smtp_port = port;
    s.mark_range = mark_range;
    return s;
}

std::string settings_bytes(const SettingsRecord& s) {
    return std::string(reinterpret_cast<const char*>(&s), sizeof s);
}

TEST(FaultInjection, SettingsSave) {
    long faults = inject_each([&](long n) {
        TempFolder folder;
        std::filesystem::path path = folder / SETTINGS_FILE_NAME;
        ASSERT_TRUE(save_settings(path, settings_with(587, MARK_THIS_WEEK)));
        bool saved = false;
        with_fault(n, [&] { saved = save_settings(path, settings_with(2525, MARK_TODAY)); });
        std::string bytes = read_file_bytes(path);
        EXPECT_EQ(saved ? settings_bytes(settings_with(2525, MARK_TODAY))
                        : settings_bytes(settings_with(587, MARK_THIS_WEEK)),
                  bytes)
            << "fault " << n;
        // No temporary copy is left to take the next save's name.
        EXPECT_EQ(1, std::distance(std::filesystem::directory_iterator(folder.path()),
                                   std::filesystem::directory_iterator()))
            << "fault " << n;
    });
    report("settings save", faults, 0);
}

TEST(FaultInjection, SettingsLoadThenSave) {
    // The ★ radio: the loaded settings with one field changed, saved whole.
    long faults = inject_each([&](long n) {
        TempFolder folder;
        std::filesystem::path path = folder / SETTINGS_FILE_NAME;
        write_file_bytes(path, settings_bytes(settings_with(587, MARK_THIS_WEEK)));
        with_fault(n, [&] {
            SettingsRecord loaded = load_settings(path, "C:\\予定表\\");
            loaded.mark_range = MARK_TODAY;
            save_settings(path, loaded);
        });
        std::string bytes = read_file_bytes(path);
        EXPECT_TRUE(bytes == settings_bytes(settings_with(587, MARK_THIS_WEEK)) ||
                    bytes == settings_bytes(settings_with(587, MARK_TODAY)))
            << "fault " << n << ": the defaults were saved over the user's settings";
    });
    report("settings load and save", faults, 0);
}

} // namespace
} // namespace vntra
