// A port that records every frame passing through another one: the bytes sent
// and received in hex, a millisecond time stamp from the start of the trace,
// and the protocol operation they belong to. What an engineer sends along when
// a panel will not talk.
//
//      153 ms  SetPanelAddress   -> 80 34 12 00 00 01
//      161 ms  SetPanelAddress   <- 80 34 12 00 00 01
//      286 ms  ReadPanelType     <- (nothing)
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "link/panel_port.h"

namespace logwick {

class TracePort : public IPanelPort {
 public:
  // Writes to out, which stays the caller's; every line is flushed at once so
  // that a trace survives a crash or an interrupted reading.
  TracePort(IPanelPort& inner, std::FILE* out);

  bool Open(unsigned portNumber, unsigned baud, std::uint8_t parity) override;
  void Write(const std::uint8_t* data, std::size_t length) override;
  void Read(std::uint8_t* buf, std::size_t capacity, std::size_t& count, std::size_t expected) override;
  void Close() override;
  void Pause(unsigned milliseconds) override;
  void BeginOperation(const char* name) override;

 private:
  void Line(const char* arrow, const std::string& text);

  IPanelPort& m_inner;
  std::FILE* m_out;
  std::uint32_t m_start;
  std::string m_operation = "-";
  bool m_open = false;
};

// "81 13 38": bytes as space-separated hex pairs.
std::string HexBytes(const std::uint8_t* data, std::size_t length);

}  // namespace logwick
