#include "events/device_texts.h"

#include <array>
#include <string_view>

#include "events/append_number.h"

namespace {

using logwick::AppendDecimal;

// The class of a serial is decided by its low 24 bits alone; the panel keeps
// the high byte for its own use.
constexpr std::uint32_t kSerialMask = 0x00FFFFFF;

// Class 13 has no designation: its devices are named by their serial in hex.
constexpr int kUnknownClass = 13;
constexpr int kSmokeClass = 7;
constexpr int kSmokeClassWithReadiness = 8;
constexpr int kHeatClass = 9;

// K, V, N and R are Latin letters; the rest are Cyrillic.
constexpr std::array<std::string_view, 13> kTypeNames = {
    "KVЕЛ",       // 0
    "KVЕ",        // 1
    "KVN",        // 2
    "KVNЛ",       // 3
    "KVГ",        // 4
    "KVЖ",        // 5
    "KVR",        // 6
    "ЕФ418-305",  // 7
    "ЕФ418-305",  // 8
    "Тепл",       // 9
    "???",        // 10
    "KЭЦ",        // 11
    "KVЯ",        // 12
};

// Searched from the start; the first row matching both class and state wins.
struct StateRow {
  std::uint8_t deviceClass;
  std::uint8_t state;
  std::string_view text;
};
constexpr StateRow kStateRows[] = {
    {0, 2, "неисправность"},
    {0, 4, "обрыв"},
    {0, 7, "замыкание"},
    {0, 25, "норма"},
    {0, 52, "сработал один датчик"},
    {0, 67, "сработало два или более датчов"},
    {0, 249, "сброс шлейфа"},
    {0, 250, "проверка срабатывания датчика"},
    {0, 251, "сработал, отключен"},
    {1, 4, "обрыв"},
    {1, 25, "норма"},
    {1, 67, "сработал"},
    {1, 249, "сброс шлейфа"},
    {1, 250, "проверка срабатывания датчика"},
    {1, 251, "сработал, отключен"},
    {2, 25, "норма"},
    {2, 67, "сработал"},
    {3, 2, "неисправность"},
    {3, 4, "обрыв"},
    {3, 7, "замыкание"},
    {3, 25, "норма"},
    {3, 52, "сработал один датчик"},
    {3, 67, "сработало два или более датчов"},
    {4, 4, "неисправность цепи"},
    {4, 7, "неисправность"},
    {4, 25, "норма (исходное состояние)"},
    {4, 68, "включено (активировано)"},
    {5, 2, "идет заряд"},
    {5, 4, "неисправность цепи"},
    {5, 7, "неисправность"},
    {5, 25, "норма (исходное состояние)"},
    {5, 68, "включено (активировано)"},
    {6, 2, "неисправность"},
    {6, 4, "неисправность цепи"},
    {6, 7, "идет заряд"},
    {6, 25, "норма (исходное состояние)"},
    {6, 52, "промежуточное состояние клапана"},
    {6, 67, "клапан активирован (открыт/закрыт)"},
    {6, 249, "подготовка к работе"},
    {11, 4, "неисправность"},
    {11, 7, "неисправность"},
    {11, 25, "норма (исходное состояние)"},
    {11, 68, "включено (активировано)"},
    {12, 4, "неисправность цепи"},
    {12, 7, "неисправность"},
    {12, 25, "норма (исходное состояние)"},
    {12, 52, "сработал датчик и несиправность цепи"},
    {12, 67, "сработал датчик"},
    {12, 68, "включено (активировано)"},
};

// Fixed states of the smoke detectors; 249 only means something to class 8.
struct SmokeRow {
  std::uint8_t state;
  bool readinessOnly;
  std::string_view text;
};
constexpr SmokeRow kSmokeRows[] = {
    {2, false, "запылен"},         {250, false, "нажата кнопка"}, {252, false, "активирован указкой"},
    {254, false, "кнопка+указка"}, {249, true, "не готов"},
};

constexpr std::string_view kBlocked = "блокировано";
constexpr std::string_view kNoLink = "нет связи";
constexpr std::string_view kFaultCode = "неисправность код ";
constexpr std::string_view kCode = "код ";

constexpr std::array<std::string_view, 7> kBeamFlagNames = {
    "Тревога", "Неиспр.", "Внимание", "Автоматика", "флаг4", "флаг5", "флаг6",
};

constexpr std::array<std::string_view, 4> kUnitFlagNames = {
    "Тревога",
    "Неиспр.",
    "Внимание",
    "Норма",
};

constexpr std::array<std::string_view, 7> kLoopStateNames = {
    "не используется", "норма", "обрыв", "замыкание", "сработал", "внимание", "проверка",
};
constexpr std::string_view kUnknownLoopState = "?????";

// Smoke detectors report their dust-corrected sensitivity as hundredths of
// dB/m offset by 10 in the state byte.
void AppendSmokeState(std::string& out, std::uint8_t state, bool withReadiness) {
  for (const SmokeRow& row : kSmokeRows) {
    if (row.state == state && (withReadiness || !row.readinessOnly)) {
      out += row.text;
      return;
    }
  }
  if (state < 10) {
    out += kFaultCode;
    AppendDecimal(out, state);
  } else if (state < 20) {
    out += "0.0";
    AppendDecimal(out, state - 10);
    out += " дБ/м";
  } else if (state < 110) {
    out += "0.";
    logwick::AppendSpacePadded(out, state - 10, 2);
    out += " дБ/м";
  } else {
    out += kCode;
    AppendDecimal(out, state);
  }
}

// Heat detectors report the temperature + 70 in the high seven bits of the
// state and the rate-of-rise alarm in bit 0.
void AppendHeatState(std::string& out, std::uint8_t state) {
  if (state < 10) {
    out += kFaultCode;
    AppendDecimal(out, state);
  } else if (state < 240) {
    AppendDecimal(out, static_cast<int>(state & 0xFE) - 70);
    out += " гр";
    if (state & 1) out += "превышен диф. порог";
  } else if (state == 254) {
    out += "нажата кнопка";
  } else {
    out += kCode;
    AppendDecimal(out, state);
  }
}

void AppendTableState(std::string& out, std::uint8_t state, int deviceClass) {
  for (const StateRow& row : kStateRows) {
    if (row.deviceClass == deviceClass && row.state == state) {
      out += row.text;
      return;
    }
  }
  out += kCode;
  AppendDecimal(out, state);
}

}  // namespace

int DeviceClassOf(std::uint32_t serial) {
  const std::uint32_t s = serial & kSerialMask;
  for (const SerialClassRange& range : kSerialClassRanges)
    if (s <= range.last) return range.deviceClass;
  return kUnknownClass;  // not reached: the last range ends at the mask
}

void AppendDeviceTypeName(std::string& out, std::uint32_t serial) {
  const int deviceClass = DeviceClassOf(serial);
  if (deviceClass == kUnknownClass)
    logwick::AppendHex08(out, serial);
  else
    out += kTypeNames[static_cast<std::size_t>(deviceClass)];
}

void AppendDeviceStateText(std::string& out, std::uint8_t state, std::uint32_t serial, bool link,
                           bool blocked) {
  if (blocked) {
    out += kBlocked;
    return;
  }
  if (!link) {
    out += kNoLink;
    return;
  }
  const int deviceClass = DeviceClassOf(serial);
  if (deviceClass == kSmokeClass || deviceClass == kSmokeClassWithReadiness)
    AppendSmokeState(out, state, deviceClass == kSmokeClassWithReadiness);
  else if (deviceClass == kHeatClass)
    AppendHeatState(out, state);
  else
    AppendTableState(out, state, deviceClass);
}

void AppendBeamFlagsText(std::string& out, std::uint8_t flags) {
  for (std::size_t bit = 0; bit < kBeamFlagNames.size(); ++bit) {
    if (bit != 0) out += ", ";
    out += kBeamFlagNames[bit];
    out += (flags >> bit) & 1 ? '+' : '-';
  }
}

void AppendUnitFlagsText(std::string& out, std::uint32_t word) {
  for (std::size_t bit = 0; bit < kUnitFlagNames.size(); ++bit) {
    out += kUnitFlagNames[bit];
    out += (word >> bit) & 1 ? "1, " : "0, ";
  }
  logwick::AppendHex08(out, word);
}

void AppendLoopStateName(std::string& out, std::uint8_t state) {
  out += state < kLoopStateNames.size() ? kLoopStateNames[state] : kUnknownLoopState;
}
