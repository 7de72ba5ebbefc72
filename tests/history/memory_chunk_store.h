// Chunks in memory, for tests of what is built on a chunk store.
#pragma once

#include <map>
#include <string>

#include "history/chunk_store.h"
#include "history/sqlite_chunk_store.h"

namespace logwick::test {

struct MemoryChunkStore : ChunkStore {
  struct Entry {
    std::vector<CT7KEvent> events;
    std::size_t refs = 0;
  };

  ChunkId Acquire(std::span<const CT7KEvent> events) override {
    const auto [it, added] = ids.try_emplace(Key(events), next);
    if (added) chunks[next++].events.assign(events.begin(), events.end());
    ++chunks[it->second].refs;
    return it->second;
  }
  std::optional<ChunkId> Find(std::span<const CT7KEvent> events) override {
    const auto it = ids.find(Key(events));
    return it == ids.end() ? std::nullopt : std::optional(it->second);
  }
  void Release(ChunkId id) override {
    if (--chunks.at(id).refs > 0) return;
    ids.erase(Key(chunks.at(id).events));
    chunks.erase(id);
  }
  const std::vector<CT7KEvent>& Load(ChunkId id) override { return chunks.at(id).events; }

  static std::string Key(std::span<const CT7KEvent> events) {
    const std::span<const std::uint8_t> bytes = EventBytes(events);
    return {bytes.begin(), bytes.end()};
  }

  std::map<ChunkId, Entry> chunks;
  std::map<std::string, ChunkId> ids;  // each chunk by its records
  ChunkId next = 1;
};

}  // namespace logwick::test
