// The login's path from the edit field's UTF-16 to the UTF-8 that goes to
// the server, and back for showing a stored account.
#include <gtest/gtest.h>

#include "text/utf16_text.h"

namespace vntra {
namespace {

TEST(Utf16Text, ConvertsBothWaysAndRefusesBrokenText) {
    struct Case {
        std::u16string utf16;
        std::string utf8;
        bool valid; // false: refused in the direction the row's text is broken
    } cases[] = {
        {u"", "", true},
        {u"me@example.jp", "me@example.jp", true},
        {u"p@ss w\u00F6rd", "p@ss w\xC3\xB6rd", true},
        {u"\u4E88\u5B9A", "\xE4\xBA\x88\xE5\xAE\x9A", true},
        {u"\U0001F511 key", "\xF0\x9F\x94\x91 key", true}, // a surrogate pair
        {u"\uFFFF", "\xEF\xBF\xBF", true},
        // Unpaired surrogates in the field.
        {std::u16string(1, u'\xD83D'), "", false},
        {std::u16string(u"a") + u'\xDC11', "", false},
        {std::u16string(1, u'\xDC11') + u'\xD83D', "", false},
        // Bytes that are not UTF-8.
        {u"", "\xC3", false},
        {u"", "\xC0\xAF", false},         // overlong "/"
        {u"", "\xED\xA0\x80", false},     // a surrogate
        {u"", "\xF4\x90\x80\x80", false}, // above U+10FFFF
        {u"", "\x83\x65", false},         // Shift-JIS "テ"
    };
    for (const Case& c : cases) {
        std::string utf8 = "left over";
        std::u16string utf16 = u"left over";
        if (c.valid) {
            EXPECT_TRUE(utf16_to_utf8(c.utf16, utf8));
            EXPECT_EQ(c.utf8, utf8);
            EXPECT_TRUE(utf8_to_utf16(c.utf8, utf16));
            EXPECT_TRUE(c.utf16 == utf16) << c.utf8;
        } else if (c.utf8.empty()) {
            EXPECT_FALSE(utf16_to_utf8(c.utf16, utf8));
            EXPECT_EQ("", utf8);
        } else {
            EXPECT_FALSE(utf8_to_utf16(c.utf8, utf16));
            EXPECT_TRUE(utf16.empty());
        }
    }
}

} // namespace
} // namespace vntra
