// The schedule mailed by itself: each scan starts the daily and weekly mails
// that are due on the mail worker, and every mail the server takes is written
// into the settings file at once, before its session is closed.
#ifndef VNTRA_WIN_TIMED_MAIL_TIMED_MAIL_RUNNER_H
#define VNTRA_WIN_TIMED_MAIL_TIMED_MAIL_RUNNER_H

#include <windows.h>

#include <string>

#include "shell/app.h"

namespace vntra {

// Starts the timed mails that are due, unless one is still on its way.
void run_timed_mails(App& app);

// The resident window's answer to TIMED_MAIL_PROGRESS_MESSAGE, which the
// mail worker posts the moment the server has taken a timed mail (or
// refused one): the settings file is written at once.
void write_timed_mail_progress(App& app, WPARAM wparam, LPARAM lparam);

// "次の定時送信：12月9日 7:00 今日の予定", or "" when both mails are off.
std::string next_timed_mail_line(const App& app);

} // namespace vntra

#endif
