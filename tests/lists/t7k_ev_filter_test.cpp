#include "lists/t7k_ev_filter.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <vector>

#include "tests/events/event_builder.h"

namespace {

// An event of code `code` with beam byte B6 and device byte B10.
CT7KEvent Ev(std::uint16_t code, std::uint8_t b6 = 0, std::uint8_t b10 = 0,
             std::uint32_t stamp = PackTimeStamp(2015, 12, 16, 14, 12, 5)) {
  return logwick::test::MakeEvent(stamp, code, {b6, 0, 0, 0, b10});
}

CT7KEvent At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
  return Ev(1, 0, 0, PackTimeStamp(y, mo, d, h, mi, s));
}

std::int64_t Local(int year, int month, int day, int hour = 12, int minute = 0) {
  std::tm tm{.tm_min = minute, .tm_hour = hour, .tm_mday = day, .tm_mon = month - 1, .tm_year = year - 1900};
  tm.tm_isdst = -1;
  return static_cast<std::int64_t>(std::mktime(&tm));
}

// '+' for each event the filter accepts, '-' for each it rejects.
std::string Accepted(const CT7KEvFilter& f, const std::vector<CT7KEvent>& events) {
  std::string out;
  for (const CT7KEvent& ev : events) out += f.Accept(ev) ? '+' : '-';
  return out;
}

}  // namespace

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
  f.m_nFirstBeam = 3;
  f.m_nLastBeam = 5;
  for (std::uint16_t code : {5, 8, 11})  // code 11 takes the beam range too
    EXPECT_EQ(Accepted(f, {Ev(code, 2), Ev(code, 3, 200), Ev(code, 5), Ev(code, 6, 4)}), "-++-") << code;
  f.m_nFirstDev = 10;  // an empty range
  f.m_nLastDev = 5;
  EXPECT_EQ(Accepted(f, {Ev(2, 0, 5), Ev(2, 0, 7), Ev(2, 0, 10)}), "---");
  f.m_nLastDev = 12;
  EXPECT_EQ(Accepted(f, {Ev(2, 99, 11), Ev(2, 11, 99)}), "+-");  // the device number is B10
  f.m_nFirstBeam = 0x80000000;                                   // compared unsigned
  f.m_nLastBeam = 0xFFFFFFFF;
  EXPECT_FALSE(f.Accept(Ev(5, 255)));
}

TEST(Filter, PeriodOfWholeLocalDays) {
  CT7KEvFilter f;
  f.m_bPeriod = 1;
  f.m_timeFrom = Local(2015, 12, 16, 23, 59);
  f.m_timeTo = Local(2015, 12, 16, 0, 1);  // the time of day plays no part
  // Code 22 is dated first.
  EXPECT_EQ(Accepted(f, {At(2015, 12, 16, 0, 0, 0), At(2015, 12, 16, 23, 59, 59), At(2015, 12, 17),
                         At(2015, 12, 15, 23, 59, 59), Ev(22, 0, 0, PackTimeStamp(2016, 1, 1, 0, 0, 0))}),
            "++---");
  f.m_timeTo = Local(2016, 1, 1);  // new limits take effect at once
  EXPECT_TRUE(f.Accept(At(2016, 1, 1)));
  f.m_timeFrom = Local(2015, 12, 20);
  EXPECT_FALSE(f.Accept(At(2015, 12, 16)));
}

TEST(Filter, PackDate) {
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
