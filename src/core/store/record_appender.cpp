#include "store/record_appender.h"

namespace vntra {

// Unbuffered: a failed write shows at once, and no bytes left in a buffer can
// reach the file later, after the batch has been given up.
RecordAppender::RecordAppender(DataFile& store)
    : store_(store), file_(open_file_unbuffered(store.path, "rb+")) {
    // The batch goes behind the last whole slot, whatever the header says.
    if (file_ && !count_whole_slots(file_.get(), count_))
        file_.reset();
}

RecordAppender::~RecordAppender() {
    if (file_)
        close();
}

bool RecordAppender::append(std::vector<ScheduleRecord>& records) {
    if (!file_) {
        refused_ = true;
        return false;
    }
    if (records.empty())
        return true;
    if (static_cast<int64_t>(count_) + static_cast<int64_t>(records.size()) > INT32_MAX)
        return false;
    for (size_t i = 0; i < records.size(); ++i)
        records[i].id = count_ + 1 + static_cast<int32_t>(i);
    int32_t new_count = count_ + static_cast<int32_t>(records.size());
    long offset = DATA_HEADER_SIZE + static_cast<long>(count_) * RECORD_SIZE;
    std::FILE* file = file_.get();
    bool written = std::fseek(file, offset, SEEK_SET) == 0 &&
                   write_items(file, records.data(), sizeof(ScheduleRecord), records.size()) &&
                   flush_file(file) && std::fseek(file, RECORD_COUNT_OFFSET, SEEK_SET) == 0 &&
                   write_items(file, &new_count, sizeof new_count, 1) && flush_file(file);
    if (!written) {
        // Only the count says whether the batch is in the file: a failure
        // after the count was written still leaves the batch stored.
        bool counted = settle_failed_append(file, count_, new_count);
        // A file that failed once (a full disk) takes nothing more.
        file_.reset();
        if (!counted) {
            refused_ = true;
            return false;
        }
    }
    count_ = new_count;
    appended_ = true;
    store_.record_count = new_count;
    return true;
}

bool RecordAppender::close() {
    bool closed = false;
    if (file_) {
        bool flushed = flush_to_disk(file_.get());
        closed = close_checked(std::move(file_)) && flushed;
    }
    // A late failure loses no batch that the file, read again, still counts.
    return !refused_ && (closed || (appended_ && stored_on_disk(store_.path, count_)));
}

} // namespace vntra
