#include "cli/sim_options.h"

#include <CLI/CLI.hpp>

#include <cstdio>

#include "cli/commands.h"
#include "events/t7k_event.h"
#include "sim/event_generator.h"

namespace logwick::cli {
namespace {

void ParseVersion(const std::string& s, sim::PanelConfig& c) {
  unsigned major = 0, minor = 0;
  char end = 0;
  if (std::sscanf(s.c_str(), "%u.%u%c", &major, &minor, &end) != 2 || major > 255 || minor > 255)
    throw CliError("simulate: --firmware wants MAJOR.MINOR, e.g. 3.12");
  c.versionMajor = static_cast<std::uint8_t>(major);
  c.versionMinor = static_cast<std::uint8_t>(minor);
}

void ParseRelease(const std::string& s, sim::PanelConfig& c) {
  unsigned y = 0, m = 0, d = 0;
  char end = 0;
  if (std::sscanf(s.c_str(), "%u-%u-%u%c", &y, &m, &d, &end) != 3 || y > 65535 || m > 255 || d > 255)
    throw CliError("simulate: --release wants YYYY-MM-DD");
  c.releaseYear = static_cast<std::uint16_t>(y);
  c.releaseMonth = static_cast<std::uint8_t>(m);
  c.releaseDay = static_cast<std::uint8_t>(d);
}

std::uint32_t ParseClock(const std::string& s) {
  int y, mo, d, h, mi, se;
  char end = 0;
  if (std::sscanf(s.c_str(), "%d-%d-%d %d:%d:%d%c", &y, &mo, &d, &h, &mi, &se, &end) != 6 || y < 2000 ||
      y > 2063 || mo < 1 || mo > 12 || d < 1 || d > 31 || h > 23 || mi > 59 || se > 59 || h < 0 || mi < 0 ||
      se < 0)
    throw CliError("simulate: --clock wants \"YYYY-MM-DD HH:MM:SS\" between 2000 and 2063");
  return PackTimeStamp(y, mo, d, h, mi, se);
}

}  // namespace

void AddSimOptions(CLI::App& cmd, SimOptions& o) {
  auto& p = o.panel;
  cmd.add_option("--serial", p.serial, "serial number (3 .. 16777215)")
      ->check(CLI::Range(3u, 0xFFFFFFu))
      ->capture_default_str();
  cmd.add_option("--type", p.deviceType, "device type (3, 4, 5 are supported; others to test refusal)")
      ->check(CLI::Range(0, 127))
      ->capture_default_str();
  cmd.add_option("--events", p.eventCount, "number of events in the log (N)")->capture_default_str();
  cmd.add_option("--ring", p.ringPosition, "ring position (J)")->capture_default_str();
  cmd.add_option("--block", p.blockSize, "events per block (B)")->capture_default_str();
  cmd.add_option("--firmware", o.version, "firmware version MAJOR.MINOR")->capture_default_str();
  cmd.add_option("--release", o.release, "firmware release date YYYY-MM-DD")->capture_default_str();
  cmd.add_option("--config", p.configName, "configuration name (16 characters are sent)")
      ->capture_default_str();
  cmd.add_option("--text", o.texts, "a message text (repeat; replaces the sample texts)");
  cmd.add_option("--sample-texts", o.sampleTexts, "number of sample message texts")
      ->check(CLI::Range(0, 255))
      ->capture_default_str();
  cmd.add_option("--clock", o.clock, "panel clock \"YYYY-MM-DD HH:MM:SS\" (the newest event is then)");
  cmd.add_option("--seed", p.seed, "seed of the event contents")->capture_default_str();
  cmd.add_option("--not-ready", p.notReadyPolls, "\"not ready\" answers before each block")
      ->capture_default_str();
  cmd.add_flag("--pace", o.pace, "send at the line's baud rate, so that wire time is real");
  cmd.add_option("--as-com", o.asCom, "also appear as COM port N (a link in the ports folder)")
      ->check(CLI::Range(1u, 255u));
  cmd.add_option("--silent-on", o.silentOn,
                 "never answer this request: search, discover, address, type, device, config, "
                 "log, text, select, fetch (repeatable)");
  cmd.add_option("--bad-checksum", o.badChecksumOn,
                 "send reply number N (counted from 1) with a damaged checksum (repeatable)");
  cmd.add_flag("--silent", p.faults.silent, "no panel answers at all");
  cmd.add_flag("--echo", o.echo,
               "the line sends every request straight back, as an RS-485 adapter with echo does "
               "(with --silent: a loopback plug)");
  cmd.add_option("--line-mode", o.lineMode,
                 "the panel answers only in this line mode: normal (9600 baud 8N1) or gaz "
                 "(1200 baud 8E1); default: both")
      ->check(CLI::IsMember({"normal", "gaz"}));
}

sim::PanelConfig MakePanelConfig(const SimOptions& o) {
  sim::PanelConfig c = o.panel;
  ParseVersion(o.version, c);
  ParseRelease(o.release, c);
  if (!o.clock.empty()) c.clock = ParseClock(o.clock);
  c.texts = o.texts.empty() ? SampleMessageTexts(static_cast<std::size_t>(o.sampleTexts)) : o.texts;
  for (const auto& name : o.silentOn) {
    sim::Request r;
    if (!sim::ParseRequestName(name, r)) throw CliError("simulate: unknown request '" + name + "'");
    c.faults.silentOn.insert(r);
  }
  c.faults.badChecksumOn.insert(o.badChecksumOn.begin(), o.badChecksumOn.end());
  return c;
}

sim::PtyOptions MakeLineOptions(const SimOptions& o) {
  sim::PtyOptions line{.pace = o.pace, .takeControllingTerminal = true, .echo = o.echo};
  if (o.lineMode == "normal") line.onlyAtBaud = 9600;
  if (o.lineMode == "gaz") line.onlyAtBaud = 1200;
  return line;
}

}  // namespace logwick::cli
