#include "link/trace_port.h"

#include "events/strformat.h"
#include "link/comm_port.h"

namespace logwick {

std::string HexBytes(const std::uint8_t* data, std::size_t length) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string s;
  s.reserve(length * 3);
  for (std::size_t i = 0; i < length; ++i) {
    if (i) s += ' ';
    s += kDigits[data[i] >> 4];
    s += kDigits[data[i] & 0x0F];
  }
  return s;
}

TracePort::TracePort(IPanelPort& inner, std::FILE* out) : m_inner(inner), m_out(out), m_start(TickMs()) {}

void TracePort::Line(const char* arrow, const std::string& text) {
  std::fprintf(m_out, "%8u ms  %-17s %s %s\n", TickMs() - m_start, m_operation.c_str(), arrow, text.c_str());
  std::fflush(m_out);
}

bool TracePort::Open(unsigned portNumber, unsigned baud, std::uint8_t parity) {
  m_operation = "Open";
  const bool ok = m_inner.Open(portNumber, baud, parity);
  m_open = ok;
  Line("==",
       StrFormat("COM%u %u baud, parity %u: %s", portNumber, baud, unsigned{parity}, ok ? "open" : "failed"));
  return ok;
}

void TracePort::Write(const std::uint8_t* data, std::size_t length) {
  Line("->", HexBytes(data, length));
  m_inner.Write(data, length);
}

void TracePort::Read(std::uint8_t* buf, std::size_t capacity, std::size_t& count, std::size_t expected) {
  m_inner.Read(buf, capacity, count, expected);
  Line("<-", count ? HexBytes(buf, count) : std::string("(nothing)"));
}

void TracePort::Close() {
  m_inner.Close();
  if (!m_open) return;
  m_open = false;
  m_operation = "Close";
  Line("==", "closed");
}

void TracePort::Pause(unsigned milliseconds) { m_inner.Pause(milliseconds); }

void TracePort::BeginOperation(const char* name) {
  m_operation = name;
  m_inner.BeginOperation(name);
}

}  // namespace logwick
