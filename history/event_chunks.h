// Content-defined chunks of an event sequence. A chunk ends after an event
// whose hash hits a fixed pattern (about one event in 64) unless the next event
// is the very same record: the cut depends only on the two events around it,
// never on where the sequence starts. Two sequences that share a run of events
// therefore cut that run at the same places, so read-outs that overlap, and the
// stitched history built from them, share their chunks whatever their
// alignment, and a run can be found in a history by its chunks alone.
//
// The hash and the pattern are part of the archive's format: archives store
// sequences cut this way and rely on it when they search them. Changing either
// needs a new schema version that cuts every stored sequence again.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "events/t7k_event.h"

namespace logwick {

// A stable 64-bit hash of one record's 16 bytes (the same on every platform).
std::uint64_t EventHash(const CT7KEvent& ev);

// A stable 64-bit hash of a run of records, for finding equal chunks.
std::uint64_t ChunkHash(std::span<const CT7KEvent> events);

// Whether a chunk ends between ev and next.
bool CutBetween(const CT7KEvent& ev, const CT7KEvent& next);

// The end offsets (exclusive) of the chunks of seq, in order; the last is
// seq.size(). Empty for an empty sequence.
std::vector<std::size_t> ChunkEnds(std::span<const CT7KEvent> seq);

}  // namespace logwick
