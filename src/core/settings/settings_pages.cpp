#include "settings/settings_pages.h"

#include <cstring>

#include "text/sjis_cut.h"
#include "text/trim_spaces.h"

namespace vntra {
namespace {

bool is_blank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool in_port_range(int port) {
    return port >= PORT_MIN && port <= PORT_MAX;
}

PageResult failure(const char* message, PageControl focus, bool owned_by_page = true) {
    return PageResult{message, focus, owned_by_page};
}

// Stores a text in its field, the bytes after it zero, and, where the field
// is one the user tends to pad, without the blanks around it (a text of
// blanks only stays as it is).
void store_text(char* field, size_t width, std::string_view text, bool trim) {
    std::string stored = field_text(text, width);
    if (trim)
        trim_spaces(stored);
    copy_to_field(field, width, stored);
}

template <size_t Width> void store_text(char (&field)[Width], std::string_view text, bool trim) {
    store_text(field, Width, text, trim);
}

const char PORT_OUT_OF_RANGE[] = "ポート番号が範囲外です";

} // namespace

int read_number(std::string_view text, size_t read_length) {
    size_t start = 0;
    while (start < text.size() && is_blank(text[start]))
        ++start;
    std::string_view read = text.substr(start, read_length);
    size_t position = 0;
    bool negative = false;
    if (position < read.size() && (read[position] == '+' || read[position] == '-')) {
        negative = read[position] == '-';
        ++position;
    }
    long value = 0;
    for (; position < read.size() && read[position] >= '0' && read[position] <= '9'; ++position)
        value = value * 10 + (read[position] - '0');
    return static_cast<int>(negative ? -value : value);
}

std::string field_text(std::string_view text, size_t width) {
    return width == 0 ? std::string() : sjis_cut(text.substr(0, text.find('\0')), width - 1);
}

PageResult apply_mail_page(const MailPageInput& input, SettingsRecord& settings) {
    std::string server = field_text(input.server, sizeof settings.smtp_server);
    std::string sender = field_text(input.sender, sizeof settings.sender_address);
    std::string recipient = field_text(input.recipient, sizeof settings.recipient_address);
    int port = read_number(input.port, PORT_READ_LENGTH);
    if (server.empty())
        return failure("送信メールサーバーが入力されていません", CONTROL_SMTP_SERVER);
    if (sender.empty())
        return failure("差出人メールアドレスが入力されていません", CONTROL_SENDER);
    if (recipient.empty())
        return failure("あて先メールアドレスが入力されていません", CONTROL_RECIPIENT);
    if (!in_port_range(port))
        return failure(PORT_OUT_OF_RANGE, CONTROL_SMTP_PORT, false);

    store_text(settings.smtp_server, server, true);
    store_text(settings.sender_address, sender, true);
    store_text(settings.recipient_address, recipient, true);
    store_text(settings.recipient_address2, input.recipient2, true);
    if (input.size_choice >= 1 && input.size_choice <= MAIL_SIZE_CHOICE_COUNT)
        settings.mail_size_choice = input.size_choice;
    settings.smtp_port = port;
    settings.send_todo = input.send_todo ? 1 : 0;
    return {};
}

void apply_font_page(const FontPageInput& input, SettingsRecord& settings) {
    if (!input.face.empty())
        store_text(settings.font_face, input.face, false);
    if (input.size >= FONT_SIZE_MIN && input.size <= FONT_SIZE_MAX)
        settings.font_size = input.size;
}

void apply_startup_page(bool notify_today, SettingsRecord& settings) {
    settings.notify_today_at_startup = notify_today ? 1 : 0;
}

PageResult apply_alarm_page(const AlarmPageInput& input, SettingsRecord& settings) {
    int minutes = read_number(input.minutes, SHORT_NUMBER_READ_LENGTH);
    if (minutes <= 0)
        return failure("数値が正しく入力されていません", CONTROL_ALARM_MINUTES);
    store_text(settings.alarm_wav_file, input.wav_file, false);
    settings.alarm_minutes = minutes;
    return {};
}

PageResult apply_data_page(const DataPageInput& input, SettingsRecord& settings) {
    int days = read_number(input.days, SHORT_NUMBER_READ_LENGTH);
    std::string folder = field_text(input.folder, sizeof settings.backup_folder);
    if (days <= 0)
        return failure("データ削除期限が指定されていません", CONTROL_EXPIRY_DAYS);
    if (folder.empty())
        return failure("バックアップフォルダが指定されていません", CONTROL_BACKUP_FOLDER);
    settings.expiry_days = days;
    store_text(settings.backup_folder, folder, false);
    return {};
}

PageResult apply_pop_page(const PopPageInput& input, SettingsRecord& settings) {
    std::string server = field_text(input.server, sizeof settings.pop_server);
    std::string account = field_text(input.account, sizeof settings.pop_account);
    std::string password = field_text(input.password, sizeof settings.pop_password);
    int port = read_number(input.port, PORT_READ_LENGTH);
    if (input.enabled) {
        if (server.empty())
            return failure("受信メールサーバーが入力されていません", CONTROL_POP_SERVER);
        if (!in_port_range(port))
            return failure(PORT_OUT_OF_RANGE, CONTROL_POP_PORT, false);
        if (account.empty())
            return failure("アカウント名が入力されていません", CONTROL_POP_ACCOUNT);
        if (password.empty())
            return failure("パスワードが入力されていません", CONTROL_POP_PASSWORD);
    }
    store_text(settings.pop_server, server, true);
    settings.pop_port = port;
    store_text(settings.pop_account, account, true);
    // A password is what the server expects, blanks included.
    store_text(settings.pop_password, password, false);
    settings.pop_before_smtp = input.enabled ? 1 : 0;
    return {};
}

int32_t& format_flag(SettingsRecord& settings, int item) {
    int32_t* flags[FORMAT_ITEM_COUNT] = {&settings.format_start_date, &settings.format_end_date,
                                         &settings.format_content, &settings.format_place};
    return *flags[item];
}

char* format_text_field(SettingsRecord& settings, int item, size_t* width) {
    char* fields[FORMAT_ITEM_COUNT] = {settings.start_date_format, settings.end_date_format,
                                       settings.content_prefix, settings.place_prefix};
    size_t widths[FORMAT_ITEM_COUNT] = {
        sizeof settings.start_date_format, sizeof settings.end_date_format,
        sizeof settings.content_prefix, sizeof settings.place_prefix};
    if (width)
        *width = widths[item];
    return fields[item];
}

PageResult apply_format_page(const FormatPageInput& input, SettingsRecord& settings) {
    if (input.enabled) {
        // The two date patterns are needed when shown; the prefixes may be empty.
        const PageControl focus[2] = {CONTROL_START_DATE_FORMAT, CONTROL_END_DATE_FORMAT};
        const char* message[2] = {"開始日付が入力されていません", "終了日付が入力されていません"};
        for (int item = 0; item < 2; ++item) {
            size_t width = 0;
            format_text_field(settings, item, &width);
            if (input.checked[item] && field_text(input.text[item], width).empty())
                return failure(message[item], focus[item]);
        }
    }
    settings.format_enabled = input.enabled ? 1 : 0;
    for (int item = 0; item < FORMAT_ITEM_COUNT; ++item) {
        // Off, the format keeps no flags and no texts, so turning it on
        // again starts from a clean page.
        bool on = input.enabled && input.checked[item];
        size_t width = 0;
        char* field = format_text_field(settings, item, &width);
        format_flag(settings, item) = on ? 1 : 0;
        store_text(field, width, on ? std::string_view(input.text[item]) : std::string_view(), on);
    }
    return {};
}

bool save_page(const std::filesystem::path& settings_path, SettingsRecord& live,
               const SettingsRecord& updated) {
    // A timed mail may have arrived since the page took its copy; what it
    // wrote stays, or a restart would send it again.
    SettingsRecord saved = updated;
    keep_timed_mail_progress(live, saved);
    if (!save_settings(settings_path, saved))
        return false;
    live = saved;
    return true;
}

void put_back_fields(SettingsRecord& live, const SettingsRecord& copy, size_t end_offset) {
    if (end_offset > sizeof live)
        end_offset = sizeof live;
    std::memcpy(&live, &copy, end_offset);
}

} // namespace vntra
