// The read-out: takes one panel's content into an event list over an open-able
// port, driving a view while it runs. It knows no toolkit and no thread: the
// desktop dialog calls RunReadout on its worker thread once its window exists,
// the command line calls it directly.
//
// The list is never left half-changed. The header, texts and events are
// gathered into a fresh list, which replaces `list` only when the event step
// begins. A failure or cancel before that leaves `list` exactly as it was; one
// during the event blocks leaves the events read so far together with their
// own header and texts (and still counts as a failure).
#pragma once

#include <atomic>
#include <cstdint>

#include "link/panel_port.h"
#include "link/readout_view.h"
#include "lists/t7k_event_list.h"

namespace logwick {

struct ReadoutParams {
  unsigned portNumber = 1;  // COM number given to IPanelPort::Open
  bool autoSerial = true;   // search for the panel instead of using selectedSerial
  bool gazMode = false;     // 1200 baud, even parity; else 9600 baud, no parity
  std::uint32_t selectedSerial = 0;
};

// Worker result codes beyond the protocol's own (link/protocol.h).
inline constexpr int kReadoutOk = 0;
inline constexpr int kReadoutStopped = 11;  // cancelled, or stopped after a failure already shown

// The event list's panel type of a device type the panel reports (3 and 5:
// 1, 4: 2); 0 for a type the reader does not support.
int PanelTypeOfDevice(std::uint8_t deviceType);

// Runs one reading. Returns kReadoutOk when every step completed (the dialog's
// command 107) and a non-zero code otherwise (command 108): kReadoutStopped
// after a cancel or a failure whose message went to view.ShowWarning, or the
// protocol code of a failed information or event step. `cancel` is polled
// during the search, before each step and before each event block.
// `currentSerial` is the process-wide current serial number: it receives the
// number found or taken from params and keeps it between readings.
// Returns whether the list was replaced through `listReplaced` when given.
int RunReadout(const ReadoutParams& params, IPanelPort& port, IReadoutView& view,
               const std::atomic<bool>& cancel, CT7KEventList& list, std::uint32_t& currentSerial,
               bool* listReplaced = nullptr);

}  // namespace logwick
