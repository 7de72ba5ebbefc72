// The shown rows: the admitted events in list order, looked up by row.
#include "lists/shown_rows.h"

#include <gtest/gtest.h>

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
