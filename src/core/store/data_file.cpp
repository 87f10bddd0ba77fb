#include "store/data_file.h"

#include <algorithm>

namespace vntra {
namespace {

const size_t READ_BLOCK_RECORDS = 512;

bool write_count(std::FILE* file, int32_t count) {
    return std::fseek(file, RECORD_COUNT_OFFSET, SEEK_SET) == 0 &&
           std::fwrite(&count, sizeof count, 1, file) == 1;
}

long slot_offset(int32_t id) {
    return DATA_HEADER_SIZE + (id - 1) * RECORD_SIZE;
}

bool write_slot(std::FILE* file, const ScheduleRecord& record) {
    return std::fseek(file, slot_offset(record.id), SEEK_SET) == 0 &&
           std::fwrite(&record, sizeof record, 1, file) == 1;
}

} // namespace

bool write_data_header(std::FILE* file, int32_t count) {
    return std::fseek(file, 0, SEEK_SET) == 0 &&
           std::fwrite(VERSION_TEXT, sizeof VERSION_TEXT, 1, file) == 1 &&
           std::fwrite(&count, sizeof count, 1, file) == 1;
}

bool create_data_file(const std::filesystem::path& path) {
    FilePtr file = open_file(path, "wb");
    if (!file)
        return false;
    bool written = write_data_header(file.get(), 0);
    return close_checked(std::move(file)) && written;
}

int32_t load_record_count(DataFile& store) {
    store.record_count = 0;
    FilePtr file = open_file(store.path, "rb");
    int32_t count = 0;
    if (file && std::fseek(file.get(), RECORD_COUNT_OFFSET, SEEK_SET) == 0 &&
        std::fread(&count, sizeof count, 1, file.get()) == 1 && count > 0)
        store.record_count = count;
    return store.record_count;
}

RecordReader::RecordReader(const std::filesystem::path& path, int32_t count)
    : file_(open_file(path, "rb")), remaining_(count > 0 ? count : 0) {
    if (file_ && std::fseek(file_.get(), DATA_HEADER_SIZE, SEEK_SET) != 0)
        file_.reset();
}

bool RecordReader::next(ScheduleRecord& record) {
    if (block_used_ == block_.size()) {
        if (!file_ || remaining_ == 0)
            return false;
        size_t wanted = std::min<size_t>(READ_BLOCK_RECORDS, static_cast<size_t>(remaining_));
        block_.resize(wanted);
        size_t got = std::fread(block_.data(), sizeof(ScheduleRecord), wanted, file_.get());
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
    FilePtr file = open_file(store.path, "rb");
    return file && std::fseek(file.get(), slot_offset(id), SEEK_SET) == 0 &&
           std::fread(&record, sizeof record, 1, file.get()) == 1;
}

int32_t append_record(DataFile& store, ScheduleRecord& record) {
    int32_t new_count = store.record_count + 1;
    FilePtr file = open_file(store.path, "rb+");
    if (!file)
        return 0;
    ScheduleRecord stored = record;
    stored.id = new_count;
    // The slot goes first: if it cannot be written, the header still counts
    // only the slots that are there.
    bool written = write_slot(file.get(), stored) && std::fflush(file.get()) == 0 &&
                   write_count(file.get(), new_count);
    if (!close_checked(std::move(file)) || !written)
        return 0;
    record.id = new_count;
    store.record_count = new_count;
    return new_count;
}

bool rewrite_record(const DataFile& store, const ScheduleRecord& record) {
    if (record.id < 1 || record.id > store.record_count)
        return false;
    FilePtr file = open_file(store.path, "rb+");
    if (!file)
        return false;
    bool written = write_count(file.get(), store.record_count) && write_slot(file.get(), record);
    return close_checked(std::move(file)) && written;
}

bool delete_record(const DataFile& store, int32_t id) {
    return rewrite_record(store, deleted_record(id));
}

} // namespace vntra
