// The archive's chunks in its SQLite database: table `chunk` (id, hash, refs,
// events as their raw 16-byte records). Within one operation the store keeps
// the chunks it has read or written in memory and adds up the changes to
// their holders; Flush() writes those before the transaction commits, and
// Forget() drops everything after it ends either way.
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
  void CopyEvents(ChunkId id, std::size_t from, std::size_t to, std::vector<CT7KEvent>& out) override;
  // The chunk's raw records, valid until the next call on this store or
  // Forget(), which must come before the transaction ends.
  std::span<const std::uint8_t> PeekBytes(ChunkId id);

  // Writes the holder counts changed since the last flush and removes the
  // chunks nobody holds.
  void Flush();
  void Forget();

 private:
  std::optional<ChunkId> Known(std::span<const CT7KEvent> events, std::uint64_t hash) const;
  std::optional<ChunkId> Lookup(std::span<const CT7KEvent> events, std::uint64_t hash);
  const std::vector<CT7KEvent>& Keep(ChunkId id, std::uint64_t hash, std::vector<CT7KEvent> events);

  SqliteStatement m_byHash;
  SqliteStatement m_insert;
  SqliteStatement m_addRefs;
  SqliteStatement m_remove;
  SqliteStatement m_load;
  std::unordered_map<ChunkId, std::vector<CT7KEvent>> m_loaded;
  std::unordered_multimap<std::uint64_t, ChunkId> m_byHashLoaded;
  std::unordered_map<ChunkId, std::int64_t> m_refChanges;
};

// Records as the bytes the database keeps, and back.
std::span<const std::uint8_t> EventBytes(std::span<const CT7KEvent> events);
std::vector<CT7KEvent> EventsFromBytes(std::span<const std::uint8_t> bytes);

}  // namespace logwick
