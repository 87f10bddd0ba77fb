#include "timed_mail/timed_mail_send.h"

#include "mail/mail_settings_check.h"

namespace vntra {
namespace {

// Stands in for the window while a timed mail is sent: it keeps the last
// failure's message back until the outcome says whether it is one for the
// user, and has no bar or button to move.
class HeldBackUi : public MailUi {
  public:
    explicit HeldBackUi(MailUi& window) : window_(window) {}
    void show_message(MessageStyle style, const std::string& text) override {
        if (style != MESSAGE_NOTICE)
            held_ = text;
    }
    void set_progress_range(int32_t) override {}
    void step_progress(int32_t) override {}
    void reset_progress() override {}
    void enable_send_button(bool) override {}
    void run_settings_sheet() override {}
    bool stop_requested() override { return window_.stop_requested(); }
    const std::string& held() const { return held_; }

  private:
    MailUi& window_;
    std::string held_;
};

std::string stopped_text(const std::string& name, const char* why, const std::string& detail) {
    return "定時送信（" + name + "）は" + why + "ため、今日はもう送信しません。\n\n" + detail;
}

} // namespace

TimedSendEnd send_timed_batch(MailContext& context, const TimedBatch& batch,
                              const TimedProgressReport& report) {
    // Settings that cannot be used will not mend themselves by the next scan.
    std::string unusable = timed_mail_unusable_message(context.settings, batch.name);
    if (!unusable.empty()) {
        report(batch.kind, {batch.period_key, batch.mails_arrived, PERIOD_STOPPED});
        context.ui.show_message(MESSAGE_ERROR, unusable);
        return TIMED_SEND_REFUSED;
    }
    HeldBackUi held(context.ui);
    MailContext quiet{held, context.settings, context.progress, context.options};
    context.progress.mail_limit_bytes = mail_limit_for_choice(context.settings.mail_size_choice);
    int32_t total = static_cast<int32_t>(batch.mails.size());
    for (int32_t next = batch.mails_arrived; next < total; ++next) {
        // At exit the rest waits for the next run, where the scan takes it up.
        if (context.ui.stop_requested())
            return TIMED_SEND_LATER;
        TimedMailProgress arrived{batch.period_key, next + 1,
                                  next + 1 == total ? PERIOD_ARRIVED : PERIOD_IN_PROGRESS};
        quiet.accepted = [&] { report(batch.kind, arrived); };
        const OutgoingMail& mail = batch.mails[static_cast<size_t>(next)];
        if (send_mail(quiet, mail.subject, mail.body, MAIL_QUIET))
            continue;
        if (quiet.outcome != MAIL_REFUSED)
            return TIMED_SEND_LATER;
        report(batch.kind, {batch.period_key, next, PERIOD_STOPPED});
        context.ui.show_message(
            MESSAGE_ERROR,
            stopped_text(batch.name, "メールサーバーに受け付けられなかった", held.held()));
        return TIMED_SEND_REFUSED;
    }
    return TIMED_SEND_DONE;
}

std::string timed_mail_unusable_message(const SettingsRecord& settings, const std::string& name) {
    std::string problem = mail_settings_complete(settings) ? unusable_settings_message(settings)
                                                           : "メール関係の設定を行って下さい";
    return problem.empty() ? problem : stopped_text(name, "メールの設定が使えない", problem);
}

} // namespace vntra
