// What a list's events are and what they show: their kinds, the filter, the
// statistics (counts per kind and per day, the period, the busiest beams and
// devices; bad dates stay out of the days and the period) and the integrity check.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <vector>

#include "lists/event_kinds.h"
#include "lists/event_statistics.h"
#include "lists/integrity_check.h"
#include "lists/stamp_calendar.h"
#include "lists/t7k_ev_filter.h"
#include "tests/lists/list_samples.h"

using namespace logwick;
using namespace logwick::test;

namespace {

CT7KEvent Ev(std::uint16_t code, std::uint8_t b6 = 0, std::uint8_t b10 = 0,
             std::uint32_t stamp = Stamp(2024, 3, 1)) {
  return MakeEvent(stamp, code, {b6, 0, 0, 0, b10});
}

CT7KEvent At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
  return Ev(1, 0, 0, Stamp(y, mo, d, h, mi, s));
}

std::int64_t Local(int year, int month, int day, int hour = 12, int minute = 0) {
  std::tm tm{.tm_min = minute,
             .tm_hour = hour,
             .tm_mday = day,
             .tm_mon = month - 1,
             .tm_year = year - 1900,
             .tm_isdst = -1};
  return static_cast<std::int64_t>(std::mktime(&tm));
}

// '+' for each event the filter accepts, '-' for each it rejects.
std::string Accepted(const CT7KEvFilter& f, const std::vector<CT7KEvent>& events) {
  std::string out;
  for (const CT7KEvent& ev : events) out += f.Accept(ev) ? '+' : '-';
  return out;
}

// A list read at 2024-06-01 10:00:00 holding the given rows, newest first.
CT7KEventList Rows(const std::vector<std::pair<std::uint32_t, std::uint16_t>>& rows) {
  CT7KEventList list;
  list.m_nReadYear = 2024, list.m_nReadMonth = 6, list.m_nReadDay = 1, list.m_nReadHour = 10;
  for (const auto& [stamp, code] : rows) list.AddTail(MakeEvent(stamp, code));
  return list;
}

std::string Seen(const std::vector<Finding>& findings) {
  std::string out;
  for (const Finding& f : findings)
    out += std::to_string(f.row) + " " + std::string(FindingName(f.kind)) + "; ";
  return out;
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
  for (std::uint8_t b = 20; b < 32; ++b) list.AddTail(Ev(5, b));
  for (std::uint8_t b : {7, 255, 7, 0, 255, 7, 0}) list.AddTail(Ev(5, b));
  list.AddTail(Ev(8, 20));                                    // beam flags count for the beam
  list.AddTail(MakeEvent(Stamp(2024, 3, 1), 4, {1, 0, 99}));  // a message names no beam here
  // Devices: state changes and dust levels alike, by B10.
  for (std::uint8_t d : {40, 41, 41}) list.AddTail(Ev(2, 0, d));
  for (int i = 0; i < 2; ++i) list.AddTail(Ev(11, 0, 40, Stamp(2024, 3, 2 + i)));
  const EventStatistics s = ComputeStatistics(list);
  const std::vector<RankedNumber> beams = {{7, 3},  {0, 2},  {20, 2}, {255, 2}, {21, 1},
                                           {22, 1}, {23, 1}, {24, 1}, {25, 1},  {26, 1}};
  EXPECT_EQ(s.topBeams, beams);
  EXPECT_EQ(s.topDevices, (std::vector<RankedNumber>{{40, 3}, {41, 2}}));
  // A predicate chooses the events, for the period and the rankings alike.
  const EventStatistics dust = ComputeStatistics(list, [](const CT7KEvent& ev) { return ev.Code() == 11; });
  EXPECT_EQ(std::make_tuple(dust.events, dust.first, dust.topBeams.size(), dust.topDevices),
            std::make_tuple(2u, Stamp(2024, 3, 2), 0u, std::vector<RankedNumber>{{40, 2}}));
}

TEST(Filter, DefaultsAdmitEverythingAndEachFlagRejectsItsCodesOnly) {
  CT7KEvFilter defaults;
  EXPECT_EQ(defaults.m_timeTo - defaults.m_timeFrom, 2592000);
  EXPECT_LE(std::llabs(defaults.m_timeTo - static_cast<std::int64_t>(std::time(nullptr))), 5);
  for (std::uint16_t code : {0, 2, 5, 11, 13, 20, 32766, 65535})
    EXPECT_TRUE(defaults.Accept(Ev(code, 255, 255)));
  std::vector<CT7KEvent> codes;  // 0 .. 23
  for (std::uint16_t code = 0; code <= 23; ++code) codes.push_back(Ev(code));
  const std::pair<std::int32_t CT7KEvFilter::*, std::string> cases[] = {
      {&CT7KEvFilter::m_bModes, "+-+-+++-+-++++++++++++++"},    // codes 1, 3, 7, 9
      {&CT7KEvFilter::m_bDevices, "++-++++++++-++++++++++++"},  // devices (2) and their dust levels (11)
      {&CT7KEvFilter::m_bMessages, "++++-+++++++++++++++++++"},
      {&CT7KEvFilter::m_bBeams, "+++++-++-+++++++++++++++"},   // beams (5) and their flags (8)
      {&CT7KEvFilter::m_bUnits, "++++++-+++++++++++++++++"},   // ПР4545 units
      {&CT7KEvFilter::m_bSlaves, "++++++++++-+-+++++++++++"},  // slave panels: 10, 12
  };
  for (const auto& [flag, accepted] : cases) {
    CT7KEvFilter f;
    f.*flag = 0;
    EXPECT_EQ(Accepted(f, codes), accepted);
  }
}

TEST(Filter, BeamAndDeviceRanges) {
  CT7KEvFilter f;
  f.m_nFirstBeam = 3, f.m_nLastBeam = 5;
  for (std::uint16_t code : {5, 8, 11})  // code 11 takes the beam range too
    EXPECT_EQ(Accepted(f, {Ev(code, 2), Ev(code, 3, 200), Ev(code, 5), Ev(code, 6, 4)}), "-++-") << code;
  f.m_nFirstDev = 10, f.m_nLastDev = 5;  // an empty range
  EXPECT_EQ(Accepted(f, {Ev(2, 0, 5), Ev(2, 0, 7), Ev(2, 0, 10)}), "---");
  f.m_nLastDev = 12;
  EXPECT_EQ(Accepted(f, {Ev(2, 99, 11), Ev(2, 11, 99)}), "+-");  // the device number is B10
  f.m_nFirstBeam = 0x80000000, f.m_nLastBeam = 0xFFFFFFFF;       // compared unsigned
  EXPECT_FALSE(f.Accept(Ev(5, 255)));
}

TEST(Filter, PeriodOfWholeLocalDaysAndPackDate) {
  CT7KEvFilter f;
  f.m_bPeriod = 1, f.m_timeFrom = Local(2015, 12, 16, 23, 59);
  f.m_timeTo = Local(2015, 12, 16, 0, 1);  // the time of day plays no part
  // Code 22 is dated first.
  EXPECT_EQ(Accepted(f, {At(2015, 12, 16, 0, 0, 0), At(2015, 12, 16, 23, 59, 59), At(2015, 12, 17),
                         At(2015, 12, 15, 23, 59, 59), Ev(22, 0, 0, PackTimeStamp(2016, 1, 1, 0, 0, 0))}),
            "++---");
  f.m_timeTo = Local(2016, 1, 1);  // new limits take effect at once
  EXPECT_TRUE(f.Accept(At(2016, 1, 1)));
  f.m_timeFrom = Local(2015, 12, 20);
  EXPECT_FALSE(f.Accept(At(2015, 12, 16)));
  EXPECT_EQ(CT7KEvFilter::PackDate(Local(2015, 12, 16, 14, 12)), 0x3F200000u);
  EXPECT_EQ(CT7KEvFilter::PackDate(Local(1999, 7, 4)), PackTimeStamp(2000, 7, 4, 0, 0, 0));
  EXPECT_EQ(CT7KEvFilter::PackDate(Local(2064, 1, 2)), PackTimeStamp(2000, 1, 2, 0, 0, 0));
#ifndef _WIN32
  // Local time, not UTC: 16/12/2015 22:30 UTC is the 17th three hours east.
  const char* old = std::getenv("TZ");
  const std::string saved = old ? old : "";
  setenv("TZ", "XYZ-3", 1);
  tzset();
  const std::uint32_t packed = CT7KEvFilter::PackDate(1450305000);
  old ? setenv("TZ", saved.c_str(), 1) : unsetenv("TZ");
  tzset();
  EXPECT_EQ(packed, PackTimeStamp(2015, 12, 17, 0, 0, 0));
#endif
}

TEST(Integrity, EachKindOnItsRowInOrder) {
  const CT7KEventList list = Rows({
      {Stamp(2024, 13, 1), 0},             // 0: bad month, stamp below the next: backwards, bad, unknown
      {Stamp(2025, 1, 1), 32766},          // 1: after the read time, 40 days after row 2, read error
      {Stamp(2024, 11, 22), 1},            // 2: after the read time
      {Stamp(2024, 5, 31, 10), 32767},     // 3: before the read time
      {Stamp(2024, 5, 31, 10, 0, 1), 14},  // 4: one second later than row 3, code 14
      {Stamp(2024, 5, 1), 24},             // 5: last row: no pair
  });
  const std::vector<Finding> findings = CheckIntegrity(list);
  EXPECT_EQ(Seen(findings),
            "0 time-backwards; 0 bad-date; 0 unknown-code; 1 future; 1 gap; 1 read-error; 2 future; 2 gap; "
            "3 time-backwards; 3 no-information; 4 unknown-code; 5 unknown-code; ");
  EXPECT_EQ(std::make_pair(findings[0].time, findings.back().time),
            std::make_pair(Stamp(2024, 13, 1), Stamp(2024, 5, 1)));
}

TEST(Integrity, GapBoundariesAndPairsThatAreNoGap) {
  const std::pair<std::uint32_t, std::uint32_t> pairs[] = {
      {Stamp(2024, 3, 31, 8), Stamp(2024, 3, 1, 8)},        // exactly 30 days
      {Stamp(2024, 3, 31, 8, 0, 1), Stamp(2024, 3, 1, 8)},  // one second more
      {Stamp(2024, 3, 30, 0), Stamp(2024, 2, 28, 0)},       // 31 days: 2024 has 29 February
      {Stamp(2023, 3, 30, 0), Stamp(2023, 2, 28, 0)},       // 30 days in 2023
      {Stamp(2024, 1, 15), Stamp(2023, 12, 1)},             // across a year
      {Stamp(2024, 1, 1), Stamp(2024, 5, 1)},               // backwards
      {Stamp(2024, 2, 30), Stamp(2023, 1, 1)},              // bad newer date
      {Stamp(2024, 5, 1), Stamp(2024, 1, 1, 24)},           // bad older date
  };
  std::string gaps;
  for (const auto& [newer, older] : pairs)
    gaps +=
        Seen(CheckIntegrity(Rows({{newer, 1}, {older, 1}}))).find("0 gap;") != std::string::npos ? '+' : '-';
  EXPECT_EQ(gaps, "-++-+---");
  const CT7KEventList week = Rows({{Stamp(2024, 3, 8, 12, 0, 1), 1}, {Stamp(2024, 3, 1), 1}});
  EXPECT_EQ(Seen(CheckIntegrity(week, {}, {7})), "0 gap; ");
  EXPECT_TRUE(CheckIntegrity(week, {}, {8}).empty());
}

TEST(Integrity, FutureNeedsAReadTimeAndAGoodDateAndThePredicateChoosesRows) {
  CT7KEventList list = Rows({{Stamp(2024, 6, 1, 10, 0, 1), 1}, {Stamp(2024, 6, 1, 10), 1}});
  EXPECT_EQ(Seen(CheckIntegrity(list)), "0 future; ");  // the read second itself is not
  list.m_nReadYear = list.m_nReadMonth = list.m_nReadDay = list.m_nReadHour = 0;
  EXPECT_TRUE(CheckIntegrity(list).empty());  // never read: nothing is in its future
  list.m_nReadYear = 2024;                    // a read time that is not all zero counts, however odd
  EXPECT_EQ(Seen(CheckIntegrity(list)), "0 future; 1 future; ");
  EXPECT_EQ(Seen(CheckIntegrity(Rows({{0xFFFFFFFFu, 1}}))), "0 bad-date; ");
  // A predicate chooses the rows: without the middle row, rows 0 and 2 are a pair 40 days apart.
  const CT7KEventList three =
      Rows({{Stamp(2024, 5, 10), 1}, {Stamp(2024, 4, 20), 0}, {Stamp(2024, 3, 31), 1}});
  EXPECT_EQ(Seen(CheckIntegrity(three)), "1 unknown-code; ");
  EXPECT_EQ(Seen(CheckIntegrity(three, [](const CT7KEvent& ev) { return ev.Code() != 0; })), "0 gap; ");
}
