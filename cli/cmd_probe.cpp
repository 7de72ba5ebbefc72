// logwick-cli probe (--port N | --device PATH): explains why a link does not
// talk, or names the panel that answers (link/port_probe.h).
#include <CLI/CLI.hpp>

#include <cstdio>
#include <memory>
#include <optional>

#include "cli/commands.h"
#include "link/port_probe.h"
#include "link/port_probe_text.h"

namespace logwick::cli {
namespace {

// 0 only when a panel answered.
constexpr int kExitPortUnusable = 1;  // no device, no permission, busy, not a serial port
constexpr int kExitNoPanel = 2;       // the port opened, but no panel answered as it should

int ExitStatusOf(ProbeVerdict verdict) {
  switch (verdict) {
    case ProbeVerdict::kPanel:
      return kExitOk;
    case ProbeVerdict::kNoDevice:
    case ProbeVerdict::kNoPermission:
    case ProbeVerdict::kBusy:
    case ProbeVerdict::kCannotOpen:
      return kExitPortUnusable;
    default:
      return kExitNoPanel;
  }
}

struct ProbeOptions {
  std::optional<unsigned> port;
  std::string device;
};

}  // namespace

void AddProbeCommand(CLI::App& app) {
  auto o = std::make_shared<ProbeOptions>();
  auto* cmd = app.add_subcommand("probe", "Find out why a serial link does not talk, or which panel answers");
  auto* port = cmd->add_option("--port", o->port, "COM port number")->check(CLI::Range(1u, 255u));
  auto* device = cmd->add_option("--device", o->device, "serial device path instead of a port");
  port->excludes(device);
  cmd->footer("Exit status: 0 a panel answered; 1 the port cannot be used; 2 no panel answered.");
  cmd->callback([o, port, device] {
    if (port->count() + device->count() != 1) throw CliError("probe: give --port N or --device PATH");
    CCommPort comm;
    const ProbeReport report = ProbePort({o->port.value_or(0), o->device}, comm, HostSystemView());
    for (const std::string& line : ProbeReportLines(report)) std::printf("%s\n", line.c_str());
    std::fflush(stdout);
    if (const int status = ExitStatusOf(report.verdict); status != kExitOk) throw CLI::RuntimeError(status);
  });
}

}  // namespace logwick::cli
