// The panel protocol against a scripted line, and the read-out against an in-process virtual panel. Failures
// and cancels at every step are played by the fault-injection table in tests/reliability.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>

#include "link/frames.h"
#include "link/protocol.h"
#include "link/readout.h"
#include "sim/event_generator.h"
#include "tests/link/test_ports.h"
#include "tests/lists/list_samples.h"

using namespace logwick;
using namespace logwick::test;
namespace fr = logwick::frames;

namespace {

using Strings = std::vector<std::string>;
constexpr std::uint32_t kSerial = 0x012345;

// One reading of a virtual panel, by default with the serial number given,
// its list put in place of an old one as the main window does.
struct Reading {
  explicit Reading(sim::PanelConfig config = SamplePanel()) : port(std::move(config)) {}
  ReadoutStatus Go() {
    ReadoutResult result = RunReadout(settings, port, view, cancel);
    const ReadoutStatus status = result.status;
    link = result.linkStatus, serial = result.serial;
    replaced = PutReadListInPlace(std::move(result), list);
    return status;
  }
  const sim::VirtualPanel& Sim() const { return *port.panel; }

  ScriptedPort port;
  ReadoutSettings settings{.autoSerial = false, .selectedSerial = kSerial};
  RecordingView view;
  std::atomic<bool> cancel{false};
  CT7KEventList list = MakeOtherReading();
  LinkStatus link = LinkStatus::Ok;
  std::uint32_t serial = 99;
  bool replaced = false;
};

Bytes Sealed(const Bytes& body) { return fr::DataFrame(body); }
// A data reply: command (or 81 00 "not ready"), then `n` bytes from `first` up.
Bytes Reply(std::uint8_t command, int n = 0, std::uint8_t first = 0x10) {
  Bytes body{0x81, command};
  for (int i = 0; i < n; ++i) body.push_back(static_cast<std::uint8_t>(first + i));
  return Sealed(body);
}

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
  EXPECT_EQ(std::vector(l.begin(), l.end()), std::vector(events.begin(), events.begin() + 90));
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
  const Strings pos = r.view.Of("pos"), lines = r.view.Of("event");
  ASSERT_EQ(std::make_tuple(r.view.Of("range")[0], pos.size(), pos[2], pos.back(),
                            r.view.Of("warning").size(), lines.size()),
            std::make_tuple("0..3", 12u, "3", "89", 0u, 90u));
  EXPECT_EQ(lines.back(), "90 " + events[89].GetTimeText());
}

// Also device types 4 and 5 (read as 2 and 1) and the ГАЗ line settings.
TEST(Readout, TextAndBlockStepsMayAskNothing) {
  {  // textCount 0 and N = B: no text asked, no block asked, still a success.
    auto cfg = SamplePanel(10, 3, 10);
    cfg.textCount = 0, cfg.deviceType = 4;
    Reading r(cfg);
    ASSERT_EQ(r.Go(), ReadoutStatus::Ok);
    EXPECT_EQ(std::make_tuple(r.replaced, r.list.m_nPanelType, r.port.Count("ReadMessageText"),
                              r.list.m_texts.size(), r.Sim().SelectedBlocks().size(), r.list.GetCount()),
              std::make_tuple(true, 2, 0L, 0u, 0u, 0u));
  }
  {  // Texts 0-2 then an empty one, count 10: four requests, three texts, 4 of 10.
    auto cfg = SamplePanel(10, 0, 10);
    cfg.textCount = 10, cfg.deviceType = 5;
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

// Whatever escapes an exchange (here memory running out) ends the reading as a failed exchange of its step
// would: named in Russian, the port closed, and the blocks already read kept once the event step has begun.
TEST(Readout, AnExceptionFailsTheStepItBrokeIn) {
  const std::tuple<const char*, long, ReadoutStatus, const char*, bool, std::size_t, std::size_t> cases[] = {
      {"ReadDeviceInfo", 1, ReadoutStatus::InfoNotRead, "Ошибка при чтении\nинформации", false, 5, 2},
      {"ReadEventBlock", 3, ReadoutStatus::EventsNotRead, "Ошибка при чтении\nсобытий", true, 20, 3}};
  for (const auto& [step, n, status, warning, replaced, events, texts] : cases) {
    Reading r;
    r.port.onRead = [&] {
      if (r.port.Count(step) == n) throw std::bad_alloc();
    };
    EXPECT_EQ(r.Go(), status);
    EXPECT_EQ(std::make_tuple(r.view.Of("warning"), r.replaced, r.list.GetCount(), r.list.m_texts.size(),
                              r.replaced || r.list == MakeOtherReading(), r.port.closes),
              std::make_tuple(Strings{warning}, replaced, events, texts, true, 1));
  }
}

TEST(Addressing, ChecksumSerialPackingSearchDiscoveryAddressAndType) {
  const Bytes good = Sealed({0x81, 0x10, 0xE8, 0x03});
  EXPECT_TRUE(fr::ChecksumOk(good.data(), good.size()) && !fr::ChecksumOk(good.data(), good.size() - 1));
  // Bits 24 and up are never sent; bits 7, 15 and 23 travel in f.
  EXPECT_EQ(fr::PackSerial(0x1FFFFFF, 0), (std::array<std::uint8_t, 4>{0x7F, 0x7F, 0x7F, 0x07}));
  for (std::uint32_t s : {0x80u, 0x8000u, 0x800000u, 0xA5C381u}) {
    const auto p = fr::PackSerial(s, fr::kKindType);
    for (auto b : p) EXPECT_LT(b, 0x80);
    EXPECT_EQ(fr::UnpackSerial(p.data()), s);
  }

  ScriptedPort search;
  ASSERT_EQ(StartSearch(search), LinkStatus::Ok);
  EXPECT_EQ(
      std::make_tuple(search.writes, search.pauses, search.reads.size()),
      std::make_tuple(std::vector<Bytes>(3, Bytes{0x80, 0x01, 0, 0, 0}), std::vector<unsigned>(3, 100), 0u));

  const std::pair<Bytes, std::uint32_t> cases[] = {
      {{0x80, 0x7F, 0x7F, 0x7F, 0x07}, 0xFFFFFF},  // the highest serial number
      {{0x80, 0x03, 0x00, 0x00, 0x00}, 3},         // the lowest
      {{0x80, 0x02, 0x00, 0x00, 0x00}, 0},         // 0, 1, 2 are never reported
      {{0x80, 0x7F, 0x7F, 0x7F, 0x07, 0x00}, 0},   // six bytes
      {{0x81, 0x34, 0x12, 0x00, 0x00}, 0},         // wrong start byte
      {{0x80, 0x34, 0x12, 0x80, 0x00}, 0},         // bit 7 in a serial byte
      {{0x80, 0x34, 0x12, 0x00, 0x08}, 0},         // f not below 08
      {{}, 0},                                     // silence
  };
  for (const auto& [reply, serial] : cases) {
    ScriptedPort port(Script{reply});
    EXPECT_EQ(FindPanel(port), serial) << ::testing::PrintToString(reply);
    EXPECT_EQ(std::make_tuple(port.writes, port.reads),
              std::make_tuple(std::vector<Bytes>{{0x80, 0, 0, 0, 0}}, std::vector<ReadCall>{{16, 5}}));
  }

  // Address and type want exact echoes within three attempts.
  const Bytes assign{0x80, 0x00, 0x00, 0x00, 0x01, 0x01};  // S = 80: bit 7 travels in f
  ScriptedPort ok(Script{{0x80, 0x00, 0x00, 0x00, 0x01, 0x02}, assign});
  ASSERT_EQ(SetPanelAddress(ok, 0x80, 1), LinkStatus::Ok);
  EXPECT_EQ(std::make_tuple(ok.writes, ok.reads[0].second),
            std::make_tuple(std::vector<Bytes>{assign, assign}, 6u));
  // Silence, five bytes, seven bytes.
  ScriptedPort failing(Script{{}, Bytes(assign.begin(), assign.end() - 1), {0x80, 0, 0, 0, 0x01, 0x01, 0}});
  EXPECT_EQ(SetPanelAddress(failing, 0x80, 1), LinkStatus::AddressFailed);
  EXPECT_EQ(failing.writes.size(), 3u);

  ScriptedPort type(Script{{0x80, 0x00, 0x00, 0x00, 0x79, 0x85, 0x00},  // type byte with bit 7
                           {0x80, 0x00, 0x00, 0x00, 0x79, 0x05, 0x11}});
  std::uint8_t t = 0, extra = 0;
  ASSERT_EQ(ReadPanelType(type, 0x80, t, extra), LinkStatus::Ok);
  EXPECT_EQ(std::make_tuple(type.writes[0], type.reads[0].second, t, extra),
            std::make_tuple(Bytes{0x80, 0x00, 0x00, 0x00, 0x79}, 7u, std::uint8_t{5}, std::uint8_t{0x11}));
  ScriptedPort silent;
  EXPECT_EQ(ReadPanelType(silent, 0x80, t, extra), LinkStatus::AddressFailed);
  EXPECT_EQ(silent.writes.size(), 3u);
}

TEST(DataLayer, RetriesBadRepliesButNotWrongLengthsAndDecodesEachReply) {
  Bytes badSum = Sealed({0x81, 0x13, 1, 2, 3, 4, 5, 6});
  badSum.back() ^= 1;
  // A bad checksum, a wrong start byte, then a good reply.
  ScriptedPort third(
      Script{badSum, Sealed({0x80, 0x13, 1, 2, 3, 4, 5, 6}), Sealed({0x81, 0x13, 16, 12, 0xDA, 0x07, 2, 7})});
  DeviceInfo info;
  ASSERT_EQ(ReadDeviceInfo(third, info), LinkStatus::Ok);
  EXPECT_EQ(
      std::make_tuple(third.writes, third.reads[0], info.releaseDay, info.releaseMonth, info.releaseYear,
                      info.versionMajor, info.versionMinor),
      std::make_tuple(std::vector<Bytes>(3, Bytes{0x81, 0x13, 0x38}), ReadCall(10, 9), 16, 12, 2010, 2, 7));

  // Silence fails after three attempts; a sound frame of the wrong length or
  // command (here a text's) fails at once.
  for (const Script& replies : {Script{}, Script{Reply(0x13, 5)}, Script{Reply(0x14, 6)}}) {
    ScriptedPort port(replies);
    EXPECT_EQ(ReadDeviceInfo(port, info), LinkStatus::ExchangeFailed);
    EXPECT_EQ(port.writes.size(), replies.empty() ? 3u : 1u);
  }

  ScriptedPort log(Script{{0x81, 0x10, 0xE8, 0x03, 0x2A, 0x01, 0x05, 0xE3, 0x20, 0x3F, 0x02}});
  LogInfo li;
  ASSERT_EQ(ReadLogInfo(log, li), LinkStatus::Ok);
  EXPECT_EQ(log.writes[0], (Bytes{0x81, 0x0F, 0x24}));
  EXPECT_EQ(std::make_tuple(li.blockSize, li.eventCount, li.ringPosition, li.panelClock),
            std::make_tuple(std::uint8_t{16}, std::uint16_t{1000}, std::uint16_t{298}, 0x3F20E305u));

  // A configuration, then texts: the short reply is an empty text; nineteen
  // bytes need command 12. Names and texts keep their 16 bytes, then NUL.
  auto sixteen = [](const char* s) { return static_cast<std::uint8_t>(s[15]) == 0xCF && s[16] == '\0'; };
  ScriptedPort texts(Script{Reply(7, 16, 0xC0), Reply(0x55), Reply(0x12, 16, 0xC0), Reply(0x13, 16, 0xC0)});
  ConfigInfo ci;
  ASSERT_EQ(ReadConfigInfo(texts, ci), LinkStatus::Ok);
  EXPECT_EQ(std::make_tuple(texts.reads[0], int(ci.textCount), sixteen(ci.name.data())),
            std::make_tuple(ReadCall(32, 19), 7, true));
  MessageText t;
  t.fill('x');
  ASSERT_EQ(ReadMessageText(texts, 9, t), LinkStatus::Ok);
  EXPECT_EQ(std::make_tuple(texts.writes[1], t[0]),
            std::make_tuple(Bytes{0x81, 0x12, 0x09, 0xAA ^ 0x81 ^ 0x12 ^ 9}, '\0'));
  ASSERT_EQ(ReadMessageText(texts, 0, t), LinkStatus::Ok);
  EXPECT_TRUE(sixteen(t.data()));
  EXPECT_EQ(ReadMessageText(texts, 0, t), LinkStatus::ExchangeFailed);  // a sound reply to another command
  EXPECT_EQ(texts.writes.size(), 4u);
}

TEST(EventBlock, SelectEchoNotReadyPollsAndFailures) {
  ScriptedPort wrongEcho(Script{Sealed({0x81, 0x10, 0x2B, 0x01})});  // K = 0x012B, not 0x012A
  std::uint8_t out[16 * 16] = {};
  ASSERT_EQ(ReadEventBlock(wrongEcho, 0x012A, out, 4), LinkStatus::ExchangeFailed);  // and no fetch
  EXPECT_EQ(std::make_tuple(wrongEcho.writes, wrongEcho.reads[0]),
            std::make_tuple(std::vector<Bytes>{Sealed({0x81, 0x10, 0x2A, 0x01})}, ReadCall(8, 5)));

  const Bytes notReady = Reply(0x00), select0 = Sealed({0x81, 0x10, 0, 0});
  ScriptedPort port(Script{Sealed({0x81, 0x10, 0x05, 0x00}), notReady, notReady, Reply(4, 64)});
  ASSERT_EQ(ReadEventBlock(port, 5, out, 4), LinkStatus::Ok);
  EXPECT_EQ(std::make_tuple(port.writes.size(), port.writes.back(), port.reads[1]),
            std::make_tuple(4u, Bytes{0x81, 0x11, 0x3A}, ReadCall(4 * 16 + 8, 4 * 16 + 3)));
  for (int i = 0; i < 64; ++i) ASSERT_EQ(out[i], 0x10 + i);

  // A panel that stays "not ready": 999 fetches, then 2. A damaged block is a
  // failed attempt, not a poll: three of them end the reading with 8.
  ScriptedPort never(Script(1000, notReady));
  never.replies.front() = select0;
  EXPECT_EQ(ReadEventBlock(never, 0, out, 16), LinkStatus::BlockNotReady);
  EXPECT_EQ(never.writes.size(), 1u + 999u);
  Bytes bad = Reply(2, 32);
  bad.back() ^= 0xFF;
  ScriptedPort damaged(Script{select0, bad, bad, bad, bad, bad});
  EXPECT_EQ(ReadEventBlock(damaged, 0, out, 2), LinkStatus::ExchangeFailed);
  EXPECT_EQ(damaged.writes.size(), 1u + 3u);
}
