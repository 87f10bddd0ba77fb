#include "store/compaction.h"

#include <system_error>

namespace vntra {
namespace {

// Writes the surviving records into the copy, renumbered, and pushes it to the
// disk. False if any byte could not be written.
bool write_compacted_copy(DataFile& store, const std::filesystem::path& copy_path,
                          int32_t cutoff_key, int32_t& kept) {
    FilePtr copy = open_file(copy_path, "wb");
    if (!copy)
        return false;
    bool ok = write_data_header(copy.get(), store.record_count);
    std::vector<ScheduleRecord> block;
    block.reserve(512);
    kept = 0;
    auto flush_block = [&] {
        ok = ok && std::fwrite(block.data(), sizeof(ScheduleRecord), block.size(), copy.get()) ==
                       block.size();
        block.clear();
    };
    scan_records(store, [&](const ScheduleRecord& record) {
        if (!survives_compaction(record, cutoff_key))
            return;
        ScheduleRecord renumbered = record;
        renumbered.id = ++kept;
        block.push_back(renumbered);
        if (block.size() == block.capacity())
            flush_block();
    });
    flush_block();
    ok = ok && write_data_header(copy.get(), kept) && flush_to_disk(copy.get());
    return close_checked(std::move(copy)) && ok;
}

bool copy_over(const std::filesystem::path& from, const std::filesystem::path& to) {
    std::error_code error;
    return std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing,
                                      error) &&
           !error;
}

// The backup goes to the chosen folder, or to the program folder when the
// chosen one cannot take it.
std::filesystem::path write_backup(const std::filesystem::path& data_path,
                                   const CompactionPaths& paths) {
    std::error_code error;
    if (!std::filesystem::exists(data_path, error))
        return {};
    if (!paths.backup_folder.empty()) {
        std::filesystem::path chosen = paths.backup_folder / BACKUP_FILE_NAME;
        if (copy_over(data_path, chosen))
            return chosen;
    }
    std::filesystem::path fallback = paths.program_folder / BACKUP_FILE_NAME;
    return copy_over(data_path, fallback) ? fallback : std::filesystem::path{};
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
    } else if (open_file(store.path, "rb")) {
        load_record_count(store);
        int32_t kept = 0;
        int32_t cutoff = expiry_cutoff_key(today, expiry_days);
        if (!write_compacted_copy(store, paths.compact_copy, cutoff, kept)) {
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
    result.backup_path = write_backup(store.path, paths);
    return result;
}

} // namespace vntra
