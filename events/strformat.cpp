#include "events/strformat.h"

#include <cstdarg>
#include <cstdio>

namespace logwick {
namespace {

void AppendV(std::string& out, const char* fmt, va_list args) {
  char small[256];
  va_list copy;
  va_copy(copy, args);
  int n = std::vsnprintf(small, sizeof small, fmt, copy);
  va_end(copy);
  if (n < 0) return;
  if (static_cast<std::size_t>(n) < sizeof small) {
    out.append(small, static_cast<std::size_t>(n));
    return;
  }
  std::size_t old = out.size();
  out.resize(old + static_cast<std::size_t>(n) + 1);
  std::vsnprintf(&out[old], static_cast<std::size_t>(n) + 1, fmt, args);
  out.resize(old + static_cast<std::size_t>(n));
}

}  // namespace

std::string StrFormat(const char* fmt, ...) {
  std::string out;
  va_list args;
  va_start(args, fmt);
  AppendV(out, fmt, args);
  va_end(args);
  return out;
}

void AppendFormat(std::string& out, const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  AppendV(out, fmt, args);
  va_end(args);
}

}  // namespace logwick
