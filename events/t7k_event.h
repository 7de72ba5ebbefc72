// One entry of a panel's event log: the 16 bytes the panel delivers, kept
// exactly as delivered and never validated.
//
//   offset 0   u32  packed local time stamp (see below)
//   offset 4   u16  event code
//   offset 6   10 parameter bytes, whose meaning depends on the code
//
// All multi-byte values are little-endian; the time stamp is packed as
// events/packed_time.h describes.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "events/little_endian.h"
#include "events/packed_time.h"

class CT7KEvent {
 public:
  static constexpr std::size_t kSize = 16;
  static constexpr std::uint32_t kDateMask = kPackedDateMask;

  CT7KEvent() = default;
  explicit CT7KEvent(const std::uint8_t* raw16) { std::memcpy(m_raw.data(), raw16, kSize); }

  const std::array<std::uint8_t, kSize>& Raw() const { return m_raw; }
  std::array<std::uint8_t, kSize>& Raw() { return m_raw; }

  // Bn, Wn, Dn: the unsigned byte, 16-bit and 32-bit value at offset n.
  std::uint8_t B(std::size_t n) const { return m_raw[n]; }
  std::uint16_t W(std::size_t n) const { return logwick::ReadLe16(m_raw.data() + n); }
  std::uint32_t D(std::size_t n) const { return logwick::ReadLe32(m_raw.data() + n); }

  std::uint32_t TimeStamp() const { return D(0); }
  std::uint16_t Code() const { return W(4); }
  void SetTimeStamp(std::uint32_t t) { logwick::WriteLe32(m_raw.data(), t); }
  void SetCode(std::uint16_t c) { logwick::WriteLe16(m_raw.data() + 4, c); }

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
  std::array<std::uint8_t, kSize> m_raw{};
};
