// Finding text in rows: case and ё folded, matches never cross rows, spans
// count characters.
#include "lists/row_search.h"

#include <gtest/gtest.h>

#include "tests/lists/list_samples.h"

using namespace logwick;
using namespace logwick::test;

namespace {

using Rows = std::vector<std::uint32_t>;
using Spans = std::vector<RowSearch::Span>;

RowSearch Of(const std::vector<std::string>& rows) {
  RowSearch s;
  for (const std::string& r : rows) s.AddRow(r);
  return s;
}

}  // namespace

namespace logwick {
void PrintTo(const RowSearch::Span& s, std::ostream* os) { *os << s.start << "+" << s.length; }
}  // namespace logwick

TEST(RowSearch, FoldsCaseAndYoAndKeepsMatchesInsideRows) {
  const RowSearch s = Of({
      "01/02/2024 10:00:00 Ёлка ЕЛЬ ель",       // 0
      "02/02/2024 10:00:00 Блокировка луча 5",  // 1
      "03/02/2024 10:00:00 KVЕ 12 норма",       // 2 (Latin K, V; Cyrillic Е)
      "04/02/2024 10:00:00 Сообщение 'Zone a" + std::string(1, '\0') + "b' по лучу 3",
      "ааб",  // 4
      "вгд",  // 5
  });
  const std::pair<std::string, Rows> cases[] = {
      {"ёлка", {0}},
      {"ЕЛКА", {0}},
      {"елка", {0}},
      {"ЁЛЬ", {0}},
      {"блокировка ЛУЧА", {1}},
      {"kvе", {2}},
      {"KVE", {}},  // Latin E is not Cyrillic Е
      {"02/2024", {0, 1, 2, 3}},
      {"zone A", {3}},
      {"по лучу 3", {3}},
      {"бв", {}},  // not across rows
      {"", {}},
      {"ель 🙂", {}},
      {"\xff", {}},  // malformed UTF-8
  };
  for (const auto& [needle, rows] : cases) EXPECT_EQ(s.FindRows(needle), rows) << needle;
  EXPECT_EQ(s.RowCount(), 6u);
}

TEST(RowSearch, SpansCountCharactersLeftToRightWithoutOverlap) {
  const RowSearch s = Of({"Ёж ёж ЕЖ", "аааа"});
  EXPECT_EQ(s.FindInRow(0, "еж"), (Spans{{0, 2}, {3, 2}, {6, 2}}));
  EXPECT_EQ(s.FindInRow(1, "аа"), (Spans{{0, 2}, {2, 2}}));
  EXPECT_EQ(s.FindInRow(1, "аааа"), (Spans{{0, 4}}));
  EXPECT_TRUE(s.FindInRow(1, "ааааа").empty());
  EXPECT_TRUE(s.FindInRow(2, "а").empty());  // no such row
}

TEST(RowSearch, EventRowsAreTimeAndSentence) {
  RowSearch s;
  const std::vector<std::string> texts = {"Пожар склад 1"};
  s.AddEvent(MakeEvent(0x3F20E305u, 4, {0, 0, 12}), texts);
  s.AddEvent(MakeEvent(0x3F20E305u, 5, {7}), texts);
  EXPECT_EQ(s.FindRows("16/12/2015 14:12:05 сообщение 'пожар"), Rows{0});
  EXPECT_EQ(s.FindRows("луча 7"), Rows{1});
  EXPECT_EQ(s.FindInRow(0, "ПОЖАР"), (Spans{{31, 5}}));
  s.Clear();
  EXPECT_EQ(s.RowCount(), 0u);
  EXPECT_TRUE(s.FindRows("луча").empty());
}
