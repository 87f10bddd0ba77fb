// Sending a reminder mail and settling its trigger by how the send ended.
#ifndef VNTRA_REMINDERS_REMINDER_MAIL_H
#define VNTRA_REMINDERS_REMINDER_MAIL_H

#include "mail/smtp_session.h"
#include "reminders/timer_scan.h"

namespace vntra {

// Sends the reminder in quiet mode. A reminder whose failure the user has
// already seen fails without another box.
MailOutcome send_reminder(MailContext& context, const ReminderMail& mail);

// A mail that went out, or that the server refused for good, has done what it
// can: the reminder is marked done. One that may pass stays armed for the
// next scans, and its failure is not shown again.
void settle_reminder(const DataFile& store, TriggerMemory& memory, const ReminderMail& mail,
                     MailOutcome outcome);

} // namespace vntra

#endif
