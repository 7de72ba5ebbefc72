// The sentence of one event. Every event code has its own builder; they append
// to the caller's string so that a list of many events is decoded without
// temporary strings. The texts are the panel maker's own wording and are kept
// as they are, odd spellings and double blanks included, because operators and
// their reports search for them.
#include <array>
#include <string_view>

#include "events/append_number.h"
#include "events/device_texts.h"
#include "events/t7k_event.h"

namespace {

using logwick::AppendDecimal;
using logwick::AppendZeroPadded;
using Texts = std::vector<std::string>;

constexpr std::string_view kInvalidEvent = "?? ошибка ??";

// ---- code 1: panel mode changes and system events, by B6 ----

constexpr std::array<std::string_view, 32> kModeTexts = {
    "включение питания",
    "выключение питания",
    "переход в рабочий режим",
    "переход к просмотру событий",
    "выход из просмтора событий",
    "переход к просмотру текущего состояния устройств",
    "выход из просмотра текущего состояния устройств",
    "переход к просмотру уровня запыленности датчиков",
    "выход из к просмотра уровня запыленности датчиков",
    "переход в режим конфигурирования с прибора",
    "выход из режима конфигурирования с прибора",
    "переход в режим конфигурирования с компьютера",
    "выход из режима конфигурирования с компьютера",
    "стирание конфигурации пользователя",
    "конфигурация содержит ошибки",
    "сбой в работе (ошибка при чтении EEPROM)",
    "сбой в работе (ошибка в системной конфигурации)",
    "батарейка во внутренних часах разряжена",
    "батарейка во внутренних часах восстановлена",
    "изменено время во внутренних часах (было)",
    "изменено время во внутренних часах (стало)",
    "запуск сброса сработавших датчиков у КВЕх",
    "запись новой конфигурации пользователя с компьютера",
    "переход в режим отключения сработавших лучей",
    "выход из режима отключения сработавших лучей",
    "часть лучей в конфигурации заблокирована",
    "ведущий установил с связь с прибором",
    "потеря связи с ведущим",
    "отключение управляемых выходов",
    "сброс тревоги",
    "блокировка всех не в норме",
    "разблокировать всех в норме",
};

void AppendModeEvent(std::string& out, const CT7KEvent& ev, const Texts&) {
  const std::uint8_t mode = ev.B(6);
  out += mode < kModeTexts.size() ? kModeTexts[mode] : std::string_view("СС ?? ошибка ??");
}

// ---- code 2: addressable device state ----

void AppendDeviceEvent(std::string& out, const CT7KEvent& ev, const Texts&) {
  const std::uint32_t serial = ev.D(6);
  const std::uint8_t flags = ev.B(13);
  AppendDeviceTypeName(out, serial);
  out += ' ';
  AppendDecimal(out, ev.B(10));
  out += " изменилось состояние стало '";
  AppendDeviceStateText(out, ev.B(11), serial, flags & 1, flags & 4);
  out += "' было '";
  AppendDeviceStateText(out, ev.B(12), serial, flags & 2, flags & 8);
}

// ---- code 3: the panel's ША lines ----
// Bit 0: ША1 overload (КЗ1), bit 1: ША2 overload (КЗ2), bit 2: break, bit 3:
// earth leak. A change of exactly one condition gets its own sentence; anything
// else prints the whole line state.

struct LineChangeRow {
  std::uint8_t changed;  // B6 XOR B7
  std::uint8_t value;    // the changed bits as they are in B6
  std::string_view text;
};
constexpr LineChangeRow kLineChangeRows[] = {
    {1, 1, "  Перегрузка линии ША1"},
    {1, 0, " Восстановление линии ША1"},
    {2, 2, "  Перегрузка линии ША2"},
    {2, 0, " Восстановление линии ША2"},
    {3, 3, "Перегрузка линий ША1 и ША2"},
    {3, 0, " Восстановление линий ША1 и ША2"},
    {4, 4, "Обрыв линии ША"},
    {4, 0, " Восстановление обрыва линии ША"},
    {8, 8, " Утечка ША на землю"},
    {8, 0, "Нет учечки ША на землю"},
};
constexpr std::array<std::string_view, 4> kLineStateLabels = {
    "Линия  КЗ1",
    " КЗ2",
    " обрыв",
    " утечка",
};

void AppendLineEvent(std::string& out, const CT7KEvent& ev, const Texts&) {
  const std::uint8_t now = ev.B(6);
  const std::uint8_t changed = now ^ ev.B(7);
  for (const LineChangeRow& row : kLineChangeRows) {
    if (row.changed == changed && (now & changed) == row.value) {
      out += row.text;
      return;
    }
  }
  for (std::size_t bit = 0; bit < kLineStateLabels.size(); ++bit) {
    out += kLineStateLabels[bit];
    out += (now >> bit) & 1 ? '+' : '-';
  }
}

// ---- code 4: configured message on a beam ----

void AppendMessageEvent(std::string& out, const CT7KEvent& ev, const Texts& texts) {
  const std::uint8_t number = ev.B(6);
  if (number < texts.size()) {
    // A text is printed up to its first NUL, as the C string it is on the panel.
    const std::string& text = texts[number];
    out += "Сообщение '";
    out += std::string_view(text.c_str());
    out += "' по лучу ";
  } else {
    out += "Сообщение (";
    AppendDecimal(out, number);
    out += ") по лучу ";
  }
  AppendDecimal(out, ev.W(8));
}

// ---- code 5: beam blocked ----

void AppendBeamBlockedEvent(std::string& out, const CT7KEvent& ev, const Texts&) {
  out += "Блокировка луча ";
  AppendDecimal(out, ev.B(6));
}

// ---- code 6: interface unit ПР4545 ----

// The buttons pressed: set in D8 and clear in D12, numbered from 0.
void AppendPressedButtons(std::string& out, const CT7KEvent& ev) {
  out += "нажата кнопка ";
  const std::uint32_t pressed = ev.D(8) & ~ev.D(12);
  bool first = true;
  for (int bit = 0; bit < 32; ++bit) {
    if (!((pressed >> bit) & 1)) continue;
    if (!first) out += ',';
    first = false;
    AppendDecimal(out, bit);
  }
}

// Keys 1-4 unlock the keyboard through bits 0-3; any higher bit is reported as
// the fifth key.
void AppendKeyboardState(std::string& out, const CT7KEvent& ev) {
  const unsigned unlocked = ev.W(8) & ~ev.W(10) & 0xFFFFu;
  if (unlocked == 0) {
    out += "блокировка клавиатуры включена";
    return;
  }
  out += "клавиатура разблокирована ключом ";
  char key = '5';
  for (int bit = 0; bit < 4; ++bit) {
    if ((unlocked >> bit) & 1) {
      key = static_cast<char>('1' + bit);
      break;
    }
  }
  out += key;
}

enum class UnitPart { Text, KeyboardAndButtons, Buttons };
struct UnitActionRow {
  UnitPart part;
  std::string_view text;
};
constexpr std::string_view kUnknownUnitAction = "????????";
constexpr std::array<UnitActionRow, 8> kUnitActions = {{
    {UnitPart::Text, kUnknownUnitAction},
    {UnitPart::Text, "связь восстановлена"},
    {UnitPart::Text, "потеря связи"},
    {UnitPart::Text, "сбой программы"},
    {UnitPart::Text, "предъявлен неизвестный ключ ТМ"},
    {UnitPart::KeyboardAndButtons, {}},
    {UnitPart::Buttons, {}},
    {UnitPart::Text, "нажата кнопка СБРОС"},
}};

void AppendUnitEvent(std::string& out, const CT7KEvent& ev, const Texts&) {
  out += "ПР4545 номер ";
  AppendDecimal(out, ev.B(7));
  out += "  ";
  const std::uint8_t action = ev.B(6);
  if (action >= kUnitActions.size()) {
    out += kUnknownUnitAction;
    return;
  }
  const UnitActionRow& row = kUnitActions[action];
  switch (row.part) {
    case UnitPart::Text:
      out += row.text;
      break;
    case UnitPart::KeyboardAndButtons:
      AppendKeyboardState(out, ev);
      AppendPressedButtons(out, ev);
      break;
    case UnitPart::Buttons:
      AppendPressedButtons(out, ev);
      break;
  }
}

// ---- code 7: ТМ key presented ----

void AppendKeyEvent(std::string& out, const CT7KEvent& ev, const Texts&) {
  if (ev.B(6) != 0) {
    out += "Предъявлен ключ ";
    AppendDecimal(out, ev.B(7) + 1);
    out += " на ";
  } else {
    out += "Предъявлен неизвестный кллюч на ";
  }
  switch (ev.B(8)) {
    case 0:
      out += "приборе";
      break;
    case 1:
      // Units are numbered from 1; a number past 9 is printed whole rather
      // than as the character that follows '9'.
      out += "ПР4545 номер ";
      AppendDecimal(out, ev.B(9) + 1);
      break;
    default:
      out += "???????";
      break;
  }
}

// ---- codes 8, 9, 10: beam flags and panel state words ----

void AppendBeamFlagsEvent(std::string& out, const CT7KEvent& ev, const Texts&) {
  out += "Изменились флаги луча ";
  AppendDecimal(out, ev.B(6));
  out += " стало ";
  AppendBeamFlagsText(out, ev.B(7));
  out += "  было ";
  AppendBeamFlagsText(out, ev.B(8));
}

void AppendStateWords(std::string& out, const CT7KEvent& ev) {
  AppendUnitFlagsText(out, ev.D(8));
  out += "  было ";
  AppendUnitFlagsText(out, ev.D(12));
}

void AppendMasterEvent(std::string& out, const CT7KEvent& ev, const Texts&) {
  out += "Изменилось состояние ведущего прибора, стало ";
  AppendStateWords(out, ev);
}

void AppendSlaveEvent(std::string& out, const CT7KEvent& ev, const Texts&) {
  const int slave = ev.B(6) + 1;
  switch (ev.B(7) & 3) {  // bit 0: link now, bit 1: link before
    case 1:
      out += "Восстановление связи с ведомым прибом ";
      AppendDecimal(out, slave);
      break;
    case 2:
      out += "Потеря связи с ведомым прибом ";
      AppendDecimal(out, slave);
      break;
    default:
      out += "Изменилось состояние ведомого прибора ";
      AppendDecimal(out, slave);
      out += ", стало ";
      AppendStateWords(out, ev);
      break;
  }
}

// ---- codes 11, 12, 13 ----

void AppendDustEvent(std::string& out, const CT7KEvent& ev, const Texts&) {
  out += "Дымовой датчик ";
  AppendDecimal(out, ev.B(10));
  out += ", запыленность стала ";
  AppendDecimal(out, ev.B(11));
  out += "%, была ";
  AppendDecimal(out, ev.B(12));
  out += '%';
}

void AppendSlaveMessageEvent(std::string& out, const CT7KEvent& ev, const Texts&) {
  out += "От ведомого прибора ";
  AppendDecimal(out, ev.B(12) + 1);
  out += " получено текстовое сообщение";
}

constexpr std::array<std::string_view, 4> kButtonStates = {
    "отжата",
    "нажата",
    "??????",
    "нажата с автосбросом",
};
constexpr std::string_view kUnknownButtonState = "??????";

void AppendButtonEvent(std::string& out, const CT7KEvent& ev, const Texts&) {
  out += "Состояние внешней кнопки ";
  AppendDecimal(out, ev.B(6) + 1);
  out += " стало ";
  const std::uint8_t state = ev.B(7);
  out += state < kButtonStates.size() ? kButtonStates[state] : kUnknownButtonState;
}

// ---- codes 20-23: loop, control and start-circuit modules ----

// Module actions that only append a text after the "<module> NN - " prefix.
// An empty entry is an action with a sentence of its own (handled by the
// caller) or no action at all.
constexpr std::array<std::string_view, 8> kLoopModuleActions = {{
    {},
    "восстановление связи",
    "потеря связи",
    "мало питания по маг линии",
    "восстановление питания по маг линии",
    "сбой внешнего питания",
    " восстановление внешнего питания",
    {},  // 7: loop state change
}};
constexpr std::uint8_t kLoopStateChange = 7;

void AppendLoopModuleEvent(std::string& out, const CT7KEvent& ev, int model) {
  const std::uint8_t action = ev.B(6);
  if (action == kLoopStateChange) {
    out += "шлейф ЗЛ";
    AppendDecimal(out, model);
    out += ' ';
    AppendZeroPadded(out, ev.B(7), 2);
    out += '.';
    AppendDecimal(out, ev.B(8) + 1);
    out += " стало '";
    AppendLoopStateName(out, ev.B(9));
    out += "' было '";
    AppendLoopStateName(out, ev.B(10));
    return;
  }
  if (action >= kLoopModuleActions.size() || kLoopModuleActions[action].empty()) {
    out += "Изменение в ЗЛ2/6 ?? ошибка ??";
    return;
  }
  out += "ЗЛ";
  AppendDecimal(out, model);
  out += ' ';
  AppendZeroPadded(out, ev.B(7), 2);
  out += " - ";
  out += kLoopModuleActions[action];
}

void AppendLoop2Event(std::string& out, const CT7KEvent& ev, const Texts&) {
  AppendLoopModuleEvent(out, ev, 2);
}

void AppendLoop6Event(std::string& out, const CT7KEvent& ev, const Texts&) {
  AppendLoopModuleEvent(out, ev, 6);
}

constexpr std::array<std::string_view, 3> kControlModuleActions = {{
    {},
    "восстановление связи",
    "потеря связи",
}};

void AppendControlModuleEvent(std::string& out, const CT7KEvent& ev, const Texts&) {
  const std::uint8_t action = ev.B(6);
  if (action >= kControlModuleActions.size() || kControlModuleActions[action].empty()) {
    out += "Изменение в ЦК ?? ошибка ??";
    return;
  }
  out += "ЦК ";
  AppendZeroPadded(out, ev.B(7), 3);
  out += " - ";
  out += kControlModuleActions[action];
}

struct StartModuleRow {
  bool perCircuit;  // the sentence names the circuit: "ЖС7 NN.C - ..."
  std::string_view text;
};
constexpr std::array<StartModuleRow, 7> kStartModuleActions = {{
    {false, {}},
    {false, "восстановление связи"},
    {false, "потеря связи"},
    {false, "сбой внешнего питания"},
    {false, " восстановление внешнего питания"},
    {true, "нарушение цепи пуска"},
    {true, "восстановление цепи пуска"},
}};

void AppendStartModuleEvent(std::string& out, const CT7KEvent& ev, const Texts&) {
  const std::uint8_t action = ev.B(6);
  if (action >= kStartModuleActions.size() || kStartModuleActions[action].text.empty()) {
    out += "Изменение в ЖС7 ?? ошибка ??";
    return;
  }
  const StartModuleRow& row = kStartModuleActions[action];
  out += "ЖС7 ";
  AppendZeroPadded(out, ev.B(7), 2);
  if (row.perCircuit) {
    out += '.';
    AppendDecimal(out, ev.B(8) + 1);
  }
  out += " - ";
  out += row.text;
}

// ---- dispatch by event code ----

using Builder = void (*)(std::string&, const CT7KEvent&, const Texts&);
constexpr std::array<Builder, 24> kBuilders = {
    nullptr,                   // 0
    AppendModeEvent,           // 1
    AppendDeviceEvent,         // 2
    AppendLineEvent,           // 3
    AppendMessageEvent,        // 4
    AppendBeamBlockedEvent,    // 5
    AppendUnitEvent,           // 6
    AppendKeyEvent,            // 7
    AppendBeamFlagsEvent,      // 8
    AppendMasterEvent,         // 9
    AppendSlaveEvent,          // 10
    AppendDustEvent,           // 11
    AppendSlaveMessageEvent,   // 12
    AppendButtonEvent,         // 13
    nullptr,                   // 14
    nullptr,                   // 15
    nullptr,                   // 16
    nullptr,                   // 17
    nullptr,                   // 18
    nullptr,                   // 19
    AppendLoop2Event,          // 20
    AppendLoop6Event,          // 21
    AppendControlModuleEvent,  // 22
    AppendStartModuleEvent,    // 23
};

// Codes the panel writes into log slots it could not fill.
constexpr std::uint16_t kReadErrorCode = 0x7FFE;
constexpr std::uint16_t kNoInformationCode = 0x7FFF;

}  // namespace

void CT7KEvent::AppendText(std::string& out, const std::vector<std::string>& texts) const {
  const std::uint16_t code = Code();
  if (code < kBuilders.size() && kBuilders[code] != nullptr) {
    kBuilders[code](out, *this, texts);
  } else if (code == kReadErrorCode) {
    out += "ошибка чтения данных";
  } else if (code == kNoInformationCode) {
    out += "нет информации";
  } else {
    out += kInvalidEvent;
  }
}
