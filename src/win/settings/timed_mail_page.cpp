// The page "定時送信".
#include <windows.h>

#include "kit/dialog_kit.h"
#include "resource_ids.h"
#include "settings/sheet_pages.h"
#include "settings/timed_mail_page.h"
#include "shell/wide_text.h"

namespace vntra {
namespace {

const int DAILY_TIME_CONTROLS[] = {IDC_DAILY_HOUR, IDC_DAILY_MINUTE, IDC_DAILY_TODAY,
                                   IDC_DAILY_TOMORROW};
const int WEEKLY_TIME_CONTROLS[] = {IDC_WEEKLY_WEEKDAY, IDC_WEEKLY_HOUR, IDC_WEEKLY_MINUTE,
                                    IDC_WEEKLY_THIS, IDC_WEEKLY_NEXT};

// A mail's minute and day can be chosen only while it is switched on.
void enable_timed_controls(HWND w) {
    bool daily = is_checked(w, IDC_DAILY_ON);
    for (int id : DAILY_TIME_CONTROLS)
        enable_control(w, id, daily);
    bool weekly = is_checked(w, IDC_WEEKLY_ON);
    for (int id : WEEKLY_TIME_CONTROLS)
        enable_control(w, id, weekly);
}

void fill_weekdays(HWND w, int selected) {
    HWND list = ::GetDlgItem(w, IDC_WEEKLY_WEEKDAY);
    ::SendMessageW(list, CB_RESETCONTENT, 0, 0);
    for (int weekday = 0; weekday <= 6; ++weekday) {
        std::wstring name = widen(weekday_name(weekday));
        ::SendMessageW(list, CB_INSERTSTRING, static_cast<WPARAM>(-1),
                       reinterpret_cast<LPARAM>(name.c_str()));
    }
    ::SendMessageW(list, CB_SETCURSEL, selected >= 0 && selected <= 6 ? selected : -1, 0);
}

// The radio of the stored target; the first one for a value no radio has.
void check_target(HWND w, int first_id, int last_id, int32_t target) {
    ::CheckRadioButton(w, first_id, last_id, target == TARGET_NEXT ? last_id : first_id);
}

void init_timed_mail(PageContext& page) {
    HWND w = page.window;
    const SettingsRecord& s = page.settings();
    set_checked(w, IDC_DAILY_ON, s.daily_on == 1);
    fill_number_list(w, IDC_DAILY_HOUR, 0, 23, s.daily_hour);
    fill_number_list(w, IDC_DAILY_MINUTE, 0, 55, TIMED_MINUTE_STEP, s.daily_minute);
    check_target(w, IDC_DAILY_TODAY, IDC_DAILY_TOMORROW, s.daily_target);
    set_checked(w, IDC_WEEKLY_ON, s.weekly_on == 1);
    fill_weekdays(w, s.weekly_weekday);
    fill_number_list(w, IDC_WEEKLY_HOUR, 0, 23, s.weekly_hour);
    fill_number_list(w, IDC_WEEKLY_MINUTE, 0, 55, TIMED_MINUTE_STEP, s.weekly_minute);
    check_target(w, IDC_WEEKLY_THIS, IDC_WEEKLY_NEXT, s.weekly_target);
    set_checked(w, IDC_SEND_WHEN_EMPTY, s.send_when_empty == 1);
    enable_timed_controls(w);
}

void timed_mail_command(PageContext& page, int control_id, int notification) {
    if (notification == BN_CLICKED && (control_id == IDC_DAILY_ON || control_id == IDC_WEEKLY_ON))
        enable_timed_controls(page.window);
}

bool apply_timed_mail(PageContext& page) {
    HWND w = page.window;
    TimedMailPageInput input;
    input.daily_on = is_checked(w, IDC_DAILY_ON);
    input.daily_hour = selected_number(w, IDC_DAILY_HOUR, -1);
    input.daily_minute = selected_number(w, IDC_DAILY_MINUTE, -1);
    input.daily_target = is_checked(w, IDC_DAILY_TOMORROW) ? TARGET_NEXT : TARGET_THIS;
    input.weekly_on = is_checked(w, IDC_WEEKLY_ON);
    LRESULT weekday = ::SendDlgItemMessageW(w, IDC_WEEKLY_WEEKDAY, CB_GETCURSEL, 0, 0);
    input.weekly_weekday = weekday == CB_ERR ? -1 : static_cast<int>(weekday);
    input.weekly_hour = selected_number(w, IDC_WEEKLY_HOUR, -1);
    input.weekly_minute = selected_number(w, IDC_WEEKLY_MINUTE, -1);
    input.weekly_target = is_checked(w, IDC_WEEKLY_NEXT) ? TARGET_NEXT : TARGET_THIS;
    input.send_when_empty = is_checked(w, IDC_SEND_WHEN_EMPTY);
    SettingsRecord updated = page.settings();
    return finish_apply(page, apply_timed_mail_page(input, updated), updated);
}

} // namespace

const PageRoutines TIMED_MAIL_PAGE = {init_timed_mail, timed_mail_command, apply_timed_mail};

} // namespace vntra
