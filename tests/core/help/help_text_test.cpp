#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <set>
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

// Every caption of a dialog, control or menu item in the resources.
const char* const RESOURCE_CAPTIONS[] = {
#include "resource_captions.inc"
};

// The texts in 「」, read by character so that no trail byte passes for one.
std::vector<std::string> quoted_labels(std::string_view text) {
    std::vector<std::string> labels;
    size_t open = 0;
    for (size_t i = 0; i < text.size(); i += is_sjis_lead_byte(text[i]) ? 2 : 1) {
        if (text.substr(i, 2) == "「")
            open = i + 2;
        else if (text.substr(i, 2) == "」")
            labels.emplace_back(text.substr(open, i - open));
    }
    return labels;
}

TEST(HelpText, HandBrokenForAFixedPitchFace) {
    std::vector<std::string> lines = help_lines();
    ASSERT_EQ(99u, lines.size());
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
        "　「POP before SMTP に対応」",
        "　「メールの特殊フォーマット」",
        "　　ＴｏＤｏとリマインダはフォーマットできません。",
        "　「送信の認証・暗号化」",
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

// Each label the help quotes reads as the windows show it; the few quotes
// that are no caption map to what they stand for ("" for nothing on screen).
TEST(HelpText, QuotesOnlyLabelsTheWindowsShow) {
    std::set<std::string> captions(std::begin(RESOURCE_CAPTIONS), std::end(RESOURCE_CAPTIONS));
    captions.insert("");
    const std::map<std::string, std::string> stand_ins = {
        {"★", ""},
        {"，（カンマ）", ""}, // a row's mark, the import's separator
        {"スケジュール一覧", "ｽｹｼﾞｭｰﾙ一覧"},
        {"スケジュール・ＴｏＤｏ登録", "ｽｹｼﾞｭｰﾙ・ＴｏＤｏ 登録"},
    };
    std::vector<std::string> labels = quoted_labels(HELP_TEXT);
    EXPECT_GT(labels.size(), 40u);
    for (const std::string& label : labels) {
        auto stand_in = stand_ins.find(label);
        EXPECT_EQ(1u, captions.count(stand_in == stand_ins.end() ? label : stand_in->second))
            << testing::readable(label);
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
