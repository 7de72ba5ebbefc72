#include "link/port_list.h"

#include <algorithm>

#include "events/strformat.h"
#include "link/port_names.h"

namespace logwick {

std::vector<PortListing> ListPorts(const SystemView& view) {
  std::vector<PortListing> list;
  for (const PortInfo& port : EnumeratePorts()) {
    const auto node = view.Node(port.devicePath);
    PortListing entry{port.number, node ? node->resolved : port.devicePath, {}};
    entry.description = view.Hardware(entry.device).description;
    const std::string target = view.LinkTarget(port.devicePath);
    if (!target.empty() && port.devicePath != entry.device)
      entry.description += (entry.description.empty() ? "" : ", ") + std::string("ссылка ") +
                           port.devicePath + " -> " + target;
    list.push_back(std::move(entry));
  }
  std::sort(list.begin(), list.end(), [](const auto& a, const auto& b) { return a.number < b.number; });
  return list;
}

std::string PortListingLine(const PortListing& port) {
  std::string line = StrFormat("COM%u  %s", port.number, port.device.c_str());
  if (!port.description.empty()) line += "  " + port.description;
  return line;
}

}  // namespace logwick
