// The byte pipe the panel protocol runs over. CCommPort is the real serial
// line; tests put a scripted port in its place, the trace decorator records
// every frame, and a pseudo-terminal panel answers in the demo and benchmark.
#pragma once

#include <cstddef>
#include <cstdint>

namespace logwick {

class IPanelPort {
 public:
  virtual ~IPanelPort() = default;

  // Opens COM port `portNumber` (0 or above 255 means 1) with the given baud
  // rate and parity code (0 none, 1 odd, 2 even, 3 mark, 4 space). Any port
  // still open is closed first. False when the port cannot be opened or set up.
  virtual bool Open(unsigned portNumber, unsigned baud, std::uint8_t parity) = 0;

  // Waits until earlier output has left, discards all buffered input, then
  // sends the bytes. Failures are not reported: they show as a missing reply.
  virtual void Write(const std::uint8_t* data, std::size_t length) = 0;

  // Collects reply bytes into buf until `expected` bytes or `capacity` bytes
  // have arrived or the line stays silent past the read time-out (see
  // link/timeouts.h). count says how many arrived.
  virtual void Read(std::uint8_t* buf, std::size_t capacity, std::size_t& count, std::size_t expected) = 0;

  virtual void Close() = 0;

  // A pause between frames (the search preamble). Scripted ports skip it.
  virtual void Pause(unsigned milliseconds);

  // Names the protocol operation the following frames belong to, for traces.
  virtual void BeginOperation(const char* /*name*/) {}
};

}  // namespace logwick
