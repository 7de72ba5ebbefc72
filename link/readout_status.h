// How a reading of a panel ended, and what the user is told about it.
#pragma once

#include <string>

namespace logwick {

enum class ReadoutStatus {
  Ok,               // every step completed
  Cancelled,        // stopped at the user's request; nothing is shown
  PortNotOpened,    // the port could not be opened
  AddressNotSet,    // the panel did not take bus address 1
  TypeNotAnswered,  // the panel did not say its device type
  TypeUnsupported,  // a device type other than 3, 4 and 5
  InfoNotRead,      // device, configuration or log information, or a message text
  EventsNotRead,    // an event block
};

// The message shown for a failure (UTF-8; "\n" is a line break). Empty for Ok
// and Cancelled, which show none.
std::string ReadoutMessage(ReadoutStatus status);

}  // namespace logwick
