#include <gtest/gtest.h>

#include <set>
#include <string>

#include "events/codec.h"
#include "events/device_texts.h"
#include "sim/event_generator.h"

using namespace logwick;

TEST(EventGenerator, SameSeedSameEvents) {
  const auto a = GenerateSampleEvents(3000, 42);
  EXPECT_EQ(a.size(), 3000u);
  EXPECT_EQ(a, GenerateSampleEvents(3000, 42));
  EXPECT_NE(a, GenerateSampleEvents(3000, 43));
  // A shorter log is the start of a longer one's walk.
  const auto few = GenerateSampleEvents(10, 42);
  ASSERT_EQ(few.size(), 10u);
  EXPECT_EQ(few[0].Code(), a[0].Code());
  EXPECT_TRUE(GenerateSampleEvents(0, 1).empty());
}

TEST(EventGenerator, WalkCoversEveryCodeAndDeviceClass) {
  const std::size_t walk = SampleCoverageEventCount();
  const auto events = GenerateSampleEvents(walk, 1);
  std::set<int> codes, classes;
  std::set<std::size_t> messages;
  std::set<std::string> sentences;
  for (const CT7KEvent& ev : events) {
    codes.insert(ev.Code());
    if (ev.Code() == 2) classes.insert(DeviceClassOf(ev.D(6)));
    if (ev.Code() == 4) messages.insert(ev.B(6));
    sentences.insert(ev.GetText(SampleMessageTexts(kSampleMessageCount)));
  }
  for (int code : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 20, 21, 22, 23, 32766, 32767})
    EXPECT_TRUE(codes.count(code)) << code;
  EXPECT_TRUE(codes.count(0) || codes.count(14)) << "no code without meaning";
  EXPECT_EQ(classes.size(), 14u);
  EXPECT_TRUE(*messages.begin() < kSampleMessageCount && *messages.rbegin() >= kSampleMessageCount);
  for (const char* s : {"сброс тревоги", "СС ?? ошибка ??", "Нет учечки ША на землю",
                        "ПР4545 номер 3  нажата кнопка СБРОС", "Изменение в ЖС7 ?? ошибка ??",
                        "нет информации"})
    EXPECT_TRUE(sentences.count(s)) << s;
}

TEST(EventGenerator, TimeGoesBackInValidSteps) {
  const auto events = GenerateSampleEvents(20000, 7);
  EXPECT_EQ(events[0].TimeStamp(), kSampleNewestTimeStamp);
  for (std::size_t i = 1; i < events.size(); ++i) {
    const std::uint32_t t = events[i].TimeStamp();
    ASSERT_LE(t, events[i - 1].TimeStamp()) << i;
    const unsigned month = (t >> 22) & 15, day = (t >> 17) & 31;
    ASSERT_TRUE(month >= 1 && month <= 12 && day >= 1 && ((t >> 12) & 31) < 24 &&
                ((t >> 6) & 63) < 60 && (t & 63) < 60)
        << events[i].GetTimeText();
  }
  // An impossible newest stamp is brought into the calendar; the walk stops at 2000.
  const auto early = GenerateSampleEvents(50, 3, PackTimeStamp(2000, 1, 1, 0, 0, 40));
  EXPECT_EQ(early.back().GetTimeText(), "01/01/2000 00:00:00");
  EXPECT_EQ(GenerateSampleEvents(1, 3, 0xFFFFFFFFu)[0].GetTimeText(), "31/12/2063 23:59:59");
}

TEST(EventGenerator, RandomPartIsPlausible) {
  const auto events = GenerateSampleEvents(SampleCoverageEventCount() + 20000, 9);
  int valid = 0, total = 0;
  for (std::size_t i = SampleCoverageEventCount(); i < events.size(); ++i, ++total) {
    const CT7KEvent& ev = events[i];
    const int code = ev.Code();
    valid += (code >= 1 && code <= 13) || (code >= 20 && code <= 23);
    if (code == 2) {
      ASSERT_TRUE(ev.B(10) >= 1 && ev.B(10) <= 127);
    }
    if (code == 5 || code == 8) {
      ASSERT_TRUE(ev.B(6) >= 1 && ev.B(6) <= 64);
    }
  }
  EXPECT_GT(valid, total * 95 / 100);
}

TEST(EventGenerator, MessageTextsFitThePanel) {
  const auto texts = SampleMessageTexts(200000);
  ASSERT_EQ(texts.size(), 200000u);
  EXPECT_EQ(texts[0], "Пожар склад 1");
  for (std::size_t i = 0; i < texts.size(); i += 997) {
    const std::string cp1251 = Utf8ToCp1251(texts[i]);
    EXPECT_LE(cp1251.size(), 16u) << texts[i];
    EXPECT_EQ(Cp1251ToUtf8(cp1251), texts[i]);
  }
  EXPECT_LE(Utf8ToCp1251(texts.back()).size(), 16u);
}
