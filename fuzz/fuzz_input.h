// Shared by harnesses and seed maker: the input read front to back as little-endian values (running
// out is no error: values read as 0, byte runs short) and its writer.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace logwick::fuzz {

// The fuzzer records the input as a crash.
[[noreturn]] inline void Fail(const char* what) {
  std::fprintf(stderr, "broken promise: %s\n", what);
  std::abort();
}

class Input {
 public:
  Input(const std::uint8_t* data, std::size_t size) : m_pos(data), m_end(data + size) {}

  bool Empty() const { return m_pos == m_end; }
  std::size_t Left() const { return static_cast<std::size_t>(m_end - m_pos); }
  std::uint32_t Uint(int bytes) {
    std::uint32_t v = 0;
    for (int i = 0; i < bytes; ++i) v |= static_cast<std::uint32_t>(Empty() ? 0 : *m_pos++) << (8 * i);
    return v;
  }
  std::uint8_t U8() { return static_cast<std::uint8_t>(Uint(1)); }
  // Up to n bytes; fewer when the input runs out.
  std::vector<std::uint8_t> Bytes(std::size_t n) {
    const std::uint8_t* from = m_pos;
    m_pos += std::min(n, Left());
    return std::vector<std::uint8_t>(from, m_pos);
  }

 private:
  const std::uint8_t* m_pos;
  const std::uint8_t* m_end;
};

inline void PutUint(std::vector<std::uint8_t>& out, std::uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

}  // namespace logwick::fuzz
