// Chunks in memory, for tests of what is built on a chunk store.
#pragma once

#include <algorithm>
#include <map>

#include "history/chunk_store.h"
#include "history/event_chunks.h"

namespace logwick::test {

class MemoryChunkStore : public ChunkStore {
 public:
  struct Entry {
    std::vector<CT7KEvent> events;
    std::size_t refs = 0;
  };

  ChunkId Acquire(std::span<const CT7KEvent> events) override {
    const std::optional<ChunkId> id = Find(events);
    const ChunkId got = id ? *id : m_next++;
    if (!id) {
      m_chunks[got].events.assign(events.begin(), events.end());
      m_byHash.emplace(ChunkHash(events), got);
    }
    ++m_chunks[got].refs;
    return got;
  }
  std::optional<ChunkId> Find(std::span<const CT7KEvent> events) override {
    const auto [from, to] = m_byHash.equal_range(ChunkHash(events));
    for (auto it = from; it != to; ++it)
      if (std::ranges::equal(m_chunks.at(it->second).events, events)) return it->second;
    return std::nullopt;
  }
  void Release(ChunkId id) override {
    if (--m_chunks.at(id).refs > 0) return;
    const auto [from, to] = m_byHash.equal_range(ChunkHash(m_chunks.at(id).events));
    for (auto it = from; it != to; ++it)
      if (it->second == id) {
        m_byHash.erase(it);
        break;
      }
    m_chunks.erase(id);
  }
  const std::vector<CT7KEvent>& Load(ChunkId id) override {
    ++m_loads;
    return m_chunks.at(id).events;
  }

  const std::map<ChunkId, Entry>& Chunks() const { return m_chunks; }
  std::size_t Loads() const { return m_loads; }

 private:
  std::map<ChunkId, Entry> m_chunks;
  std::multimap<std::uint64_t, ChunkId> m_byHash;
  ChunkId m_next = 1;
  std::size_t m_loads = 0;
};

}  // namespace logwick::test
