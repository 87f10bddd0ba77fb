// The check of one schedule CSV row: from its fields to the record it
// stands for, or to the message of the check that refused it.
#ifndef VNTRA_EXCHANGE_IMPORT_LINE_H
#define VNTRA_EXCHANGE_IMPORT_LINE_H

#include <string>
#include <string_view>
#include <vector>

#include "store/schedule_record.h"

namespace vntra {

const int IMPORT_COLUMNS = 12;

// Minutes are kept on the 5-minute steps the entry dialog offers: 58 gives
// 55, 60 stays 60.
int32_t round_down_to_five(int32_t minute);

// Checks the fields of one row (Shift-JIS, as split_csv_row gives them).
// A numeric column is empty, or an optional sign and digits (half- or
// full-width) between optional half-width spaces; a missing or empty one
// counts as 0, anything else refuses the row with a message naming the
// column. Missing texts are empty; each line break in a text becomes one
// space, and a text longer than its field is cut at a character boundary
// (`cut` tells). Every check runs and the last failing one gives the
// message, except that a column that is not a number outranks the range
// checks and an empty content outranks everything.
// Returns null and fills `record` (id 0, alarm and reminder off) when the
// row is good; otherwise the message.
const char* check_import_fields(const std::vector<std::string>& fields, ScheduleRecord& record,
                                bool& cut);

// The same for one row as it stands in the file (without its line end).
const char* check_import_line(std::string_view row, ScheduleRecord& record);

} // namespace vntra

#endif
