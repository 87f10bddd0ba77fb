#include "store/data_file.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "platform/whole_file.h"

namespace vntra {
namespace {

const size_t READ_BLOCK_RECORDS = 512;
// Beyond this a slot's offset would not fit the seek.
const int64_t MAX_SLOTS =
    std::min<int64_t>(INT32_MAX - 1, (LONG_MAX - DATA_HEADER_SIZE) / RECORD_SIZE - 1);

bool seek_to(std::FILE* file, long offset) {
    return std::fseek(file, offset, SEEK_SET) == 0;
}

bool write_count(std::FILE* file, int32_t count) {
    return seek_to(file, RECORD_COUNT_OFFSET) && write_items(file, &count, sizeof count, 1);
}

long slot_offset(int32_t id) {
    return DATA_HEADER_SIZE + (id - 1) * RECORD_SIZE;
}

bool write_slot(std::FILE* file, const ScheduleRecord& record) {
    return seek_to(file, slot_offset(record.id)) && write_items(file, &record, sizeof record, 1);
}

// The count as it stands at offset 8, negative or not.
bool read_stored_count(std::FILE* file, int32_t& count) {
    size_t got = 0;
    return seek_to(file, RECORD_COUNT_OFFSET) && read_items(file, &count, sizeof count, 1, got) &&
           got == 1;
}

} // namespace

bool write_data_header(std::FILE* file, int32_t count) {
    return seek_to(file, 0) && write_items(file, VERSION_TEXT, sizeof VERSION_TEXT, 1) &&
           write_items(file, &count, sizeof count, 1);
}

bool read_data_header(std::FILE* file, int32_t& count) {
    int32_t stored = 0;
    if (!read_stored_count(file, stored))
        return false;
    count = stored > 0 ? stored : 0;
    return true;
}

bool create_data_file(const std::filesystem::path& path) {
    char header[DATA_HEADER_SIZE] = {};
    std::memcpy(header, VERSION_TEXT, sizeof VERSION_TEXT);
    return write_whole_file(path, std::string_view(header, sizeof header));
}

bool count_whole_slots(std::FILE* file, int32_t& slots) {
    uint64_t length = 0;
    if (!file_length(file, length) || length < static_cast<uint64_t>(DATA_HEADER_SIZE))
        return false;
    uint64_t whole = (length - DATA_HEADER_SIZE) / RECORD_SIZE;
    if (whole > static_cast<uint64_t>(MAX_SLOTS))
        return false;
    slots = static_cast<int32_t>(whole);
    return true;
}

DataFileCheck check_data_file(DataFile& store) {
    FilePtr file = open_file_unbuffered(store.path, "rb+");
    uint64_t length = 0;
    if (!file || !file_length(file.get(), length))
        return DATA_FILE_UNREAD;
    if (length < static_cast<uint64_t>(DATA_HEADER_SIZE)) {
        file.reset();
        if (!create_data_file(store.path))
            return DATA_FILE_UNREAD;
        store.record_count = 0;
        return DATA_FILE_RECREATED;
    }
    int32_t slots = 0;
    int32_t stored = 0;
    if (!count_whole_slots(file.get(), slots) || !read_stored_count(file.get(), stored))
        return DATA_FILE_UNREAD;
    store.record_count = slots;
    if (stored == slots)
        return DATA_FILE_SOUND;
    bool written = write_count(file.get(), slots) && flush_to_disk(file.get());
    if (!close_checked(std::move(file)) && written)
        written = stored_on_disk(store.path, slots);
    return written ? DATA_FILE_COUNT_REPAIRED : DATA_FILE_COUNT_UNWRITTEN;
}

int32_t load_record_count(DataFile& store) {
    FilePtr file = open_file_unbuffered(store.path, "rb");
    int32_t count = 0;
    if (file && read_data_header(file.get(), count))
        store.record_count = count;
    return store.record_count;
}

RecordReader::RecordReader(const std::filesystem::path& path, int32_t count)
    : file_(open_file_unbuffered(path, "rb")), count_(count > 0 ? count : 0), remaining_(count_) {
    if (file_ && !seek_to(file_.get(), DATA_HEADER_SIZE))
        file_.reset();
    failed_ = file_ == nullptr;
}

RecordReader::RecordReader(const std::filesystem::path& path, Extent extent)
    : file_(open_file_unbuffered(path, "rb")) {
    bool counted = file_ && (extent == WHOLE_FILE ? count_whole_slots(file_.get(), count_)
                                                  : read_data_header(file_.get(), count_));
    if (file_ && !(counted && seek_to(file_.get(), DATA_HEADER_SIZE)))
        file_.reset();
    remaining_ = count_;
    failed_ = file_ == nullptr;
}

bool RecordReader::next(ScheduleRecord& record) {
    if (block_used_ == block_.size()) {
        if (!file_ || remaining_ == 0)
            return false;
        size_t wanted = std::min<size_t>(READ_BLOCK_RECORDS, static_cast<size_t>(remaining_));
        block_.resize(wanted);
        size_t got = 0;
        if (!read_items(file_.get(), block_.data(), sizeof(ScheduleRecord), wanted, got)) {
            // A read error is not the end of the file: the caller must not
            // take what came so far for all there is.
            failed_ = true;
            file_.reset();
            block_.clear();
            block_used_ = 0;
            return false;
        }
        block_.resize(got);
        block_used_ = 0;
        // A file shorter than its count ends the scan where the file ends.
        remaining_ = got < wanted ? 0 : remaining_ - static_cast<int32_t>(got);
        if (got == 0)
            return false;
    }
    record = block_[block_used_++];
    return true;
}

bool read_record(const DataFile& store, int32_t id, ScheduleRecord& record) {
    if (id < 1)
        return false;
    FilePtr file = open_file_unbuffered(store.path, "rb");
    size_t got = 0;
    return file && seek_to(file.get(), slot_offset(id)) &&
           read_items(file.get(), &record, sizeof record, 1, got) && got == 1;
}

int32_t append_record(DataFile& store, ScheduleRecord& record) {
    FilePtr file = open_file_unbuffered(store.path, "rb+");
    int32_t slots = 0;
    if (!file || !count_whole_slots(file.get(), slots))
        return 0;
    int32_t new_count = slots + 1;
    ScheduleRecord stored = record;
    stored.id = new_count;
    // The slot goes first: if it cannot be written, the header still counts
    // only the slots that are there.
    bool written = write_slot(file.get(), stored) && flush_file(file.get()) &&
                   write_count(file.get(), new_count);
    if (!written)
        written = settle_failed_append(file.get(), slots, new_count);
    if (!close_checked(std::move(file)) && written)
        written = stored_on_disk(store.path, new_count, &stored);
    if (!written)
        return 0;
    record.id = new_count;
    store.record_count = new_count;
    return new_count;
}

bool stored_on_disk(const std::filesystem::path& path, int32_t count,
                    const ScheduleRecord* record) {
    FilePtr file = open_file_unbuffered(path, "rb");
    int32_t on_disk = 0;
    if (!file || !read_stored_count(file.get(), on_disk) || on_disk != count)
        return false;
    if (!record)
        return true;
    ScheduleRecord slot;
    size_t got = 0;
    return seek_to(file.get(), slot_offset(record->id)) &&
           read_items(file.get(), &slot, sizeof slot, 1, got) && got == 1 &&
           std::memcmp(&slot, record, sizeof slot) == 0;
}

bool settle_failed_append(std::FILE* file, int32_t slots, int32_t new_count) {
    std::clearerr(file);
    int32_t on_disk = 0;
    if (read_stored_count(file, on_disk) && on_disk == new_count)
        return true;
    // Best effort: a slot left here would come back at the next start-up
    // as a record the user was told had not been stored.
    cut_file(file, static_cast<uint64_t>(slot_offset(slots + 1)));
    return false;
}

bool rewrite_record(const DataFile& store, const ScheduleRecord& record) {
    if (record.id < 1)
        return false;
    FilePtr file = open_file_unbuffered(store.path, "rb+");
    int32_t slots = 0;
    if (!file || !count_whole_slots(file.get(), slots) || record.id > slots)
        return false;
    bool written = write_slot(file.get(), record);
    return close_checked(std::move(file)) && written;
}

bool delete_record(const DataFile& store, int32_t id) {
    return rewrite_record(store, deleted_record(id));
}

} // namespace vntra
