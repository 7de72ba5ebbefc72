#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "events/codec.h"
#include "events/t7k_event.h"

namespace {

// An event with the given code and parameter bytes from offset 6 on.
CT7KEvent Ev(std::uint16_t code, std::initializer_list<std::uint8_t> params = {}) {
  CT7KEvent ev;
  ev.SetCode(code);
  std::size_t at = 6;
  for (std::uint8_t b : params) ev.Raw()[at++] = b;
  return ev;
}

CT7KEvent& Put32(CT7KEvent& ev, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) ev.Raw()[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
  return ev;
}

std::string Text(const CT7KEvent& ev, const std::vector<std::string>& texts = {}) {
  return ev.GetText(texts);
}

}  // namespace

TEST(EventText, EveryModeText) {
  const char* expected[32] = {
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
  for (int mode = 0; mode < 32; ++mode)
    EXPECT_EQ(Text(Ev(1, {static_cast<std::uint8_t>(mode)})), expected[mode]) << mode;
}

TEST(EventText, Fallbacks) {
  const struct {
    CT7KEvent ev;
    const char* text;
  } cases[] = {
      {Ev(1, {32}), "СС ?? ошибка ??"},
      {Ev(1, {255}), "СС ?? ошибка ??"},
      {Ev(6, {0, 2}), "ПР4545 номер 2  ????????"},
      {Ev(6, {8, 2}), "ПР4545 номер 2  ????????"},
      {Ev(7, {1, 0, 2}), "Предъявлен ключ 1 на ???????"},
      {Ev(13, {0, 2}), "Состояние внешней кнопки 1 стало ??????"},
      {Ev(13, {0, 4}), "Состояние внешней кнопки 1 стало ??????"},
      {Ev(20, {0, 5}), "Изменение в ЗЛ2/6 ?? ошибка ??"},
      {Ev(21, {8, 5}), "Изменение в ЗЛ2/6 ?? ошибка ??"},
      {Ev(22, {3, 1}), "Изменение в ЦК ?? ошибка ??"},
      {Ev(22, {0, 1}), "Изменение в ЦК ?? ошибка ??"},
      {Ev(23, {0, 1}), "Изменение в ЖС7 ?? ошибка ??"},
      {Ev(23, {7, 1}), "Изменение в ЖС7 ?? ошибка ??"},
      {Ev(0), "?? ошибка ??"},
      {Ev(14), "?? ошибка ??"},
      {Ev(19), "?? ошибка ??"},
      {Ev(24), "?? ошибка ??"},
      {Ev(0xFFFF), "?? ошибка ??"},
      {Ev(32766), "ошибка чтения данных"},
      {Ev(32767), "нет информации"},
  };
  for (const auto& c : cases) EXPECT_EQ(Text(c.ev), c.text) << c.ev.Code() << "/" << int(c.ev.B(6));
}

TEST(EventText, DeviceStateChange) {
  CT7KEvent ev = Ev(2, {0, 0, 0, 0, 5, 25, 4, 3});
  Put32(ev, 6, 12000001);
  EXPECT_EQ(Text(ev), "KVЕ 5 изменилось состояние стало 'норма' было 'обрыв");
  ev.Raw()[13] = 0x04 | 0x02;  // blocked now, no link now, link before
  EXPECT_EQ(Text(ev), "KVЕ 5 изменилось состояние стало 'блокировано' было 'обрыв");
  ev.Raw()[13] = 0x01 | 0x08;
  EXPECT_EQ(Text(ev), "KVЕ 5 изменилось состояние стало 'норма' было 'блокировано");
  ev.Raw()[13] = 0x01;
  EXPECT_EQ(Text(ev), "KVЕ 5 изменилось состояние стало 'норма' было 'нет связи");
  Put32(ev, 6, 2);
  EXPECT_EQ(Text(ev), "0x00000002 5 изменилось состояние стало 'код 25' было 'нет связи");
}

TEST(EventText, LineStates) {
  EXPECT_EQ(Text(Ev(3, {1, 0})), "  Перегрузка линии ША1");
  EXPECT_EQ(Text(Ev(3, {0, 1})), " Восстановление линии ША1");
  EXPECT_EQ(Text(Ev(3, {0x0A, 0x08})), "  Перегрузка линии ША2");  // other bits unchanged
  EXPECT_EQ(Text(Ev(3, {3, 0})), "Перегрузка линий ША1 и ША2");
  EXPECT_EQ(Text(Ev(3, {0, 3})), " Восстановление линий ША1 и ША2");
  EXPECT_EQ(Text(Ev(3, {4, 0})), "Обрыв линии ША");
  EXPECT_EQ(Text(Ev(3, {0, 4})), " Восстановление обрыва линии ША");
  EXPECT_EQ(Text(Ev(3, {8, 0})), " Утечка ША на землю");
  EXPECT_EQ(Text(Ev(3, {0, 8})), "Нет учечки ША на землю");
  // Anything else prints the whole line state.
  EXPECT_EQ(Text(Ev(3, {5, 0})), "Линия  КЗ1+ КЗ2- обрыв+ утечка-");
  EXPECT_EQ(Text(Ev(3, {1, 2})), "Линия  КЗ1+ КЗ2- обрыв- утечка-");
  EXPECT_EQ(Text(Ev(3, {0x0A, 0x0A})), "Линия  КЗ1- КЗ2+ обрыв- утечка+");
  EXPECT_EQ(Text(Ev(3, {0x10, 0})), "Линия  КЗ1- КЗ2- обрыв- утечка-");
}

TEST(EventText, Messages) {
  const std::vector<std::string> texts = {"Пожар склад 1", "Пожар офис 1", "Эвакуация 1"};
  CT7KEvent ev = Ev(4, {7, 0, 12, 0});
  EXPECT_EQ(Text(ev, texts), "Сообщение (7) по лучу 12");
  ev.Raw()[6] = 1;
  EXPECT_EQ(Text(ev, texts), "Сообщение 'Пожар офис 1' по лучу 12");
  ev.Raw()[6] = 3;
  EXPECT_EQ(Text(ev, texts), "Сообщение (3) по лучу 12");
  EXPECT_EQ(Text(Ev(4, {0, 0, 0x2C, 0x01})), "Сообщение (0) по лучу 300");
  // A text is quoted up to its first NUL, never with it.
  EXPECT_EQ(Text(Ev(4, {0, 0, 1}), {std::string("Дым\0мусор", sizeof("Дым\0мусор") - 1)}), "Сообщение 'Дым' по лучу 1");
  EXPECT_EQ(Text(Ev(5, {64})), "Блокировка луча 64");
}

TEST(EventText, InterfaceUnit) {
  CT7KEvent buttons = Ev(6, {6, 3});
  Put32(buttons, 8, (1u << 0) | (1u << 17));
  EXPECT_EQ(Text(buttons), "ПР4545 номер 3  нажата кнопка 0,17");
  Put32(buttons, 12, 1u << 0);  // already held before
  EXPECT_EQ(Text(buttons), "ПР4545 номер 3  нажата кнопка 17");
  Put32(buttons, 8, 0);
  EXPECT_EQ(Text(buttons), "ПР4545 номер 3  нажата кнопка ");

  CT7KEvent keyboard = Ev(6, {5, 1, 0x10, 0x00, 0, 0});
  EXPECT_EQ(Text(keyboard), "ПР4545 номер 1  клавиатура разблокирована ключом 5нажата кнопка 4");
  keyboard.Raw()[8] = 0x0C;  // keys 3 and 4: the lowest wins
  EXPECT_EQ(Text(keyboard), "ПР4545 номер 1  клавиатура разблокирована ключом 3нажата кнопка 2,3");
  keyboard.Raw()[10] = 0x0C;
  // W10 overlaps D8: the same bytes now also press buttons 18 and 19.
  EXPECT_EQ(Text(keyboard), "ПР4545 номер 1  блокировка клавиатуры включена"
                            "нажата кнопка 2,3,18,19");

  EXPECT_EQ(Text(Ev(6, {1, 0})), "ПР4545 номер 0  связь восстановлена");
  EXPECT_EQ(Text(Ev(6, {4, 9})), "ПР4545 номер 9  предъявлен неизвестный ключ ТМ");
  EXPECT_EQ(Text(Ev(6, {7, 9})), "ПР4545 номер 9  нажата кнопка СБРОС");
}

TEST(EventText, Keys) {
  EXPECT_EQ(Text(Ev(7, {1, 4, 0})), "Предъявлен ключ 5 на приборе");
  EXPECT_EQ(Text(Ev(7, {1, 255, 0})), "Предъявлен ключ 256 на приборе");
  EXPECT_EQ(Text(Ev(7, {0, 4, 1, 0})), "Предъявлен неизвестный кллюч на ПР4545 номер 1");
  EXPECT_EQ(Text(Ev(7, {1, 0, 1, 8})), "Предъявлен ключ 1 на ПР4545 номер 9");
  // Units past 9 keep their number instead of running into ':' and beyond.
  EXPECT_EQ(Text(Ev(7, {1, 0, 1, 9})), "Предъявлен ключ 1 на ПР4545 номер 10");
  EXPECT_EQ(Text(Ev(7, {1, 0, 1, 0xCF})), "Предъявлен ключ 1 на ПР4545 номер 208");
}

TEST(EventText, FlagsAndStateWords) {
  EXPECT_EQ(Text(Ev(8, {7, 0x05, 0x80})),
            "Изменились флаги луча 7 стало Тревога+, Неиспр.-, Внимание+, Автоматика-, флаг4-, "
            "флаг5-, флаг6-  было Тревога-, Неиспр.-, Внимание-, Автоматика-, флаг4-, флаг5-, флаг6-");
  CT7KEvent master = Ev(9);
  Put32(Put32(master, 8, 1), 12, 8);
  EXPECT_EQ(Text(master),
            "Изменилось состояние ведущего прибора, стало Тревога1, Неиспр.0, Внимание0, Норма0, "
            "0x00000001  было Тревога0, Неиспр.0, Внимание0, Норма1, 0x00000008");
  CT7KEvent slave = Ev(10, {2, 1});
  EXPECT_EQ(Text(slave), "Восстановление связи с ведомым прибом 3");
  slave.Raw()[7] = 2 | 0xF0;
  EXPECT_EQ(Text(slave), "Потеря связи с ведомым прибом 3");
  Put32(Put32(slave, 8, 2), 12, 0);
  slave.Raw()[7] = 3;
  EXPECT_EQ(Text(slave),
            "Изменилось состояние ведомого прибора 3, стало Тревога0, Неиспр.1, Внимание0, Норма0, "
            "0x00000002  было Тревога0, Неиспр.0, Внимание0, Норма0, 0x00000000");
}

TEST(EventText, DustSlaveMessageAndButtons) {
  EXPECT_EQ(Text(Ev(11, {0, 0, 0, 0, 17, 23, 5})),
            "Дымовой датчик 17, запыленность стала 23%, была 5%");
  EXPECT_EQ(Text(Ev(12, {0, 0, 0, 0, 0, 0, 255})),
            "От ведомого прибора 256 получено текстовое сообщение");
  EXPECT_EQ(Text(Ev(13, {0, 0})), "Состояние внешней кнопки 1 стало отжата");
  EXPECT_EQ(Text(Ev(13, {1, 1})), "Состояние внешней кнопки 2 стало нажата");
  EXPECT_EQ(Text(Ev(13, {2, 3})), "Состояние внешней кнопки 3 стало нажата с автосбросом");
}

TEST(EventText, Modules) {
  EXPECT_EQ(Text(Ev(20, {7, 5, 0, 4, 1})), "шлейф ЗЛ2 05.1 стало 'сработал' было 'норма");
  EXPECT_EQ(Text(Ev(21, {7, 123, 9, 7, 0})), "шлейф ЗЛ6 123.10 стало '?????" "' было 'не используется");
  EXPECT_EQ(Text(Ev(20, {3, 5})), "ЗЛ2 05 - мало питания по маг линии");
  EXPECT_EQ(Text(Ev(21, {6, 12})), "ЗЛ6 12 -  восстановление внешнего питания");
  EXPECT_EQ(Text(Ev(22, {1, 7})), "ЦК 007 - восстановление связи");
  EXPECT_EQ(Text(Ev(22, {2, 255})), "ЦК 255 - потеря связи");
  EXPECT_EQ(Text(Ev(23, {4, 3})), "ЖС7 03 -  восстановление внешнего питания");
  EXPECT_EQ(Text(Ev(23, {5, 3, 1})), "ЖС7 03.2 - нарушение цепи пуска");
  EXPECT_EQ(Text(Ev(23, {6, 100, 255})), "ЖС7 100.256 - восстановление цепи пуска");
}

TEST(EventText, AppendsAfterWhatTheCallerHas) {
  std::string line = "16/12/2015 14:12:05 ";
  Ev(22, {3}).AppendText(line, {});
  Ev(23, {5, 1}).AppendText(line, {});
  EXPECT_EQ(line, "16/12/2015 14:12:05 Изменение в ЦК ?? ошибка ??ЖС7 01.1 - нарушение цепи пуска");
}

// Reports and the panel side speak Windows-1251: every sentence built from any
// bytes must survive the trip there and back, with nothing lost to '?'.
TEST(EventText, AnyRecordGivesTextTheCodePageCanHold) {
  std::uint32_t x = 12345;
  auto next = [&x] { return x = x * 1103515245u + 12345u, static_cast<std::uint8_t>(x >> 16); };
  for (int i = 0; i < 30000; ++i) {
    CT7KEvent ev;
    for (auto& b : ev.Raw()) b = next();
    ev.SetCode(static_cast<std::uint16_t>(i % 26));  // mostly codes with a meaning
    const std::string text = Text(ev);
    ASSERT_FALSE(text.empty());
    ASSERT_EQ(logwick::Cp1251ToUtf8(logwick::Utf8ToCp1251(text)), text) << text;
  }
}
