#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "settings/settings_pages.h"
#include "settings/timed_mail_page.h"
#include "store/schedule_record.h"
#include "support/sjis_assert.h"
#include "support/temp_folder.h"

namespace vntra {
namespace {

const char PROGRAM_FOLDER[] = "C:\\予定表\\";

SettingsRecord loaded() {
    return default_settings(PROGRAM_FOLDER);
}

MailPageInput filled_mail_page() {
    MailPageInput input;
    input.server = "smtp.example.jp";
    input.port = "25";
    input.sender = "me@example.jp";
    input.recipient = "phone@example.ne.jp";
    input.size_choice = 2;
    return input;
}

PopPageInput filled_pop_page() {
    PopPageInput input;
    input.enabled = true;
    input.server = "pop.example.jp";
    input.port = "110";
    input.account = "taro";
    input.password = "secret";
    return input;
}

void expect_failure(const PageResult& result, const char* message, PageControl focus,
                    bool owned_by_page, const SettingsRecord& before, const SettingsRecord& after,
                    const std::string& row) {
    ASSERT_FALSE(result.ok()) << row;
    EXPECT_SJIS_EQ(message, result.message) << row;
    EXPECT_EQ(focus, result.focus) << row;
    EXPECT_EQ(owned_by_page, result.owned_by_page) << row;
    EXPECT_EQ(0, std::memcmp(&before, &after, sizeof before)) << row << ": the record changed";
}

TEST(SettingsPages, ReadNumberTakesLeadingDigitsOfTheReadLength) {
    struct Case {
        const char* text;
        size_t read_length;
        int value;
    };
    const Case cases[] = {
        {"25", PORT_READ_LENGTH, 25},
        {"30001", PORT_READ_LENGTH, 30001},
        {"abc", PORT_READ_LENGTH, 0},
        {"", PORT_READ_LENGTH, 0},
        {"12ab", PORT_READ_LENGTH, 12},
        {"+80", PORT_READ_LENGTH, 80},
        {"-5", PORT_READ_LENGTH, -5},
        {"12345678", PORT_READ_LENGTH, 1234567},
        {"1000", SHORT_NUMBER_READ_LENGTH, 100},
        {" 1000", SHORT_NUMBER_READ_LENGTH, 100}, // blanks are not part of the read
        {"\t 7", SHORT_NUMBER_READ_LENGTH, 7},
        {"０１", SHORT_NUMBER_READ_LENGTH, 0}, // full-width digits are not digits
        {"-", SHORT_NUMBER_READ_LENGTH, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.value, read_number(c.text, c.read_length)) << "\"" << c.text << "\"";
}

TEST(SettingsPages, FieldTextCutsAtACharacterBoundary) {
    std::string kanji_tail = std::string(62, 'a') + "予"; // 64 bytes, the kanji over the edge
    EXPECT_SJIS_EQ(std::string(62, 'a'), field_text(kanji_tail, 64));
    EXPECT_SJIS_EQ(std::string(63, 'b'), field_text(std::string(70, 'b'), 64));
    EXPECT_SJIS_EQ("短い", field_text("短い", 64));
    EXPECT_EQ(255u, field_text(std::string(300, 's'), 256).size());
}

TEST(SettingsPages, MailPageFailuresInTheirOrder) {
    struct Case {
        const char* row;
        void (*change)(MailPageInput&);
        const char* message;
        PageControl focus;
        bool owned_by_page;
    };
    const Case cases[] = {
        {"server empty", [](MailPageInput& i) { i.server.clear(); },
         "送信メールサーバーが入力されていません", CONTROL_SMTP_SERVER, true},
        {"server and port wrong", [](MailPageInput& i) { i.server.clear(), i.port = "0"; },
         "送信メールサーバーが入力されていません", CONTROL_SMTP_SERVER, true},
        {"sender empty", [](MailPageInput& i) { i.sender.clear(); },
         "差出人メールアドレスが入力されていません", CONTROL_SENDER, true},
        {"recipient empty", [](MailPageInput& i) { i.recipient.clear(); },
         "あて先メールアドレスが入力されていません", CONTROL_RECIPIENT, true},
        {"port 0", [](MailPageInput& i) { i.port = "0"; }, "ポート番号が範囲外です",
         CONTROL_SMTP_PORT, false},
        {"port 30001", [](MailPageInput& i) { i.port = "30001"; }, "ポート番号が範囲外です",
         CONTROL_SMTP_PORT, false},
        {"port abc", [](MailPageInput& i) { i.port = "abc"; }, "ポート番号が範囲外です",
         CONTROL_SMTP_PORT, false},
        {"port -25", [](MailPageInput& i) { i.port = "-25"; }, "ポート番号が範囲外です",
         CONTROL_SMTP_PORT, false},
    };
    for (const Case& c : cases) {
        MailPageInput input = filled_mail_page();
        c.change(input);
        SettingsRecord before = loaded();
        SettingsRecord settings = before;
        expect_failure(apply_mail_page(input, settings), c.message, c.focus, c.owned_by_page,
                       before, settings, c.row);
    }
}

TEST(SettingsPages, MailPageStoresTrimmedTextsAndItsChoices) {
    struct Case {
        const char* row;
        std::string server;
        std::string port;
        int size_choice;
        std::string stored_server;
        int stored_port;
        int stored_choice;
    };
    const Case cases[] = {
        {"blanks around", " smtp.example.jp ", "30000", 4, "smtp.example.jp", 30000, 4},
        {"only blanks pass and stay", "   ", "1", 3, "   ", 1, 3},
        {"no radio checked", "mail", "587", 0, "mail", 587, 1},
        {"trailing text after the port", "mail", "25番", 2, "mail", 25, 2},
    };
    for (const Case& c : cases) {
        MailPageInput input = filled_mail_page();
        input.server = c.server;
        input.port = c.port;
        input.size_choice = c.size_choice;
        input.sender = " me@example.jp";
        input.recipient2 = " second@example.jp  ";
        input.send_todo = true;
        SettingsRecord settings = loaded();
        ASSERT_TRUE(apply_mail_page(input, settings).ok()) << c.row;
        EXPECT_SJIS_EQ(c.stored_server, settings.smtp_server) << c.row;
        for (size_t i = std::strlen(settings.smtp_server); i < sizeof settings.smtp_server; ++i)
            ASSERT_EQ(0, settings.smtp_server[i]) << c.row << ": byte " << i << " after the text";
        EXPECT_EQ(c.stored_port, settings.smtp_port) << c.row;
        EXPECT_EQ(c.stored_choice, settings.mail_size_choice) << c.row;
        EXPECT_STREQ("me@example.jp", settings.sender_address) << c.row;
        EXPECT_STREQ("second@example.jp", settings.recipient_address2) << c.row;
        EXPECT_EQ(1, settings.send_todo) << c.row;
        // Only the page's own fields change.
        SettingsRecord others = loaded();
        size_t from = offsetof(SettingsRecord, font_face);
        size_t to = offsetof(SettingsRecord, send_todo);
        EXPECT_EQ(0, std::memcmp(&others.font_face, &settings.font_face, to - from)) << c.row;
        from = offsetof(SettingsRecord, pop_before_smtp);
        EXPECT_EQ(0, std::memcmp(&others.pop_before_smtp, &settings.pop_before_smtp,
                                 sizeof settings - from))
            << c.row;
    }
}

TEST(SettingsPages, MailPageCutsLongTextsWithoutSplittingACharacter) {
    MailPageInput input = filled_mail_page();
    input.server = std::string(254, 's') + "予定"; // the first kanji straddles byte 255
    SettingsRecord settings = loaded();
    ASSERT_TRUE(apply_mail_page(input, settings).ok());
    EXPECT_SJIS_EQ(std::string(254, 's'), settings.smtp_server);
}

TEST(SettingsPages, AlarmAndDataPageFailures) {
    struct Case {
        const char* row;
        bool alarm_page;
        AlarmPageInput alarm;
        DataPageInput data;
        const char* message;
        PageControl focus;
    };
    const Case cases[] = {
        {"minutes 0", true, {"0", ""}, {}, "数値が正しく入力されていません", CONTROL_ALARM_MINUTES},
        {"minutes empty",
         true,
         {"", "C:\\a.wav"},
         {},
         "数値が正しく入力されていません",
         CONTROL_ALARM_MINUTES},
        {"minutes negative",
         true,
         {"-10", ""},
         {},
         "数値が正しく入力されていません",
         CONTROL_ALARM_MINUTES},
        {"days 0",
         false,
         {},
         {"0", "C:\\bak\\"},
         "データ削除期限が指定されていません",
         CONTROL_EXPIRY_DAYS},
        {"days text",
         false,
         {},
         {"abc", "C:\\bak\\"},
         "データ削除期限が指定されていません",
         CONTROL_EXPIRY_DAYS},
        {"folder empty",
         false,
         {},
         {"30", ""},
         "バックアップフォルダが指定されていません",
         CONTROL_BACKUP_FOLDER},
    };
    for (const Case& c : cases) {
        SettingsRecord before = loaded();
        SettingsRecord settings = before;
        PageResult result =
            c.alarm_page ? apply_alarm_page(c.alarm, settings) : apply_data_page(c.data, settings);
        expect_failure(result, c.message, c.focus, true, before, settings, c.row);
    }
}

TEST(SettingsPages, AlarmAndDataPagesStoreWhatTheyRead) {
    SettingsRecord settings = loaded();
    ASSERT_TRUE(apply_alarm_page({"1000", "C:\\音\\鐘.wav"}, settings).ok());
    EXPECT_EQ(100, settings.alarm_minutes); // only three characters are read
    EXPECT_SJIS_EQ("C:\\音\\鐘.wav", settings.alarm_wav_file);
    ASSERT_TRUE(apply_alarm_page({"5", ""}, settings).ok());
    EXPECT_STREQ("", settings.alarm_wav_file); // cleared with "消去"

    ASSERT_TRUE(apply_data_page({" 365", "D:\\控え\\"}, settings).ok());
    EXPECT_EQ(365, settings.expiry_days);
    EXPECT_SJIS_EQ("D:\\控え\\", settings.backup_folder);
}

TEST(SettingsPages, PopPageFailuresOnlyWhileSwitchedOn) {
    struct Case {
        const char* row;
        void (*change)(PopPageInput&);
        const char* message;
        PageControl focus;
        bool owned_by_page;
    };
    const Case cases[] = {
        {"server empty", [](PopPageInput& i) { i.server.clear(); },
         "受信メールサーバーが入力されていません", CONTROL_POP_SERVER, true},
        {"port 0", [](PopPageInput& i) { i.port = "0"; }, "ポート番号が範囲外です",
         CONTROL_POP_PORT, false},
        {"port 30001", [](PopPageInput& i) { i.port = "30001"; }, "ポート番号が範囲外です",
         CONTROL_POP_PORT, false},
        {"account empty", [](PopPageInput& i) { i.account.clear(); },
         "アカウント名が入力されていません", CONTROL_POP_ACCOUNT, true},
        {"password empty", [](PopPageInput& i) { i.password.clear(); },
         "パスワードが入力されていません", CONTROL_POP_PASSWORD, true},
    };
    for (const Case& c : cases) {
        PopPageInput input = filled_pop_page();
        c.change(input);
        SettingsRecord before = loaded();
        SettingsRecord settings = before;
        expect_failure(apply_pop_page(input, settings), c.message, c.focus, c.owned_by_page, before,
                       settings, c.row);
        // Switched off, the same input is stored as it is.
        input.enabled = false;
        EXPECT_TRUE(apply_pop_page(input, settings).ok()) << c.row;
        EXPECT_EQ(0, settings.pop_before_smtp) << c.row;
    }
}

TEST(SettingsPages, PopPageTrimsAllButThePassword) {
    PopPageInput input = filled_pop_page();
    input.server = " pop.example.jp ";
    input.account = " taro ";
    input.password = " pass word ";
    SettingsRecord settings = loaded();
    ASSERT_TRUE(apply_pop_page(input, settings).ok());
    EXPECT_EQ(1, settings.pop_before_smtp);
    EXPECT_STREQ("pop.example.jp", settings.pop_server);
    EXPECT_STREQ("taro", settings.pop_account);
    EXPECT_STREQ(" pass word ", settings.pop_password);
    EXPECT_EQ(110, settings.pop_port);

    PopPageInput off;
    off.account = std::string(70, 'a');
    ASSERT_TRUE(apply_pop_page(off, settings).ok());
    EXPECT_EQ(0, settings.pop_port); // an empty port is stored as read
    EXPECT_EQ(63u, std::strlen(settings.pop_account));
}

TEST(SettingsPages, FormatPageChecksTheDatePatternsOnly) {
    struct Case {
        const char* row;
        bool checked[FORMAT_ITEM_COUNT];
        const char* message; // null: accepted
        PageControl focus;
    };
    const Case cases[] = {
        {"start shown without pattern",
         {true, false, false, false},
         "開始日付が入力されていません",
         CONTROL_START_DATE_FORMAT},
        {"end shown without pattern",
         {false, true, false, false},
         "終了日付が入力されていません",
         CONTROL_END_DATE_FORMAT},
        {"both missing: start first",
         {true, true, false, false},
         "開始日付が入力されていません",
         CONTROL_START_DATE_FORMAT},
        {"empty prefixes are fine", {false, false, true, true}, nullptr, NO_CONTROL},
    };
    for (const Case& c : cases) {
        FormatPageInput input;
        input.enabled = true;
        for (int i = 0; i < FORMAT_ITEM_COUNT; ++i)
            input.checked[i] = c.checked[i];
        SettingsRecord before = loaded();
        SettingsRecord settings = before;
        PageResult result = apply_format_page(input, settings);
        if (c.message) {
            expect_failure(result, c.message, c.focus, true, before, settings, c.row);
        } else {
            EXPECT_TRUE(result.ok()) << c.row;
            EXPECT_EQ(1, settings.format_content) << c.row;
            EXPECT_STREQ("", settings.content_prefix) << c.row;
        }
    }
}

TEST(SettingsPages, FormatPageStoresCheckedItemsAndClearsTheRest) {
    SettingsRecord settings = loaded();
    FormatPageInput on;
    on.enabled = true;
    const bool checked[FORMAT_ITEM_COUNT] = {true, false, true, true};
    const char* texts[FORMAT_ITEM_COUNT] = {" DATE:yyyy/mm/dd ", "TO:yyyy", "PLAN:", "  "};
    for (int i = 0; i < FORMAT_ITEM_COUNT; ++i) {
        on.checked[i] = checked[i];
        on.text[i] = texts[i];
    }
    ASSERT_TRUE(apply_format_page(on, settings).ok());
    EXPECT_EQ(1, settings.format_enabled);
    EXPECT_EQ(1, settings.format_start_date);
    EXPECT_EQ(0, settings.format_end_date);
    EXPECT_EQ(1, settings.format_content);
    EXPECT_EQ(1, settings.format_place);
    EXPECT_STREQ("DATE:yyyy/mm/dd", settings.start_date_format);
    EXPECT_STREQ("", settings.end_date_format); // unchecked: emptied
    EXPECT_STREQ("PLAN:", settings.content_prefix);
    EXPECT_STREQ("  ", settings.place_prefix);

    // Switched off, every flag and text goes, whatever the boxes show.
    FormatPageInput off = on;
    off.enabled = false;
    ASSERT_TRUE(apply_format_page(off, settings).ok());
    for (int i = 0; i < FORMAT_ITEM_COUNT; ++i) {
        EXPECT_EQ(0, format_flag(settings, i)) << i;
        EXPECT_STREQ("", format_text_field(settings, i, nullptr)) << i;
    }
    EXPECT_EQ(0, settings.format_enabled);
}

TEST(SettingsPages, FontPageKeepsWhatHasNoSelection) {
    struct Case {
        const char* face;
        int size;
        const char* stored_face;
        int stored_size;
    };
    const Case cases[] = {
        {"IPAゴシック", 12, "IPAゴシック", 12},
        {"", 12, "ＭＳ ゴシック", 12},
        {"IPA明朝", 0, "IPA明朝", 9},
        {"IPA明朝", 21, "IPA明朝", 9},
    };
    for (const Case& c : cases) {
        SettingsRecord settings = loaded();
        apply_font_page({c.face, c.size}, settings);
        EXPECT_SJIS_EQ(c.stored_face, settings.font_face);
        EXPECT_EQ(c.stored_size, settings.font_size) << c.face;
    }
}

TEST(SettingsPages, AFailedSaveKeepsTheLiveRecord) {
    testing::TempFolder folder;
    SettingsRecord live = loaded();
    SettingsRecord updated = live;
    updated.alarm_minutes = 42;
    // A folder where the file should be: nothing can be written there.
    std::filesystem::create_directory(folder / SETTINGS_FILE_NAME);
    EXPECT_FALSE(save_page(folder / SETTINGS_FILE_NAME, live, updated));
    EXPECT_EQ(10, live.alarm_minutes);

    EXPECT_TRUE(save_page(folder / "ok.fil", live, updated));
    EXPECT_EQ(42, live.alarm_minutes);
    EXPECT_EQ(42, load_settings(folder / "ok.fil", PROGRAM_FOLDER).alarm_minutes);
}

TEST(SettingsPages, PutBackRestoresOnlyTheOpenersFields) {
    struct Case {
        size_t end;
        int32_t format_enabled_after;
    };
    const Case cases[] = {{TRAY_COPY_END, 0}, {CALENDAR_COPY_END, 1}};
    for (const Case& c : cases) {
        SettingsRecord copy = loaded();
        SettingsRecord live = copy;
        std::strcpy(live.smtp_server, "changed");
        live.pop_port = 110 + 1;
        live.format_enabled = 1;
        live.notify_today_at_startup = 0;
        live.mark_range = MARK_TODAY;
        put_back_fields(live, copy, c.end);
        EXPECT_STREQ("", live.smtp_server);
        EXPECT_EQ(110, live.pop_port);
        EXPECT_EQ(c.format_enabled_after, live.format_enabled);
        EXPECT_EQ(0, live.notify_today_at_startup);
        EXPECT_EQ(MARK_TODAY, live.mark_range);
    }
}

SettingsRecord mail_ready() {
    SettingsRecord s = loaded();
    EXPECT_TRUE(apply_mail_page(filled_mail_page(), s).ok());
    s.daily_progress = {20251209, 2, PERIOD_ARRIVED};
    return s;
}

TEST(TimedMailPage, ChecksInTheirOrder) {
    const char* DAY = "毎日の予定を送る時刻を選んで下さい";
    const char* WEEK = "毎週の予定を送る時刻を選んで下さい";
    const char* WEEKDAY = "毎週の予定を送る曜日を選んで下さい";
    const char* NO_MAIL = "定時送信には「メール」ページの設定が必要です。送信メールサーバーと"
                          "差出人、あて先のメールアドレスを入力して下さい";
    struct Row {
        bool daily_on, weekly_on, mail_ready;
        int daily_hour, daily_minute, weekday, weekly_hour, weekly_minute;
        const char* message; // null: applied
        PageControl focus;
    };
    const Row rows[] = {
        {1, 1, 1, 6, 30, 0, 20, 0, nullptr, NO_CONTROL},
        {1, 1, 1, -1, 30, 0, 20, 0, DAY, CONTROL_DAILY_HOUR},
        {1, 1, 1, 6, 60, 0, 20, 0, DAY, CONTROL_DAILY_MINUTE},
        {1, 1, 1, 6, 30, -1, 20, 0, WEEKDAY, CONTROL_WEEKLY_WEEKDAY},
        {1, 1, 1, 6, 30, 0, -1, 0, WEEK, CONTROL_WEEKLY_HOUR},
        // Off, a list may be left empty: the stored value stays.
        {0, 1, 1, -1, 30, 0, 20, 0, nullptr, NO_CONTROL},
        {1, 1, 0, 6, 30, 0, 20, 0, NO_MAIL, CONTROL_DAILY_ON},
        {0, 0, 0, 6, 30, 0, 20, 0, nullptr, NO_CONTROL},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        const Row& row = rows[i];
        TimedMailPageInput input{row.daily_on,  row.daily_hour, row.daily_minute, TARGET_NEXT,
                                 row.weekly_on, row.weekday,    row.weekly_hour,  row.weekly_minute,
                                 TARGET_NEXT,   false};
        SettingsRecord settings = mail_ready();
        if (!row.mail_ready)
            settings.recipient_address[0] = '\0';
        SettingsRecord before = settings;
        PageResult result = apply_timed_mail_page(input, settings);
        if (row.message) {
            expect_failure(result, row.message, row.focus, true, before, settings,
                           "row " + std::to_string(i));
            continue;
        }
        ASSERT_TRUE(result.ok()) << "row " << i;
        EXPECT_EQ(row.daily_on, settings.daily_on == 1) << "row " << i;
        EXPECT_EQ(row.daily_hour < 0 ? 7 : 6, settings.daily_hour) << "row " << i;
        // What was sent is the mails' to write, never the page's.
        EXPECT_EQ(PERIOD_ARRIVED, settings.daily_progress.state) << "row " << i;
    }
}

// A mail that arrives while the sheet is open writes its progress; a page
// saved afterwards from its older copy must not take it back.
TEST(TimedMailPage, SavedPageKeepsTheProgressWrittenMeanwhile) {
    testing::TempFolder folder;
    std::filesystem::path path = folder / SETTINGS_FILE_NAME;
    SettingsRecord live = mail_ready();
    SettingsRecord page_copy = live;
    live.weekly_progress = {20251207, 1, PERIOD_ARRIVED};
    page_copy.weekly_on = 1;
    ASSERT_TRUE(save_page(path, live, page_copy));
    SettingsRecord loaded = load_settings(path, "C:\\");
    EXPECT_EQ(20251207, loaded.weekly_progress.period_key);
    EXPECT_EQ(1, loaded.weekly_on);
    EXPECT_EQ(0, std::memcmp(&live, &loaded, sizeof live));
}

} // namespace
} // namespace vntra
