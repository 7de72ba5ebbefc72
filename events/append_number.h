// Small integer formatting straight into a string. The event list is decoded
// again on every refill and report, so the sentence builders append numbers
// with these instead of going through vsnprintf and a temporary string.
// Each one prints exactly what the printf conversion named beside it prints.
#pragma once

#include <cstdint>
#include <string>

namespace logwick {

namespace detail {

// Writes the decimal digits of u backwards, ending at end; returns the start.
inline char* DigitsBackwards(char* end, std::uint64_t u) {
  do {
    *--end = static_cast<char>('0' + u % 10);
    u /= 10;
  } while (u != 0);
  return end;
}

inline std::uint64_t Magnitude(std::int64_t v) {
  return v < 0 ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
}

}  // namespace detail

// "%d"
inline void AppendDecimal(std::string& out, std::int64_t v) {
  char buf[24];
  char* end = buf + sizeof buf;
  char* p = detail::DigitsBackwards(end, detail::Magnitude(v));
  if (v < 0) *--p = '-';
  out.append(p, static_cast<std::size_t>(end - p));
}

// "%0<width>d" (the sign, if any, counts towards the width, as in printf)
inline void AppendZeroPadded(std::string& out, std::int64_t v, int width) {
  char buf[24];
  char* end = buf + sizeof buf;
  char* p = detail::DigitsBackwards(end, detail::Magnitude(v));
  int digits = static_cast<int>(end - p) + (v < 0 ? 1 : 0);
  if (v < 0) out += '-';
  if (digits < width) out.append(static_cast<std::size_t>(width - digits), '0');
  out.append(p, static_cast<std::size_t>(end - p));
}

// "%<width>d"
inline void AppendSpacePadded(std::string& out, std::int64_t v, int width) {
  char buf[24];
  char* end = buf + sizeof buf;
  char* p = detail::DigitsBackwards(end, detail::Magnitude(v));
  if (v < 0) *--p = '-';
  int len = static_cast<int>(end - p);
  if (len < width) out.append(static_cast<std::size_t>(width - len), ' ');
  out.append(p, static_cast<std::size_t>(end - p));
}

// "0x%08x"
inline void AppendHex08(std::string& out, std::uint32_t v) {
  static constexpr char kDigits[] = "0123456789abcdef";
  char buf[10] = {'0', 'x'};
  for (int i = 0; i < 8; ++i) buf[9 - i] = kDigits[(v >> (4 * i)) & 0xF];
  out.append(buf, sizeof buf);
}

}  // namespace logwick
