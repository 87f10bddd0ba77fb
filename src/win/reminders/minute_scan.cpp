#include "reminders/minute_scan.h"

#include <mmsystem.h>

#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "mail/mail_job.h"
#include "reminders/notice_window.h"
#include "reminders/reminder_mail.h"
#include "shell/wide_text.h"

namespace vntra {
namespace {

// The reminders one scan hands to the mail worker, and how each send ended.
// The worker fills in the outcomes; the window's thread writes the marks,
// when the worker has ended or, at exit, after it has been waited for.
struct ReminderBatch {
    std::vector<ReminderMail> mails;
    std::mutex lock;
    std::vector<MailOutcome> outcomes; // one per mail sent so far
    bool settled = false;
};

// What the scans remember between ticks for the rest of the run.
struct ScanState {
    bool scanning = false;
    TriggerMemory memory;
    // The last scan's reminders, while their mails are on their way.
    std::shared_ptr<ReminderBatch> in_flight;
};

ScanState& scan_state() {
    static ScanState state;
    return state;
}

// The setting is Shift-JIS; PlaySoundW gets it as UTF-16, so that folders
// with any characters work. A missing or empty file plays the system's
// default sound, which is not suppressed.
void play_alarm_sound(const SettingsRecord& settings) {
    std::wstring file = widen(field_text(settings.alarm_wav_file));
    ::PlaySoundW(file.c_str(), nullptr, SND_FILENAME | SND_ASYNC);
}

void sound_alarm(App& app, const AlarmFiring& alarm) {
    open_notice(app, app.resident_window);
    if (alarm.sound)
        play_alarm_sound(app.settings);
    append_notice(app, alarm.notice);
}

// Marks each reminder by how its mail ended; those the worker never came
// to stay armed for the next run.
void settle_batch(App& app, ScanState& state, ReminderBatch& batch) {
    std::vector<MailOutcome> outcomes;
    {
        std::lock_guard<std::mutex> guard(batch.lock);
        if (batch.settled)
            return;
        batch.settled = true;
        outcomes = batch.outcomes;
    }
    for (size_t i = 0; i < outcomes.size(); ++i)
        settle_reminder(app.store, state.memory, batch.mails[i], outcomes[i]);
}

bool send_batch(ReminderBatch& batch, MailContext& context) {
    for (const ReminderMail& mail : batch.mails) {
        // At exit the mails not yet begun wait for the next run.
        if (context.ui.stop_requested())
            break;
        MailOutcome outcome = send_reminder(context, mail);
        std::lock_guard<std::mutex> guard(batch.lock);
        batch.outcomes.push_back(outcome);
    }
    return true;
}

void send_reminders(App& app, ScanState& state, std::vector<ReminderMail> mails) {
    auto batch = std::make_shared<ReminderBatch>();
    batch->mails = std::move(mails);
    state.in_flight = batch;
    bool started = start_mail_job(
        app, app.resident_window,
        [batch](MailContext& context) { return send_batch(*batch, context); },
        [&app, &state, batch](bool) {
            settle_batch(app, state, *batch);
            if (state.in_flight == batch)
                state.in_flight.reset();
        });
    // Without a worker the reminders stay armed and are taken up again.
    if (!started)
        state.in_flight.reset();
}

} // namespace

void scan_alarms_and_reminders(App& app, bool after_sleep) {
    ScanState& state = scan_state();
    if (state.scanning)
        return;
    state.scanning = true;
    // Alarms are not held up while the last scan's reminders are still on
    // their way (a box may wait for the user); those reminders are not taken
    // up again meanwhile.
    bool with_reminders = !state.in_flight;
    LocalTimeStamp now = current_local_time();
    ScanPlan plan = plan_scan(app.store, now, state.memory, with_reminders);
    if (after_sleep)
        quiet_alarms_passed_in_sleep(plan, now);
    for (const PendingMark& mark : plan.marks_to_retry)
        mark_fired(app.store, state.memory, mark.record, mark.which);
    for (const AlarmFiring& alarm : plan.alarms) {
        sound_alarm(app, alarm);
        mark_fired(app.store, state.memory, alarm.record, TRIGGER_ALARM);
    }
    if (!plan.reminders.empty())
        send_reminders(app, state, std::move(plan.reminders));
    state.scanning = false;
}

void finish_minute_scans(App& app) {
    ScanState& state = scan_state();
    if (state.in_flight)
        settle_batch(app, state, *state.in_flight);
    state.in_flight.reset();
}

} // namespace vntra
