#include <gtest/gtest.h>

#include <string>

#include "platform/sjis_text.h"
#include "support/sjis_assert.h"
#include "text/text_encoding.h"

namespace vntra {
namespace {

using testing::utf8_bytes;

TEST(TextEncoding, DecidedFromTheWholeFile) {
    struct Case {
        const char* name;
        std::string bytes;
        TextEncoding encoding;
        size_t bom_length;
    };
    const std::string line = "2004,3,15,5,,,,,,,x,y\r\n";
    const std::string utf16_le("a\0,\0x\0\r\0\n\0", 10);
    const std::string utf16_be("\0a\0,\0x\0\r\0\n", 10);
    const Case cases[] = {
        {"empty", "", TEXT_SHIFT_JIS, 0},
        {"ASCII only", line, TEXT_SHIFT_JIS, 0},
        {"Shift-JIS", "会議,本社\r\n", TEXT_SHIFT_JIS, 0},
        {"UTF-8 mark", "\xEF\xBB\xBF" + line, TEXT_UTF8, 3},
        {"UTF-8 without mark", utf8_bytes(u8"会議,本社\r\n"), TEXT_UTF8, 0},
        {"multi-byte far down", std::string(6000, 'a') + utf8_bytes(u8"会"), TEXT_UTF8, 0},
        {"UTF-8, then Shift-JIS", utf8_bytes(u8"会議\r\n") + "本社", TEXT_SHIFT_JIS, 0},
        {"cut inside a character", utf8_bytes(u8"会議").substr(0, 5), TEXT_SHIFT_JIS, 0},
        {"overlong", "a\xC0\xAF", TEXT_SHIFT_JIS, 0},
        {"surrogate", "a\xED\xA0\x80", TEXT_SHIFT_JIS, 0},
        {"above U+10FFFF", "a\xF4\x90\x80\x80", TEXT_SHIFT_JIS, 0},
        {"UTF-16 LE mark", "\xFF\xFE" + utf16_le, TEXT_UTF16, 2},
        {"UTF-16 BE mark", "\xFE\xFF" + utf16_be, TEXT_UTF16, 2},
        {"UTF-16 LE shape", utf16_le, TEXT_UTF16, 0},
        {"UTF-16 BE shape", utf16_be, TEXT_UTF16, 0},
        {"one stray NUL", line + std::string(1, '\0') + line + line, TEXT_SHIFT_JIS, 0},
    };
    for (const Case& c : cases) {
        size_t bom_length = 99;
        EXPECT_EQ(c.encoding, detect_text_encoding(c.bytes, &bom_length)) << c.name;
        EXPECT_EQ(c.bom_length, bom_length) << c.name;
    }
    // Whole characters: the first and last double-byte ones pass, a lead
    // byte without its trail, a quote or 0x7F as trail, and 0x80, 0xA0 and
    // 0xFD alone do not.
    EXPECT_TRUE(is_valid_sjis("会議,ｱｲｳ 表示\x81\x40\xFC\xFC"));
    for (const char* bad : {"\x82", "\x82\x22", "\x81\x7F", "\x80", "\xA0", "\xFD"})
        EXPECT_FALSE(is_valid_sjis(bad)) << testing::readable(bad);
}

TEST(Utf8ToSjis, JisVariantsTakeTheirShiftJisFormsOnEveryBuild) {
    const std::pair<std::string, std::string> exact[] = {
        {utf8_bytes(u8"会議〜打合せ"), "会議\x81\x60打合せ"},
        {utf8_bytes(u8"～"), "\x81\x60"}, // the code page's own form of the tilde
        {utf8_bytes(u8"表‖−¢£¬—"), "表\x81\x61\x81\x7C\x81\x91\x81\x92\x81\xCA\x81\x5C"},
    };
    std::string sjis;
    for (const auto& [utf8, expected] : exact) {
        EXPECT_TRUE(utf8_to_sjis_exact(utf8, sjis));
        EXPECT_SJIS_EQ(expected, sjis);
    }
    const std::string no_form = utf8_bytes(u8"한〜");
    EXPECT_FALSE(utf8_to_sjis_exact(no_form, sjis));
    EXPECT_FALSE(utf8_to_sjis_exact("\xE3\x80", sjis));
    // The lossy form maps them too; only the character without a form is lost.
    const std::string lossy = utf8_to_sjis(no_form);
    EXPECT_SJIS_EQ("?\x81\x60", lossy);
}

} // namespace
} // namespace vntra
