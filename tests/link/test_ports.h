// Stand-ins for the serial line and the reading dialog: a port whose replies a
// test scripts, a port with an in-process virtual panel behind it, and a view
// that records what the read-out showed.
#pragma once

#include <algorithm>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "link/panel_port.h"
#include "link/readout_view.h"
#include "sim/virtual_panel.h"

namespace logwick::test {

using Bytes = std::vector<std::uint8_t>;

struct ReadCall {
  std::size_t capacity;
  std::size_t expected;
};

// Common bookkeeping: what was written, how reads were asked, opens and pauses.
class RecordingPort : public IPanelPort {
 public:
  bool Open(unsigned portNumber, unsigned baud, std::uint8_t parity) override {
    openedPort = portNumber;
    openedBaud = baud;
    openedParity = parity;
    ++opens;
    return openResult;
  }
  void Write(const std::uint8_t* data, std::size_t length) override {
    writes.emplace_back(data, data + length);
    OnWrite(writes.back());
  }
  void Read(std::uint8_t* buf, std::size_t capacity, std::size_t& count,
            std::size_t expected) override {
    reads.push_back({capacity, expected});
    if (onRead) onRead();
    const Bytes reply = NextReply();
    count = std::min(reply.size(), capacity);
    std::copy(reply.begin(), reply.begin() + static_cast<std::ptrdiff_t>(count), buf);
  }
  void Close() override { ++closes; }
  void Pause(unsigned ms) override { pauses.push_back(ms); }
  void BeginOperation(const char* name) override { operations.emplace_back(name); }

  bool openResult = true;
  unsigned openedPort = 0, openedBaud = 0;
  std::uint8_t openedParity = 0xFF;
  int opens = 0, closes = 0;
  std::vector<Bytes> writes;
  std::vector<ReadCall> reads;
  std::vector<unsigned> pauses;
  std::vector<std::string> operations;
  std::function<void()> onRead;

 protected:
  virtual void OnWrite(const Bytes&) {}
  virtual Bytes NextReply() = 0;
};

// Each read takes the next scripted reply (an empty one is silence); with a
// responder set, the reply is computed from the last request instead.
class ScriptedPort : public RecordingPort {
 public:
  std::deque<Bytes> replies;
  std::function<Bytes(const Bytes& request)> responder;

 protected:
  Bytes NextReply() override {
    if (responder) return responder(writes.empty() ? Bytes{} : writes.back());
    if (replies.empty()) return {};
    Bytes r = replies.front();
    replies.pop_front();
    return r;
  }
};

// A virtual panel answering in-process, without time: a read gets whatever the
// panel answered to the requests since the last write discarded the input.
class SimulatedPort : public RecordingPort {
 public:
  explicit SimulatedPort(sim::PanelConfig config) : panel(std::move(config)) {}
  sim::VirtualPanel panel;

 protected:
  void OnWrite(const Bytes& request) override {
    pending_.clear();
    std::vector<sim::Reply> out;
    panel.Receive(request.data(), request.size(), out);
    for (const auto& r : out) pending_.insert(pending_.end(), r.bytes.begin(), r.bytes.end());
  }
  Bytes NextReply() override {
    Bytes r;
    r.swap(pending_);
    return r;
  }

 private:
  Bytes pending_;
};

// Records every call as "kind:text" in order.
class RecordingView : public IReadoutView {
 public:
  void SetStatus(const std::string& t) override { Log("status", t); }
  void SetVersionLine(const std::string& t) override { Log("version", t); }
  void SetCountLine(const std::string& t) override { Log("count", t); }
  void SetEventLine(const std::string& t) override {
    Log("event", t);
    ++eventLines;
    if (onEventLine) onEventLine();
  }
  void ShowReadingLabel() override { Log("label", ""); }
  void SetButtonText(const std::string& t) override { Log("button", t); }
  void SetProgressRange(int lo, int hi) override {
    Log("range", std::to_string(lo) + ".." + std::to_string(hi));
    rangeUpper = hi;
  }
  void SetProgressPos(int pos) override {
    lastPos = pos;
    Log("pos", std::to_string(pos));
  }
  void ShowWarning(const std::string& t) override {
    warnings.push_back(t);
    Log("warning", t);
  }

  // Entries of one kind, in order.
  std::vector<std::string> Of(const std::string& kind) const {
    std::vector<std::string> r;
    for (const auto& e : log)
      if (e.rfind(kind + ":", 0) == 0) r.push_back(e.substr(kind.size() + 1));
    return r;
  }

  std::vector<std::string> log;
  std::vector<std::string> warnings;
  int eventLines = 0;
  int lastPos = -1;
  int rangeUpper = -1;
  std::function<void()> onEventLine;

 private:
  void Log(const char* kind, const std::string& t) { log.push_back(std::string(kind) + ":" + t); }
};

}  // namespace logwick::test
