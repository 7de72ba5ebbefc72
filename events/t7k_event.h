// One entry of a panel's event log: the 16 bytes the panel delivers, kept
// exactly as delivered and never validated.
//
//   offset 0   u32  packed local time stamp (see below)
//   offset 4   u16  event code
//   offset 6   10 parameter bytes, whose meaning depends on the code
//
// All multi-byte values are little-endian. The time stamp packs, from bit 0 up:
// second (6 bits), minute (6), hour (5), day (5), month (4), year - 2000 (6).
// Comparing two stamps as unsigned numbers orders them in time, and the date
// alone is the stamp with bits 0-16 cleared (kDateMask).
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

class CT7KEvent {
 public:
  static constexpr std::size_t kSize = 16;
  static constexpr std::uint32_t kDateMask = 0xFFFE0000u;

  CT7KEvent() = default;
  explicit CT7KEvent(const std::uint8_t* raw16) { std::memcpy(m_raw.data(), raw16, kSize); }

  const std::array<std::uint8_t, kSize>& Raw() const { return m_raw; }
  std::array<std::uint8_t, kSize>& Raw() { return m_raw; }

  // Bn, Wn, Dn: the unsigned byte, 16-bit and 32-bit value at offset n.
  std::uint8_t B(std::size_t n) const { return m_raw[n]; }
  std::uint16_t W(std::size_t n) const { return static_cast<std::uint16_t>(m_raw[n] | (m_raw[n + 1] << 8)); }
  std::uint32_t D(std::size_t n) const {
    return static_cast<std::uint32_t>(m_raw[n]) | (static_cast<std::uint32_t>(m_raw[n + 1]) << 8) |
           (static_cast<std::uint32_t>(m_raw[n + 2]) << 16) |
           (static_cast<std::uint32_t>(m_raw[n + 3]) << 24);
  }

  std::uint32_t TimeStamp() const { return D(0); }
  std::uint16_t Code() const { return W(4); }
  void SetTimeStamp(std::uint32_t t) { PutLE(0, t, 4); }
  void SetCode(std::uint16_t c) { PutLE(4, c, 2); }

  // "dd/mm/yyyy hh:mm:ss" of the time stamp, fields printed as packed.
  std::string GetTimeText() const;
  void AppendTimeText(std::string& out) const;

  // The event as one Russian sentence (UTF-8), given the list's message texts.
  // Never fails: every combination of bytes yields some text.
  std::string GetText(const std::vector<std::string>& texts) const;
  void AppendText(std::string& out, const std::vector<std::string>& texts) const;

  // Stores or loads the 16 raw bytes: time stamp (u32), code (u16), then the
  // 10 parameter bytes as one block. Loading throws the archive's end-of-file
  // error when fewer than 10 parameter bytes remain; what was read stays.
  template <class Archive>
  void Serialize(Archive& ar) {
    if (ar.IsStoring()) {
      ar.WriteU32(TimeStamp());
      ar.WriteU16(Code());
      ar.Write(m_raw.data() + 6, 10);
    } else {
      SetTimeStamp(ar.ReadU32());
      SetCode(ar.ReadU16());
      if (ar.Read(m_raw.data() + 6, 10) != 10) ar.ThrowEndOfFile();
    }
  }

  friend bool operator==(const CT7KEvent&, const CT7KEvent&) = default;

 private:
  void PutLE(std::size_t at, std::uint32_t v, int width) {
    for (int i = 0; i < width; ++i) m_raw[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
  }

  std::array<std::uint8_t, kSize> m_raw{};
};

// Packs a date and time the way the panel does (fields are masked to width).
std::uint32_t PackTimeStamp(int year, int month, int day, int hour, int minute, int second);
