// Statistics: counts per kind and per day, the period, the busiest beams and
// devices; bad dates stay out of the days and the period.
#include "lists/event_statistics.h"

#include <gtest/gtest.h>

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
  const std::pair<std::uint32_t, bool> dates[] = {
      {Stamp(2024, 2, 29), true},
      {Stamp(2023, 2, 29), false},  // leap years
      {Stamp(2000, 2, 29), true},
      {Stamp(2024, 4, 31), false},  // 2000 is one; April has 30
      {Stamp(2024, 12, 31, 23, 59, 59), true},
      {Stamp(2024, 13, 1), false},
      {Stamp(2024, 0, 1), false},
      {Stamp(2024, 1, 0), false},
      {Stamp(2024, 1, 1, 24), false},
      {Stamp(2024, 1, 1, 0, 60), false},
      {Stamp(2024, 1, 1, 0, 0, 60), false},
  };
  for (const auto& [stamp, good] : dates) EXPECT_EQ(HasGoodDate(stamp), good) << IsoTime(stamp);

  EXPECT_EQ(CalendarSeconds(Stamp(2000, 1, 1, 0)), 0);
  EXPECT_EQ(CalendarSeconds(Stamp(2001, 1, 1, 0)), 366 * 86400);
  EXPECT_EQ(CalendarSeconds(Stamp(2024, 3, 1, 0)) - CalendarSeconds(Stamp(2024, 2, 28, 0)), 2 * 86400);
  EXPECT_EQ(CalendarSeconds(Stamp(2063, 12, 31, 23, 59, 59)) - CalendarSeconds(Stamp(2063, 1, 1, 0)),
            365 * 86400 - 1);
  EXPECT_EQ(IsoTime(0xFFFFFFFFu), "2063-15-31T31:63:63");
  EXPECT_EQ(IsoTime(0, ' '), "2000-00-00 00:00:00");
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
  EXPECT_EQ(s.events, 6u);
  EXPECT_EQ(s.kinds, (KindCounts{1, 1, 1, 0, 1, 1, 1}));
  EXPECT_EQ(s.first, Stamp(2024, 2, 28, 23, 59, 59));
  EXPECT_EQ(s.last, Stamp(2024, 3, 2, 8));
  ASSERT_EQ(s.days.size(), 3u);
  EXPECT_EQ(s.days[0].date, Stamp(2024, 2, 28, 0));
  EXPECT_EQ(s.days[1].kinds, (KindCounts{0, 0, 0, 0, 1, 0, 1}));
  EXPECT_EQ(s.days[1].newestRow, 2u);  // two events at 09:00: the higher in the list came last
  EXPECT_EQ(s.days[2].Total(), 2u);
  EXPECT_EQ(s.days[2].newestRow, 0u);

  CT7KEventList bad;
  bad.AddTail(MakeEvent(0, 5, {3}));
  const EventStatistics onlyBad = ComputeStatistics(bad);
  EXPECT_EQ(onlyBad.events, 1u);
  EXPECT_FALSE(onlyBad.first || onlyBad.last);
  EXPECT_TRUE(onlyBad.days.empty());
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
  EXPECT_EQ(s.events, 2u);
  EXPECT_EQ(s.first, Stamp(2024, 3, 2));
  EXPECT_EQ(s.topBeams, (std::vector<RankedNumber>{{2, 1}, {4, 1}}));
}
