#include "link/frames.h"

namespace logwick::frames {

std::uint8_t Checksum(const std::uint8_t* bytes, std::size_t n) {
  std::uint8_t sum = kChecksumSeed;
  for (std::size_t i = 0; i < n; ++i) sum ^= bytes[i];
  return sum;
}

bool ChecksumOk(const std::uint8_t* frame, std::size_t n) { return n > 0 && Checksum(frame, n) == 0; }

void Seal(std::uint8_t* frame, std::size_t n) {
  if (n > 0) frame[n - 1] = Checksum(frame, n - 1);
}

std::vector<std::uint8_t> DataFrame(const std::vector<std::uint8_t>& body) {
  std::vector<std::uint8_t> frame(body);
  frame.push_back(Checksum(body.data(), body.size()));
  return frame;
}

std::vector<std::uint8_t> DataFrame(std::initializer_list<std::uint8_t> body) {
  return DataFrame(std::vector<std::uint8_t>(body));
}

std::array<std::uint8_t, 4> PackSerial(std::uint32_t serial, std::uint8_t kind) {
  const auto f = static_cast<std::uint8_t>(((serial >> 7) & 1) | ((serial >> 14) & 2) | ((serial >> 21) & 4) |
                                           ((kind & 0x0F) << 3));
  return {static_cast<std::uint8_t>(serial & 0x7F), static_cast<std::uint8_t>((serial >> 8) & 0x7F),
          static_cast<std::uint8_t>((serial >> 16) & 0x7F), f};
}

std::uint32_t UnpackSerial(const std::uint8_t* p) {
  std::uint32_t s = p[0] | (static_cast<std::uint32_t>(p[1]) << 8) | (static_cast<std::uint32_t>(p[2]) << 16);
  if (p[3] & 1) s |= 0x80;
  if (p[3] & 2) s |= 0x8000;
  if (p[3] & 4) s |= 0x800000;
  return s;
}

}  // namespace logwick::frames
