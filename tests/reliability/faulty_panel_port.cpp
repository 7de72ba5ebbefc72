#include "tests/reliability/faulty_panel_port.h"

#include <algorithm>

#include "link/frames.h"
#include "link/timeouts.h"

namespace logwick::test {

namespace fr = frames;
using sim::Request;

std::optional<Request> RequestOf(const Bytes& f) {
  if (f.size() >= 5 && f[0] == fr::kAddressStart) {
    if (f.size() == 6) return Request::Address;
    if (fr::SerialKind(f[4]) == fr::kKindType) return Request::Type;
    return f[1] == 0x01 ? Request::Search : Request::Discover;
  }
  if (f.size() < 3 || f[0] != fr::kDataStart) return std::nullopt;
  struct Command {
    std::uint8_t cmd;
    Request request;
  };
  static constexpr Command kCommands[] = {
      {fr::kCmdDeviceInfo, Request::DeviceInfo}, {fr::kCmdConfigInfo, Request::ConfigInfo},
      {fr::kCmdLogInfo, Request::LogInfo},       {fr::kCmdMessageText, Request::Text},
      {fr::kCmdSelectBlock, Request::Select},    {fr::kCmdFetchBlock, Request::Fetch},
  };
  for (const Command& c : kCommands)
    if (c.cmd == f[1]) return c.request;
  return std::nullopt;
}

FaultyPanelPort::FaultyPanelPort(sim::PanelConfig config, ReplyFault fault)
    : panel(std::move(config)), m_fault(fault), m_seen(16, 0) {}

bool FaultyPanelPort::Open(unsigned, unsigned baud, std::uint8_t) {
  m_open = !openFails;
  m_baud = baud;
  return m_open;
}

std::uint64_t FaultyPanelPort::CharsMs(std::size_t chars) const {
  return chars * timeouts::kCharTimeScale / timeouts::SafeBaud(m_baud);
}

void FaultyPanelPort::Write(const std::uint8_t* data, std::size_t length) {
  if (!m_open) return;
  m_pending.clear();  // the port discards stale input before it sends
  m_lastWritten = length;
  m_lineMs += CharsMs(length);
  const Bytes request(data, data + length);
  std::vector<sim::Reply> replies;
  panel.Receive(data, length, replies);
  for (sim::Reply& r : replies) {
    if (const auto kind = RequestOf(request)) Damage(*kind, r.bytes);
    m_pending.insert(m_pending.end(), r.bytes.begin(), r.bytes.end());
  }
}

void FaultyPanelPort::Damage(Request kind, Bytes& reply) {
  const unsigned n = ++m_seen[static_cast<std::size_t>(kind)];
  if (m_vanished) {
    reply.clear();
    return;
  }
  if (m_fault.kind == ReplyFault::None || kind != m_fault.on || n < m_fault.first) return;
  if (m_fault.times >= 0 && n >= m_fault.first + static_cast<unsigned>(m_fault.times)) return;
  switch (m_fault.kind) {
    case ReplyFault::None: break;
    case ReplyFault::Noise: {
      Bytes noise(1 + m_noiseSeed % 7);
      for (auto& b : noise) b = static_cast<std::uint8_t>((m_noiseSeed = m_noiseSeed * 1103515245u + 12345u) >> 16);
      reply.insert(reply.begin(), noise.begin(), noise.end());
      break;
    }
    case ReplyFault::DropByte:
    case ReplyFault::DropNul: {
      const bool nul = m_fault.kind == ReplyFault::DropNul;
      auto at = std::find_if(reply.begin() + static_cast<std::ptrdiff_t>(reply.size() / 2),
                             reply.end(), [nul](std::uint8_t b) { return (b == 0) == nul; });
      if (at != reply.end()) reply.erase(at);
      break;
    }
    case ReplyFault::Corrupt:
      if (!reply.empty()) reply.back() ^= 0x5A;
      break;
    case ReplyFault::Silence: reply.clear(); break;
    case ReplyFault::Vanish:
      m_vanished = true;
      reply.clear();
      break;
  }
}

void FaultyPanelPort::Read(std::uint8_t* buf, std::size_t capacity, std::size_t& count,
                           std::size_t expected) {
  ++m_reads;
  if (onRead) onRead(m_reads);
  count = m_open ? std::min(capacity, m_pending.size()) : 0;
  std::copy(m_pending.begin(), m_pending.begin() + static_cast<std::ptrdiff_t>(count), buf);
  m_pending.erase(m_pending.begin(), m_pending.begin() + static_cast<std::ptrdiff_t>(count));
  // A read ends at once on exactly the expected count or a full buffer; any
  // other count waits out the time-out (see link/timeouts.h).
  if (count == 0) {
    m_lineMs += timeouts::FirstReadWaitMs(static_cast<std::uint32_t>(m_lastWritten),
                                          static_cast<std::uint32_t>(capacity), m_baud);
    return;
  }
  m_lineMs += CharsMs(count);
  if (count != expected && count < capacity)
    m_lineMs += timeouts::NextReadWaitMs(static_cast<std::uint32_t>(capacity - count), m_baud);
}

}  // namespace logwick::test
