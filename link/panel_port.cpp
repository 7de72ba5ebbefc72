#include "link/panel_port.h"

#include <chrono>
#include <thread>

namespace logwick {

void IPanelPort::Pause(unsigned milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace logwick
