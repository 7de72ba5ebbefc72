// Selecting rows of a list view and stepping through found rows.
#include "lists/row_selection.h"

#include <gtest/gtest.h>

#include <functional>

#include "lists/found_rows.h"

using namespace logwick;

namespace {

using Rows = std::vector<std::size_t>;

enum class Act { Select, Extend, Toggle, All };

struct Step {
  Act act;
  std::size_t row;
  Rows selected;  // after the step
  std::size_t current;
};

}  // namespace

TEST(RowSelection, ClickShiftCtrlAndAllFollowTheAnchor) {
  RowSelection s;
  s.Reset(10);
  EXPECT_EQ(s.Current(), RowSelection::kNone);
  const Step steps[] = {
      {Act::Extend, 4, {4}, 4},  // nothing before: Shift selects the row alone
      {Act::Select, 2, {2}, 2},
      {Act::Extend, 5, {2, 3, 4, 5}, 5},
      {Act::Extend, 0, {0, 1, 2}, 0},  // from the anchor, not from the last row
      {Act::Toggle, 7, {0, 1, 2, 7}, 7},
      {Act::Toggle, 1, {0, 2, 7}, 1},
      {Act::Extend, 3, {1, 2, 3}, 3},   // the toggled row is the new anchor
      {Act::Select, 10, {1, 2, 3}, 3},  // past the end: ignored
      {Act::All, 0, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, 3},
      {Act::Toggle, 9, {0, 1, 2, 3, 4, 5, 6, 7, 8}, 9},
      {Act::Select, 6, {6}, 6},
  };
  const std::function<void(std::size_t)> acts[] = {
      [&](std::size_t row) { s.Select(row); }, [&](std::size_t row) { s.ExtendTo(row); },
      [&](std::size_t row) { s.Toggle(row); }, [&](std::size_t) { s.SelectAll(); }};
  for (const Step& step : steps) {
    acts[static_cast<int>(step.act)](step.row);
    EXPECT_EQ(s.SelectedRows(), step.selected) << static_cast<int>(step.act) << " " << step.row;
    EXPECT_EQ(s.SelectedCount(), step.selected.size());
    EXPECT_EQ(s.Current(), step.current);
  }
  EXPECT_TRUE(s.IsSelected(6));
  EXPECT_FALSE(s.IsSelected(5));
  EXPECT_FALSE(s.IsSelected(100));
  s.Reset(3);
  EXPECT_EQ(s.SelectedCount(), 0u);
  EXPECT_EQ(s.Current(), RowSelection::kNone);
  s.SelectAll();
  EXPECT_EQ(s.SelectedRows(), (Rows{0, 1, 2}));
}

TEST(FoundRows, StartsAtOrAfterARowAndStepsRoundBothEnds) {
  FoundRows f;
  EXPECT_FALSE(f.Current());
  f.Next(3);  // nothing found: nothing to step to
  f.Previous(3);
  EXPECT_FALSE(f.Current());

  const std::pair<std::size_t, std::size_t> starts[] = {
      {0, 0}, {4, 1}, {5, 1}, {6, 2}, {40, 3}, {41, 0},  // none at or after: the first
  };
  for (auto [from, current] : starts) {
    f.Set({2, 5, 9, 40}, from);
    EXPECT_EQ(f.Current(), current) << from;
  }
  f.Set({2, 5, 9, 40}, 0);
  const std::tuple<bool, std::size_t, std::size_t> steps[] = {
      {true, 2, 5},                     // forward from row 2
      {true, 5, 9},    {true, 40, 2},   // round the end
      {true, 7, 9},                     // from a row that is not found
      {false, 9, 5},   {false, 2, 40},  // round the start
      {false, 41, 40}, {false, 0, 40},
  };
  for (auto [forward, from, row] : steps) {
    if (forward)
      f.Next(from);
    else
      f.Previous(from);
    EXPECT_EQ(f.CurrentRow(), row) << forward << " " << from;
  }
  EXPECT_TRUE(f.Holds(9));
  EXPECT_FALSE(f.Holds(8));
  EXPECT_EQ(f.Count(), 4u);
  f.Clear();
  EXPECT_EQ(f.Count(), 0u);
  EXPECT_FALSE(f.Current());
}
