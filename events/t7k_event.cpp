#include "events/t7k_event.h"

namespace {

// Two digits with a leading zero; the packed fields never exceed 63.
void Put2(std::string& out, unsigned v) {
  out += static_cast<char>('0' + v / 10);
  out += static_cast<char>('0' + v % 10);
}

}  // namespace

void CT7KEvent::AppendTimeText(std::string& out) const {
  const std::uint32_t t = TimeStamp();
  Put2(out, (t >> 17) & 31);
  out += '/';
  Put2(out, (t >> 22) & 15);
  out += "/20";
  Put2(out, (t >> 26) & 63);
  out += ' ';
  Put2(out, (t >> 12) & 31);
  out += ':';
  Put2(out, (t >> 6) & 63);
  out += ':';
  Put2(out, t & 63);
}

std::string CT7KEvent::GetTimeText() const {
  std::string s;
  s.reserve(19);
  AppendTimeText(s);
  return s;
}

std::string CT7KEvent::GetText(const std::vector<std::string>& texts) const {
  std::string s;
  AppendText(s, texts);
  return s;
}

std::uint32_t PackTimeStamp(int year, int month, int day, int hour, int minute, int second) {
  auto f = [](int v, unsigned mask) { return static_cast<std::uint32_t>(v) & mask; };
  return (f(year - 2000, 63) << 26) | (f(month, 15) << 22) | (f(day, 31) << 17) | (f(hour, 31) << 12) |
         (f(minute, 63) << 6) | f(second, 63);
}
