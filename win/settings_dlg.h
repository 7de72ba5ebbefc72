// The settings dialog (template 106) over the reading's settings: the ports
// present (as the system's DOS device names give them), the serial number or
// automatic search, and the ГАЗ line mode.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "link/port_list.h"
#include "link/readout.h"

namespace logwick::win {

// The port number OK gives when no port is chosen.
inline constexpr unsigned kNoPort = 0xFFFFFFFFu;

// The desktop model's rules for the serial number.
struct SerialChecks {
  // "Авто" was cleared: the text the edit shows next, given the text it holds.
  std::function<std::string(std::string_view text)> autoCleared;
  // OK: takes the edit's text into settings (search flag and port already
  // read back) or shows the refusal and returns false (the dialog stays).
  std::function<bool(HWND dialog, std::string_view text, logwick::ReadoutSettings& settings)> accept;
};

// true on OK, settings then holding the edited values.
bool RunSettingsDialog(HWND owner, logwick::ReadoutSettings& settings,
                       const std::vector<logwick::PortListing>& ports, SerialChecks checks);

}  // namespace logwick::win
