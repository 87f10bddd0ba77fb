// What the mail commands need from the window they run in. The Windows shell
// implements it with message boxes, the send button and progress bar 1091;
// tests implement it by recording the calls.
#ifndef VNTRA_MAIL_MAIL_UI_H
#define VNTRA_MAIL_MAIL_UI_H

#include <cstdint>
#include <string>

namespace vntra {

enum MessageStyle {
    MESSAGE_ERROR,       // "エラー", warning icon, topmost
    MESSAGE_NOTICE,      // "確認", information icon, topmost
    MESSAGE_PLAIN_ERROR, // "Error", OK button only (the POP3 stage's network failures)
};

// The title a message of this style carries.
const char* message_title(MessageStyle style);

class MailUi {
  public:
    // A message box owned by the window; returns when the user has closed it.
    virtual void show_message(MessageStyle style, const std::string& text) = 0;
    // The progress bar: its range 0 .. total (which may exceed 16 bits), one
    // advance by `step`, and back to 0.
    virtual void set_progress_range(int32_t total) = 0;
    virtual void step_progress(int32_t step) = 0;
    virtual void reset_progress() = 0;
    // The window's send button (1062).
    virtual void enable_send_button(bool enabled) = 0;
    // Runs the settings sheet modally on the live settings record.
    virtual void run_settings_sheet() = 0;
    // True when the program is ending: a command with several mails stops
    // before the next one, so that no session is cut off halfway.
    virtual bool stop_requested() { return false; }

  protected:
    ~MailUi() = default;
};

} // namespace vntra

#endif
