// Feeds random lines, separators and field numbers to every getter.
#include <cstdint>
#include <cstring>
#include <string>

#include "tabrix.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2)
        return 0;
    // First byte picks the family, second the field number (may be 0 or negative).
    bool tab = data[0] & 1;
    int n = static_cast<int8_t>(data[1]);
    std::string line(reinterpret_cast<const char*>(data + 2), size - 2);
    line = line.c_str(); // a line ends at its first NUL
    const char* text = line.c_str();

    std::string out(line.size() + 1, '\0');
    int32_t i = 0;
    float f = 0;
    double d = 0;
    if (tab) {
        TAB_sget(text, out.data(), n);
        TAB_iget(text, &i, n);
        TAB_lget(text, &i, n);
        TAB_fget(text, &f, n);
        TAB_dget(text, &d, n);
        int len = TAB_len(text, n);
        if (len >= 0 && static_cast<size_t>(len) != std::strlen(out.c_str()))
            __builtin_trap();
        TAB_count(text);
    } else {
        CSV_sget(text, out.data(), n);
        CSV_iget(text, &i, n);
        CSV_lget(text, &i, n);
        CSV_fget(text, &f, n);
        CSV_dget(text, &d, n);
        int len = CSV_len(text, n);
        if (len >= 0 && static_cast<size_t>(len) != std::strlen(out.c_str()))
            __builtin_trap();
        CSV_count(text);
    }
    return 0;
}
