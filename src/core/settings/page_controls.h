// The controls of the settings pages that a failed check sends the focus to,
// and the other identifiers the pages share with their templates. The
// templates use the same numbers (resources/settings_ids.h); the sheet checks
// at compile time that the two agree.
#ifndef VNTRA_SETTINGS_PAGE_CONTROLS_H
#define VNTRA_SETTINGS_PAGE_CONTROLS_H

namespace vntra {

enum PageControl : int {
    NO_CONTROL = 0,
    // メール
    CONTROL_SMTP_SERVER = 1080,
    CONTROL_SENDER = 1081,
    CONTROL_RECIPIENT = 1082,
    CONTROL_SMTP_PORT = 1093,
    // 起動設定
    CONTROL_STARTUP_SHORTCUT = 1085,
    CONTROL_DESKTOP_SHORTCUT = 1086,
    // アラーム
    CONTROL_ALARM_MINUTES = 1099,
    // データ
    CONTROL_EXPIRY_DAYS = 1100,
    CONTROL_BACKUP_FOLDER = 1101,
    // POP before SMTP
    CONTROL_POP_SERVER = 1119,
    CONTROL_POP_PORT = 1120,
    CONTROL_POP_ACCOUNT = 1121,
    CONTROL_POP_PASSWORD = 1122,
    // 特殊フォーマット
    CONTROL_START_DATE_FORMAT = 1132,
    CONTROL_END_DATE_FORMAT = 1133,
    // 送信の認証・暗号化
    CONTROL_SECURITY_NONE = 1170,
    CONTROL_SMTP_ACCOUNT = 1174,
    CONTROL_SMTP_PASSWORD = 1175,
    // 定時送信
    CONTROL_DAILY_ON = 1180,
    CONTROL_DAILY_HOUR = 1181,
    CONTROL_DAILY_MINUTE = 1182,
    CONTROL_WEEKLY_ON = 1185,
    CONTROL_WEEKLY_WEEKDAY = 1186,
    CONTROL_WEEKLY_HOUR = 1187,
    CONTROL_WEEKLY_MINUTE = 1188,
};

} // namespace vntra

#endif
