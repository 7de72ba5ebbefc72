// What the read-out reports while it runs: which step it has begun, what the
// panel said about its log, the event just read, the progress and the
// failures the user is to be told about. The front ends choose the words: the
// desktop dialog puts them into its controls on the interface thread, the
// command line draws a progress line, tests record the calls.
#pragma once

#include <cstdint>
#include <string>

#include "events/packed_time.h"
#include "events/t7k_event.h"
#include "link/readout_status.h"

namespace logwick {

// The steps of a reading, in the order they run.
enum class ReadoutStep {
  OpenPort,
  Search,      // automatic search for the panel's serial number
  Address,     // giving the panel bus address 1
  PanelType,   // asking the device type
  DeviceInfo,  // firmware version and release date
  ConfigInfo,  // configuration name and number of message texts
  LogInfo,     // event count, ring position, block size and clock
  Texts,       // the message texts
  Events,      // the event blocks
};

// What the event step starts from.
struct PanelLogSummary {
  int versionMajor = 0;
  int versionMinor = 0;
  PackedTimeFields clock;  // the panel's clock, as packed
  int eventCount = 0;      // events the panel holds
};

// The words engineers know from the reading dialog, for every front end that
// shows a reading (UTF-8): the step ("Установка адреса 1 для 4660"), the
// panel's version and clock, and how many events it holds.
std::string ReadoutStepText(ReadoutStep step, std::uint32_t serial);
std::string PanelVersionText(const PanelLogSummary& log);
std::string PanelCountText(const PanelLogSummary& log);

class IReadoutView {
 public:
  virtual ~IReadoutView() = default;

  // A step begins. serial: the panel's serial number from the address step
  // on, 0 before it.
  virtual void StepBegan(ReadoutStep step, std::uint32_t serial) = 0;
  // The event step has begun; events follow.
  virtual void EventsBegan(const PanelLogSummary& log) = 0;
  // The progress of the texts and the events: a new range 0 .. upper, then
  // positions within it.
  virtual void ProgressRange(int upper) = 0;
  virtual void ProgressAt(int position) = 0;
  // An event of the block that brings the reading to `blockEnd` events of the
  // log (the same number for every event of a block).
  virtual void EventRead(int blockEnd, const CT7KEvent& event) = 0;
  // A failure to tell the user about (ReadoutMessage gives its text). The
  // read-out carries on right after the call, so a dialog shows the message
  // and ends only once the user has dismissed it.
  virtual void Warning(ReadoutStatus status) = 0;
};

}  // namespace logwick
