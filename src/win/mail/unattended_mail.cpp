#include "mail/unattended_mail.h"

#include <atomic>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "kit/dialog_kit.h"
#include "kit/static_control_memory.h"
#include "mail/mail_job.h"
#include "mail/window_mail_ui.h"

namespace vntra {
namespace {

const wchar_t HELPER_CLASS[] = L"vntra_unattended_mail";
const UINT SENT_MESSAGE = WM_APP + 203;     // the worker has put a mail into `ended`
const UINT ANSWERED_MESSAGE = WM_APP + 204; // lparam: the mail whose boxes were answered

struct HeldMessage {
    MessageStyle style;
    std::string text;
};

struct QueuedMail {
    UnattendedMail mail;
    SettingsRecord settings{};
    MailOutcome outcome = MAIL_SENT;
    std::vector<HeldMessage> messages; // written by the worker until the mail has ended
};

using MailList = std::vector<std::unique_ptr<QueuedMail>>;

// The worker's MailUi: nothing reaches the screen while a session runs.
class HeldMessagesUi : public MailUi {
  public:
    HeldMessagesUi(std::vector<HeldMessage>& messages, const std::atomic<bool>& stopping)
        : messages_(messages), stopping_(stopping) {}
    void show_message(MessageStyle style, const std::string& text) override {
        messages_.push_back({style, text});
    }
    // The resident window has no bar and no send button.
    void set_progress_range(int32_t) override {}
    void step_progress(int32_t) override {}
    void reset_progress() override {}
    void enable_send_button(bool) override {}
    // Nobody may be there to fill it in.
    void run_settings_sheet() override {}
    bool stop_requested() override { return stopping_; }

  private:
    std::vector<HeldMessage>& messages_;
    const std::atomic<bool>& stopping_;
};

struct MailQueue {
    App* app = nullptr;
    HWND helper = nullptr;
    HANDLE thread = nullptr;
    HANDLE wake = nullptr; // set when a mail is queued or the worker is to stop
    std::atomic<bool> stopping{false};
    bool told_not_ready = false;
    std::mutex lock; // guards the two lists
    std::deque<std::unique_ptr<QueuedMail>> waiting;
    MailList ended;     // sent, not yet taken up by the window's thread
    MailList answering; // their boxes wait for the user; window's thread only
};

// Never destroyed: a worker or a box still running when the program ends
// must not find it gone.
MailQueue& mail_queue() {
    static MailQueue& queue = *new MailQueue;
    return queue;
}

std::unique_ptr<QueuedMail> next_mail(MailQueue& queue) {
    std::lock_guard<std::mutex> guard(queue.lock);
    if (queue.stopping || queue.waiting.empty())
        return nullptr;
    std::unique_ptr<QueuedMail> mail = std::move(queue.waiting.front());
    queue.waiting.pop_front();
    return mail;
}

DWORD WINAPI worker_main(void*) {
    MailQueue& queue = mail_queue();
    while (!queue.stopping) {
        std::unique_ptr<QueuedMail> mail = next_mail(queue);
        if (!mail) {
            ::WaitForSingleObject(queue.wake, INFINITE);
            continue;
        }
        HeldMessagesUi ui(mail->messages, queue.stopping);
        MailProgress progress;
        MailContext context{ui, mail->settings, progress};
        mail->outcome = mail->mail.send(context);
        {
            std::lock_guard<std::mutex> guard(queue.lock);
            queue.ended.push_back(std::move(mail));
        }
        ::PostMessageW(queue.helper, SENT_MESSAGE, 0, 0);
    }
    return 0;
}

MailList take_ended(MailQueue& queue) {
    std::lock_guard<std::mutex> guard(queue.lock);
    MailList ended;
    ended.swap(queue.ended);
    return ended;
}

void settle(const MailList& mails) {
    for (const std::unique_ptr<QueuedMail>& mail : mails) {
        if (mail->mail.settled)
            mail->mail.settled(mail->outcome);
    }
}

void show_messages(const QueuedMail& mail, HWND owner) {
    WindowMailUi ui(*mail_queue().app, owner);
    for (const HeldMessage& message : mail.messages)
        ui.show_message(message.style, message.text);
}

// Each mail's boxes wait on a thread of their own, so that they neither
// hold up the window's thread nor wait behind one another: the user may
// answer them in any order. They are owned by no window; one owned by the
// hidden resident window would tie its thread to the box's.
DWORD WINAPI box_main(void* parameter) {
    StaticControlMemoryWatch statics;
    QueuedMail& mail = *static_cast<QueuedMail*>(parameter);
    show_messages(mail, nullptr);
    ::PostMessageW(mail_queue().helper, ANSWERED_MESSAGE, 0, reinterpret_cast<LPARAM>(&mail));
    return 0;
}

void answered(MailQueue& queue, QueuedMail* mail) {
    for (auto it = queue.answering.begin(); it != queue.answering.end(); ++it) {
        if (it->get() != mail)
            continue;
        std::unique_ptr<QueuedMail> done = std::move(*it);
        queue.answering.erase(it);
        if (!queue.stopping && done->mail.released)
            done->mail.released();
        return;
    }
}

// Every mail that has ended is settled before any box is shown, so that a
// box left waiting, or the end of the program, holds back no mark.
void show_results(MailQueue& queue) {
    MailList sent = take_ended(queue);
    settle(sent);
    for (std::unique_ptr<QueuedMail>& mail : sent) {
        if (queue.stopping)
            return;
        QueuedMail* shown = mail.get();
        queue.answering.push_back(std::move(mail));
        if (shown->messages.empty()) {
            answered(queue, shown);
            continue;
        }
        HANDLE thread = ::CreateThread(nullptr, 0, box_main, shown, 0, nullptr);
        if (thread) {
            ::CloseHandle(thread);
            continue;
        }
        // Without a thread of its own the box waits on this one.
        show_messages(*shown, queue.app->resident_window);
        answered(queue, shown);
    }
}

LRESULT CALLBACK helper_proc(HWND helper, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == SENT_MESSAGE) {
        show_results(mail_queue());
        return 0;
    }
    if (message == ANSWERED_MESSAGE) {
        answered(mail_queue(), reinterpret_cast<QueuedMail*>(lparam));
        return 0;
    }
    return ::DefWindowProcW(helper, message, wparam, lparam);
}

HWND create_helper(HINSTANCE instance) {
    WNDCLASSEXW window_class{};
    window_class.cbSize = sizeof window_class;
    window_class.lpfnWndProc = helper_proc;
    window_class.hInstance = instance;
    window_class.lpszClassName = HELPER_CLASS;
    ::RegisterClassExW(&window_class);
    return ::CreateWindowExW(0, HELPER_CLASS, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance,
                             nullptr);
}

// The helper and the worker live for the rest of the run once made.
bool start_worker(App& app, MailQueue& queue) {
    queue.app = &app;
    if (!queue.helper)
        queue.helper = create_helper(app.instance);
    if (!queue.wake)
        queue.wake = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (queue.helper && queue.wake)
        queue.thread = ::CreateThread(nullptr, 0, worker_main, nullptr, 0, nullptr);
    return queue.thread != nullptr;
}

} // namespace

bool queue_unattended_mail(App& app, UnattendedMail mail) {
    MailQueue& queue = mail_queue();
    if (queue.stopping)
        return false;
    if (!queue.thread && !start_worker(app, queue)) {
        // Tried again with the next mail, but told once: a box a minute
        // would bury the screen of a user who is away.
        if (!queue.told_not_ready) {
            queue.told_not_ready = true;
            show_error(app.resident_window, MAIL_NOT_READY_TEXT);
        }
        return false;
    }
    auto queued = std::make_unique<QueuedMail>();
    queued->mail = std::move(mail);
    queued->settings = app.settings;
    {
        std::lock_guard<std::mutex> guard(queue.lock);
        queue.waiting.push_back(std::move(queued));
    }
    ::SetEvent(queue.wake);
    return true;
}

void stop_unattended_mail() {
    MailQueue& queue = mail_queue();
    queue.stopping = true;
    if (queue.wake)
        ::SetEvent(queue.wake);
}

void finish_unattended_mail(DWORD longest_wait_ms) {
    MailQueue& queue = mail_queue();
    stop_unattended_mail();
    // The worker never waits on this thread, so a plain wait cannot lock up.
    if (queue.thread)
        ::WaitForSingleObject(queue.thread, longest_wait_ms);
    settle(take_ended(queue));
}

} // namespace vntra
