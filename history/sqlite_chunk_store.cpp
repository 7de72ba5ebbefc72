#include "history/sqlite_chunk_store.h"

#include <algorithm>
#include <cstring>

#include "history/event_chunks.h"

namespace logwick {

static_assert(sizeof(CT7KEvent) == CT7KEvent::kSize, "records are stored as their bytes");

std::span<const std::uint8_t> EventBytes(std::span<const CT7KEvent> events) {
  return {reinterpret_cast<const std::uint8_t*>(events.data()), events.size() * CT7KEvent::kSize};
}

std::vector<CT7KEvent> EventsFromBytes(std::span<const std::uint8_t> bytes) {
  std::vector<CT7KEvent> events(bytes.size() / CT7KEvent::kSize);
  if (!events.empty()) std::memcpy(events.data(), bytes.data(), events.size() * CT7KEvent::kSize);
  return events;
}

SqliteChunkStore::SqliteChunkStore(SqliteDb& db)
    : m_byHash(db.Prepare("SELECT id, events FROM chunk WHERE hash = ?1")),
      m_insert(db.Prepare("INSERT INTO chunk (hash, refs, events) VALUES (?1, 1, ?2)")),
      m_addRef(db.Prepare("UPDATE chunk SET refs = refs + 1 WHERE id = ?1")),
      m_dropRef(db.Prepare("UPDATE chunk SET refs = refs - 1 WHERE id = ?1 RETURNING refs")),
      m_remove(db.Prepare("DELETE FROM chunk WHERE id = ?1")),
      m_load(db.Prepare("SELECT events FROM chunk WHERE id = ?1")) {}

std::optional<ChunkId> SqliteChunkStore::Lookup(std::span<const CT7KEvent> events, std::uint64_t hash) {
  const std::span<const std::uint8_t> bytes = EventBytes(events);
  m_byHash.Bind(1, static_cast<std::int64_t>(hash));
  std::optional<ChunkId> found;
  while (!found && m_byHash.Step()) {
    const std::span<const std::uint8_t> stored = m_byHash.Blob(1);
    if (std::ranges::equal(stored, bytes)) found = m_byHash.Int(0);
  }
  m_byHash.Reset();
  return found;
}

ChunkId SqliteChunkStore::Acquire(std::span<const CT7KEvent> events) {
  const std::uint64_t hash = ChunkHash(events);
  if (const std::optional<ChunkId> id = Lookup(events, hash)) {
    m_addRef.Bind(1, *id).Run();
    return *id;
  }
  m_insert.Bind(1, static_cast<std::int64_t>(hash)).BindBlob(2, EventBytes(events)).Run();
  return m_insert.Db().LastInsertRowid();
}

std::optional<ChunkId> SqliteChunkStore::Find(std::span<const CT7KEvent> events) {
  return Lookup(events, ChunkHash(events));
}

void SqliteChunkStore::Release(ChunkId id) {
  m_dropRef.Bind(1, id);
  const bool unheld = m_dropRef.Step() && m_dropRef.Int(0) <= 0;
  m_dropRef.Reset();
  if (!unheld) return;
  m_remove.Bind(1, id).Run();
  m_loaded.erase(id);
}

const std::vector<CT7KEvent>& SqliteChunkStore::Load(ChunkId id) {
  auto it = m_loaded.find(id);
  if (it != m_loaded.end()) return it->second;
  m_load.Bind(1, id);
  if (!m_load.Step()) {
    m_load.Reset();
    throw SqliteError::Corrupt("a chunk the history names is missing");
  }
  std::vector<CT7KEvent> events = EventsFromBytes(m_load.Blob(0));
  m_load.Reset();
  return m_loaded.emplace(id, std::move(events)).first->second;
}

}  // namespace logwick
