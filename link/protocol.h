// The panel's request/reply protocol: plain functions, each sending one request
// (or a few) over an open port, checking the reply and unpacking it. They keep
// no state and show no messages; the read-out turns their results into messages.
//
// Addressing layer (frames start with 80, no checksum): find a panel, give it
// bus address 1, ask its device type. Data layer (frames start with 81, XOR
// checksum last, all through Transact): device, configuration and log
// information, message texts and event blocks. Time-outs and repeat counts are
// in link/timeouts.h; frame helpers in link/frames.h.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>

#include "link/panel_port.h"

namespace logwick {

// How an exchange with the panel ended. The values are the panel software's
// own result codes.
enum class LinkStatus {
  Ok = 0,
  BlockNotReady = 2,   // event block still not ready after 999 polls
  AddressFailed = 3,   // addressing failed 3 times, or no memory
  ExchangeFailed = 8,  // no valid data reply, or wrong length/command/echo
  Cancelled = 11,      // a block fetch given up at the caller's request
};

}  // namespace logwick

struct DeviceInfo {
  std::uint8_t releaseDay = 0;
  std::uint8_t releaseMonth = 0;
  std::uint16_t releaseYear = 0;
  std::uint8_t versionMajor = 0;
  std::uint8_t versionMinor = 0;
};

struct ConfigInfo {
  std::uint8_t textCount = 0;
  std::array<char, 17> name{};  // the 16 bytes as received (Windows-1251), then NUL
};

struct LogInfo {
  std::uint8_t blockSize = 0;
  std::uint16_t eventCount = 0;    // N
  std::uint16_t ringPosition = 0;  // J
  std::uint32_t panelClock = 0;    // packed like an event's time stamp
};

// A message text: up to 16 bytes of Windows-1251, then NUL. Empty (first byte
// NUL) marks the end of the panel's list.
using MessageText = std::array<char, 17>;

// Sends the search preamble 80 01 00 00 00 three times, pausing 100 ms after
// each. Always Ok.
logwick::LinkStatus StartSearch(logwick::IPanelPort& port);

// One discovery exchange. The serial number of the panel that answered, or 0
// for no answer, a rejected reply or a number below 3.
std::uint32_t FindPanel(logwick::IPanelPort& port);
// The serial number in a reply to the discovery request: exactly 5 bytes, 80
// first, bytes 1-3 below 80, byte 4 below 08, a number above 2; else 0.
std::uint32_t SerialOfDiscoveryReply(const std::uint8_t* reply, std::size_t count);

// Gives the panel with serial number `serial` the bus address `value`.
// Ok, or AddressFailed after three failed exchanges.
logwick::LinkStatus SetPanelAddress(logwick::IPanelPort& port, std::uint32_t serial, std::uint8_t value);

// Asks the device type of panel `serial`. Ok with type and extra, or
// AddressFailed after three failed exchanges.
logwick::LinkStatus ReadPanelType(logwick::IPanelPort& port, std::uint32_t serial, std::uint8_t& type,
                                  std::uint8_t& extra);

// The data layer's one exchange: seals `request` (its last byte receives the
// checksum), then up to three times writes it and reads a reply of at most
// `capacity` bytes, expecting `expected`. Ok on a reply with a good checksum
// whose first byte equals the request's; ExchangeFailed after three failures.
// `count` is the length of the last reply. The length is the caller's to judge.
logwick::LinkStatus Transact(logwick::IPanelPort& port, std::uint8_t* request, std::size_t length,
                             std::uint8_t* reply, std::size_t capacity, std::size_t expected,
                             std::size_t& count);

logwick::LinkStatus ReadDeviceInfo(logwick::IPanelPort& port, DeviceInfo& info);
logwick::LinkStatus ReadConfigInfo(logwick::IPanelPort& port, ConfigInfo& info);
logwick::LinkStatus ReadLogInfo(logwick::IPanelPort& port, LogInfo& info);
// Text number `index`; a 3-byte reply is an empty text (the end of the list).
logwick::LinkStatus ReadMessageText(logwick::IPanelPort& port, std::uint8_t index, MessageText& text);

// Selects event block `index` and fetches it, polling while the panel answers
// "not ready" (at most 999 fetches). Writes blockSize * 16 bytes to out.
// Ok, BlockNotReady, AddressFailed (no memory), ExchangeFailed, or Cancelled
// when `cancel` was set between two polls: 999 polls take about 7 minutes at
// 9600 baud, far too long for a user who has pressed stop.
logwick::LinkStatus ReadEventBlock(logwick::IPanelPort& port, std::uint16_t index, std::uint8_t* out,
                                   std::uint8_t blockSize, const std::atomic<bool>* cancel = nullptr);
