// Sends a number of schedule-sized mails (400 bytes of Shift-JIS body) to an
// SMTP server on loopback, one complete session each as the program does, and
// prints how long that took. bench/mail_delivery.py runs it against aiosmtpd
// and compares it with Python's smtplib sending the same bytes.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "mail/mail_ui.h"
#include "mail/smtp_session.h"
#include "platform/clock.h"
#include "store/schedule_record.h"
#include "store/settings_record.h"

namespace vntra {
namespace {

class QuietUi : public MailUi {
  public:
    void show_message(MessageStyle, const std::string& text) override {
        std::fprintf(stderr, "message: %s\n", text.c_str());
        failed = true;
    }
    void set_progress_range(int32_t) override {}
    void step_progress(int32_t) override {}
    void reset_progress() override {}
    void enable_send_button(bool) override {}
    void run_settings_sheet() override {}
    bool failed = false;
};

// Ten list lines of 38 bytes and their line ends: 400 bytes, as a mail of
// the smallest size choice holds.
std::string schedule_body() {
    std::string body;
    for (int i = 0; i < 10; ++i)
        body += "12月24日 18:00-21:00  会議：本社 第" + std::to_string(i) + "室\r\n";
    return body;
}

} // namespace
} // namespace vntra

int main(int argc, char** argv) {
    using namespace vntra;
    if (argc < 4) {
        std::fprintf(stderr, "usage: vntra_mail_bench PORT COUNT RECIPIENT\n");
        return 2;
    }
    SettingsRecord settings = default_settings("C:\\");
    set_text(settings.smtp_server, "127.0.0.1");
    settings.smtp_port = std::atoi(argv[1]);
    set_text(settings.sender_address, "me@example.jp");
    set_text(settings.recipient_address, argv[3]);
    int count = std::atoi(argv[2]);
    std::string body = schedule_body();

    QuietUi ui;
    MailProgress progress;
    MailContext context{ui, settings, progress};
    int64_t start = monotonic_milliseconds();
    for (int i = 0; i < count && !ui.failed; ++i) {
        progress.progress_total = static_cast<int32_t>(body.size());
        progress.progress_done = 0;
        if (!send_mail(context, "12月のスケジュール", body, MAIL_PROGRESS))
            return 1;
    }
    std::printf("%lld\n", static_cast<long long>(monotonic_milliseconds() - start));
    return ui.failed ? 1 : 0;
}
