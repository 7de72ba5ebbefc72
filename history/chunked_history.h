// A panel's history kept as a list of chunks (see event_chunks.h) over a chunk
// store, with its gap marks: what the archive stores and folds read-outs into
// without reading the whole history. The pieces are always the chunks of the
// history's events cut as one sequence, gap marks ignored, so a read-out's
// inner chunks, if it occurs in the history, are pieces of the history too.
#pragma once

#include <cstdint>
#include <vector>

#include "history/chunk_store.h"
#include "history/stitch.h"

namespace logwick {

struct HistoryPiece {
  ChunkId chunk = 0;
  std::uint32_t count = 0;  // events in the chunk
  friend bool operator==(const HistoryPiece&, const HistoryPiece&) = default;
};

class ChunkedHistory : public HistoryView {
 public:
  ChunkedHistory(ChunkStore& store, std::vector<HistoryPiece> pieces, std::vector<std::size_t> gaps);

  std::size_t Size() const override { return m_starts.back(); }
  std::span<const std::size_t> Gaps() const override { return m_gaps; }
  std::vector<CT7KEvent> Events(std::size_t from, std::size_t to) const override;
  bool Contains(std::span<const CT7KEvent> r) const override;

  const std::vector<HistoryPiece>& Pieces() const { return m_pieces; }

  // Makes this the history that plan makes of it with r (oldest event first):
  // holds the chunks of the new pieces and lets go of those it no longer has.
  void Apply(const FoldPlan& plan, std::span<const CT7KEvent> r);
  // Folds r in: PlanFold, then Apply.
  FoldPlan Fold(std::span<const CT7KEvent> r);
  // Lets go of every chunk; the history is empty afterwards.
  void ReleaseAll();

 private:
  void Reindex();
  // Index of the piece that holds event i.
  std::size_t PieceOf(std::size_t i) const;
  bool MatchesAt(std::size_t j, std::span<const ChunkId> inner, std::span<const CT7KEvent> head,
                 std::span<const CT7KEvent> tail) const;

  ChunkStore& m_store;
  std::vector<HistoryPiece> m_pieces;
  std::vector<std::size_t> m_gaps;
  std::vector<std::size_t> m_starts;  // m_starts[j]: first event of piece j; back() is the size
};

// Cuts events into chunks and acquires each: the pieces of that sequence.
std::vector<HistoryPiece> AcquirePieces(ChunkStore& store, std::span<const CT7KEvent> events);

}  // namespace logwick
