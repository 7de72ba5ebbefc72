#include "desk/filter_dialog.h"

#include <charconv>
#include <ctime>

namespace logwick {

namespace {

bool LocalTime(std::int64_t t, std::tm& out) {
  const std::time_t tt = static_cast<std::time_t>(t);
#ifdef _WIN32
  return localtime_s(&out, &tt) == 0;
#else
  return localtime_r(&tt, &out) != nullptr;
#endif
}

// An unsigned 32-bit decimal number with blanks around it, nothing else.
std::optional<std::uint32_t> ParseUnsigned(const std::string& text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return std::nullopt;
  const auto last = text.find_last_not_of(" \t");
  std::uint32_t n = 0;
  const char* end = text.data() + last + 1;
  const auto [at, ec] = std::from_chars(text.data() + first, end, n);
  if (ec != std::errc() || at != end) return std::nullopt;
  return n;
}

}  // namespace

LocalDay LocalDayOf(std::int64_t t) {
  std::tm tm{};
  if (!LocalTime(t, tm)) return {};
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday};
}

std::int64_t OnLocalDay(std::int64_t t, const LocalDay& day) {
  std::tm tm{};
  if (!LocalTime(t, tm)) tm = {};
  tm.tm_year = day.year - 1900;
  tm.tm_mon = day.month - 1;
  tm.tm_mday = day.day;
  tm.tm_isdst = -1;
  const std::time_t moved = std::mktime(&tm);
  return moved == static_cast<std::time_t>(-1) ? t : static_cast<std::int64_t>(moved);
}

FilterForm FilterDialog::Form() const {
  const CT7KEvFilter& f = m_filter;
  FilterForm form;
  form.period = f.m_bPeriod != 0;
  form.from = LocalDayOf(f.m_timeFrom);
  form.to = LocalDayOf(f.m_timeTo);
  form.beams = f.m_bBeams != 0;
  form.firstBeam = std::to_string(f.m_nFirstBeam);
  form.lastBeam = std::to_string(f.m_nLastBeam);
  form.devices = f.m_bDevices != 0;
  form.firstDev = std::to_string(f.m_nFirstDev);
  form.lastDev = std::to_string(f.m_nLastDev);
  form.messages = f.m_bMessages != 0;
  form.modes = f.m_bModes != 0;
  form.units = f.m_bUnits != 0;
  form.slaves = f.m_bSlaves != 0;
  return form;
}

std::optional<int> FilterDialog::Save(const FilterForm& form) {
  CT7KEvFilter& f = m_filter;
  auto number = [this](const std::string& text, std::uint32_t& out) {
    const std::optional<std::uint32_t> n = ParseUnsigned(text);
    if (n) out = *n;
    else m_face.ShowMessage({kMsgNotANumber, MsgCaption::Title, MsgIcon::Exclamation, MsgOwner::Filter});
    return n.has_value();
  };
  f.m_timeFrom = OnLocalDay(f.m_timeFrom, form.from);
  f.m_timeTo = OnLocalDay(f.m_timeTo, form.to);
  if (!number(form.firstBeam, f.m_nFirstBeam)) return IDC_FILTER_FIRST_BEAM;
  if (!number(form.lastBeam, f.m_nLastBeam)) return IDC_FILTER_LAST_BEAM;
  f.m_bDevices = form.devices;
  f.m_bMessages = form.messages;
  f.m_bModes = form.modes;
  f.m_bBeams = form.beams;
  if (!number(form.firstDev, f.m_nFirstDev)) return IDC_FILTER_FIRST_DEVICE;
  if (!number(form.lastDev, f.m_nLastDev)) return IDC_FILTER_LAST_DEVICE;
  f.m_bSlaves = form.slaves;
  f.m_bUnits = form.units;
  f.m_bPeriod = form.period;
  return std::nullopt;
}

bool FilterDialog::OnOK(const FilterForm& form, int* focusId) {
  const std::optional<int> bad = Save(form);
  if (bad && focusId) *focusId = *bad;
  return !bad;
}

}  // namespace logwick
