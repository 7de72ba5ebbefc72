#include "lists/t7k_ev_filter.h"

#include <algorithm>
#include <array>
#include <ctime>

#include "lists/event_kinds.h"

namespace {

constexpr std::int64_t kDefaultPeriodSeconds = 2592000;  // 30 days

// The flag that admits each kind of event, in the order of EventKind; other
// events are always admitted.
constexpr std::array<std::int32_t CT7KEvFilter::*, logwick::kEventKindCount> kKindFlags = {
    &CT7KEvFilter::m_bModes,
    &CT7KEvFilter::m_bDevices,
    &CT7KEvFilter::m_bMessages,
    &CT7KEvFilter::m_bBeams,
    &CT7KEvFilter::m_bUnits,
    &CT7KEvFilter::m_bSlaves,
    nullptr,
};

bool InRange(std::uint32_t n, std::uint32_t first, std::uint32_t last) { return first <= n && n <= last; }

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
  const auto flag = kKindFlags[static_cast<std::size_t>(logwick::KindOf(ev))];
  if (!flag) return true;
  if (!(this->*flag)) return false;
  if (const auto beam = logwick::BeamOf(ev)) return InRange(*beam, m_nFirstBeam, m_nLastBeam);
  // Dust levels are admitted with the devices, but by the beam range on B6.
  if (ev.Code() == logwick::kDustLevelCode) return InRange(ev.B(6), m_nFirstBeam, m_nLastBeam);
  if (const auto device = logwick::DeviceOf(ev)) return InRange(*device, m_nFirstDev, m_nLastDev);
  return true;
}
