// The rows of a list view: the shown events and the gap marks between them,
// selecting rows, finding text in them and stepping through what was found.
#include <gtest/gtest.h>

#include "lists/found_rows.h"
#include "lists/gap_rows.h"
#include "lists/row_search.h"
#include "lists/row_selection.h"
#include "lists/shown_rows.h"
#include "tests/lists/list_samples.h"

using namespace logwick;
using namespace logwick::test;

namespace {

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

// Rows with gap marks: the view's numbering over both kinds of row must agree
// with the report's rule and map each way; the shown events keep list order.
TEST(GapRows, MarkRowsStandBetweenShownEventsAndMapBothWays) {
  const CT7KEventList list = MakeFullList(8);  // codes 0 .. 7
  const EventPredicate odd = [](const CT7KEvent& ev) { return ev.Code() % 2 == 1; };
  // The gaps, whether odd codes only are shown, the list index of each event row ('|' a mark row).
  const std::tuple<std::vector<std::size_t>, bool, std::string> cases[] = {
      {{}, false, "01234567"},
      {{0, 8}, false, "01234567"},  // at either end: no row
      {{1, 4, 7}, false, "0|123|456|7"},
      {{2, 3}, false, "01|2|34567"},
      {{2}, true, "1|357"},
      {{1}, true, "1357"},
      {{2, 3}, true, "1|357"},  // no shown event between: one row
      {{2, 3, 4, 6}, true, "1|3|5|7"},
      {{7}, true, "135|7"},
      {{8}, true, "1357"},
  };
  for (const auto& [gaps, filtered, expected] : cases) {
    const ShownRows shown(list, filtered ? odd : EventPredicate());
    EXPECT_EQ(shown.ShowsAll(list.GetCount()), !filtered);
    const GapRows rows(shown, gaps);
    std::string got;
    for (std::size_t row = 0; row < rows.Count(shown); ++row) {
      const GapRows::Row r = rows.At(row);
      got += r.gapMark ? '|' : static_cast<char>('0' + shown.EventAt(r.shown));
      EXPECT_TRUE(r.gapMark ? rows.MarkBefore(r.shown) : rows.RowOfShown(r.shown) == row) << expected;
    }
    EXPECT_EQ(got, expected);
  }
  EXPECT_EQ(GapRows().Count(ShownRows(list, {})), 8u);
  EXPECT_TRUE(ShownRows(CT7KEventList(), {}).ShowsAll(0));
}

// Each step: a click (S), Shift+click (E), Ctrl+click (T) or select all (A) on
// a row; after it the selected rows, '/', the current row.
TEST(RowSelection, ClickShiftCtrlAndAllFollowTheAnchor) {
  RowSelection s;
  s.Reset(10);
  EXPECT_EQ(s.Current(), RowSelection::kNone);
  const std::tuple<char, std::size_t, std::string> steps[] = {
      {'E', 4, "4/4"},  // nothing before: Shift selects the row alone
      {'S', 2, "2/2"},          {'E', 5, "2345/5"},
      {'E', 0, "012/0"},  // from the anchor, not from the last row
      {'T', 7, "0127/7"},       {'T', 1, "027/1"},
      {'E', 3, "123/3"},   // the toggled row is the new anchor
      {'S', 10, "123/3"},  // past the end: ignored
      {'A', 0, "0123456789/3"}, {'T', 9, "012345678/9"},
      {'S', 6, "6/6"},
  };
  for (const auto& [act, row, after] : steps) {
    act == 'S' ? s.Select(row) : act == 'E' ? s.ExtendTo(row) : act == 'T' ? s.Toggle(row) : s.SelectAll();
    std::string got;
    for (std::size_t r : s.SelectedRows()) got += std::to_string(r);
    EXPECT_EQ(got + "/" + std::to_string(s.Current()), after) << act << " " << row;
    EXPECT_EQ(s.SelectedCount(), s.SelectedRows().size());
  }
  EXPECT_TRUE(s.IsSelected(6) && !s.IsSelected(5) && !s.IsSelected(100));
  s.Reset(3);
  EXPECT_EQ(std::make_pair(s.SelectedCount(), s.Current()),
            std::make_pair(std::size_t{0}, RowSelection::kNone));
  s.SelectAll();
  EXPECT_EQ(s.SelectedRows(), (std::vector<std::size_t>{0, 1, 2}));
}

TEST(FoundRows, StartsAtOrAfterARowAndStepsRoundBothEnds) {
  FoundRows f;
  f.Next(3);  // nothing found: nothing to step to
  f.Previous(3);
  EXPECT_FALSE(f.Current());
  // Starting from rows 0, 4, 5, 6, 40 and 41 (none at or after: the first).
  std::string starts;
  for (std::size_t from : {0, 4, 5, 6, 40, 41})
    f.Set({2, 5, 9, 40}, from), starts += std::to_string(*f.Current());
  EXPECT_EQ(starts, "011230");
  // Steps forward (+) or back (-) from a row (also from one not found), round either end.
  const std::tuple<char, std::size_t, std::size_t> steps[] = {
      {'+', 2, 5}, {'+', 5, 9},  {'+', 40, 2},  {'+', 7, 9},
      {'-', 9, 5}, {'-', 2, 40}, {'-', 41, 40}, {'-', 0, 40},
  };
  f.Set({2, 5, 9, 40}, 0);
  for (const auto& [step, from, row] : steps) {
    step == '+' ? f.Next(from) : f.Previous(from);
    EXPECT_EQ(f.CurrentRow(), row) << step << from;
  }
  EXPECT_TRUE(f.Holds(9) && !f.Holds(8) && f.Count() == 4);
  f.Clear();
  EXPECT_FALSE(f.Count() || f.Current());
}

// Case and ё are folded, matches never cross rows, spans count characters.
TEST(RowSearch, FoldsCaseAndYoAndKeepsMatchesInsideRows) {
  const RowSearch s = Of({
      "01/02/2024 10:00:00 Ёлка ЕЛЬ ель",       // 0
      "02/02/2024 10:00:00 Блокировка луча 5",  // 1
      "03/02/2024 10:00:00 KVЕ 12 норма",       // 2 (Latin K, V; Cyrillic Е)
      "04/02/2024 10:00:00 Сообщение 'Zone a" + std::string(1, '\0') + "b' по лучу 3",
      "ааб",  // 4
      "вгд",  // 5
  });
  // Per needle the rows found: Latin E is not Cyrillic Е; nothing across rows (бв), for an empty
  // needle, for a character beyond the row's, or for malformed UTF-8.
  std::string found;
  for (const std::string needle : {"ёлка", "ЕЛКА", "елка", "ЁЛЬ", "блокировка ЛУЧА", "kvе", "KVE", "02/2024",
                                   "zone A", "по лучу 3", "бв", "", "ель 🙂", "\xff"}) {
    for (std::uint32_t row : s.FindRows(needle)) found += std::to_string(row);
    found += ";";
  }
  EXPECT_EQ(found, "0;0;0;0;1;2;;0123;3;3;;;;;");
  EXPECT_EQ(s.RowCount(), 6u);

  const RowSearch spans = Of({"Ёж ёж ЕЖ", "аааа"});  // left to right, without overlap
  EXPECT_EQ(spans.FindInRow(0, "еж"), (Spans{{0, 2}, {3, 2}, {6, 2}}));
  EXPECT_EQ(spans.FindInRow(1, "аа"), (Spans{{0, 2}, {2, 2}}));
  EXPECT_EQ(spans.FindInRow(1, "аааа"), (Spans{{0, 4}}));
  EXPECT_TRUE(spans.FindInRow(1, "ааааа").empty() && spans.FindInRow(2, "а").empty());  // row 2: none such

  // Event rows are the time and the sentence.
  RowSearch events;
  const std::vector<std::string> texts = {"Пожар склад 1"};
  events.AddEvent(MakeEvent(0x3F20E305u, 4, {0, 0, 12}), texts);
  events.AddEvent(MakeEvent(0x3F20E305u, 5, {7}), texts);
  EXPECT_EQ(events.FindRows("16/12/2015 14:12:05 сообщение 'пожар"), std::vector<std::uint32_t>{0});
  EXPECT_EQ(events.FindRows("луча 7"), std::vector<std::uint32_t>{1});
  EXPECT_EQ(events.FindInRow(0, "ПОЖАР"), (Spans{{31, 5}}));
  events.Clear();
  EXPECT_TRUE(events.RowCount() == 0 && events.FindRows("луча").empty());
}
