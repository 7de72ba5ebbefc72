// The test process's environment, which the programs it starts inherit: set
// or cleared alike on POSIX and on Windows (UTF-8 names and values).
#pragma once

#include <cstdlib>

#ifdef _WIN32
#include "events/codec.h"
#endif

namespace logwick::test {

// A null value removes the variable.
inline void SetEnv(const char* name, const char* value) {
#ifdef _WIN32
  _wputenv_s(Utf8ToWide(name).c_str(), value ? Utf8ToWide(value).c_str() : L"");
#else
  value ? ::setenv(name, value, 1) : ::unsetenv(name);
#endif
}

}  // namespace logwick::test
