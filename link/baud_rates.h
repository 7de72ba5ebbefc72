// The baud rates a POSIX terminal is set to by code: the serial port opens
// with them and the simulated panel reads them back to pace its replies.
#pragma once

#ifndef _WIN32
#include <termios.h>

namespace logwick {

// The terminal's speed code of a baud rate; false for a rate without one.
bool TermiosSpeedOf(unsigned baud, speed_t& code);

// The baud rate of a speed code; 0 for a code the table does not hold.
unsigned BaudOfTermiosSpeed(speed_t code);

}  // namespace logwick
#endif
