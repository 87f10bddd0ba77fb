// What earlier iCalendar imports took, kept in a small file beside the data
// file ("vntraical.fil"), so that importing the same calendar again does not
// double the schedule. The data file's layout stays as it is.
//
// Each entry ties an event instance (its UID and which occurrence) to the
// record it became, by a fingerprint of the record's kind, dates, times and
// texts: the fields that compaction copies unchanged while it renumbers the
// ids, and that the alarm and reminder marks leave alone. An entry counts
// while a live record with its fingerprint exists; an entry whose record is
// gone counts only when the record would have expired (compaction purges
// expired records, and bringing them back on every import would be wrong),
// otherwise the user deleted or changed the record and the next import may
// bring the calendar's version back. Entries that no longer count are
// dropped when the file is written again after an import.
#ifndef VNTRA_EXCHANGE_ICAL_IMPORT_MEMORY_H
#define VNTRA_EXCHANGE_ICAL_IMPORT_MEMORY_H

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "store/data_file.h"

namespace vntra {

const char IMPORT_MEMORY_FILE_NAME[] = "vntraical.fil";
const char IMPORT_MEMORY_VERSION[8] = "vical 1";

struct ImportMemoryEntry {
    uint64_t event_key;    // of the UID and the instance
    uint64_t record_print; // of the record it became
    int32_t start_key;     // the record's start date_key; 0 for a ToDo item
    int32_t reserved;      // 0
};
static_assert(sizeof(ImportMemoryEntry) == 24);
static_assert(offsetof(ImportMemoryEntry, record_print) == 8);
static_assert(offsetof(ImportMemoryEntry, start_key) == 16);

// FNV-1a over the fields named above; also the root of exported UIDs.
uint64_t record_print(const ScheduleRecord& record);
uint64_t event_key(std::string_view uid, std::string_view instance);

// The UID an export gives a record: its fingerprint, and which of the
// records with that fingerprint it is in file order (compaction keeps the
// order), so that it stays the same from one export to the next.
std::string exported_uid(uint64_t print, int32_t ordinal);
// The fingerprint inside such a UID; false for any other UID.
bool exported_uid_print(std::string_view uid, uint64_t& print);

enum MemoryLoad {
    MEMORY_LOADED,
    MEMORY_UNREADABLE, // the file is there but cannot be read whole
    MEMORY_DATA_UNREADABLE,
};

class ImportMemory {
  public:
    // Reads the file beside the data file and the data file's live records.
    // `expiry_cutoff_key` is the date_key up to which compaction purges
    // dated records, 0 when it purges none.
    MemoryLoad load(const DataFile& store, int32_t expiry_cutoff_key);

    bool knows(uint64_t key) const { return keys_.count(key) != 0; }
    // Whether a live record has this fingerprint.
    bool has_record(uint64_t print) const { return prints_.count(print) != 0; }
    // Notes a stored record; a key seen again in the same file is known.
    void remember(uint64_t key, const ScheduleRecord& stored);

    // Writes the entries that count, whole, in place of the old file.
    bool save() const;

  private:
    std::filesystem::path path_;
    std::vector<ImportMemoryEntry> entries_;
    std::unordered_set<uint64_t> keys_;
    std::unordered_set<uint64_t> prints_;
};

} // namespace vntra

#endif
