#include <gtest/gtest.h>

#include "support/sjis_assert.h"
#include "text/folder_text.h"

namespace vntra {
namespace {

TEST(FolderText, EndsWithExactlyOneBackslash) {
    struct Case {
        const char* folder;
        const char* expected;
    };
    const Case cases[] = {
        {"C:\\", "C:\\"}, // a drive root already ends with one
        {"C:\\Program Files", "C:\\Program Files\\"},
        {"C:\\予定\\", "C:\\予定\\"},
        {"D:\\予定表", "D:\\予定表\\"}, // 表 ends with the byte 0x5C
        {"E:\\ソ", "E:\\ソ\\"},         // so does ソ
        {"\\\\server\\share", "\\\\server\\share\\"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_SJIS_EQ(c.expected, with_trailing_backslash(c.folder)) << c.folder;
}

} // namespace
} // namespace vntra
