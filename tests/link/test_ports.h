// Stand-ins for the serial line and the reading dialog.
#pragma once

#include <algorithm>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "events/strformat.h"
#include "link/panel_port.h"
#include "link/readout_view.h"
#include "sim/virtual_panel.h"

namespace logwick::test {

using Bytes = std::vector<std::uint8_t>;

// The reading tests' panel: n events in its ring, writing at slot j, b a block.
inline sim::PanelConfig SamplePanel(std::uint16_t n = 100, std::uint16_t j = 30, std::uint8_t b = 10) {
  return {.serial = 0x012345,
          .eventCount = n,
          .ringPosition = j,
          .blockSize = b,
          .configName = "Объект 7",
          .texts = {"Пожар склад 1", "Вход охрана", "Насосная"},
          .clock = PackTimeStamp(2015, 12, 16, 14, 12, 5)};
}

using ReadCall = std::pair<std::size_t, std::size_t>;  // capacity, expected
using Script = std::deque<Bytes>;

// Records writes, reads, answers, pauses and operations. A read gets what the
// virtual panel answered since the last write (a write discards older input),
// or else the next scripted reply (none left, or an empty one: silence).
class ScriptedPort : public IPanelPort {
 public:
  ScriptedPort() = default;
  explicit ScriptedPort(sim::PanelConfig config) : panel(std::in_place, std::move(config)) {}
  explicit ScriptedPort(Script script) : replies(std::move(script)) {}

  bool Open(unsigned, unsigned baud, std::uint8_t parity) override {
    openedBaud = baud, openedParity = parity;
    return true;
  }
  void Write(const std::uint8_t* data, std::size_t length) override {
    writes.emplace_back(data, data + length);
    pending_.clear();
    std::vector<sim::Reply> out;
    if (panel) panel->Receive(data, length, out);
    for (const auto& r : out) pending_.insert(pending_.end(), r.bytes.begin(), r.bytes.end());
  }
  void Read(std::uint8_t* buf, std::size_t capacity, std::size_t& count, std::size_t expected) override {
    reads.push_back({capacity, expected});
    if (onRead) onRead();
    if (!panel && !replies.empty()) {
      pending_ = std::move(replies.front());
      replies.pop_front();
    }
    count = std::min(pending_.size(), capacity);
    std::copy_n(pending_.begin(), count, buf);
    answers.emplace_back(buf, buf + count);
    pending_.clear();
  }
  void Close() override { ++closes; }
  void Pause(unsigned ms) override { pauses.push_back(ms); }
  void BeginOperation(const char* name) override { operations.emplace_back(name); }

  long Count(const std::string& operation) const { return std::ranges::count(operations, operation); }

  std::optional<sim::VirtualPanel> panel;
  Script replies;
  std::function<void()> onRead;
  unsigned openedBaud = 0;
  std::uint8_t openedParity = 0xFF;
  int closes = 0;
  std::vector<Bytes> writes;
  std::vector<ReadCall> reads;
  std::vector<Bytes> answers;  // what each read gave
  std::vector<unsigned> pauses;
  std::vector<std::string> operations;

 private:
  Bytes pending_;
};

// Records every report as "kind:text", steps by name.
class RecordingView : public IReadoutView {
 public:
  void StepBegan(ReadoutStep step, std::uint32_t serial) override {
    static constexpr const char* kNames[] = {
        "OpenPort",   "Search",  "Address", "PanelType", "DeviceInfo",
        "ConfigInfo", "LogInfo", "Texts",   "Events",
    };
    const char* name = kNames[static_cast<std::size_t>(step)];
    Log("step", step == ReadoutStep::Address ? StrFormat("%s %u", name, serial) : name);
  }
  void EventsBegan(const PanelLogSummary& l) override {
    const PackedTimeFields& c = l.clock;
    Log("log", StrFormat("v%d.%d %02d/%02d/%02d %02d:%02d:%02d N=%d", l.versionMajor, l.versionMinor, c.day,
                         c.month, c.year, c.hour, c.minute, c.second, l.eventCount));
  }
  void ProgressRange(int upper) override { Log("range", "0.." + std::to_string(upper)); }
  void ProgressAt(int position) override { Log("pos", std::to_string(position)); }
  void EventRead(int blockEnd, const CT7KEvent& ev) override {
    Log("event", std::to_string(blockEnd) + " " + ev.GetTimeText());
  }
  void Warning(ReadoutStatus status) override { Log("warning", ReadoutMessage(status)); }

  std::vector<std::string> Of(const std::string& kind) const {
    std::vector<std::string> r;
    for (const auto& e : log)
      if (e.rfind(kind + ":", 0) == 0) r.push_back(e.substr(kind.size() + 1));
    return r;
  }

  std::vector<std::string> log;  // "kind:text" in order

 private:
  void Log(const char* kind, const std::string& t) { log.push_back(std::string(kind) + ":" + t); }
};

}  // namespace logwick::test
