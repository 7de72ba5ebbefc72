#include "view/t7k_ev_filter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <vector>

namespace {

CT7KEvent Ev(std::uint16_t code, std::uint8_t b6 = 0, std::uint8_t b10 = 0,
             std::uint32_t stamp = PackTimeStamp(2015, 12, 16, 14, 12, 5)) {
  CT7KEvent ev;
  ev.SetTimeStamp(stamp);
  ev.SetCode(code);
  ev.Raw()[6] = b6;
  ev.Raw()[10] = b10;
  return ev;
}

// Local time of a calendar moment.
std::int64_t Local(int year, int month, int day, int hour = 12, int minute = 0) {
  std::tm tm{};
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  tm.tm_hour = hour;
  tm.tm_min = minute;
  tm.tm_isdst = -1;
  return static_cast<std::int64_t>(std::mktime(&tm));
}

std::vector<std::uint16_t> Admitted(const CT7KEvFilter& f, std::uint8_t b6 = 0, std::uint8_t b10 = 0) {
  std::vector<std::uint16_t> codes;
  for (std::uint16_t code = 0; code <= 14; ++code)
    if (f.Accept(Ev(code, b6, b10))) codes.push_back(code);
  return codes;
}

}  // namespace

TEST(FilterDefaults, AdmitEverythingAndSpanThirtyDays) {
  CT7KEvFilter f;
  EXPECT_EQ(f.m_timeTo - f.m_timeFrom, 2592000);
  EXPECT_LE(std::llabs(f.m_timeTo - static_cast<std::int64_t>(std::time(nullptr))), 5);
  for (std::uint16_t code : {0, 1, 2, 4, 5, 8, 11, 12, 13, 20, 21, 22, 23, 32766, 65535})
    for (std::uint8_t n : {0, 255})
      EXPECT_TRUE(f.Accept(Ev(code, n, n))) << code;
}

TEST(FilterKinds, EachFlagRejectsItsCodesOnly) {
  struct Case {
    std::int32_t CT7KEvFilter::*flag;
    std::vector<std::uint16_t> rejected;
  };
  const Case cases[] = {
      {&CT7KEvFilter::m_bModes, {1, 3, 7, 9}},  {&CT7KEvFilter::m_bDevices, {2, 11}},
      {&CT7KEvFilter::m_bMessages, {4}},        {&CT7KEvFilter::m_bBeams, {5, 8}},
      {&CT7KEvFilter::m_bUnits, {6}},           {&CT7KEvFilter::m_bSlaves, {10, 12}},
  };
  for (const Case& c : cases) {
    CT7KEvFilter f;
    f.*c.flag = 0;
    std::vector<std::uint16_t> expected;
    for (std::uint16_t code = 0; code <= 14; ++code)
      if (std::find(c.rejected.begin(), c.rejected.end(), code) == c.rejected.end())
        expected.push_back(code);
    EXPECT_EQ(Admitted(f), expected) << c.rejected.front();
    EXPECT_TRUE(f.Accept(Ev(22)));
  }
}

TEST(FilterRanges, BeamsDevicesAndTheDustCode) {
  CT7KEvFilter f;
  f.m_nFirstBeam = 3;
  f.m_nLastBeam = 5;
  for (std::uint16_t code : {5, 8}) {
    EXPECT_FALSE(f.Accept(Ev(code, 6))) << code;
    EXPECT_TRUE(f.Accept(Ev(code, 5))) << code;
    EXPECT_TRUE(f.Accept(Ev(code, 3))) << code;
    EXPECT_FALSE(f.Accept(Ev(code, 2))) << code;
  }
  // Code 11 follows the device flag and the beam range on B6.
  EXPECT_TRUE(f.Accept(Ev(11, 4, 200)));
  EXPECT_FALSE(f.Accept(Ev(11, 1, 4)));

  f.m_nFirstDev = 10;
  f.m_nLastDev = 5;  // an empty range
  for (std::uint8_t n : {0, 5, 7, 10, 255}) EXPECT_FALSE(f.Accept(Ev(2, 0, n)));
  f.m_nFirstDev = 10;
  f.m_nLastDev = 12;
  EXPECT_TRUE(f.Accept(Ev(2, 99, 11)));  // the device number is B10
  EXPECT_FALSE(f.Accept(Ev(2, 11, 99)));

  CT7KEvFilter wide;
  wide.m_nLastBeam = 0xFFFFFFFF;
  wide.m_nFirstBeam = 0;
  EXPECT_TRUE(wide.Accept(Ev(5, 255)));
  wide.m_nFirstBeam = 0x80000000;  // compared unsigned: above every byte
  EXPECT_FALSE(wide.Accept(Ev(5, 255)));
}

TEST(FilterPeriod, WholeLocalDaysInclusive) {
  CT7KEvFilter f;
  f.m_bPeriod = 1;
  f.m_timeFrom = Local(2015, 12, 16, 23, 59);
  f.m_timeTo = Local(2015, 12, 16, 0, 1);  // the time of day plays no part
  EXPECT_TRUE(f.Accept(Ev(1, 0, 0, PackTimeStamp(2015, 12, 16, 0, 0, 0))));
  EXPECT_TRUE(f.Accept(Ev(1, 0, 0, PackTimeStamp(2015, 12, 16, 23, 59, 59))));
  EXPECT_FALSE(f.Accept(Ev(1, 0, 0, PackTimeStamp(2015, 12, 17, 0, 0, 0))));
  EXPECT_FALSE(f.Accept(Ev(1, 0, 0, PackTimeStamp(2015, 12, 15, 23, 59, 59))));
  EXPECT_FALSE(f.Accept(Ev(1, 0, 0, 0)));  // stamp 0 is before any real date
  // The period comes first: a kind that is always admitted is still dated.
  EXPECT_FALSE(f.Accept(Ev(22, 0, 0, PackTimeStamp(2016, 1, 1, 0, 0, 0))));
  // New limits take effect at once.
  f.m_timeTo = Local(2016, 1, 1);
  EXPECT_TRUE(f.Accept(Ev(22, 0, 0, PackTimeStamp(2016, 1, 1, 0, 0, 0))));
  f.m_timeFrom = Local(2015, 12, 20);
  EXPECT_FALSE(f.Accept(Ev(1, 0, 0, PackTimeStamp(2015, 12, 16, 0, 0, 0))));
  f.m_bPeriod = 0;
  EXPECT_TRUE(f.Accept(Ev(1, 0, 0, 0)));
}

TEST(FilterPackDate, PacksTheLocalCalendarDate) {
  EXPECT_EQ(CT7KEvFilter::PackDate(Local(2015, 12, 16, 14, 12)), 0x3F200000u);
  EXPECT_EQ(CT7KEvFilter::PackDate(Local(2015, 12, 16, 0, 0)), 0x3F200000u);
  // Before 2000 the year field is 0: the same day and month of 2000.
  EXPECT_EQ(CT7KEvFilter::PackDate(Local(1999, 7, 4)), PackTimeStamp(2000, 7, 4, 0, 0, 0));
  // The year field counts modulo 64.
  EXPECT_EQ(CT7KEvFilter::PackDate(Local(2064, 1, 2)), PackTimeStamp(2000, 1, 2, 0, 0, 0));
}

#ifndef _WIN32
TEST(FilterPackDate, UsesLocalTimeNotUtc) {
  const char* old = std::getenv("TZ");
  const std::string saved = old ? old : "";
  setenv("TZ", "XYZ-3", 1);  // three hours east of UTC, no daylight saving
  tzset();
  // 16/12/2015 22:30 UTC is already the 17th three hours east.
  const std::int64_t t = 1450305000;
  EXPECT_EQ(CT7KEvFilter::PackDate(t), PackTimeStamp(2015, 12, 17, 0, 0, 0));
  if (old)
    setenv("TZ", saved.c_str(), 1);
  else
    unsetenv("TZ");
  tzset();
}
#endif
