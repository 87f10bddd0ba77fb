#include "mail/mail_job.h"

#include <atomic>
#include <memory>
#include <utility>
#include <vector>

#include "kit/dialog_kit.h"
#include "mail/unattended_mail.h"
#include "mail/window_mail_ui.h"

namespace vntra {
namespace {

const wchar_t HELPER_CLASS[] = L"vntra_mail_job";
const UINT CALL_MESSAGE = WM_APP + 201; // lparam: the call to run
const UINT DONE_MESSAGE = WM_APP + 202;

struct MailJob;

// The MailUi the worker sees: every call is carried out by the helper window
// on the window's thread, and the worker waits until it has been.
class WorkerMailUi : public MailUi {
  public:
    explicit WorkerMailUi(MailJob& job) : job_(job) {}
    void show_message(MessageStyle style, const std::string& text) override;
    void set_progress_range(int32_t total) override;
    void step_progress(int32_t step) override;
    void reset_progress() override;
    // The button stays disabled for the whole command; the job enables it
    // when the worker has ended, so that no second send can start before.
    void enable_send_button(bool) override {}
    void run_settings_sheet() override;
    bool stop_requested() override;

  private:
    void on_window_thread(const std::function<void(WindowMailUi&)>& call);
    MailJob& job_;
};

struct MailJob {
    MailJob(App& app, HWND window) : window(window), window_ui(app, window), worker_ui(*this) {}
    HWND window;
    HWND helper = nullptr;
    HANDLE thread = nullptr;
    WindowMailUi window_ui;
    WorkerMailUi worker_ui;
    SettingsRecord settings{};
    MailProgress progress;
    MailWork work;
    MailFinished finished;
    bool completed = false;
    bool in_call = false; // the window thread is carrying out a call of the worker
    std::atomic<bool> stopping{false};
};

using CallOnWindowThread = std::function<void(WindowMailUi&)>;

// Jobs under way; touched on the windows' thread only.
std::vector<std::unique_ptr<MailJob>>& jobs() {
    static std::vector<std::unique_ptr<MailJob>> list;
    return list;
}

void WorkerMailUi::on_window_thread(const CallOnWindowThread& call) {
    ::SendMessageW(job_.helper, CALL_MESSAGE, 0,
                   reinterpret_cast<LPARAM>(const_cast<CallOnWindowThread*>(&call)));
}

void WorkerMailUi::show_message(MessageStyle style, const std::string& text) {
    on_window_thread([&](WindowMailUi& ui) {
        // Nobody is left to read it once the program ends or the window has gone.
        if (!job_.stopping && ::IsWindow(job_.window))
            ui.show_message(style, text);
    });
}

void WorkerMailUi::set_progress_range(int32_t total) {
    on_window_thread([&](WindowMailUi& ui) { ui.set_progress_range(total); });
}

void WorkerMailUi::step_progress(int32_t step) {
    on_window_thread([&](WindowMailUi& ui) { ui.step_progress(step); });
}

void WorkerMailUi::reset_progress() {
    // The bar stays full while the result is on screen; it goes back to 0
    // when the next batch sets its range or the command has ended.
}

void WorkerMailUi::run_settings_sheet() {
    on_window_thread([&](WindowMailUi& ui) {
        if (!job_.stopping && ::IsWindow(job_.window))
            ui.run_settings_sheet();
    });
}

bool WorkerMailUi::stop_requested() {
    return job_.stopping;
}

DWORD WINAPI worker_main(void* parameter) {
    MailJob& job = *static_cast<MailJob*>(parameter);
    MailContext context{job.worker_ui, job.settings, job.progress};
    job.completed = job.work(context);
    ::PostMessageW(job.helper, DONE_MESSAGE, 0, 0);
    return 0;
}

MailJob* job_of(HWND helper) {
    return reinterpret_cast<MailJob*>(::GetWindowLongPtrW(helper, GWLP_USERDATA));
}

// The worker has ended: the window takes input again and hears the outcome.
void end_job(MailJob& job) {
    ::WaitForSingleObject(job.thread, INFINITE);
    ::CloseHandle(job.thread);
    job.thread = nullptr;
    if (::IsWindow(job.window)) {
        job.window_ui.reset_progress();
        job.window_ui.enable_send_button(true);
    }
    MailFinished finished = std::move(job.finished);
    bool completed = job.completed;
    bool stopping = job.stopping;
    HWND helper = job.helper;
    std::vector<std::unique_ptr<MailJob>>& list = jobs();
    for (auto it = list.begin(); it != list.end(); ++it) {
        if (it->get() == &job) {
            list.erase(it);
            break;
        }
    }
    ::DestroyWindow(helper);
    if (finished && !stopping)
        finished(completed);
}

LRESULT CALLBACK helper_proc(HWND helper, UINT message, WPARAM wparam, LPARAM lparam) {
    MailJob* job = job_of(helper);
    if (job && message == CALL_MESSAGE) {
        job->in_call = true;
        (*reinterpret_cast<CallOnWindowThread*>(lparam))(job->window_ui);
        job->in_call = false;
        return 0;
    }
    if (job && message == DONE_MESSAGE) {
        end_job(*job);
        return 0;
    }
    return ::DefWindowProcW(helper, message, wparam, lparam);
}

HWND create_helper(HINSTANCE instance) {
    static bool registered = false;
    if (!registered) {
        WNDCLASSEXW window_class{};
        window_class.cbSize = sizeof window_class;
        window_class.lpfnWndProc = helper_proc;
        window_class.hInstance = instance;
        window_class.lpszClassName = HELPER_CLASS;
        registered = ::RegisterClassExW(&window_class) != 0;
    }
    return ::CreateWindowExW(0, HELPER_CLASS, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance,
                             nullptr);
}

} // namespace

bool start_mail_job(App& app, HWND window, MailWork work, MailFinished finished) {
    if (mail_job_running(window))
        return false;
    auto job = std::make_unique<MailJob>(app, window);
    job->settings = app.settings;
    job->work = std::move(work);
    job->finished = std::move(finished);
    job->helper = create_helper(app.instance);
    if (!job->helper) {
        show_error(window, MAIL_NOT_READY_TEXT);
        return false;
    }
    ::SetWindowLongPtrW(job->helper, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(job.get()));
    job->window_ui.enable_send_button(false);
    job->thread = ::CreateThread(nullptr, 0, worker_main, job.get(), 0, nullptr);
    if (!job->thread) {
        ::DestroyWindow(job->helper);
        job->window_ui.enable_send_button(true);
        show_error(window, MAIL_NOT_READY_TEXT);
        return false;
    }
    jobs().push_back(std::move(job));
    return true;
}

bool mail_job_running(HWND window) {
    for (const std::unique_ptr<MailJob>& job : jobs()) {
        if (job->window == window)
            return true;
    }
    return false;
}

bool any_mail_job_running() {
    return !jobs().empty();
}

bool refused_while_sending(HWND window, UINT message, WPARAM wparam,
                           std::initializer_list<int> allowed_commands) {
    if (!mail_job_running(window))
        return false;
    bool refused = false;
    switch (message) {
    case WM_CLOSE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
        refused = true;
        break;
    case WM_SYSCOMMAND:
        refused = (wparam & 0xFFF0) == SC_CLOSE;
        break;
    case WM_COMMAND:
        refused = true;
        for (int id : allowed_commands)
            refused = refused && LOWORD(wparam) != id;
        break;
    default:
        break;
    }
    if (refused)
        ::MessageBeep(MB_OK);
    return refused;
}

void finish_mail_jobs() {
    stop_unattended_mail();
    for (const std::unique_ptr<MailJob>& job : jobs())
        job->stopping = true;
    // A mail that is nearly out gets the moment it needs. A server that keeps
    // the session waiting does not hold up the end of the user's session:
    // the worker touches no file, and a mail cut off before its final "."
    // is thrown away by the server, never delivered in part.
    const DWORD LONGEST_WAIT_MS = 5000;
    DWORD start = ::GetTickCount();
    for (;;) {
        // A worker whose call this thread is still carrying out further up
        // the stack (a box open when the session ended) cannot end first.
        std::vector<MailJob*> waiting;
        std::vector<HANDLE> threads;
        for (const std::unique_ptr<MailJob>& job : jobs()) {
            if (!job->in_call) {
                waiting.push_back(job.get());
                threads.push_back(job->thread);
            }
        }
        DWORD spent = ::GetTickCount() - start;
        if (threads.empty() || spent >= LONGEST_WAIT_MS)
            break;
        // The workers wait on calls to this thread: answer them meanwhile.
        DWORD woke = ::MsgWaitForMultipleObjects(static_cast<DWORD>(threads.size()), threads.data(),
                                                 FALSE, LONGEST_WAIT_MS - spent, QS_SENDMESSAGE);
        if (woke < WAIT_OBJECT_0 + threads.size()) {
            end_job(*waiting[woke - WAIT_OBJECT_0]);
        } else if (woke == WAIT_OBJECT_0 + threads.size()) {
            MSG message;
            ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        } else {
            break;
        }
    }
    DWORD spent = ::GetTickCount() - start;
    finish_unattended_mail(spent < LONGEST_WAIT_MS ? LONGEST_WAIT_MS - spent : 0);
}

} // namespace vntra
