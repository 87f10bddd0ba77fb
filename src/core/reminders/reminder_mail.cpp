#include "reminders/reminder_mail.h"

namespace vntra {
namespace {

// Stands in for the window while a reminder is tried again: its failures
// have been shown once already.
class SilentUi : public MailUi {
  public:
    void show_message(MessageStyle, const std::string&) override {}
    void set_progress_range(int32_t) override {}
    void step_progress(int32_t) override {}
    void reset_progress() override {}
    void enable_send_button(bool) override {}
    void run_settings_sheet() override {}
};

// The reminder's own buffer size: 256 bytes per step of the size setting.
const int32_t REMINDER_LIMIT_STEP = 256;

} // namespace

MailOutcome send_reminder(MailContext& context, const ReminderMail& mail) {
    context.progress.mail_limit_bytes = REMINDER_LIMIT_STEP * context.settings.mail_size_choice;
    if (mail.announce_failure) {
        send_mail(context, mail.subject, mail.body, MAIL_QUIET);
        return context.outcome;
    }
    SilentUi silent;
    MailContext quiet{silent, context.settings, context.progress, context.options};
    send_mail(quiet, mail.subject, mail.body, MAIL_QUIET);
    context.outcome = quiet.outcome;
    return quiet.outcome;
}

void settle_reminder(const DataFile& store, TriggerMemory& memory, const ReminderMail& mail,
                     MailOutcome outcome) {
    if (outcome == MAIL_MAY_PASS) {
        memory.remember_failure_shown(mail.record);
        return;
    }
    memory.forget_failure_shown(mail.record.id);
    mark_fired(store, memory, mail.record, TRIGGER_REMINDER);
}

} // namespace vntra
