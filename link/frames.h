// Frame helpers of the panel protocol, shared by the reader and the simulated
// panel.
//
// Addressing frames start with 80 and carry no checksum; every byte after the
// start byte has bit 7 clear, so a 24-bit serial number S travels as four
// bytes: s0 = bits 0-6, s1 = bits 8-14, s2 = bits 16-22, and f holding bits 7,
// 15 and 23 of S in its bits 0-2 and the request kind in bits 3-6.
//
// Data frames start with 81 and end with a checksum: AA XOR every preceding
// byte, so AA XOR all bytes of a correct frame is 0. Multi-byte numbers in
// data frames are little-endian.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <vector>

namespace logwick::frames {

inline constexpr std::uint8_t kAddressStart = 0x80;
inline constexpr std::uint8_t kDataStart = 0x81;
inline constexpr std::uint8_t kChecksumSeed = 0xAA;

// Request kinds carried in bits 3-6 of f.
inline constexpr std::uint8_t kKindAssign = 0x0;  // discovery and address assignment
inline constexpr std::uint8_t kKindType = 0xF;    // device-type query

// Command bytes of data requests.
inline constexpr std::uint8_t kCmdLogInfo = 0x0F;
inline constexpr std::uint8_t kCmdSelectBlock = 0x10;
inline constexpr std::uint8_t kCmdFetchBlock = 0x11;
inline constexpr std::uint8_t kCmdMessageText = 0x12;
inline constexpr std::uint8_t kCmdDeviceInfo = 0x13;
inline constexpr std::uint8_t kCmdConfigInfo = 0x14;

// The search preamble and the discovery request.
inline constexpr std::array<std::uint8_t, 5> kSearchFrame{0x80, 0x01, 0x00, 0x00, 0x00};
inline constexpr std::array<std::uint8_t, 5> kDiscoverFrame{0x80, 0x00, 0x00, 0x00, 0x00};

inline constexpr std::uint32_t kSerialMask = 0xFFFFFF;

// AA XOR the n bytes.
std::uint8_t Checksum(const std::uint8_t* bytes, std::size_t n);
// Whether AA XOR all n bytes (checksum included) is 0. False for n == 0.
bool ChecksumOk(const std::uint8_t* frame, std::size_t n);
// Stores the checksum of bytes 0 .. n-2 in byte n-1 (n >= 1).
void Seal(std::uint8_t* frame, std::size_t n);
// A data frame of the given bytes followed by their checksum.
std::vector<std::uint8_t> DataFrame(std::initializer_list<std::uint8_t> body);
std::vector<std::uint8_t> DataFrame(const std::vector<std::uint8_t>& body);

// s0 s1 s2 f of a serial number (bits 24 and up are dropped) and a kind.
std::array<std::uint8_t, 4> PackSerial(std::uint32_t serial, std::uint8_t kind);
// The serial number of s0 s1 s2 f (the kind bits are ignored).
std::uint32_t UnpackSerial(const std::uint8_t* packed4);
// The request kind in bits 3-6 of f.
constexpr std::uint8_t SerialKind(std::uint8_t f) { return (f >> 3) & 0x0F; }

}  // namespace logwick::frames
