// The day list (104): the entries that cover one day, with new, change and
// delete through the entry dialog, and the day's mail.
#ifndef VNTRA_WIN_EDITING_DAY_LIST_H
#define VNTRA_WIN_EDITING_DAY_LIST_H

#include <cstddef>

#include "shell/app.h"
#include "store/schedule_keys.h"
#include "store/sorted_list.h"

namespace vntra {

// Hides the opener, runs the day list of `day` modally and shows the opener
// again. `todo` is the ToDo list of the opener, which the day's mail
// carries along when the settings say so.
void run_day_list(App& app, HWND opener, const LocalDate& day, const ScheduleList& todo);

} // namespace vntra

#endif
