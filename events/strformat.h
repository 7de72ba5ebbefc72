// printf-style formatting into a std::string. The program's texts are given as
// printf formats ("%02d/%02d/%04d ..."), so they are kept as such.
#pragma once

#include <cstdio>
#include <string>

// MinGW's C++ library formats with MinGW's own C99 printf (%zu, %lld), not
// with msvcrt's, and checks the formats as such.
#if defined(__MINGW_PRINTF_FORMAT)
#define LOGWICK_PRINTF_FORMAT __MINGW_PRINTF_FORMAT
#else
#define LOGWICK_PRINTF_FORMAT printf
#endif

namespace logwick {

#if defined(__GNUC__)
__attribute__((format(LOGWICK_PRINTF_FORMAT, 1, 2)))
#endif
std::string
StrFormat(const char* fmt, ...);

#if defined(__GNUC__)
__attribute__((format(LOGWICK_PRINTF_FORMAT, 2, 3)))
#endif
void AppendFormat(std::string& out, const char* fmt, ...);

}  // namespace logwick
