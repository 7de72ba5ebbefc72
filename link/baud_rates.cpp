#include "link/baud_rates.h"

#ifndef _WIN32

namespace logwick {
namespace {

struct BaudCode {
  unsigned baud;
  speed_t code;
};

constexpr BaudCode kBaudCodes[] = {
    {300, B300},   {600, B600},     {1200, B1200},   {2400, B2400},   {4800, B4800},
    {9600, B9600}, {19200, B19200}, {38400, B38400}, {57600, B57600}, {115200, B115200},
};

}  // namespace

bool TermiosSpeedOf(unsigned baud, speed_t& code) {
  for (const auto& b : kBaudCodes)
    if (b.baud == baud) {
      code = b.code;
      return true;
    }
  return false;
}

unsigned BaudOfTermiosSpeed(speed_t code) {
  for (const auto& b : kBaudCodes)
    if (b.code == code) return b.baud;
  return 0;
}

}  // namespace logwick

#endif
