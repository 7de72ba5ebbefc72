#include "sim/event_generator.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <string_view>

#include "events/device_texts.h"
#include "events/little_endian.h"

namespace logwick {
namespace {

// ---- randomness that is the same on every compiler and library ----

class SampleRandom {
 public:
  explicit SampleRandom(std::uint32_t seed) : m_state(0x9E3779B97F4A7C15ull ^ seed) {}

  std::uint64_t Next() {  // splitmix64
    std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // Uniform in [lo, hi]; the modulo bias is far below anything a sample shows.
  std::uint32_t Between(std::uint32_t lo, std::uint32_t hi) {
    return lo + static_cast<std::uint32_t>((Next() >> 16) % (std::uint64_t{hi} - lo + 1));
  }
  std::uint8_t Byte(std::uint32_t lo, std::uint32_t hi) { return static_cast<std::uint8_t>(Between(lo, hi)); }
  bool Percent(std::uint32_t p) { return Between(0, 99) < p; }
  template <class T, std::size_t N>
  const T& Pick(const std::array<T, N>& items) {
    return items[Between(0, N - 1)];
  }

 private:
  std::uint64_t m_state;
};

// ---- building events ----

CT7KEvent MakeEvent(std::uint16_t code, std::initializer_list<std::uint8_t> params = {}) {
  CT7KEvent ev;
  ev.SetCode(code);
  std::size_t at = 6;
  for (std::uint8_t b : params) {
    if (at >= CT7KEvent::kSize) break;
    ev.Raw()[at++] = b;
  }
  return ev;
}

void Put16(CT7KEvent& ev, std::size_t at, std::uint16_t v) { WriteLe16(ev.Raw().data() + at, v); }

void Put32(CT7KEvent& ev, std::size_t at, std::uint32_t v) { WriteLe32(ev.Raw().data() + at, v); }

// Code 2: device serial, number, new and previous state, link/blocked flags.
CT7KEvent MakeDeviceEvent(std::uint32_t serial, std::uint8_t number, std::uint8_t now, std::uint8_t before,
                          std::uint8_t flags) {
  CT7KEvent ev = MakeEvent(2);
  Put32(ev, 6, serial);
  ev.Raw()[10] = number;
  ev.Raw()[11] = now;
  ev.Raw()[12] = before;
  ev.Raw()[13] = flags;
  return ev;
}

// Code 6/9/10 carry two 32-bit words at offsets 8 and 12.
CT7KEvent MakeWordsEvent(std::uint16_t code, std::uint8_t b6, std::uint8_t b7, std::uint32_t d8,
                         std::uint32_t d12) {
  CT7KEvent ev = MakeEvent(code, {b6, b7});
  Put32(ev, 8, d8);
  Put32(ev, 12, d12);
  return ev;
}

// Code 2 flag bits: link now, link before, blocked now, blocked before.
constexpr std::uint8_t kLinked = 0x03;

// ---- addressable devices ----

// How often random events pick each range of kSerialClassRanges.
constexpr std::array<int, kSerialClassRanges.size()> kRangeWeights = {
    1, 12, 20, 10, 1, 1, 6, 6, 10, 8, 4, 3, 1, 4, 3, 4, 1,
};

std::uint32_t RandomSerial(SampleRandom& rnd) {
  int total = 0;
  for (int weight : kRangeWeights) total += weight;
  int pick = static_cast<int>(rnd.Between(0, static_cast<std::uint32_t>(total - 1)));
  for (std::size_t i = 0; i < kRangeWeights.size(); ++i) {
    const SerialClassRange& r = kSerialClassRanges[i];
    if (pick < kRangeWeights[i]) return rnd.Between(r.first, r.last);
    pick -= kRangeWeights[i];
  }
  return kSerialClassRanges[1].first;
}

// One serial of every device class, taken from the middle of its first range.
std::vector<std::uint32_t> SerialPerClass() {
  std::vector<std::uint32_t> serials;
  std::array<bool, 14> seen{};
  for (const SerialClassRange& r : kSerialClassRanges) {
    const auto deviceClass = static_cast<std::size_t>(r.deviceClass);
    if (seen[deviceClass]) continue;
    seen[deviceClass] = true;
    serials.push_back(r.first + (r.last - r.first) / 2);
  }
  return serials;
}

// Every state any class names, and a value of each numeric branch of the smoke
// (dust 0.0x, 0.xx dB/m) and heat (temperature, rate of rise) detectors.
constexpr std::array<std::uint8_t, 21> kProbeStates = {
    2, 4, 7, 25, 52, 67, 68, 249, 250, 251, 252, 254, 5, 15, 45, 90, 91, 10, 239, 240, 26,
};

std::uint8_t PlausibleState(SampleRandom& rnd, int deviceClass) {
  static constexpr std::array<std::uint8_t, 10> kTableStates = {25, 25, 25, 67, 4, 7, 2, 52, 68, 249};
  switch (deviceClass) {
    case 7:
    case 8:  // smoke: mostly a sensitivity reading, now and then an action
      return rnd.Percent(85) ? rnd.Byte(12, 70) : rnd.Pick(std::array<std::uint8_t, 4>{2, 250, 252, 254});
    case 9: {  // heat: 15-90 degrees, the odd rate-of-rise alarm
      const std::uint8_t temperature = rnd.Byte(15, 90);
      return static_cast<std::uint8_t>(((temperature + 70) & 0xFE) | (rnd.Percent(5) ? 1 : 0));
    }
    default:
      return rnd.Pick(kTableStates);
  }
}

std::uint8_t PlausibleDeviceFlags(SampleRandom& rnd) {
  const std::uint32_t roll = rnd.Between(0, 99);
  if (roll < 88) return kLinked;
  if (roll < 93) return 0x02;            // link lost
  if (roll < 97) return 0x01;            // link back
  return rnd.Percent(50) ? 0x07 : 0x0B;  // blocked, unblocked
}

// ---- the walk through every sentence ----

void AddModeEvents(std::vector<CT7KEvent>& out) {
  for (int mode = 0; mode <= 33; ++mode) out.push_back(MakeEvent(1, {static_cast<std::uint8_t>(mode)}));
  out.push_back(MakeEvent(1, {255}));
}

void AddDeviceEvents(std::vector<CT7KEvent>& out) {
  std::uint8_t number = 1;
  const std::vector<std::uint32_t> serials = SerialPerClass();
  for (std::uint32_t serial : serials) {
    for (std::uint8_t state : kProbeStates) {
      out.push_back(MakeDeviceEvent(serial, number, state, 25, kLinked));
      number = static_cast<std::uint8_t>(number % 127 + 1);
    }
  }
  const std::uint32_t serial = serials.front();
  out.push_back(MakeDeviceEvent(serial, 1, 25, 4, 0x07));                      // blocked now
  out.push_back(MakeDeviceEvent(serial, 1, 25, 4, 0x0B));                      // blocked before
  out.push_back(MakeDeviceEvent(serial, 2, 25, 4, 0x02));                      // link lost
  out.push_back(MakeDeviceEvent(serial, 2, 25, 4, 0x01));                      // link back
  out.push_back(MakeDeviceEvent(serial, 3, 25, 4, 0x04));                      // blocked, no link
  out.push_back(MakeDeviceEvent(0x01000000u | 12000001u, 4, 25, 4, kLinked));  // high byte set
}

void AddLineEvents(std::vector<CT7KEvent>& out) {
  static constexpr std::array<std::array<std::uint8_t, 2>, 15> kCases = {{
      {1, 0},
      {0, 1},
      {2, 0},
      {0, 2},
      {3, 0},
      {0, 3},
      {4, 0},
      {0, 4},
      {8, 0},
      {0, 8},
      {1, 2},     // both overloads changed, only one set
      {5, 0},     // two conditions at once
      {7, 7},     // nothing changed
      {0x10, 0},  // a bit the panel does not name
      {0x0F, 0x0E},
  }};
  for (const auto& c : kCases) out.push_back(MakeEvent(3, {c[0], c[1]}));
}

void AddMessageEvents(std::vector<CT7KEvent>& out) {
  for (std::uint8_t message : {0, 1, 2, 3, 15, 16, 200, 255}) {
    CT7KEvent ev = MakeEvent(4, {message});
    Put16(ev, 8, static_cast<std::uint16_t>(message % 64 + 1));
    out.push_back(ev);
  }
  out.push_back(MakeEvent(5, {12}));
}

void AddUnitEvents(std::vector<CT7KEvent>& out) {
  for (std::uint8_t action = 0; action <= 8; ++action)
    out.push_back(MakeWordsEvent(6, action, 3, (1u << 0) | (1u << 17), 0));
  out.push_back(MakeWordsEvent(6, 255, 1, 0, 0));
  out.push_back(MakeWordsEvent(6, 5, 1, 0x0000'0010u, 0));             // fifth key, button 4
  out.push_back(MakeWordsEvent(6, 5, 2, 0x0004'0006u, 0x0000'0002u));  // key 3
  out.push_back(MakeWordsEvent(6, 5, 2, 0x0000'0001u, 0x0000'0001u));  // keyboard locked
  out.push_back(MakeWordsEvent(6, 6, 4, 0x8000'0000u, 0));             // button 31
  out.push_back(MakeWordsEvent(6, 6, 4, 0, 0));                        // no button
}

void AddKeyEvents(std::vector<CT7KEvent>& out) {
  for (std::uint8_t known : {0, 1})
    for (std::uint8_t place : {0, 1, 2}) out.push_back(MakeEvent(7, {known, 4, place, 0}));
  out.push_back(MakeEvent(7, {1, 255, 1, 8}));
  out.push_back(MakeEvent(7, {1, 0, 1, 20}));
}

void AddFlagEvents(std::vector<CT7KEvent>& out) {
  out.push_back(MakeEvent(8, {7, 0x05, 0x00}));
  out.push_back(MakeEvent(8, {64, 0xFF, 0x7F}));
  out.push_back(MakeWordsEvent(9, 0, 0, 0x1, 0x8));
  out.push_back(MakeWordsEvent(9, 0, 0, 0xFFFFFFFFu, 0));
  for (std::uint8_t link : {0, 1, 2, 3}) out.push_back(MakeWordsEvent(10, 2, link, 0x9, 0x8));
}

void AddOtherPanelEvents(std::vector<CT7KEvent>& out) {
  out.push_back(MakeEvent(11, {0, 0, 0, 0, 17, 23, 21}));
  out.push_back(MakeEvent(11, {0, 0, 0, 0, 255, 255, 0}));
  out.push_back(MakeEvent(12, {0, 0, 0, 0, 0, 0, 3}));
  for (std::uint8_t state : {0, 1, 2, 3, 4, 255}) out.push_back(MakeEvent(13, {1, state}));
}

void AddModuleEvents(std::vector<CT7KEvent>& out) {
  for (std::uint16_t code : {20, 21}) {
    for (std::uint8_t action = 0; action <= 8; ++action) out.push_back(MakeEvent(code, {action, 5, 0, 4, 1}));
    for (std::uint8_t state = 0; state <= 7; ++state)
      out.push_back(MakeEvent(code, {7, 12, 3, state, static_cast<std::uint8_t>(7 - state)}));
    out.push_back(MakeEvent(code, {7, 123, 255, 255, 1}));
  }
  for (std::uint8_t action = 0; action <= 3; ++action) out.push_back(MakeEvent(22, {action, 7}));
  out.push_back(MakeEvent(22, {1, 255}));
  for (std::uint8_t action = 0; action <= 7; ++action) out.push_back(MakeEvent(23, {action, 9, 1}));
  out.push_back(MakeEvent(23, {255, 9, 1}));
}

void AddSpecialCodes(std::vector<CT7KEvent>& out) {
  for (std::uint16_t code : {0x7FFE, 0x7FFF, 0, 14, 19, 24, 0x8000, 0xFFFF})
    out.push_back(MakeEvent(code, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
}

std::vector<CT7KEvent> CoverageEvents() {
  std::vector<CT7KEvent> out;
  AddModeEvents(out);
  AddDeviceEvents(out);
  AddLineEvents(out);
  AddMessageEvents(out);
  AddUnitEvents(out);
  AddKeyEvents(out);
  AddFlagEvents(out);
  AddOtherPanelEvents(out);
  AddModuleEvents(out);
  AddSpecialCodes(out);
  return out;
}

// ---- random events ----

struct CodeWeight {
  std::uint16_t code;
  int weight;  // per mille
};
// Device changes and messages dominate a real log; read errors and invalid
// codes appear only now and then.
constexpr std::array<CodeWeight, 20> kCodeWeights = {{
    {2, 300}, {4, 120}, {1, 100}, {8, 80},  {20, 60}, {21, 40}, {7, 50},  {6, 40},     {3, 30},     {5, 30},
    {11, 30}, {10, 30}, {13, 20}, {23, 20}, {9, 20},  {12, 10}, {22, 10}, {0x7FFE, 3}, {0x7FFF, 4}, {0, 3},
}};

std::uint16_t RandomCode(SampleRandom& rnd) {
  int pick = static_cast<int>(rnd.Between(0, 999));
  for (const CodeWeight& w : kCodeWeights) {
    if (pick < w.weight) return w.code;
    pick -= w.weight;
  }
  return 2;
}

// A changed bit of a small flag set: the new value and the old one.
std::array<std::uint8_t, 2> ToggleOneBit(SampleRandom& rnd, std::uint8_t bits, int width) {
  const std::uint8_t before = rnd.Byte(0, (1u << width) - 1) & bits;
  const auto now = static_cast<std::uint8_t>(before ^ (1u << rnd.Between(0, width - 1)));
  return {now, before};
}

CT7KEvent RandomEvent(SampleRandom& rnd) {
  const std::uint16_t code = RandomCode(rnd);
  const std::uint8_t beam = rnd.Byte(1, 64);
  switch (code) {
    case 1:
      return MakeEvent(1, {rnd.Byte(0, 31)});
    case 2: {
      const std::uint32_t serial = RandomSerial(rnd);
      const int deviceClass = DeviceClassOf(serial);
      return MakeDeviceEvent(serial, rnd.Byte(1, 127), PlausibleState(rnd, deviceClass),
                             PlausibleState(rnd, deviceClass), PlausibleDeviceFlags(rnd));
    }
    case 3: {
      const auto bits = ToggleOneBit(rnd, 0x0F, 4);
      return MakeEvent(3, {bits[0], bits[1]});
    }
    case 4: {
      CT7KEvent ev = MakeEvent(4, {rnd.Byte(0, kSampleMessageCount + 3)});
      Put16(ev, 8, beam);
      return ev;
    }
    case 5:
      return MakeEvent(5, {beam});
    case 6: {
      const std::uint32_t pressed = 1u << rnd.Between(0, 15);
      return MakeWordsEvent(6, rnd.Byte(1, 7), rnd.Byte(1, 8), pressed | rnd.Byte(0, 15),
                            rnd.Percent(30) ? rnd.Byte(0, 15) : 0);
    }
    case 7:
      return MakeEvent(7, {rnd.Percent(90) ? std::uint8_t{1} : std::uint8_t{0}, rnd.Byte(0, 15),
                           rnd.Percent(70) ? std::uint8_t{0} : std::uint8_t{1}, rnd.Byte(0, 7)});
    case 8: {
      const auto flags = ToggleOneBit(rnd, 0x0F, 4);
      return MakeEvent(8, {beam, flags[0], flags[1]});
    }
    case 9:
    case 10: {
      const auto word = ToggleOneBit(rnd, 0x0F, 4);
      const std::uint8_t link = code == 10 ? rnd.Byte(0, 3) : 0;
      return MakeWordsEvent(code, rnd.Byte(0, 7), link, word[0], word[1]);
    }
    case 11: {
      const std::uint8_t dust = rnd.Byte(0, 95);
      return MakeEvent(
          11, {0, 0, 0, 0, rnd.Byte(1, 127), static_cast<std::uint8_t>(dust + rnd.Between(1, 5)), dust});
    }
    case 12:
      return MakeEvent(12, {0, 0, 0, 0, 0, 0, rnd.Byte(0, 7)});
    case 13:
      return MakeEvent(13, {rnd.Byte(0, 7), rnd.Pick(std::array<std::uint8_t, 3>{0, 1, 3})});
    case 20:
    case 21:
      return MakeEvent(code,
                       {rnd.Byte(1, 7), rnd.Byte(1, 32), rnd.Byte(0, 7), rnd.Byte(0, 6), rnd.Byte(0, 6)});
    case 22:
      return MakeEvent(22, {rnd.Byte(1, 2), rnd.Byte(1, 99)});
    case 23:
      return MakeEvent(23, {rnd.Byte(1, 6), rnd.Byte(1, 32), rnd.Byte(0, 3)});
    default:  // read error, empty slot, invalid code: the parameters are noise
      return MakeEvent(code, {rnd.Byte(0, 255), rnd.Byte(0, 255), rnd.Byte(0, 255)});
  }
}

// ---- time stamps ----

// Days since 01/01/2000 of a civil date (proleptic Gregorian).
std::int64_t DaysFromCivil(int y, int m, int d) {
  y -= m <= 2;
  const int era = (y >= 0 ? y : y - 399) / 400;
  const int yoe = y - era * 400;
  const int doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return std::int64_t{era} * 146097 + doe - 730425;  // 730425: 01/01/2000 from 01/03/0000
}

void CivilFromDays(std::int64_t days, int& y, int& m, int& d) {
  days += 730425;
  const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const int doe = static_cast<int>(days - era * 146097);
  const int yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  y = static_cast<int>(yoe + era * 400) + (m <= 2);
}

int DaysInMonth(int y, int m) {
  static constexpr std::array<int, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  return m == 2 && leap ? 29 : kDays[static_cast<std::size_t>(m - 1)];
}

// Seconds since 01/01/2000 00:00:00 of a packed stamp, its fields clamped into
// the calendar first.
std::int64_t SecondsOf(std::uint32_t stamp) {
  const PackedTimeFields t = UnpackTimeStamp(stamp);
  const int y = 2000 + t.year;
  const int m = std::clamp(t.month, 1, 12);
  const int d = std::clamp(t.day, 1, DaysInMonth(y, m));
  const int hh = std::min(t.hour, 23);
  const int mm = std::min(t.minute, 59);
  const int ss = std::min(t.second, 59);
  return DaysFromCivil(y, m, d) * 86400 + hh * 3600 + mm * 60 + ss;
}

std::uint32_t StampOf(std::int64_t seconds) {
  int y = 0, m = 0, d = 0;
  CivilFromDays(seconds / 86400, y, m, d);
  const int rest = static_cast<int>(seconds % 86400);
  return PackTimeStamp(y, m, d, rest / 3600, rest / 60 % 60, rest % 60);
}

// Events come in bursts (a fire spreads over several detectors within seconds)
// between quieter stretches of minutes to an hour.
std::int64_t RandomGap(SampleRandom& rnd) {
  const std::uint32_t roll = rnd.Between(0, 99);
  if (roll < 20) return rnd.Between(0, 10);
  if (roll < 90) return rnd.Between(10, 600);
  return rnd.Between(600, 3600);
}

}  // namespace

std::size_t SampleCoverageEventCount() { return CoverageEvents().size(); }

std::vector<CT7KEvent> GenerateSampleEvents(std::size_t count, std::uint32_t seed,
                                            std::uint32_t newestTimeStamp) {
  std::vector<CT7KEvent> events = CoverageEvents();
  if (events.size() > count) events.resize(count);
  events.reserve(count);
  SampleRandom rnd(seed);
  while (events.size() < count) events.push_back(RandomEvent(rnd));

  std::int64_t seconds = SecondsOf(newestTimeStamp);
  for (CT7KEvent& ev : events) {
    ev.SetTimeStamp(StampOf(seconds));
    seconds = std::max<std::int64_t>(0, seconds - RandomGap(rnd));
  }
  return events;
}

std::vector<std::string> SampleMessageTexts(std::size_t n) {
  // The panel holds 16 characters per text: a phrase of at most 11, a blank
  // and a number that fits for the first 119988 texts; past that the phrase
  // is shortened.
  static constexpr std::array<std::string_view, 12> kPhrases = {
      "Пожар склад", "Пожар офис", "Пожар цех", "Дым кухня",  "Тревога КПП", "Авария АУПТ",
      "Пуск АУПТ",   "Открыт люк", "Эвакуация", "Вент. стоп", "Насос пуск",  "Дверь ЩО",
  };
  constexpr std::size_t kMaxChars = 16;
  std::vector<std::string> texts;
  texts.reserve(n);
  for (std::size_t i = 0; i < n; ++i) {
    const std::string number = std::to_string(i / kPhrases.size() + 1);
    const std::string_view phrase = kPhrases[i % kPhrases.size()];
    const std::size_t room = number.size() < kMaxChars - 1 ? kMaxChars - 1 - number.size() : 0;
    std::string text;
    std::size_t chars = 0;
    for (std::size_t at = 0; at < phrase.size(); ++at) {
      const bool starts = (static_cast<unsigned char>(phrase[at]) & 0xC0) != 0x80;
      if (starts && ++chars > room) break;
      text += phrase[at];
    }
    text += ' ';
    text += number;
    texts.push_back(std::move(text));
  }
  return texts;
}

}  // namespace logwick
