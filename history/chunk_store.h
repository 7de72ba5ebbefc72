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
  // The events of a stored chunk.
  virtual const std::vector<CT7KEvent>& Load(ChunkId id) = 0;
};

}  // namespace logwick
