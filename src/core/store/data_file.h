// The data file: a 12-byte header (version text and record count) followed
// by 212-byte slots. Slot n holds the record whose id is n. Every operation
// opens the file and closes it again; only the record count is kept.
#ifndef VNTRA_STORE_DATA_FILE_H
#define VNTRA_STORE_DATA_FILE_H

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "platform/file_io.h"
#include "store/schedule_record.h"

namespace vntra {

const char DATA_FILE_NAME[] = "vntradata.fil";
const char COMPACT_FILE_NAME[] = "vntradata2.fil";
const char BACKUP_FILE_NAME[] = "vntradata.bak";
const char VERSION_TEXT[8] = "ver 2.3";
const long DATA_HEADER_SIZE = 12;
const long RECORD_COUNT_OFFSET = 8;
const long RECORD_SIZE = sizeof(ScheduleRecord);

struct DataFile {
    std::filesystem::path path;
    // The number of slots the program believes the file holds. Scans read
    // this many, or fewer if the file ends early.
    int32_t record_count = 0;
};

// Writes a new empty file: the version text and a count of 0 (12 bytes).
// The file is made whole beside the path and then moved into place, so a
// failure leaves no half-made file that would refuse every append.
bool create_data_file(const std::filesystem::path& path);

// Writes the version text and the count at the start of an open data file.
bool write_data_header(std::FILE* file, int32_t count);

// Reads the count at offset 8 of an open data file; false when it cannot be
// read. A negative count reads as 0.
bool read_data_header(std::FILE* file, int32_t& count);

// The number of whole slots behind the header of an open data file, which
// is what the file really holds whatever its header says; false when the
// length cannot be had or the file is shorter than its header.
bool count_whole_slots(std::FILE* file, int32_t& slots);

enum DataFileCheck {
    DATA_FILE_SOUND,           // the header counts the slots the file holds
    DATA_FILE_COUNT_REPAIRED,  // the header's count was set to the slots in the file
    DATA_FILE_COUNT_UNWRITTEN, // it disagreed and could not be written; the
                               // store still works to the slots in the file
    DATA_FILE_RECREATED,       // shorter than its header, so holding no record:
                               // replaced by a new empty file
    DATA_FILE_UNREAD,          // could not be read; the store keeps its count
};

// Run once at start-up, before anything else reads or writes the file. The
// slots are the truth: a count that disagrees with the number of whole
// slots (a torn append, a damaged header) is set to that number, so that no
// scan hides a record and the exit compaction keeps them all. Deleted slots
// count as slots. Sets the store's count.
DataFileCheck check_data_file(DataFile& store);

// Reads the count at offset 8 into the store and returns it. When the file
// cannot be read the store keeps the count it had: a count that is too small
// would make the next append overwrite a record.
int32_t load_record_count(DataFile& store);

// Reads the slots of a data file in order, a block at a time. It stops at
// the count or at the end of the file, whichever comes first.
class RecordReader {
  public:
    // Reads as many slots as `count` says.
    RecordReader(const std::filesystem::path& path, int32_t count);
    enum Extent {
        // As many slots as the header of the file it has open counts, so
        // that the count and the slots come from the same file.
        COUNTED_SLOTS,
        // Every whole slot in the file, whatever its header says.
        WHOLE_FILE,
    };
    explicit RecordReader(const std::filesystem::path& path, Extent extent = COUNTED_SLOTS);
    bool is_open() const { return file_ != nullptr; }
    // The count the reader works to.
    int32_t count() const { return count_; }
    // The file could not be opened or a read failed. A file that is merely
    // shorter than its count is not a failure: the scan ends where it ends.
    bool failed() const { return failed_; }
    bool next(ScheduleRecord& record);

  private:
    FilePtr file_;
    int32_t count_ = 0;
    int32_t remaining_ = 0;
    bool failed_ = false;
    std::vector<ScheduleRecord> block_;
    size_t block_used_ = 0;
};

// Hands each slot the store counts, deleted ones included, to the visitor.
template <typename Visitor> void scan_records(const DataFile& store, Visitor&& visit) {
    RecordReader reader(store.path, store.record_count);
    ScheduleRecord record;
    while (reader.next(record))
        visit(record);
}

bool read_record(const DataFile& store, int32_t id, ScheduleRecord& record);

// Gives the record the next id and writes it behind the last slot. The id
// comes from the whole slots of the file being written, never from the
// store's memory or a header that may be damaged, so nothing can make it
// overwrite a record. Returns the new id, or 0 when the record is not
// stored: what the failed append wrote is then cut off again, so that
// neither a later append nor the start-up check brings it back and a retry
// stores it once. A close that fails after everything was written is no
// failure when the file, read again, holds the record.
int32_t append_record(DataFile& store, ScheduleRecord& record);

// Whether the header of the file on disk counts exactly `count` slots and,
// given a record, its slot holds it byte for byte: the test after a close
// that failed once everything had been written.
bool stored_on_disk(const std::filesystem::path& path, int32_t count,
                    const ScheduleRecord* record = nullptr);

// Takes back the slots a given-up append left behind the first `slots`,
// unless the count on disk already covers them: then they are stored and
// true tells so.
bool settle_failed_append(std::FILE* file, int32_t slots, int32_t new_count);

// Writes the record into the slot of its id. Only slots the file holds can
// be rewritten, whatever its header says; the count is left as it is.
bool rewrite_record(const DataFile& store, const ScheduleRecord& record);

// Blanks the slot: the id stays, everything else is zero.
bool delete_record(const DataFile& store, int32_t id);

} // namespace vntra

#endif
