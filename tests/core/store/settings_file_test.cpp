#include <gtest/gtest.h>

#include <cstring>

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
    std::string bytes(reinterpret_cast<const char*>(&s), SETTINGS_RECORD_SIZE_OLD);
    write_file_bytes(folder / SETTINGS_FILE_NAME, bytes);
    SettingsRecord loaded = load_settings(folder / SETTINGS_FILE_NAME, PROGRAM_FOLDER);
    EXPECT_STREQ("PLACE:", loaded.place_prefix);
    EXPECT_EQ(1, loaded.notify_today_at_startup);
    EXPECT_EQ(MARK_THIS_WEEK, loaded.mark_range);
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

TEST(SettingsFile, FailedSaveLeavesTheOldFileWhole) {
    TempFolder folder;
    std::filesystem::path path = folder / SETTINGS_FILE_NAME;
    SettingsRecord s = default_settings(PROGRAM_FOLDER);
    ASSERT_TRUE(save_settings(path, s));
    // A folder where the temporary copy would go makes every write fail.
    std::filesystem::create_directories(folder / "vntraini.fil.new" / "busy");
    s.smtp_port = 587;
    EXPECT_FALSE(save_settings(path, s));
    SettingsRecord loaded = load_settings(path, PROGRAM_FOLDER);
    EXPECT_EQ(25, loaded.smtp_port);
    EXPECT_EQ(SETTINGS_RECORD_SIZE, read_file_bytes(path).size());
    EXPECT_FALSE(save_settings(folder / "no" / "such" / "folder.fil", s));
}

} // namespace
} // namespace vntra
