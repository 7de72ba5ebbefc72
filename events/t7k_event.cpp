#include "events/t7k_event.h"

namespace {

// Two digits with a leading zero; the packed fields never exceed 63.
void Put2(std::string& out, int v) {
  out += static_cast<char>('0' + v / 10);
  out += static_cast<char>('0' + v % 10);
}

}  // namespace

void CT7KEvent::AppendTimeText(std::string& out) const {
  const PackedTimeFields t = UnpackTimeStamp(TimeStamp());
  Put2(out, t.day);
  out += '/';
  Put2(out, t.month);
  out += "/20";
  Put2(out, t.year);
  out += ' ';
  Put2(out, t.hour);
  out += ':';
  Put2(out, t.minute);
  out += ':';
  Put2(out, t.second);
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
