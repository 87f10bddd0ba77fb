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
bool create_data_file(const std::filesystem::path& path);

// Writes the version text and the count at the start of an open data file.
bool write_data_header(std::FILE* file, int32_t count);

// Reads the count at offset 8 of an open data file; false when it cannot be
// read. A negative count reads as 0.
bool read_data_header(std::FILE* file, int32_t& count);

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
    // Takes the count from the header of the file it has open, so that the
    // count and the slots come from the same file.
    explicit RecordReader(const std::filesystem::path& path);
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
// False when the file could not be opened or a read failed: what was visited
// is then not the whole file.
template <typename Visitor> bool scan_records(const DataFile& store, Visitor&& visit) {
    RecordReader reader(store.path, store.record_count);
    ScheduleRecord record;
    while (reader.next(record))
        visit(record);
    return !reader.failed();
}

bool read_record(const DataFile& store, int32_t id, ScheduleRecord& record);

// Gives the record the next id and writes it behind the last slot. The id
// comes from the count in the header of the file being written, never from
// the store's memory, so a count that could not be loaded cannot make it
// overwrite a record. Returns the new id, or 0 when nothing could be written;
// the count then stays as it was, so that no later append leaves a hole.
int32_t append_record(DataFile& store, ScheduleRecord& record);

// Writes the record into the slot of its id. Only slots the file's header
// counts can be rewritten; the count itself is left as it is.
bool rewrite_record(const DataFile& store, const ScheduleRecord& record);

// Blanks the slot: the id stays, everything else is zero.
bool delete_record(const DataFile& store, int32_t id);

} // namespace vntra

#endif
