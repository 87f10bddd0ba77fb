// The text of today's schedule that the notice window gets once per run.
#ifndef VNTRA_REMINDERS_TODAY_NOTICE_H
#define VNTRA_REMINDERS_TODAY_NOTICE_H

#include <string>

#include "store/data_file.h"
#include "store/schedule_keys.h"

namespace vntra {

// "【今日のスケジュールです】", then one row per entry (as the day list
// shows it) covering today in
// sort-key order, or "予定は、ありません。"; lines are joined by CR LF.
std::string build_today_notice(const DataFile& store, const LocalDate& today);

} // namespace vntra

#endif
