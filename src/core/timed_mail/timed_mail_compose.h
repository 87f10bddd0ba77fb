// What a timed mail sends: the carried day's schedule exactly as the day
// list mails it, or the carried week's as the calendar window mails that
// week, with the ToDo list when the settings send it, and a short mail of
// its own for a day or week with nothing to send.
#ifndef VNTRA_TIMED_MAIL_TIMED_MAIL_COMPOSE_H
#define VNTRA_TIMED_MAIL_TIMED_MAIL_COMPOSE_H

#include <string>
#include <vector>

#include "mail/schedule_mail.h"
#include "store/data_file.h"
#include "store/schedule_keys.h"
#include "store/settings_record.h"
#include "timed_mail/timed_schedule.h"

namespace vntra {

// The week of the calendar that starts on `sunday`, as the row of the month
// grid of the Sunday's month ("12月第2週"): that month always has it as a
// row, so the subject is the week mail's own.
struct WeekRow {
    int32_t year;
    int32_t month;
    int week; // 1..6
};
WeekRow week_row_of(const LocalDate& sunday);

// "12月9日の予定" or "12月第2週の予定": how messages name the mail.
std::string timed_mail_name(TimedMailKind kind, const LocalDate& carried);

struct TimedMails {
    bool read = false; // false: the data file could not be read; nothing is composed
    std::vector<OutgoingMail> mails;
};

// The mails for the day (TIMED_DAILY) or for the week starting on the Sunday
// `carried`, in the order they go out: the schedule, then the ToDo list.
// Without entries, "12月9日の予定はありません" ("12月第2週の…") stands in for
// the schedule when the settings send such days; otherwise such a day may
// have no mail at all.
TimedMails compose_timed_mails(TimedMailKind kind, const DataFile& store,
                               const SettingsRecord& settings, const LocalDate& carried);

} // namespace vntra

#endif
