// The checks of the mail settings made before any mail goes out.
#ifndef VNTRA_MAIL_MAIL_SETTINGS_CHECK_H
#define VNTRA_MAIL_MAIL_SETTINGS_CHECK_H

#include <string>

#include "mail/mail_ui.h"
#include "store/settings_record.h"

namespace vntra {

// The SMTP server, the sender and the first recipient are all set.
bool mail_settings_complete(const SettingsRecord& settings);

// The guard every mail command runs first. When the settings are incomplete
// it says so, runs the settings sheet (which edits `settings`, the live
// record) and checks again; false means the command ends without more ado.
bool check_mail_settings(MailUi& ui, const SettingsRecord& settings);

// The message for the first setting that the session would put on the wire
// and that holds a control character (CR and LF above all, which would let a
// setting add commands of its own), or an empty text when all are clean. The
// POP3 settings count only when POP before SMTP is on.
std::string unsafe_mail_setting_message(const SettingsRecord& settings);

} // namespace vntra

#endif
