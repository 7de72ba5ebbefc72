#include <gtest/gtest.h>

#include "events/t7k_event.h"

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
