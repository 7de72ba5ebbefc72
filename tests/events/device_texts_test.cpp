#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "events/device_texts.h"

TEST(DeviceTexts, ClassRangeEnds) {
  struct Range {
    std::uint32_t first, last;
    int deviceClass;
  };
  const Range ranges[] = {
      {0, 2, 13},           {3, 99999, 7},        {100000, 8999999, 8},   {9000000, 9499999, 9},
      {9500000, 9999999, 10}, {10000000, 10999999, 13}, {11000000, 11499999, 2}, {11500000, 11999999, 3},
      {12000000, 12499999, 1}, {12500000, 12999999, 0}, {13000000, 13499999, 5}, {13500000, 13599999, 12},
      {13600000, 13999999, 13}, {14000000, 14499999, 4}, {14500000, 14999999, 11}, {15000000, 15499999, 6},
      {15500000, 16777215, 13},
  };
  for (const Range& r : ranges) {
    EXPECT_EQ(DeviceClassOf(r.first), r.deviceClass) << r.first;
    EXPECT_EQ(DeviceClassOf(r.last), r.deviceClass) << r.last;
  }
  // Only the low 24 bits count.
  EXPECT_EQ(DeviceClassOf(0x01B71B01u), 1);
  EXPECT_EQ(DeviceClassOf(0xFF000005u), 7);
}

TEST(DeviceTexts, TypeNamesMixLatinAndCyrillicLetters) {
  EXPECT_EQ(DeviceTypeName(12000001), "KV\xD0\x95");             // Latin K V, Cyrillic Е
  EXPECT_EQ(DeviceTypeName(0x01B71B01u), "KV\xD0\x95");
  EXPECT_EQ(DeviceTypeName(12500000), "KV\xD0\x95\xD0\x9B");     // KVЕЛ
  EXPECT_EQ(DeviceTypeName(11000000), "KVN");
  EXPECT_EQ(DeviceTypeName(11500000), "KVN\xD0\x9B");            // KVNЛ
  EXPECT_EQ(DeviceTypeName(15000000), "KVR");
  EXPECT_EQ(DeviceTypeName(14500000), "K\xD0\xAD\xD0\xA6");      // KЭЦ
  EXPECT_EQ(DeviceTypeName(50000), "\xD0\x95\xD0\xA4" "418-305");  // ЕФ418-305
  EXPECT_EQ(DeviceTypeName(200000), "ЕФ418-305");
  EXPECT_EQ(DeviceTypeName(9100000), "Тепл");
  EXPECT_EQ(DeviceTypeName(9600000), "???");
  EXPECT_EQ(DeviceTypeName(14000000), "KVГ");
  EXPECT_EQ(DeviceTypeName(13000000), "KVЖ");
  EXPECT_EQ(DeviceTypeName(13500000), "KVЯ");
}

TEST(DeviceTexts, UnknownDevicesAreNamedByTheWholeSerialInHex) {
  EXPECT_EQ(DeviceTypeName(2), "0x00000002");
  EXPECT_EQ(DeviceTypeName(10500000), "0x00a037a0");
  EXPECT_EQ(DeviceTypeName(0xABFFFFFFu), "0xabffffff");
}

TEST(DeviceTexts, BlockedAndLinkFlagsComeFirst) {
  EXPECT_EQ(DeviceStateText(25, 12000001, true, true), "блокировано");
  EXPECT_EQ(DeviceStateText(25, 12000001, false, true), "блокировано");
  EXPECT_EQ(DeviceStateText(25, 12000001, false, false), "нет связи");
  EXPECT_EQ(DeviceStateText(25, 12000001, true, false), "норма");
}

TEST(DeviceTexts, SmokeDetectorStates) {
  const std::uint32_t smoke = 50000, smokeWithReadiness = 200000;
  EXPECT_EQ(DeviceStateText(2, smoke, true, false), "запылен");
  EXPECT_EQ(DeviceStateText(15, smoke, true, false), "0.05 дБ/м");
  EXPECT_EQ(DeviceStateText(10, smoke, true, false), "0.00 дБ/м");
  EXPECT_EQ(DeviceStateText(20, smoke, true, false), "0.10 дБ/м");
  EXPECT_EQ(DeviceStateText(45, smoke, true, false), "0.35 дБ/м");
  EXPECT_EQ(DeviceStateText(109, smoke, true, false), "0.99 дБ/м");
  EXPECT_EQ(DeviceStateText(110, smoke, true, false), "код 110");
  EXPECT_EQ(DeviceStateText(9, smoke, true, false), "неисправность код 9");
  EXPECT_EQ(DeviceStateText(250, smoke, true, false), "нажата кнопка");
  EXPECT_EQ(DeviceStateText(252, smoke, true, false), "активирован указкой");
  EXPECT_EQ(DeviceStateText(254, smoke, true, false), "кнопка+указка");
  EXPECT_EQ(DeviceStateText(249, smoke, true, false), "код 249");
  EXPECT_EQ(DeviceStateText(249, smokeWithReadiness, true, false), "не готов");
  EXPECT_EQ(DeviceStateText(2, smokeWithReadiness, true, false), "запылен");
}

TEST(DeviceTexts, HeatDetectorStates) {
  const std::uint32_t heat = 9100000;
  EXPECT_EQ(DeviceStateText(90, heat, true, false), "20 гр");
  EXPECT_EQ(DeviceStateText(91, heat, true, false), "20 грпревышен диф. порог");
  EXPECT_EQ(DeviceStateText(10, heat, true, false), "-60 гр");
  EXPECT_EQ(DeviceStateText(239, heat, true, false), "168 грпревышен диф. порог");
  EXPECT_EQ(DeviceStateText(3, heat, true, false), "неисправность код 3");
  EXPECT_EQ(DeviceStateText(254, heat, true, false), "нажата кнопка");
  EXPECT_EQ(DeviceStateText(240, heat, true, false), "код 240");
}

TEST(DeviceTexts, TableStatesAndTheirGaps) {
  EXPECT_EQ(DeviceStateText(25, 12000001, true, false), "норма");
  EXPECT_EQ(DeviceStateText(4, 12000001, true, false), "обрыв");
  EXPECT_EQ(DeviceStateText(67, 12500000, true, false), "сработало два или более датчов");
  EXPECT_EQ(DeviceStateText(26, 12500000, true, false), "код 26");
  EXPECT_EQ(DeviceStateText(52, 13500000, true, false), "сработал датчик и несиправность цепи");
  EXPECT_EQ(DeviceStateText(7, 15000000, true, false), "идет заряд");
  EXPECT_EQ(DeviceStateText(249, 15000000, true, false), "подготовка к работе");
  EXPECT_EQ(DeviceStateText(4, 14500000, true, false), "неисправность");
  EXPECT_EQ(DeviceStateText(68, 14000000, true, false), "включено (активировано)");
  // Classes without entries print every state as a code.
  EXPECT_EQ(DeviceStateText(25, 9600000, true, false), "код 25");
  EXPECT_EQ(DeviceStateText(0, 1, true, false), "код 0");
  EXPECT_EQ(DeviceStateText(255, 16000000, true, false), "код 255");
}

TEST(DeviceTexts, FlagsAndLoopStates) {
  EXPECT_EQ(BeamFlagsText(0x05), "Тревога+, Неиспр.-, Внимание+, Автоматика-, флаг4-, флаг5-, флаг6-");
  EXPECT_EQ(BeamFlagsText(0xFE), "Тревога-, Неиспр.+, Внимание+, Автоматика+, флаг4+, флаг5+, флаг6+");
  EXPECT_EQ(UnitFlagsText(8), "Тревога0, Неиспр.0, Внимание0, Норма1, 0x00000008");
  EXPECT_EQ(UnitFlagsText(0xDEADBEF7u), "Тревога1, Неиспр.1, Внимание1, Норма0, 0xdeadbef7");
  EXPECT_EQ(LoopStateName(0), "не используется");
  EXPECT_EQ(LoopStateName(6), "проверка");
  EXPECT_EQ(LoopStateName(7), "?????");
  EXPECT_EQ(LoopStateName(255), "?????");
}
