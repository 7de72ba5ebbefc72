// Reads a fuzzer's input front to back as small typed values. Running out is
// not an error: every value then reads as 0 and every byte run as empty, so a
// harness always sees a well-defined (if short) story. The seed maker writes
// its files in the same shapes with the Put helpers.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace logwick::fuzz {

class Input {
 public:
  Input(const std::uint8_t* data, std::size_t size) : m_pos(data), m_end(data + size) {}

  bool Empty() const { return m_pos == m_end; }
  std::size_t Left() const { return static_cast<std::size_t>(m_end - m_pos); }

  std::uint8_t U8() { return Empty() ? 0 : *m_pos++; }
  std::uint16_t U16() {
    const std::uint16_t lo = U8();
    return static_cast<std::uint16_t>(lo | (U8() << 8));
  }
  std::uint32_t U24() {
    const std::uint32_t lo = U16();
    return lo | (static_cast<std::uint32_t>(U8()) << 16);
  }
  std::uint32_t U32() {
    const std::uint32_t lo = U16();
    return lo | (static_cast<std::uint32_t>(U16()) << 16);
  }

  // Up to n bytes; fewer when the input runs out.
  std::vector<std::uint8_t> Bytes(std::size_t n) {
    n = std::min(n, Left());
    std::vector<std::uint8_t> out(m_pos, m_pos + n);
    m_pos += n;
    return out;
  }
  // A string whose length is the next byte.
  std::string ShortString() {
    const std::vector<std::uint8_t> b = Bytes(U8());
    return std::string(b.begin(), b.end());
  }
  // Everything that is left.
  std::vector<std::uint8_t> Rest() { return Bytes(Left()); }

 private:
  const std::uint8_t* m_pos;
  const std::uint8_t* m_end;
};

inline void PutU8(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
}
inline void PutU16(std::vector<std::uint8_t>& out, std::uint32_t v) {
  PutU8(out, v);
  PutU8(out, v >> 8);
}
inline void PutU24(std::vector<std::uint8_t>& out, std::uint32_t v) {
  PutU16(out, v);
  PutU8(out, v >> 16);
}
inline void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  PutU16(out, v);
  PutU16(out, v >> 16);
}
inline void PutShortString(std::vector<std::uint8_t>& out, const std::string& s) {
  const std::size_t n = std::min<std::size_t>(s.size(), 255);
  PutU8(out, static_cast<std::uint32_t>(n));
  out.insert(out.end(), s.begin(), s.begin() + static_cast<std::ptrdiff_t>(n));
}

// Stops the process with a message: the fuzzer records the input as a crash.
[[noreturn]] inline void Fail(const char* what) {
  std::fprintf(stderr, "broken promise: %s\n", what);
  std::abort();
}

}  // namespace logwick::fuzz
