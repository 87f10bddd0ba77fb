// The mail command of the calendar window and of the day list: the settings
// guard on the window's own thread (it may open the settings sheet), then
// the schedule mails on a worker with copies of everything they send.
#ifndef VNTRA_WIN_MAIL_SCHEDULE_MAIL_COMMAND_H
#define VNTRA_WIN_MAIL_SCHEDULE_MAIL_COMMAND_H

#include <windows.h>

#include <string>
#include <vector>

#include "mail/mail_job.h"
#include "mail/schedule_mail.h"
#include "shell/app.h"
#include "store/sorted_list.h"

namespace vntra {

struct ScheduleMailRequest {
    ScheduleList entries;
    std::vector<std::string> rows; // row i belongs to entries[i], without marks
    int split_position;
    ScheduleList todo; // sent when the settings say so
    const SubjectSet* subjects;
    SubjectValues values;
};

// Does nothing while the window already sends. `finished` hears whether the
// command ran to its result message.
void start_schedule_mail(App& app, HWND window, ScheduleMailRequest request,
                         MailFinished finished = {});

} // namespace vntra

#endif
