// Which events of the current list are shown: a period of whole local days and
// one admit flag per kind of event, with number ranges for beams and devices.
#pragma once

#include <cstdint>

#include "events/t7k_event.h"

class CT7KEvFilter {
 public:
  // Defaults: period off (the 30 days up to now), every kind admitted, ranges
  // 0..255. Reads the current time once.
  CT7KEvFilter();
  virtual ~CT7KEvFilter() = default;
  CT7KEvFilter(const CT7KEvFilter&) = default;
  CT7KEvFilter& operator=(const CT7KEvFilter&) = default;

  bool Accept(const CT7KEvent& ev) const;

  // Local calendar date of t, packed like a time stamp with time-of-day bits 0.
  static std::uint32_t PackDate(std::int64_t t);

  std::int64_t m_timeFrom;  // seconds since 1970-01-01 00:00 UTC
  std::int64_t m_timeTo;
  std::int32_t m_bPeriod = 0;
  std::int32_t m_bBeams = 1;
  std::uint32_t m_nFirstBeam = 0;
  std::uint32_t m_nLastBeam = 255;
  std::int32_t m_bUnits = 1;
  std::int32_t m_bSlaves = 1;
  std::int32_t m_bDevices = 1;
  std::uint32_t m_nFirstDev = 0;
  std::uint32_t m_nLastDev = 255;
  std::int32_t m_bMessages = 1;
  std::int32_t m_bModes = 1;

 private:
  // Packed dates of the period's ends, kept for the times they were packed
  // from: the local-time conversion costs far more than the rest of Accept.
  struct PeriodCache {
    std::int64_t from = 0, to = 0;
    std::uint32_t packedFrom = 0, packedTo = 0;
    bool valid = false;
  };
  mutable PeriodCache m_period;
};
