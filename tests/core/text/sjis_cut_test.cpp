#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "store/schedule_record.h"
#include "support/sjis_assert.h"
#include "text/sjis_cut.h"

namespace vntra {
namespace {

TEST(SjisCut, NeverSplitsADoubleByteCharacter) {
    struct Case {
        std::string text;
        size_t max_bytes;
        std::string cut;
    };
    const Case cases[] = {
        {"abcdef", 4, "abcd"},
        {"予定表", 4, "予定"},
        {"予定表", 5, "予定"}, // the third character would be split
        {"a予定", 2, "a"},     // lead byte at the last place
        {"ｱｲｳ", 2, "ｱｲ"},      // half-width katakana are single bytes
        {"表示", 3, "表"},     // 0x95 0x5C: trail byte looks like a backslash
        {"ab", 0, ""},
        {std::string("a\x83", 2), 5, std::string("a\x83", 2)}, // lone lead byte at the end
    };
    for (const Case& c : cases)
        EXPECT_SJIS_EQ(c.cut, sjis_cut(c.text, c.max_bytes));
}

TEST(SjisCut, FieldsAreTerminatedInsideTheirWidth) {
    char field[8];
    std::memset(field, 'x', sizeof field);
    copy_to_field(field, sizeof field, "あいうえ"); // 8 bytes into 7
    EXPECT_SJIS_EQ("あいう", field);
    EXPECT_EQ('\0', field[7]);
    copy_to_field(field, sizeof field, "ab");
    EXPECT_SJIS_EQ("ab", field);
    EXPECT_EQ(0, std::memcmp(field + 2, "\0\0\0\0\0\0", 6));
}

// Record fields take the same cut: a 65-byte content keeps 64 bytes at most,
// and a character across that line is left out whole.
TEST(SjisCut, RecordFieldsCutAtCharacters) {
    struct Case {
        std::string text;
        size_t kept;
    };
    const Case cases[] = {
        {std::string(70, 'a'), 64},
        {std::string(63, 'a') + "予定", 63},
        {std::string(62, 'a') + "予定", 64},
        {std::string(64, 'a'), 64},
    };
    for (const Case& c : cases) {
        ScheduleRecord r = blank_record();
        std::memset(r.content, 'x', sizeof r.content);
        set_text(r.content, c.text);
        EXPECT_EQ(c.kept, std::strlen(r.content)) << c.text;
        EXPECT_EQ(c.text.substr(0, c.kept), std::string(r.content));
    }
}

} // namespace
} // namespace vntra
