// What the calendar window mails in bulk: the whole shown month, or one of
// its weeks (a row of the month grid, which may reach into the months on
// either side), as entries with their unmarked list rows and the subjects.
#ifndef VNTRA_CALENDAR_WINDOW_BULK_MAIL_H
#define VNTRA_CALENDAR_WINDOW_BULK_MAIL_H

#include <string>
#include <vector>

#include "calendar_window/month_view.h"
#include "mail/schedule_mail.h"
#include "store/data_file.h"
#include "store/sorted_list.h"

namespace vntra {

const int WHOLE_MONTH = 0; // the week number that stands for the month
const int LAST_WEEK = 6;

// Week n (1–6) of the month: the Sunday on or before the 1st plus 7·(n − 1)
// days, to the Saturday after. Not clipped to the month.
struct WeekDates {
    LocalDate first;
    LocalDate last;
};
WeekDates week_dates(YearMonth shown, int week);

// A dated entry (kinds 1–5) that touches at least one day of the week.
bool taken_in_week(const ScheduleRecord& record, const WeekDates& week);

// The week's entries sorted by sort key, and their month-list rows without
// marks; row i belongs to entries[i].
struct WeekView {
    ScheduleList entries;
    std::vector<std::string> rows;
};
// `read_ok`, when given, tells whether the data file was read whole.
WeekView build_week_view(const DataFile& store, YearMonth shown, int week, bool* read_ok = nullptr);

// A month-list row without its 3-byte mark ("★ " or "　 ").
std::string unmarked_row(const std::string& row);

// Everything one bulk send needs besides the ToDo items and the settings.
struct BulkMail {
    ScheduleList entries;
    std::vector<std::string> rows; // unmarked; row i belongs to entries[i]
    const SubjectSet* subjects;
    SubjectValues values;
};

// The month mail takes the month list as shown (marked or not, spans that
// began earlier included); a week mail reads the week afresh. Either way
// the subject names the shown month.
BulkMail gather_bulk_mail(const DataFile& store, const MonthView& month, int week);

} // namespace vntra

#endif
