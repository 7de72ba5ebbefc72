// The archive's chunks in its SQLite database: table `chunk` (id, hash, refs,
// events as their raw 16-byte records). Chunks read in one operation are
// kept in memory until ForgetLoaded().
#pragma once

#include <unordered_map>

#include "history/chunk_store.h"
#include "history/sqlite_db.h"

namespace logwick {

class SqliteChunkStore : public ChunkStore {
 public:
  explicit SqliteChunkStore(SqliteDb& db);

  ChunkId Acquire(std::span<const CT7KEvent> events) override;
  std::optional<ChunkId> Find(std::span<const CT7KEvent> events) override;
  void Release(ChunkId id) override;
  const std::vector<CT7KEvent>& Load(ChunkId id) override;

  // Drops the chunks kept in memory (after a rolled-back transaction too).
  void ForgetLoaded() { m_loaded.clear(); }

 private:
  std::optional<ChunkId> Lookup(std::span<const CT7KEvent> events, std::uint64_t hash);

  SqliteStatement m_byHash;
  SqliteStatement m_insert;
  SqliteStatement m_addRef;
  SqliteStatement m_dropRef;
  SqliteStatement m_remove;
  SqliteStatement m_load;
  std::unordered_map<ChunkId, std::vector<CT7KEvent>> m_loaded;
};

// Records as the bytes the database keeps, and back.
std::span<const std::uint8_t> EventBytes(std::span<const CT7KEvent> events);
std::vector<CT7KEvent> EventsFromBytes(std::span<const std::uint8_t> bytes);

}  // namespace logwick
