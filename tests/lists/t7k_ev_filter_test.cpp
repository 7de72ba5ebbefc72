#include "lists/t7k_ev_filter.h"
#include "tests/events/event_builder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <vector>

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
  std::tm tm{};
  tm.tm_year = year - 1900;
  tm.tm_mon = month - 1;
  tm.tm_mday = day;
  tm.tm_hour = hour;
  tm.tm_min = minute;
  tm.tm_isdst = -1;
  return static_cast<std::int64_t>(std::mktime(&tm));
}

}  // namespace

TEST(Filter, DefaultsAdmitEverythingAndEachFlagRejectsItsCodesOnly) {
  CT7KEvFilter defaults;
  EXPECT_EQ(defaults.m_timeTo - defaults.m_timeFrom, 2592000);
  EXPECT_LE(std::llabs(defaults.m_timeTo - static_cast<std::int64_t>(std::time(nullptr))), 5);
  for (std::uint16_t code : {0, 2, 5, 11, 13, 20, 32766, 65535})
    EXPECT_TRUE(defaults.Accept(Ev(code, 255, 255)));
  const std::pair<std::int32_t CT7KEvFilter::*, std::vector<std::uint16_t>> cases[] = {
      {&CT7KEvFilter::m_bModes, {1, 3, 7, 9}},  // the flag and the codes it rejects
      {&CT7KEvFilter::m_bDevices, {2, 11}},     // devices and their dust levels
      {&CT7KEvFilter::m_bMessages, {4}},        // messages
      {&CT7KEvFilter::m_bBeams, {5, 8}},        // beams and their flags
      {&CT7KEvFilter::m_bUnits, {6}},           // ПР4545 units
      {&CT7KEvFilter::m_bSlaves, {10, 12}},     // slave panels
  };
  for (const auto& [flag, rejected] : cases) {
    CT7KEvFilter f;
    f.*flag = 0;
    for (std::uint16_t code = 0; code <= 23; ++code)
      EXPECT_EQ(f.Accept(Ev(code)), std::find(rejected.begin(), rejected.end(), code) == rejected.end())
          << code;
  }
}

TEST(Filter, BeamAndDeviceRanges) {
  CT7KEvFilter f;
  f.m_nFirstBeam = 3;
  f.m_nLastBeam = 5;
  for (std::uint16_t code : {5, 8, 11}) {  // code 11 takes the beam range too
    EXPECT_FALSE(f.Accept(Ev(code, 2))) << code;
    EXPECT_TRUE(f.Accept(Ev(code, 3, 200))) << code;
    EXPECT_TRUE(f.Accept(Ev(code, 5))) << code;
    EXPECT_FALSE(f.Accept(Ev(code, 6, 4))) << code;
  }
  f.m_nFirstDev = 10;  // an empty range
  f.m_nLastDev = 5;
  for (std::uint8_t n : {5, 7, 10}) EXPECT_FALSE(f.Accept(Ev(2, 0, n)));
  f.m_nLastDev = 12;
  EXPECT_TRUE(f.Accept(Ev(2, 99, 11)));  // the device number is B10
  EXPECT_FALSE(f.Accept(Ev(2, 11, 99)));
  f.m_nFirstBeam = 0x80000000;  // compared unsigned
  f.m_nLastBeam = 0xFFFFFFFF;
  EXPECT_FALSE(f.Accept(Ev(5, 255)));
}

TEST(Filter, PeriodOfWholeLocalDays) {
  CT7KEvFilter f;
  f.m_bPeriod = 1;
  f.m_timeFrom = Local(2015, 12, 16, 23, 59);
  f.m_timeTo = Local(2015, 12, 16, 0, 1);  // the time of day plays no part
  EXPECT_TRUE(f.Accept(At(2015, 12, 16, 0, 0, 0)));
  EXPECT_TRUE(f.Accept(At(2015, 12, 16, 23, 59, 59)));
  EXPECT_FALSE(f.Accept(At(2015, 12, 17)));
  EXPECT_FALSE(f.Accept(At(2015, 12, 15, 23, 59, 59)));
  EXPECT_FALSE(f.Accept(Ev(22, 0, 0, PackTimeStamp(2016, 1, 1, 0, 0, 0))));  // dated first
  f.m_timeTo = Local(2016, 1, 1);                                            // new limits take effect at once
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
