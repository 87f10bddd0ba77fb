#include "mail/window_mail_ui.h"

#include <commctrl.h>

#include "kit/dialog_kit.h"
#include "mail/smtp_session.h"
#include "settings/settings_sheet.h"
#include "shell/wide_text.h"

namespace vntra {
namespace {

const int SEND_BUTTON_ID = 1062;

LRESULT to_progress_bar(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    return ::SendDlgItemMessageW(window, PROGRESS_BAR_ID, message, wparam, lparam);
}

} // namespace

void WindowMailUi::show_message(MessageStyle style, const std::string& text) {
    switch (style) {
    case MESSAGE_NOTICE:
        show_notice(window_, text);
        break;
    case MESSAGE_PLAIN_ERROR:
        vntra::show_message(window_, text, message_title(style), MB_OK);
        break;
    case MESSAGE_ERROR:
        show_error(window_, text);
        break;
    }
}

void WindowMailUi::set_progress_range(int32_t total) {
    // The 32-bit range: a month at the largest size counts past 65535.
    to_progress_bar(window_, PBM_SETRANGE32, 0, total > 0 ? total : 1);
    to_progress_bar(window_, PBM_SETPOS, 0, 0);
}

void WindowMailUi::step_progress(int32_t step) {
    to_progress_bar(window_, PBM_DELTAPOS, static_cast<WPARAM>(step), 0);
}

void WindowMailUi::reset_progress() {
    to_progress_bar(window_, PBM_SETPOS, 0, 0);
}

void WindowMailUi::enable_send_button(bool enabled) {
    ::EnableWindow(::GetDlgItem(window_, SEND_BUTTON_ID), enabled ? TRUE : FALSE);
}

void WindowMailUi::run_settings_sheet() {
    // On the live record: what the user fills in is what the guard checks.
    ::vntra::run_settings_sheet(app_, window_);
}

} // namespace vntra
