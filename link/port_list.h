// The serial ports present, each with what stands behind it, as `logwick-cli
// ports` prints them and the settings dialog lists them:
//
//     COM1  /dev/ttyS0  последовательный порт на плате
//     COM33  /dev/ttyUSB0  FTDI FT232R USB UART A50285BI
//     COM7  /dev/pts/3  псевдотерминал, ссылка /home/u/.config/Ormet/ports/COM7 -> /dev/pts/3
#pragma once

#include <string>
#include <vector>

#include "link/system_view.h"

namespace logwick {

struct PortListing {
  unsigned number = 0;
  std::string device;       // what the port opens, every link followed
  std::string description;  // the hardware; for a link in the ports folder also the link
};

// Every port of EnumeratePorts (link/port_names.h), by ascending number.
std::vector<PortListing> ListPorts(const SystemView& view);

// "COMn  DEVICE  DESCRIPTION".
std::string PortListingLine(const PortListing& port);

}  // namespace logwick
