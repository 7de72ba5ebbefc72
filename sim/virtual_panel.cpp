#include "sim/virtual_panel.h"

#include <algorithm>
#include <utility>

#include "events/codec.h"
#include "events/little_endian.h"
#include "link/frames.h"
#include "sim/event_generator.h"

namespace logwick::sim {
namespace {

namespace fr = logwick::frames;

struct RequestNameEntry {
  Request request;
  const char* name;
};
constexpr RequestNameEntry kRequestNames[] = {
    {Request::Search, "search"}, {Request::Discover, "discover"}, {Request::Address, "address"},
    {Request::Type, "type"},     {Request::DeviceInfo, "device"}, {Request::ConfigInfo, "config"},
    {Request::LogInfo, "log"},   {Request::Text, "text"},         {Request::Select, "select"},
    {Request::Fetch, "fetch"},
};

// Data request lengths by command byte (checksum included).
struct DataCommand {
  std::uint8_t command;
  std::size_t length;
  Request request;
};
constexpr DataCommand kDataCommands[] = {
    {fr::kCmdLogInfo, 3, Request::LogInfo},       {fr::kCmdSelectBlock, 5, Request::Select},
    {fr::kCmdFetchBlock, 3, Request::Fetch},      {fr::kCmdMessageText, 4, Request::Text},
    {fr::kCmdDeviceInfo, 3, Request::DeviceInfo}, {fr::kCmdConfigInfo, 3, Request::ConfigInfo},
};

const DataCommand* FindDataCommand(std::uint8_t command) {
  for (const auto& c : kDataCommands)
    if (c.command == command) return &c;
  return nullptr;
}

// A text as the panel holds it: 16 bytes of Windows-1251, NUL padded.
std::vector<std::uint8_t> Field16(const std::string& utf8) {
  std::string bytes = Utf8ToCp1251(utf8);
  bytes.resize(16, '\0');
  return {bytes.begin(), bytes.end()};
}

// The clock a few minutes after the sample log's newest event.
constexpr std::uint32_t kDefaultClock = kSampleNewestTimeStamp + (5u << 6);

constexpr std::size_t kAddressFrame = 5;
constexpr std::size_t kAssignFrame = 6;
constexpr std::size_t kUnknownFrame = static_cast<std::size_t>(-1);

}  // namespace

bool ParseRequestName(const std::string& name, Request& out) {
  for (const auto& e : kRequestNames)
    if (name == e.name) {
      out = e.request;
      return true;
    }
  return false;
}

VirtualPanel::VirtualPanel(PanelConfig config) : m_config(std::move(config)) {
  m_config.serial &= fr::kSerialMask;
  m_clock = m_config.clock ? m_config.clock : kDefaultClock;
  const std::uint32_t newest = m_config.clock ? m_config.clock : kSampleNewestTimeStamp;
  m_events = GenerateSampleEvents(m_config.eventCount, m_config.seed, newest);
}

std::size_t VirtualPanel::FrameLength() const {
  const std::size_t have = m_pending.size();
  if (m_pending[0] == fr::kAddressStart) {
    if (have < kAddressFrame) return 0;
    const bool special = m_pending[2] == 0 && m_pending[3] == 0 && m_pending[4] == 0 &&
                         (m_pending[1] == 0 || m_pending[1] == 1);
    if (!special && fr::SerialKind(m_pending[4]) == fr::kKindAssign)
      return have < kAssignFrame ? 0 : kAssignFrame;
    return kAddressFrame;
  }
  if (have < 2) return 0;
  const DataCommand* c = FindDataCommand(m_pending[1]);
  if (!c) return kUnknownFrame;
  return have < c->length ? 0 : c->length;
}

void VirtualPanel::Receive(const std::uint8_t* data, std::size_t length, std::vector<Reply>& replies) {
  m_pending.insert(m_pending.end(), data, data + length);
  for (;;) {
    // Only a start byte can begin a frame; anything before one is line noise.
    const auto start = std::find_if(m_pending.begin(), m_pending.end(), [](std::uint8_t b) {
      return b == fr::kAddressStart || b == fr::kDataStart;
    });
    m_pending.erase(m_pending.begin(), start);
    if (m_pending.empty()) return;
    const std::size_t frame = FrameLength();
    if (frame == 0) return;  // the rest is still on its way
    if (frame == kUnknownFrame) {
      m_pending.erase(m_pending.begin());
      continue;
    }
    Handle(m_pending.data(), frame, replies);
    m_pending.erase(m_pending.begin(), m_pending.begin() + static_cast<std::ptrdiff_t>(frame));
  }
}

void VirtualPanel::Handle(const std::uint8_t* frame, std::size_t length, std::vector<Reply>& replies) {
  ++m_requestsSeen;
  if (frame[0] == fr::kAddressStart)
    HandleAddressing(frame, length, replies);
  else
    HandleData(frame, length, replies);
}

void VirtualPanel::Send(Request r, std::vector<std::uint8_t> bytes, std::size_t requestLength,
                        std::vector<Reply>& out) {
  if (m_config.faults.silent || m_config.faults.silentOn.count(r)) return;
  ++m_repliesSent;
  if (m_config.faults.badChecksumOn.count(m_repliesSent) && !bytes.empty()) bytes.back() ^= 0x5A;
  out.push_back({std::move(bytes), requestLength, r});
}

void VirtualPanel::HandleAddressing(const std::uint8_t* frame, std::size_t length, std::vector<Reply>& out) {
  const std::uint8_t* packed = frame + 1;
  if (std::all_of(packed, packed + 4, [](std::uint8_t b) { return b == 0; })) {
    const auto me = fr::PackSerial(m_config.serial, fr::kKindAssign);
    Send(Request::Discover, {fr::kAddressStart, me[0], me[1], me[2], me[3]}, length, out);
    return;
  }
  if (packed[0] == 1 && packed[1] == 0 && packed[2] == 0 && packed[3] == 0) {
    m_address = 0;  // a search starts over: the panel waits to be addressed
    return;
  }
  if (std::any_of(packed, packed + 4, [](std::uint8_t b) { return b >= 0x80; })) return;
  if (fr::UnpackSerial(packed) != m_config.serial) return;  // another panel's frame
  std::vector<std::uint8_t> reply(frame, frame + length);
  if (length == kAssignFrame) {
    m_address = frame[5];
    Send(Request::Address, std::move(reply), length, out);
  } else if (fr::SerialKind(packed[3]) == fr::kKindType) {
    reply.push_back(m_config.deviceType & 0x7F);
    reply.push_back(m_config.typeExtra & 0x7F);
    Send(Request::Type, std::move(reply), length, out);
  }
}

void VirtualPanel::HandleData(const std::uint8_t* frame, std::size_t length, std::vector<Reply>& out) {
  // A damaged request, or one before the panel has bus address 1, is ignored.
  if (!fr::ChecksumOk(frame, length) || m_address != 1) return;
  const DataCommand* c = FindDataCommand(frame[1]);
  std::vector<std::uint8_t> body{fr::kDataStart};
  switch (c->request) {
    case Request::DeviceInfo:
      body.insert(body.end(), {fr::kCmdDeviceInfo, m_config.releaseDay, m_config.releaseMonth});
      AppendLe16(body, m_config.releaseYear);
      body.insert(body.end(), {m_config.versionMajor, m_config.versionMinor});
      break;
    case Request::ConfigInfo: {
      const int count =
          m_config.textCount >= 0 ? m_config.textCount : static_cast<int>(m_config.texts.size());
      body.push_back(static_cast<std::uint8_t>(std::min(count, 255)));
      const auto name = Field16(m_config.configName);
      body.insert(body.end(), name.begin(), name.end());
      break;
    }
    case Request::LogInfo:
      body.push_back(m_config.blockSize);
      AppendLe16(body, m_config.eventCount);
      AppendLe16(body, m_config.ringPosition);
      AppendLe32(body, m_clock);
      break;
    case Request::Text: {
      const std::size_t i = frame[2];
      if (i < m_config.texts.size() && !m_config.texts[i].empty()) {
        body.push_back(fr::kCmdMessageText);
        const auto text = Field16(m_config.texts[i]);
        body.insert(body.end(), text.begin(), text.end());
      } else {
        body.push_back(0);  // no such text: the short answer that ends the list
      }
      break;
    }
    case Request::Select:
      m_selectedBlock = ReadLe16(frame + 2);
      m_selected.push_back(static_cast<std::uint16_t>(m_selectedBlock));
      m_notReadyLeft = m_config.notReadyPolls;
      Send(Request::Select, std::vector<std::uint8_t>(frame, frame + length), length, out);
      return;
    case Request::Fetch:
      if (m_selectedBlock < 0 || m_selectedBlock == m_config.faults.neverReadyBlock || m_notReadyLeft > 0) {
        if (m_notReadyLeft > 0) --m_notReadyLeft;
        body.push_back(0);  // still preparing the block
      } else {
        body = BlockReply();
      }
      break;
    default:
      return;
  }
  Send(c->request, fr::DataFrame(body), length, out);
}

const CT7KEvent& VirtualPanel::EventInSlot(std::size_t slot) const {
  const std::size_t n = m_events.size();
  const std::size_t age = (m_config.ringPosition + 2 * n - 1 - slot % n) % n;
  return m_events[age];
}

std::vector<std::uint8_t> VirtualPanel::BlockReply() const {
  std::vector<std::uint8_t> body{fr::kDataStart, m_config.blockSize};
  body.reserve(2 + std::size_t{m_config.blockSize} * CT7KEvent::kSize + 1);
  for (std::size_t i = 0; i < m_config.blockSize; ++i) {
    if (m_events.empty()) {
      body.insert(body.end(), CT7KEvent::kSize, 0);
      continue;
    }
    const auto& raw = EventInSlot(static_cast<std::size_t>(m_selectedBlock) + i).Raw();
    body.insert(body.end(), raw.begin(), raw.end());
  }
  return body;
}

}  // namespace logwick::sim
