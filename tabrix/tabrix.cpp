#define TABRIX_BUILDING 1
#include "tabrix.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

const char COMMA = ',';
const char TAB = '\t';
const char QUOTE = '"';

// Number of fields, or FIELD_ERR_EMPTY for an empty line. A separator inside
// double quotes does not count; quotes are never escaped, a doubled quote just
// closes and reopens.
int count_fields(const char* line, char separator) {
    if (line[0] == '\0')
        return FIELD_ERR_EMPTY;
    bool quoted = false;
    int separators = 0;
    for (const char* p = line; *p; ++p) {
        if (*p == QUOTE)
            quoted = !quoted;
        else if (*p == separator && !quoted)
            ++separators;
    }
    return separators + 1;
}

// Byte position of the k-th unquoted separator, or -1 when there is none.
long find_separator(const char* line, int k, char separator) {
    if (k < 1)
        return -1;
    bool quoted = false;
    int seen = 0;
    for (long i = 0; line[i]; ++i) {
        if (line[i] == QUOTE)
            quoted = !quoted;
        else if (line[i] == separator && !quoted && ++seen == k)
            return i;
    }
    return -1;
}

void copy_span(const char* begin, const char* end, char* out) {
    for (const char* p = begin; p < end; ++p) {
        if (*p != QUOTE)
            *out++ = *p;
    }
    *out = '\0';
}

// Copies field n without its quotes into out, which has room for the line.
int extract_field(const char* line, char* out, int n, char separator) {
    out[0] = '\0';
    if (n < 1)
        return FIELD_ERR_BAD_INDEX;
    if (line[0] == '\0')
        return FIELD_ERR_EMPTY;
    if (count_fields(line, separator) < n)
        return FIELD_ERR_NO_SUCH_FIELD;
    const char* line_end = line + std::strlen(line);
    const char* begin = line;
    if (n > 1)
        begin = line + find_separator(line, n - 1, separator) + 1;
    long end = find_separator(line, n, separator);
    copy_span(begin, end < 0 ? line_end : line + end, out);
    return FIELD_OK;
}

// Bytes that may make up a number, in any order; the newline a line read from
// a file still carries is tolerated.
int check_numeric(const char* field) {
    if (field[0] == '\0')
        return FIELD_ERR_EMPTY;
    for (const char* p = field; *p; ++p) {
        bool digit = *p >= '0' && *p <= '9';
        if (!digit && !std::strchr("-.Ee\n", *p))
            return FIELD_ERR_NOT_NUMERIC;
    }
    return FIELD_OK;
}

// A private copy of one field, as large as the whole line, so that fields of
// any length fit.
struct Scratch {
    std::unique_ptr<char[]> bytes;
    explicit Scratch(const char* line) : bytes(new (std::nothrow) char[std::strlen(line) + 1]) {}
    bool ok() const { return bytes != nullptr; }
    char* get() { return bytes.get(); }
};

int32_t to_int32(const char* text) {
    long long value = std::strtoll(text, nullptr, 10);
    if (value > INT32_MAX)
        return INT32_MAX;
    if (value < INT32_MIN)
        return INT32_MIN;
    return static_cast<int32_t>(value);
}

template <typename T, typename Convert>
int get_number(const char* line, T* out, int n, char separator, Convert convert) {
    if (line == nullptr || out == nullptr)
        return FIELD_ERR_NULL_ARGUMENT;
    Scratch scratch(line);
    if (!scratch.ok()) {
        *out = T(0);
        return FIELD_ERR_NO_MEMORY;
    }
    int status = extract_field(line, scratch.get(), n, separator);
    if (status == FIELD_OK)
        status = check_numeric(scratch.get());
    *out = status == FIELD_OK ? convert(scratch.get()) : T(0);
    return status;
}

int get_text(const char* line, char* out, int n, char separator) {
    if (line == nullptr || out == nullptr)
        return FIELD_ERR_NULL_ARGUMENT;
    return extract_field(line, out, n, separator);
}

int field_length(const char* line, int n, char separator) {
    if (line == nullptr)
        return FIELD_ERR_NULL_ARGUMENT;
    Scratch scratch(line);
    if (!scratch.ok())
        return FIELD_ERR_NO_MEMORY;
    int status = extract_field(line, scratch.get(), n, separator);
    return status < 0 ? status : static_cast<int>(std::strlen(scratch.get()));
}

int count(const char* line, char separator) {
    return line == nullptr ? FIELD_ERR_NULL_ARGUMENT : count_fields(line, separator);
}

int32_t convert_int(const char* t) {
    return to_int32(t);
}
float convert_float(const char* t) {
    return std::strtof(t, nullptr);
}
double convert_double(const char* t) {
    return std::strtod(t, nullptr);
}

} // namespace

extern "C" {

int CSV_sget(const char* line, char* out, int n) {
    return get_text(line, out, n, COMMA);
}
int CSV_iget(const char* line, int32_t* out, int n) {
    return get_number(line, out, n, COMMA, convert_int);
}
int CSV_lget(const char* line, int32_t* out, int n) {
    return get_number(line, out, n, COMMA, convert_int);
}
int CSV_fget(const char* line, float* out, int n) {
    return get_number(line, out, n, COMMA, convert_float);
}
int CSV_dget(const char* line, double* out, int n) {
    return get_number(line, out, n, COMMA, convert_double);
}
int CSV_len(const char* line, int n) {
    return field_length(line, n, COMMA);
}
int CSV_count(const char* line) {
    return count(line, COMMA);
}
int CSV_version(void) {
    return LIBRARY_VERSION;
}

int TAB_sget(const char* line, char* out, int n) {
    return get_text(line, out, n, TAB);
}
int TAB_iget(const char* line, int32_t* out, int n) {
    return get_number(line, out, n, TAB, convert_int);
}
int TAB_lget(const char* line, int32_t* out, int n) {
    return get_number(line, out, n, TAB, convert_int);
}
int TAB_fget(const char* line, float* out, int n) {
    return get_number(line, out, n, TAB, convert_float);
}
int TAB_dget(const char* line, double* out, int n) {
    return get_number(line, out, n, TAB, convert_double);
}
int TAB_len(const char* line, int n) {
    return field_length(line, n, TAB);
}
int TAB_count(const char* line) {
    return count(line, TAB);
}

} // extern "C"

#ifdef _WIN32
// The library keeps no state, so there is nothing to set up or tear down.
BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) {
    return TRUE;
}
#endif
