// The read-out against a misbehaving panel: each scenario ends quickly with the
// complete list, or the right message and an untouched or consistently partial
// list (whole blocks, in order, under their own header). The table is printed.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <span>
#include <utility>

#include "link/comm_port.h"
#include "link/readout.h"
#include "link/timeouts.h"
#include "sim/event_generator.h"
#include "sim/pty_panel.h"
#include "tests/link/test_ports.h"
#include "tests/lists/list_samples.h"

using namespace logwick;
using namespace logwick::test;
using sim::Request;

namespace {

using Strings = std::vector<std::string>;
constexpr char kMsgInfo[] = "Ошибка при чтении\nинформации";
constexpr char kMsgEvents[] = "Ошибка при чтении\nсобытий";
constexpr std::uint8_t kBlock = 16;
constexpr std::size_t kAllEvents = 96;  // 100 events, block 16: the blocks at H = 16 ... 96

sim::PanelConfig Panel() { return SamplePanel(100, 30, kBlock); }

// Damage to replies of one kind. DropNul loses a 00 (the XOR checksum cannot
// tell); Corrupt hits the data checksum; Vanish: half the reply, then nothing;
// NoPort: the port cannot be opened.
struct ReplyFault {
  enum Kind { None, Noise, DropByte, DropNul, Corrupt, Silence, Vanish, NoPort };
  Kind kind = None;
  Request on = Request::Search;
  unsigned first = 1;  // the first reply of that kind to hit, counted from 1
  int times = 1;       // how many in a row; -1: every one from `first` on
};

// A virtual panel behind a port that damages chosen replies. Its line clock
// adds up what the exchange would take on a real line, time-outs included.
struct FaultyPanelPort : IPanelPort {
  FaultyPanelPort(sim::PanelConfig config, ReplyFault f) : panel(std::move(config)), fault(f) {}

  bool Open(unsigned, unsigned openedBaud, std::uint8_t) override {
    baud = openedBaud;
    return fault.kind != ReplyFault::NoPort;
  }
  void Write(const std::uint8_t* data, std::size_t length) override {
    pending.clear();
    lastWritten = length;
    lineMs += CharsMs(length);
    std::vector<sim::Reply> replies;
    panel.Receive(data, length, replies);
    for (sim::Reply& r : replies) {
      Damage(r.request, r.bytes);
      pending.insert(pending.end(), r.bytes.begin(), r.bytes.end());
    }
  }
  void Read(std::uint8_t* buf, std::size_t capacity, std::size_t& count, std::size_t expected) override {
    onRead(++reads);
    count = std::min(capacity, pending.size());
    std::copy_n(pending.begin(), count, buf);
    pending.erase(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(count));
    using namespace timeouts;
    if (count == 0)
      lineMs += FirstReadWaitMs(static_cast<std::uint32_t>(lastWritten), static_cast<std::uint32_t>(capacity),
                                baud);
    else if (lineMs += CharsMs(count); count != expected && count < capacity)
      lineMs += NextReadWaitMs(static_cast<std::uint32_t>(capacity - count), baud);
  }
  void Close() override {}
  void Pause(unsigned milliseconds) override { lineMs += milliseconds; }
  std::uint64_t CharsMs(std::size_t n) const {
    return n * timeouts::kCharTimeScale / timeouts::SafeBaud(baud);
  }

  void Damage(Request kind, Bytes& reply) {
    const unsigned n = ++seen[static_cast<std::size_t>(kind)];
    const bool hit = kind == fault.on && n >= fault.first &&
                     (fault.times < 0 || n < fault.first + static_cast<unsigned>(fault.times));
    if (vanished || (hit && fault.kind == ReplyFault::Silence)) return reply.clear();
    if (!hit || reply.empty()) return;
    const auto middle = reply.begin() + static_cast<std::ptrdiff_t>(reply.size() / 2);
    using F = ReplyFault;
    if (fault.kind == F::Noise) {
      for (unsigned i = 0, k = 1 + noise % 7; i < k; ++i)
        reply.insert(reply.begin(), static_cast<std::uint8_t>((noise = noise * 1103515245u + 12345u) >> 16));
    } else if (fault.kind == F::DropByte || fault.kind == F::DropNul) {
      const bool nul = fault.kind == F::DropNul;
      const auto at = std::find_if(middle, reply.end(), [nul](std::uint8_t b) { return (b == 0) == nul; });
      if (at != reply.end()) reply.erase(at);
    } else if (fault.kind == F::Corrupt) {
      reply.back() ^= 0x5A;
    } else if (fault.kind == F::Vanish) {
      vanished = true, reply.erase(middle, reply.end());
    }
  }

  sim::VirtualPanel panel;
  ReplyFault fault;
  std::function<void(unsigned readNumber)> onRead;
  unsigned reads = 0, baud = 9600, seen[16] = {};  // seen: replies so far, per kind
  std::uint64_t lineMs = 0;
  std::size_t lastWritten = 0;
  Bytes pending;
  std::uint32_t noise = 12345;
  bool vanished = false;
};

enum class Expect { Complete, Untouched, Partial };

struct Scenario {
  std::string name;
  ReplyFault fault = {};
  Expect expect = Expect::Complete;
  std::string message = "";   // the one warning expected ("" none)
  int partialBlocks = -1;     // Partial: exact number of whole blocks (-1: any)
  bool search = false;        // automatic serial number
  unsigned cancelAtRead = 0;  // cancel as the n-th read begins
  int neverReadyBlock = -1;
  std::uint8_t deviceType = 3;
};

// The steps of a reading without search: the reply to damage, its number, its
// name and the message.
constexpr std::tuple<Request, unsigned, const char*, const char*> kSteps[] = {
    {Request::Address, 1, "address", "Не удается установить\nадрес"},
    {Request::Type, 1, "type", "Не удается определить\nтип прибора"},
    {Request::DeviceInfo, 1, "device info", kMsgInfo},
    {Request::ConfigInfo, 1, "config info", kMsgInfo},
    {Request::LogInfo, 1, "log info", kMsgInfo},
    {Request::Text, 3, "3rd text", kMsgInfo},
    {Request::Select, 2, "2nd select", kMsgEvents},
    {Request::Fetch, 4, "4th block", kMsgEvents},
};

std::vector<Scenario> Scenarios() {
  using E = Expect;
  using F = ReplyFault;
  std::vector<Scenario> t = {
      {"clean reading"},
      {"clean reading with search", {}, E::Complete, "", -1, true},
      {"noise before the search reply", F{F::Noise, Request::Discover}, E::Complete, "", -1, true},
      // A short information reply is refused; a short block is fetched again.
      {"a 00 byte dropped from the config info", F{F::DropNul, Request::ConfigInfo}, E::Untouched, kMsgInfo},
      {"a 00 byte dropped from a block", F{F::DropNul, Request::Fetch, 2}},
      {"bad checksum from the 4th block on", F{F::Corrupt, Request::Fetch, 4, -1}, E::Partial, kMsgEvents, 3},
      {"gone for good at the 2nd text", F{F::Vanish, Request::Text, 2}, E::Untouched, kMsgInfo},
      {"gone for good at the 5th block", F{F::Vanish, Request::Fetch, 5}, E::Partial, kMsgEvents, 4},
      {"port cannot be opened", F{F::NoPort}, E::Untouched, "Не могу открыть порт"},
      {"silent at search until cancel", F{F::Silence, Request::Discover, 1, -1}, E::Untouched, "", -1, true,
       40},
      // Blocks asked for: K = 14, 98, 82, 66, 50, 34.
      {"2nd block never ready", {}, E::Partial, kMsgEvents, 1, false, 0, 98},
      {"unsupported device type 7", {}, E::Untouched, "Тип прибора не поддерживается", -1, false, 0, -1, 7},
  };
  const char* once[] = {"", "noise before the reply: ", "byte dropped from the reply: ",
                        "", "bad checksum once: ",      "silent once: "};
  for (const auto& [on, nth, name, message] : kSteps) {
    const bool addressing = on == Request::Address || on == Request::Type;  // no checksum there
    for (F::Kind kind : {F::Noise, F::DropByte, F::Silence, F::Corrupt})
      if (kind != F::Corrupt || !addressing) t.push_back({once[kind] + std::string(name), F{kind, on, nth}});
    const bool events = on == Request::Select || on == Request::Fetch;
    t.push_back({std::string("silent at ") + name, F{F::Silence, on, 1, -1},
                 events ? E::Partial : E::Untouched, message, 0});
  }
  return t;
}

struct Outcome {
  ReadoutStatus status = ReadoutStatus::Ok;
  Strings warnings;
  CT7KEventList list = MakeOtherReading();
  unsigned reads = 0;
  std::string cancelledIn;  // the step shown when cancel was pressed
  double lineSeconds = 0;
};

Outcome RunScenario(const Scenario& s) {
  sim::PanelConfig config = Panel();
  config.deviceType = s.deviceType;
  config.faults.neverReadyBlock = s.neverReadyBlock;
  FaultyPanelPort port(config, s.fault);
  std::atomic<bool> cancel{false};
  RecordingView view;
  std::string cancelledIn;
  port.onRead = [&](unsigned n) {
    if (n == s.cancelAtRead) cancel = true, cancelledIn = view.Of("step").back();
  };
  ReadoutResult result =
      RunReadout({.autoSerial = s.search, .selectedSerial = config.serial}, port, view, cancel);
  Outcome out{result.status, view.Of("warning"), MakeOtherReading(),
              port.reads,    cancelledIn,        port.lineMs / 1e3};
  PutReadListInPlace(std::move(result), out.list);
  return out;
}

// The clean reading every other outcome is held to.
CT7KEventList CompleteList() {
  const Outcome o = RunScenario({.name = "reference"});
  const std::vector<CT7KEvent> events = sim::VirtualPanel(Panel()).EventsNewestFirst();
  EXPECT_TRUE(o.status == ReadoutStatus::Ok && o.list.m_texts == Panel().texts &&
              std::ranges::equal(o.list, std::span(events).first(kAllEvents)));
  return o.list;
}

void CheckOutcome(const Scenario& s, const Outcome& o, const CT7KEventList& full) {
  EXPECT_EQ(o.warnings, s.message.empty() ? Strings{} : Strings{s.message});
  EXPECT_EQ(o.status == ReadoutStatus::Ok, s.expect == Expect::Complete)
      << "status " << static_cast<int>(o.status);
  if (s.expect != Expect::Partial) {
    EXPECT_TRUE(o.list == (s.expect == Expect::Complete ? full : MakeOtherReading()));
    return;
  }
  const std::size_t n = o.list.GetCount();
  EXPECT_EQ(n % kBlock, 0u) << "a block was kept in part";
  EXPECT_TRUE(s.partialBlocks < 0 || n == static_cast<std::size_t>(s.partialBlocks) * kBlock)
      << n << " events";
  CT7KEventList want = full;  // the newest events of this reading, under its header
  want.RemoveAll();
  for (std::size_t i = 0; i < n && i < full.GetCount(); ++i) want.AddTail(full[i]);
  EXPECT_TRUE(o.list == want) << "header, texts or events of another reading";
}

}  // namespace

TEST(FaultInjection, ScenarioTableCancelAtEveryReadAndALineThatHangsUp) {
  const CT7KEventList full = CompleteList();
  const char* outcomes[] = {"complete", "untouched", "partial"};
  for (const Scenario& s : Scenarios()) {
    SCOPED_TRACE(s.name);
    const Outcome o = RunScenario(s);
    CheckOutcome(s, o, full);
    EXPECT_LT(o.lineSeconds, 600.0) << "on a real line";
    std::printf("| %s | %s | %zu events | %.1f s on the line |\n", s.name.c_str(),
                outcomes[static_cast<int>(s.expect)], o.list.GetCount(), o.lineSeconds);
  }
  // Cancel as each read begins: no message; the old list before the events
  // step, whole blocks under the new header after it.
  for (bool search : {false, true}) {
    const unsigned reads = RunScenario({.name = "count", .search = search}).reads;
    int counts[3] = {};
    for (unsigned k = 1; k <= reads; ++k) {
      Scenario s{.name = "cancel at read " + std::to_string(k), .search = search, .cancelAtRead = k};
      SCOPED_TRACE(s.name + (search ? " with search" : ""));
      const Outcome o = RunScenario(s);
      s.expect = o.cancelledIn != "Events"       ? Expect::Untouched
                 : o.status == ReadoutStatus::Ok ? Expect::Complete
                                                 : Expect::Partial;
      ++counts[static_cast<int>(s.expect)];
      CheckOutcome(s, o, full);
    }
    std::printf("| cancel at each of %u reads%s | %d complete, %d untouched, %d partial |\n", reads,
                search ? " with search" : "", counts[0], counts[1], counts[2]);
    EXPECT_GT(counts[1] * counts[2], 0);
  }

  // An adapter pulled in the middle of a reading, on the real serial code: the
  // line hangs up, and the reading ends at once with the whole blocks before.
  auto panel = std::make_unique<sim::PtyPanel>(Panel());
  std::string error;
  ASSERT_TRUE(panel->Open(error)) << error;
  panel->Start();
  struct PullingView : RecordingView {
    void EventRead(int blockEnd, const CT7KEvent& ev) override {
      RecordingView::EventRead(blockEnd, ev);
      if (Of("event").size() == 2 * kBlock && pull) std::exchange(pull, nullptr)();
    }
    std::function<void()> pull;
  } view;
  view.pull = [&] { panel.reset(); };
  CCommPort line;
  line.BindDevice(panel->DevicePath());
  std::atomic<bool> cancel{false};
  const auto start = std::chrono::steady_clock::now();
  ReadoutResult result =
      RunReadout({.autoSerial = false, .selectedSerial = Panel().serial}, line, view, cancel);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  Outcome o{.status = result.status, .warnings = view.Of("warning")};
  PutReadListInPlace(std::move(result), o.list);
  CheckOutcome({.expect = Expect::Partial, .message = kMsgEvents, .partialBlocks = 2}, o, full);
}
