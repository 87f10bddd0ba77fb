// Comparisons of Shift-JIS texts whose failures print the texts as UTF-8,
// so that a person can read them.
#ifndef VNTRA_TESTS_SJIS_ASSERT_H
#define VNTRA_TESTS_SJIS_ASSERT_H

#include <gtest/gtest.h>
#include <string>
#include <string_view>

namespace vntra::testing {

// The text as UTF-8, with its bytes in hex behind it.
std::string readable(std::string_view sjis);

// A u8"" literal's bytes (the suites' own literals are Shift-JIS).
inline std::string utf8_bytes(const char8_t* text) {
    return reinterpret_cast<const char*>(text);
}

::testing::AssertionResult sjis_equal(const char* expected_expr, const char* actual_expr,
                                      std::string_view expected, std::string_view actual);

} // namespace vntra::testing

#define EXPECT_SJIS_EQ(expected, actual)                                                           \
    EXPECT_PRED_FORMAT2(::vntra::testing::sjis_equal, expected, actual)
#define ASSERT_SJIS_EQ(expected, actual)                                                           \
    ASSERT_PRED_FORMAT2(::vntra::testing::sjis_equal, expected, actual)

#endif
