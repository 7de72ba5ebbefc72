#include "link/protocol.h"

#include <algorithm>
#include <new>
#include <vector>

#include "events/little_endian.h"
#include "link/frames.h"
#include "link/timeouts.h"

using logwick::IPanelPort;
using logwick::LinkStatus;
namespace frames = logwick::frames;
namespace timeouts = logwick::timeouts;

namespace {

// One addressing exchange: the reply must be exactly `expected` bytes and
// start with the request's bytes.
bool AddressExchange(IPanelPort& port, const std::uint8_t* request, std::size_t length, std::uint8_t* reply,
                     std::size_t expected, std::size_t& count) {
  constexpr std::size_t kCapacity = 16;
  port.Write(request, length);
  port.Read(reply, kCapacity, count, expected);
  return count == expected && std::equal(request, request + length, reply);
}

// One of the three-byte information requests (81 cmd cs): `count` is the
// length of the reply, whose checks are the caller's.
LinkStatus InfoQuery(IPanelPort& port, const char* operation, std::uint8_t command, std::uint8_t* reply,
                     std::size_t capacity, std::size_t expected, std::size_t& count) {
  port.BeginOperation(operation);
  std::uint8_t request[3] = {frames::kDataStart, command, 0};
  return Transact(port, request, sizeof request, reply, capacity, expected, count);
}

}  // namespace

LinkStatus StartSearch(IPanelPort& port) {
  port.BeginOperation("StartSearch");
  for (int i = 0; i < timeouts::kSearchRepeats; ++i) {
    port.Write(frames::kSearchFrame.data(), frames::kSearchFrame.size());
    port.Pause(timeouts::kSearchPauseMs);
  }
  return LinkStatus::Ok;
}

std::uint32_t FindPanel(IPanelPort& port) {
  port.BeginOperation("FindPanel");
  std::uint8_t reply[16];
  std::size_t count = 0;
  port.Write(frames::kDiscoverFrame.data(), frames::kDiscoverFrame.size());
  port.Read(reply, sizeof reply, count, 5);
  return SerialOfDiscoveryReply(reply, count);
}

std::uint32_t SerialOfDiscoveryReply(const std::uint8_t* reply, std::size_t count) {
  if (count != 5 || reply[0] != frames::kAddressStart) return 0;
  if (reply[1] >= 0x80 || reply[2] >= 0x80 || reply[3] >= 0x80 || reply[4] >= 0x08) return 0;
  const std::uint32_t serial = frames::UnpackSerial(reply + 1);
  return serial > 2 ? serial : 0;
}

LinkStatus SetPanelAddress(IPanelPort& port, std::uint32_t serial, std::uint8_t value) {
  port.BeginOperation("SetPanelAddress");
  const auto packed = frames::PackSerial(serial, frames::kKindAssign);
  const std::uint8_t request[6] = {frames::kAddressStart, packed[0], packed[1], packed[2], packed[3], value};
  std::uint8_t reply[16];
  for (int attempt = 0; attempt < timeouts::kAddressAttempts; ++attempt) {
    std::size_t count = 0;
    if (AddressExchange(port, request, sizeof request, reply, 6, count)) return LinkStatus::Ok;
  }
  return LinkStatus::AddressFailed;
}

LinkStatus ReadPanelType(IPanelPort& port, std::uint32_t serial, std::uint8_t& type, std::uint8_t& extra) {
  port.BeginOperation("ReadPanelType");
  const auto packed = frames::PackSerial(serial, frames::kKindType);
  const std::uint8_t request[5] = {frames::kAddressStart, packed[0], packed[1], packed[2], packed[3]};
  std::uint8_t reply[16];
  for (int attempt = 0; attempt < timeouts::kAddressAttempts; ++attempt) {
    std::size_t count = 0;
    if (AddressExchange(port, request, sizeof request, reply, 7, count) && reply[5] < 0x80 &&
        reply[6] < 0x80) {
      type = reply[5];
      extra = reply[6];
      return LinkStatus::Ok;
    }
  }
  return LinkStatus::AddressFailed;
}

LinkStatus Transact(IPanelPort& port, std::uint8_t* request, std::size_t length, std::uint8_t* reply,
                    std::size_t capacity, std::size_t expected, std::size_t& count) {
  count = 0;
  if (length < 2) return LinkStatus::ExchangeFailed;
  frames::Seal(request, length);
  for (int attempt = 0; attempt < timeouts::kTransactAttempts; ++attempt) {
    port.Write(request, length);
    port.Read(reply, capacity, count, expected);
    if (count >= 1 && frames::ChecksumOk(reply, count) && reply[0] == request[0]) return LinkStatus::Ok;
  }
  return LinkStatus::ExchangeFailed;
}

LinkStatus ReadDeviceInfo(IPanelPort& port, DeviceInfo& info) {
  std::uint8_t reply[10];
  std::size_t count = 0;
  const LinkStatus rc =
      InfoQuery(port, "ReadDeviceInfo", frames::kCmdDeviceInfo, reply, sizeof reply, 9, count);
  if (rc != LinkStatus::Ok) return rc;
  if (count != 9 || reply[1] != frames::kCmdDeviceInfo) return LinkStatus::ExchangeFailed;
  info.releaseDay = reply[2];
  info.releaseMonth = reply[3];
  info.releaseYear = logwick::ReadLe16(reply + 4);
  info.versionMajor = reply[6];
  info.versionMinor = reply[7];
  return LinkStatus::Ok;
}

LinkStatus ReadConfigInfo(IPanelPort& port, ConfigInfo& info) {
  std::uint8_t reply[32];
  std::size_t count = 0;
  const LinkStatus rc =
      InfoQuery(port, "ReadConfigInfo", frames::kCmdConfigInfo, reply, sizeof reply, 19, count);
  if (rc != LinkStatus::Ok) return rc;
  if (count != 19) return LinkStatus::ExchangeFailed;
  info.textCount = reply[1];
  std::copy(reply + 2, reply + 18, info.name.begin());
  info.name[16] = '\0';
  return LinkStatus::Ok;
}

LinkStatus ReadLogInfo(IPanelPort& port, LogInfo& info) {
  std::uint8_t reply[32];
  std::size_t count = 0;
  const LinkStatus rc = InfoQuery(port, "ReadLogInfo", frames::kCmdLogInfo, reply, sizeof reply, 11, count);
  if (rc != LinkStatus::Ok) return rc;
  if (count != 11) return LinkStatus::ExchangeFailed;
  info.blockSize = reply[1];
  info.eventCount = logwick::ReadLe16(reply + 2);
  info.ringPosition = logwick::ReadLe16(reply + 4);
  info.panelClock = logwick::ReadLe32(reply + 6);
  return LinkStatus::Ok;
}

LinkStatus ReadMessageText(IPanelPort& port, std::uint8_t index, MessageText& text) {
  port.BeginOperation("ReadMessageText");
  std::uint8_t request[4] = {frames::kDataStart, frames::kCmdMessageText, index, 0};
  std::uint8_t reply[32];
  std::size_t count = 0;
  const LinkStatus rc = Transact(port, request, sizeof request, reply, sizeof reply, 19, count);
  if (rc != LinkStatus::Ok) return rc;
  if (count == 3) {
    text.fill('\0');
    return LinkStatus::Ok;
  }
  if (count != 19 || reply[1] != frames::kCmdMessageText) return LinkStatus::ExchangeFailed;
  std::copy(reply + 2, reply + 18, text.begin());
  text[16] = '\0';
  return LinkStatus::Ok;
}

LinkStatus ReadEventBlock(IPanelPort& port, std::uint16_t index, std::uint8_t* out, std::uint8_t blockSize,
                          const std::atomic<bool>* cancel) {
  port.BeginOperation("ReadEventBlock");
  std::uint8_t select[5] = {frames::kDataStart, frames::kCmdSelectBlock, static_cast<std::uint8_t>(index),
                            static_cast<std::uint8_t>(index >> 8), 0};
  std::uint8_t echo[8];
  std::size_t count = 0;
  LinkStatus rc = Transact(port, select, sizeof select, echo, sizeof echo, 5, count);
  if (rc != LinkStatus::Ok) return rc;
  if (count != 5 || !std::equal(select, select + 5, echo)) return LinkStatus::ExchangeFailed;

  const std::size_t dataBytes = std::size_t{blockSize} * 16;
  std::vector<std::uint8_t> reply;
  try {
    reply.resize(dataBytes + 8);
  } catch (const std::bad_alloc&) {
    return LinkStatus::AddressFailed;
  }
  std::uint8_t fetch[3] = {frames::kDataStart, frames::kCmdFetchBlock, 0};
  for (int poll = 0; poll < timeouts::kFetchPolls; ++poll) {
    if (poll > 0 && cancel && cancel->load()) return LinkStatus::Cancelled;
    rc = Transact(port, fetch, sizeof fetch, reply.data(), reply.size(), dataBytes + 3, count);
    if (rc != LinkStatus::Ok) return rc;
    if (count == dataBytes + 3) {
      std::copy(reply.begin() + 2, reply.begin() + 2 + dataBytes, out);
      return LinkStatus::Ok;
    }
  }
  return LinkStatus::BlockNotReady;
}
