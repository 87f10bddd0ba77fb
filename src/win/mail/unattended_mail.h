// Mail the program sends by itself while nobody may be at the screen (the
// reminders of the minute scan, and any other mail sent on a timer). Such
// mails wait in one queue of the resident window and go out one after the
// other on a worker thread. What a session has to tell the user is held
// until its send has ended and then shown in boxes that wait on threads of
// their own: neither the worker nor the resident window waits for the user,
// and a box that waits holds back only its own mail.
#ifndef VNTRA_WIN_MAIL_UNATTENDED_MAIL_H
#define VNTRA_WIN_MAIL_UNATTENDED_MAIL_H

#include <windows.h>

#include <functional>

#include "mail/smtp_session.h"
#include "shell/app.h"

namespace vntra {

struct UnattendedMail {
    // On the worker, with a copy of the settings taken when the mail was
    // queued. Its messages are collected, not shown, while it runs.
    std::function<MailOutcome(MailContext& context)> send;
    // On the resident window's thread as soon as the send has ended, before
    // any box is shown: writes what the outcome means (a mark, a retry).
    // At exit it is still called for every send that has ended.
    std::function<void(MailOutcome outcome)> settled;
    // Once the mail's boxes have been answered, at once when it had none.
    // Not called when the program ends first.
    std::function<void()> released;
};

// Puts the mail behind those already waiting. False, with nothing queued,
// when the program is ending or no worker can be started (the user is told
// that once).
bool queue_unattended_mail(App& app, UnattendedMail mail);

// At exit, for finish_mail_jobs: the worker begins no further mail...
void stop_unattended_mail();
// ...and the mail in hand gets at most `longest_wait_ms` to go out. Every
// send that has ended is settled; mails not begun are dropped unsettled.
void finish_unattended_mail(DWORD longest_wait_ms);

} // namespace vntra

#endif
