#include "sync/pg_readout_server.h"

#include <algorithm>
#include <cstring>

#include "sync/server_row.h"
#include "sync/sync_error.h"

namespace logwick {
namespace {

// The lock that server-init holds: class "LWKH" (as the local archive's
// application id), object 2; arrivals take turns on object 1 (in the trigger).
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
    // 1 -> 2: what the server assigns only the server writes, every insert
    // takes its turn, and odd values are refused. Rows already there stay
    // (the constraints hold for new rows); readers skip odd ones.
    R"sql(
ALTER TABLE logwick.readout ALTER COLUMN seq DROP IDENTITY;
CREATE SEQUENCE logwick.readout_seq OWNED BY logwick.readout.seq;
SELECT setval('logwick.readout_seq', coalesce((SELECT max(seq) FROM logwick.readout), 0) + 1, false);
CREATE FUNCTION logwick.readout_arrives() RETURNS trigger
  LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, pg_temp AS $$
BEGIN
  -- The turn first, then the number: numbers become visible in order.
  PERFORM pg_advisory_xact_lock(1280789320, 1);
  NEW.seq := nextval('logwick.readout_seq');
  NEW.sent_by := session_user;
  NEW.sent_at := now();
  RETURN NEW;
END
$$;
REVOKE ALL ON FUNCTION logwick.readout_arrives() FROM PUBLIC;
CREATE TRIGGER readout_arrives BEFORE INSERT ON logwick.readout
  FOR EACH ROW EXECUTE FUNCTION logwick.readout_arrives();
COMMENT ON COLUMN logwick.readout.seq IS 'the arrival number, given by the trigger readout_arrives';
COMMENT ON COLUMN logwick.readout.sent_by IS 'the role of the session that sent it, set by the trigger';
COMMENT ON COLUMN logwick.readout.sent_at IS 'the server''s clock at the insert, set by the trigger';
COMMENT ON COLUMN logwick.readout.origin IS 'the name of the event file or of the port it came from';

-- Whether the texts column parses (each text as its length, unsigned LEB128,
-- and its bytes), each text at most 65535 bytes and all at most 1 MiB.
CREATE FUNCTION logwick.texts_fit(texts bytea) RETURNS boolean
  LANGUAGE plpgsql IMMUTABLE STRICT SET search_path = pg_catalog, pg_temp AS $$
DECLARE
  n integer := octet_length(texts);
  at integer := 0;
  len bigint;
  shift integer;
  b integer;
  total bigint := 0;
BEGIN
  WHILE at < n LOOP
    len := 0;
    shift := 0;
    LOOP
      IF at >= n OR shift > 28 THEN RETURN false; END IF;
      b := get_byte(texts, at);
      at := at + 1;
      len := len | ((b & 127)::bigint << shift);
      shift := shift + 7;
      EXIT WHEN b < 128;
    END LOOP;
    total := total + len;
    IF len > 65535 OR total > 1048576 OR at + len > n THEN RETURN false; END IF;
    at := at + len;
  END LOOP;
  RETURN true;
END
$$;
ALTER TABLE logwick.readout
  ADD CONSTRAINT readout_panel_type CHECK (panel_type BETWEEN 1 AND 3) NOT VALID,
  ADD CONSTRAINT readout_event_count CHECK (event_count BETWEEN 0 AND 100000) NOT VALID,
  ADD CONSTRAINT readout_config_name CHECK (octet_length(config_name) = 17) NOT VALID,
  ADD CONSTRAINT readout_reserved CHECK (octet_length(reserved) = 1020) NOT VALID,
  ADD CONSTRAINT readout_texts CHECK (logwick.texts_fit(texts)) NOT VALID,
  ADD CONSTRAINT readout_origin CHECK (octet_length(origin) <= 255) NOT VALID,
  ADD CONSTRAINT readout_filed_at CHECK (isfinite(filed_at)) NOT VALID;

REVOKE INSERT ON logwick.readout FROM logwick_engineer;
GRANT INSERT (sha256, panel_type, serial, read_year, read_month, read_day, read_hour, read_min, read_sec,
  ver_major, ver_minor, rel_day, rel_month, rel_year, config_name, reserved, texts, event_count, events,
  origin, partial, filed_at) ON logwick.readout TO logwick_engineer;
)sql",
};
static_assert(std::size(kServerMigrations) == PgReadoutServer::kSchemaVersion);

Sha256 ShaOf(std::span<const std::uint8_t> bytes) {
  Sha256 sha{};
  std::copy_n(bytes.begin(), std::min(bytes.size(), sha.size()), sha.begin());
  return sha;
}

PgParam ShaParam(const Sha256& sha) { return sha == Sha256{} ? PgParam::Null() : PgParam::Bytea(sha); }

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

bool PgReadoutServer::StillHolds(const SyncMarks& marks) {
  if (marks.fetchedSha == Sha256{} && marks.sentSha == Sha256{}) return true;
  const PgResult r = m_conn.Query(
      "SELECT ($2::bytea IS NULL OR coalesce((SELECT sha256 = $2 FROM logwick.readout WHERE seq = $1), "
      "false))"
      " AND ($3::bytea IS NULL OR EXISTS (SELECT FROM logwick.readout WHERE sha256 = $3))",
      {PgParam::Int8(marks.fetchedThrough), ShaParam(marks.fetchedSha), ShaParam(marks.sentSha)});
  return r.Bool(0, 0);
}

std::vector<Sha256> PgReadoutServer::Held(std::span<const Sha256> shas) {
  std::vector<std::span<const std::uint8_t>> items(shas.begin(), shas.end());
  const PgResult r = m_conn.Query("SELECT sha256 FROM logwick.readout WHERE sha256 = ANY ($1)",
                                  {PgParam::ByteaArray(items)});
  std::vector<Sha256> out;
  for (int i = 0; i < r.Rows(); ++i) out.push_back(ShaOf(r.Bytes(i, 0)));
  return out;
}

bool PgReadoutServer::Put(const SyncReadout& readout, const Sha256& sha) {
  const std::vector<ServerColumnBytes> row = EncodeServerRow(readout, sha);
  std::vector<PgParam> params;
  std::string columns, values;
  for (std::size_t i = 0; i < kServerRowWidth; ++i) {
    params.push_back(row[i] ? PgParam::Binary(kServerRowTypes[i], *row[i])
                            : PgParam::Null(kServerRowTypes[i]));
    (columns += i ? ", " : "") += kServerRowColumns[i];
    const std::string param = "$" + std::to_string(i + 1);
    (values += i ? ", " : "") += i + 1 == kServerRowWidth ? "to_timestamp(" + param + ")" : param;
  }
  std::string sql = "INSERT INTO logwick.readout (";
  sql += columns;
  sql += ") VALUES (";
  sql += values;
  sql += ") ON CONFLICT (sha256) DO NOTHING RETURNING seq";
  return m_conn.Query(sql.c_str(), params).Rows() == 1;
}

std::vector<SyncEntry> PgReadoutServer::Entries(const PgResult& r) const {
  std::vector<SyncEntry> out;
  out.reserve(static_cast<std::size_t>(r.Rows()));
  std::vector<ServerColumn> columns(kServerEntryWidth);
  for (int i = 0; i < r.Rows(); ++i) {
    for (int k = 0; k < static_cast<int>(kServerEntryWidth) && k < r.Columns(); ++k)
      columns[static_cast<std::size_t>(k)] = r.Value(i, k);
    out.push_back(DecodeServerEntry(columns));
  }
  return out;
}

std::vector<SyncEntry> PgReadoutServer::FiledAfter(std::int64_t id, std::size_t limit) {
  const std::string sql = std::string("SELECT ") + kServerEntrySelect + kServerRowBytes +
                          " FROM logwick.readout WHERE seq > $1 ORDER BY seq LIMIT $2";
  return Entries(
      m_conn.Query(sql.c_str(), {PgParam::Int8(id), PgParam::Int8(static_cast<std::int64_t>(limit))}));
}

std::optional<SyncEntry> PgReadoutServer::Find(const Sha256& sha) {
  const std::string sql = std::string("SELECT ") + kServerEntrySelect + kServerRowBytes +
                          " FROM logwick.readout WHERE sha256 = $1";
  std::vector<SyncEntry> found = Entries(m_conn.Query(sql.c_str(), {PgParam::Bytea(sha)}));
  if (found.empty()) return std::nullopt;
  return std::move(found.front());
}

FetchedReadout PgReadoutServer::Get(const SyncEntry& entry, std::uint64_t maxBytes) {
  // The size is asked again with the row, so that nothing larger is ever
  // downloaded, whatever became of the row since it was listed.
  const std::string sql = std::string("SELECT ") + kServerRowSelect +
                          " FROM logwick.readout WHERE seq = $1 AND " + kServerRowBytes + " <= $2";
  const PgResult r = m_conn.Query(
      sql.c_str(), {PgParam::Int8(entry.id), PgParam::Int8(static_cast<std::int64_t>(maxBytes))});
  if (r.Rows() != 1) return {std::nullopt, "чтение изменилось на сервере или удалено"};
  std::vector<ServerColumn> columns(kServerRowWidth);
  for (int k = 0; k < static_cast<int>(kServerRowWidth) && k < r.Columns(); ++k)
    columns[static_cast<std::size_t>(k)] = r.Value(0, k);
  ServerRowCheck check = DecodeServerRow(columns);
  if (check.readout && check.sha != entry.sha) return {std::nullopt, "чтение изменилось на сервере"};
  return {std::move(check.readout), std::move(check.problem)};
}

ServerInitResult InitServerArchive(PgConnection& conn, std::int64_t version) {
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
  if (result.before > version) throw SyncError(SyncError::Kind::NewerSchema, conn.Name());
  for (std::int64_t v = result.before; v < version; ++v) conn.Run(kServerMigrations[v]);
  if (result.before == 0)
    conn.Query("INSERT INTO logwick.meta (version) VALUES ($1)",
               {PgParam::Int4(static_cast<std::int32_t>(version))});
  else
    conn.Query("UPDATE logwick.meta SET version = $1", {PgParam::Int4(static_cast<std::int32_t>(version))});
  conn.Run("COMMIT");
  result.now = version;
  return result;
}

}  // namespace logwick
