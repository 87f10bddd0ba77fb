// The checks and the storing of the page "送信の認証・暗号化".
#include <gtest/gtest.h>

#include <cstring>

#include "mail/smtp_security.h"
#include "settings/security_page.h"
#include "store/schedule_record.h"
#include "support/sjis_assert.h"

namespace vntra {
namespace {

TEST(SecurityPage, OfferedPorts) {
    struct Case {
        int security;
        int current;
        int offered;
    };
    const Case cases[] = {
        {SECURITY_STARTTLS, 25, 587},
        {SECURITY_SSL, 25, 465},
        {SECURITY_SSL, 587, 465},
        {SECURITY_STARTTLS, 465, 587},
        {SECURITY_NONE, 587, 25},
        {SECURITY_NONE, 465, 25},
        {SECURITY_STARTTLS, 587, 587},
        {SECURITY_STARTTLS, 0, 587},
        {SECURITY_SSL, -3, 465},
        // A port of the user's own stays whatever the mode.
        {SECURITY_STARTTLS, 2525, 2525},
        {SECURITY_SSL, 10465, 10465},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.offered, offered_port(c.security, c.current)) << c.security << " " << c.current;
}

TEST(SecurityPage, ChecksInOrderAndLeavesTheRecordOnFailure) {
    SettingsRecord stored = default_settings("C:\\");
    ASSERT_TRUE(set_smtp_password(stored, "old-password"));
    SettingsRecord empty = default_settings("C:\\");
    struct Case {
        SecurityPageInput input;
        const SettingsRecord* settings;
        const char* message; // nullptr: accepted
        PageControl focus;
    };
    const Case cases[] = {
        {{SECURITY_NONE, true, "me@example.com", "pw"},
         &stored,
         "暗号化が「なし」のときはSMTP認証を使えません。暗号化を選んで下さい",
         CONTROL_SECURITY_NONE},
        {{7, false, "", ""}, &stored, "暗号化の方式を選んで下さい", CONTROL_SECURITY_NONE},
        {{SECURITY_STARTTLS, true, "   ", "pw"},
         &stored,
         "SMTP認証のアカウントが入力されていません",
         CONTROL_SMTP_ACCOUNT},
        {{SECURITY_SSL, true, "me@example.com", ""},
         &empty,
         "SMTP認証のパスワードが入力されていません",
         CONTROL_SMTP_PASSWORD},
        {{SECURITY_SSL, true, "me@example.com", std::string(1100, 'x')},
         &stored,
         "パスワードを暗号化して保存できませんでした。短くして下さい",
         CONTROL_SMTP_PASSWORD},
        // Cut to the field, an account would be another one.
        {{SECURITY_STARTTLS, true, std::string(256, 'a'), ""},
         &stored,
         "SMTP認証のアカウントが長すぎます",
         CONTROL_SMTP_ACCOUNT},
        {{SECURITY_STARTTLS, true, std::string(255, 'a'), ""}, &stored, nullptr, NO_CONTROL},
        // An empty field keeps the stored password.
        {{SECURITY_STARTTLS, true, "me@example.com", ""}, &stored, nullptr, NO_CONTROL},
        {{SECURITY_NONE, false, "", ""}, &empty, nullptr, NO_CONTROL},
        {{SECURITY_SSL, false, "", ""}, &empty, nullptr, NO_CONTROL},
    };
    for (const Case& c : cases) {
        SettingsRecord settings = *c.settings;
        PageResult result = apply_security_page(c.input, settings);
        if (c.message) {
            EXPECT_SJIS_EQ(c.message, result.message ? result.message : "");
            EXPECT_EQ(c.focus, result.focus);
            EXPECT_EQ(0, std::memcmp(&settings, c.settings, sizeof settings));
        } else {
            EXPECT_TRUE(result.ok()) << testing::readable(result.message ? result.message : "");
            EXPECT_EQ(c.input.security, settings.smtp_security);
            EXPECT_EQ(c.input.auth ? 1 : 0, settings.smtp_auth);
        }
    }
}

TEST(SecurityPage, StoresTheLoginWithTheNewPassword) {
    SettingsRecord settings = default_settings("C:\\");
    SecurityPageInput input{SECURITY_STARTTLS, true, "  me@example.com ", "abcd efgh ijkl mnop"};
    ASSERT_TRUE(apply_security_page(input, settings).ok());
    EXPECT_STREQ("me@example.com", settings.smtp_account);
    std::string password;
    ASSERT_TRUE(smtp_password(settings, password));
    EXPECT_EQ("abcd efgh ijkl mnop", password);
    // Switching AUTH off keeps the login for the next time.
    input = {SECURITY_NONE, false, "me@example.com", ""};
    ASSERT_TRUE(apply_security_page(input, settings).ok());
    EXPECT_EQ(0, settings.smtp_auth);
    ASSERT_TRUE(smtp_password(settings, password));
    EXPECT_EQ("abcd efgh ijkl mnop", password);
}

} // namespace
} // namespace vntra
