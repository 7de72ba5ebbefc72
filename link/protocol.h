// The panel's request/reply protocol: plain functions, each sending one request
// (or a few) over an open port, checking the reply and unpacking it. They keep
// no state and show no messages; the read-out turns their codes into messages.
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

// Result codes.
inline constexpr int kLinkOk = 0;
inline constexpr int kLinkAttemptFailed = 1;   // one addressing attempt failed (internal)
inline constexpr int kLinkBlockNotReady = 2;   // event block still not ready after 999 polls
inline constexpr int kLinkAddressFailed = 3;   // addressing failed 3 times, or no memory
inline constexpr int kLinkExchangeFailed = 8;  // no valid data reply, or wrong length/command/echo
inline constexpr int kLinkCancelled = 11;      // a block fetch given up at the caller's request

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
// each. Always 0.
int StartSearch(logwick::IPanelPort& port);

// One discovery exchange. The serial number of the panel that answered, or 0
// for no answer, a rejected reply or a number below 3.
std::uint32_t FindPanel(logwick::IPanelPort& port);
// The serial number in a reply to the discovery request: exactly 5 bytes, 80
// first, bytes 1-3 below 80, byte 4 below 08, a number above 2; else 0.
std::uint32_t SerialOfDiscoveryReply(const std::uint8_t* reply, std::size_t count);

// Gives the panel with serial number `serial` the bus address `value`.
// 0, or 3 after three failed exchanges.
int SetPanelAddress(logwick::IPanelPort& port, std::uint32_t serial, std::uint8_t value);

// Asks the device type of panel `serial`. 0 with type and extra, or 3 after
// three failed exchanges.
int ReadPanelType(logwick::IPanelPort& port, std::uint32_t serial, std::uint8_t& type, std::uint8_t& extra);

// The data layer's one exchange: seals `request` (its last byte receives the
// checksum), then up to three times writes it and reads a reply of at most
// `capacity` bytes, expecting `expected`. Succeeds (0) on a reply with a good
// checksum whose first byte equals the request's; 8 after three failures.
// `count` is the length of the last reply. The length is the caller's to judge.
int Transact(logwick::IPanelPort& port, std::uint8_t* request, std::size_t length, std::uint8_t* reply,
             std::size_t capacity, std::size_t expected, std::size_t& count);

int ReadDeviceInfo(logwick::IPanelPort& port, DeviceInfo& info);
int ReadConfigInfo(logwick::IPanelPort& port, ConfigInfo& info);
int ReadLogInfo(logwick::IPanelPort& port, LogInfo& info);
// Text number `index`; a 3-byte reply is an empty text (the end of the list).
int ReadMessageText(logwick::IPanelPort& port, std::uint8_t index, MessageText& text);

// Selects event block `index` and fetches it, polling while the panel answers
// "not ready" (at most 999 fetches). Writes blockSize * 16 bytes to out.
// 0, 2 (never ready), 3 (no memory), 8, or 11 when `cancel` was set between
// two polls: 999 polls take about 7 minutes at 9600 baud, far too long for a
// user who has pressed stop.
int ReadEventBlock(logwick::IPanelPort& port, std::uint16_t index, std::uint8_t* out, std::uint8_t blockSize,
                   const std::atomic<bool>* cancel = nullptr);
