#include <gtest/gtest.h>

#include <string>

#include "platform/sjis_text.h"
#include "support/sjis_assert.h"
#include "text/text_encoding.h"

namespace vntra {
namespace {

std::string u8(const char8_t* text) {
    return reinterpret_cast<const char*>(text);
}

// The same text as UTF-16 without a byte order mark, either byte order.
std::string utf16_of_ascii(const std::string& ascii, bool big_endian) {
    std::string wide;
    for (char c : ascii) {
        wide += big_endian ? '\0' : c;
        wide += big_endian ? c : '\0';
    }
    return wide;
}

TEST(TextEncoding, DecidedFromTheWholeFile) {
    struct Case {
        const char* name;
        std::string bytes;
        TextEncoding encoding;
        size_t bom_length;
    };
    const std::string ascii_lines(6000, 'a');
    const std::string line = "2004,3,15,5,0,0,0,0,0,0,x,y\r\n";
    const Case cases[] = {
        {"empty", "", TEXT_SHIFT_JIS, 0},
        {"ASCII only", line, TEXT_SHIFT_JIS, 0},
        {"Shift-JIS", "会議,本社\r\n", TEXT_SHIFT_JIS, 0},
        {"UTF-8 mark", "\xEF\xBB\xBF" + line, TEXT_UTF8, 3},
        {"UTF-8 without mark", u8(u8"会議,本社\r\n"), TEXT_UTF8, 0},
        {"first multi-byte character far down", ascii_lines + u8(u8"会議"), TEXT_UTF8, 0},
        {"UTF-8 lines, then a Shift-JIS one", u8(u8"会議\r\n") + "本社", TEXT_SHIFT_JIS, 0},
        {"cut inside the last character", u8(u8"会議").substr(0, 5), TEXT_SHIFT_JIS, 0},
        {"overlong slash", "a\xC0\xAF", TEXT_SHIFT_JIS, 0},
        {"surrogate", "a\xED\xA0\x80", TEXT_SHIFT_JIS, 0},
        {"above U+10FFFF", "a\xF4\x90\x80\x80", TEXT_SHIFT_JIS, 0},
        {"UTF-16 LE mark", "\xFF\xFE" + utf16_of_ascii(line, false), TEXT_UTF16, 2},
        {"UTF-16 BE mark", "\xFE\xFF" + utf16_of_ascii(line, true), TEXT_UTF16, 2},
        {"UTF-16 LE shape", utf16_of_ascii(line, false), TEXT_UTF16, 0},
        {"UTF-16 BE shape", utf16_of_ascii(line, true), TEXT_UTF16, 0},
        {"one stray NUL", line + std::string(1, '\0') + line + line, TEXT_SHIFT_JIS, 0},
    };
    for (const Case& c : cases) {
        size_t bom_length = 99;
        EXPECT_EQ(c.encoding, detect_text_encoding(c.bytes, &bom_length)) << c.name;
        EXPECT_EQ(c.bom_length, bom_length) << c.name;
    }
}

TEST(TextEncoding, WholeShiftJisCharacters) {
    const std::pair<std::string, bool> cases[] = {
        {"会議,ｱｲｳ 表示\r\n", true},
        {"\x81\x40\xFC\xFC", true}, // the first and the last double-byte character
        {"\x82", false},            // a lead byte at the end
        {"\x82\x22", false},        // a quote cannot be a trail byte
        {"\x81\x7F", false},
        {"\x80", false},
        {"\xA0", false},
        {"\xFD", false},
    };
    for (const auto& [bytes, valid] : cases)
        EXPECT_EQ(valid, is_valid_sjis(bytes)) << testing::readable(bytes);
}

TEST(Utf8ToSjis, JisVariantsTakeTheirShiftJisFormsOnEveryBuild) {
    struct Case {
        std::string utf8;
        bool exact;
        std::string sjis;
    };
    const Case cases[] = {
        {u8(u8"会議〜打合せ"), true, "会議\x81\x60打合せ"}, // U+301C
        {u8(u8"～"), true, "\x81\x60"},                     // the code page's own U+FF5E
        {u8(u8"‖−¢£¬—"), true, "\x81\x61\x81\x7C\x81\x91\x81\x92\x81\xCA\x81\x5C"},
        {u8(u8"表〜"), true, "表\x81\x60"},
        {u8(u8"한〜"), false, ""},
        {"\xE3\x80", false, ""},
    };
    for (const Case& c : cases) {
        std::string sjis;
        EXPECT_EQ(c.exact, utf8_to_sjis_exact(c.utf8, sjis)) << c.utf8;
        if (c.exact) {
            EXPECT_SJIS_EQ(c.sjis, sjis);
        }
    }
    // The lossy form maps them too; only the character without a form is lost.
    const std::string lossy = utf8_to_sjis(cases[4].utf8);
    EXPECT_SJIS_EQ("?\x81\x60", lossy);
}

} // namespace
} // namespace vntra
