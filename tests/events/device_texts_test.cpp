#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <type_traits>

#include "events/device_texts.h"

namespace {

// What an Append* function adds to an empty string.
template <class... Args>
std::string Text(void (*append)(std::string&, Args...), std::type_identity_t<Args>... args) {
  std::string s;
  append(s, args...);
  return s;
}

}  // namespace

// Only the low 24 bits choose the class, but the whole serial is printed. K and
// V are Latin, the rest Cyrillic; ЕФ is Cyrillic before ASCII digits.
TEST(DeviceTexts, ClassAndNameBySerial) {
  std::string got;
  for (std::uint32_t serial : {2u,        3u,        99999u,    100000u,   9000000u,    9600000u,   10500000u,
                               11000000u, 11999999u, 12000001u, 12999999u, 13000000u,   13599999u,  13600000u,
                               14000000u, 14999999u, 15499999u, 15500000u, 0x01B71B01u, 0xABFFFFFFu})
    got += std::to_string(DeviceClassOf(serial)) + " " + Text(AppendDeviceTypeName, serial) + ", ";
  EXPECT_EQ(
      got,
      "13 0x00000002, 7 ЕФ418-305, 7 ЕФ418-305, 8 ЕФ418-305, 9 Тепл, 10 ???, 13 0x00a037a0, 2 KVN, "
      "3 KVNЛ, 1 KVЕ, 0 KVЕЛ, 5 KVЖ, 12 KVЯ, 13 0x00cf8500, 4 KVГ, 11 KЭЦ, 6 KVR, 13 0x00ec82e0, 1 KVЕ, "
      "13 0xabffffff, ");
  EXPECT_EQ(Text(AppendDeviceTypeName, 12000001), "KV\xD0\x95");
  EXPECT_EQ(Text(AppendDeviceTypeName, 50000),
            "\xD0\x95\xD0\xA4"
            "418-305");
}

TEST(DeviceTexts, StateTexts) {
  const std::uint32_t smoke = 50000, smokeWithReadiness = 200000, heat = 9100000;
  const struct {
    std::uint8_t state;
    std::uint32_t serial;
    bool link, blocked;
    const char* text;
  } cases[] = {
      // blocked wins over everything
      {25, 12000001, false, true, "блокировано"},
      {25, 12000001, false, false, "нет связи"},
      {2, smoke, true, false, "запылен"},
      {9, smoke, true, false, "неисправность код 9"},
      {10, smoke, true, false, "0.00 дБ/м"},
      {15, smoke, true, false, "0.05 дБ/м"},
      {109, smoke, true, false, "0.99 дБ/м"},
      {110, smoke, true, false, "код 110"},
      {254, smoke, true, false, "кнопка+указка"},
      {249, smoke, true, false, "код 249"},
      {249, smokeWithReadiness, true, false, "не готов"},
      {250, smokeWithReadiness, true, false, "нажата кнопка"},
      {90, heat, true, false, "20 гр"},
      {91, heat, true, false, "20 грпревышен диф. порог"},
      {10, heat, true, false, "-60 гр"},
      {239, heat, true, false, "168 грпревышен диф. порог"},
      {3, heat, true, false, "неисправность код 3"},
      {254, heat, true, false, "нажата кнопка"},
      {240, heat, true, false, "код 240"},
      {67, 12500000, true, false, "сработало два или более датчов"},
      {26, 12500000, true, false, "код 26"},
      {52, 13500000, true, false, "сработал датчик и несиправность цепи"},
      {249, 15000000, true, false, "подготовка к работе"},
      {25, 9600000, true, false, "код 25"},
      {0, 1, true, false, "код 0"},  // classes without a table
  };
  for (const auto& c : cases)
    EXPECT_EQ(Text(AppendDeviceStateText, c.state, c.serial, c.link, c.blocked), c.text)
        << int(c.state) << " " << c.serial;
}

TEST(DeviceTexts, FlagsAndLoopStates) {
  EXPECT_EQ(Text(AppendBeamFlagsText, 0x05),
            "Тревога+, Неиспр.-, Внимание+, Автоматика-, флаг4-, флаг5-, флаг6-");
  EXPECT_EQ(Text(AppendBeamFlagsText, 0xFE),
            "Тревога-, Неиспр.+, Внимание+, Автоматика+, флаг4+, флаг5+, флаг6+");
  EXPECT_EQ(Text(AppendUnitFlagsText, 8), "Тревога0, Неиспр.0, Внимание0, Норма1, 0x00000008");
  EXPECT_EQ(Text(AppendUnitFlagsText, 0xDEADBEF7u), "Тревога1, Неиспр.1, Внимание1, Норма0, 0xdeadbef7");
  EXPECT_EQ(Text(AppendLoopStateName, 0), "не используется");
  EXPECT_EQ(Text(AppendLoopStateName, 6), "проверка");
  EXPECT_EQ(Text(AppendLoopStateName, 7), "?????");
}
