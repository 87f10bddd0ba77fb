// Appending many records through one open data file: the slots of a batch
// first, then the count that covers them, so that a crash in between never
// leaves a count that claims slots the file does not hold.
#ifndef VNTRA_STORE_RECORD_APPENDER_H
#define VNTRA_STORE_RECORD_APPENDER_H

#include <vector>

#include "store/data_file.h"

namespace vntra {

class RecordAppender {
  public:
    // Opens the data file for update and counts the whole slots it holds.
    explicit RecordAppender(DataFile& store);
    ~RecordAppender();
    RecordAppender(const RecordAppender&) = delete;
    RecordAppender& operator=(const RecordAppender&) = delete;

    bool is_open() const { return file_ != nullptr; }

    // Gives the records the next ids and writes them behind the last slot,
    // then the new count. False when any of it failed; the count, in the
    // file and in the store, then still covers only the earlier batches.
    bool append(std::vector<ScheduleRecord>& records);

    // Pushes everything through to the disk and closes the file. True when
    // every batch given to append is stored: also when the close failed but
    // the file, read again, counts them all.
    bool close();

  private:
    DataFile& store_;
    FilePtr file_;
    int32_t count_ = 0;
    bool appended_ = false;
    bool refused_ = false; // some batch was not stored
};

} // namespace vntra

#endif
