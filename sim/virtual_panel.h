// A panel as the reader meets it on the line: takes request bytes as they
// arrive, answers every frame of the protocol from a configured log, and can
// misbehave on purpose (silence, a damaged checksum, a block that is never
// ready). Faults of the line itself (echo, the wrong line mode) are the
// pseudo-terminal server's. Pure logic without I/O: the pseudo-terminal server (pty_panel.h)
// and tests feed it bytes.
//
// The log is a ring of eventCount slots whose write position is ringPosition:
// the newest event sits in the slot before it. A block K holds the slots K ..
// K + blockSize - 1 (taken round the ring), oldest first as a panel sends them,
// so a complete read-out lists the events newest first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "events/t7k_event.h"

namespace logwick::sim {

// The requests a panel tells apart (used to name a silence fault).
enum class Request {
  Search,      // 80 01 00 00 00
  Discover,    // 80 00 00 00 00
  Address,     // 80 s0 s1 s2 f value
  Type,        // 80 s0 s1 s2 f (kind 1111)
  DeviceInfo,  // 81 13
  ConfigInfo,  // 81 14
  LogInfo,     // 81 0F
  Text,        // 81 12 i
  Select,      // 81 10 Klo Khi
  Fetch,       // 81 11
};

// The request named for option parsing: "search", "discover", "address", "type",
// "device", "config", "log", "text", "select", "fetch".
bool ParseRequestName(const std::string& name, Request& out);

struct PanelFaults {
  bool silent = false;               // no reply to anything: no panel on the line
  std::set<Request> silentOn;        // requests that get no reply at all
  std::set<unsigned> badChecksumOn;  // 1-based numbers of replies sent with a damaged last byte
  int neverReadyBlock = -1;          // block index that never becomes ready (-1: none)
};

struct PanelConfig {
  std::uint32_t serial = 4660;  // 24-bit
  std::uint8_t deviceType = 3;  // 3, 4, 5 are supported by the reader
  std::uint8_t typeExtra = 0;
  std::uint16_t eventCount = 100;
  std::uint16_t ringPosition = 0;
  std::uint8_t blockSize = 16;
  std::uint8_t versionMajor = 3;
  std::uint8_t versionMinor = 12;
  std::uint8_t releaseDay = 14;
  std::uint8_t releaseMonth = 6;
  std::uint16_t releaseYear = 2021;
  std::string configName = "Склад N2";  // UTF-8, at most 16 characters are sent
  std::vector<std::string> texts;       // UTF-8; an empty one ends the panel's list
  int textCount = -1;                   // reported count; -1: the number of texts
  std::uint32_t clock = 0;              // packed; 0: shortly after the newest event
  std::uint32_t seed = 1;               // event contents
  unsigned notReadyPolls = 0;           // "not ready" answers before each block
  PanelFaults faults;
};

struct Reply {
  std::vector<std::uint8_t> bytes;
  std::size_t requestLength = 0;      // length of the request it answers (for wire timing)
  Request request = Request::Search;  // the kind of request it answers
};

class VirtualPanel {
 public:
  explicit VirtualPanel(PanelConfig config);

  // Takes request bytes; appends the replies of every frame completed by them.
  void Receive(const std::uint8_t* data, std::size_t length, std::vector<Reply>& replies);
  // Drops a partly received frame (the line fell silent in the middle of it).
  void DropPartialFrame() { m_pending.clear(); }
  bool HasPartialFrame() const { return !m_pending.empty(); }

  const PanelConfig& Config() const { return m_config; }
  std::uint32_t Clock() const { return m_clock; }
  // The events of the log, newest first (index = age).
  const std::vector<CT7KEvent>& EventsNewestFirst() const { return m_events; }
  unsigned RequestsSeen() const { return m_requestsSeen; }
  const std::vector<std::uint16_t>& SelectedBlocks() const { return m_selected; }

 private:
  // Length of the frame at the front of the pending bytes; 0 while it is
  // incomplete; kUnknownFrame for a start byte that begins no known frame.
  std::size_t FrameLength() const;
  void Handle(const std::uint8_t* frame, std::size_t length, std::vector<Reply>& replies);
  void HandleAddressing(const std::uint8_t* frame, std::size_t length, std::vector<Reply>& out);
  void HandleData(const std::uint8_t* frame, std::size_t length, std::vector<Reply>& out);
  void Send(Request r, std::vector<std::uint8_t> bytes, std::size_t requestLength, std::vector<Reply>& out);
  std::vector<std::uint8_t> BlockReply() const;
  const CT7KEvent& EventInSlot(std::size_t slot) const;

  PanelConfig m_config;
  std::uint32_t m_clock = 0;
  std::vector<CT7KEvent> m_events;
  std::vector<std::uint8_t> m_pending;
  std::uint8_t m_address = 0;
  int m_selectedBlock = -1;
  unsigned m_notReadyLeft = 0;
  unsigned m_repliesSent = 0;
  unsigned m_requestsSeen = 0;
  std::vector<std::uint16_t> m_selected;
};

}  // namespace logwick::sim
