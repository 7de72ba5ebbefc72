// The panel's packed date and time: one 32-bit number holding, from bit 0 up,
// second (6 bits), minute (6), hour (5), day (5), month (4) and year - 2000 (6).
// Event time stamps and the panel clock both use it. Comparing two stamps as
// unsigned numbers orders them in time, and the date alone (the date key) is
// the stamp with bits 0-16 cleared.
#pragma once

#include <cstdint>

// The fields of a stamp exactly as packed: nothing is checked or brought into
// the calendar, so a month may read 0 or 15.
struct PackedTimeFields {
  int second = 0;
  int minute = 0;
  int hour = 0;
  int day = 0;
  int month = 0;
  int year = 0;  // years since 2000, 0-63
};

inline constexpr std::uint32_t kPackedDateMask = 0xFFFE0000u;

// Packs a date and time the way the panel does; each field is masked to its
// width, so the year counts modulo 64 from 2000.
constexpr std::uint32_t PackTimeStamp(int year, int month, int day, int hour, int minute, int second) {
  auto field = [](int v, std::uint32_t mask) { return static_cast<std::uint32_t>(v) & mask; };
  return (field(year - 2000, 63) << 26) | (field(month, 15) << 22) | (field(day, 31) << 17) |
         (field(hour, 31) << 12) | (field(minute, 63) << 6) | field(second, 63);
}

constexpr PackedTimeFields UnpackTimeStamp(std::uint32_t stamp) {
  PackedTimeFields f;
  f.second = static_cast<int>(stamp & 63);
  f.minute = static_cast<int>((stamp >> 6) & 63);
  f.hour = static_cast<int>((stamp >> 12) & 31);
  f.day = static_cast<int>((stamp >> 17) & 31);
  f.month = static_cast<int>((stamp >> 22) & 15);
  f.year = static_cast<int>(stamp >> 26);
  return f;
}

// The date key of a stamp: its date bits alone, ordered like the days.
constexpr std::uint32_t PackedDate(std::uint32_t stamp) { return stamp & kPackedDateMask; }
