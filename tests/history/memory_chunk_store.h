// Chunks in memory, for tests of what is built on a chunk store.
#pragma once

#include <map>
#include <string>

#include "history/chunk_store.h"
#include "history/sqlite_chunk_store.h"

namespace logwick::test {

class MemoryChunkStore : public ChunkStore {
 public:
  struct Entry {
    std::vector<CT7KEvent> events;
    std::size_t refs = 0;
  };

  ChunkId Acquire(std::span<const CT7KEvent> events) override {
    const auto [it, added] = m_ids.try_emplace(Key(events), m_next);
    if (added) m_chunks[m_next++].events.assign(events.begin(), events.end());
    ++m_chunks[it->second].refs;
    return it->second;
  }
  std::optional<ChunkId> Find(std::span<const CT7KEvent> events) override {
    const auto it = m_ids.find(Key(events));
    return it == m_ids.end() ? std::nullopt : std::optional(it->second);
  }
  void Release(ChunkId id) override {
    if (--m_chunks.at(id).refs > 0) return;
    m_ids.erase(Key(m_chunks.at(id).events));
    m_chunks.erase(id);
  }
  const std::vector<CT7KEvent>& Load(ChunkId id) override { return m_chunks.at(id).events; }

  const std::map<ChunkId, Entry>& Chunks() const { return m_chunks; }

 private:
  static std::string Key(std::span<const CT7KEvent> events) {
    const std::span<const std::uint8_t> bytes = EventBytes(events);
    return {bytes.begin(), bytes.end()};
  }

  std::map<ChunkId, Entry> m_chunks;
  std::map<std::string, ChunkId> m_ids;  // each chunk by its records
  ChunkId m_next = 1;
};

}  // namespace logwick::test
