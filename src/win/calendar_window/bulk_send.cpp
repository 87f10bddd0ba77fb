#include "calendar_window/bulk_send.h"

#include "calendar_window/bulk_mail.h"
#include "mail/schedule_mail_command.h"
#include "resource_ids.h"
#include "shell/wide_text.h"

namespace vntra {
namespace {

bool week_checked(HWND window, int week) {
    return ::IsDlgButtonChecked(window, IDC_SEND_WEEK1 + week - 1) == BST_CHECKED;
}

// The week of the checked radio, the last one found checked; 0 for the
// month. A week the shown month does not have is never taken.
int chosen_week(HWND window, const MonthView& month) {
    int week = WHOLE_MONTH;
    for (int n = 1; n <= LAST_WEEK; ++n) {
        if (month.week_exists(n) && week_checked(window, n))
            week = n;
    }
    return week;
}

// The hidden list keeps the week's rows, as the window has always had them.
void fill_week_list(HWND window, const std::vector<std::string>& rows) {
    HWND list = ::GetDlgItem(window, IDC_WEEK_LIST);
    ::SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (const std::string& row : rows) {
        std::wstring text = widen(row);
        ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
}

} // namespace

void enable_week_radios(HWND window, const MonthView& month) {
    bool lost_check = false;
    for (int week : {5, 6}) {
        bool exists = month.week_exists(week);
        ::EnableWindow(::GetDlgItem(window, IDC_SEND_WEEK1 + week - 1), exists);
        lost_check = lost_check || (!exists && week_checked(window, week));
    }
    if (lost_check)
        ::CheckRadioButton(window, IDC_SEND_MONTH, IDC_SEND_WEEK6, IDC_SEND_MONTH);
}

void send_bulk_mail(App& app, HWND window, const MonthView& month, const ScheduleList& todo) {
    int week = chosen_week(window, month);
    BulkMail mail = gather_bulk_mail(app.store, month, week);
    if (week != WHOLE_MONTH)
        fill_week_list(window, mail.rows);
    ScheduleMailRequest request{std::move(mail.entries), std::move(mail.rows),
                                MONTH_LINE_SPLIT,        todo,
                                mail.subjects,           mail.values};
    auto finished = [window](bool completed) {
        // After an early stop the choice stays, ready to try again.
        if (completed && ::IsWindow(window))
            ::CheckRadioButton(window, IDC_SEND_MONTH, IDC_SEND_WEEK6, IDC_SEND_MONTH);
    };
    start_schedule_mail(app, window, std::move(request), finished);
}

} // namespace vntra
