#include "sync/pg_readout_server.h"

#include <algorithm>
#include <cstring>

#include "history/blob_codec.h"
#include "history/sqlite_db.h"
#include "sync/sync_error.h"

namespace logwick {
namespace {

// The lock that arrivals take turns on, and the one server-init holds: class
// "LWKH" (as the local archive's application id), objects 1 and 2.
constexpr char kArrivalLock[] = "pg_advisory_xact_lock(1280789320, 1)";
constexpr char kInitLock[] = "SELECT pg_advisory_xact_lock(1280789320, 2)";

// Schema steps: kServerMigrations[v] takes a shared archive of version v to
// v + 1. The facts table keeps its first two columns in every version, so
// that any version can tell which one it meets.
constexpr const char* kServerMigrations[] = {
    // 0 -> 1
    R"sql(
CREATE SCHEMA logwick;
COMMENT ON SCHEMA logwick IS 'Logwick: the shared archive of panel read-outs';
CREATE TABLE logwick.meta (
  version integer NOT NULL,
  server_id uuid NOT NULL DEFAULT gen_random_uuid(),
  one boolean PRIMARY KEY DEFAULT true CHECK (one),
  created_at timestamptz NOT NULL DEFAULT now()
);
CREATE TABLE logwick.readout (
  seq bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
  sha256 bytea NOT NULL UNIQUE CHECK (octet_length(sha256) = 32),
  panel_type integer NOT NULL,
  serial integer NOT NULL,
  read_year integer NOT NULL,
  read_month integer NOT NULL,
  read_day integer NOT NULL,
  read_hour integer NOT NULL,
  read_min integer NOT NULL,
  read_sec integer NOT NULL,
  ver_major integer NOT NULL,
  ver_minor integer NOT NULL,
  rel_day integer NOT NULL,
  rel_month integer NOT NULL,
  rel_year integer NOT NULL,
  config_name bytea NOT NULL,
  reserved bytea,
  texts bytea NOT NULL,
  event_count integer NOT NULL,
  events bytea NOT NULL CHECK (octet_length(events) = 16 * event_count),
  origin text NOT NULL,
  partial boolean NOT NULL,
  filed_at timestamptz NOT NULL,
  sent_by name NOT NULL DEFAULT current_user,
  sent_at timestamptz NOT NULL DEFAULT now()
);
CREATE INDEX readout_by_panel ON logwick.readout (panel_type, serial);
COMMENT ON TABLE logwick.readout IS
  'Read-outs as filed, each once (by the SHA-256 of its event-file form), numbered as they arrived';
COMMENT ON COLUMN logwick.readout.config_name IS '17 bytes, Windows-1251, as the panel holds them';
COMMENT ON COLUMN logwick.readout.reserved IS 'the event file''s 1020 reserved bytes; NULL when all zero';
COMMENT ON COLUMN logwick.readout.texts IS
  'the message texts in order, each as its UTF-8 length (unsigned LEB128) and bytes';
COMMENT ON COLUMN logwick.readout.events IS 'the raw 16-byte records, newest first as read';
COMMENT ON COLUMN logwick.readout.origin IS 'the event file or the port it came from';
DO $$
BEGIN
  IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = 'logwick_engineer') THEN
    CREATE ROLE logwick_engineer NOLOGIN;
  END IF;
END
$$;
GRANT USAGE ON SCHEMA logwick TO logwick_engineer;
GRANT SELECT ON logwick.meta TO logwick_engineer;
GRANT SELECT, INSERT ON logwick.readout TO logwick_engineer;
)sql",
};
static_assert(std::size(kServerMigrations) == PgReadoutServer::kSchemaVersion);

constexpr char kHeaderColumns[] =
    "panel_type, serial, read_year, read_month, read_day, read_hour, read_min, read_sec, ver_major,"
    " ver_minor, rel_day, rel_month, rel_year";

// The header's numbers in the order of kHeaderColumns.
constexpr std::int32_t CT7KEventList::*kHeaderFields[] = {
    &CT7KEventList::m_nPanelType, &CT7KEventList::m_nSerNum,  &CT7KEventList::m_nReadYear,
    &CT7KEventList::m_nReadMonth, &CT7KEventList::m_nReadDay, &CT7KEventList::m_nReadHour,
    &CT7KEventList::m_nReadMin,   &CT7KEventList::m_nReadSec, &CT7KEventList::m_nVerMajor,
    &CT7KEventList::m_nVerMinor,  &CT7KEventList::m_nRelDay,  &CT7KEventList::m_nRelMonth,
    &CT7KEventList::m_nRelYear};
constexpr int kHeaderCount = static_cast<int>(std::size(kHeaderFields));

std::span<const std::uint8_t> BytesOf(const void* data, std::size_t size) {
  return {static_cast<const std::uint8_t*>(data), size};
}

// A column that must hold exactly size bytes; anything else leaves the field
// as it is, and the read-out then fails its SHA-256 check.
template <std::size_t N, class T>
void CopyExact(std::span<const std::uint8_t> bytes, std::array<T, N>& field) {
  if (bytes.size() == N) std::memcpy(field.data(), bytes.data(), N);
}

}  // namespace

ServerState PgReadoutServer::State() {
  const PgResult r = m_conn.Query(
      "SELECT version, server_id::text, (SELECT coalesce(max(seq), 0) FROM logwick.readout)"
      " FROM logwick.meta");
  if (r.Rows() != 1) throw SyncError(SyncError::Kind::NoSchema, Name());
  const std::int64_t version = r.Int(0, 0);
  if (version > kSchemaVersion) throw SyncError(SyncError::Kind::NewerSchema, Name());
  if (version < kSchemaVersion) throw SyncError(SyncError::Kind::OlderSchema, Name());
  return {r.Text(0, 1), r.Int(0, 2)};
}

std::vector<Sha256> PgReadoutServer::Held(std::span<const Sha256> shas) {
  std::vector<std::span<const std::uint8_t>> items(shas.begin(), shas.end());
  const PgResult r = m_conn.Query("SELECT sha256 FROM logwick.readout WHERE sha256 = ANY ($1)",
                                  {PgParam::ByteaArray(items)});
  std::vector<Sha256> out;
  for (int i = 0; i < r.Rows(); ++i) {
    Sha256 sha{};
    const auto bytes = r.Bytes(i, 0);
    std::copy_n(bytes.begin(), std::min(bytes.size(), sha.size()), sha.begin());
    out.push_back(sha);
  }
  return out;
}

bool PgReadoutServer::Put(const SyncReadout& readout, const Sha256& sha) {
  const CT7KEventList& l = readout.list;
  std::vector<std::uint8_t> events;
  events.reserve(l.GetCount() * CT7KEvent::kSize);
  for (const CT7KEvent& ev : l) events.insert(events.end(), ev.Raw().begin(), ev.Raw().end());
  const Blob texts = EncodeTexts(l.m_texts);
  const bool noReserved = std::ranges::all_of(l.m_reserved, [](std::uint8_t b) { return b == 0; });

  std::vector<PgParam> params{PgParam::Bytea(sha)};
  for (auto field : kHeaderFields) params.push_back(PgParam::Int4(l.*field));
  params.push_back(PgParam::Bytea(BytesOf(l.m_szConfigName.data(), l.m_szConfigName.size())));
  params.push_back(noReserved ? PgParam::Null() : PgParam::Bytea(l.m_reserved));
  params.push_back(PgParam::Bytea(texts));
  params.push_back(PgParam::Int4(static_cast<std::int32_t>(l.GetCount())));
  params.push_back(PgParam::Bytea(events));
  params.push_back(PgParam::Text(readout.origin.source));
  params.push_back(PgParam::Bool(readout.origin.partial));
  params.push_back(PgParam::Int8(readout.filedAt));

  const std::string sql =
      std::string("WITH arrival AS MATERIALIZED (SELECT ") + kArrivalLock +
      ")"
      " INSERT INTO logwick.readout (sha256, " +
      kHeaderColumns +
      ", config_name, reserved, texts, event_count, events, origin, partial, filed_at)"
      " SELECT $1, $2, $3, $4, $5, $6, $7, $8, $9, $10, $11, $12, $13, $14, $15, $16, $17, $18, $19, $20,"
      " $21, to_timestamp($22) FROM arrival"
      " ON CONFLICT (sha256) DO NOTHING RETURNING seq";
  return m_conn.Query(sql.c_str(), params).Rows() == 1;
}

std::vector<SyncEntry> PgReadoutServer::FiledAfter(std::int64_t id) {
  const PgResult r = m_conn.Query(
      "SELECT seq, sha256, panel_type, serial, read_year, read_month, read_day, read_hour, read_min,"
      " read_sec FROM logwick.readout WHERE seq > $1 ORDER BY seq",
      {PgParam::Int8(id)});
  std::vector<SyncEntry> out;
  out.reserve(static_cast<std::size_t>(r.Rows()));
  for (int i = 0; i < r.Rows(); ++i) {
    SyncEntry e;
    e.id = r.Int(i, 0);
    const auto bytes = r.Bytes(i, 1);
    std::copy_n(bytes.begin(), std::min(bytes.size(), e.sha.size()), e.sha.begin());
    e.panel = {static_cast<std::int32_t>(r.Int(i, 2)), static_cast<std::int32_t>(r.Int(i, 3))};
    for (int k = 0; k < 6; ++k)
      e.readTime[static_cast<std::size_t>(k)] = static_cast<std::int32_t>(r.Int(i, 4 + k));
    out.push_back(e);
  }
  return out;
}

SyncReadout PgReadoutServer::Get(std::int64_t id) {
  const std::string sql = std::string("SELECT ") + kHeaderColumns +
                          ", config_name, reserved, texts, events, origin, partial,"
                          " extract(epoch FROM filed_at)::bigint FROM logwick.readout WHERE seq = $1";
  const PgResult r = m_conn.Query(sql.c_str(), {PgParam::Int8(id)});
  if (r.Rows() != 1) throw SyncError(SyncError::Kind::ServerFailed, Name(), "a read-out went missing");
  SyncReadout out;
  CT7KEventList& l = out.list;
  for (int k = 0; k < kHeaderCount; ++k) l.*kHeaderFields[k] = static_cast<std::int32_t>(r.Int(0, k));
  const int at = kHeaderCount;
  CopyExact(r.Bytes(0, at), l.m_szConfigName);
  if (!r.IsNull(0, at + 1)) CopyExact(r.Bytes(0, at + 1), l.m_reserved);
  try {
    l.m_texts = DecodeTexts(r.Bytes(0, at + 2));
  } catch (const SqliteError&) {
    l.m_texts.clear();  // and the read-out fails its SHA-256 check
  }
  const auto events = r.Bytes(0, at + 3);
  l.Reserve(events.size() / CT7KEvent::kSize);
  for (std::size_t i = 0; i + CT7KEvent::kSize <= events.size(); i += CT7KEvent::kSize)
    l.AddTail(CT7KEvent(events.data() + i));
  out.origin = {r.Text(0, at + 4), r.Bool(0, at + 5)};
  out.filedAt = r.Int(0, at + 6);
  return out;
}

ServerInitResult InitServerArchive(PgConnection& conn) {
  // A failure leaves the transaction open; closing the connection, as every
  // caller does after one, rolls it back.
  conn.Run("BEGIN");
  conn.Run(kInitLock);
  const PgResult encoding =
      conn.Query("SELECT pg_encoding_to_char(encoding) FROM pg_database WHERE datname = current_database()");
  const std::string name = encoding.Rows() == 1 ? encoding.Text(0, 0) : "";
  if (name != "UTF8" && name != "SQL_ASCII")
    throw SyncError(SyncError::Kind::ServerFailed, conn.Name(),
                    "база данных в кодировке " + name + ", нужна UTF8");
  ServerInitResult result;
  if (!conn.Query("SELECT to_regclass('logwick.meta')").IsNull(0, 0)) {
    const PgResult r = conn.Query("SELECT version FROM logwick.meta");
    result.before = r.Rows() == 1 ? r.Int(0, 0) : 0;
  }
  if (result.before > PgReadoutServer::kSchemaVersion)
    throw SyncError(SyncError::Kind::NewerSchema, conn.Name());
  for (std::int64_t v = result.before; v < PgReadoutServer::kSchemaVersion; ++v)
    conn.Run(kServerMigrations[v]);
  if (result.before == 0)
    conn.Query("INSERT INTO logwick.meta (version) VALUES ($1)",
               {PgParam::Int4(PgReadoutServer::kSchemaVersion)});
  else
    conn.Query("UPDATE logwick.meta SET version = $1", {PgParam::Int4(PgReadoutServer::kSchemaVersion)});
  conn.Run("COMMIT");
  result.now = PgReadoutServer::kSchemaVersion;
  return result;
}

}  // namespace logwick
