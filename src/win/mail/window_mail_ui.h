// The mail commands' window on the window's own thread: message boxes owned
// by it, its progress bar 1091 and send button 1062, and the settings sheet.
#ifndef VNTRA_WIN_MAIL_WINDOW_MAIL_UI_H
#define VNTRA_WIN_MAIL_WINDOW_MAIL_UI_H

#include <windows.h>

#include "mail/mail_ui.h"
#include "shell/app.h"

namespace vntra {

class WindowMailUi : public MailUi {
  public:
    WindowMailUi(App& app, HWND window) : app_(app), window_(window) {}
    void show_message(MessageStyle style, const std::string& text) override;
    void set_progress_range(int32_t total) override;
    void step_progress(int32_t step) override;
    void reset_progress() override;
    void enable_send_button(bool enabled) override;
    // Edits the application's settings record and saves it.
    void run_settings_sheet() override;

  private:
    App& app_;
    HWND window_;
};

} // namespace vntra

#endif
