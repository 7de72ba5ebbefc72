// Where the chunks of stored event sequences live: each distinct run of events
// once, shared by every sequence that holds it, and kept while any does.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "events/t7k_event.h"

namespace logwick {

using ChunkId = std::int64_t;

class ChunkStore {
 public:
  virtual ~ChunkStore() = default;
  // The chunk holding exactly these events, stored first when there is none;
  // it counts one more holder.
  virtual ChunkId Acquire(std::span<const CT7KEvent> events) = 0;
  // The stored chunk holding exactly these events, if there is one.
  virtual std::optional<ChunkId> Find(std::span<const CT7KEvent> events) = 0;
  // One holder fewer; a chunk that nobody holds is removed.
  virtual void Release(ChunkId id) = 0;
  // The events of a stored chunk, kept at hand for what follows.
  virtual const std::vector<CT7KEvent>& Load(ChunkId id) = 0;
  // Appends events [from, to) of a stored chunk to out, for reading long
  // stretches once: nothing is kept at hand that was not already.
  virtual void CopyEvents(ChunkId id, std::size_t from, std::size_t to, std::vector<CT7KEvent>& out) {
    const std::vector<CT7KEvent>& events = Load(id);
    out.insert(out.end(), events.begin() + static_cast<std::ptrdiff_t>(from),
               events.begin() + static_cast<std::ptrdiff_t>(to));
  }
};

}  // namespace logwick
