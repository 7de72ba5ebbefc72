// Why a serial link does not talk: the port probe opens a port and finds out,
// step by step, whether the device exists, whether this user may open it,
// whether another program holds it, whether the line echoes what is sent, and
// whether a panel answers at 9600 baud 8N1 or at 1200 baud 8E1 (ГАЗ mode). A
// panel that answers gives its serial number, device type and firmware
// version through the protocol's own requests. The report holds the findings;
// link/port_probe_text.h puts them into words.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "link/comm_port.h"
#include "link/protocol.h"
#include "link/system_view.h"

namespace logwick {

enum class ProbeVerdict {
  kNoDevice,         // nothing at the path, or no device for the COM number
  kNoPermission,     // this user may not open it
  kBusy,             // another program holds it
  kCannotOpen,       // not a serial port, or it refused the line settings
  kEcho,             // the line sends back what is sent
  kNoise,            // bytes come back, but no panel's answer
  kSilence,          // nothing answers in either line mode
  kPanelIncomplete,  // a panel answered the search, then stopped answering
  kPanel,            // a panel answered: serial number, type and version
};

// The request a panel stopped answering after the search.
enum class ProbeStep { kAddress, kType, kVersion };

// What the search brought in one line mode.
struct ModeOutcome {
  bool gaz = false;            // 1200 baud 8E1 rather than 9600 baud 8N1
  bool echo = false;           // the requests came back
  std::size_t strayBytes = 0;  // bytes that were neither the echo nor an answer
  std::uint32_t serial = 0;    // the panel that answered the search; 0: none
};

struct ProbeTarget {
  unsigned portNumber = 0;  // a COM number, resolved through PortDevicePath
  std::string device;       // or a device path; it wins when given
};

struct ProbeReport {
  ProbeVerdict verdict = ProbeVerdict::kSilence;
  unsigned portNumber = 0;
  std::string device;      // the path opened (empty: no device for the COM number)
  std::string linkTarget;  // when device is a symbolic link, what it holds
  std::string resolved;    // device with every link followed
  PortHardware hardware;
  bool modemManager = false;  // ModemManager runs and looks at devices of this kind
  // No permission: the device's group, the user, and whether the group
  // database already lists the user (then only a new login is missing).
  std::string group;
  std::string user;
  bool groupListsUser = false;
  std::vector<ProcessInfo> holders;  // busy: who holds the device
  std::string openError;             // cannot open: the system's reason
  std::vector<ModeOutcome> modes;    // the line modes tried, in order
  // The panel found (also the one behind an echo).
  std::uint32_t serial = 0;
  bool gaz = false;
  ProbeStep failedStep = ProbeStep::kAddress;
  std::uint8_t deviceType = 0;
  DeviceInfo version;
};

// Probes the target through `port`, which it opens and closes again.
ProbeReport ProbePort(const ProbeTarget& target, CCommPort& port, const SystemView& view);

}  // namespace logwick
