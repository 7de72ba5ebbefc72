// Every time limit and repeat count of the device link, in one place.
//
// Read time-out. A reply is awaited for as long as the request still needs to
// leave the transmitter plus a whole reply of `capacity` bytes, each character
// reckoned at 12 bit times, plus 80 ms of slack:
//
//     first deadline = now + (lastWritten + capacity) * 12000 / baud + 80
//
// Every arrival moves the deadline to what the rest of the capacity needs:
//
//     deadline = now + (capacity - countBefore - got) * 12000 / baud + 80
//
// A read ends at once when exactly the expected number of bytes, or the full
// capacity, has arrived; otherwise when the line has stayed silent past the
// deadline. So a reply longer than expected but shorter than the capacity
// waits for the deadline. All arithmetic is unsigned 32-bit with integer
// division, in milliseconds. At 9600 baud, lastWritten 3, capacity 32 the
// first deadline is 123 ms; at 1200 baud it is 430 ms.
//
// Wire time. A character takes one start bit, 8 data bits, the parity bit
// when there is one and one stop bit: 10 bit times at 8N1, 11 at 8E1. Once a
// reply has begun to arrive, a read that still expects n bytes sleeps for
// their wire time before it looks again, instead of waking for every byte.
// Bytes collected after such a sleep count, for the deadline above, as having
// arrived as early as the line could have carried them: a reply that stopped
// short in the middle of the sleep is then given up on no later than if every
// byte had been seen on arrival.
//
// Repeats. An addressing exchange (address assignment, type query) is tried
// three times; a data exchange three times; a block fetch is polled at most
// 999 times while the panel answers "not ready", each poll costing a whole
// read time-out. The search preamble is sent three times with a 100 ms pause
// after each. The port probe sends the discovery request at most three times
// in each line mode after the preamble, each awaited for a whole read
// time-out: about 0.7 s at 9600 baud and 1.2 s at 1200 when nothing answers.
#pragma once

#include <cstdint>

namespace logwick::timeouts {

inline constexpr std::uint32_t kCharTimeScale = 12000;  // 12 bit times * 1000 ms
inline constexpr std::uint32_t kReadSlackMs = 80;

inline constexpr int kAddressAttempts = 3;
inline constexpr int kTransactAttempts = 3;
inline constexpr int kFetchPolls = 999;
inline constexpr int kSearchRepeats = 3;
inline constexpr unsigned kSearchPauseMs = 100;
inline constexpr int kProbeDiscoveries = 3;

// A zero baud rate never reaches a configured port; it is kept from dividing.
constexpr std::uint32_t SafeBaud(std::uint32_t baud) { return baud ? baud : 1; }

constexpr std::uint32_t FirstReadWaitMs(std::uint32_t lastWritten, std::uint32_t capacity,
                                        std::uint32_t baud) {
  return (lastWritten + capacity) * kCharTimeScale / SafeBaud(baud) + kReadSlackMs;
}

constexpr std::uint32_t NextReadWaitMs(std::uint32_t stillMissing, std::uint32_t baud) {
  return stillMissing * kCharTimeScale / SafeBaud(baud) + kReadSlackMs;
}

constexpr std::uint32_t CharBits(std::uint8_t parity) { return parity ? 11 : 10; }

// Microseconds that `bytes` characters take on the line.
constexpr std::uint64_t WireTimeUs(std::uint64_t bytes, std::uint32_t baud, std::uint8_t parity) {
  return bytes * CharBits(parity) * 1'000'000 / SafeBaud(baud);
}

// Tick comparison that survives the 32-bit millisecond counter wrapping.
constexpr bool TickAfter(std::uint32_t now, std::uint32_t deadline) {
  return static_cast<std::int32_t>(now - deadline) > 0;
}

}  // namespace logwick::timeouts
