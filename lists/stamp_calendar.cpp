#include "lists/stamp_calendar.h"

namespace logwick {
namespace {

constexpr std::int64_t kSecondsPerDay = 86400;

bool IsLeapYear(int y) { return y % 4 == 0 && (y % 100 != 0 || y % 400 == 0); }

// Days from 2000-01-01 to the first day of year y (y >= 2000).
std::int64_t DaysBeforeYear(int y) {
  const int years = y - 2000;
  // 2000 is a leap year, so every fourth year from it is one, less the
  // centuries that are not (2100 lies past the packed range).
  return 365LL * years + (years + 3) / 4;
}

// Writes two digits of v (0-99) at p.
void Put2(char* p, int v) {
  p[0] = static_cast<char>('0' + v / 10);
  p[1] = static_cast<char>('0' + v % 10);
}

// "YYYY-MM-DD" and, when between is not 0, between and "HH:MM:SS", appended
// in one piece: reports write one per event.
void AppendIso(std::string& out, std::uint32_t stamp, char between) {
  const PackedTimeFields f = UnpackTimeStamp(stamp);
  char text[19] = {'2', '0', 0, 0, '-', 0, 0, '-', 0, 0, 0, 0, 0, ':', 0, 0, ':', 0, 0};
  Put2(text + 2, f.year);
  Put2(text + 5, f.month);
  Put2(text + 8, f.day);
  if (!between) {
    out.append(text, 10);
    return;
  }
  text[10] = between;
  Put2(text + 11, f.hour);
  Put2(text + 14, f.minute);
  Put2(text + 17, f.second);
  out.append(text, sizeof text);
}

}  // namespace

int DaysInMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool HasGoodDate(std::uint32_t stamp) {
  const PackedTimeFields f = UnpackTimeStamp(stamp);
  return f.day >= 1 && f.day <= DaysInMonth(2000 + f.year, f.month) && f.hour <= 23 && f.minute <= 59 &&
         f.second <= 59;
}

std::int64_t CalendarSeconds(std::uint32_t stamp) {
  const PackedTimeFields f = UnpackTimeStamp(stamp);
  const int year = 2000 + f.year;
  std::int64_t days = DaysBeforeYear(year) + f.day - 1;
  for (int m = 1; m < f.month && m <= 12; ++m) days += DaysInMonth(year, m);
  return days * kSecondsPerDay + f.hour * 3600 + f.minute * 60 + f.second;
}

void AppendIsoDate(std::string& out, std::uint32_t stamp) { AppendIso(out, stamp, 0); }

void AppendIsoTime(std::string& out, std::uint32_t stamp, char between) { AppendIso(out, stamp, between); }

std::string IsoTime(std::uint32_t stamp, char between) {
  std::string s;
  s.reserve(19);
  AppendIsoTime(s, stamp, between);
  return s;
}

}  // namespace logwick
