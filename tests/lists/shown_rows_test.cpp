// The shown rows: the admitted events in list order, looked up by row, and the
// gap-mark rows beside them.
#include "lists/shown_rows.h"

#include <gtest/gtest.h>

#include "lists/gap_rows.h"
#include "lists/t7k_ev_filter.h"
#include "tests/lists/list_samples.h"

using namespace logwick;
using namespace logwick::test;

TEST(ShownRows, AdmittedEventsInListOrderByRow) {
  const CT7KEventList list = MakeFullList(14);  // codes 0 .. 13
  CT7KEvFilter filter;
  filter.m_bModes = 0;  // codes 1, 3, 7, 9 go
  const ShownRows rows(list, [&](const CT7KEvent& ev) { return filter.Accept(ev); });
  EXPECT_EQ(std::vector<ShownRows::EventIndex>(rows.begin(), rows.end()),
            (std::vector<ShownRows::EventIndex>{0, 2, 4, 5, 6, 8, 10, 11, 12, 13}));
  ASSERT_EQ(rows.Count(), 10u);
  for (std::size_t row = 0; row < rows.Count(); ++row)
    EXPECT_TRUE(filter.Accept(list[rows.EventAt(row)])) << row;
  EXPECT_FALSE(rows.ShowsAll(list.GetCount()));

  const ShownRows all(list, {});
  EXPECT_TRUE(all.ShowsAll(list.GetCount()));
  EXPECT_EQ(all.EventAt(13), 13u);
  EXPECT_TRUE(ShownRows(CT7KEventList(), {}).ShowsAll(0));
}

// Rows with gap marks: the view's numbering over both kinds of row must agree
// with the report's rule and map each way.
TEST(GapRows, MarkRowsStandBetweenShownEventsAndMapBothWays) {
  const CT7KEventList list = MakeFullList(8);  // codes 0 .. 7
  const EventPredicate odd = [](const CT7KEvent& ev) { return ev.Code() % 2 == 1; };
  struct Case {
    std::vector<std::size_t> gaps;
    bool filtered;
    const char* rows;  // list index of each event row, '|' for a mark row
  };
  const Case cases[] = {
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
  for (const Case& c : cases) {
    const ShownRows shown(list, c.filtered ? odd : EventPredicate());
    const GapRows rows(shown, c.gaps);
    std::string got;
    for (std::size_t row = 0; row < rows.Count(shown); ++row) {
      const GapRows::Row r = rows.At(row);
      got += r.gapMark ? '|' : static_cast<char>('0' + shown.EventAt(r.shown));
      if (r.gapMark) {
        EXPECT_TRUE(rows.MarkBefore(r.shown)) << c.rows;
      } else {
        EXPECT_EQ(rows.RowOfShown(r.shown), row) << c.rows;
      }
    }
    EXPECT_EQ(got, c.rows);
  }
  EXPECT_EQ(GapRows().Count(ShownRows(list, {})), 8u);
}
