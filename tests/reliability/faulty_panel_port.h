// A virtual panel answering in-process through a port that can damage its
// replies on purpose, and that keeps a line clock: how long the same exchange
// would have taken on a real line at the reading's baud rate, waiting out every
// read time-out the way the serial port does. So a scenario's duration on a
// real line is known without waiting for it.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "link/panel_port.h"
#include "sim/virtual_panel.h"

namespace logwick::test {

using Bytes = std::vector<std::uint8_t>;

// What happens to the replies of one kind of request.
struct ReplyFault {
  enum Kind {
    None,
    Noise,     // stray bytes arrive before the reply
    DropByte,  // a byte other than 00 in the middle of the reply is lost
    DropNul,   // a 00 byte of the reply is lost: the XOR checksum cannot tell
    Corrupt,   // the last byte (the data checksum) is damaged
    Silence,   // no reply
    Vanish,    // no reply, and none to anything after it
  };
  Kind kind = None;
  sim::Request on = sim::Request::Search;
  unsigned first = 1;  // the first reply of that kind to hit, counted from 1
  int times = 1;       // how many replies in a row; -1: every one from `first` on
};

// The kind of a request frame as the panel tells it apart; none for a frame
// that is not one.
std::optional<sim::Request> RequestOf(const Bytes& frame);

class FaultyPanelPort : public IPanelPort {
 public:
  explicit FaultyPanelPort(sim::PanelConfig config, ReplyFault fault = {});

  bool Open(unsigned portNumber, unsigned baud, std::uint8_t parity) override;
  void Write(const std::uint8_t* data, std::size_t length) override;
  void Read(std::uint8_t* buf, std::size_t capacity, std::size_t& count,
            std::size_t expected) override;
  void Close() override { m_open = false; }
  void Pause(unsigned milliseconds) override { m_lineMs += milliseconds; }

  sim::VirtualPanel panel;
  bool openFails = false;
  std::function<void(unsigned readNumber)> onRead;  // before each read, counted from 1

  unsigned Reads() const { return m_reads; }
  double LineSeconds() const { return static_cast<double>(m_lineMs) / 1000.0; }

 private:
  void Damage(sim::Request kind, Bytes& reply);
  std::uint64_t CharsMs(std::size_t chars) const;

  ReplyFault m_fault;
  std::vector<unsigned> m_seen;  // replies produced so far, per kind
  bool m_vanished = false;
  bool m_open = false;
  unsigned m_baud = 9600;
  std::size_t m_lastWritten = 0;
  Bytes m_pending;
  unsigned m_reads = 0;
  std::uint64_t m_lineMs = 0;
  std::uint32_t m_noiseSeed = 12345;
};

}  // namespace logwick::test
