// The check of one schedule CSV line: from the line to the record it
// stands for, or to the message of the check that refused it.
#ifndef VNTRA_EXCHANGE_IMPORT_LINE_H
#define VNTRA_EXCHANGE_IMPORT_LINE_H

#include <string_view>

#include "store/schedule_record.h"

namespace vntra {

const int IMPORT_COLUMNS = 12;

// Minutes are kept on the 5-minute steps the entry dialog offers: 58 gives
// 55, 60 stays 60.
int32_t round_down_to_five(int32_t minute);

// Checks one line (Shift-JIS, without its line end; a NUL ends it). Fields
// are taken with tabrix: missing or non-numeric numbers count as 0, missing
// texts as empty. Every check runs and the last failing one gives the
// message, except that an empty content always gives "内容が未入力".
// Returns null and fills `record` (id 0, alarm and reminder off) when the
// line is good; otherwise the message.
const char* check_import_line(std::string_view line, ScheduleRecord& record);

} // namespace vntra

#endif
