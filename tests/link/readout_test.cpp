// The read-out against an in-process virtual panel: steps, texts shown, block
// order, failures, cancels, and the caller's list never left half-changed.
#include <gtest/gtest.h>

#include <atomic>

#include "events/codec.h"
#include "link/readout.h"
#include "sim/event_generator.h"
#include "tests/link/test_ports.h"

using namespace logwick;
using namespace logwick::test;

namespace {

sim::PanelConfig Panel(std::uint16_t n = 100, std::uint16_t j = 30, std::uint8_t b = 10) {
  sim::PanelConfig c;
  c.serial = 0x012345;
  c.eventCount = n;
  c.ringPosition = j;
  c.blockSize = b;
  c.texts = {"Пожар склад 1", "Вход охрана", "Насосная"};
  c.configName = "Объект 7";
  c.clock = PackTimeStamp(2015, 12, 16, 14, 12, 5);
  return c;
}

// A list that already holds another panel's reading.
CT7KEventList OldList() {
  CT7KEventList l;
  l.m_nSerNum = 777;
  l.m_nPanelType = 2;
  l.m_nVerMajor = 9;
  l.m_texts = {"старый"};
  l.m_reserved[5] = 0x5A;
  l.SetConfigNameBytes("old", 3);
  CT7KEvent ev;
  ev.SetCode(4);
  l.AddTail(ev);
  return l;
}

struct Reading {
  int rc = -1;
  bool replaced = false;
  std::uint32_t serial = 99;
  CT7KEventList list = OldList();
  RecordingView view;
  std::atomic<bool> cancel{false};

  int Go(IPanelPort& port, ReadoutParams p = {}) {
    rc = RunReadout(p, port, view, cancel, list, serial, &replaced);
    return rc;
  }
};

ReadoutParams Manual(std::uint32_t serial = 0x012345) {
  ReadoutParams p;
  p.portNumber = 4;
  p.autoSerial = false;
  p.selectedSerial = serial;
  return p;
}

}  // namespace

TEST(Readout, CompleteReadingFillsTheListNewestFirst) {
  SimulatedPort port(Panel());
  Reading r;
  ASSERT_EQ(r.Go(port), kReadoutOk);
  EXPECT_TRUE(r.replaced);
  EXPECT_TRUE(r.view.warnings.empty());
  EXPECT_EQ(port.openedBaud, 9600u);
  EXPECT_EQ(port.openedParity, 0);
  EXPECT_EQ(port.closes, 1);
  EXPECT_EQ(r.serial, 0x012345u);

  // Blocks backwards from the ring position; the block at J is never asked.
  EXPECT_EQ(port.panel.SelectedBlocks(),
            (std::vector<std::uint16_t>{20, 10, 0, 90, 80, 70, 60, 50, 40}));
  const auto& events = port.panel.EventsNewestFirst();
  ASSERT_EQ(r.list.GetCount(), 90u);
  for (std::size_t i = 0; i < 90; ++i) ASSERT_EQ(r.list[i], events[i]) << i;

  const CT7KEventList& l = r.list;
  EXPECT_EQ(l.m_nSerNum, 0x012345);
  EXPECT_EQ(l.m_nPanelType, 1);
  EXPECT_EQ(l.m_nReadDay, 16);
  EXPECT_EQ(l.m_nReadMonth, 12);
  EXPECT_EQ(l.m_nReadYear, 2015);
  EXPECT_EQ(l.m_nReadHour, 14);
  EXPECT_EQ(l.m_nReadMin, 12);
  EXPECT_EQ(l.m_nReadSec, 5);
  EXPECT_EQ(l.m_nVerMajor, 3);
  EXPECT_EQ(l.m_nVerMinor, 12);
  EXPECT_EQ(l.m_nRelDay, 14);
  EXPECT_EQ(l.m_nRelMonth, 6);
  EXPECT_EQ(l.m_nRelYear, 2021);
  EXPECT_EQ(l.ConfigNameText(), "Объект 7");
  EXPECT_EQ(l.m_texts, (std::vector<std::string>{"Пожар склад 1", "Вход охрана", "Насосная"}));
  EXPECT_EQ(l.m_reserved[5], 0x5A);  // never interpreted, so kept

  const auto statuses = r.view.Of("status");
  EXPECT_EQ(statuses, (std::vector<std::string>{
                          "Открытие порта", "Поиск прибора", "Установка адреса 1 для 74565", "Чтение типа прибора",
                          "Чтение информации о приборе", "Чтение информации о конфигурации",
                          "Чтение информации о событиях", "Чтение текстов сообщений",
                          "Чтение событий"}));
  EXPECT_EQ(r.view.Of("version"),
            (std::vector<std::string>{"Прибор v3.12, его время 16/12/15 14:12:05"}));
  EXPECT_EQ(r.view.Of("count"), (std::vector<std::string>{"В приборе 100 событий"}));
  EXPECT_EQ(r.view.Of("button"), (std::vector<std::string>{"Остановить"}));
  EXPECT_EQ(r.view.Of("label").size(), 1u);
  EXPECT_EQ(r.view.Of("range"), (std::vector<std::string>{"0..3", "0..99"}));
  EXPECT_EQ(r.view.lastPos, 89);
  const auto lines = r.view.Of("event");
  ASSERT_EQ(lines.size(), 90u);
  EXPECT_EQ(lines[0], "  10 от " + events[0].GetTimeText());
  EXPECT_EQ(lines[89], "  90 от " + events[89].GetTimeText());
}

TEST(Readout, SearchGazModeAndPanelTypeMapping) {
  struct Case {
    std::uint8_t deviceType;
    int panelType;
  };
  for (const Case c : {Case{3, 1}, Case{4, 2}, Case{5, 1}}) {
    auto cfg = Panel(20, 0, 10);
    cfg.deviceType = c.deviceType;
    SimulatedPort port(cfg);
    Reading r;
    ReadoutParams p;
    p.gazMode = true;
    ASSERT_EQ(r.Go(port, p), kReadoutOk);
    EXPECT_EQ(r.list.m_nPanelType, c.panelType);
    EXPECT_EQ(port.openedBaud, 1200u);
    EXPECT_EQ(port.openedParity, 2);
    EXPECT_EQ(r.serial, 0x012345u);
    EXPECT_EQ(r.view.Of("status")[1], "Поиск прибора");
    EXPECT_EQ(port.panel.SelectedBlocks(), (std::vector<std::uint16_t>{10}));
  }
}

TEST(Readout, TextStepEndsAtTheCountOrTheFirstEmptyText) {
  {  // textCount 0: nothing asked, no texts.
    auto cfg = Panel();
    cfg.textCount = 0;
    SimulatedPort port(cfg);
    Reading r;
    ASSERT_EQ(r.Go(port, Manual()), kReadoutOk);
    EXPECT_TRUE(r.list.m_texts.empty());
    for (const auto& op : port.operations) EXPECT_NE(op, "ReadMessageText");
  }
  {  // Texts 0-2 then an empty one, count 10: four requests, three texts, 4 of 10.
    auto cfg = Panel(10, 0, 10);
    cfg.textCount = 10;
    SimulatedPort port(cfg);
    Reading r;
    ASSERT_EQ(r.Go(port, Manual()), kReadoutOk);
    EXPECT_EQ(r.list.m_texts.size(), 3u);
    EXPECT_EQ(std::count(port.operations.begin(), port.operations.end(), "ReadMessageText"), 4);
    const auto pos = r.view.Of("pos");
    EXPECT_EQ(pos, (std::vector<std::string>{"1", "2", "3", "4"}));
    EXPECT_EQ(r.view.Of("range")[0], "0..10");
  }
}

TEST(Readout, EventCountNotAboveBlockSizeReadsNoBlock) {
  SimulatedPort port(Panel(10, 3, 10));
  Reading r;
  ASSERT_EQ(r.Go(port, Manual()), kReadoutOk);
  EXPECT_TRUE(r.replaced);
  EXPECT_TRUE(port.panel.SelectedBlocks().empty());
  EXPECT_EQ(r.list.GetCount(), 0u);
  EXPECT_EQ(r.list.m_nSerNum, 0x012345);
  EXPECT_EQ(r.list.m_texts.size(), 3u);
}

// Every failure before the event step: its message, a non-zero result, the
// port closed, and the caller's list exactly as it was.
TEST(Readout, FailuresBeforeTheEventsLeaveTheListUntouched) {
  struct Case {
    const char* what;
    std::function<void(sim::PanelConfig&, RecordingPort&)> arrange;
    std::string message;
  };
  const Case cases[] = {
      {"port", [](sim::PanelConfig&, RecordingPort& p) { p.openResult = false; },
       "Не могу открыть порт"},
      {"address", [](sim::PanelConfig& c, RecordingPort&) { c.faults.silentOn.insert(sim::Request::Address); },
       "Не удается установить\nадрес"},
      {"type", [](sim::PanelConfig& c, RecordingPort&) { c.faults.silentOn.insert(sim::Request::Type); },
       "Не удается определить\nтип прибора"},
      {"unsupported", [](sim::PanelConfig& c, RecordingPort&) { c.deviceType = 7; },
       "Тип прибора не поддерживается"},
      {"device", [](sim::PanelConfig& c, RecordingPort&) { c.faults.silentOn.insert(sim::Request::DeviceInfo); },
       "Ошибка при чтении\nинформации"},
      {"config", [](sim::PanelConfig& c, RecordingPort&) { c.faults.silentOn.insert(sim::Request::ConfigInfo); },
       "Ошибка при чтении\nинформации"},
      {"log", [](sim::PanelConfig& c, RecordingPort&) { c.faults.silentOn.insert(sim::Request::LogInfo); },
       "Ошибка при чтении\nинформации"},
      {"text", [](sim::PanelConfig& c, RecordingPort&) { c.faults.silentOn.insert(sim::Request::Text); },
       "Ошибка при чтении\nинформации"},
      {"block size 0", [](sim::PanelConfig& c, RecordingPort&) { c.blockSize = 0; },
       "Ошибка при чтении\nинформации"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    auto cfg = Panel();
    ScriptedPort opener;  // only to receive openResult before the panel exists
    c.arrange(cfg, opener);
    SimulatedPort port(cfg);
    port.openResult = opener.openResult;
    Reading r;
    EXPECT_NE(r.Go(port, Manual()), kReadoutOk);
    EXPECT_EQ(r.view.warnings, (std::vector<std::string>{c.message}));
    EXPECT_FALSE(r.replaced);
    EXPECT_EQ(r.list, OldList());
    EXPECT_TRUE(r.view.Of("count").empty());
    if (port.openResult) {
      EXPECT_GE(port.closes, 1);
    }
  }
}

TEST(Readout, BlockFailureKeepsEarlierBlocksWithTheirOwnHeader) {
  auto cfg = Panel();
  cfg.faults.neverReadyBlock = 0;  // the third block
  SimulatedPort port(cfg);
  Reading r;
  EXPECT_EQ(r.Go(port, Manual()), 2);
  EXPECT_EQ(r.view.warnings, (std::vector<std::string>{"Ошибка при чтении\nсобытий"}));
  EXPECT_TRUE(r.replaced);
  EXPECT_EQ(port.panel.FetchesSeen(), 2u + 999u);
  ASSERT_EQ(r.list.GetCount(), 20u);
  EXPECT_EQ(r.list[0], port.panel.EventsNewestFirst()[0]);
  EXPECT_EQ(r.list.m_nSerNum, 0x012345);
  EXPECT_EQ(r.list.m_texts.size(), 3u);

  auto bad = Panel();
  bad.faults.silentOn.insert(sim::Request::Select);
  SimulatedPort silent(bad);
  Reading s;
  EXPECT_EQ(s.Go(silent, Manual()), 8);
  EXPECT_EQ(s.view.warnings, (std::vector<std::string>{"Ошибка при чтении\nсобытий"}));
  EXPECT_EQ(s.list.GetCount(), 0u);
  EXPECT_EQ(s.list.m_nSerNum, 0x012345);
}

TEST(Readout, CancelBetweenBlocksKeepsCompletedBlocks) {
  SimulatedPort port(Panel());
  Reading r;
  r.view.onEventLine = [&] {
    if (r.view.eventLines == 15) r.cancel = true;  // pressed while the second block arrives
  };
  EXPECT_EQ(r.Go(port, Manual()), kReadoutStopped);
  EXPECT_TRUE(r.view.warnings.empty());
  EXPECT_EQ(port.panel.SelectedBlocks(), (std::vector<std::uint16_t>{20, 10}));
  EXPECT_EQ(r.list.GetCount(), 20u);
  EXPECT_EQ(port.closes, 1);
}

TEST(Readout, CancelBeforeAGuardedStepChangesNothing) {
  SimulatedPort port(Panel());
  Reading r;
  port.onRead = [&] {
    if (port.operations.back() == "ReadConfigInfo") r.cancel = true;
  };
  EXPECT_EQ(r.Go(port, Manual()), kReadoutStopped);
  EXPECT_TRUE(r.view.warnings.empty());
  EXPECT_EQ(r.list, OldList());
  EXPECT_FALSE(r.replaced);
  EXPECT_EQ(std::count(port.operations.begin(), port.operations.end(), "ReadLogInfo"), 0);
}

TEST(Readout, SearchRunsUntilCancelledAndLeavesSerialZero) {
  auto cfg = Panel();
  cfg.faults.silentOn.insert(sim::Request::Discover);
  SimulatedPort port(cfg);
  Reading r;
  int attempts = 0;
  port.onRead = [&] {
    if (++attempts == 50) r.cancel = true;
  };
  EXPECT_EQ(r.Go(port), kReadoutStopped);
  EXPECT_EQ(attempts, 50);
  EXPECT_EQ(r.serial, 0u);
  EXPECT_TRUE(r.view.warnings.empty());
  EXPECT_EQ(r.list, OldList());
  for (const auto& op : port.operations) EXPECT_NE(op, "SetPanelAddress");
  EXPECT_EQ(port.closes, 1);
}
