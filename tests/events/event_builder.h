// The one way tests make events: a time stamp, a code and parameter bytes
// from offset 6 on, and wider values put in afterwards; and the texts made of them.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <type_traits>

#include "events/little_endian.h"
#include "events/t7k_event.h"

namespace logwick::test {

inline CT7KEvent MakeEvent(std::uint32_t stamp, std::uint16_t code,
                           std::initializer_list<std::uint8_t> params = {}) {
  CT7KEvent ev;
  ev.SetTimeStamp(stamp);
  ev.SetCode(code);
  std::size_t at = 6;
  for (std::uint8_t b : params)
    if (at < CT7KEvent::kSize) ev.Raw()[at++] = b;
  return ev;
}

// The event with the 32-bit value v at offset `at`.
inline CT7KEvent With32(CT7KEvent ev, std::size_t at, std::uint32_t v) {
  WriteLe32(ev.Raw().data() + at, v);
  return ev;
}

// What an Append* function adds to an empty string.
template <class... Args>
std::string Appended(void (*append)(std::string&, Args...), std::type_identity_t<Args>... args) {
  std::string s;
  append(s, args...);
  return s;
}

}  // namespace logwick::test
