// The day list (104): the entries that cover one day, with new, change and
// delete through the entry dialog.
#ifndef VNTRA_WIN_EDITING_DAY_LIST_H
#define VNTRA_WIN_EDITING_DAY_LIST_H

#include <cstddef>

#include "shell/app.h"
#include "store/schedule_keys.h"

namespace vntra {

// Hides the opener, runs the day list of `day` modally and shows the opener
// again. `todo_count` is the number of ToDo items the opener lists, which
// the day's mail would carry along.
void run_day_list(App& app, HWND opener, const LocalDate& day, size_t todo_count);

} // namespace vntra

#endif
