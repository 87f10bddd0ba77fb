// The resident window's minute scan: alarms sound and show their notice,
// due reminder mails go out as unattended mail, and each trigger is marked
// done in the data file once it has done its job.
#ifndef VNTRA_WIN_MINUTE_SCAN_H
#define VNTRA_WIN_MINUTE_SCAN_H

#include "shell/app.h"

namespace vntra {

// The handler of the scan timer. A tick that arrives while a scan is under
// way is skipped.
void scan_alarms_and_reminders(App& app);

} // namespace vntra

#endif
