#include "cli/filter_options.h"

#include <CLI/CLI.hpp>

#include <charconv>
#include <ctime>
#include <optional>
#include <utility>

namespace logwick::cli {
namespace {

std::optional<std::uint32_t> ParseNumber(std::string_view s) {
  std::uint32_t v = 0;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (s.empty() || ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
  return v;
}

// "A-B" or "A", unsigned 32-bit numbers.
std::optional<std::pair<std::uint32_t, std::uint32_t>> ParseRange(std::string_view s) {
  const auto dash = s.find('-');
  if (dash == std::string_view::npos) {
    auto n = ParseNumber(s);
    if (!n) return std::nullopt;
    return std::make_pair(*n, *n);
  }
  auto a = ParseNumber(s.substr(0, dash));
  auto b = ParseNumber(s.substr(dash + 1));
  if (!a || !b) return std::nullopt;
  return std::make_pair(*a, *b);
}

// Noon of a local calendar day, so that no daylight-saving shift can move it
// to a neighbouring day.
std::optional<std::int64_t> ParseDay(const std::string& s) {
  if (s.size() != 10 || s[4] != '-' || s[7] != '-') return std::nullopt;
  auto y = ParseNumber(std::string_view(s).substr(0, 4));
  auto m = ParseNumber(std::string_view(s).substr(5, 2));
  auto d = ParseNumber(std::string_view(s).substr(8, 2));
  if (!y || !m || !d || *y < 1900 || *m < 1 || *m > 12 || *d < 1 || *d > 31) return std::nullopt;
  std::tm tm{};
  tm.tm_year = static_cast<int>(*y) - 1900;
  tm.tm_mon = static_cast<int>(*m) - 1;
  tm.tm_mday = static_cast<int>(*d);
  tm.tm_hour = 12;
  tm.tm_isdst = -1;
  const std::time_t t = std::mktime(&tm);
  // mktime moves 31 April to 1 May: such a day does not exist.
  if (t == static_cast<std::time_t>(-1) || tm.tm_mday != static_cast<int>(*d)) return std::nullopt;
  return static_cast<std::int64_t>(t);
}

const CLI::Validator kDay(
    [](std::string& s) { return ParseDay(s) ? std::string() : "not a date YYYY-MM-DD: " + s; }, "");
const CLI::Validator kRange(
    [](std::string& s) { return ParseRange(s) ? std::string() : "not a range A-B: " + s; }, "");

}  // namespace

void FilterOptions::AddTo(CLI::App& cmd, CLI::Option* needed) {
  const std::string group = "Filter";
  CLI::Option* options[] = {
      cmd.add_option("--from", from, "First day of the period (turns the period on)")
          ->check(kDay)
          ->type_name("YYYY-MM-DD"),
      cmd.add_option("--to", to, "Last day of the period (turns the period on)")
          ->check(kDay)
          ->type_name("YYYY-MM-DD"),
      cmd.add_option("--beams", beams, "Beam numbers admitted (codes 5, 8, 11)")
          ->check(kRange)
          ->type_name("A-B"),
      cmd.add_option("--devices", devices, "Device numbers admitted (code 2)")
          ->check(kRange)
          ->type_name("A-B"),
      cmd.add_flag("--no-beams", noBeams, "Leave out beam events"),
      cmd.add_flag("--no-devices", noDevices, "Leave out addressable-device events"),
      cmd.add_flag("--no-units", noUnits, "Leave out interface-unit events"),
      cmd.add_flag("--no-slaves", noSlaves, "Leave out slave-panel events"),
      cmd.add_flag("--no-messages", noMessages, "Leave out message-output events"),
      cmd.add_flag("--no-modes", noModes, "Leave out panel mode events"),
  };
  for (CLI::Option* o : options) {
    o->group(group);
    if (needed) o->needs(needed);
  }
}

CT7KEvFilter FilterOptions::Build() const {
  CT7KEvFilter f;
  if (!from.empty() || !to.empty()) f.m_bPeriod = 1;
  if (!from.empty()) f.m_timeFrom = *ParseDay(from);
  if (!to.empty()) f.m_timeTo = *ParseDay(to);
  if (!beams.empty()) std::tie(f.m_nFirstBeam, f.m_nLastBeam) = *ParseRange(beams);
  if (!devices.empty()) std::tie(f.m_nFirstDev, f.m_nLastDev) = *ParseRange(devices);
  if (noBeams) f.m_bBeams = 0;
  if (noDevices) f.m_bDevices = 0;
  if (noUnits) f.m_bUnits = 0;
  if (noSlaves) f.m_bSlaves = 0;
  if (noMessages) f.m_bMessages = 0;
  if (noModes) f.m_bModes = 0;
  return f;
}

}  // namespace logwick::cli
