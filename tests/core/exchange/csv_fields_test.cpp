#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "exchange/csv_fields.h"
#include "support/sjis_assert.h"

namespace vntra {
namespace {

using Rows = std::vector<std::vector<std::string>>;

TEST(CsvReader, RowsAndFieldsAsSpreadsheetsWriteThem) {
    struct Case {
        std::string text;
        Rows rows;
        bool last_reached_end;
    };
    const Case cases[] = {
        {"", {}, false},
        // CR LF, LF and CR alone each end a row; no empty row after the last.
        {"a,b\r\nc,d\ne\rf", {{"a", "b"}, {"c", "d"}, {"e"}, {"f"}}, true},
        {"a\n\n\r\n,,\r\n", {{"a"}, {""}, {""}, {"", "", ""}}, false},
        // Quoted cells run across commas and line ends; "" is one quote.
        {"\"x,y\",\"1\r\n2\n3\r4\"\r\nz\r\n", {{"x,y", "1\r\n2\n3\r4"}, {"z"}}, false},
        {"\"19\"\"モニター\",\"\",\"\"\"\"", {{"19\"モニター", "", "\""}}, true},
        // A quote inside an unquoted cell is an ordinary character.
        {"19\"モニター,本社\r\n", {{"19\"モニター", "本社"}}, false},
        {"a\"b\"c,d", {{"a\"b\"c", "d"}}, true},
        // What follows a closing quote belongs to the cell.
        {"\"ab\"cd,e", {{"abcd", "e"}}, true},
        // A quote that never closes does not swallow the rows after it.
        {"a,\"never closed,b\r\nc,d", {{"a", "\"never closed", "b"}, {"c", "d"}}, true},
        {"\"a\r\nb", {{"\"a"}, {"b"}}, true},
        // Shift-JIS trail bytes that look like a backslash are just bytes.
        {"表,ソ,\"能\"\r\n", {{"表", "ソ", "能"}}, false},
    };
    for (const Case& c : cases) {
        CsvRowReader reader(c.text);
        std::string_view row;
        std::vector<std::string> fields;
        Rows rows;
        bool last_reached_end = false;
        while (reader.next(row)) {
            split_csv_row(row, fields);
            rows.push_back(fields);
            last_reached_end = reader.row_reached_end();
        }
        EXPECT_EQ(c.rows, rows) << testing::readable(c.text);
        EXPECT_EQ(c.last_reached_end, last_reached_end) << testing::readable(c.text);
    }
}

} // namespace
} // namespace vntra
