#include "support/sjis_assert.h"

#include <cstdio>

#include "platform/sjis_text.h"

namespace vntra::testing {

std::string readable(std::string_view sjis) {
    std::string text = "\"" + sjis_to_utf8(sjis) + "\" [";
    for (size_t i = 0; i < sjis.size(); ++i) {
        char hex[4];
        std::snprintf(hex, sizeof hex, i ? " %02X" : "%02X", static_cast<unsigned char>(sjis[i]));
        text += hex;
    }
    return text + "]";
}

::testing::AssertionResult sjis_equal(const char* expected_expr, const char* actual_expr,
                                      std::string_view expected, std::string_view actual) {
    if (expected == actual)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "Expected equality of these texts:\n  " << expected_expr << "\n    which is "
           << readable(expected) << "\n  " << actual_expr << "\n    which is " << readable(actual);
}

} // namespace vntra::testing
