#include <gtest/gtest.h>

#include <set>
#include <string>

#include "events/codec.h"
#include "events/device_texts.h"
#include "events/t7k_event.h"
#include "sim/event_generator.h"

using namespace logwick;

TEST(EventRecord, TimeTextAndDatePart) {
  CT7KEvent ev;
  EXPECT_EQ(ev.GetTimeText(), "00/00/2000 00:00:00");
  ev.SetTimeStamp(0xFFFFFFFFu);
  EXPECT_EQ(ev.GetTimeText(), "31/15/2063 31:63:63");
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

TEST(EventGenerator, TimeGoesBackThroughValidDates) {
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
}

TEST(EventGenerator, MessageTextsFitThePanel) {
  const auto texts = SampleMessageTexts(200000);
  ASSERT_EQ(texts.size(), 200000u);
  for (std::size_t i = 0; i < texts.size(); i += 997) {
    const std::string cp1251 = Utf8ToCp1251(texts[i]);
    EXPECT_LE(cp1251.size(), 16u) << texts[i];
    EXPECT_EQ(Cp1251ToUtf8(cp1251), texts[i]);
  }
}
