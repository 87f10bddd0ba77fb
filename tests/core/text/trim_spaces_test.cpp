#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "support/sjis_assert.h"
#include "text/trim_spaces.h"

namespace vntra {
namespace {

TEST(TrimSpaces, OnlyHalfWidthBlanksAtTheEnds) {
    struct Case {
        std::string text;
        bool result;
        std::string trimmed;
    };
    const Case cases[] = {
        {" smtp.example.jp ", true, "smtp.example.jp"},
        {"a b", true, "a b"},
        {"\tTAB\t", true, "\tTAB\t"},
        {"　全角　", true, "　全角　"}, // the full-width space stays
        {"  予定 ", true, "予定"},
        {"x", true, "x"},
        {"", false, ""},
        {"   ", false, "   "}, // only blanks: unchanged
        {"  PLAN:会議\r\n", true, "PLAN:会議\r\n"},
    };
    for (const Case& c : cases) {
        char buffer[256] = {};
        std::memcpy(buffer, c.text.data(), c.text.size());
        EXPECT_EQ(c.result, trim_spaces(buffer)) << c.text;
        EXPECT_SJIS_EQ(c.trimmed, buffer);
        std::string text = c.text;
        EXPECT_EQ(c.result, trim_spaces(text));
        EXPECT_SJIS_EQ(c.trimmed, text);
    }
    char longest[256];
    std::memset(longest, 'a', 255);
    longest[0] = ' ';
    longest[255] = '\0';
    EXPECT_TRUE(trim_spaces(longest));
    EXPECT_EQ(254u, std::strlen(longest));
}

} // namespace
} // namespace vntra
