// The stitching rules on hand-made sequences, and years of simulated visits
// compared with the panel's true history.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "history/stitch.h"
#include "tests/history/panel_model.h"

using namespace logwick;
using namespace logwick::test;

namespace {

// One letter per record; '|' is a gap mark.
StitchedEvents Parse(const std::string& text) {
  StitchedEvents h;
  for (char c : text)
    c == '|' ? h.gaps.push_back(h.events.size())
             : h.events.push_back(MakeEvent(0x3F20E300u, static_cast<std::uint16_t>(c)));
  return h;
}

std::string Text(const StitchedEvents& h) {
  std::string out;
  for (std::size_t i = 0; i < h.events.size(); ++i) {
    if (std::ranges::count(h.gaps, i)) out += '|';
    out += static_cast<char>(h.events[i].Code());
  }
  return out;
}

TEST(Stitch, RulesInOrderAndTheMatchersTheyUse) {
  const std::tuple<const char*, const char*, const char*, bool> cases[] = {
      {"", "ABC", "ABC", false},               // the first read-out is the history
      {"ABCDEF", "CD", "ABCDEF", false},       // 1: nothing new
      {"AB|CD", "BC", "AB|CD", false},         // 1: matching ignores gap marks
      {"ABC", "", "ABC", false},               // 1: an empty read-out holds nothing new
      {"ABC", "BCDE", "ABCDE", false},         // 3: overlap
      {"ABC", "CDE", "ABCDE", false},          // 3: one event is enough
      {"ABC", "DEF", "ABC|DEF", true},         // 4: no overlap
      {"ABC", "BXC", "ABC|BXC", true},         // 4: an overlap is a prefix, not a scattered match
      {"ABC|EF", "DEFG", "ABC|DEFG", true},    // 2 drops EF, then 4
      {"ABC|EF", "BCDEFG", "ABCDEFG", false},  // 2 drops EF, then 3 over the old gap
      {"AB|CD", "ABCDE", "ABCDE", false},      // 2 drops both segments: the read-out is the history
      {"A|B|C", "BCD", "A|BCD", true},         // 2 drops segment after segment
      {"A|B|CD", "CDE", "A|B|CDE", true},      // 2 stops at a segment the read-out lacks
      {"AXX", "XXB", "AXXB", false},           // a run of equal records: the largest k decides
      {"ABAB", "ABABC", "ABABC", false},       // 2: all of a gap-less history occurs in the read-out
      {"ABAB", "BABC", "ABABC", false},        // 3: the largest overlap, not the first found
  };
  for (const auto& [history, readout, stitched, gap] : cases) {
    StitchedEvents h = Parse(history);
    const FoldPlan plan = Fold(h, Parse(readout).events);
    EXPECT_EQ(std::make_pair(Text(h), plan.gap), std::make_pair(std::string(stitched), gap))
        << history << " + " << readout;
  }
  // Gap marks inside the overlap go. Rule 2 drops a last segment that the
  // overlap would cover, so only a plan made directly shows this clean-up.
  const std::size_t gaps[] = {2, 4, 6};
  EXPECT_EQ(FoldedGaps(gaps, {.keep = 8, .overlap = 5}), (std::vector<std::size_t>{2}));
  EXPECT_EQ(FoldedGaps(gaps, {.keep = 8, .overlap = 4}), (std::vector<std::size_t>{2, 4}));
  EXPECT_EQ(FoldedGaps(gaps, {.keep = 5, .gap = true}), (std::vector<std::size_t>{2, 4, 5}));
  EXPECT_EQ(FoldedGaps(gaps, {.keep = 0}), (std::vector<std::size_t>{}));

  // The matchers against their definitions, on short words over two letters,
  // where periodic patterns are common.
  std::mt19937 rng(5);
  auto word = [&] {
    std::string s(rng() % 9, 'A');
    for (char& c : s) c = static_cast<char>('A' + rng() % 2);
    return Parse(s).events;
  };
  for (int i = 0; i < 4000; ++i) {
    const auto text = word(), pattern = word();
    EXPECT_EQ(OccursIn(pattern, text),
              std::search(text.begin(), text.end(), pattern.begin(), pattern.end()) != text.end() ||
                  pattern.empty());
    std::size_t k = std::min(text.size(), pattern.size());
    while (k > 0 && !std::equal(pattern.begin(), pattern.begin() + static_cast<std::ptrdiff_t>(k),
                                text.end() - static_cast<std::ptrdiff_t>(k)))
      --k;
    EXPECT_EQ(SuffixPrefixOverlap(text, pattern), k);
  }
}

// What the history must be, told by positions in the true history: covered
// stretches that share an event merge, the others stay apart behind a gap
// mark. Each visit ends where the panel stood, at or after every earlier one.
struct Stretch {
  std::size_t begin, end;
};
std::vector<Stretch> ExpectedStretches(const std::vector<Visit>& visits) {
  std::vector<Stretch> s;
  for (const Visit& v : visits) {
    if (v.begin == v.end) continue;
    std::size_t first = s.size();  // the run of touching stretches that ends the history
    while (first > 0 && (first == s.size() || s[first - 1].end == s[first].begin)) --first;
    if (!s.empty() && s.back().end == v.end && s[first].begin <= v.begin) continue;  // nothing new
    while (!s.empty() && s.back().begin >= v.begin) s.pop_back();  // held whole by the read-out
    if (!s.empty() && s.back().end > v.begin)
      s.back().end = v.end;
    else
      s.push_back({v.begin, v.end});
  }
  return s;
}

// Runs of equal records, with the gap marks placed on them: at the start of
// run j (between runs) or inside it.
struct RunsOf {
  std::vector<CT7KEvent> values;
  std::vector<std::size_t> counts;
  std::set<std::pair<std::size_t, bool>> gaps;
  std::vector<std::size_t> runOfEvent;
};
RunsOf Runs(const StitchedEvents& h) {
  RunsOf r;
  for (std::size_t i = 0; i < h.events.size(); ++i) {
    if (i == 0 || h.events[i] != h.events[i - 1]) {
      r.values.push_back(h.events[i]);
      r.counts.push_back(0);
    }
    ++r.counts.back();
    r.runOfEvent.push_back(r.values.size() - 1);
  }
  for (std::size_t p : h.gaps) r.gaps.insert({r.runOfEvent[p], h.events[p] == h.events[p - 1]});
  return r;
}

// Compares the stitched history with the true one: exactly, except for the
// length of runs of equal records that a visit's boundary split and gap marks
// next to them.
void ExpectTrueHistory(const PanelModel& panel, const std::vector<Visit>& visits, const StitchedEvents& got) {
  const std::vector<CT7KEvent>& truth = panel.Truth();
  const RunsOf truthRuns = Runs({truth, {}});
  std::set<std::size_t> splitRuns;
  for (const Visit& v : visits)
    for (std::size_t b : {v.begin, v.end})  // a boundary inside a run of equal records
      if (b > 0 && b < truth.size() && truth[b - 1] == truth[b]) splitRuns.insert(truthRuns.runOfEvent[b]);
  StitchedEvents want;
  std::vector<bool> split;  // per event of `want`: its true run was split by a visit
  for (const Stretch& s : ExpectedStretches(visits)) {
    if (!want.events.empty()) want.gaps.push_back(want.events.size());
    for (std::size_t p = s.begin; p < s.end; ++p) {
      want.events.push_back(truth[p]);
      split.push_back(splitRuns.count(truthRuns.runOfEvent[p]) > 0);
    }
  }
  const RunsOf w = Runs(want), g = Runs(got);
  ASSERT_EQ(g.values.size(), w.values.size());
  std::vector<bool> loose(w.values.size(), false);
  for (std::size_t i = 0; i < split.size(); ++i)
    if (split[i]) loose[w.runOfEvent[i]] = true;
  std::size_t checked = 0;
  for (std::size_t j = 0; j < w.values.size(); ++j) {
    ASSERT_EQ(g.values[j], w.values[j]) << "run " << j;
    if (loose[j]) continue;
    EXPECT_EQ(g.counts[j], w.counts[j]) << "run " << j;
    ++checked;
  }
  auto counts = [&](const std::pair<std::size_t, bool>& gap) {
    return !loose[gap.first] && (gap.second || gap.first == 0 || !loose[gap.first - 1]);
  };
  for (const auto& gap : w.gaps)
    EXPECT_TRUE(!counts(gap) || g.gaps.count(gap)) << "missing mark, run " << gap.first;
  for (const auto& gap : g.gaps)
    EXPECT_TRUE(!counts(gap) || w.gaps.count(gap)) << "extra mark, run " << gap.first;
  EXPECT_GT(checked, w.values.size() * 9 / 10);  // the tolerance stays the exception
}

TEST(Stitch, YearsOfVisitsGiveThePanelsTrueHistory) {
  for (std::uint32_t seed = 1; seed <= 4; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    PanelModel panel(seed, 2000 + seed * 500);
    const std::vector<Visit> visits = panel.VisitOverYears(150);
    StitchedEvents h;
    std::size_t gapsSet = 0;
    for (const Visit& v : visits) gapsSet += Fold(h, v.events).gap;
    ExpectTrueHistory(panel, visits, h);
    EXPECT_GT(gapsSet, 5u);  // the visits did wrap the ring now and then
    EXPECT_GT(h.events.size(), panel.Truth().size() / 2);
  }
}

}  // namespace
