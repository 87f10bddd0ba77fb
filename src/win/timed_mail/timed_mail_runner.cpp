#include "timed_mail/timed_mail_runner.h"

#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "calendar_window/calendar_window.h"
#include "kit/dialog_kit.h"
#include "mail/unattended_mail.h"
#include "timed_mail/timed_mail_compose.h"
#include "timed_mail/timed_mail_send.h"

namespace vntra {
namespace {

// A progress report packed into a posted message: the period in lparam, the
// kind, the state and the count of mails in wparam.
WPARAM pack_report(TimedMailKind kind, const TimedMailProgress& progress) {
    return static_cast<WPARAM>(kind) | static_cast<WPARAM>(progress.state & 0xF) << 4 |
           static_cast<WPARAM>(progress.mails_arrived & 0xFFFF) << 8;
}

TimedMailKind report_kind(WPARAM packed) {
    return (packed & 0xF) == TIMED_WEEKLY ? TIMED_WEEKLY : TIMED_DAILY;
}

TimedMailProgress unpack_report(WPARAM packed, LPARAM period_key) {
    return {static_cast<int32_t>(period_key), static_cast<int32_t>((packed >> 8) & 0xFFFF),
            static_cast<int32_t>((packed >> 4) & 0xF)};
}

// How many periods' mails are still on their way; a scan meanwhile (the next
// minute, a wake-up) leaves them alone.
int& timed_sends_in_flight() {
    static int in_flight = 0;
    return in_flight;
}

// The whole-file replacement every settings save uses. When it fails, the
// record in memory still keeps this run from sending the period again, and
// the next save that succeeds writes it.
void store_progress(App& app, TimedMailKind kind, const TimedMailProgress& progress) {
    TimedMailProgress& stored = timed_progress(app.settings, kind);
    if (stored.period_key == progress.period_key &&
        stored.mails_arrived == progress.mails_arrived && stored.state == progress.state)
        return;
    stored = progress;
    save_settings(app.settings_path, app.settings);
}

// One period's mails on the worker, and the last progress the worker
// reported, for the window's thread once the send has ended.
struct TimedSending {
    TimedBatch batch;
    std::mutex lock;
    bool reported = false;
    TimedMailProgress latest{};
};

MailOutcome send_period(TimedSending& sending, HWND resident, MailContext& context) {
    // Posted, not sent: the worker never waits for the window's thread,
    // which writes the file as soon as it takes the message.
    TimedProgressReport report = [&sending, resident](TimedMailKind kind,
                                                      const TimedMailProgress& progress) {
        {
            std::lock_guard<std::mutex> guard(sending.lock);
            sending.reported = true;
            sending.latest = progress;
        }
        ::PostMessageW(resident, TIMED_MAIL_PROGRESS_MESSAGE, pack_report(kind, progress),
                       static_cast<LPARAM>(progress.period_key));
    };
    TimedSendEnd end = send_timed_batch(context, sending.batch, report);
    return end == TIMED_SEND_DONE      ? MAIL_SENT
           : end == TIMED_SEND_REFUSED ? MAIL_REFUSED
                                       : MAIL_MAY_PASS;
}

// Back on the window's thread: the last report is written again, for one
// whose message the window can no longer take (the program is ending).
void settle_period(App& app, TimedSending& sending) {
    std::lock_guard<std::mutex> guard(sending.lock);
    if (sending.reported)
        store_progress(app, sending.batch.kind, sending.latest);
}

// Into the resident window's queue of unattended mail: nothing waits for the
// user, and a box about this mail holds back no other.
void send_unattended(App& app, TimedBatch batch) {
    auto sending = std::make_shared<TimedSending>();
    sending->batch = std::move(batch);
    HWND resident = app.resident_window;
    UnattendedMail mail;
    mail.send = [sending, resident](MailContext& context) {
        return send_period(*sending, resident, context);
    };
    mail.settled = [&app, sending](MailOutcome) {
        settle_period(app, *sending);
        --timed_sends_in_flight();
    };
    ++timed_sends_in_flight();
    // Without a worker the period stays due and a later scan tries again.
    if (!queue_unattended_mail(app, std::move(mail)))
        --timed_sends_in_flight();
}

} // namespace

void run_timed_mails(App& app) {
    if (timed_sends_in_flight() > 0)
        return;
    LocalTimeStamp now = current_local_time();
    for (TimedMailKind kind : {TIMED_DAILY, TIMED_WEEKLY}) {
        TimedPlan plan = plan_timed_mail(kind, app.settings, now);
        if (plan.decision != TIMED_DUE)
            continue;
        TimedMails composed = compose_timed_mails(kind, app.store, app.settings, plan.carried);
        if (!composed.read)
            continue; // the data file could not be read just now: a later scan tries
        int32_t total = static_cast<int32_t>(composed.mails.size());
        if (plan.mails_arrived >= total) {
            // Nothing (more) to send: a day without plans that the settings
            // leave without a mail, or one whose last mails were deleted.
            store_progress(app, kind, {plan.period_key, plan.mails_arrived, PERIOD_ARRIVED});
            continue;
        }
        send_unattended(app, {kind, plan.period_key, plan.mails_arrived, std::move(composed.mails),
                              timed_mail_name(kind, plan.carried)});
    }
}

void write_timed_mail_progress(App& app, WPARAM wparam, LPARAM lparam) {
    store_progress(app, report_kind(wparam), unpack_report(wparam, lparam));
    show_next_timed_mail(app);
}

std::string next_timed_mail_line(const App& app) {
    return next_timed_mail_text(app.settings, current_local_time());
}

} // namespace vntra
