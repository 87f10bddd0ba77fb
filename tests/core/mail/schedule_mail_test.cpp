#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "mail/iso2022jp.h"
#include "mail/schedule_mail.h"
#include "store/sorted_list.h"
#include "support/sjis_assert.h"

namespace vntra {
namespace {

ScheduleListEntry entry_with(const std::string& content, const std::string& place) {
    ScheduleListEntry entry{};
    entry.record = blank_record();
    entry.record.kind = KIND_TIME_RANGE;
    entry.record.start_year = 2004;
    entry.record.start_month = 1;
    entry.record.start_day = 5;
    entry.record.start_hour = 10;
    entry.record.start_minute = 0;
    entry.record.end_year = 2004;
    entry.record.end_month = 1;
    entry.record.end_day = 6;
    entry.record.end_hour = 24;
    entry.record.end_minute = 0;
    set_text(entry.record.content, content);
    set_text(entry.record.place, place);
    return entry;
}

TEST(MailComposition, LimitFromTheSizeChoice) {
    const std::pair<int32_t, int32_t> cases[] = {{1, 400}, {2, 800},  {3, 1600},      {4, 3200},
                                                 {0, 200}, {-1, 100}, {40, INT32_MAX}};
    for (auto [choice, limit] : cases)
        EXPECT_EQ(limit, mail_limit_for_choice(choice)) << choice;
}

TEST(MailComposition, LineItems) {
    struct Case {
        std::string line;
        int split;
        std::string text;
    };
    const Case cases[] = {
        {"01月05日 10:00-11:00  会議：本社", MONTH_LINE_SPLIT,
         "01月05日 10:00-11:00\r\n会議：本社\r\n"},
        // A span keeps three of its five blanks before the line end.
        {"1月05日～01月07日     旅行：京都", MONTH_LINE_SPLIT,
         "1月05日～01月07日   \r\n旅行：京都\r\n"},
        {"10:00-11:00        会議：本社", DAY_LINE_SPLIT, "10:00-11:00      \r\n会議：本社\r\n"},
        // A line too short to hold the blanks is kept whole.
        {"短い", MONTH_LINE_SPLIT, "短い\r\n"},
    };
    for (const Case& c : cases) {
        MailItem item = make_line_item(c.line, c.split);
        EXPECT_SJIS_EQ(c.text, item.text);
        EXPECT_EQ(static_cast<int32_t>(c.text.size() + 1), item.size);
    }
    EXPECT_EQ(35, make_line_item("01月05日 10:00-11:00  会議：本社", MONTH_LINE_SPLIT).size);
}

TEST(MailComposition, DateTemplates) {
    struct Case {
        std::string format;
        std::string expanded;
    };
    const std::string filler(125, 'x');
    const Case cases[] = {
        {"DATE:yyyy/mm/dd/hh:nn", "DATE:2004/01/05/10:07"},
        {"yyyymmdd", "20040105"},
        {"mmm", "01m"},
        {"yyyyy", "2004y"},
        {"YYYY/MM", "YYYY/MM"},
        {"hh時nn分", "10時07分"},
        // The second byte of "ノ" is 'm': it is part of the character.
        {"ノmm", "ノ01"},
        {"ノm", "ノm"},
        // Lead bytes from 0xE0 up too: "濺" is 0xE0 'd'.
        {"濺dd", "濺05"},
        {"濺d", "濺d"},
        {filler.substr(1) + "mm", filler.substr(1) + "01"}, // starts at 124
        {filler + "yyyy", filler + "yyyy"},                 // starts at 125
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_SJIS_EQ(c.expanded, expand_date_template(c.format, 2004, 1, 5, 10, 7));
    // The end of an all-day entry is 24:00; odd stored values keep their width.
    EXPECT_EQ("24:00", expand_date_template("hh:nn", 2004, 1, 5, 24, 0));
    EXPECT_EQ("2345/05", expand_date_template("yyyy/mm", 12345, 105, 1, 0, 0));
}

TEST(MailComposition, FormatItems) {
    SettingsRecord settings = default_settings("C:\\");
    settings.format_enabled = 1;
    set_text(settings.start_date_format, "  DATE:yyyy/mm/dd/hh:nn");
    set_text(settings.end_date_format, "TO:mm/dd hh:nn  ");
    set_text(settings.content_prefix, " PLAN:");
    set_text(settings.place_prefix, "PLACE:");
    ScheduleListEntry entry = entry_with("会議", "本社");

    struct Case {
        int32_t start, end, content, place;
        std::string text;
    };
    const Case cases[] = {
        {1, 1, 1, 1, "DATE:2004/01/05/10:00\r\nTO:01/06 24:00  \r\nPLAN:会議\r\nPLACE:本社\r\n"},
        {0, 0, 1, 0, "PLAN:会議\r\n"},
        {1, 0, 0, 1, "DATE:2004/01/05/10:00\r\nPLACE:本社\r\n"},
        {0, 0, 0, 0, ""},
    };
    for (const Case& c : cases) {
        settings.format_start_date = c.start;
        settings.format_end_date = c.end;
        settings.format_content = c.content;
        settings.format_place = c.place;
        MailItem item = make_format_item(entry, settings);
        EXPECT_SJIS_EQ(c.text, item.text);
        EXPECT_EQ(static_cast<int32_t>(c.text.size()), item.size);
    }
}

TEST(MailComposition, TodoItems) {
    MailItem item = make_todo_item(entry_with("買い物", ""));
    EXPECT_SJIS_EQ("買い物\r\n", item.text);
    EXPECT_EQ(9, item.size);
}

TEST(MailComposition, ItemsCountWhatArrives) {
    struct Case {
        std::string text;
        size_t arriving;
    };
    const Case cases[] = {
        {"", 0},
        {"abc\r\n", 5},
        {"予定", 4},
        {"ﾚﾎﾟｰﾄ提出", 12},           // sent as レポート提出: ﾎﾟ is one character
        {"ｶﾞｷﾞｸﾞ", 6},               // marks join
        {"ﾅﾞ", 4},                   // a mark that joins nothing is a character of its own
        {"ｱ\x81", 4},                // a lone lead byte arrives as "〓"
        {"\xFB\xFC", 2},             // an IBM extension character keeps its two bytes
        {std::string("ｱ\0ｱ", 3), 2}, // the text ends at its terminator
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.arriving, arriving_length(c.text)) << ::vntra::testing::readable(c.text);

    EXPECT_EQ(14, make_todo_item(entry_with("ﾚﾎﾟｰﾄ提出", "")).size - 1);
    SettingsRecord format = default_settings("C:\\");
    format.format_enabled = format.format_content = 1;
    set_text(format.content_prefix, "PLAN:");
    MailItem formatted = make_format_item(entry_with("ﾚﾎﾟｰﾄ提出", ""), format);
    EXPECT_SJIS_EQ("PLAN:ﾚﾎﾟｰﾄ提出\r\n", formatted.text);
    EXPECT_EQ(19, formatted.size);
    EXPECT_EQ(4 + 12 + 2 + 1, make_line_item("1日 ﾚﾎﾟｰﾄ提出", -1).size);
}

// ToDo lists full of half-width katakana, packed to the exact limit: what
// arrives (as Shift-JIS, full-width) stays within it, whatever the mix.
TEST(MailComposition, HalfWidthKatakanaPackToTheLimitThatArrives) {
    // "ﾚﾎﾟｰﾄ提出" + CR LF arrives as 14 bytes and is packed as 15.
    std::vector<MailItem> items;
    for (int i = 0; i < 26; ++i)
        items.push_back(make_todo_item(entry_with("ﾚﾎﾟｰﾄ提出", "")));
    ASSERT_EQ(15, items[0].size);
    items.push_back(make_todo_item(entry_with("ｱｲｳ", ""))); // 6 + 2 + 1 = 9: 399
    items.push_back(make_todo_item(entry_with("", "")));    // 2 + 1 = 3: past 400
    std::vector<PackedMail> mails = pack_items(items, 400);
    ASSERT_EQ(2u, mails.size());
    EXPECT_EQ(399, mails[0].used);
    for (const PackedMail& mail : mails)
        EXPECT_LE(arriving_length(mail.body), 400u);
    EXPECT_EQ(26 * 14 + 8u, arriving_length(mails[0].body));

    for (int half_width = 0; half_width <= 60; ++half_width) {
        std::string content;
        for (int i = 0; i < 60; ++i)
            content += i < half_width ? "ｶﾞ" : "a";
        std::vector<MailItem> many(30, make_todo_item(entry_with(content, "")));
        for (const PackedMail& mail : pack_items(many, 400))
            EXPECT_LE(arriving_length(mail.body), 400u) << half_width;
    }
}

TEST(MailComposition, PlainSubjectOnlyForASingleMail) {
    struct Case {
        size_t mails;
        size_t index;
        int32_t number;
    };
    const Case cases[] = {{1, 0, 0}, {0, 0, 0}, {2, 0, 1}, {2, 1, 2}, {5, 4, 5}};
    for (const Case& c : cases)
        EXPECT_EQ(c.number, subject_number(c.mails, c.index)) << c.mails << " " << c.index;
    EXPECT_SJIS_EQ("3月のスケジュール", make_subject(MONTH_SUBJECTS, {3, 0}, subject_number(1, 0)));
    EXPECT_SJIS_EQ("3月のスケジュール No.2",
                   make_subject(MONTH_SUBJECTS, {3, 0}, subject_number(3, 1)));
}

// Month lines whose items pack to exact byte counts: the date column, two
// blanks and a content of full-width characters.
MailItem month_item(int full_width_chars, const std::string& tail) {
    std::string content;
    for (int i = 0; i < full_width_chars; ++i)
        content += "予";
    return make_line_item("12月24日 18:00-21:00  " + content + tail, MONTH_LINE_SPLIT);
}

TEST(MailComposition, PackingKeepsItemsWhole) {
    struct Case {
        std::vector<int32_t> sizes;
        int32_t limit;
        std::vector<int32_t> used;
    };
    const Case cases[] = {
        {{150, 150, 150}, 400, {300, 150}},
        {{200, 200}, 400, {400}},                // exactly the limit: one mail
        {{100, 500, 100}, 400, {100, 500, 100}}, // too large: alone, unsplit
        {{500}, 400, {500}},
        {{0, 0, 0}, 400, {0}}, // empty items still make a mail
        {{}, 400, {0}},
    };
    for (const Case& c : cases) {
        std::vector<MailItem> items;
        for (size_t i = 0; i < c.sizes.size(); ++i)
            items.push_back({"item" + std::to_string(i) + "\r\n", c.sizes[i]});
        std::vector<PackedMail> mails = pack_items(items, c.limit);
        std::vector<int32_t> used;
        std::string all;
        for (const PackedMail& mail : mails) {
            used.push_back(mail.used);
            all += mail.body;
        }
        EXPECT_EQ(c.used, used);
        std::string expected_all;
        for (const MailItem& item : items)
            expected_all += item.text;
        EXPECT_EQ(expected_all, all); // nothing lost, nothing repeated, order kept
    }

    // With real Shift-JIS texts: 25 bytes of line around 37 full-width
    // characters and one letter make items of exactly 100.
    MailItem hundred = month_item(37, "a");
    ASSERT_EQ(100, hundred.size);
    std::vector<MailItem> four(4, hundred);
    EXPECT_EQ(1u, pack_items(four, 400).size());
    four.back() = month_item(37, "ab");
    ASSERT_EQ(101, four.back().size);
    std::vector<PackedMail> two = pack_items(four, 400);
    ASSERT_EQ(2u, two.size());
    EXPECT_EQ(300, two[0].used);
    EXPECT_EQ(297u, two[0].body.size()); // a byte of each item's size is not text
}

TEST(MailComposition, Subjects) {
    struct Case {
        const SubjectSet& set;
        SubjectValues values;
        int32_t number;
        std::string subject;
    };
    const Case cases[] = {
        {MONTH_SUBJECTS, {12, 0}, 0, "12月のスケジュール"},
        {MONTH_SUBJECTS, {1, 0}, 3, "1月のスケジュール No.3"},
        {WEEK_SUBJECTS, {12, 6}, 0, "12月第6週のスケジュール"},
        {WEEK_SUBJECTS, {12, 6}, 99, "12月第6週のスケジュール No.99"},
        {DAY_SUBJECTS, {2, 29}, 0, "2月29日のスケジュール"},
        {DAY_SUBJECTS, {2, 29}, 2, "2月29日のスケジュール No.2"},
        {TODO_SUBJECTS, {}, 0, "ＴｏＤｏリスト"},
        {TODO_SUBJECTS, {}, 7, "ＴｏＤｏリスト No.7"},
    };
    for (const Case& c : cases)
        EXPECT_SJIS_EQ(c.subject, make_subject(c.set, c.values, c.number));
}

// RFC 2047 allows 75 characters per encoded word; the program never splits
// its word, so every subject it makes must fit whole.
TEST(MailComposition, EverySubjectFitsOneEncodedWord) {
    size_t longest = 0;
    std::string longest_subject;
    for (const SubjectSet* set : {&MONTH_SUBJECTS, &WEEK_SUBJECTS, &DAY_SUBJECTS, &TODO_SUBJECTS}) {
        for (int month = 1; month <= 12; ++month) {
            for (int second = 1; second <= 31; ++second) {
                for (int number = 0; number <= 99; ++number) {
                    std::string subject = make_subject(*set, {month, second}, number);
                    size_t length = encode_header_word(to_iso2022jp(subject)).size();
                    if (length > longest) {
                        longest = length;
                        longest_subject = subject;
                    }
                }
            }
        }
    }
    EXPECT_LE(longest, 75u) << ::vntra::testing::readable(longest_subject);
    EXPECT_EQ(74u, encode_header_word(to_iso2022jp("12月第6週のスケジュール No.99")).size());
}

// Every line of every body the program makes stays within SMTP's 998 bytes,
// even at the worst: the longest fields, with half-width katakana and ASCII
// taking turns so that every character needs its own pair of escapes.
TEST(MailComposition, BodyLinesStayWithinSmtpLimit) {
    auto alternating = [](size_t bytes) {
        std::string text;
        while (text.size() < bytes)
            text += text.size() % 2 ? "a" : "ｱ";
        return text;
    };
    ScheduleListEntry longest =
        entry_with(alternating(CONTENT_SIZE - 1), alternating(PLACE_SIZE - 1));
    SettingsRecord settings = default_settings("C:\\");
    settings.format_enabled = settings.format_start_date = settings.format_end_date = 1;
    settings.format_content = settings.format_place = 1;
    set_text(settings.start_date_format, alternating(127));
    set_text(settings.end_date_format, alternating(127));
    set_text(settings.content_prefix, alternating(63));
    set_text(settings.place_prefix, alternating(63));
    // A list line: date column, blanks, content, "：", place.
    std::string line = "12月24日 18:00-21:00  " + std::string(longest.record.content) + "：" +
                       std::string(longest.record.place);

    const MailItem items[] = {
        make_format_item(longest, settings),
        make_line_item(line, MONTH_LINE_SPLIT),
        make_line_item(line, DAY_LINE_SPLIT),
        make_todo_item(longest),
    };
    for (const MailItem& item : items) {
        std::string converted = to_iso2022jp(item.text);
        size_t start = 0;
        while (start < converted.size()) {
            size_t end = converted.find('\n', start);
            if (end == std::string::npos)
                end = converted.size();
            // Plus a stuffed "." and the CR LF.
            EXPECT_LE(end - start + 1 + 2, 998u);
            start = end + 1;
        }
    }
}

} // namespace
} // namespace vntra
