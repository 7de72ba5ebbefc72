// Little-endian numbers in byte buffers: the panel's frames, its event
// records and the event files all store multi-byte values this way.
#pragma once

#include <cstdint>
#include <vector>

namespace logwick {

constexpr std::uint16_t ReadLe16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

constexpr std::uint32_t ReadLe32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(ReadLe16(p)) | (static_cast<std::uint32_t>(ReadLe16(p + 2)) << 16);
}

constexpr void WriteLe16(std::uint8_t* p, std::uint16_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}

constexpr void WriteLe32(std::uint8_t* p, std::uint32_t v) {
  WriteLe16(p, static_cast<std::uint16_t>(v));
  WriteLe16(p + 2, static_cast<std::uint16_t>(v >> 16));
}

inline void AppendLe16(std::vector<std::uint8_t>& out, std::uint16_t v) {
  std::uint8_t b[2];
  WriteLe16(b, v);
  out.insert(out.end(), b, b + 2);
}

inline void AppendLe32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  std::uint8_t b[4];
  WriteLe32(b, v);
  out.insert(out.end(), b, b + 4);
}

}  // namespace logwick
