// The chunked history against the plain fold and search, over chunks in memory.
#include <gtest/gtest.h>

#include <map>

#include "history/chunked_history.h"
#include "history/event_chunks.h"
#include "tests/history/memory_chunk_store.h"
#include "tests/history/panel_model.h"

using namespace logwick;
using namespace logwick::test;

namespace {

std::vector<CT7KEvent> Flat(ChunkedHistory& h) { return h.Events(0, h.Size()); }

// Every chunk is held as often as the history's pieces and the read-outs kept name it.
void ExpectStoreHoldsExactly(const MemoryChunkStore& store, const std::vector<HistoryPiece>& pieces,
                             const std::vector<std::vector<HistoryPiece>>& kept) {
  std::map<ChunkId, std::size_t> named, held;
  for (const HistoryPiece& p : pieces) ++named[p.chunk];
  for (const auto& recipe : kept)
    for (const HistoryPiece& p : recipe) ++named[p.chunk];
  for (const auto& [id, e] : store.chunks) held[id] = e.refs;
  EXPECT_EQ(held, named);
}

TEST(EventChunks, CutsDependOnlyOnTheEventsAroundThem) {
  const std::vector<CT7KEvent> all = PanelModel(3, 100000).VisitsAfter({20000})[0].events;
  const std::vector<std::size_t> ends = ChunkEnds(all);
  EXPECT_GT(ends.size(), all.size() / 100);  // about one in 64
  EXPECT_LT(ends.size(), all.size() / 40);
  std::mt19937 rng(1);
  for (int i = 0; i < 200; ++i) {
    const std::size_t a = rng() % all.size(), b = a + rng() % (all.size() - a) + 1;
    std::vector<std::size_t> inner;
    for (std::size_t e : ChunkEnds(std::span(all).subspan(a, b - a))) inner.push_back(a + e);
    inner.pop_back();  // the window's own end
    std::vector<std::size_t> want;
    std::ranges::copy_if(ends, std::back_inserter(want), [&](std::size_t e) { return e > a && e < b; });
    EXPECT_EQ(inner, want) << a << ".." << b;
  }
  for (std::size_t e : ends) EXPECT_TRUE(e == all.size() || all[e - 1] != all[e]) << "a run was cut";
}

TEST(ChunkedHistory, FoldsLikeThePlainHistory) {
  for (std::uint32_t seed = 1; seed <= 3; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    PanelModel panel(seed, 1500 + 700 * seed);
    MemoryChunkStore store;
    ChunkedHistory chunked(store, {}, {});
    StitchedEvents plain;
    std::vector<std::vector<HistoryPiece>> readouts;  // as the archive keeps them
    for (const Visit& v : panel.VisitOverYears(60)) {
      readouts.push_back(AcquirePieces(store, v.events));
      const FoldPlan want = Fold(plain, v.events), got = chunked.Fold(v.events);
      ASSERT_EQ(std::tie(got.unchanged, got.gap), std::tie(want.unchanged, want.gap));
      ASSERT_EQ(chunked.Size(), plain.events.size());
      ASSERT_TRUE(std::ranges::equal(chunked.Gaps(), plain.gaps));
    }
    EXPECT_EQ(Flat(chunked), plain.events);
    // The pieces are the chunks of the whole history cut as one sequence.
    std::vector<std::size_t> ends;
    std::size_t at = 0;
    for (const HistoryPiece& p : chunked.Pieces()) ends.push_back(at += p.count);
    EXPECT_EQ(ends, ChunkEnds(plain.events));
    ExpectStoreHoldsExactly(store, chunked.Pieces(), readouts);
    // Overlapping read-outs share their chunks: far fewer stored than read.
    std::size_t stored = 0, read = 0;
    for (const auto& [id, e] : store.chunks) stored += e.events.size();
    for (const auto& r : readouts)
      for (const HistoryPiece& p : r) read += p.count;
    EXPECT_LT(stored, plain.events.size() + readouts.size() * 200);
    EXPECT_LT(stored * 3, (plain.events.size() + read) * 2);
    chunked.ReleaseAll();
    for (const auto& r : readouts)
      for (const HistoryPiece& p : r) store.Release(p.chunk);
    EXPECT_TRUE(store.chunks.empty());
  }
}

TEST(ChunkedHistory, FindsRunsAsThePlainSearchDoesEvenInRunsOfOneRecord) {
  MemoryChunkStore store;
  ChunkedHistory h(store, {}, {});
  for (const Visit& v : PanelModel(9, 3000).VisitOverYears(30)) h.Fold(v.events);
  const std::vector<CT7KEvent> all = Flat(h);
  std::mt19937 rng(4);
  std::size_t found = 0;
  for (int i = 0; i < 300; ++i) {
    // Long and short runs (short ones have no inner chunk to look up), some
    // across gap marks, some with one record changed or at the very end.
    const std::size_t len = i % 3 == 0 ? 1 + rng() % 100 : 1 + rng() % 3000;
    const std::size_t at = i % 7 == 0 ? all.size() - len : rng() % (all.size() - len);
    std::vector<CT7KEvent> run(all.begin() + static_cast<std::ptrdiff_t>(at),
                               all.begin() + static_cast<std::ptrdiff_t>(at + len));
    if (i % 2) run[rng() % len].Raw()[15] ^= 0x80;
    const bool want = OccursIn(run, all);
    EXPECT_EQ(h.Contains(run), want) << at << " + " << len;
    found += want;
  }
  EXPECT_TRUE(found > 120 && found < 180) << found;
  EXPECT_TRUE(h.Contains({}));

  // An erased log reads as one record over and over: no cut at all, so every
  // search reads the whole history.
  MemoryChunkStore blankStore;
  ChunkedHistory blanks(blankStore, {}, {});
  CT7KEvent blank;
  blank.Raw().fill(0xFF);
  blanks.Fold(std::vector<CT7KEvent>(5000, blank));
  EXPECT_EQ(blanks.Pieces().size(), 1u);
  EXPECT_TRUE(blanks.Fold(std::vector<CT7KEvent>(300, blank)).unchanged);
  EXPECT_FALSE(blanks.Contains(std::vector<CT7KEvent>(5001, blank)));
  const FoldPlan plan = blanks.Fold(std::vector<CT7KEvent>(6000, blank));  // holds the history whole
  EXPECT_EQ(std::make_tuple(plan.keep, plan.gap, blanks.Size(), blankStore.chunks.size()),
            std::make_tuple(0u, false, 6000u, 1u));
}

}  // namespace
