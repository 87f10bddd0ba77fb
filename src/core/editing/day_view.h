// What the day list shows for one day: the date and its holiday, the rows
// of the entries that cover the day in sort-key order, and the captions.
#ifndef VNTRA_EDITING_DAY_VIEW_H
#define VNTRA_EDITING_DAY_VIEW_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "store/data_file.h"
#include "store/schedule_keys.h"
#include "store/sorted_list.h"

namespace vntra {

// Every row starts with a 19-byte time or date column; bytes 17 and 18 of
// it are blanks, where the day mail breaks the line.
const size_t DAY_ROW_PREFIX_BYTES = 19;
const size_t DAY_ROW_SPLIT = 17;

// The row of a dated entry (kinds 1–5), or "" for any other slot.
std::string day_line_text(const ScheduleRecord& record);

struct DayView {
    LocalDate day;
    ScheduleList entries;          // every entry covering the day, by sort key
    std::vector<std::string> rows; // row i shows entries[i]
};

// `read_ok`, when given, tells whether the data file was read whole.
DayView build_day_view(const DataFile& store, const LocalDate& day, bool* read_ok = nullptr);

// "%d年%d月%d日".
std::string day_caption(const LocalDate& day);

// "%d件のＴｏＤｏもメールで送信します" when the ToDo items go out with the
// day's mail, else "".
std::string day_todo_notice_text(size_t todo_count, int32_t send_todo);

} // namespace vntra

#endif
