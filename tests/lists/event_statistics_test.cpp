// The kinds of events, and statistics: counts per kind and per day, the
// period, the busiest beams and devices; bad dates stay out of the days and the
// period.
#include "lists/event_statistics.h"

#include <gtest/gtest.h>

#include "lists/event_kinds.h"
#include "lists/stamp_calendar.h"
#include "tests/lists/list_samples.h"

using namespace logwick;
using namespace logwick::test;

namespace {

CT7KEvent Beam(std::uint8_t beam, std::uint32_t stamp = Stamp(2024, 3, 1)) {
  return MakeEvent(stamp, 5, {beam});
}
CT7KEvent Device(std::uint8_t device, std::uint16_t code = 2) {
  return MakeEvent(Stamp(2024, 3, 1), code, {0, 0, 0, 0, device});
}

}  // namespace

namespace logwick {
void PrintTo(const RankedNumber& r, std::ostream* os) { *os << r.number << ":" << r.events; }
}  // namespace logwick

TEST(StampCalendar, GoodDatesSecondsAndTextAsPacked) {
  // Leap years (2000 is one), the days of April, the end of a year, then each field one past its range.
  std::string good;
  for (std::uint32_t stamp :
       {Stamp(2024, 2, 29), Stamp(2023, 2, 29), Stamp(2000, 2, 29), Stamp(2024, 4, 31),
        Stamp(2024, 12, 31, 23, 59, 59), Stamp(2024, 13, 1), Stamp(2024, 0, 1), Stamp(2024, 1, 0),
        Stamp(2024, 1, 1, 24), Stamp(2024, 1, 1, 0, 60), Stamp(2024, 1, 1, 0, 0, 60)})
    good += HasGoodDate(stamp) ? '+' : '-';
  EXPECT_EQ(good, "+-+-+------");
  EXPECT_EQ(CalendarSeconds(Stamp(2000, 1, 1, 0)), 0);
  EXPECT_EQ(CalendarSeconds(Stamp(2001, 1, 1, 0)), 366 * 86400);
  EXPECT_EQ(CalendarSeconds(Stamp(2024, 3, 1, 0)) - CalendarSeconds(Stamp(2024, 2, 28, 0)), 2 * 86400);
  EXPECT_EQ(CalendarSeconds(Stamp(2063, 12, 31, 23, 59, 59)) - CalendarSeconds(Stamp(2063, 1, 1, 0)),
            365 * 86400 - 1);
  EXPECT_EQ(IsoTime(0xFFFFFFFFu), "2063-15-31T31:63:63");
  EXPECT_EQ(IsoTime(0, ' '), "2000-00-00 00:00:00");
}

// Every code's kind and the beam (B6) or device (B10) it names.
TEST(EventKinds, EveryCodeHasItsKindAndOnlyBeamsAndDevicesNameANumber) {
  std::string got;
  for (std::uint16_t code : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 23, 32766, 65535}) {
    const CT7KEvent ev = MakeEvent(0, code, {6, 7, 8, 9, 40});
    got += std::to_string(code) + ":" + std::string(KindName(KindOf(ev)));
    if (BeamOf(ev)) got += " луч " + std::to_string(*BeamOf(ev));
    if (DeviceOf(ev)) got += " устройство " + std::to_string(*DeviceOf(ev));
    got += ", ";
  }
  EXPECT_EQ(
      got,
      "0:прочие, 1:режимы, 2:устройства устройство 40, 3:режимы, 4:сообщения, 5:лучи луч 6, 6:ПР4545, "
      "7:режимы, 8:лучи луч 6, 9:режимы, 10:ведомые, 11:устройства устройство 40, 12:ведомые, 13:прочие, "
      "23:прочие, 32766:прочие, 65535:прочие, ");
}

TEST(Statistics, KindsPeriodAndDaysLeaveBadDatesOut) {
  CT7KEventList list;
  list.AddTail(MakeEvent(Stamp(2024, 3, 2, 8), 1));
  list.AddTail(MakeEvent(Stamp(2024, 2, 30), 4));  // bad date: counted, but on no day
  list.AddTail(MakeEvent(Stamp(2024, 3, 1, 9), 6));
  list.AddTail(MakeEvent(Stamp(2024, 3, 2, 7), 10));
  list.AddTail(MakeEvent(Stamp(2024, 3, 1, 9), 32767));
  list.AddTail(MakeEvent(Stamp(2024, 2, 28, 23, 59, 59), 2));
  const EventStatistics s = ComputeStatistics(list);
  ASSERT_EQ(std::make_tuple(s.events, s.first, s.last, s.days.size()),
            std::make_tuple(6u, Stamp(2024, 2, 28, 23, 59, 59), Stamp(2024, 3, 2, 8), 3u));
  EXPECT_EQ(s.kinds, (KindCounts{1, 1, 1, 0, 1, 1, 1}));
  EXPECT_EQ(s.days[1].kinds, (KindCounts{0, 0, 0, 0, 1, 0, 1}));
  // Two events at 09:00 on day 1: the higher in the list came last.
  EXPECT_EQ(std::make_tuple(s.days[0].date, s.days[1].newestRow, s.days[2].Total(), s.days[2].newestRow),
            std::make_tuple(Stamp(2024, 2, 28, 0), 2u, 2u, 0u));

  CT7KEventList bad;
  bad.AddTail(MakeEvent(0, 5, {3}));
  const EventStatistics onlyBad = ComputeStatistics(bad);
  EXPECT_TRUE(onlyBad.events == 1 && !onlyBad.first && !onlyBad.last && onlyBad.days.empty());
  EXPECT_EQ(onlyBad.topBeams, (std::vector<RankedNumber>{{3, 1}}));
}

TEST(Statistics, TopTenByEventsThenLowerNumber) {
  CT7KEventList list;
  // Beams 20..31 once each, beam 7 three times, beam 255 twice, beam 0 twice.
  for (std::uint8_t b = 20; b < 32; ++b) list.AddTail(Beam(b));
  for (std::uint8_t b : {7, 255, 7, 0, 255, 7, 0}) list.AddTail(Beam(b));
  list.AddTail(MakeEvent(Stamp(2024, 3, 1), 8, {20}));        // beam flags count for the beam
  list.AddTail(MakeEvent(Stamp(2024, 3, 1), 4, {1, 0, 99}));  // a message names no beam here
  // Devices: state changes and dust levels alike, by B10.
  for (std::uint8_t d : {40, 41, 41}) list.AddTail(Device(d));
  list.AddTail(Device(40, 11));
  list.AddTail(Device(40, 11));
  const EventStatistics s = ComputeStatistics(list);
  const std::vector<RankedNumber> beams = {{7, 3},  {0, 2},  {20, 2}, {255, 2}, {21, 1},
                                           {22, 1}, {23, 1}, {24, 1}, {25, 1},  {26, 1}};
  EXPECT_EQ(s.topBeams, beams);
  EXPECT_EQ(s.topDevices, (std::vector<RankedNumber>{{40, 3}, {41, 2}}));
}

TEST(Statistics, PredicateChoosesTheEvents) {
  CT7KEventList list;
  for (std::uint8_t b = 1; b <= 4; ++b) list.AddTail(Beam(b, Stamp(2024, 3, b)));
  const EventStatistics s = ComputeStatistics(list, [](const CT7KEvent& ev) { return ev.B(6) % 2 == 0; });
  EXPECT_EQ(std::make_tuple(s.events, s.first, s.topBeams),
            std::make_tuple(2u, Stamp(2024, 3, 2), std::vector<RankedNumber>{{2, 1}, {4, 1}}));
}
