#include "reminders/minute_scan.h"

#include <mmsystem.h>

#include <utility>

#include "mail/unattended_mail.h"
#include "reminders/notice_window.h"
#include "reminders/reminder_mail.h"
#include "shell/wide_text.h"

namespace vntra {
namespace {

// What the scans remember between ticks for the rest of the run.
struct ScanState {
    bool scanning = false;
    TriggerMemory memory;
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
    play_alarm_sound(app.settings);
    append_notice(app, alarm.notice);
}

// The reminder goes into the resident window's queue of unattended mail and
// is held back from later scans until its mail has ended and any box about
// it has been answered; its mark is written as soon as the send has ended.
void send_reminder_unattended(App& app, TriggerMemory& memory, const ReminderMail& mail) {
    int32_t id = mail.record.id;
    memory.hold(id);
    UnattendedMail unattended;
    unattended.send = [mail](MailContext& context) { return send_reminder(context, mail); };
    unattended.settled = [&app, &memory, mail](MailOutcome outcome) {
        settle_reminder(app.store, memory, mail, outcome);
    };
    unattended.released = [&memory, id] { memory.release(id); };
    // Without a worker the reminder stays armed and is taken up again.
    if (!queue_unattended_mail(app, std::move(unattended)))
        memory.release(id);
}

} // namespace

void scan_alarms_and_reminders(App& app) {
    ScanState& state = scan_state();
    if (state.scanning)
        return;
    state.scanning = true;
    ScanPlan plan = plan_scan(app.store, current_local_time(), state.memory);
    for (const PendingMark& mark : plan.marks_to_retry)
        mark_fired(app.store, state.memory, mark.record, mark.which);
    for (const AlarmFiring& alarm : plan.alarms) {
        sound_alarm(app, alarm);
        mark_fired(app.store, state.memory, alarm.record, TRIGGER_ALARM);
    }
    for (const ReminderMail& mail : plan.reminders)
        send_reminder_unattended(app, state.memory, mail);
    state.scanning = false;
}

} // namespace vntra
