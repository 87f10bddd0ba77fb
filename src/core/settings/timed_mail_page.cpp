#include "settings/timed_mail_page.h"

#include "mail/mail_settings_check.h"

namespace vntra {
namespace {

// One drop-down that a switched-on mail needs: its value has to be one the
// list offers.
struct ChoiceCheck {
    bool needed;
    int value;
    int first;
    int last;
    const char* message;
    PageControl focus;
};

bool within(int value, int first, int last) {
    return value >= first && value <= last;
}

// A drop-down's value is kept only when it is one the list offers; with
// its mail off, a list left without a selection keeps what was stored.
void store_choice(int32_t& field, int value, int first, int last) {
    if (within(value, first, last))
        field = value;
}

} // namespace

const char* weekday_name(int weekday) {
    static const char* const NAMES[] = {"日曜日", "月曜日", "火曜日", "水曜日",
                                        "木曜日", "金曜日", "土曜日"};
    return within(weekday, 0, 6) ? NAMES[weekday] : "";
}

PageResult apply_timed_mail_page(const TimedMailPageInput& input, SettingsRecord& settings) {
    const char* DAILY_TIME = "毎日の予定を送る時刻を選んで下さい";
    const char* WEEKLY_TIME = "毎週の予定を送る時刻を選んで下さい";
    const ChoiceCheck checks[] = {
        {input.daily_on, input.daily_hour, 0, 23, DAILY_TIME, CONTROL_DAILY_HOUR},
        {input.daily_on, input.daily_minute, 0, 59, DAILY_TIME, CONTROL_DAILY_MINUTE},
        {input.weekly_on, input.weekly_weekday, 0, 6, "毎週の予定を送る曜日を選んで下さい",
         CONTROL_WEEKLY_WEEKDAY},
        {input.weekly_on, input.weekly_hour, 0, 23, WEEKLY_TIME, CONTROL_WEEKLY_HOUR},
        {input.weekly_on, input.weekly_minute, 0, 59, WEEKLY_TIME, CONTROL_WEEKLY_MINUTE},
    };
    for (const ChoiceCheck& check : checks) {
        if (check.needed && !within(check.value, check.first, check.last))
            return PageResult{check.message, check.focus, true};
    }
    // Switched on without a server or addresses, the mail could only fail
    // every morning. The mail page comes first on OK, so its new values count.
    if ((input.daily_on || input.weekly_on) && !mail_settings_complete(settings))
        return PageResult{"定時送信には「メール」ページの設定が必要です。送信メールサーバーと"
                          "差出人、あて先のメールアドレスを入力して下さい",
                          input.daily_on ? CONTROL_DAILY_ON : CONTROL_WEEKLY_ON, true};

    settings.daily_on = input.daily_on ? 1 : 0;
    store_choice(settings.daily_hour, input.daily_hour, 0, 23);
    store_choice(settings.daily_minute, input.daily_minute, 0, 59);
    store_choice(settings.daily_target, input.daily_target, TARGET_THIS, TARGET_NEXT);
    settings.weekly_on = input.weekly_on ? 1 : 0;
    store_choice(settings.weekly_weekday, input.weekly_weekday, 0, 6);
    store_choice(settings.weekly_hour, input.weekly_hour, 0, 23);
    store_choice(settings.weekly_minute, input.weekly_minute, 0, 59);
    store_choice(settings.weekly_target, input.weekly_target, TARGET_THIS, TARGET_NEXT);
    settings.send_when_empty = input.send_when_empty ? 1 : 0;
    return {};
}

} // namespace vntra
