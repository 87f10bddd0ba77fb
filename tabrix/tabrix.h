// tabrix: picks the n-th field out of one comma- or tab-separated line.
//
// Every function is stateless. The caller owns every buffer: CSV_sget and
// TAB_sget write without a length limit, so `out` must have room for the whole
// line plus its terminator. Field numbers are 1-based.
#ifndef TABRIX_TABRIX_H
#define TABRIX_TABRIX_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(_WIN32) && defined(TABRIX_BUILDING)
#define TABRIX_API __declspec(dllexport)
#elif defined(_WIN32)
#define TABRIX_API __declspec(dllimport)
#else
#define TABRIX_API __attribute__((visibility("default")))
#endif

enum {
    FIELD_OK = 0,
    FIELD_ERR_BAD_INDEX = -1,     // field number below 1
    FIELD_ERR_EMPTY = -2,         // empty line; numeric getters: empty field
    FIELD_ERR_NO_SUCH_FIELD = -3, // the line has fewer fields
    FIELD_ERR_NOT_NUMERIC = -4,   // numeric getters: a byte that cannot be part of a number
    FIELD_ERR_NULL_ARGUMENT = -5, // a null line or a null output pointer; nothing is written
    FIELD_ERR_NO_MEMORY = -6,     // no room for the private copy of the field
};

enum { LIBRARY_VERSION = 80 };

TABRIX_API int CSV_sget(const char* line, char* out, int n);
TABRIX_API int CSV_iget(const char* line, int32_t* out, int n);
TABRIX_API int CSV_lget(const char* line, int32_t* out, int n);
TABRIX_API int CSV_fget(const char* line, float* out, int n);
TABRIX_API int CSV_dget(const char* line, double* out, int n);
TABRIX_API int CSV_len(const char* line, int n);
TABRIX_API int CSV_count(const char* line);
TABRIX_API int CSV_version(void);

TABRIX_API int TAB_sget(const char* line, char* out, int n);
TABRIX_API int TAB_iget(const char* line, int32_t* out, int n);
TABRIX_API int TAB_lget(const char* line, int32_t* out, int n);
TABRIX_API int TAB_fget(const char* line, float* out, int n);
TABRIX_API int TAB_dget(const char* line, double* out, int n);
TABRIX_API int TAB_len(const char* line, int n);
TABRIX_API int TAB_count(const char* line);

#ifdef __cplusplus
}
#endif

#endif
