// Event records and their texts: time stamps, sentences, device texts and the
// code page they are written in; and the sample events the simulator makes.
#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "events/codec.h"
#include "events/device_texts.h"
#include "events/t7k_event.h"
#include "sim/event_generator.h"
#include "tests/events/event_builder.h"

using namespace logwick;
using namespace logwick::test;

namespace {

CT7KEvent Ev(std::uint16_t code, std::initializer_list<std::uint8_t> params = {}) {
  return MakeEvent(0, code, params);
}

const std::vector<std::string> kTexts = {"Пожар склад 1", "Пожар офис 1",
                                         std::string("Дым\0мусор", sizeof("Дым\0мусор") - 1)};

}  // namespace

TEST(EventText, Sentences) {
  const CT7KEvent device = With32(Ev(2, {0, 0, 0, 0, 5, 25, 4, 3}), 6, 12000001);
  CT7KEvent blocked = device, blockedBefore = device;
  blocked.Raw()[13] = 0x04 | 0x02;  // blocked and without link now, link before
  blockedBefore.Raw()[13] = 0x01 | 0x08;
  const std::pair<CT7KEvent, const char*> cases[] = {
      {Ev(1, {0}), "включение питания"},
      {Ev(1, {4}), "выход из просмтора событий"},
      {Ev(1, {29}), "сброс тревоги"},
      {Ev(1, {31}), "разблокировать всех в норме"},
      {Ev(1, {32}), "СС ?? ошибка ??"},
      {device, "KVЕ 5 изменилось состояние стало 'норма' было 'обрыв"},
      {blocked, "KVЕ 5 изменилось состояние стало 'блокировано' было 'обрыв"},
      {blockedBefore, "KVЕ 5 изменилось состояние стало 'норма' было 'блокировано"},
      {With32(device, 6, 2), "0x00000002 5 изменилось состояние стало 'код 25' было 'код 4"},
      {Ev(3, {1, 0}), "  Перегрузка линии ША1"},
      {Ev(3, {0, 1}), " Восстановление линии ША1"},
      {Ev(3, {0x0A, 0x08}), "  Перегрузка линии ША2"},  // other bits unchanged
      {Ev(3, {3, 0}), "Перегрузка линий ША1 и ША2"},
      {Ev(3, {0, 3}), " Восстановление линий ША1 и ША2"},
      {Ev(3, {0, 4}), " Восстановление обрыва линии ША"},
      {Ev(3, {8, 0}), " Утечка ША на землю"},
      {Ev(3, {0, 8}), "Нет учечки ША на землю"},
      {Ev(3, {5, 0}), "Линия  КЗ1+ КЗ2- обрыв+ утечка-"},
      {Ev(3, {1, 2}), "Линия  КЗ1+ КЗ2- обрыв- утечка-"},  // X = 3, one bit set
      {Ev(3, {0x0A, 0x0A}), "Линия  КЗ1- КЗ2+ обрыв- утечка+"},
      {Ev(4, {7, 0, 12, 0}), "Сообщение (7) по лучу 12"},
      {Ev(4, {3, 0, 0x2C, 0x01}), "Сообщение (3) по лучу 300"},
      {Ev(4, {1, 0, 12}), "Сообщение 'Пожар офис 1' по лучу 12"},
      {Ev(4, {2, 0, 1}), "Сообщение 'Дым' по лучу 1"},  // quoted up to its NUL
      {Ev(5, {64}), "Блокировка луча 64"},
      {With32(Ev(6, {6, 3}), 8, 1u | 1u << 17), "ПР4545 номер 3  нажата кнопка 0,17"},
      {With32(With32(Ev(6, {6, 3}), 8, 3), 12, 1), "ПР4545 номер 3  нажата кнопка 1"},
      {Ev(6, {6, 3}), "ПР4545 номер 3  нажата кнопка "},
      {Ev(6, {5, 1, 0x10, 0, 0, 0}), "ПР4545 номер 1  клавиатура разблокирована ключом 5нажата кнопка 4"},
      {Ev(6, {5, 1, 0x0C, 0, 0, 0}), "ПР4545 номер 1  клавиатура разблокирована ключом 3нажата кнопка 2,3"},
      {Ev(6, {5, 1, 0x0C, 0, 0x0C, 0}),  // W10 overlaps D8: buttons 18 and 19 too
       "ПР4545 номер 1  блокировка клавиатуры включенанажата кнопка 2,3,18,19"},
      {Ev(6, {7, 9}), "ПР4545 номер 9  нажата кнопка СБРОС"},
      {Ev(6, {0, 2}), "ПР4545 номер 2  ????????"},
      {Ev(6, {8, 2}), "ПР4545 номер 2  ????????"},
      {Ev(7, {1, 255, 0}), "Предъявлен ключ 256 на приборе"},
      {Ev(7, {0, 4, 1, 0}), "Предъявлен неизвестный кллюч на ПР4545 номер 1"},
      {Ev(7, {1, 0, 1, 9}), "Предъявлен ключ 1 на ПР4545 номер 10"},  // not ':'
      {Ev(7, {1, 0, 1, 0xCF}), "Предъявлен ключ 1 на ПР4545 номер 208"},
      {Ev(7, {1, 0, 2}), "Предъявлен ключ 1 на ???????"},
      {Ev(8, {7, 0x05, 0x80}),
       "Изменились флаги луча 7 стало Тревога+, Неиспр.-, Внимание+, Автоматика-, флаг4-, "
       "флаг5-, флаг6-  было Тревога-, Неиспр.-, Внимание-, Автоматика-, флаг4-, флаг5-, флаг6-"},
      {With32(With32(Ev(9), 8, 1), 12, 8),
       "Изменилось состояние ведущего прибора, стало Тревога1, Неиспр.0, Внимание0, Норма0, "
       "0x00000001  было Тревога0, Неиспр.0, Внимание0, Норма1, 0x00000008"},
      {Ev(10, {2, 1}), "Восстановление связи с ведомым прибом 3"},
      {Ev(10, {2, 0xF2}), "Потеря связи с ведомым прибом 3"},
      {With32(Ev(10, {2, 3}), 8, 2),
       "Изменилось состояние ведомого прибора 3, стало Тревога0, Неиспр.1, Внимание0, Норма0, "
       "0x00000002  было Тревога0, Неиспр.0, Внимание0, Норма0, 0x00000000"},
      {Ev(11, {0, 0, 0, 0, 17, 23, 5}), "Дымовой датчик 17, запыленность стала 23%, была 5%"},
      {Ev(12, {0, 0, 0, 0, 0, 0, 255}), "От ведомого прибора 256 получено текстовое сообщение"},
      {Ev(13, {2, 3}), "Состояние внешней кнопки 3 стало нажата с автосбросом"},
      {Ev(13, {0, 2}), "Состояние внешней кнопки 1 стало ??????"},
      {Ev(20, {7, 5, 0, 4, 1}), "шлейф ЗЛ2 05.1 стало 'сработал' было 'норма"},
      {Ev(21, {7, 123, 9, 7, 0}),
       "шлейф ЗЛ6 123.10 стало '?????"
       "' было 'не используется"},
      {Ev(21, {6, 12}), "ЗЛ6 12 -  восстановление внешнего питания"},
      {Ev(20, {0, 5}), "Изменение в ЗЛ2/6 ?? ошибка ??"},
      {Ev(21, {8, 5}), "Изменение в ЗЛ2/6 ?? ошибка ??"},
      {Ev(22, {1, 7}), "ЦК 007 - восстановление связи"},
      {Ev(22, {3, 1}), "Изменение в ЦК ?? ошибка ??"},
      {Ev(23, {4, 3}), "ЖС7 03 -  восстановление внешнего питания"},
      {Ev(23, {5, 3, 1}), "ЖС7 03.2 - нарушение цепи пуска"},
      {Ev(23, {6, 100, 255}), "ЖС7 100.256 - восстановление цепи пуска"},
      {Ev(23, {7, 1}), "Изменение в ЖС7 ?? ошибка ??"},
      {Ev(0), "?? ошибка ??"},
      {Ev(14), "?? ошибка ??"},
      {Ev(24), "?? ошибка ??"},
      {Ev(32766), "ошибка чтения данных"},
      {Ev(32767), "нет информации"},
  };
  for (const auto& [ev, text] : cases)
    EXPECT_EQ(ev.GetText(kTexts), text) << ev.Code() << "/" << int(ev.B(6));
}

// Reports and the panel side speak Windows-1251: every sentence built from any
// bytes must survive the trip there and back, with nothing lost to '?'.
TEST(EventText, AnyRecordGivesTextTheCodePageCanHold) {
  std::mt19937 random(12345);
  for (int i = 0; i < 30000; ++i) {
    CT7KEvent ev;
    for (auto& b : ev.Raw()) b = static_cast<std::uint8_t>(random());
    ev.SetCode(static_cast<std::uint16_t>(i % 26));  // mostly codes with a meaning
    const std::string text = ev.GetText(kTexts);
    ASSERT_TRUE(!text.empty() && Cp1251ToUtf8(Utf8ToCp1251(text)) == text) << text;
  }
}

// Only the low 24 bits choose the class, but the whole serial is printed. K and
// V are Latin, the rest Cyrillic; ЕФ is Cyrillic before ASCII digits.
TEST(DeviceTexts, ClassNameStatesAndFlagsBySerial) {
  std::string got;
  for (std::uint32_t serial : {2u,        3u,        99999u,    100000u,   9000000u,    9600000u,   10500000u,
                               11000000u, 11999999u, 12000001u, 12999999u, 13000000u,   13599999u,  13600000u,
                               14000000u, 14999999u, 15499999u, 15500000u, 0x01B71B01u, 0xABFFFFFFu})
    got += std::to_string(DeviceClassOf(serial)) + " " + Appended(AppendDeviceTypeName, serial) + ", ";
  EXPECT_EQ(
      got,
      "13 0x00000002, 7 ЕФ418-305, 7 ЕФ418-305, 8 ЕФ418-305, 9 Тепл, 10 ???, 13 0x00a037a0, 2 KVN, "
      "3 KVNЛ, 1 KVЕ, 0 KVЕЛ, 5 KVЖ, 12 KVЯ, 13 0x00cf8500, 4 KVГ, 11 KЭЦ, 6 KVR, 13 0x00ec82e0, 1 KVЕ, "
      "13 0xabffffff, ");
  // States: blocked wins over everything; then per serial (smoke, smoke with readiness, heat, three
  // other classes, one without a table) its states.
  got = Appended(AppendDeviceStateText, 25, 12000001, false, true) + "|" +
        Appended(AppendDeviceStateText, 25, 12000001, false, false) + "|";
  const std::pair<std::uint32_t, std::vector<std::uint8_t>> states[] = {
      {50000, {2, 9, 10, 15, 109, 110, 254, 249}},
      {200000, {249, 250}},
      {9100000, {90, 91, 10, 239, 3, 254, 240}},
      {12500000, {67, 26}},
      {13500000, {52}},
      {15000000, {249}},
      {9600000, {25}},
      {1, {0}}};
  for (const auto& [serial, codes] : states)
    for (std::uint8_t state : codes) got += Appended(AppendDeviceStateText, state, serial, true, false) + "|";
  EXPECT_EQ(got,
            "блокировано|нет связи|"
            "запылен|неисправность код 9|0.00 дБ/м|0.05 дБ/м|0.99 дБ/м|код 110|кнопка+указка|код 249|"
            "не готов|нажата кнопка|"
            "20 гр|20 грпревышен диф. порог|-60 гр|168 грпревышен диф. порог|"
            "неисправность код 3|нажата кнопка|код 240|"
            "сработало два или более датчов|код 26|сработал датчик и несиправность цепи|"
            "подготовка к работе|код 25|код 0|");
  EXPECT_EQ(Appended(AppendBeamFlagsText, 0x05),
            "Тревога+, Неиспр.-, Внимание+, Автоматика-, флаг4-, флаг5-, флаг6-");
  EXPECT_EQ(Appended(AppendBeamFlagsText, 0xFE),
            "Тревога-, Неиспр.+, Внимание+, Автоматика+, флаг4+, флаг5+, флаг6+");
  EXPECT_EQ(Appended(AppendUnitFlagsText, 8), "Тревога0, Неиспр.0, Внимание0, Норма1, 0x00000008");
  EXPECT_EQ(Appended(AppendUnitFlagsText, 0xDEADBEF7u), "Тревога1, Неиспр.1, Внимание1, Норма0, 0xdeadbef7");
  EXPECT_EQ(Appended(AppendLoopStateName, 0) + "|" + Appended(AppendLoopStateName, 6) + "|" +
                Appended(AppendLoopStateName, 7),
            "не используется|проверка|?????");
}

TEST(Codec, Cp1251RoundTripMalformedUtf8AndUtf16) {
  for (int b = 0; b < 256; ++b)
    EXPECT_EQ(Utf8ToCp1251(Cp1251ToUtf8(std::string(1, char(b)))), std::string(1, char(b))) << "byte " << b;
  EXPECT_EQ(Cp1251ToUtf8("\xCF\xEE\xE6\xE0\xF0\xA8\xB8\xB9"), "ПожарЁё№");
  EXPECT_EQ(Utf8ToCp1251("Пожар€"), "\xCF\xEE\xE6\xE0\xF0\x88");
  // The one byte the code page leaves undefined keeps its own code point.
  EXPECT_EQ(Cp1251ToUtf8("\x98"), "\xC2\x98");
  const std::pair<const char*, const char*> malformed[] = {
      {"a\x80z", "a?z"},        // stray continuation byte
      {"a\xD0", "a?"},          // cut short at the end
      {"\xD0z", "?z"},          // lead byte without continuation
      {"\xC0\x80", "??"},       // overlong NUL
      {"\xE0\x80\xA7", "???"},  // overlong quote
      {"\xF8\x80\x80\x80\x80", "?????"},
      {"漢x", "?x"},              // not in the code page
      {"\xF0\x9F\x94\xA5", "?"},  // outside the BMP
  };
  for (const auto& [utf8, cp1251] : malformed) EXPECT_EQ(Utf8ToCp1251(utf8), cp1251) << utf8;
  const char16_t pair[] = {u'Я', 0xD83D, 0xDD25}, lone[] = {0xD83D, u'a', 0xDD25};
  EXPECT_EQ(Utf16ToUtf8(pair, 3), "Я\xF0\x9F\x94\xA5");
  EXPECT_EQ(Utf16ToUtf8(lone, 3), "\uFFFDa\uFFFD");
}

TEST(EventRecord, TimeTextAndDatePart) {
  EXPECT_EQ(CT7KEvent().GetTimeText(), "00/00/2000 00:00:00");
  EXPECT_EQ(MakeEvent(0xFFFFFFFFu, 0).GetTimeText(), "31/15/2063 31:63:63");
  const std::uint8_t raw[16] = {0x05, 0xE3, 0x20, 0x3F};
  EXPECT_EQ(CT7KEvent(raw).GetTimeText(), "16/12/2015 14:12:05");
  EXPECT_EQ(PackTimeStamp(2015, 12, 16, 14, 12, 5), 0x3F20E305u);
  // The date alone is the stamp without its time bits, and stamps order in time.
  EXPECT_EQ(PackTimeStamp(2015, 12, 16, 0, 0, 0) & CT7KEvent::kDateMask, 0x3F200000u);
  EXPECT_EQ(PackTimeStamp(2015, 12, 16, 23, 59, 59) & CT7KEvent::kDateMask, 0x3F200000u);
  EXPECT_LT(PackTimeStamp(2015, 12, 16, 23, 59, 59), PackTimeStamp(2015, 12, 17, 0, 0, 0));
}

TEST(EventGenerator, SameSeedSameEventsWalkingEveryKind) {
  const std::size_t walk = SampleCoverageEventCount();
  const auto events = GenerateSampleEvents(walk, 1);
  EXPECT_EQ(events, GenerateSampleEvents(walk, 1));
  EXPECT_NE(events, GenerateSampleEvents(walk, 2));
  std::set<int> codes, classes;
  std::set<std::string> sentences;
  for (const CT7KEvent& ev : events) {
    codes.insert(ev.Code());
    if (ev.Code() == 2) classes.insert(DeviceClassOf(ev.D(6)));
    sentences.insert(ev.GetText(SampleMessageTexts(kSampleMessageCount)));
  }
  for (int code : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 20, 21, 22, 23, 32766, 32767})
    EXPECT_TRUE(codes.count(code)) << code;
  EXPECT_EQ(classes.size(), 14u);
  for (const char* s : {"СС ?? ошибка ??", "Нет учечки ША на землю", "Изменение в ЖС7 ?? ошибка ??"})
    EXPECT_TRUE(sentences.count(s)) << s;
}

TEST(EventGenerator, TimeGoesBackThroughValidDatesAndTextsFitThePanel) {
  const auto events = GenerateSampleEvents(20000, 7);
  EXPECT_EQ(events[0].TimeStamp(), kSampleNewestTimeStamp);
  for (std::size_t i = 1; i < events.size(); ++i) {
    ASSERT_LE(events[i].TimeStamp(), events[i - 1].TimeStamp()) << i;
    const PackedTimeFields t = UnpackTimeStamp(events[i].TimeStamp());
    ASSERT_TRUE(t.month >= 1 && t.month <= 12 && t.day >= 1 && t.hour < 24 && t.minute < 60 && t.second < 60)
        << events[i].GetTimeText();
  }
  // The walk stops at 2000; an impossible newest stamp is brought into the calendar.
  EXPECT_EQ(GenerateSampleEvents(50, 3, PackTimeStamp(2000, 1, 1, 0, 0, 40)).back().GetTimeText(),
            "01/01/2000 00:00:00");
  EXPECT_EQ(GenerateSampleEvents(1, 3, 0xFFFFFFFFu)[0].GetTimeText(), "31/12/2063 23:59:59");
  // Message texts fit the panel's 16 bytes of its code page.
  const auto texts = SampleMessageTexts(200000);
  ASSERT_EQ(texts.size(), 200000u);
  for (std::size_t i = 0; i < texts.size(); i += 997) {
    const std::string cp1251 = Utf8ToCp1251(texts[i]);
    EXPECT_LE(cp1251.size(), 16u) << texts[i];
    EXPECT_EQ(Cp1251ToUtf8(cp1251), texts[i]);
  }
}
