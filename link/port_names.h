// Which device a COM port number stands for, and which ports are present.
//
// The setting stays a COM number on every platform. On Windows COMn is the
// device "\\.\COMn". Elsewhere COM1-32 are /dev/ttyS0-31, COM33-64
// /dev/ttyUSB0-31 and COM65-96 /dev/ttyACM0-31; a symbolic link named COMn in
// the ports folder maps any number to any device (a by-id path, a
// pseudo-terminal) and wins over that default.
#pragma once

#include <string>
#include <vector>

namespace logwick {

struct PortInfo {
  unsigned number = 0;     // the COM number
  std::string devicePath;  // what it opens
};

// The folder holding COMn links: $LOGWICK_PORTS_DIR when set, else the folder
// "ports" beside the desktop program's settings file
// ($XDG_CONFIG_HOME/Ormet/ports, XDG_CONFIG_HOME defaulting to ~/.config).
// Empty on Windows, which has no such folder.
std::string PortsFolder();

// The device path of COM port `comNumber` (1-255). Empty when the number has
// neither a link nor a default device.
std::string PortDevicePath(unsigned comNumber);

// The ports present on this machine, by ascending number: every link in the
// ports folder and every default device that exists.
std::vector<PortInfo> EnumeratePorts();

}  // namespace logwick
