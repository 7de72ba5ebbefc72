// The read-out: takes one panel's content over a port and returns it as a
// value, reporting to a view while it runs. It knows no toolkit and no
// thread, and it never touches a list of its caller: the desktop dialog runs
// it on its worker thread and hands the result back when it ends, the
// command line runs it directly.
//
// The result's list exists once the event step has begun: then it holds the
// panel's header, its message texts and the events of the blocks read, also
// when a later block failed or the user stopped the reading. A reading that
// ends before the event step has no list, so whatever the caller shows stays.
#pragma once

#include <atomic>
#include <cstdint>
#include <optional>

#include "link/panel_port.h"
#include "link/protocol.h"
#include "link/readout_status.h"
#include "link/readout_view.h"
#include "lists/t7k_event_list.h"

namespace logwick {

// What a reading is told: where the panel is and how to find it.
struct ReadoutSettings {
  unsigned portNumber = 1;  // COM port number; 1-255, anything else means none chosen
  bool autoSerial = true;   // search for the panel instead of using selectedSerial
  std::uint32_t selectedSerial = 0;
  bool gazMode = false;  // 1200 baud, even parity; else 9600 baud, no parity
};

struct ReadoutResult {
  ReadoutStatus status = ReadoutStatus::Ok;
  // The protocol's result of the exchange that failed (information and event
  // steps, the address and the type), Ok otherwise.
  LinkStatus linkStatus = LinkStatus::Ok;
  std::optional<CT7KEventList> list;  // present once the event step began
  std::uint32_t serial = 0;           // the serial number found by the search or taken from the settings
};

// The event list's panel type of a device type the panel reports (3 and 5:
// 1, 4: 2); 0 for a type the reader does not support.
int PanelTypeOfDevice(std::uint8_t deviceType);

// Runs one reading. `cancel` is polled during the search, before each step,
// before each event block and between two polls of a block.
ReadoutResult RunReadout(const ReadoutSettings& settings, IPanelPort& port, IReadoutView& view,
                         const std::atomic<bool>& cancel);

// Puts the list a reading returned in the place of `list` and says whether
// there was one. The reserved block belongs to no reading: `list` keeps its own.
bool PutReadListInPlace(ReadoutResult&& result, CT7KEventList& list);

}  // namespace logwick
