#include <gtest/gtest.h>

#include <string>

#include "mail/iso2022jp.h"
#include "support/sjis_assert.h"

#ifndef _WIN32
#include <iconv.h>
#endif

namespace vntra {
namespace {

const std::string TO_JIS = "\x1B$B";
const std::string TO_ASCII = "\x1B(B";

TEST(MailEncoding, SjisToJisCodes) {
    struct Case {
        uint16_t sjis;
        uint16_t jis;
    };
    const Case cases[] = {
        {0x8140, 0x2121}, // "　", the first character
        {0x975C, 0x4D3D}, // "予": trail 0x5C is part of the character
        {0x92E8, 0x446A}, // "定": trail above 0x9F
        {0x889F, 0x3021}, // "亜", first kanji, trail exactly 0x9F
        {0x837E, 0x255F}, // "ミ": trail 0x7E
        {0x8380, 0x2560}, // "ム": trail 0x80
        {0xEAA4, 0x7426}, // "熙", the last of JIS X 0208
        {0x8740, 0x2D21}, // row 13 maps arithmetically
        {0xF040, 0},      // user-defined area
        {0xFA40, 0},      // extension area
        {0x817F, 0},      // 0x7F is no trail byte
        {0x81FD, 0},      // nor is 0xFD
        {0x8130, 0},      // nor a digit
        {0x4142, 0},      // "AB" is no double-byte character
        {0xA0A0, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.jis, sjis_to_jis(c.sjis)) << std::hex << c.sjis;
}

TEST(MailEncoding, ConvertsRunsAndLineEnds) {
    struct Case {
        std::string sjis;
        std::string jis;
    };
    const Case cases[] = {
        {"", ""},
        {"abc", "abc"},
        {"予定", TO_JIS + "M=Dj" + TO_ASCII},
        {"A予B", "A" + TO_JIS + "M=" + TO_ASCII + "B"},
        {"ＴｏＤｏ\r\nテスト",
         TO_JIS + "#T#o#D#o" + TO_ASCII + "\n" + TO_JIS + "%F%9%H" + TO_ASCII},
        {"a\r\n\r\nb\r\n", "a\n\nb\n"},
        {"a\rb", "a\nb"},                 // a lone CR is a line end too
        {"a\r", "a\n"},                   // and never reads past the end
        {std::string("ab\0cd", 5), "ab"}, // the text ends at its terminator
    };
    for (const Case& c : cases)
        EXPECT_SJIS_EQ(c.jis, to_iso2022jp(c.sjis));
}

TEST(MailEncoding, HalfWidthKatakanaBecomeFullWidth) {
    struct Case {
        std::string half;
        std::string full;
    };
    const Case cases[] = {
        {"｡｢｣､･ｦｧｨｩｪｫｬｭｮｯｰｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄﾅﾆﾇﾈﾉﾊﾋﾌﾍﾎﾏﾐﾑﾒﾓﾔﾕﾖﾗﾘﾙﾚﾛﾜﾝﾞﾟ",
         "。「」、・ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノハヒフ"
         "ヘホマミムメモヤユヨラリルレロワン゛゜"},
        {"ｶﾞｷﾞｸﾞｹﾞｺﾞｻﾞｼﾞｽﾞｾﾞｿﾞﾀﾞﾁﾞﾂﾞﾃﾞﾄﾞ", "ガギグゲゴザジズゼゾダヂヅデド"},
        {"ﾊﾞﾋﾞﾌﾞﾍﾞﾎﾞﾊﾟﾋﾟﾌﾟﾍﾟﾎﾟ", "バビブベボパピプペポ"},
        {"ｳﾞ", "ヴ"},
        {"ﾅﾞｶﾟﾞ", "ナ゛カ゜゛"}, // marks that join nothing stay marks
        {"ｽｹｼﾞｭｰﾙ一覧", "スケジュール一覧"},
    };
    for (const Case& c : cases)
        EXPECT_SJIS_EQ(to_iso2022jp(c.full), to_iso2022jp(c.half));
    // Half-width and full-width characters share one run.
    EXPECT_SJIS_EQ("a" + TO_JIS + "%\"" + TO_ASCII + "b", to_iso2022jp("aｱb"));
}

TEST(MailEncoding, WhatHasNoJisFormStaysSevenBit) {
    const std::string geta = TO_JIS + "\"." + TO_ASCII; // "〓"
    struct Case {
        std::string sjis;
        std::string jis;
    };
    const Case cases[] = {
        // An unmappable character is replaced inside its run; the text goes on.
        {"予\xF0\x40定", TO_JIS + "M=\".Dj" + TO_ASCII},
        {"A\xFA\x40", "A" + geta},
        // A lead byte without its second byte stands alone.
        {"A\x81", "A" + geta},
        {"\x81\r\nB", geta + "\nB"},
        // Bytes that are no character, and ones that would switch the decoder.
        {"a\x80"
         "b\xA0"
         "c\xFD"
         "d\xFF",
         "a?b?c?d?"},
        {"x\x1B$By\x0E\x0F", "x?$By??"},
    };
    for (const Case& c : cases)
        EXPECT_SJIS_EQ(c.jis, to_iso2022jp(c.sjis));

    // Every byte pair, between ASCII letters, comes out 7-bit and ends in ASCII mode.
    for (unsigned first = 1; first < 256; ++first) {
        for (unsigned second = 1; second < 256; ++second) {
            std::string text = {'a', static_cast<char>(first), static_cast<char>(second), 'z'};
            std::string out = to_iso2022jp(text);
            for (unsigned char b : out)
                ASSERT_LT(b, 0x80) << std::hex << first << " " << second;
            size_t opened = out.rfind(TO_JIS);
            ASSERT_TRUE(opened == std::string::npos || out.rfind(TO_ASCII) > opened)
                << std::hex << first << " " << second;
        }
    }
}

#ifndef _WIN32
// The system's own converter agrees on every JIS X 0208 character.
TEST(MailEncoding, AgreesWithTheSystemConverter) {
    iconv_t cd = ::iconv_open("ISO-2022-JP", "SHIFT_JIS");
    ASSERT_NE(reinterpret_cast<iconv_t>(-1), cd);
    int compared = 0;
    for (unsigned lead = 0x81; lead <= 0xEF; ++lead) {
        if (lead >= 0xA0 && lead < 0xE0)
            continue;
        for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
            std::string text = {'x', static_cast<char>(lead), static_cast<char>(trail), 'y'};
            char out[64];
            char* in_ptr = text.data();
            size_t in_left = text.size();
            char* out_ptr = out;
            size_t out_left = sizeof out;
            ::iconv(cd, nullptr, nullptr, nullptr, nullptr);
            if (::iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left) == static_cast<size_t>(-1))
                continue; // not a JIS X 0208 character
            ::iconv(cd, nullptr, nullptr, &out_ptr, &out_left);
            ASSERT_EQ(std::string(out, out_ptr), to_iso2022jp(text)) << std::hex << lead << trail;
            ++compared;
        }
    }
    ::iconv_close(cd);
    EXPECT_GT(compared, 6800);
}
#endif

TEST(MailEncoding, HeaderWords) {
    struct Case {
        std::string bytes;
        std::string word;
    };
    const Case cases[] = {
        {"", "=?ISO-2022-JP?B?"
             "?="},
        {"a", "=?ISO-2022-JP?B?YQ==?="},
        {"ab", "=?ISO-2022-JP?B?YWI=?="},
        {"abc", "=?ISO-2022-JP?B?YWJj?="},
        {"Vontara", "=?ISO-2022-JP?B?Vm9udGFyYQ==?="},
        {to_iso2022jp("予定"), "=?ISO-2022-JP?B?GyRCTT1EahsoQg==?="},
        {"\xFF\xFE\xFD", "=?ISO-2022-JP?B?//79?="},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.word, encode_header_word(c.bytes));
}

} // namespace
} // namespace vntra
