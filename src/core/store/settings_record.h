// All user settings, exactly as they lie in the settings file.
#ifndef VNTRA_STORE_SETTINGS_RECORD_H
#define VNTRA_STORE_SETTINGS_RECORD_H

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string_view>

namespace vntra {

const char SETTINGS_FILE_NAME[] = "vntraini.fil";
const size_t SETTINGS_RECORD_SIZE = 3752;
// Files of the earlier layouts: before the timed mails, before the
// submission security fields, and before the last two fields of the notice
// and the marks. Earlier releases read the first bytes of a longer file, as
// many as they know, so they still take ours.
const size_t SETTINGS_RECORD_SIZE_BEFORE_TIMED_MAIL = 3688;
const size_t SETTINGS_RECORD_SIZE_PLAIN_MAIL = 2396;
const size_t SETTINGS_RECORD_SIZE_OLD = 2388;
const size_t SMTP_PASSWORD_BLOB_SIZE = 1024;

enum MarkRange : int32_t {
    MARK_THIS_MONTH = 0,
    MARK_THIS_WEEK = 1,
    MARK_TODAY = 2,
};

// How the connection to the SMTP server is protected.
enum SmtpSecurity : int32_t {
    SECURITY_NONE = 0,
    SECURITY_STARTTLS = 1, // plain greeting, then STARTTLS (port 587)
    SECURITY_SSL = 2,      // TLS from the first byte (port 465)
};

// Which day the daily mail carries, and which week the weekly one.
enum TimedMailTarget : int32_t {
    TARGET_THIS = 0, // 今日 / 今週
    TARGET_NEXT = 1, // 明日 / 来週
};

enum TimedMailState : int32_t {
    PERIOD_IN_PROGRESS = 0, // some of the period's mails have arrived, not all
    PERIOD_ARRIVED = 1,     // every mail of the period has arrived at the server
    PERIOD_STOPPED = 2,     // refused, or the settings could not be used: not again this period
};

// What has become of the timed mail of one period (a day, or a week named by
// its Sunday). Written whenever a mail of it arrives at the server, so that
// neither a restart nor a retry sends one twice.
struct TimedMailProgress {
    int32_t period_key;    // date key of the day or of the week's Sunday; 0 = never
    int32_t mails_arrived; // of this period's mails, in their order
    int32_t state;         // TimedMailState
};

struct SettingsRecord {
    char smtp_server[256];
    char sender_address[256];
    char recipient_address[256];
    char recipient_address2[256];
    int32_t mail_size_choice; // 1 = 200, 2 = 400, 3 = 800, 4 = 1600 full-width characters
    int32_t smtp_port;
    char font_face[32];
    int32_t font_size;
    char alarm_wav_file[256];
    int32_t alarm_minutes;
    int32_t expiry_days;
    char backup_folder[256]; // ends with a backslash
    int32_t send_todo;
    int32_t pop_before_smtp;
    char pop_server[256];
    int32_t pop_port;
    char pop_account[64];
    char pop_password[64];
    int32_t format_enabled;
    int32_t format_start_date;
    int32_t format_end_date;
    int32_t format_content;
    int32_t format_place;
    char start_date_format[128];
    char end_date_format[128];
    char content_prefix[64];
    char place_prefix[64];
    int32_t notify_today_at_startup;
    int32_t mark_range;
    int32_t smtp_security; // SmtpSecurity
    int32_t smtp_auth;     // 1 = log in with AUTH PLAIN or LOGIN
    char smtp_account[256];
    // The password, encrypted for the current Windows user; never in clear.
    int32_t smtp_password_size;
    uint8_t smtp_password_blob[SMTP_PASSWORD_BLOB_SIZE];
    // The schedule mailed by itself. Off in a new file and in a file of an
    // earlier layout: nothing goes out until the user asks for it.
    int32_t daily_on;
    int32_t daily_hour;
    int32_t daily_minute;
    int32_t daily_target; // TimedMailTarget
    int32_t weekly_on;
    int32_t weekly_weekday; // 0 = Sunday .. 6
    int32_t weekly_hour;
    int32_t weekly_minute;
    int32_t weekly_target;   // TimedMailTarget
    int32_t send_when_empty; // 1 = a day or week with nothing to send gets a short mail
    // Written by the mails alone; a page of the settings sheet never stores them.
    TimedMailProgress daily_progress;
    TimedMailProgress weekly_progress;
};

static_assert(sizeof(SettingsRecord) == SETTINGS_RECORD_SIZE);
static_assert(offsetof(SettingsRecord, smtp_server) == 0);
static_assert(offsetof(SettingsRecord, sender_address) == 256);
static_assert(offsetof(SettingsRecord, recipient_address) == 512);
static_assert(offsetof(SettingsRecord, recipient_address2) == 768);
static_assert(offsetof(SettingsRecord, mail_size_choice) == 1024);
static_assert(offsetof(SettingsRecord, smtp_port) == 1028);
static_assert(offsetof(SettingsRecord, font_face) == 1032);
static_assert(offsetof(SettingsRecord, font_size) == 1064);
static_assert(offsetof(SettingsRecord, alarm_wav_file) == 1068);
static_assert(offsetof(SettingsRecord, alarm_minutes) == 1324);
static_assert(offsetof(SettingsRecord, expiry_days) == 1328);
static_assert(offsetof(SettingsRecord, backup_folder) == 1332);
static_assert(offsetof(SettingsRecord, send_todo) == 1588);
static_assert(offsetof(SettingsRecord, pop_before_smtp) == 1592);
static_assert(offsetof(SettingsRecord, pop_server) == 1596);
static_assert(offsetof(SettingsRecord, pop_port) == 1852);
static_assert(offsetof(SettingsRecord, pop_account) == 1856);
static_assert(offsetof(SettingsRecord, pop_password) == 1920);
static_assert(offsetof(SettingsRecord, format_enabled) == 1984);
static_assert(offsetof(SettingsRecord, format_start_date) == 1988);
static_assert(offsetof(SettingsRecord, format_end_date) == 1992);
static_assert(offsetof(SettingsRecord, format_content) == 1996);
static_assert(offsetof(SettingsRecord, format_place) == 2000);
static_assert(offsetof(SettingsRecord, start_date_format) == 2004);
static_assert(offsetof(SettingsRecord, end_date_format) == 2132);
static_assert(offsetof(SettingsRecord, content_prefix) == 2260);
static_assert(offsetof(SettingsRecord, place_prefix) == 2324);
static_assert(offsetof(SettingsRecord, notify_today_at_startup) == SETTINGS_RECORD_SIZE_OLD);
static_assert(offsetof(SettingsRecord, mark_range) == 2392);
static_assert(offsetof(SettingsRecord, smtp_security) == SETTINGS_RECORD_SIZE_PLAIN_MAIL);
static_assert(offsetof(SettingsRecord, smtp_auth) == 2400);
static_assert(offsetof(SettingsRecord, smtp_account) == 2404);
static_assert(offsetof(SettingsRecord, smtp_password_size) == 2660);
static_assert(offsetof(SettingsRecord, smtp_password_blob) == 2664);
static_assert(sizeof(TimedMailProgress) == 12);
static_assert(offsetof(SettingsRecord, daily_on) == SETTINGS_RECORD_SIZE_BEFORE_TIMED_MAIL);
static_assert(offsetof(SettingsRecord, daily_hour) == 3692);
static_assert(offsetof(SettingsRecord, daily_minute) == 3696);
static_assert(offsetof(SettingsRecord, daily_target) == 3700);
static_assert(offsetof(SettingsRecord, weekly_on) == 3704);
static_assert(offsetof(SettingsRecord, weekly_weekday) == 3708);
static_assert(offsetof(SettingsRecord, weekly_hour) == 3712);
static_assert(offsetof(SettingsRecord, weekly_minute) == 3716);
static_assert(offsetof(SettingsRecord, weekly_target) == 3720);
static_assert(offsetof(SettingsRecord, send_when_empty) == 3724);
static_assert(offsetof(SettingsRecord, daily_progress) == 3728);
static_assert(offsetof(SettingsRecord, weekly_progress) == 3740);

// The progress of the timed mails taken from `from`: the one way a whole
// record saved from a copy keeps what the mails have written since.
void keep_timed_mail_progress(const SettingsRecord& from, SettingsRecord& into);

// Every field at its default; the backup folder is the program folder
// (Shift-JIS, ending with a backslash).
SettingsRecord default_settings(std::string_view program_folder);

enum SettingsReadOutcome {
    SETTINGS_READ,       // the file was read (it may be short, even empty)
    SETTINGS_MISSING,    // there is no file: the defaults are all there is
    SETTINGS_UNREADABLE, // the file is there but could not be read
};

// Defaults, overlaid by as many bytes as the file holds (at most a whole
// record). A missing, empty or short file leaves the rest at their defaults.
// Nothing is validated, so hand-edited values arrive unchanged, except that a
// text field without a terminator is cut to end with one inside its width.
// A file that exists but cannot be read also gives the defaults, and from
// then on save_settings refuses to write over it: its contents were never
// seen, and the defaults must not replace them.
SettingsRecord load_settings(const std::filesystem::path& path, std::string_view program_folder,
                             SettingsReadOutcome* outcome = nullptr);

// Writes the whole record. The old file stays as it was until the new one is
// complete, so a failed save never leaves a truncated settings file. False,
// writing nothing, for a file that load_settings could not read.
bool save_settings(const std::filesystem::path& path, const SettingsRecord& settings);

// Whether save_settings will refuse the path because its last load failed.
bool settings_save_refused(const std::filesystem::path& path);

} // namespace vntra

#endif
