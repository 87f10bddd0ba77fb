#include <gtest/gtest.h>

#include "text/decimal_prefix.h"

namespace vntra {
namespace {

TEST(DecimalPrefix, LeadingDigitsAfterBlanksAndSign) {
    struct Case {
        const char* text;
        size_t max_chars;
        int32_t value;
    };
    const Case cases[] = {
        {"2004", 7, 2004},
        {"  2004", 7, 2004},
        {"-12", 7, -12},
        {"+7", 7, 7},
        {"12ab", 7, 12},
        {"ab12", 7, 0},
        {"", 7, 0},
        {"-", 7, 0},
        {"20049999", 7, 2004999},
        {"   2004", 4, 2},
        {"99999999999", 99, INT32_MAX},
        {"-99999999999", 99, INT32_MIN},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.value, decimal_prefix(c.text, c.max_chars)) << c.text;
}

} // namespace
} // namespace vntra
