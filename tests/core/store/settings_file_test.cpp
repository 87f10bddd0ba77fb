#include <gtest/gtest.h>

#include <cstring>

#include "platform/file_io.h"
#include "store/settings_record.h"
#include "support/sjis_assert.h"
#include "support/temp_folder.h"

namespace vntra {
namespace {

using testing::read_file_bytes;
using testing::TempFolder;
using testing::write_file_bytes;

const char PROGRAM_FOLDER[] = "C:\\予定表\\";

void expect_defaults(const SettingsRecord& s) {
    EXPECT_STREQ("", s.smtp_server);
    EXPECT_EQ(1, s.mail_size_choice);
    EXPECT_EQ(25, s.smtp_port);
    EXPECT_SJIS_EQ("ＭＳ ゴシック", s.font_face);
    EXPECT_EQ(9, s.font_size);
    EXPECT_EQ(10, s.alarm_minutes);
    EXPECT_EQ(100, s.expiry_days);
    EXPECT_SJIS_EQ(PROGRAM_FOLDER, s.backup_folder);
    EXPECT_EQ(0, s.send_todo);
    EXPECT_EQ(0, s.pop_before_smtp);
    EXPECT_EQ(110, s.pop_port);
    EXPECT_EQ(0, s.format_enabled);
    EXPECT_EQ(1, s.notify_today_at_startup);
    EXPECT_EQ(MARK_THIS_WEEK, s.mark_range);
    // Nothing is mailed by itself until the user asks for it.
    EXPECT_EQ(0, s.daily_on | s.weekly_on | s.daily_progress.period_key);
}

TEST(SettingsFile, MissingOrEmptyFileGivesDefaults) {
    TempFolder folder;
    expect_defaults(load_settings(folder / "none.fil", PROGRAM_FOLDER));
    write_file_bytes(folder / SETTINGS_FILE_NAME, "");
    expect_defaults(load_settings(folder / SETTINGS_FILE_NAME, PROGRAM_FOLDER));
}

TEST(SettingsFile, SavedRecordRoundTripsByteForByte) {
    TempFolder folder;
    SettingsRecord s = default_settings(PROGRAM_FOLDER);
    std::strcpy(s.smtp_server, "mail.example.jp");
    std::strcpy(s.pop_password, "ひみつpass");
    s.mail_size_choice = 3;
    s.mark_range = MARK_TODAY;
    s.notify_today_at_startup = 0;
    ASSERT_TRUE(save_settings(folder / SETTINGS_FILE_NAME, s));

    std::string bytes = read_file_bytes(folder / SETTINGS_FILE_NAME);
    ASSERT_EQ(SETTINGS_RECORD_SIZE, bytes.size());
    EXPECT_EQ(0, std::memcmp(bytes.data(), &s, sizeof s));
    // The password lies in the file as plain text.
    EXPECT_EQ(0, std::memcmp(bytes.data() + 1920, "ひみつpass", std::strlen("ひみつpass") + 1));
    SettingsRecord loaded = load_settings(folder / SETTINGS_FILE_NAME, "D:\\");
    EXPECT_EQ(0, std::memcmp(&loaded, &s, sizeof s));
}

TEST(SettingsFile, OldLayoutKeepsTheTwoNewerFieldsAtTheirDefaults) {
    TempFolder folder;
    SettingsRecord s = default_settings(PROGRAM_FOLDER);
    std::strcpy(s.place_prefix, "PLACE:");
    s.mark_range = MARK_TODAY;
    s.notify_today_at_startup = 0;
    s.daily_on = s.weekly_on = 1;
    std::string bytes(reinterpret_cast<const char*>(&s), SETTINGS_RECORD_SIZE_OLD);
    write_file_bytes(folder / SETTINGS_FILE_NAME, bytes);
    SettingsRecord loaded = load_settings(folder / SETTINGS_FILE_NAME, PROGRAM_FOLDER);
    EXPECT_STREQ("PLACE:", loaded.place_prefix);
    EXPECT_EQ(1, loaded.notify_today_at_startup);
    EXPECT_EQ(MARK_THIS_WEEK, loaded.mark_range);
    EXPECT_EQ(0, loaded.daily_on | loaded.weekly_on); // a short file mails nothing by itself
}

TEST(SettingsFile, LongFileUsesOnlyTheRecordAndOddValuesLoadUnchanged) {
    TempFolder folder;
    SettingsRecord s = default_settings(PROGRAM_FOLDER);
    s.mail_size_choice = 0;
    s.pop_port = 0;
    s.expiry_days = -5;
    std::string bytes(reinterpret_cast<const char*>(&s), sizeof s);
    write_file_bytes(folder / SETTINGS_FILE_NAME, bytes + std::string(100, '\x7f'));
    SettingsRecord loaded = load_settings(folder / SETTINGS_FILE_NAME, PROGRAM_FOLDER);
    EXPECT_EQ(0, std::memcmp(&loaded, &s, sizeof s));
    EXPECT_EQ(0, loaded.mail_size_choice);
    EXPECT_EQ(0, loaded.pop_port);
}

// A crash's leftover (or anything else) at the temporary copy's name neither
// blocks every later save nor is overwritten. Failures at each step are the
// fault-injection test's.
TEST(SettingsFile, SaveGoesAroundALeftoverTemporaryName) {
    TempFolder folder;
    std::filesystem::path path = folder / SETTINGS_FILE_NAME;
    SettingsRecord s = default_settings(PROGRAM_FOLDER);
    ASSERT_TRUE(save_settings(path, s));
    std::filesystem::create_directories(folder / "vntraini.fil.new" / "busy");
    s.smtp_port = 587;
    EXPECT_TRUE(save_settings(path, s));
    EXPECT_EQ(587, load_settings(path, PROGRAM_FOLDER).smtp_port);
    EXPECT_EQ(SETTINGS_RECORD_SIZE, read_file_bytes(path).size());
    EXPECT_TRUE(std::filesystem::is_directory(folder / "vntraini.fil.new" / "busy"));
    EXPECT_FALSE(save_settings(folder / "no" / "such" / "folder.fil", s));
}

// Settings that could not be read load as defaults, but those defaults must
// never reach the file: the next save is refused until a load succeeds.
TEST(SettingsFile, UnreadableFileIsNeverSavedOver) {
    TempFolder folder;
    std::filesystem::path path = folder / SETTINGS_FILE_NAME;
    SettingsRecord mine = default_settings(PROGRAM_FOLDER);
    std::strcpy(mine.smtp_server, "mail.example.jp");
    mine.expiry_days = 30;
    ASSERT_TRUE(save_settings(path, mine));
    std::string bytes = read_file_bytes(path);

    struct Case {
        const char* what;
        long failing_operation; // 1 = the open, 2 = the read
    };
    for (Case c : {Case{"open fails", 1}, Case{"read fails", 2}}) {
        SettingsReadOutcome outcome = SETTINGS_READ;
        fail_file_operation(c.failing_operation);
        SettingsRecord loaded = load_settings(path, PROGRAM_FOLDER, &outcome);
        fail_file_operation(0);
        EXPECT_EQ(SETTINGS_UNREADABLE, outcome) << c.what;
        expect_defaults(loaded);
        EXPECT_TRUE(settings_save_refused(path));
        loaded.mark_range = MARK_TODAY;
        EXPECT_FALSE(save_settings(path, loaded)) << c.what;
        EXPECT_EQ(bytes, read_file_bytes(path)) << c.what;

        // Once the file has been read, saving works again.
        SettingsRecord again = load_settings(path, PROGRAM_FOLDER, &outcome);
        EXPECT_EQ(SETTINGS_READ, outcome);
        EXPECT_EQ(30, again.expiry_days);
        again.mark_range = MARK_TODAY;
        EXPECT_TRUE(save_settings(path, again)) << c.what;
        EXPECT_TRUE(save_settings(path, mine));
    }

    SettingsReadOutcome outcome = SETTINGS_READ;
    load_settings(folder / "none.fil", PROGRAM_FOLDER, &outcome);
    EXPECT_EQ(SETTINGS_MISSING, outcome);
    EXPECT_TRUE(save_settings(folder / "none.fil", mine));
    // A folder where the file should be cannot be read either.
    std::filesystem::create_directories(folder / "folder.fil" / "inside");
    load_settings(folder / "folder.fil", PROGRAM_FOLDER, &outcome);
    EXPECT_EQ(SETTINGS_UNREADABLE, outcome);
}

// A hand-edited or damaged file whose text fields run to their last byte:
// every reader must still find a terminator inside the field, and the cut
// must not leave half a double-byte character.
TEST(SettingsFile, TextFieldsEndInsideTheirWidth) {
    TempFolder folder;
    std::string bytes(SETTINGS_RECORD_SIZE, '\0');
    auto fill = [&](size_t offset, size_t width, const std::string& unit) {
        for (size_t i = 0; i + unit.size() <= width; i += unit.size())
            bytes.replace(offset + i, unit.size(), unit);
    };
    fill(0, 256, "a");                      // smtp_server
    fill(1032, 32, "ア");                   // font_face: 16 double-byte characters
    fill(1332, 256, "x");                   // backup_folder
    fill(2324, 64, "b");                    // place_prefix, the last text field
    fill(2260, 63, "c");                    // content_prefix: already terminated
    fill(1920, 64, std::string("\x81", 1)); // pop_password: 32 characters 0x8181
    write_file_bytes(folder / SETTINGS_FILE_NAME, bytes);
    SettingsRecord s = load_settings(folder / SETTINGS_FILE_NAME, PROGRAM_FOLDER);

    struct Case {
        const char* field;
        const char* text;
        size_t expected_length;
    };
    const Case cases[] = {
        {"smtp_server", s.smtp_server, 255},      {"font_face", s.font_face, 30},
        {"backup_folder", s.backup_folder, 255},  {"place_prefix", s.place_prefix, 63},
        {"content_prefix", s.content_prefix, 63}, {"pop_password", s.pop_password, 62},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected_length, std::strlen(c.text)) << c.field;
    EXPECT_EQ(0, std::memcmp(s.font_face, bytes.data() + 1032, 30));
    EXPECT_EQ(0, s.notify_today_at_startup); // numbers are loaded as they are
}

} // namespace
} // namespace vntra
