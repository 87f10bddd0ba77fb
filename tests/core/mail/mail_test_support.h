// A window that records what the mail code asks of it, and the way to the
// real servers the peer stage starts.
#ifndef VNTRA_TESTS_MAIL_TEST_SUPPORT_H
#define VNTRA_TESTS_MAIL_TEST_SUPPORT_H

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "mail/mail_ui.h"
#include "mail/smtp_session.h"
#include "platform/clock.h"
#include "platform/sjis_text.h"
#include "store/schedule_record.h"
#include "store/settings_record.h"
#include "support/temp_folder.h"

namespace vntra::testing {

struct ShownMessage {
    MessageStyle style;
    std::string text;
};

class RecordingUi : public MailUi {
  public:
    void show_message(MessageStyle style, const std::string& text) override {
        messages.push_back({style, text});
        calls.push_back("message");
    }
    void set_progress_range(int32_t total) override {
        range = total;
        position = 0;
        calls.push_back("range " + std::to_string(total));
    }
    void step_progress(int32_t step) override {
        position += step;
        steps.push_back(step);
    }
    void reset_progress() override {
        position = 0;
        calls.push_back("reset");
    }
    void enable_send_button(bool enabled) override {
        calls.push_back(enabled ? "button on" : "button off");
    }
    void run_settings_sheet() override {
        calls.push_back("sheet");
        if (on_sheet)
            on_sheet();
    }

    // Asked before each mail; says stop from the mail numbered `stop_from` on.
    bool stop_requested() override { return stop_from > 0 && ++stop_questions >= stop_from; }

    // The one message shown, or "" when there were none or several.
    std::string only_message() const { return messages.size() == 1 ? messages[0].text : ""; }

    std::vector<ShownMessage> messages;
    std::vector<std::string> calls;
    std::vector<int32_t> steps;
    int32_t range = 0;
    int32_t position = 0;
    std::function<void()> on_sheet;
    int stop_from = 0;
    int stop_questions = 0;
};

// What one mail command runs with: a recording window, the application's
// counters, and the context that joins them to the settings.
struct MailRun {
    explicit MailRun(const SettingsRecord& settings) : context{ui, settings, progress} {}
    RecordingUi ui;
    MailProgress progress;
    MailContext context;
};

// A port from the peer stage, or 0 when the peers are not running.
inline int peer_port(const char* variable) {
    const char* value = std::getenv(variable);
    return value ? std::atoi(value) : 0;
}

inline std::filesystem::path peer_path(const char* variable) {
    const char* value = std::getenv(variable);
    return value ? std::filesystem::path(value) : std::filesystem::path();
}

#define REQUIRE_PEER(variable)                                                                     \
    if (::vntra::testing::peer_port(variable) == 0)                                                \
    GTEST_SKIP() << variable " is not set: run scripts/stages/mail-peers.sh"

// An address no earlier run has used, so that each test finds only its own
// mail in the peer's spool.
inline std::string fresh_address(const std::string& local) {
    static int count = 0;
    return local + "-" + std::to_string(monotonic_milliseconds()) + "-" + std::to_string(++count) +
           "@example.jp";
}

// Settings that point at the SMTP peer, without POP before SMTP.
inline SettingsRecord peer_settings(int port, const std::string& recipient) {
    SettingsRecord s = default_settings("C:\\");
    set_text(s.smtp_server, "127.0.0.1");
    s.smtp_port = port;
    set_text(s.sender_address, "me@example.jp");
    set_text(s.recipient_address, recipient);
    return s;
}

// The files the SMTP peer kept for a recipient: n.eml, n.env, n.txt.
struct StoredMail {
    std::string raw;
    std::string envelope;
    std::string decoded; // UTF-8
};

inline std::vector<StoredMail> stored_mails(const std::string& recipient) {
    std::vector<StoredMail> mails;
    std::filesystem::path folder = peer_path("VNTRA_SMTP_SPOOL") / recipient;
    std::error_code error;
    std::vector<int> numbers;
    for (const auto& file : std::filesystem::directory_iterator(folder, error)) {
        if (file.path().extension() == ".eml")
            numbers.push_back(std::atoi(file.path().stem().string().c_str()));
    }
    std::sort(numbers.begin(), numbers.end());
    for (int n : numbers) {
        std::string base = std::to_string(n);
        mails.push_back({read_file_bytes(folder / (base + ".eml")),
                         read_file_bytes(folder / (base + ".env")),
                         read_file_bytes(folder / (base + ".txt"))});
    }
    return mails;
}

} // namespace vntra::testing

#endif
