// The kinds of events: every code's kind and the beam or device it names.
#include "lists/event_kinds.h"

#include <gtest/gtest.h>

#include "tests/lists/list_samples.h"

using namespace logwick;
using namespace logwick::test;

TEST(EventKinds, EveryCodeHasItsKindAndOnlyBeamsAndDevicesNameANumber) {
  struct Case {
    std::uint16_t code;
    std::string_view kind;
    std::optional<std::uint8_t> beam, device;
  };
  const Case cases[] = {
      {0, "прочие", {}, {}},     {1, "режимы", {}, {}},     {2, "устройства", {}, 40},
      {3, "режимы", {}, {}},     {4, "сообщения", {}, {}},  {5, "лучи", 6, {}},
      {6, "ПР4545", {}, {}},     {7, "режимы", {}, {}},     {8, "лучи", 6, {}},
      {9, "режимы", {}, {}},     {10, "ведомые", {}, {}},   {11, "устройства", {}, 40},
      {12, "ведомые", {}, {}},   {13, "прочие", {}, {}},    {23, "прочие", {}, {}},
      {32766, "прочие", {}, {}}, {65535, "прочие", {}, {}},
  };
  for (const Case& c : cases) {
    const CT7KEvent ev = MakeEvent(0, c.code, {6, 7, 8, 9, 40});  // B6 = 6, B10 = 40
    EXPECT_EQ(KindName(KindOf(ev)), c.kind) << c.code;
    EXPECT_EQ(BeamOf(ev), c.beam) << c.code;
    EXPECT_EQ(DeviceOf(ev), c.device) << c.code;
  }
}
