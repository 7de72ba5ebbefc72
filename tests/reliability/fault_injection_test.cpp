// The read-out against a misbehaving panel. Every scenario must end quickly
// with either the complete list, or the right message and a list that is
// untouched or consistently partial: whole blocks of events, in order, under
// their own header and texts. The table is printed with each outcome and the
// time the reading would have taken on a real line at 9600 baud.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "events/codec.h"
#include "link/comm_port.h"
#include "link/readout.h"
#include "sim/event_generator.h"
#include "tests/reliability/faulty_panel_port.h"
#include "tests/reliability/vanishing_pty_panel.h"

using namespace logwick;
using namespace logwick::test;
using sim::Request;

namespace {

constexpr char kMsgAddress[] = "Не удается установить\nадрес";
constexpr char kMsgType[] = "Не удается определить\nтип прибора";
constexpr char kMsgUnsupported[] = "Тип прибора не поддерживается";
constexpr char kMsgInfo[] = "Ошибка при чтении\nинформации";
constexpr char kMsgEvents[] = "Ошибка при чтении\nсобытий";
constexpr char kMsgPort[] = "Не могу открыть порт";

constexpr std::uint8_t kBlock = 16;
constexpr std::size_t kAllEvents = 96;  // 100 events, block 16: the blocks at H = 16 ... 96

sim::PanelConfig Panel() {
  sim::PanelConfig c;
  c.serial = 0x00A5C3;
  c.eventCount = 100;
  c.ringPosition = 30;
  c.blockSize = kBlock;
  c.texts = SampleMessageTexts(4);
  c.configName = "Цех 4";
  c.clock = PackTimeStamp(2024, 3, 15, 10, 40, 0);
  c.seed = 7;
  return c;
}

// What the caller's list held before the reading.
CT7KEventList OldList() {
  CT7KEventList l;
  l.m_nPanelType = 3;
  l.m_nSerNum = 555;
  l.m_texts = {"прежний"};
  l.m_reserved.fill(0x33);
  for (const CT7KEvent& ev : GenerateSampleEvents(5, 99)) l.AddTail(ev);
  return l;
}

enum class Expect { Complete, Untouched, Partial };

struct Scenario {
  const char* name;
  ReplyFault fault = {};
  Expect expect = Expect::Complete;
  const char* message = "";        // the one warning expected ("" none)
  int partialBlocks = -1;          // Partial: exact number of whole blocks (-1: any)
  bool search = false;             // automatic serial number
  std::set<Request> silentOn = {};  // the simulator's own silence fault
  int neverReadyBlock = -1;
  std::uint8_t deviceType = 3;
  bool openFails = false;
  const char* cancelOnStatus = "";  // cancel when a status text starting so is shown
  int cancelOnEventLine = 0;        // cancel when the n-th event line is shown
  unsigned cancelAtRead = 0;        // cancel as the n-th read begins
  unsigned vanishAtBlock = 0;       // over a pseudo-terminal that closes in block n
};

ReplyFault F(ReplyFault::Kind kind, Request on, unsigned first = 1, int times = 1) {
  return {kind, on, first, times};
}

// Every request of a reading that has no search, with the reply to damage:
// the first one, or a later one where a reading asks several times.
struct Target {
  Request on;
  unsigned nth;
  const char* name;
};
constexpr Target kTargets[] = {
    {Request::Address, 1, "address"},       {Request::Type, 1, "type"},
    {Request::DeviceInfo, 1, "device info"}, {Request::ConfigInfo, 1, "config info"},
    {Request::LogInfo, 1, "log info"},       {Request::Text, 3, "3rd text"},
    {Request::Select, 2, "2nd select"},      {Request::Fetch, 4, "4th block"},
};

const std::vector<Scenario> kScenarios = [] {
  using K = ReplyFault;
  using E = Expect;
  static std::vector<std::string> names(64);  // keeps composed names alive
  std::size_t used = 0;
  auto name = [&](const std::string& prefix, const char* what) {
    return (names.at(used++) = prefix + what).c_str();
  };
  std::vector<Scenario> t;
  t.push_back({.name = "clean reading"});
  t.push_back({.name = "clean reading with search", .search = true});
  t.push_back({.name = "device type 5 (read as type 1)", .deviceType = 5});
  t.push_back({.name = "port cannot be opened", .expect = E::Untouched, .message = kMsgPort, .openFails = true});
  t.push_back({.name = "noise before the search reply", .fault = F(K::Noise, Request::Discover), .search = true});
  for (const Target& x : kTargets) {
    t.push_back({.name = name("noise before the reply: ", x.name), .fault = F(K::Noise, x.on, x.nth)});
    t.push_back({.name = name("byte dropped from the reply: ", x.name), .fault = F(K::DropByte, x.on, x.nth)});
    t.push_back({.name = name("silent once: ", x.name), .fault = F(K::Silence, x.on, x.nth)});
    if (x.on != Request::Address && x.on != Request::Type)
      t.push_back({.name = name("bad checksum once: ", x.name), .fault = F(K::Corrupt, x.on, x.nth)});
  }
  // A lost 00 byte leaves the XOR checksum good. An information reply of the
  // wrong length is then refused without another attempt; a short block
  // counts as "not ready" and is fetched again.
  t.push_back({.name = "a 00 byte dropped from the config info", .fault = F(K::DropNul, Request::ConfigInfo),
               .expect = E::Untouched, .message = kMsgInfo});
  t.push_back({.name = "a 00 byte dropped from a block", .fault = F(K::DropNul, Request::Fetch, 2)});
  t.push_back({.name = "bad checksum always: device info", .fault = F(K::Corrupt, Request::DeviceInfo, 1, -1),
               .expect = E::Untouched, .message = kMsgInfo});
  t.push_back({.name = "bad checksum always: texts", .fault = F(K::Corrupt, Request::Text, 1, -1),
               .expect = E::Untouched, .message = kMsgInfo});
  t.push_back({.name = "bad checksum always: blocks", .fault = F(K::Corrupt, Request::Fetch, 1, -1),
               .expect = E::Partial, .message = kMsgEvents, .partialBlocks = 0});
  t.push_back({.name = "bad checksum from the 4th block on", .fault = F(K::Corrupt, Request::Fetch, 4, -1),
               .expect = E::Partial, .message = kMsgEvents, .partialBlocks = 3});
  t.push_back({.name = "silent at search (runs until cancel)", .expect = E::Untouched, .search = true,
               .silentOn = {Request::Discover}, .cancelAtRead = 40});
  t.push_back({.name = "silent at address", .expect = E::Untouched, .message = kMsgAddress, .silentOn = {Request::Address}});
  t.push_back({.name = "silent at type", .expect = E::Untouched, .message = kMsgType, .silentOn = {Request::Type}});
  t.push_back({.name = "silent at device info", .expect = E::Untouched, .message = kMsgInfo, .silentOn = {Request::DeviceInfo}});
  t.push_back({.name = "silent at config info", .expect = E::Untouched, .message = kMsgInfo, .silentOn = {Request::ConfigInfo}});
  t.push_back({.name = "silent at log info", .expect = E::Untouched, .message = kMsgInfo, .silentOn = {Request::LogInfo}});
  t.push_back({.name = "silent at texts", .expect = E::Untouched, .message = kMsgInfo, .silentOn = {Request::Text}});
  t.push_back({.name = "silent at select", .expect = E::Partial, .message = kMsgEvents, .partialBlocks = 0,
               .silentOn = {Request::Select}});
  t.push_back({.name = "silent at fetch", .expect = E::Partial, .message = kMsgEvents, .partialBlocks = 0,
               .silentOn = {Request::Fetch}});
  t.push_back({.name = "gone for good at the 2nd text", .fault = F(K::Vanish, Request::Text, 2),
               .expect = E::Untouched, .message = kMsgInfo});
  t.push_back({.name = "gone for good at the 5th block", .fault = F(K::Vanish, Request::Fetch, 5),
               .expect = E::Partial, .message = kMsgEvents, .partialBlocks = 4});
  t.push_back({.name = "pseudo-terminal closed in the 3rd block", .expect = E::Partial, .message = kMsgEvents,
               .partialBlocks = 2, .vanishAtBlock = 3});
  // Blocks asked for: K = 14, 98, 82, 66, 50, 34.
  t.push_back({.name = "2nd block never ready", .expect = E::Partial, .message = kMsgEvents,
               .partialBlocks = 1, .neverReadyBlock = 98});
  t.push_back({.name = "unsupported device type 7", .expect = E::Untouched, .message = kMsgUnsupported,
               .deviceType = 7});
  t.push_back({.name = "cancel during the search", .expect = E::Untouched, .search = true,
               .cancelOnStatus = "Поиск прибора"});
  const char* steps[] = {"Установка адреса", "Чтение типа прибора", "Чтение информации о приборе",
                         "Чтение информации о конфигурации", "Чтение информации о событиях",
                         "Чтение текстов сообщений"};
  for (const char* step : steps)
    t.push_back({.name = name("cancel at ", step), .expect = E::Untouched, .cancelOnStatus = step});
  t.push_back({.name = "cancel at Чтение событий", .expect = E::Partial, .partialBlocks = 0,
               .cancelOnStatus = "Чтение событий"});
  t.push_back({.name = "cancel in the 3rd block", .expect = E::Partial, .partialBlocks = 3,
               .cancelOnEventLine = 40});
  return t;
}();

class CancellingView : public IReadoutView {
 public:
  CancellingView(std::atomic<bool>& cancel, const Scenario& s) : m_cancel(cancel), m_s(s) {}
  void SetStatus(const std::string& t) override {
    if (*m_s.cancelOnStatus && t.rfind(m_s.cancelOnStatus, 0) == 0) m_cancel = true;
  }
  void SetVersionLine(const std::string&) override {}
  void SetCountLine(const std::string&) override {}
  void SetEventLine(const std::string&) override {
    if (++m_eventLines == m_s.cancelOnEventLine) m_cancel = true;
  }
  void ShowReadingLabel() override {}
  void SetButtonText(const std::string&) override {}
  void SetProgressRange(int, int) override {}
  void SetProgressPos(int) override {}
  void ShowWarning(const std::string& t) override { warnings.push_back(t); }
  std::vector<std::string> warnings;

 private:
  std::atomic<bool>& m_cancel;
  const Scenario& m_s;
  int m_eventLines = 0;
};

struct Outcome {
  int rc = -1;
  std::vector<std::string> warnings;
  CT7KEventList list = OldList();
  double lineSeconds = 0;  // on a real line at 9600 baud (measured for the pty)
  double wallMs = 0;
};

Outcome RunScenario(const Scenario& s) {
  sim::PanelConfig config = Panel();
  config.deviceType = s.deviceType;
  config.faults.silentOn = s.silentOn;
  config.faults.neverReadyBlock = s.neverReadyBlock;
  ReadoutParams params;
  params.autoSerial = s.search;
  params.selectedSerial = config.serial;
  Outcome out;
  std::atomic<bool> cancel{false};
  CancellingView view(cancel, s);
  std::uint32_t serial = 0;
  const auto start = std::chrono::steady_clock::now();
  if (s.vanishAtBlock > 0) {
    VanishingPtyPanel panel(config, s.vanishAtBlock);
    std::string error;
    if (!panel.Start(error)) {
      ADD_FAILURE() << "no pseudo-terminal: " << error;
      return out;
    }
    CCommPort port;
    port.BindDevice(panel.DevicePath());
    out.rc = RunReadout(params, port, view, cancel, out.list, serial);
    EXPECT_TRUE(panel.Vanished());
  } else {
    FaultyPanelPort port(config, s.fault);
    port.openFails = s.openFails;
    port.onRead = [&](unsigned n) {
      if (n == s.cancelAtRead) cancel = true;
    };
    out.rc = RunReadout(params, port, view, cancel, out.list, serial);
    out.lineSeconds = port.LineSeconds();
  }
  out.wallMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  if (s.vanishAtBlock > 0) out.lineSeconds = out.wallMs / 1000;
  out.warnings = std::move(view.warnings);
  return out;
}

CT7KEventList WithoutEvents(CT7KEventList l) {
  l.RemoveAll();
  return l;
}

// The list a complete reading of Panel() gives, events newest first.
CT7KEventList CompleteList() {
  const sim::VirtualPanel panel(Panel());
  CT7KEventList l;
  l.m_nPanelType = 1;
  l.m_nSerNum = static_cast<std::int32_t>(Panel().serial);
  l.m_nReadYear = 2024, l.m_nReadMonth = 3, l.m_nReadDay = 15, l.m_nReadHour = 10, l.m_nReadMin = 40;
  l.m_nVerMajor = Panel().versionMajor, l.m_nVerMinor = Panel().versionMinor;
  l.m_nRelDay = Panel().releaseDay, l.m_nRelMonth = Panel().releaseMonth;
  l.m_nRelYear = Panel().releaseYear;
  const std::string name = Utf8ToCp1251(Panel().configName);
  l.SetConfigNameBytes(name.data(), name.size());
  l.m_reserved = OldList().m_reserved;
  l.m_texts = Panel().texts;
  for (std::size_t i = 0; i < kAllEvents; ++i) l.AddTail(panel.EventsNewestFirst()[i]);
  return l;
}

const char* OutcomeText(const Outcome& o, const CT7KEventList& full) {
  if (o.rc == kReadoutOk) return o.list == full ? "complete list" : "WRONG LIST";
  if (o.list == OldList()) return "list untouched";
  return "partial list";
}

std::string OneLine(std::string s) {
  for (char& c : s)
    if (c == '\n') c = ' ';
  return s.empty() ? "-" : "\"" + s + "\"";
}

void CheckOutcome(const Scenario& s, const Outcome& o, const CT7KEventList& full) {
  const std::vector<std::string> expectedWarnings =
      *s.message ? std::vector<std::string>{s.message} : std::vector<std::string>{};
  EXPECT_EQ(o.warnings, expectedWarnings);
  switch (s.expect) {
    case Expect::Complete:
      EXPECT_EQ(o.rc, kReadoutOk);
      if (s.deviceType == 5) {
        EXPECT_EQ(o.list.GetCount(), full.GetCount());
        EXPECT_EQ(o.list.m_nPanelType, 1);
      } else {
        EXPECT_TRUE(o.list == full);
      }
      break;
    case Expect::Untouched:
      EXPECT_NE(o.rc, kReadoutOk);
      EXPECT_TRUE(o.list == OldList());
      break;
    case Expect::Partial: {
      EXPECT_NE(o.rc, kReadoutOk);
      EXPECT_TRUE(WithoutEvents(o.list) == WithoutEvents(full)) << "header or texts of another reading";
      const std::size_t n = o.list.GetCount();
      EXPECT_EQ(n % kBlock, 0u) << "a block was kept in part";
      if (s.partialBlocks >= 0) {
        EXPECT_EQ(n, static_cast<std::size_t>(s.partialBlocks) * kBlock);
      }
      for (std::size_t i = 0; i < n && i < full.GetCount(); ++i)
        ASSERT_EQ(o.list[i], full[i]) << "event " << i;
      break;
    }
  }
}

}  // namespace

TEST(FaultInjection, ScenarioTable) {
  const CT7KEventList full = CompleteList();
  std::printf("| scenario | outcome | message | events | line time 9600 Bd | run |\n");
  std::printf("|---|---|---|---|---|---|\n");
  for (const Scenario& s : kScenarios) {
    SCOPED_TRACE(s.name);
    const Outcome o = RunScenario(s);
    CheckOutcome(s, o, full);
    // In-process scenarios take no real time; the pseudo-terminal one waits
    // out real time-outs.
    EXPECT_LT(o.wallMs, s.vanishAtBlock ? 10000.0 : 2000.0);
    std::printf("| %s | %s | %s | %zu | %.1f s | %.0f ms |\n", s.name, OutcomeText(o, full),
                OneLine(o.warnings.empty() ? "" : o.warnings.front()).c_str(), o.list.GetCount(),
                o.lineSeconds, o.wallMs);
  }
}

// Cancel as every single read of a reading begins, with and without search:
// the reading stops with no message, leaving the complete list (cancel came
// after the last block), the old list, or whole blocks under the new header.
TEST(FaultInjection, CancelAtEveryRead) {
  const CT7KEventList full = CompleteList();
  for (bool search : {false, true}) {
    Scenario clean{"clean"};
    clean.search = search;
    FaultyPanelPort counter(Panel());
    {
      ReadoutParams p;
      p.autoSerial = search;
      p.selectedSerial = Panel().serial;
      std::atomic<bool> cancel{false};
      CancellingView view(cancel, clean);
      CT7KEventList list;
      std::uint32_t serial = 0;
      ASSERT_EQ(RunReadout(p, counter, view, cancel, list, serial), kReadoutOk);
    }
    int complete = 0, untouched = 0, partial = 0;
    for (unsigned k = 1; k <= counter.Reads(); ++k) {
      Scenario s = clean;
      s.cancelAtRead = k;
      SCOPED_TRACE("search " + std::to_string(search) + ", cancel at read " + std::to_string(k));
      const Outcome o = RunScenario(s);
      EXPECT_TRUE(o.warnings.empty());
      if (o.rc == kReadoutOk) {
        ++complete;
        EXPECT_TRUE(o.list == full);
      } else if (o.list == OldList()) {
        ++untouched;
      } else {
        ++partial;
        s.expect = Expect::Partial;
        CheckOutcome(s, o, full);
      }
    }
    std::printf("cancel at each of %u reads (search %s): %d complete, %d untouched, %d partial\n",
                counter.Reads(), search ? "on" : "off", complete, untouched, partial);
    EXPECT_GT(untouched, 0);
    EXPECT_GT(partial, 0);
  }
}
