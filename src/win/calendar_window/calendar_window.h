// The calendar window (dialog 102): the month grid, the month's schedule
// list, the ToDo list and the paging between months.
#ifndef VNTRA_WIN_CALENDAR_WINDOW_H
#define VNTRA_WIN_CALENDAR_WINDOW_H

#include "shell/app.h"

namespace vntra {

// Runs the window modally, owned by the resident window; clears `busy` when
// it closes.
void open_calendar_window(App& app);

// Shows the next timed mail under the bulk mail's progress bar, when the
// window is open.
void show_next_timed_mail(App& app);

} // namespace vntra

#endif
