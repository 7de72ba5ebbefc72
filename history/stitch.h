// Stitching a panel's read-outs into one history. A read-out shows only what
// the panel's ring still held; folding the read-outs in read-time order, each
// oldest event first, gives the panel's history with the overlaps removed and
// a gap mark wherever events may have been lost between two visits.
//
// Folding read-out R into history H, where matching sees H's events only (as if
// its gap marks were not there) and events compare by all 16 raw bytes:
//   1. R occurs in H as a contiguous run: H is unchanged.
//   2. While H's last segment (its events after its last gap mark, or all of H
//      when it has none) occurs in R as a contiguous run, drop that segment and
//      the gap mark before it: R holds it whole.
//   3. If H is now empty, R becomes the history. Otherwise take the largest
//      k >= 1 such that H's last k events equal R's first k and append the rest
//      of R; gap marks between two of those k events go, since R shows that
//      nothing was lost there.
//   4. Otherwise append all of R after a gap mark.
// Runs of identical records cannot be told apart: where a visit's boundary
// falls inside one, the largest k decides.
#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "events/t7k_event.h"

namespace logwick {

// A history in the panel's order, oldest event first. A gap mark p lies
// between events[p - 1] and events[p]; marks ascend and 0 < p < events.size().
struct StitchedEvents {
  std::vector<CT7KEvent> events;
  std::vector<std::size_t> gaps;
  friend bool operator==(const StitchedEvents&, const StitchedEvents&) = default;
};

// What folding needs to see of a history: kept in memory here, read from its
// chunks in the archive.
class HistoryView {
 public:
  virtual ~HistoryView() = default;
  virtual std::size_t Size() const = 0;
  virtual std::span<const std::size_t> Gaps() const = 0;
  // Events [from, to), oldest first.
  virtual std::vector<CT7KEvent> Events(std::size_t from, std::size_t to) const = 0;
  // Whether r occurs among the events as a contiguous run, gap marks ignored.
  virtual bool Contains(std::span<const CT7KEvent> r) const = 0;
};

// How one read-out changes a history. Unless unchanged, the new history is the
// first `keep` events of the old one followed by the read-out's events from
// `overlap` on; with keep == 0 it is the read-out alone.
struct FoldPlan {
  bool unchanged = false;
  std::size_t keep = 0;     // events kept after dropping segments the read-out holds whole
  std::size_t overlap = 0;  // the largest k of rule 3; 0 when none
  bool gap = false;         // rule 4: a gap mark at `keep`
};

FoldPlan PlanFold(const HistoryView& h, std::span<const CT7KEvent> r);

// The gap marks of the history that plan makes of one with these marks.
std::vector<std::size_t> FoldedGaps(std::span<const std::size_t> gaps, const FoldPlan& plan);

// Folds r (oldest event first) into h.
FoldPlan Fold(StitchedEvents& h, std::span<const CT7KEvent> r);

// Whether pattern occurs in text as a contiguous run (an empty one always does).
bool OccursIn(std::span<const CT7KEvent> pattern, std::span<const CT7KEvent> text);

// The largest k <= min(text, pattern) such that text's last k events equal
// pattern's first k; 0 when there is none.
std::size_t SuffixPrefixOverlap(std::span<const CT7KEvent> text, std::span<const CT7KEvent> pattern);

}  // namespace logwick
