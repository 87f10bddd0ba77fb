// The page "定時送信": the daily and the weekly schedule mail, their
// minutes, and whether an empty day or week still gets a mail.
#ifndef VNTRA_SETTINGS_TIMED_MAIL_PAGE_H
#define VNTRA_SETTINGS_TIMED_MAIL_PAGE_H

#include "settings/settings_pages.h"

namespace vntra {

// The minutes the drop-downs offer: 0, 5, … 55, as the entry form's do.
const int TIMED_MINUTE_STEP = 5;

// What the controls hold; a drop-down without a selection gives -1.
struct TimedMailPageInput {
    bool daily_on = false;
    int daily_hour = -1;
    int daily_minute = -1;
    int daily_target = TARGET_THIS;
    bool weekly_on = false;
    int weekly_weekday = -1;
    int weekly_hour = -1;
    int weekly_minute = -1;
    int weekly_target = TARGET_THIS;
    bool send_when_empty = true;
};

// A switched-on mail needs its minute (and weekday) chosen, and the mail
// settings it goes out with. What was last sent is never touched here.
PageResult apply_timed_mail_page(const TimedMailPageInput& input, SettingsRecord& settings);

// "日曜日" … "土曜日", as the weekday drop-down lists them.
const char* weekday_name(int weekday);

} // namespace vntra

#endif
