// What the server offers, the AUTH PLAIN token, the stored password and the
// settings fields that carry the submission security.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "mail/smtp_security.h"
#include "platform/secret.h"
#include "store/schedule_record.h"
#include "store/settings_record.h"
#include "support/temp_folder.h"
#include "text/base64.h"
#include "text/utf16_text.h"

namespace vntra {
namespace {

using testing::read_file_bytes;
using testing::TempFolder;
using testing::write_file_bytes;

TEST(SmtpSecurity, EhloOffers) {
    struct Case {
        std::vector<std::string> lines;
        bool starttls;
        bool plain;
        bool login;
    };
    const Case cases[] = {
        {{"smtp.example.com at your service", "SIZE 35882577", "8BITMIME", "STARTTLS",
          "ENHANCEDSTATUSCODES", "PIPELINING", "CHUNKING", "SMTPUTF8"},
         true,
         false,
         false},
        {{"smtp.example.com", "AUTH LOGIN PLAIN XOAUTH2 PLAIN-CLIENTTOKEN OAUTHBEARER", "SIZE 1"},
         false,
         true,
         true},
        {{"mx", "auth login", "starttls"}, true, false, true}, // keywords in any case
        {{"mx", "AUTH=LOGIN PLAIN"}, false, true, true},       // the old form
        {{"mx", "AUTH CRAM-MD5 XOAUTH2 PLAIN-CLIENTTOKEN"}, false, false, false},
        // Names that merely contain a keyword do not count.
        {{"mx STARTTLS", "X-AUTH PLAIN", "STARTTLSX", "AUTHLOGIN"}, false, false, false},
        {{}, false, false, false},
    };
    for (const Case& c : cases) {
        EhloOffer offer = parse_ehlo_offer(c.lines);
        SCOPED_TRACE(c.lines.empty() ? "" : c.lines.back());
        EXPECT_EQ(c.starttls, offer.starttls);
        EXPECT_EQ(c.plain, offer.auth_plain);
        EXPECT_EQ(c.login, offer.auth_login);
    }
}

TEST(SmtpSecurity, Base64AndThePlainToken) {
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},        {"f", "Zg=="},        {"fo", "Zm8="},
        {"foo", "Zm9v"}, {"foob", "Zm9vYg=="}, {std::string("\xff\xfe\x00", 3), "//4A"},
    };
    for (const auto& [bytes, text] : cases)
        EXPECT_EQ(text, base64_encode(bytes));
    // "\0user@example.jp\0pass word"
    EXPECT_EQ("AHVzZXJAZXhhbXBsZS5qcABwYXNzIHdvcmQ=",
              auth_plain_response("user@example.jp", "pass word"));
}

TEST(SmtpSecurity, PasswordIsStoredEncrypted) {
    // UTF-8 as typed, "ö" included, which Shift-JIS has no form for.
    const std::string passwords[] = {"abcd efgh ijkl mnop", "p", "p@ss w\xC3\xB6rd", ""};
    for (const std::string& password : passwords) {
        SettingsRecord s = default_settings("C:\\");
        std::string none;
        EXPECT_FALSE(smtp_password(s, none)); // nothing stored yet
        ASSERT_TRUE(set_smtp_password(s, password));
        ASSERT_GT(s.smtp_password_size, 0);
        std::string blob(reinterpret_cast<const char*>(s.smtp_password_blob),
                         static_cast<size_t>(s.smtp_password_size));
        // (One byte may turn up in any blob by chance.)
        if (password.size() > 3) {
            EXPECT_EQ(std::string::npos, blob.find(password));
        }
        std::string back;
        ASSERT_TRUE(smtp_password(s, back));
        EXPECT_EQ(password, back);

        // A damaged blob or size reads as no password at all.
        SettingsRecord damaged = s;
        damaged.smtp_password_blob[damaged.smtp_password_size / 2] ^= 0x55;
        damaged.smtp_password_blob[0] ^= 0x55;
        EXPECT_FALSE(smtp_password(damaged, back));
        for (int32_t size : {-1, 0, static_cast<int32_t>(SMTP_PASSWORD_BLOB_SIZE) + 1}) {
            damaged = s;
            damaged.smtp_password_size = size;
            EXPECT_FALSE(smtp_password(damaged, back));
        }
    }
}

// Earlier releases stored the login in Shift-JIS: it is sent as it always
// was, and shown (for editing, in a message) as the user typed it.
TEST(SmtpSecurity, LoginOfEarlierReleasesIsSentAsBefore) {
    const char* earlier[][3] = {
        // account, password, the account in UTF-8
        {"me@example.jp", "abc 123", "me@example.jp"},
        {"予定@example.jp", "ひみつ", "\xE4\xBA\x88\xE5\xAE\x9A@example.jp"}};
    for (const auto& [account, password, account_utf8] : earlier) {
        SettingsRecord s = default_settings("C:\\");
        set_text(s.smtp_account, account);
        std::string blob;
        ASSERT_TRUE(protect_secret(password, blob));
        std::memcpy(s.smtp_password_blob, blob.data(), blob.size());
        s.smtp_password_size = static_cast<int32_t>(blob.size());
        std::string sent;
        ASSERT_TRUE(smtp_password(s, sent));
        EXPECT_EQ(password, sent);
        EXPECT_EQ(account, smtp_account(s));
        EXPECT_EQ(account_utf8, smtp_account_utf8(s));
        // Stored as earlier or, in UTF-8, as now: a message names it alike.
        for (const std::string& stored : {smtp_account(s), smtp_account_utf8(s)})
            EXPECT_NE(
                std::string::npos,
                login_refused_message(stored, "535").find(std::string("「") + account + "」"));
    }
}

// From the edit field's UTF-16 to the UTF-8 the login sends, and back. A
// row with an empty side is broken text on the other, refused.
TEST(SmtpSecurity, LoginTextGoesFromUtf16ToUtf8Directly) {
    const std::pair<std::u16string, std::string> cases[] = {
        {u"p@ss w\u00F6rd", "p@ss w\xC3\xB6rd"},
        {u"\u4E88\u5B9A", "\xE4\xBA\x88\xE5\xAE\x9A"},
        {u"\U0001F511 \uFFFF", "\xF0\x9F\x94\x91 \xEF\xBF\xBF"}, // a surrogate pair
        {std::u16string(1, u'\xD83D'), ""},                      // unpaired surrogates
        {std::u16string(u"a") + u'\xDC11' + u'\xD83D', ""},
        {u"", "\xC3"},
        {u"", "\x83\x65"}, // Shift-JIS
    };
    for (const auto& [utf16, utf8] : cases) {
        std::string to_utf8 = "left over";
        std::u16string to_utf16 = u"left over";
        bool broken_utf16 = utf8.empty(), broken_utf8 = utf16.empty();
        EXPECT_EQ(!broken_utf16, utf16_to_utf8(utf16, to_utf8)) << utf8;
        EXPECT_EQ(!broken_utf8, utf8_to_utf16(utf8, to_utf16)) << utf8;
        bool broken = broken_utf16 || broken_utf8;
        EXPECT_EQ(broken ? "" : utf8, to_utf8);
        EXPECT_TRUE((broken ? u"" : utf16) == to_utf16) << utf8;
    }
}

TEST(SmtpSecurity, SettingsFileCarriesTheNewFields) {
    TempFolder folder;
    std::filesystem::path path = folder / SETTINGS_FILE_NAME;
    SettingsRecord s = default_settings("C:\\");
    EXPECT_EQ(SECURITY_NONE, s.smtp_security);
    EXPECT_EQ(0, s.smtp_auth);
    EXPECT_EQ(0, s.smtp_password_size);
    s.smtp_security = SECURITY_STARTTLS;
    s.smtp_auth = 1;
    set_text(s.smtp_account, "me@example.com");
    ASSERT_TRUE(set_smtp_password(s, "app-password-16c"));
    ASSERT_TRUE(save_settings(path, s));
    std::string bytes = read_file_bytes(path);
    ASSERT_EQ(SETTINGS_RECORD_SIZE, bytes.size());
    EXPECT_EQ(std::string::npos, bytes.find("app-password-16c"));
    EXPECT_EQ(0, bytes.compare(2404, 15, std::string("me@example.com", 15)));
    SettingsRecord loaded = load_settings(path, "C:\\");
    std::string password;
    ASSERT_TRUE(smtp_password(loaded, password));
    EXPECT_EQ("app-password-16c", password);

    // A file of the earlier release, 2396 bytes, loads the new fields as
    // their defaults; one of the same release loads what it holds.
    write_file_bytes(path, bytes.substr(0, SETTINGS_RECORD_SIZE_PLAIN_MAIL));
    loaded = load_settings(path, "C:\\");
    EXPECT_EQ(SECURITY_NONE, loaded.smtp_security);
    EXPECT_EQ(0, loaded.smtp_auth);
    EXPECT_STREQ("", loaded.smtp_account);
    EXPECT_EQ(0, loaded.smtp_password_size);
    EXPECT_EQ(s.mark_range, loaded.mark_range);
}

// Each failure has its own message, and the ones about a certificate name
// the server as the user typed it.
TEST(SmtpSecurity, TlsFailureMessages) {
    std::vector<std::string> seen;
    for (int r = TLS_TIMED_OUT; r <= TLS_UNAVAILABLE; ++r) {
        std::string text = tls_failure_message(static_cast<TlsResult>(r), "smtp.example.jp", 1);
        EXPECT_FALSE(text.empty()) << r;
        EXPECT_EQ(seen.end(), std::find(seen.begin(), seen.end(), text)) << r;
        seen.push_back(text);
    }
    for (TlsResult r : {TLS_UNTRUSTED, TLS_EXPIRED, TLS_WRONG_HOST})
        EXPECT_NE(std::string::npos,
                  tls_failure_message(r, "smtp.example.jp", 0).find("smtp.example.jp"));
    EXPECT_NE(std::string::npos,
              tls_failure_message(TLS_HANDSHAKE_FAILED, "x", 0x80090326u).find("0x80090326"));
    EXPECT_TRUE(tls_failure_message(TLS_OK, "x", 0).empty());
}

} // namespace
} // namespace vntra
