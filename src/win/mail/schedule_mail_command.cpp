#include "mail/schedule_mail_command.h"

#include <memory>
#include <utility>

#include "calendar_window/month_view.h"
#include "mail/mail_settings_check.h"
#include "mail/window_mail_ui.h"
#include "shell/wide_text.h"

namespace vntra {
namespace {

const int SEND_BUTTON_ID = 1062;

} // namespace

void start_schedule_mail(App& app, HWND window, ScheduleMailRequest request,
                         MailFinished finished) {
    if (mail_job_running(window))
        return;
    WindowMailUi ui(app, window);
    bool complete = check_mail_settings(ui, app.settings);
    // The sheet may have changed the recipient the button names.
    set_control_text(window, SEND_BUTTON_ID, send_button_caption(app.settings.recipient_address));
    if (!complete)
        return;
    auto shared = std::make_shared<ScheduleMailRequest>(std::move(request));
    auto work = [shared](MailContext& context) {
        ScheduleMailSource source{shared->entries, shared->rows, shared->split_position,
                                  shared->todo};
        return send_schedule_mails(context, source, *shared->subjects, shared->values);
    };
    start_mail_job(app, window, work, std::move(finished));
}

} // namespace vntra
