#include "store/settings_record.h"

#include <cstring>

#include "platform/file_io.h"
#include "store/schedule_record.h"

namespace vntra {

SettingsRecord default_settings(std::string_view program_folder) {
    SettingsRecord s;
    std::memset(&s, 0, sizeof s);
    s.mail_size_choice = 1;
    s.smtp_port = 25;
    set_text(s.font_face, "ＭＳ ゴシック");
    s.font_size = 9;
    s.alarm_minutes = 10;
    s.expiry_days = 100;
    set_text(s.backup_folder, std::string(program_folder));
    s.pop_port = 110;
    s.notify_today_at_startup = 1;
    s.mark_range = MARK_THIS_WEEK;
    return s;
}

SettingsRecord load_settings(const std::filesystem::path& path, std::string_view program_folder) {
    SettingsRecord settings = default_settings(program_folder);
    FilePtr file = open_file(path, "rb");
    if (file) {
        unsigned char bytes[SETTINGS_RECORD_SIZE];
        size_t got = std::fread(bytes, 1, sizeof bytes, file.get());
        std::memcpy(&settings, bytes, got);
    }
    return settings;
}

bool save_settings(const std::filesystem::path& path, const SettingsRecord& settings) {
    std::filesystem::path temporary = path;
    temporary += ".new";
    FilePtr file = open_file(temporary, "wb");
    if (!file)
        return false;
    bool written =
        std::fwrite(&settings, sizeof settings, 1, file.get()) == 1 && flush_to_disk(file.get());
    if (close_checked(std::move(file)) && written && replace_file(temporary, path))
        return true;
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
    return false;
}

} // namespace vntra
