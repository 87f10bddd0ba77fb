// Mail commands run on a worker thread, so that the window they belong to
// keeps painting and answering while a server is slow or silent. The worker
// reaches the window only through messages to a helper on the window's
// thread: message boxes, the progress bar and the settings sheet all happen
// there, owned by the window. Used by every window that sends mail.
#ifndef VNTRA_WIN_MAIL_MAIL_JOB_H
#define VNTRA_WIN_MAIL_MAIL_JOB_H

#include <windows.h>

#include <functional>
#include <initializer_list>

#include "mail/smtp_session.h"
#include "shell/app.h"

namespace vntra {

// Told when no worker thread can be made for a mail.
const char MAIL_NOT_READY_TEXT[] = "メールを送信する準備ができませんでした";

// The command itself, run on the worker with its own copy of the settings.
using MailWork = std::function<bool(MailContext& context)>;
// Back on the window's thread after the worker has ended: whether the
// command ran to its result. Not called when the program is ending.
using MailFinished = std::function<void(bool completed)>;

// Disables the window's send button and starts the worker. False, with
// nothing started, while the window already sends or when no thread can be
// made (then the user has been told).
bool start_mail_job(App& app, HWND window, MailWork work, MailFinished finished);

// Whether a command of this window (or of any window) is under way.
bool mail_job_running(HWND window);
bool any_mail_job_running();

// What a sending window refuses, with a beep: closing, clicks on its face
// (a day cell opens the day list) and every command but the allowed ones
// (paging, the lists). Painting and everything else goes on.
bool refused_while_sending(HWND window, UINT message, WPARAM wparam,
                           std::initializer_list<int> allowed_commands);

// At exit: each command, and the queue of unattended mail, skips its
// remaining mails; the mails in hand get a few seconds together to go out.
// Their boxes are no longer shown.
void finish_mail_jobs();

} // namespace vntra

#endif
