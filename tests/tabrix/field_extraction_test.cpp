#include <gtest/gtest.h>

#include <string>

#include "support/sjis_assert.h"
#include "tabrix.h"

namespace {

struct TextCase {
    const char* line;
    int n;
    int status;
    const char* field;
};

std::string csv_field(const char* line, int n, int* status) {
    std::string out(std::string(line).size() + 1, 'x');
    *status = CSV_sget(line, out.data(), n);
    return out.c_str();
}

TEST(FieldText, QuotesSeparatorsAndMissingFields) {
    const TextCase cases[] = {
        {"\"a,b\",c", 1, 0, "a,b"},
        {"\"a,b\",c", 2, 0, "c"},
        {"ab\"\"cd", 1, 0, "abcd"},
        {"a,\"b,c", 2, 0, "b,c"},
        {"a,,c", 2, 0, ""},
        {"a,,c", 3, 0, "c"},
        {"a,,c", 4, -3, ""},
        {"a,,c", 0, -1, ""},
        {"a,,c", -7, -1, ""},
        {"", 1, -2, ""},
        {",", 1, 0, ""},
        {",", 2, 0, ""},
        {"a,b,", 3, 0, ""},
        {"2004,1\n", 2, 0, "1\n"},
        {" a , b ", 2, 0, " b "},
    };
    for (const TextCase& c : cases) {
        int status = 99;
        std::string field = csv_field(c.line, c.n, &status);
        EXPECT_EQ(c.status, status) << c.line << " #" << c.n;
        EXPECT_EQ(c.field, field) << c.line << " #" << c.n;
    }
}

TEST(FieldText, ShiftJisBytesAreNeverTakenForSeparators) {
    // "ソ" and "表" end in 0x5C; no Shift-JIS byte equals a comma, tab or quote.
    const char* line = "ソ表,\"能,力\",予定";
    int status = 0;
    EXPECT_SJIS_EQ("ソ表", csv_field(line, 1, &status));
    EXPECT_SJIS_EQ("能,力", csv_field(line, 2, &status));
    EXPECT_SJIS_EQ("予定", csv_field(line, 3, &status));
    EXPECT_EQ(3, CSV_count(line));
}

TEST(FieldCount, CountsUnquotedSeparators) {
    EXPECT_EQ(-2, CSV_count(""));
    EXPECT_EQ(1, CSV_count("a"));
    EXPECT_EQ(3, CSV_count("a,b,"));
    EXPECT_EQ(2, CSV_count("\"a,b\",c"));
    EXPECT_EQ(2, CSV_count("a,\"b,c"));
    EXPECT_EQ(1, TAB_count("a,b,c"));
    EXPECT_EQ(3, TAB_count("a\tb\t"));
}

TEST(FieldNumbers, IntegerGettersFollowThePrefixRules) {
    struct Case {
        const char* line;
        int n;
        int status;
        int32_t value;
    } const cases[] = {
        {"2004,1", 1, 0, 2004},
        {"a, 5", 2, -4, 0},
        {"a,,b", 2, -2, 0},
        {"1,2\n", 2, 0, 2},
        {"1-2", 1, 0, 1},
        {"--", 1, 0, 0},
        {"-", 1, 0, 0},
        {"-15", 1, 0, -15},
        {"\"12\"", 1, 0, 12},
        {"1.5e3", 1, 0, 1},
        {"x", 2, -3, 0},
        {"x", 0, -1, 0},
        // Fields longer than four characters convert whole.
        {"20041", 1, 0, 20041},
        {"a,123456789", 2, 0, 123456789},
        {"99999999999", 1, 0, INT32_MAX},
        {"-99999999999", 1, 0, INT32_MIN},
        // Leading zeros are decimal, as zero-padded months and days come in.
        {"08", 1, 0, 8},
        {"09", 1, 0, 9},
        {"010", 1, 0, 10},
        {"2004,08,09", 2, 0, 8},
        {"2004,08,09", 3, 0, 9},
        {"\"007\"", 1, 0, 7},
        {"-010", 1, 0, -10},
        {"0x1A", 1, -4, 0}, // nor is a hexadecimal field a number
    };
    for (const auto& c : cases) {
        int32_t value = 12345;
        EXPECT_EQ(c.status, CSV_iget(c.line, &value, c.n)) << c.line;
        EXPECT_EQ(c.value, value) << c.line;
        value = 12345;
        EXPECT_EQ(c.status, CSV_lget(c.line, &value, c.n)) << c.line;
        EXPECT_EQ(c.value, value) << c.line;
    }
}

TEST(FieldNumbers, FloatingGettersConvertPrefixes) {
    float f = 1;
    double d = 1;
    EXPECT_EQ(0, CSV_fget("x,1.5e3", &f, 2));
    EXPECT_FLOAT_EQ(1500.0f, f);
    EXPECT_EQ(0, CSV_dget("x,1.5e3", &d, 2));
    EXPECT_DOUBLE_EQ(1500.0, d);
    EXPECT_EQ(0, CSV_dget("3.14159265358979", &d, 1));
    EXPECT_DOUBLE_EQ(3.14159265358979, d);
    EXPECT_EQ(-4, CSV_dget("1,2x", &d, 2));
    EXPECT_DOUBLE_EQ(0.0, d);
    EXPECT_EQ(-3, TAB_fget("1,5", &f, 2));
    EXPECT_FLOAT_EQ(0.0f, f);
    EXPECT_EQ(0, TAB_fget("1\t-2.5", &f, 2));
    EXPECT_FLOAT_EQ(-2.5f, f);
}

TEST(FieldLength, CountsBytesWithoutQuotes) {
    EXPECT_EQ(2, CSV_len("\"ab\"", 1));
    EXPECT_EQ(2, TAB_len("ab\tc", 1));
    EXPECT_EQ(1, TAB_len("ab\tc", 2));
    EXPECT_EQ(-3, TAB_len("ab\tc", 3));
    EXPECT_EQ(-1, CSV_len("ab", 0));
    EXPECT_EQ(12, CSV_len("x,abcdefghijkl", 2));
    EXPECT_EQ(4, CSV_len("予定", 1));
}

TEST(FieldTabFamily, UsesTheTabAsSeparator) {
    char out[32];
    EXPECT_EQ(0, TAB_sget("a,b\tc", out, 1));
    EXPECT_STREQ("a,b", out);
    int32_t value = 0;
    EXPECT_EQ(0, TAB_iget("7\t20041\n", &value, 2));
    EXPECT_EQ(20041, value);
    EXPECT_EQ(0, TAB_iget("2004\t08\t09", &value, 2));
    EXPECT_EQ(8, value);
    EXPECT_EQ(0, TAB_lget("2004\t08\t010", &value, 3));
    EXPECT_EQ(10, value);
}

TEST(FieldSafety, NullArgumentsWriteNothing) {
    char out[4] = "abc";
    int32_t value = 77;
    float f = 7;
    double d = 7;
    EXPECT_LT(CSV_sget(nullptr, out, 1), 0);
    EXPECT_STREQ("abc", out);
    EXPECT_LT(CSV_sget("a", nullptr, 1), 0);
    EXPECT_LT(CSV_iget(nullptr, &value, 1), 0);
    EXPECT_LT(CSV_iget("1", nullptr, 1), 0);
    EXPECT_LT(TAB_lget(nullptr, &value, 1), 0);
    EXPECT_EQ(77, value);
    EXPECT_LT(CSV_fget(nullptr, &f, 1), 0);
    EXPECT_LT(TAB_dget(nullptr, &d, 1), 0);
    EXPECT_FLOAT_EQ(7.0f, f);
    EXPECT_DOUBLE_EQ(7.0, d);
    EXPECT_LT(CSV_len(nullptr, 1), 0);
    EXPECT_LT(CSV_count(nullptr), 0);
    EXPECT_LT(TAB_count(nullptr), 0);
}

TEST(FieldVersion, IsEighty) {
    EXPECT_EQ(80, CSV_version());
}

} // namespace
