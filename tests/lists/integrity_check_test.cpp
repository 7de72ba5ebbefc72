// The integrity check: each kind of finding, its boundaries, and the order of
// findings by row and on one row.
#include "lists/integrity_check.h"

#include <gtest/gtest.h>

#include "tests/lists/list_samples.h"

using namespace logwick;
using namespace logwick::test;

namespace {

// A list read at 2024-06-01 10:00:00 holding the given rows, newest first.
CT7KEventList Rows(const std::vector<std::pair<std::uint32_t, std::uint16_t>>& rows) {
  CT7KEventList list;
  list.m_nReadYear = 2024, list.m_nReadMonth = 6, list.m_nReadDay = 1, list.m_nReadHour = 10;
  for (const auto& [stamp, code] : rows) list.AddTail(MakeEvent(stamp, code));
  return list;
}

// "row kind" per finding, each followed by "; ".
std::string Seen(const std::vector<Finding>& findings) {
  std::string out;
  for (const Finding& f : findings)
    out += std::to_string(f.row) + " " + std::string(FindingName(f.kind)) + "; ";
  return out;
}

}  // namespace

TEST(Integrity, EachKindOnItsRowInOrder) {
  const CT7KEventList list = Rows({
      {Stamp(2024, 13, 1), 0},             // 0: bad month, stamp below the next: backwards, bad, unknown
      {Stamp(2025, 1, 1), 32766},          // 1: after the read time, 40 days after row 2, read error
      {Stamp(2024, 11, 22), 1},            // 2: after the read time
      {Stamp(2024, 5, 31, 10), 32767},     // 3: before the read time
      {Stamp(2024, 5, 31, 10, 0, 1), 14},  // 4: one second later than row 3, code 14
      {Stamp(2024, 5, 1), 24},             // 5: last row: no pair
  });
  const std::vector<Finding> findings = CheckIntegrity(list);
  EXPECT_EQ(Seen(findings),
            "0 time-backwards; 0 bad-date; 0 unknown-code; 1 future; 1 gap; 1 read-error; 2 future; 2 gap; "
            "3 time-backwards; 3 no-information; 4 unknown-code; 5 unknown-code; ");
  EXPECT_EQ(std::make_pair(findings[0].time, findings.back().time),
            std::make_pair(Stamp(2024, 13, 1), Stamp(2024, 5, 1)));
}

TEST(Integrity, GapBoundariesAndPairsThatAreNoGap) {
  const std::pair<std::uint32_t, std::uint32_t> pairs[] = {
      {Stamp(2024, 3, 31, 8), Stamp(2024, 3, 1, 8)},        // exactly 30 days
      {Stamp(2024, 3, 31, 8, 0, 1), Stamp(2024, 3, 1, 8)},  // one second more
      {Stamp(2024, 3, 30, 0), Stamp(2024, 2, 28, 0)},       // 31 days: 2024 has 29 February
      {Stamp(2023, 3, 30, 0), Stamp(2023, 2, 28, 0)},       // 30 days in 2023
      {Stamp(2024, 1, 15), Stamp(2023, 12, 1)},             // across a year
      {Stamp(2024, 1, 1), Stamp(2024, 5, 1)},               // backwards
      {Stamp(2024, 2, 30), Stamp(2023, 1, 1)},              // bad newer date
      {Stamp(2024, 5, 1), Stamp(2024, 1, 1, 24)},           // bad older date
  };
  std::string gaps;
  for (const auto& [newer, older] : pairs)
    gaps +=
        Seen(CheckIntegrity(Rows({{newer, 1}, {older, 1}}))).find("0 gap;") != std::string::npos ? '+' : '-';
  EXPECT_EQ(gaps, "-++-+---");
  const CT7KEventList week = Rows({{Stamp(2024, 3, 8, 12, 0, 1), 1}, {Stamp(2024, 3, 1), 1}});
  EXPECT_EQ(Seen(CheckIntegrity(week, {}, {7})), "0 gap; ");
  EXPECT_TRUE(CheckIntegrity(week, {}, {8}).empty());
}

TEST(Integrity, FutureNeedsAReadTimeAndAGoodDate) {
  CT7KEventList list = Rows({{Stamp(2024, 6, 1, 10, 0, 1), 1}, {Stamp(2024, 6, 1, 10), 1}});
  EXPECT_EQ(Seen(CheckIntegrity(list)), "0 future; ");  // the read second itself is not
  list.m_nReadYear = list.m_nReadMonth = list.m_nReadDay = list.m_nReadHour = 0;
  EXPECT_TRUE(CheckIntegrity(list).empty());  // never read: nothing is in its future
  list.m_nReadYear = 2024;                    // a read time that is not all zero counts, however odd
  EXPECT_EQ(Seen(CheckIntegrity(list)), "0 future; 1 future; ");
  EXPECT_EQ(Seen(CheckIntegrity(Rows({{0xFFFFFFFFu, 1}}))), "0 bad-date; ");
}

TEST(Integrity, PredicateChoosesTheRowsAndTheirPairs) {
  // Without the middle row, rows 0 and 2 become a pair 40 days apart.
  const CT7KEventList list =
      Rows({{Stamp(2024, 5, 10), 1}, {Stamp(2024, 4, 20), 0}, {Stamp(2024, 3, 31), 1}});
  EXPECT_EQ(Seen(CheckIntegrity(list)), "1 unknown-code; ");
  EXPECT_EQ(Seen(CheckIntegrity(list, [](const CT7KEvent& ev) { return ev.Code() != 0; })), "0 gap; ");
}
