// The calendar window's send button: the shown month, or the week chosen
// with the radios, by mail in the background.
#ifndef VNTRA_WIN_CALENDAR_WINDOW_BULK_SEND_H
#define VNTRA_WIN_CALENDAR_WINDOW_BULK_SEND_H

#include <windows.h>

#include "calendar_window/month_view.h"
#include "shell/app.h"

namespace vntra {

// Weeks 5 and 6 can be chosen only in a month that has those rows. A week
// that paging took away hands its check to the whole month, so that no
// check is left on a radio that cannot be changed or read.
void enable_week_radios(HWND window, const MonthView& month);

// Checks the mail settings, gathers the rows and starts the send. After a
// send that ran to its result the radios are back on the whole month.
void send_bulk_mail(App& app, HWND window, const MonthView& month, const ScheduleList& todo);

} // namespace vntra

#endif
