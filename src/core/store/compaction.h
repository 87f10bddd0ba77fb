// The exit-time compaction: drops deleted slots and expired dated records,
// renumbers the rest, replaces the data file and writes the backup.
#ifndef VNTRA_STORE_COMPACTION_H
#define VNTRA_STORE_COMPACTION_H

#include <cstdint>
#include <filesystem>

#include "store/data_file.h"
#include "store/schedule_keys.h"

namespace vntra {

struct CompactionPaths {
    std::filesystem::path compact_copy;   // "vntradata2.fil" beside the data file
    std::filesystem::path program_folder; // where the backup goes when the chosen folder fails
    std::filesystem::path
        backup_folder; // the folder the user chose; empty means the program folder
};

enum CompactionOutcome {
    COMPACTION_DONE,           // the data file was replaced by its compacted copy
    COMPACTION_NO_DATA_FILE,   // nothing to compact
    COMPACTION_COPY_FAILED,    // the copy could not be completed; the data file is untouched
    COMPACTION_REPLACE_FAILED, // the copy was complete but could not take the data file's place
    COMPACTION_NO_EXPIRY,      // an unset (≤ 0) expiry period: nothing is purged
    COMPACTION_READ_FAILED,    // the data file is there but could not be read whole: the data
                               // file and the backup are left as they were
};

struct CompactionResult {
    CompactionOutcome outcome;
    int32_t kept_records;              // valid when outcome is COMPACTION_DONE
    std::filesystem::path backup_path; // empty when no backup could be written
};

// The date_key of the day `expiry_days` before today: records starting on
// or before it are expired.
int32_t expiry_cutoff_key(const LocalDate& today, int32_t expiry_days);

// Keeps ToDo items and live records that start after the cutoff.
bool survives_compaction(const ScheduleRecord& record, int32_t cutoff_key);

CompactionResult compact_data_file(DataFile& store, const CompactionPaths& paths,
                                   const LocalDate& today, int32_t expiry_days);

} // namespace vntra

#endif
