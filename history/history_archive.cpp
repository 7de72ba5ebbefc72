#include "history/history_archive.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>

#include "events/strformat.h"
#include "history/blob_codec.h"
#include "history/chunked_history.h"
#include "history/sqlite_chunk_store.h"
#include "history/sqlite_db.h"
#include "lists/file_system.h"
#include "lists/list_digest.h"

namespace logwick {
namespace {

// How long a change waits for another program's change to the same archive
// (the desktop program and the command line filing at the same moment).
constexpr int kBusyTimeoutMs = 15000;

// The most events a history's list sets aside before its chunks are read.
constexpr std::size_t kReserveEvents = 1u << 22;

// Marks the SQLite file as an archive of this program ("LWKH").
constexpr std::int64_t kApplicationId = 0x4C574B48;

// Schema steps: kMigrations[v] takes an archive of version v to v + 1. An
// archive is created by running them all on an empty database.
constexpr const char* kMigrations[] = {
    // 0 -> 1
    R"sql(
CREATE TABLE panel (
  id INTEGER PRIMARY KEY,
  type INTEGER NOT NULL,
  serial INTEGER NOT NULL,
  events INTEGER NOT NULL DEFAULT 0,
  pieces BLOB NOT NULL DEFAULT x'',
  gaps BLOB NOT NULL DEFAULT x'',
  gap_count INTEGER NOT NULL DEFAULT 0,
  first_event INTEGER,
  last_event INTEGER,
  UNIQUE (type, serial)
);
CREATE TABLE chunk (
  id INTEGER PRIMARY KEY,
  hash INTEGER NOT NULL,
  refs INTEGER NOT NULL,
  events BLOB NOT NULL
);
CREATE INDEX chunk_by_hash ON chunk (hash);
CREATE TABLE readout (
  id INTEGER PRIMARY KEY,
  panel INTEGER NOT NULL REFERENCES panel (id),
  sha256 BLOB NOT NULL UNIQUE,
  read_year INTEGER NOT NULL,
  read_month INTEGER NOT NULL,
  read_day INTEGER NOT NULL,
  read_hour INTEGER NOT NULL,
  read_min INTEGER NOT NULL,
  read_sec INTEGER NOT NULL,
  ver_major INTEGER NOT NULL,
  ver_minor INTEGER NOT NULL,
  rel_day INTEGER NOT NULL,
  rel_month INTEGER NOT NULL,
  rel_year INTEGER NOT NULL,
  config_name BLOB NOT NULL,
  reserved BLOB,
  texts BLOB NOT NULL,
  event_count INTEGER NOT NULL,
  chunks BLOB NOT NULL,
  origin TEXT NOT NULL,
  partial INTEGER NOT NULL,
  filed_at INTEGER NOT NULL
);
CREATE INDEX readout_by_time ON readout
  (panel, read_year, read_month, read_day, read_hour, read_min, read_sec, id);
)sql",
    // 1 -> 2: how far this archive and each shared server have caught up
    // with each other, by the server's own id.
    R"sql(
CREATE TABLE sync_mark (
  server TEXT PRIMARY KEY,
  sent_through INTEGER NOT NULL,
  fetched_through INTEGER NOT NULL
);
)sql",
    // 2 -> 3: the SHA-256 of the read-out each mark names, and the read-outs
    // of a server that were skipped.
    R"sql(
ALTER TABLE sync_mark ADD COLUMN sent_sha BLOB;
ALTER TABLE sync_mark ADD COLUMN fetched_sha BLOB;
CREATE TABLE sync_skip (
  server TEXT NOT NULL,
  sha256 BLOB NOT NULL,
  seq INTEGER NOT NULL,
  serial INTEGER,
  warning TEXT NOT NULL,
  PRIMARY KEY (server, sha256)
);
)sql",
};
static_assert(std::size(kMigrations) == HistoryArchive::kSchemaVersion);

constexpr char kReadTimeOrder[] =
    " ORDER BY read_year, read_month, read_day, read_hour, read_min, read_sec, id";
constexpr char kNewestFirst[] =
    " ORDER BY read_year DESC, read_month DESC, read_day DESC, read_hour DESC, read_min DESC,"
    " read_sec DESC, id DESC LIMIT 1";

constexpr char kReadoutColumns[] =
    "p.type, p.serial, r.read_year, r.read_month, r.read_day, r.read_hour, r.read_min, r.read_sec,"
    " r.ver_major, r.ver_minor, r.rel_day, r.rel_month, r.rel_year, r.config_name, r.reserved, r.texts,"
    " r.event_count, r.chunks, r.sha256";

std::filesystem::path FsPath(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

// The message of each ArchiveError::Kind, in its order.
constexpr const char* kErrorTexts[] = {
    "Архив не найден",
    "Не могу открыть архив",
    "Архив повреждён",
    "Файл не является архивом Logwick",
    "Архив записан более новой версией Logwick",
    "Архив занят другой программой",
    "Не могу записать в архив",
};

// The first 100 bytes of a SQLite file: its magic text, and the application
// id big-endian at offset 68. Checked before SQLite sees the file, so that a
// file of another kind is never opened by it, let alone written.
void CheckHeader(const std::string& path) {
  std::FILE* f = OpenFile(path, "rb");
  if (!f) throw ArchiveError(ArchiveError::Kind::CannotOpen, path, ErrnoText(errno));
  unsigned char header[100];
  errno = 0;
  const std::size_t got = std::fread(header, 1, sizeof header, f);
  const int err = std::ferror(f) ? (errno ? errno : EIO) : 0;
  std::fclose(f);
  if (err) throw ArchiveError(ArchiveError::Kind::CannotOpen, path, ErrnoText(err));
  if (got < sizeof header || std::memcmp(header, "SQLite format 3", 16) != 0)
    throw ArchiveError(ArchiveError::Kind::Damaged, path, "not a SQLite database");
  const std::int64_t appId =
      (std::int64_t{header[68]} << 24) | (header[69] << 16) | (header[70] << 8) | header[71];
  if (appId != kApplicationId) throw ArchiveError(ArchiveError::Kind::Foreign, path);
}

void Migrate(SqliteDb& db, const std::string& path) {
  SqliteTransaction tx(db);
  const std::int64_t version = db.PragmaInt("user_version");  // again, under the write lock
  if (version > HistoryArchive::kSchemaVersion)
    throw ArchiveError(ArchiveError::Kind::NewerVersion, path, StrFormat("schema %lld", (long long)version));
  for (std::int64_t v = version; v < HistoryArchive::kSchemaVersion; ++v) db.Exec(kMigrations[v]);
  db.Exec(StrFormat("PRAGMA user_version = %lld", (long long)HistoryArchive::kSchemaVersion).c_str());
  tx.Commit();
}

// A new archive comes into being whole: built under a temporary name beside
// the target and linked into place only if nobody made one meanwhile, so a
// file at the path is always an archive that was complete once.
void CreateArchiveFile(const std::string& path) {
  namespace fs = std::filesystem;
  const fs::path target = FsPath(path);
  std::error_code ec;
  if (target.has_parent_path()) fs::create_directories(target.parent_path(), ec);
  const std::string temp = path + StrFormat(".%08x.tmp", static_cast<unsigned>(std::random_device()()));
  try {
    SqliteDb db = SqliteDb::OpenOrCreate(temp);
    db.Exec("PRAGMA journal_mode = WAL");
    db.Exec(StrFormat("PRAGMA application_id = %lld", (long long)kApplicationId).c_str());
    Migrate(db, path);
  } catch (const SqliteError& e) {
    RemoveFileQuietly(temp);
    throw ArchiveError(ArchiveError::Kind::CannotWrite, path, e.what());
  }
  fs::create_hard_link(FsPath(temp), target, ec);
  if (ec && !fs::exists(target)) {
    // File systems without hard links: a plain rename, which may replace an
    // archive made in the same instant by another program (still whole).
    ec.clear();
    fs::rename(FsPath(temp), target, ec);
  }
  RemoveFileQuietly(temp);
  if (ec && !fs::exists(target)) throw ArchiveError(ArchiveError::Kind::CannotWrite, path, ec.message());
}

std::int32_t Int32(std::int64_t v) { return static_cast<std::int32_t>(v); }

// A SHA-256 column: its first 32 bytes (zero for NULL, as for a mark not known).
Sha256 ShaOf(std::span<const std::uint8_t> bytes) {
  Sha256 sha{};
  std::copy_n(bytes.begin(), std::min(bytes.size(), sha.size()), sha.begin());
  return sha;
}

constexpr char kInfoQuery[] =
    "SELECT r.id, r.sha256, r.read_year, r.read_month, r.read_day, r.read_hour, r.read_min, r.read_sec,"
    " r.event_count, r.origin, r.partial, r.filed_at, p.type, p.serial FROM readout r"
    " JOIN panel p ON p.id = r.panel";

// The rows of kInfoQuery.
std::vector<ReadoutInfo> ReadoutInfos(SqliteStatement& st) {
  std::vector<ReadoutInfo> out;
  while (st.Step()) {
    ReadoutInfo info;
    info.id = st.Int(0);
    info.sha256 = HexOf(ShaOf(st.Blob(1)));
    for (int i = 0; i < 6; ++i) info.readTime[static_cast<std::size_t>(i)] = Int32(st.Int(2 + i));
    info.events = static_cast<std::size_t>(st.Int(8));
    info.origin = st.Text(9);
    info.partial = st.Int(10) != 0;
    info.filedAt = st.Int(11);
    info.panel = {Int32(st.Int(12)), Int32(st.Int(13))};
    out.push_back(std::move(info));
  }
  return out;
}

}  // namespace

ReadTime ReadTimeOf(const CT7KEventList& l) {
  return {l.m_nReadYear, l.m_nReadMonth, l.m_nReadDay, l.m_nReadHour, l.m_nReadMin, l.m_nReadSec};
}

std::string ReadTimeText(const ReadTime& t) {
  return StrFormat("%02d/%02d/%04d %02d:%02d:%02d", t[2], t[1], t[0], t[3], t[4], t[5]);
}

ArchiveError::ArchiveError(Kind kind, const std::string& path, const std::string& detail)
    : std::runtime_error(std::string(kErrorTexts[static_cast<int>(kind)]) + ": " + path +
                         (detail.empty() ? "" : " (" + detail + ")")),
      m_kind(kind),
      m_path(path) {}

struct HistoryArchive::Impl {
  Impl(std::string p, SqliteDb d) : path(std::move(p)), db(std::move(d)), store(db) {}

  // Runs one operation; SQLite's failures become ArchiveError naming the file.
  template <class F>
  auto Guarded(ArchiveError::Kind otherwise, F&& f) -> decltype(f()) {
    try {
      struct Forget {
        SqliteChunkStore& s;
        ~Forget() { s.Forget(); }
      } forget{store};
      return f();
    } catch (const SqliteError& e) {
      if (e.IsDamage()) throw ArchiveError(ArchiveError::Kind::Damaged, path, e.what());
      if (e.IsBusy()) throw ArchiveError(ArchiveError::Kind::Busy, path);
      throw ArchiveError(otherwise, path, e.what());
    }
  }

  std::optional<std::int64_t> PanelId(const PanelKey& key);
  std::int64_t EnsurePanel(const PanelKey& key);
  std::optional<ReadTime> NewestReadTime(std::int64_t panel);
  ChunkedHistory LoadHistory(std::int64_t panel);
  ChunkedHistory Rebuild(std::int64_t panel);
  void SaveHistory(std::int64_t panel, const ChunkedHistory& h);
  std::vector<CT7KEvent> ChunkEvents(std::span<const std::uint8_t> ids);
  CT7KEventList ReadoutList(SqliteStatement& row, bool withEvents);
  FilingResult File(const CT7KEventList& list, const ReadoutOrigin& origin, std::int64_t filedAt);
  std::optional<PanelHistory> History(const PanelKey& key, std::size_t maxEvents);

  std::string path;
  SqliteDb db;
  SqliteChunkStore store;
};

std::optional<std::int64_t> HistoryArchive::Impl::PanelId(const PanelKey& key) {
  SqliteStatement st = db.Prepare("SELECT id FROM panel WHERE type = ?1 AND serial = ?2");
  st.Bind(1, key.type).Bind(2, key.serial);
  if (!st.Step()) return std::nullopt;
  return st.Int(0);
}

std::int64_t HistoryArchive::Impl::EnsurePanel(const PanelKey& key) {
  if (std::optional<std::int64_t> id = PanelId(key)) return *id;
  db.Prepare("INSERT INTO panel (type, serial) VALUES (?1, ?2)").Bind(1, key.type).Bind(2, key.serial).Run();
  return db.LastInsertRowid();
}

std::optional<ReadTime> HistoryArchive::Impl::NewestReadTime(std::int64_t panel) {
  SqliteStatement st = db.Prepare(
      std::string("SELECT read_year, read_month, read_day, read_hour, read_min, read_sec FROM readout"
                  " WHERE panel = ?1") +
      kNewestFirst);
  st.Bind(1, panel);
  if (!st.Step()) return std::nullopt;
  ReadTime t;
  for (int i = 0; i < 6; ++i) t[static_cast<std::size_t>(i)] = Int32(st.Int(i));
  return t;
}

ChunkedHistory HistoryArchive::Impl::LoadHistory(std::int64_t panel) {
  SqliteStatement st = db.Prepare("SELECT pieces, gaps, events FROM panel WHERE id = ?1");
  st.Bind(1, panel);
  if (!st.Step()) throw SqliteError::Corrupt("a panel is missing");
  ChunkedHistory h(store, DecodePieces(st.Blob(0)), DecodeGaps(st.Blob(1)));
  if (h.Size() != static_cast<std::size_t>(st.Int(2)) || (!h.Gaps().empty() && h.Gaps().back() >= h.Size()))
    throw SqliteError::Corrupt("a history does not add up");
  return h;
}

std::vector<CT7KEvent> HistoryArchive::Impl::ChunkEvents(std::span<const std::uint8_t> ids) {
  std::vector<CT7KEvent> events;
  for (ChunkId id : DecodeChunkIds(ids)) {
    const std::vector<CT7KEvent>& chunk = store.Load(id);
    events.insert(events.end(), chunk.begin(), chunk.end());
  }
  return events;
}

// Folds every read-out of the panel again, in read-time order.
ChunkedHistory HistoryArchive::Impl::Rebuild(std::int64_t panel) {
  std::vector<std::vector<std::uint8_t>> recipes;
  SqliteStatement st =
      db.Prepare(std::string("SELECT chunks FROM readout WHERE panel = ?1") + kReadTimeOrder);
  st.Bind(1, panel);
  while (st.Step()) recipes.emplace_back(st.Blob(0).begin(), st.Blob(0).end());
  ChunkedHistory h(store, {}, {});
  for (const auto& recipe : recipes) h.Fold(ChunkEvents(recipe));
  return h;
}

void HistoryArchive::Impl::SaveHistory(std::int64_t panel, const ChunkedHistory& h) {
  SqliteStatement st = db.Prepare(
      "UPDATE panel SET events = ?2, pieces = ?3, gaps = ?4, gap_count = ?5, first_event = ?6,"
      " last_event = ?7 WHERE id = ?1");
  const std::size_t n = h.Size();
  st.Bind(1, panel).Bind(2, static_cast<std::int64_t>(n));
  st.BindBlob(3, EncodePieces(h.Pieces())).BindBlob(4, EncodeGaps(h.Gaps()));
  st.Bind(5, static_cast<std::int64_t>(h.Gaps().size()));
  if (n > 0) {
    st.Bind(6, h.Events(0, 1).front().TimeStamp()).Bind(7, h.Events(n - 1, n).front().TimeStamp());
  } else {
    st.BindNull(6).BindNull(7);
  }
  st.Run();
}

// A read-out row as selected with kReadoutColumns.
CT7KEventList HistoryArchive::Impl::ReadoutList(SqliteStatement& row, bool withEvents) {
  CT7KEventList l;
  l.m_nPanelType = Int32(row.Int(0));
  l.m_nSerNum = Int32(row.Int(1));
  std::int32_t* const fields[] = {&l.m_nReadYear, &l.m_nReadMonth, &l.m_nReadDay,  &l.m_nReadHour,
                                  &l.m_nReadMin,  &l.m_nReadSec,   &l.m_nVerMajor, &l.m_nVerMinor,
                                  &l.m_nRelDay,   &l.m_nRelMonth,  &l.m_nRelYear};
  for (int i = 0; i < 11; ++i) *fields[i] = Int32(row.Int(2 + i));
  const auto name = row.Blob(13);
  if (name.size() != l.m_szConfigName.size()) throw SqliteError::Corrupt("a configuration name is cut");
  std::memcpy(l.m_szConfigName.data(), name.data(), name.size());
  if (!row.IsNull(14)) {
    const auto reserved = row.Blob(14);
    if (reserved.size() != l.m_reserved.size()) throw SqliteError::Corrupt("a reserved block is cut");
    std::memcpy(l.m_reserved.data(), reserved.data(), reserved.size());
  }
  l.m_texts = DecodeTexts(row.Blob(15));
  if (!withEvents) return l;
  std::vector<CT7KEvent> events = ChunkEvents(row.Blob(17));
  if (events.size() != static_cast<std::size_t>(row.Int(16))) throw SqliteError::Corrupt("a read-out is cut");
  l.Reserve(events.size());
  for (auto it = events.rbegin(); it != events.rend(); ++it) l.AddTail(*it);
  const auto sha = row.Blob(18);
  if (!std::ranges::equal(EventListSha256(l), sha)) throw SqliteError::Corrupt("a read-out has changed");
  return l;
}

FilingResult HistoryArchive::Impl::File(const CT7KEventList& list, const ReadoutOrigin& origin,
                                        std::int64_t filedAt) {
  const Sha256 sha = EventListSha256(list);
  std::vector<CT7KEvent> r(list.begin(), list.end());
  std::reverse(r.begin(), r.end());  // the panel's order: oldest first
  FilingResult result;
  result.panel = {list.m_nPanelType, list.m_nSerNum};
  result.events = r.size();

  SqliteTransaction tx(db);
  SqliteStatement known = db.Prepare("SELECT id FROM readout WHERE sha256 = ?1");
  if (known.BindBlob(1, sha).Step()) {
    result.readout = known.Int(0);
    result.alreadyFiled = true;
    result.knownEvents = r.size();
    return result;
  }
  const std::int64_t panel = EnsurePanel(result.panel);
  const std::optional<ReadTime> newest = NewestReadTime(panel);
  ChunkedHistory history = LoadHistory(panel);
  const std::size_t oldSize = history.Size();
  const std::size_t oldGaps = history.Gaps().size();

  const std::vector<HistoryPiece> recipe = AcquirePieces(store, r);
  SqliteStatement insert = db.Prepare(
      "INSERT INTO readout (panel, sha256, read_year, read_month, read_day, read_hour, read_min, read_sec,"
      " ver_major, ver_minor, rel_day, rel_month, rel_year, config_name, reserved, texts, event_count,"
      " chunks, origin, partial, filed_at)"
      " VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16, ?17, ?18, ?19, ?20,"
      " ?21)");
  insert.Bind(1, panel).BindBlob(2, sha);
  const std::int32_t ints[] = {list.m_nReadYear, list.m_nReadMonth, list.m_nReadDay,  list.m_nReadHour,
                               list.m_nReadMin,  list.m_nReadSec,   list.m_nVerMajor, list.m_nVerMinor,
                               list.m_nRelDay,   list.m_nRelMonth,  list.m_nRelYear};
  for (int i = 0; i < 11; ++i) insert.Bind(3 + i, ints[i]);
  insert.BindBlob(14, std::span(reinterpret_cast<const std::uint8_t*>(list.m_szConfigName.data()),
                                list.m_szConfigName.size()));
  if (std::ranges::all_of(list.m_reserved, [](std::uint8_t b) { return b == 0; }))
    insert.BindNull(15);
  else
    insert.BindBlob(15, list.m_reserved);
  insert.BindBlob(16, EncodeTexts(list.m_texts)).Bind(17, static_cast<std::int64_t>(r.size()));
  insert.BindBlob(18, EncodeChunkIds(recipe)).Bind(19, origin.source).Bind(20, origin.partial ? 1 : 0);
  insert.Bind(21, filedAt).Run();
  result.readout = db.LastInsertRowid();

  // A read-out older than the newest one filed changes what came after it:
  // the panel's history is folded again from the start.
  std::size_t newSize = 0;
  if (!newest || ReadTimeOf(list) >= *newest) {
    result.gapMarkSet = history.Fold(r).gap;
    SaveHistory(panel, history);
    newSize = history.Size();
  } else {
    const ChunkedHistory rebuilt = Rebuild(panel);
    history.ReleaseAll();
    result.gapMarkSet = rebuilt.Gaps().size() > oldGaps;
    SaveHistory(panel, rebuilt);
    newSize = rebuilt.Size();
  }
  store.Flush();
  tx.Commit();
  result.newEvents = newSize > oldSize ? newSize - oldSize : 0;
  result.knownEvents = r.size() > result.newEvents ? r.size() - result.newEvents : 0;
  return result;
}

std::optional<PanelHistory> HistoryArchive::Impl::History(const PanelKey& key, std::size_t maxEvents) {
  SqliteTransaction tx(db, SqliteTransaction::Read);
  const std::optional<std::int64_t> panel = PanelId(key);
  if (!panel) return std::nullopt;
  SqliteStatement newest = db.Prepare(std::string("SELECT ") + kReadoutColumns +
                                      " FROM readout r JOIN panel p ON p.id = r.panel WHERE r.id ="
                                      " (SELECT id FROM readout WHERE panel = ?1" +
                                      kNewestFirst + ")");
  newest.Bind(1, *panel);
  if (!newest.Step()) return std::nullopt;
  PanelHistory out;
  out.panel = key;
  out.list = ReadoutList(newest, false);
  SqliteStatement count = db.Prepare("SELECT COUNT(*) FROM readout WHERE panel = ?1");
  count.Bind(1, *panel).Step();
  out.readouts = static_cast<std::uint64_t>(count.Int(0));

  const ChunkedHistory h = LoadHistory(*panel);
  const std::size_t total = h.Size();
  const std::size_t n = std::min(total, maxEvents);
  out.totalEvents = total;
  // Newest first, straight from the stored records into the list. The count
  // is the archive's word until each chunk is read: a damaged one may claim
  // billions, so no more is set aside than a sound history of some millions.
  out.list.Reserve(std::min<std::size_t>(n, kReserveEvents));
  std::size_t end = total;
  for (auto piece = h.Pieces().rbegin(); piece != h.Pieces().rend() && out.list.GetCount() < n; ++piece) {
    const std::span<const std::uint8_t> bytes = store.PeekBytes(piece->chunk);
    if (bytes.size() != std::size_t{piece->count} * CT7KEvent::kSize)
      throw SqliteError::Corrupt("a chunk is not as long as the history says");
    const std::size_t begin = end - piece->count;
    for (std::size_t i = piece->count; i > 0 && begin + i > total - n; --i)
      out.list.AddTail(CT7KEvent(bytes.data() + (i - 1) * CT7KEvent::kSize));
    end = begin;
  }
  store.Forget();
  for (auto it = h.Gaps().rbegin(); it != h.Gaps().rend(); ++it)
    if (total - *it < n) out.gapMarks.push_back(total - *it);
  return out;
}

HistoryArchive::HistoryArchive(std::unique_ptr<Impl> impl) : m_impl(std::move(impl)) {}
HistoryArchive::~HistoryArchive() = default;

const std::string& HistoryArchive::Path() const { return m_impl->path; }

std::unique_ptr<HistoryArchive> HistoryArchive::Open(const std::string& path, bool create) {
  std::error_code ec;
  if (!std::filesystem::exists(FsPath(path), ec)) {
    if (!create) throw ArchiveError(ArchiveError::Kind::Missing, path);
    CreateArchiveFile(path);
  }
  CheckHeader(path);
  try {
    SqliteDb db = SqliteDb::OpenExisting(path);
    db.SetBusyTimeout(kBusyTimeoutMs);
    const std::int64_t version = db.PragmaInt("user_version");
    if (version > kSchemaVersion)
      throw ArchiveError(ArchiveError::Kind::NewerVersion, path,
                         StrFormat("schema %lld", (long long)version));
    // NORMAL is enough in WAL mode: a crash of the program never loses a
    // committed change, one of the machine at worst the last few.
    db.Exec("PRAGMA synchronous = NORMAL");
    if (version < kSchemaVersion) Migrate(db, path);
    return std::unique_ptr<HistoryArchive>(new HistoryArchive(std::make_unique<Impl>(path, std::move(db))));
  } catch (const SqliteError& e) {
    if (e.IsBusy()) throw ArchiveError(ArchiveError::Kind::Busy, path);
    // Damage, or tables that are not ours under our id: either way not an
    // archive this program can read.
    if (e.IsDamage() || e.IsSqlError()) throw ArchiveError(ArchiveError::Kind::Damaged, path, e.what());
    throw ArchiveError(ArchiveError::Kind::CannotOpen, path, e.what());
  }
}

FilingResult HistoryArchive::File(const CT7KEventList& readout, const ReadoutOrigin& origin,
                                  std::optional<std::int64_t> filedAt) {
  const std::int64_t when = filedAt.value_or(
      std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
          .count());
  return m_impl->Guarded(ArchiveError::Kind::CannotWrite,
                         [&] { return m_impl->File(readout, origin, when); });
}

std::vector<PanelSummary> HistoryArchive::Panels() {
  return m_impl->Guarded(ArchiveError::Kind::CannotOpen, [&] {
    SqliteDb& db = m_impl->db;
    SqliteTransaction tx(db, SqliteTransaction::Read);
    SqliteStatement st = db.Prepare(
        std::string("SELECT p.type, p.serial, p.events, p.gap_count, p.first_event, p.last_event,"
                    " (SELECT COUNT(*) FROM readout WHERE panel = p.id),"
                    " r.config_name, r.read_year, r.read_month, r.read_day, r.read_hour, r.read_min,"
                    " r.read_sec"
                    " FROM panel p JOIN readout r ON r.id = (SELECT id FROM readout WHERE panel = p.id") +
        kNewestFirst + ") ORDER BY p.serial, p.type");
    std::vector<PanelSummary> out;
    while (st.Step()) {
      PanelSummary s;
      s.panel = {Int32(st.Int(0)), Int32(st.Int(1))};
      s.events = static_cast<std::uint64_t>(st.Int(2));
      s.gapMarks = static_cast<std::uint64_t>(st.Int(3));
      if (!st.IsNull(4)) s.firstEvent = static_cast<std::uint32_t>(st.Int(4));
      if (!st.IsNull(5)) s.lastEvent = static_cast<std::uint32_t>(st.Int(5));
      s.readouts = static_cast<std::uint64_t>(st.Int(6));
      CT7KEventList name;
      const auto bytes = st.Blob(7);
      if (bytes.size() != name.m_szConfigName.size())
        throw SqliteError::Corrupt("a configuration name is cut");
      name.SetConfigNameBytes(reinterpret_cast<const char*>(bytes.data()), bytes.size());
      s.configName = name.ConfigNameText();
      for (int i = 0; i < 6; ++i) s.lastRead[static_cast<std::size_t>(i)] = Int32(st.Int(8 + i));
      out.push_back(std::move(s));
    }
    return out;
  });
}

std::vector<PanelKey> HistoryArchive::PanelsWithSerial(std::int32_t serial) {
  return m_impl->Guarded(ArchiveError::Kind::CannotOpen, [&] {
    SqliteStatement st = m_impl->db.Prepare("SELECT type FROM panel WHERE serial = ?1 ORDER BY type");
    st.Bind(1, serial);
    std::vector<PanelKey> out;
    while (st.Step()) out.push_back({Int32(st.Int(0)), serial});
    return out;
  });
}

std::optional<PanelHistory> HistoryArchive::History(const PanelKey& panel, std::size_t maxEvents) {
  return m_impl->Guarded(ArchiveError::Kind::CannotOpen, [&] { return m_impl->History(panel, maxEvents); });
}

std::vector<ReadoutInfo> HistoryArchive::Readouts(const PanelKey& panel) {
  return m_impl->Guarded(ArchiveError::Kind::CannotOpen, [&] {
    SqliteStatement st = m_impl->db.Prepare(
        std::string(kInfoQuery) +
        " WHERE p.type = ?1 AND p.serial = ?2 ORDER BY r.read_year, r.read_month, r.read_day, r.read_hour,"
        " r.read_min, r.read_sec, r.id");
    st.Bind(1, panel.type).Bind(2, panel.serial);
    return ReadoutInfos(st);
  });
}

std::vector<ReadoutInfo> HistoryArchive::ReadoutsFiledAfter(std::int64_t id) {
  return m_impl->Guarded(ArchiveError::Kind::CannotOpen, [&] {
    SqliteStatement st = m_impl->db.Prepare(std::string(kInfoQuery) + " WHERE r.id > ?1 ORDER BY r.id");
    st.Bind(1, id);
    return ReadoutInfos(st);
  });
}

std::optional<ReadoutInfo> HistoryArchive::ReadoutInfoOf(std::int64_t id) {
  return m_impl->Guarded(ArchiveError::Kind::CannotOpen, [&]() -> std::optional<ReadoutInfo> {
    SqliteStatement st = m_impl->db.Prepare(std::string(kInfoQuery) + " WHERE r.id = ?1");
    st.Bind(1, id);
    std::vector<ReadoutInfo> found = ReadoutInfos(st);
    if (found.empty()) return std::nullopt;
    return std::move(found.front());
  });
}

std::optional<CT7KEventList> HistoryArchive::Readout(std::int64_t id) {
  return m_impl->Guarded(ArchiveError::Kind::CannotOpen, [&]() -> std::optional<CT7KEventList> {
    SqliteTransaction tx(m_impl->db, SqliteTransaction::Read);
    SqliteStatement st = m_impl->db.Prepare(std::string("SELECT ") + kReadoutColumns +
                                            " FROM readout r JOIN panel p ON p.id = r.panel WHERE r.id = ?1");
    st.Bind(1, id);
    if (!st.Step()) return std::nullopt;
    return m_impl->ReadoutList(st, true);
  });
}

bool HistoryArchive::HoldsReadout(const Sha256& sha) {
  return m_impl->Guarded(ArchiveError::Kind::CannotOpen, [&] {
    return m_impl->db.Prepare("SELECT 1 FROM readout WHERE sha256 = ?1").BindBlob(1, sha).Step();
  });
}

SyncMarks HistoryArchive::SyncMarksFor(const std::string& server) {
  return m_impl->Guarded(ArchiveError::Kind::CannotOpen, [&] {
    SqliteStatement st = m_impl->db.Prepare(
        "SELECT sent_through, fetched_through, sent_sha, fetched_sha FROM sync_mark WHERE server = ?1");
    if (!st.Bind(1, server).Step()) return SyncMarks{};
    return SyncMarks{st.Int(0), st.Int(1), ShaOf(st.Blob(2)), ShaOf(st.Blob(3))};
  });
}

void HistoryArchive::SetSyncMarks(const std::string& server, const SyncMarks& marks) {
  m_impl->Guarded(ArchiveError::Kind::CannotWrite, [&] {
    m_impl->db
        .Prepare(
            "INSERT INTO sync_mark (server, sent_through, fetched_through, sent_sha, fetched_sha)"
            " VALUES (?1, ?2, ?3, ?4, ?5) ON CONFLICT (server) DO UPDATE SET sent_through = ?2,"
            " fetched_through = ?3, sent_sha = ?4, fetched_sha = ?5")
        .Bind(1, server)
        .Bind(2, marks.sentThrough)
        .Bind(3, marks.fetchedThrough)
        .BindBlob(4, marks.sentSha)
        .BindBlob(5, marks.fetchedSha)
        .Run();
  });
}

std::vector<SkippedReadout> HistoryArchive::SkippedReadouts(const std::string& server) {
  return m_impl->Guarded(ArchiveError::Kind::CannotOpen, [&] {
    SqliteStatement st = m_impl->db.Prepare(
        "SELECT server, sha256, seq, serial, warning FROM sync_skip WHERE ?1 = '' OR server = ?1"
        " ORDER BY server, seq");
    st.Bind(1, server);
    std::vector<SkippedReadout> out;
    while (st.Step()) {
      SkippedReadout s{st.Text(0), ShaOf(st.Blob(1)), st.Int(2), std::nullopt, st.Text(4)};
      if (!st.IsNull(3)) s.serial = Int32(st.Int(3));
      out.push_back(std::move(s));
    }
    return out;
  });
}

void HistoryArchive::RememberSkipped(const SkippedReadout& s) {
  m_impl->Guarded(ArchiveError::Kind::CannotWrite, [&] {
    SqliteStatement st = m_impl->db.Prepare(
        "INSERT INTO sync_skip (server, sha256, seq, serial, warning) VALUES (?1, ?2, ?3, ?4, ?5)"
        " ON CONFLICT (server, sha256) DO UPDATE SET seq = ?3, serial = ?4, warning = ?5");
    st.Bind(1, s.server).BindBlob(2, s.sha).Bind(3, s.seq).Bind(5, s.warning);
    if (s.serial)
      st.Bind(4, *s.serial);
    else
      st.BindNull(4);
    st.Run();
  });
}

void HistoryArchive::ForgetSkipped(const std::string& server, const Sha256& sha) {
  m_impl->Guarded(ArchiveError::Kind::CannotWrite, [&] {
    m_impl->db.Prepare("DELETE FROM sync_skip WHERE server = ?1 AND sha256 = ?2")
        .Bind(1, server)
        .BindBlob(2, sha)
        .Run();
  });
}

}  // namespace logwick
