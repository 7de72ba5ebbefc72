// logwick-cli ports: the serial ports present, one line each,
// "COMn  DEVICE  DESCRIPTION" (link/port_list.h).
#include <CLI/CLI.hpp>

#include <cstdio>

#include "cli/commands.h"
#include "link/port_list.h"

namespace logwick::cli {

void AddPortsCommand(CLI::App& app) {
  auto* cmd = app.add_subcommand("ports", "List the serial ports present: COM number, device, description");
  cmd->callback([] {
    const auto ports = ListPorts(HostSystemView());
    for (const PortListing& port : ports) std::printf("%s\n", PortListingLine(port).c_str());
    if (ports.empty()) std::fprintf(stderr, "Последовательных портов не найдено.\n");
  });
}

}  // namespace logwick::cli
