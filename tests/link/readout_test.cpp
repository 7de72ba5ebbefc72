// The read-out against an in-process virtual panel: steps, texts shown, block
// order, the ask-nothing cases, cancel in a block, and the caller's list never
// left half-changed. Failures and cancels at every step are played by the
// fault-injection table in tests/reliability.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>

#include "link/readout.h"
#include "sim/event_generator.h"
#include "tests/link/test_ports.h"
#include "tests/lists/list_samples.h"

using namespace logwick;
using namespace logwick::test;

namespace {

using Strings = std::vector<std::string>;
constexpr std::uint32_t kSerial = 0x012345;

// One reading of a virtual panel, by default with the serial number given,
// its list put in place of an old one as the main window does.
struct Reading {
  explicit Reading(sim::PanelConfig config = SamplePanel()) : port(std::move(config)) {}
  ReadoutStatus Go() {
    ReadoutResult result = RunReadout(settings, port, view, cancel);
    status = result.status;
    link = result.linkStatus;
    serial = result.serial;
    replaced = PutReadListInPlace(std::move(result), list);
    return status;
  }
  const sim::VirtualPanel& Sim() const { return *port.panel; }

  ScriptedPort port;
  ReadoutSettings settings{.autoSerial = false, .selectedSerial = kSerial};
  RecordingView view;
  std::atomic<bool> cancel{false};
  CT7KEventList list = MakeOtherReading();
  ReadoutStatus status = ReadoutStatus::Ok;
  LinkStatus link = LinkStatus::Ok;
  std::uint32_t serial = 99;
  bool replaced = false;
};

}  // namespace

TEST(Readout, CompleteReadingFillsTheListNewestFirst) {
  Reading r;
  r.settings.autoSerial = true;
  ASSERT_EQ(r.Go(), ReadoutStatus::Ok);
  EXPECT_EQ(std::make_tuple(r.replaced, r.port.openedBaud, r.port.openedParity, r.port.closes, r.serial),
            std::make_tuple(true, 9600u, std::uint8_t{0}, 1, kSerial));
  // N 100, J 30, B 10: backwards from the ring position; the block at J is never asked.
  EXPECT_EQ(r.Sim().SelectedBlocks(), (std::vector<std::uint16_t>{20, 10, 0, 90, 80, 70, 60, 50, 40}));
  const auto& events = r.Sim().EventsNewestFirst();
  const CT7KEventList& l = r.list;
  ASSERT_EQ(l.GetCount(), 90u);
  for (std::size_t i = 0; i < 90; ++i) ASSERT_EQ(l[i], events[i]) << i;
  EXPECT_EQ((std::vector<int>{l.m_nSerNum, l.m_nPanelType, l.m_nReadDay, l.m_nReadMonth, l.m_nReadYear,
                              l.m_nReadHour, l.m_nReadMin, l.m_nReadSec, l.m_nVerMajor, l.m_nVerMinor,
                              l.m_nRelDay, l.m_nRelMonth, l.m_nRelYear, l.m_reserved[5]}),
            (std::vector<int>{kSerial, 1, 16, 12, 2015, 14, 12, 5, 3, 12, 14, 6, 2021,
                              5 * 7 + 1}));  // reserved kept
  EXPECT_EQ(l.ConfigNameText(), "Объект 7");
  EXPECT_EQ(l.m_texts, SamplePanel().texts);
  EXPECT_EQ(r.view.Of("step"), (Strings{"OpenPort", "Search", "Address 74565", "PanelType", "DeviceInfo",
                                        "ConfigInfo", "LogInfo", "Texts", "Events"}));
  const auto step = std::find(r.view.log.begin(), r.view.log.end(), "step:Events");
  ASSERT_LE(step + 4, r.view.log.end());
  EXPECT_EQ(Strings(step + 1, step + 4),
            (Strings{"log:v3.12 16/12/15 14:12:05 N=100", "range:0..99", "pos:9"}));
  // Texts step 1..3 of 0..3, then one step per block of 10.
  const Strings pos = r.view.Of("pos");
  EXPECT_EQ(std::make_tuple(r.view.Of("range")[0], pos.size(), pos[2], pos.back()),
            std::make_tuple("0..3", 12u, "3", "89"));
  EXPECT_TRUE(r.view.Of("warning").empty());
  const auto lines = r.view.Of("event");
  ASSERT_EQ(lines.size(), 90u);
  EXPECT_EQ(lines[89], "90 " + events[89].GetTimeText());
}

// Also device types 4 and 5 (read as 2 and 1) and the ГАЗ line settings.
TEST(Readout, TextAndBlockStepsMayAskNothing) {
  {  // textCount 0 and N = B: no text asked, no block asked, still a success.
    auto cfg = SamplePanel(10, 3, 10);
    cfg.textCount = 0;
    cfg.deviceType = 4;
    Reading r(cfg);
    ASSERT_EQ(r.Go(), ReadoutStatus::Ok);
    EXPECT_EQ(std::make_tuple(r.replaced, r.list.m_nPanelType, r.port.Count("ReadMessageText"),
                              r.list.m_texts.size(), r.Sim().SelectedBlocks().size(), r.list.GetCount()),
              std::make_tuple(true, 2, 0L, 0u, 0u, 0u));
  }
  {  // Texts 0-2 then an empty one, count 10: four requests, three texts, 4 of 10.
    auto cfg = SamplePanel(10, 0, 10);
    cfg.textCount = 10;
    cfg.deviceType = 5;
    Reading r(cfg);
    r.settings.gazMode = true;
    ASSERT_EQ(r.Go(), ReadoutStatus::Ok);
    EXPECT_EQ(std::make_tuple(r.list.m_nPanelType, r.port.openedBaud, r.port.openedParity,
                              r.list.m_texts.size(), r.port.Count("ReadMessageText"), r.view.Of("range")[0]),
              std::make_tuple(1, 1200u, std::uint8_t{2}, 3u, 4L, "0..10"));
    EXPECT_EQ(r.view.Of("pos"), (Strings{"1", "2", "3", "4"}));
  }
}

// A block size of 0 with events would keep the block loop from moving on.
TEST(Readout, BlockSizeZeroIsRefusedBeforeTheListChanges) {
  Reading r(SamplePanel(100, 30, 0));
  EXPECT_EQ(r.Go(), ReadoutStatus::InfoNotRead);
  EXPECT_EQ(
      std::make_tuple(r.link, r.view.Of("warning"), r.replaced, r.list == MakeOtherReading(),
                      r.port.Count("ReadMessageText")),
      std::make_tuple(LinkStatus::ExchangeFailed, Strings{"Ошибка при чтении\nинформации"}, false, true, 0L));
}

// A block the panel never readies is 999 polls, minutes on a real line: stop
// must not wait for them. The events of the blocks before it stay.
TEST(Readout, CancelEndsAFetchThatNeverBecomesReady) {
  auto cfg = SamplePanel();
  cfg.faults.neverReadyBlock = 0;  // the third block asked for (K = 20, 10, 0)
  Reading r(cfg);
  long fetches = 0;
  r.port.onRead = [&] {
    if (r.port.Count("ReadEventBlock") == 3 && ++fetches == 20) r.cancel = true;
  };
  EXPECT_EQ(r.Go(), ReadoutStatus::Cancelled);
  EXPECT_EQ(
      std::make_tuple(fetches, r.view.Of("warning").size(), r.replaced, r.list.GetCount(), r.port.closes),
      std::make_tuple(20L, 0u, true, 20u, 1));
}

// Whatever escapes an exchange (here memory running out) ends the reading as a
// failed exchange of its step would: named in Russian, the port closed, and
// the blocks already read kept once the event step has begun.
TEST(Readout, AnExceptionFailsTheStepItBrokeIn) {
  {
    Reading r;
    r.port.onRead = [&] {
      if (r.port.Count("ReadDeviceInfo") == 1) throw std::bad_alloc();
    };
    EXPECT_EQ(r.Go(), ReadoutStatus::InfoNotRead);
    EXPECT_EQ(std::make_tuple(r.view.Of("warning"), r.replaced, r.list == MakeOtherReading(), r.port.closes),
              std::make_tuple(Strings{"Ошибка при чтении\nинформации"}, false, true, 1));
  }
  {
    Reading r;
    r.port.onRead = [&] {
      if (r.port.Count("ReadEventBlock") == 3) throw std::bad_alloc();
    };
    EXPECT_EQ(r.Go(), ReadoutStatus::EventsNotRead);
    EXPECT_EQ(std::make_tuple(r.view.Of("warning"), r.replaced, r.list.GetCount(), r.list.m_texts.size(),
                              r.port.closes),
              std::make_tuple(Strings{"Ошибка при чтении\nсобытий"}, true, 20u, 3u, 1));
  }
}
