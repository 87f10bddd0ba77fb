#include "store/settings_record.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/file_io.h"
#include "platform/whole_file.h"
#include "store/schedule_record.h"
#include "text/sjis_cut.h"

namespace vntra {
namespace {

// The settings files whose contents this run could not read. Whichever
// window saves next must not write defaults over them.
std::vector<std::filesystem::path>& unread_settings_files() {
    static std::vector<std::filesystem::path> paths;
    return paths;
}

void remember_unread(const std::filesystem::path& path, bool unread) {
    auto& paths = unread_settings_files();
    auto found = std::find(paths.begin(), paths.end(), path);
    if (unread && found == paths.end())
        paths.push_back(path);
    else if (!unread && found != paths.end())
        paths.erase(found);
}

// A text field with no terminator inside its width is cut, at a character
// boundary, so that every reader finds its end there.
template <size_t N> void terminate_field(char (&field)[N]) {
    if (std::memchr(field, '\0', N) == nullptr) {
        std::string whole(field, N);
        copy_to_field(field, N, whole);
    }
}

void terminate_text_fields(SettingsRecord& s) {
    terminate_field(s.smtp_server);
    terminate_field(s.sender_address);
    terminate_field(s.recipient_address);
    terminate_field(s.recipient_address2);
    terminate_field(s.font_face);
    terminate_field(s.alarm_wav_file);
    terminate_field(s.backup_folder);
    terminate_field(s.pop_server);
    terminate_field(s.pop_account);
    terminate_field(s.pop_password);
    terminate_field(s.start_date_format);
    terminate_field(s.end_date_format);
    terminate_field(s.content_prefix);
    terminate_field(s.place_prefix);
    terminate_field(s.smtp_account);
}

} // namespace

SettingsRecord default_settings(std::string_view program_folder) {
    SettingsRecord s;
    std::memset(&s, 0, sizeof s);
    s.mail_size_choice = 1;
    s.smtp_port = 25;
    set_text(s.font_face, "ＭＳ ゴシック");
    s.font_size = 9;
    s.alarm_minutes = 10;
    s.expiry_days = 100;
    copy_to_field(s.backup_folder, sizeof s.backup_folder, program_folder);
    s.pop_port = 110;
    s.notify_today_at_startup = 1;
    s.mark_range = MARK_THIS_WEEK;
    s.daily_hour = 7;
    s.weekly_weekday = 1; // Monday
    s.weekly_hour = 7;
    s.send_when_empty = 1;
    return s;
}

void keep_timed_mail_progress(const SettingsRecord& from, SettingsRecord& into) {
    into.daily_progress = from.daily_progress;
    into.weekly_progress = from.weekly_progress;
}

SettingsRecord load_settings(const std::filesystem::path& path, std::string_view program_folder,
                             SettingsReadOutcome* outcome) {
    SettingsRecord settings = default_settings(program_folder);
    SettingsReadOutcome result = SETTINGS_MISSING;
    FilePtr file = open_file_unbuffered(path, "rb");
    if (file) {
        unsigned char bytes[SETTINGS_RECORD_SIZE];
        size_t got = 0;
        if (read_items(file.get(), bytes, 1, sizeof bytes, got)) {
            std::memcpy(&settings, bytes, got);
            terminate_text_fields(settings);
            result = SETTINGS_READ;
        } else {
            result = SETTINGS_UNREADABLE;
        }
    } else if (!file_is_missing(path)) {
        result = SETTINGS_UNREADABLE;
    }
    if (result == SETTINGS_UNREADABLE)
        settings = default_settings(program_folder);
    remember_unread(path, result == SETTINGS_UNREADABLE);
    if (outcome)
        *outcome = result;
    return settings;
}

bool settings_save_refused(const std::filesystem::path& path) {
    const auto& paths = unread_settings_files();
    return std::find(paths.begin(), paths.end(), path) != paths.end();
}

bool save_settings(const std::filesystem::path& path, const SettingsRecord& settings) {
    if (settings_save_refused(path))
        return false;
    return write_whole_file(
        path, std::string_view(reinterpret_cast<const char*>(&settings), sizeof settings));
}

} // namespace vntra
