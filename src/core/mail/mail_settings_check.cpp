#include "mail/mail_settings_check.h"

namespace vntra {
namespace {

bool has_control_character(const char* text, size_t size) {
    for (size_t i = 0; i < size && text[i] != '\0'; ++i) {
        unsigned char b = static_cast<unsigned char>(text[i]);
        // Shift-JIS trail bytes start at 0x40, so these are never part of a character.
        if (b < 0x20 || b == 0x7F)
            return true;
    }
    return false;
}

} // namespace

bool mail_settings_complete(const SettingsRecord& settings) {
    return settings.smtp_server[0] != '\0' && settings.sender_address[0] != '\0' &&
           settings.recipient_address[0] != '\0';
}

bool check_mail_settings(MailUi& ui, const SettingsRecord& settings) {
    if (mail_settings_complete(settings))
        return true;
    ui.show_message(MESSAGE_NOTICE, "メール関係の設定を行って下さい");
    ui.run_settings_sheet();
    return mail_settings_complete(settings);
}

std::string unsafe_mail_setting_message(const SettingsRecord& settings) {
    struct Field {
        const char* label;
        const char* text;
        size_t size;
        bool used;
    };
    bool pop = settings.pop_before_smtp == 1;
    const Field fields[] = {
        {"送信メールサーバー", settings.smtp_server, sizeof settings.smtp_server, true},
        {"差出人メールアドレス", settings.sender_address, sizeof settings.sender_address, true},
        {"あて先メールアドレス", settings.recipient_address, sizeof settings.recipient_address,
         true},
        {"あて先メールアドレス２", settings.recipient_address2, sizeof settings.recipient_address2,
         true},
        {"受信メールサーバー", settings.pop_server, sizeof settings.pop_server, pop},
        {"アカウント", settings.pop_account, sizeof settings.pop_account, pop},
        {"パスワード", settings.pop_password, sizeof settings.pop_password, pop},
    };
    for (const Field& field : fields) {
        if (field.used && has_control_character(field.text, field.size))
            return std::string(field.label) +
                   "に改行などの制御文字が含まれています。設定を確認して下さい";
    }
    return {};
}

} // namespace vntra
