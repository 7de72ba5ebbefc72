#include "lists/t7k_ev_filter.h"

#include <algorithm>
#include <array>
#include <ctime>

namespace {

constexpr std::int64_t kDefaultPeriodSeconds = 2592000;  // 30 days

// How an event code is admitted: by a kind flag and, for beams and devices,
// a number range applied to one parameter byte.
struct KindRule {
  std::int32_t CT7KEvFilter::*flag;              // null: always admitted
  std::uint32_t CT7KEvFilter::*first = nullptr;  // null: no range
  std::uint32_t CT7KEvFilter::*last = nullptr;
  std::size_t byte = 0;
};

constexpr KindRule kAlways{nullptr};
constexpr KindRule kModes{&CT7KEvFilter::m_bModes};
constexpr KindRule kDevices{&CT7KEvFilter::m_bDevices, &CT7KEvFilter::m_nFirstDev, &CT7KEvFilter::m_nLastDev,
                            10};
constexpr KindRule kMessages{&CT7KEvFilter::m_bMessages};
constexpr KindRule kBeams{&CT7KEvFilter::m_bBeams, &CT7KEvFilter::m_nFirstBeam, &CT7KEvFilter::m_nLastBeam,
                          6};
constexpr KindRule kUnits{&CT7KEvFilter::m_bUnits};
constexpr KindRule kSlaves{&CT7KEvFilter::m_bSlaves};
// Dust-level events are shown with the devices but limited by the beam range.
constexpr KindRule kDust{&CT7KEvFilter::m_bDevices, &CT7KEvFilter::m_nFirstBeam, &CT7KEvFilter::m_nLastBeam,
                         6};

// Index = event code; codes past the table are always admitted.
constexpr std::array<KindRule, 13> kRules = {
    kAlways,    // 0
    kModes,     // 1
    kDevices,   // 2
    kModes,     // 3
    kMessages,  // 4
    kBeams,     // 5
    kUnits,     // 6
    kModes,     // 7
    kBeams,     // 8
    kModes,     // 9
    kSlaves,    // 10
    kDust,      // 11
    kSlaves,    // 12
};

bool LocalDate(std::int64_t t, std::tm& out) {
  const std::time_t tt = static_cast<std::time_t>(t);
#ifdef _WIN32
  return localtime_s(&out, &tt) == 0;
#else
  return localtime_r(&tt, &out) != nullptr;
#endif
}

}  // namespace

CT7KEvFilter::CT7KEvFilter() {
  const std::int64_t now = static_cast<std::int64_t>(std::time(nullptr));
  m_timeTo = now;
  m_timeFrom = now - kDefaultPeriodSeconds;
}

std::uint32_t CT7KEvFilter::PackDate(std::int64_t t) {
  // A year before 2000, or a time without a local date, packs as year 2000;
  // the latter also with day and month 0.
  std::tm tm{};
  if (!LocalDate(t, tm)) return PackTimeStamp(2000, 0, 0, 0, 0, 0);
  return PackTimeStamp(std::max(tm.tm_year + 1900, 2000), tm.tm_mon + 1, tm.tm_mday, 0, 0, 0);
}

bool CT7KEvFilter::Accept(const CT7KEvent& ev) const {
  if (m_bPeriod) {
    if (!m_period.valid || m_period.from != m_timeFrom || m_period.to != m_timeTo)
      m_period = {m_timeFrom, m_timeTo, PackDate(m_timeFrom), PackDate(m_timeTo), true};
    const std::uint32_t date = PackedDate(ev.TimeStamp());
    if (date < m_period.packedFrom || date > m_period.packedTo) return false;
  }
  const std::uint16_t code = ev.Code();
  if (code >= kRules.size()) return true;
  const KindRule& rule = kRules[code];
  if (!rule.flag) return true;
  if (!(this->*rule.flag)) return false;
  if (!rule.first) return true;
  const std::uint32_t n = ev.B(rule.byte);
  return this->*rule.first <= n && n <= this->*rule.last;
}
