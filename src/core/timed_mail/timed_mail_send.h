// Sending a timed mail unattended: no box for a failure that may pass (a
// later scan tries again), one box for a refusal, and every mail the server
// takes written down the moment it has taken it.
#ifndef VNTRA_TIMED_MAIL_TIMED_MAIL_SEND_H
#define VNTRA_TIMED_MAIL_TIMED_MAIL_SEND_H

#include <functional>
#include <string>
#include <vector>

#include "mail/schedule_mail.h"
#include "mail/smtp_session.h"
#include "timed_mail/timed_schedule.h"

namespace vntra {

// One period's mails on their way.
struct TimedBatch {
    TimedMailKind kind = TIMED_DAILY;
    int32_t period_key = 0;
    int32_t mails_arrived = 0; // went out at an earlier try; the send goes on after them
    std::vector<OutgoingMail> mails;
    std::string name; // "12月9日の予定", for the message of a refusal
};

// The progress of a period as it changes; the window writes it to the
// settings file before the send goes on.
using TimedProgressReport = std::function<void(TimedMailKind, const TimedMailProgress&)>;

enum TimedSendEnd {
    TIMED_SEND_DONE,    // every mail has arrived
    TIMED_SEND_LATER,   // a failure that may pass, or the program is ending: a later scan goes on
    TIMED_SEND_REFUSED, // refused, or unusable settings: the period is over, the user has been told
};

// Sends the batch's remaining mails in quiet mode, one session each.
// Settings that cannot carry them end the period at once, with one box.
TimedSendEnd send_timed_batch(MailContext& context, const TimedBatch& batch,
                              const TimedProgressReport& report);

// Why the settings cannot carry a timed mail (incomplete, or unusable as
// send_mail would find them), as the box says it; "" when they can.
std::string timed_mail_unusable_message(const SettingsRecord& settings, const std::string& name);

} // namespace vntra

#endif
