#include "store/compaction.h"

#include <system_error>

namespace vntra {
namespace {

enum CopyOutcome { COPY_WRITTEN, COPY_READ_FAILED, COPY_WRITE_FAILED };

// Writes the surviving records into the copy, renumbered, and pushes it to the
// disk. Every whole slot is read through one open handle, so that a file that
// cannot be read is never mistaken for one without records, and a header whose
// count was damaged or not yet raised (a torn append) cannot make it drop any.
CopyOutcome write_compacted_copy(DataFile& store, const std::filesystem::path& copy_path,
                                 int32_t cutoff_key, int32_t& kept) {
    RecordReader reader(store.path, RecordReader::WHOLE_FILE);
    if (reader.failed())
        return COPY_READ_FAILED;
    store.record_count = reader.count();
    FilePtr copy = open_file_unbuffered(copy_path, "wb");
    if (!copy)
        return COPY_WRITE_FAILED;
    bool ok = write_data_header(copy.get(), reader.count());
    std::vector<ScheduleRecord> block;
    block.reserve(512);
    kept = 0;
    auto flush_block = [&] {
        ok = ok && write_items(copy.get(), block.data(), sizeof(ScheduleRecord), block.size());
        block.clear();
    };
    ScheduleRecord record;
    while (ok && reader.next(record)) {
        if (!survives_compaction(record, cutoff_key))
            continue;
        ScheduleRecord renumbered = record;
        renumbered.id = ++kept;
        block.push_back(renumbered);
        if (block.size() == block.capacity())
            flush_block();
    }
    flush_block();
    ok = ok && write_data_header(copy.get(), kept) && flush_to_disk(copy.get());
    ok = close_checked(std::move(copy)) && ok;
    if (reader.failed())
        return COPY_READ_FAILED;
    return ok ? COPY_WRITTEN : COPY_WRITE_FAILED;
}

// The backup goes to the chosen folder, or to the program folder when the
// chosen one cannot take it.
std::filesystem::path write_backup(const std::filesystem::path& data_path,
                                   const CompactionPaths& paths) {
    if (file_is_missing(data_path))
        return {};
    if (!paths.backup_folder.empty()) {
        std::filesystem::path chosen = paths.backup_folder / BACKUP_FILE_NAME;
        if (copy_file_over(data_path, chosen))
            return chosen;
    }
    std::filesystem::path fallback = paths.program_folder / BACKUP_FILE_NAME;
    return copy_file_over(data_path, fallback) ? fallback : std::filesystem::path{};
}

} // namespace

int32_t expiry_cutoff_key(const LocalDate& today, int32_t expiry_days) {
    return make_date_key(days_before(today, expiry_days));
}

bool survives_compaction(const ScheduleRecord& record, int32_t cutoff_key) {
    if (record.kind == KIND_TODO)
        return true;
    return record.kind != KIND_DELETED && start_date_key(record) > cutoff_key;
}

CompactionResult compact_data_file(DataFile& store, const CompactionPaths& paths,
                                   const LocalDate& today, int32_t expiry_days) {
    CompactionResult result{COMPACTION_NO_DATA_FILE, 0, {}};
    if (expiry_days <= 0) {
        result.outcome = COMPACTION_NO_EXPIRY;
    } else if (!file_is_missing(store.path)) {
        int32_t kept = 0;
        int32_t cutoff = expiry_cutoff_key(today, expiry_days);
        CopyOutcome copied = write_compacted_copy(store, paths.compact_copy, cutoff, kept);
        if (copied == COPY_READ_FAILED) {
            result.outcome = COMPACTION_READ_FAILED;
        } else if (copied == COPY_WRITE_FAILED) {
            result.outcome = COMPACTION_COPY_FAILED;
        } else if (!replace_file(paths.compact_copy, store.path)) {
            result.outcome = COMPACTION_REPLACE_FAILED;
        } else {
            result.outcome = COMPACTION_DONE;
            result.kept_records = kept;
            store.record_count = kept;
        }
        if (result.outcome != COMPACTION_DONE) {
            std::error_code ignored;
            std::filesystem::remove(paths.compact_copy, ignored);
        }
    }
    // A data file that could not be read would only carry its failure into
    // the backup: the older backup is worth more.
    if (result.outcome != COMPACTION_READ_FAILED)
        result.backup_path = write_backup(store.path, paths);
    return result;
}

} // namespace vntra
