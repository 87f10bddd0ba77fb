#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "help/help_text.h"
#include "platform/sjis_text.h"
#include "support/sjis_assert.h"
#include "text/sjis_cut.h"

namespace vntra {
namespace {

std::vector<std::string> help_lines() {
    std::vector<std::string> lines;
    std::string_view text = HELP_TEXT;
    for (;;) {
        size_t end = text.find("\r\n");
        lines.emplace_back(text.substr(0, end));
        if (end == std::string_view::npos)
            return lines;
        text.remove_prefix(end + 2);
    }
}

bool ends_with(const std::string& text, const char* tail) {
    size_t n = std::strlen(tail);
    return text.size() >= n && text.compare(text.size() - n, n, tail) == 0;
}

TEST(HelpText, HandBrokenForAFixedPitchFace) {
    EXPECT_EQ(4342u, std::strlen(HELP_TEXT));
    std::vector<std::string> lines = help_lines();
    ASSERT_EQ(89u, lines.size());
    EXPECT_EQ("", lines[0]);
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        SCOPED_TRACE(testing::readable(line));
        // No stray CR or LF, and no line cut inside a double-byte character.
        EXPECT_EQ(std::string::npos, line.find_first_of("\r\n"));
        EXPECT_EQ(line.size(), sjis_cut_length(line, line.size()));
        EXPECT_EQ(std::string::npos, sjis_to_utf8(line).find("\xEF\xBF\xBD"));
        EXPECT_LE(line.size(), 88u);
        // Only a closing mark may hang past 86 bytes.
        if (line.size() > 86) {
            EXPECT_TRUE(ends_with(line, "。") || ends_with(line, "、") || ends_with(line, "）") ||
                        ends_with(line, "」"));
        }
        // Headings start with "・"; everything under them is indented.
        EXPECT_TRUE(line.empty() || line.rfind("・", 0) == 0 || line.rfind("　", 0) == 0);
    }
}

TEST(HelpText, CoversEverySettingsPageAndWindow) {
    const char* headings[] = {
        "・まず、メニューの「設定」を行ってください。タブで項目が分かれています。",
        "　「メール」",
        "　「フォント」",
        "　「起動設定」",
        "　「アラーム」",
        "　「データ」",
        "　「POP before SMTPに対応」",
        "　「メールの特殊フォーマット」",
        "　　ＴｏＤｏとリマインダはフォーマットできません。",
        "・スケジューラーの使い方",
        "　「Vontara」画面",
        "　「スケジュール一覧」画面",
        "　「スケジュール・ＴｏＤｏ登録」画面",
    };
    std::vector<std::string> lines = help_lines();
    size_t from = 0;
    for (const char* heading : headings) {
        size_t found = from;
        while (found < lines.size() && lines[found] != heading)
            ++found;
        EXPECT_LT(found, lines.size()) << testing::readable(heading);
        if (found < lines.size())
            from = found + 1;
    }
}

TEST(AboutBox, MailtoLinkInLowerCase) {
    const char* cases[][2] = {
        {"Vontara-Support@Example.JP", "mailto:vontara-support@example.jp"},
        {"abc@xyz.jp", "mailto:abc@xyz.jp"},
        // "ア" ends in the byte of "A"; it stays a whole character.
        {"アB@x.jp", "mailto:アb@x.jp"},
    };
    for (const auto& c : cases)
        EXPECT_SJIS_EQ(c[1], mailto_link(c[0]));
    EXPECT_SJIS_EQ("Vontara ver 2.3", about_product_text());
    EXPECT_SJIS_EQ("ご意見・ご要望はこのメールアドレスへ\r\na@b.jp", contact_button_text("a@b.jp"));
    EXPECT_NE(nullptr, std::strchr(contact_address(), '@'));
}

} // namespace
} // namespace vntra
