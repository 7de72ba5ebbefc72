// printf-style formatting into a std::string. The program's texts are given as
// printf formats ("%02d/%02d/%04d ..."), so they are kept as such.
#pragma once

#include <string>

namespace logwick {

#if defined(__GNUC__)
__attribute__((format(printf, 1, 2)))
#endif
std::string
StrFormat(const char* fmt, ...);

#if defined(__GNUC__)
__attribute__((format(printf, 2, 3)))
#endif
void AppendFormat(std::string& out, const char* fmt, ...);

}  // namespace logwick
