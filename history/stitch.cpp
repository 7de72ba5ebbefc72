#include "history/stitch.h"

#include <algorithm>
#include <cassert>
#include <functional>

namespace logwick {
namespace {

// Knuth-Morris-Pratt: fail[i] is the length of the longest proper prefix of
// pattern[0, i) that is also its suffix. Linear even on runs of equal records.
std::vector<std::size_t> FailureTable(std::span<const CT7KEvent> pattern) {
  std::vector<std::size_t> fail(pattern.size() + 1, 0);
  std::size_t k = 0;
  for (std::size_t i = 1; i < pattern.size(); ++i) {
    while (k > 0 && pattern[i] != pattern[k]) k = fail[k];
    if (pattern[i] == pattern[k]) ++k;
    fail[i + 1] = k;
  }
  return fail;
}

// Runs the matcher over text; stops at the first full match when asked.
std::size_t Match(std::span<const CT7KEvent> pattern, std::span<const CT7KEvent> text, bool stopAtFull) {
  const std::vector<std::size_t> fail = FailureTable(pattern);
  std::size_t q = 0;
  for (const CT7KEvent& ev : text) {
    if (q == pattern.size()) q = fail[q];
    while (q > 0 && ev != pattern[q]) q = fail[q];
    if (ev == pattern[q]) ++q;
    if (stopAtFull && q == pattern.size()) return q;
  }
  return q;
}

class PlainView : public HistoryView {
 public:
  explicit PlainView(const StitchedEvents& h) : m_h(h) {}
  std::size_t Size() const override { return m_h.events.size(); }
  std::span<const std::size_t> Gaps() const override { return m_h.gaps; }
  std::vector<CT7KEvent> Events(std::size_t from, std::size_t to) const override {
    return {m_h.events.begin() + static_cast<std::ptrdiff_t>(from),
            m_h.events.begin() + static_cast<std::ptrdiff_t>(to)};
  }
  bool Contains(std::span<const CT7KEvent> r) const override { return OccursIn(r, m_h.events); }

 private:
  const StitchedEvents& m_h;
};

}  // namespace

bool OccursIn(std::span<const CT7KEvent> pattern, std::span<const CT7KEvent> text) {
  if (pattern.empty()) return true;
  if (pattern.size() > text.size()) return false;
  return Match(pattern, text, true) == pattern.size();
}

std::size_t SuffixPrefixOverlap(std::span<const CT7KEvent> text, std::span<const CT7KEvent> pattern) {
  if (pattern.empty()) return 0;
  if (text.size() > pattern.size()) text = text.last(pattern.size());
  return Match(pattern, text, false);
}

FoldPlan PlanFold(const HistoryView& h, std::span<const CT7KEvent> r) {
  if (h.Contains(r)) return {.unchanged = true};
  const std::span<const std::size_t> gaps = h.Gaps();
  std::size_t keep = h.Size();
  std::size_t marks = gaps.size();
  while (keep > 0) {
    const std::size_t start = marks > 0 ? gaps[marks - 1] : 0;
    if (keep - start > r.size() || !OccursIn(h.Events(start, keep), r)) break;
    keep = start;
    if (marks > 0) --marks;
  }
  if (keep == 0) return {};
  const std::size_t k = std::min(keep, r.size());
  const std::size_t overlap = SuffixPrefixOverlap(h.Events(keep - k, keep), r);
  assert(overlap <= k && keep <= h.Size());
  return {.keep = keep, .overlap = overlap, .gap = overlap == 0};
}

std::vector<std::size_t> FoldedGaps(std::span<const std::size_t> gaps, const FoldPlan& plan) {
  if (plan.unchanged) return {gaps.begin(), gaps.end()};
  std::vector<std::size_t> out;
  // Marks at or beyond `keep` left with their segments; those inside the
  // overlap are disproved by the read-out.
  for (std::size_t p : gaps)
    if (p <= plan.keep - plan.overlap && p < plan.keep) out.push_back(p);
  if (plan.gap) out.push_back(plan.keep);
  // Marks stay strictly ascending and never before the first event.
  assert(std::adjacent_find(out.begin(), out.end(), std::greater_equal<>()) == out.end());
  assert(out.empty() || out.front() > 0);
  return out;
}

FoldPlan Fold(StitchedEvents& h, std::span<const CT7KEvent> r) {
  const FoldPlan plan = PlanFold(PlainView(h), r);
  if (plan.unchanged) return plan;
  h.gaps = FoldedGaps(h.gaps, plan);
  h.events.resize(plan.keep);
  h.events.insert(h.events.end(), r.begin() + static_cast<std::ptrdiff_t>(plan.overlap), r.end());
  // Every mark lies between two events.
  assert(h.gaps.empty() || h.gaps.back() < h.events.size());
  return plan;
}

}  // namespace logwick
