// Stands in for DPAPI in the native tests: a reversible scrambling with a
// check mark, so that the settings code around it can be tested. Nothing
// that ships uses it.
#include "platform/secret.h"

namespace vntra {
namespace {

const char MARK[] = "VNTRA-TEST-SECRET:";
const size_t MARK_SIZE = sizeof MARK - 1;

char scramble(char c, size_t i) {
    return static_cast<char>(c ^ static_cast<char>(0x5A + i * 7));
}

} // namespace

bool protect_secret(std::string_view plain, std::string& blob) {
    blob = MARK;
    for (size_t i = 0; i < plain.size(); ++i)
        blob += scramble(plain[i], i);
    return true;
}

bool unprotect_secret(std::string_view blob, std::string& plain) {
    if (blob.substr(0, MARK_SIZE) != MARK)
        return false;
    plain.clear();
    for (size_t i = MARK_SIZE; i < blob.size(); ++i)
        plain += scramble(blob[i], i - MARK_SIZE);
    return true;
}

} // namespace vntra
