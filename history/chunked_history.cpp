#include "history/chunked_history.h"

#include <algorithm>
#include <cassert>

#include "history/event_chunks.h"

namespace logwick {

std::vector<HistoryPiece> AcquirePieces(ChunkStore& store, std::span<const CT7KEvent> events) {
  std::vector<HistoryPiece> pieces;
  std::size_t begin = 0;
  for (std::size_t end : ChunkEnds(events)) {
    const auto chunk = events.subspan(begin, end - begin);
    pieces.push_back({store.Acquire(chunk), static_cast<std::uint32_t>(chunk.size())});
    begin = end;
  }
  return pieces;
}

ChunkedHistory::ChunkedHistory(ChunkStore& store, std::vector<HistoryPiece> pieces,
                               std::vector<std::size_t> gaps)
    : m_store(store), m_pieces(std::move(pieces)), m_gaps(std::move(gaps)) {
  Reindex();
}

void ChunkedHistory::Reindex() {
  m_starts.assign(1, 0);
  m_starts.reserve(m_pieces.size() + 1);
  for (const HistoryPiece& p : m_pieces) m_starts.push_back(m_starts.back() + p.count);
}

std::size_t ChunkedHistory::PieceOf(std::size_t i) const {
  return static_cast<std::size_t>(std::upper_bound(m_starts.begin(), m_starts.end(), i) - m_starts.begin()) -
         1;
}

std::vector<CT7KEvent> ChunkedHistory::Events(std::size_t from, std::size_t to) const {
  std::vector<CT7KEvent> out;
  if (from >= to) return out;
  out.reserve(to - from);
  for (std::size_t j = PieceOf(from); j < m_pieces.size() && m_starts[j] < to; ++j) {
    const std::size_t a = std::max(from, m_starts[j]) - m_starts[j];
    const std::size_t b = std::min(to, m_starts[j + 1]) - m_starts[j];
    m_store.CopyEvents(m_pieces[j].chunk, a, b, out);
  }
  return out;
}

// Whether r occurs with its inner chunks as pieces j, j+1, ...: its head (the
// events before its first cut) must end piece j - 1 and its tail (after its
// last cut) must begin the piece after the inner ones.
bool ChunkedHistory::MatchesAt(std::size_t j, std::span<const ChunkId> inner, std::span<const CT7KEvent> head,
                               std::span<const CT7KEvent> tail) const {
  if (j == 0 || j + inner.size() >= m_pieces.size()) return false;
  for (std::size_t i = 0; i < inner.size(); ++i)
    if (m_pieces[j + i].chunk != inner[i]) return false;
  const HistoryPiece& before = m_pieces[j - 1];
  const HistoryPiece& after = m_pieces[j + inner.size()];
  if (before.count < head.size() || after.count < tail.size()) return false;
  const std::vector<CT7KEvent>& b = m_store.Load(before.chunk);
  const std::vector<CT7KEvent>& a = m_store.Load(after.chunk);
  return std::equal(head.begin(), head.end(), b.end() - static_cast<std::ptrdiff_t>(head.size())) &&
         std::equal(tail.begin(), tail.end(), a.begin());
}

bool ChunkedHistory::Contains(std::span<const CT7KEvent> r) const {
  if (r.empty()) return true;
  if (r.size() > Size()) return false;
  const std::vector<std::size_t> ends = ChunkEnds(r);
  // Without an inner chunk there is nothing to look up: read everything.
  if (ends.size() < 3) return OccursIn(r, Events(0, Size()));
  std::vector<ChunkId> inner;
  for (std::size_t i = 0; i + 2 < ends.size(); ++i) {
    const std::optional<ChunkId> id = m_store.Find(r.subspan(ends[i], ends[i + 1] - ends[i]));
    if (!id) return false;  // a chunk no sequence holds cannot be in this one
    inner.push_back(*id);
  }
  const auto head = r.first(ends.front());
  const auto tail = r.subspan(ends[ends.size() - 2]);
  assert(!head.empty() && !tail.empty() && inner.size() == ends.size() - 2);
  for (std::size_t j = 1; j < m_pieces.size(); ++j)
    if (m_pieces[j].chunk == inner.front() && MatchesAt(j, inner, head, tail)) return true;
  return false;
}

void ChunkedHistory::Apply(const FoldPlan& plan, std::span<const CT7KEvent> r) {
  if (plan.unchanged) return;
  std::vector<std::size_t> gaps = FoldedGaps(m_gaps, plan);
  // Pieces before the one that holds the last kept event stay as they are;
  // that one, cut short, and the read-out's new events are cut again, since
  // the cut after the last kept event depends on the event that follows it.
  std::size_t stay = 0;
  std::vector<CT7KEvent> rest;
  if (plan.keep > 0) {
    stay = PieceOf(plan.keep - 1);
    rest = Events(m_starts[stay], plan.keep);
  }
  rest.insert(rest.end(), r.begin() + static_cast<std::ptrdiff_t>(plan.overlap), r.end());
  // Hold the new chunks before letting go of the old ones, so that a chunk in
  // both is never removed in between.
  std::vector<HistoryPiece> added = AcquirePieces(m_store, rest);
  for (std::size_t j = stay; j < m_pieces.size(); ++j) m_store.Release(m_pieces[j].chunk);
  m_pieces.resize(stay);
  m_pieces.insert(m_pieces.end(), added.begin(), added.end());
  m_gaps = std::move(gaps);
  Reindex();
  // The fold's own result: no empty piece (PieceOf would be ambiguous), every
  // event of the plan held, every mark between two events.
  assert(std::none_of(added.begin(), added.end(), [](const HistoryPiece& p) { return p.count == 0; }));
  assert(Size() == plan.keep + r.size() - plan.overlap);
  assert(m_gaps.empty() || (m_gaps.front() > 0 && m_gaps.back() < Size()));
}

FoldPlan ChunkedHistory::Fold(std::span<const CT7KEvent> r) {
  const FoldPlan plan = PlanFold(*this, r);
  Apply(plan, r);
  return plan;
}

void ChunkedHistory::ReleaseAll() {
  for (const HistoryPiece& p : m_pieces) m_store.Release(p.chunk);
  m_pieces.clear();
  m_gaps.clear();
  Reindex();
}

}  // namespace logwick
