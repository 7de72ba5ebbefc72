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
      m_insert(db.Prepare("INSERT INTO chunk (hash, refs, events) VALUES (?1, 0, ?2)")),
      m_addRefs(db.Prepare("UPDATE chunk SET refs = refs + ?2 WHERE id = ?1 RETURNING refs")),
      m_remove(db.Prepare("DELETE FROM chunk WHERE id = ?1")),
      m_load(db.Prepare("SELECT events FROM chunk WHERE id = ?1")) {}

const std::vector<CT7KEvent>& SqliteChunkStore::Keep(ChunkId id, std::uint64_t hash,
                                                     std::vector<CT7KEvent> events) {
  auto [it, added] = m_loaded.emplace(id, std::move(events));
  if (added) m_byHashLoaded.emplace(hash, id);
  return it->second;
}

std::optional<ChunkId> SqliteChunkStore::Known(std::span<const CT7KEvent> events, std::uint64_t hash) const {
  const auto [from, to] = m_byHashLoaded.equal_range(hash);
  for (auto it = from; it != to; ++it)
    if (std::ranges::equal(m_loaded.at(it->second), events)) return it->second;
  return std::nullopt;
}

std::optional<ChunkId> SqliteChunkStore::Lookup(std::span<const CT7KEvent> events, std::uint64_t hash) {
  if (std::optional<ChunkId> id = Known(events, hash)) return id;
  const std::span<const std::uint8_t> bytes = EventBytes(events);
  m_byHash.Bind(1, static_cast<std::int64_t>(hash));
  std::optional<ChunkId> found;
  while (!found && m_byHash.Step())
    if (std::ranges::equal(m_byHash.Blob(1), bytes)) found = m_byHash.Int(0);
  m_byHash.Reset();
  if (found) Keep(*found, hash, {events.begin(), events.end()});
  return found;
}

ChunkId SqliteChunkStore::Acquire(std::span<const CT7KEvent> events) {
  const std::uint64_t hash = ChunkHash(events);
  std::optional<ChunkId> id = Lookup(events, hash);
  if (!id) {
    // Stored unheld; the holders are counted in at the flush.
    m_insert.Bind(1, static_cast<std::int64_t>(hash)).BindBlob(2, EventBytes(events)).Run();
    id = m_insert.Db().LastInsertRowid();
    Keep(*id, hash, {events.begin(), events.end()});
  }
  ++m_refChanges[*id];
  return *id;
}

std::optional<ChunkId> SqliteChunkStore::Find(std::span<const CT7KEvent> events) {
  return Lookup(events, ChunkHash(events));
}

void SqliteChunkStore::Release(ChunkId id) { --m_refChanges[id]; }

void SqliteChunkStore::Flush() {
  for (const auto& [id, change] : m_refChanges) {
    m_addRefs.Bind(1, id).Bind(2, change);
    const bool unheld = m_addRefs.Step() && m_addRefs.Int(0) <= 0;
    m_addRefs.Reset();
    if (unheld) m_remove.Bind(1, id).Run();
  }
  m_refChanges.clear();
}

void SqliteChunkStore::Forget() {
  m_load.Reset();  // a peeked chunk holds the read snapshot until then
  m_loaded.clear();
  m_byHashLoaded.clear();
  m_refChanges.clear();
}

std::span<const std::uint8_t> SqliteChunkStore::PeekBytes(ChunkId id) {
  if (auto it = m_loaded.find(id); it != m_loaded.end()) return EventBytes(it->second);
  m_load.Reset();
  m_load.Bind(1, id);
  if (!m_load.Step()) {
    m_load.Reset();
    throw SqliteError::Corrupt("a chunk the history names is missing");
  }
  return m_load.Blob(0);
}

void SqliteChunkStore::CopyEvents(ChunkId id, std::size_t from, std::size_t to, std::vector<CT7KEvent>& out) {
  const std::span<const std::uint8_t> bytes = PeekBytes(id);
  if (to * CT7KEvent::kSize > bytes.size())
    throw SqliteError::Corrupt("a chunk is shorter than the history says");
  const std::size_t at = out.size();
  out.resize(at + (to - from));
  std::memcpy(out.data() + at, bytes.data() + from * CT7KEvent::kSize, (to - from) * CT7KEvent::kSize);
  m_load.Reset();
}

const std::vector<CT7KEvent>& SqliteChunkStore::Load(ChunkId id) {
  if (auto it = m_loaded.find(id); it != m_loaded.end()) return it->second;
  m_load.Reset();
  m_load.Bind(1, id);
  if (!m_load.Step()) {
    m_load.Reset();
    throw SqliteError::Corrupt("a chunk the history names is missing");
  }
  std::vector<CT7KEvent> events = EventsFromBytes(m_load.Blob(0));
  m_load.Reset();
  const std::uint64_t hash = ChunkHash(events);
  return Keep(id, hash, std::move(events));
}

}  // namespace logwick
