#include "store/data_file.h"

#include <algorithm>

namespace vntra {
namespace {

const size_t READ_BLOCK_RECORDS = 512;

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

} // namespace

bool write_data_header(std::FILE* file, int32_t count) {
    return seek_to(file, 0) && write_items(file, VERSION_TEXT, sizeof VERSION_TEXT, 1) &&
           write_items(file, &count, sizeof count, 1);
}

bool read_data_header(std::FILE* file, int32_t& count) {
    int32_t stored = 0;
    size_t got = 0;
    if (!seek_to(file, RECORD_COUNT_OFFSET) || !read_items(file, &stored, sizeof stored, 1, got) ||
        got != 1)
        return false;
    count = stored > 0 ? stored : 0;
    return true;
}

bool create_data_file(const std::filesystem::path& path) {
    FilePtr file = open_file_unbuffered(path, "wb");
    if (!file)
        return false;
    bool written = write_data_header(file.get(), 0);
    return close_checked(std::move(file)) && written;
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

RecordReader::RecordReader(const std::filesystem::path& path)
    : file_(open_file_unbuffered(path, "rb")) {
    if (file_ && !(read_data_header(file_.get(), count_) && seek_to(file_.get(), DATA_HEADER_SIZE)))
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
    int32_t count = 0;
    if (!file || !read_data_header(file.get(), count))
        return 0;
    int32_t new_count = count + 1;
    ScheduleRecord stored = record;
    stored.id = new_count;
    // The slot goes first: if it cannot be written, the header still counts
    // only the slots that are there.
    bool written = write_slot(file.get(), stored) && flush_file(file.get()) &&
                   write_count(file.get(), new_count);
    if (!close_checked(std::move(file)) || !written)
        return 0;
    record.id = new_count;
    store.record_count = new_count;
    return new_count;
}

bool rewrite_record(const DataFile& store, const ScheduleRecord& record) {
    if (record.id < 1)
        return false;
    FilePtr file = open_file_unbuffered(store.path, "rb+");
    int32_t count = 0;
    if (!file || !read_data_header(file.get(), count) || record.id > count)
        return false;
    bool written = write_slot(file.get(), record);
    return close_checked(std::move(file)) && written;
}

bool delete_record(const DataFile& store, int32_t id) {
    return rewrite_record(store, deleted_record(id));
}

} // namespace vntra
