#include <gtest/gtest.h>

#include <string>

#include "events/codec.h"

using namespace logwick;

TEST(Codec, EveryByteSurvivesTheRoundTrip) {
  for (int b = 0; b < 256; ++b)
    EXPECT_EQ(Utf8ToCp1251(Cp1251ToUtf8(std::string(1, char(b)))), std::string(1, char(b))) << "byte " << b;
  EXPECT_EQ(Cp1251ToUtf8("\xCF\xEE\xE6\xE0\xF0\xA8\xB8\xB9"), "ПожарЁё№");
  EXPECT_EQ(Utf8ToCp1251("Пожар€"), "\xCF\xEE\xE6\xE0\xF0\x88");
  // The one byte the code page leaves undefined keeps its own code point.
  EXPECT_EQ(Cp1251ToUtf8("\x98"), "\xC2\x98");
}

TEST(Codec, MalformedOrForeignUtf8BecomesQuestionMarks) {
  const std::pair<const char*, const char*> cases[] = {
      {"a\x80z", "a?z"},        // stray continuation byte
      {"a\xD0", "a?"},          // cut short at the end
      {"\xD0z", "?z"},          // lead byte without continuation
      {"\xC0\x80", "??"},       // overlong NUL
      {"\xE0\x80\xA7", "???"},  // overlong quote
      {"\xF8\x80\x80\x80\x80", "?????"},
      {"漢x", "?x"},              // not in the code page
      {"\xF0\x9F\x94\xA5", "?"},  // outside the BMP
  };
  for (const auto& [utf8, cp1251] : cases) EXPECT_EQ(Utf8ToCp1251(utf8), cp1251) << utf8;
}

TEST(Codec, Utf16) {
  const char16_t pair[] = {u'Я', 0xD83D, 0xDD25};
  EXPECT_EQ(Utf16ToUtf8(pair, 3), "Я\xF0\x9F\x94\xA5");
  const char16_t lone[] = {0xD83D, u'a', 0xDD25};
  EXPECT_EQ(Utf16ToUtf8(lone, 3),
            "\xEF\xBF\xBD"
            "a\xEF\xBF\xBD");
}
