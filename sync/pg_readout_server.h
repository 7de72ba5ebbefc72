// The shared archive on a PostgreSQL server: schema "logwick" with one row of
// facts (schema version, the archive's own id) and one table of read-outs,
// each whole (header, texts, origin, the raw events as one bytea) and unique
// by its SHA-256, numbered in the order they arrived.
//
// What the server assigns only the server writes: a trigger numbers every
// arriving read-out and sets who sent it and when, whatever the insert says,
// and engineers may insert the data columns only. Arrivals take turns (the
// trigger takes an advisory lock held to the end of the insert's
// transaction, also for inserts that bypass this program), so that a number
// seen by a reader means every lower number has arrived or never will: a
// reader's mark never skips a read-out that commits late. CHECK constraints
// refuse odd values where SQL can; readers check every row all the same.
#pragma once

#include "sync/pg_connection.h"
#include "sync/readout_sync.h"

namespace logwick {

class PgReadoutServer : public ISyncServer {
 public:
  static constexpr std::int64_t kSchemaVersion = 2;

  explicit PgReadoutServer(PgConnection& conn) : m_conn(conn) {}

  std::string Name() const override { return m_conn.Name(); }
  // Refuses a database without the shared archive, or with one of another
  // version (SyncError::Kind::NoSchema, OlderSchema, NewerSchema).
  ServerState State() override;
  bool StillHolds(const SyncMarks& marks) override;
  std::vector<Sha256> Held(std::span<const Sha256> shas) override;
  bool Put(const SyncReadout& readout, const Sha256& sha) override;
  std::vector<SyncEntry> FiledAfter(std::int64_t id, std::size_t limit) override;
  std::optional<SyncEntry> Find(const Sha256& sha) override;
  FetchedReadout Get(const SyncEntry& entry, std::uint64_t maxBytes) override;

 private:
  std::vector<SyncEntry> Entries(const PgResult& r) const;

  PgConnection& m_conn;
};

// What server-init did: the schema version found (0: none) and the one now.
struct ServerInitResult {
  std::int64_t before = 0;
  std::int64_t now = 0;
};

// Creates the shared archive in the connection's database, or takes one of an
// older version to `version` (the current one unless a test asks for an
// earlier), schema and grants, in one transaction; grants the role
// logwick_engineer (created when missing) what synchronising needs. Refuses a
// newer version and a database whose encoding is not UTF8.
ServerInitResult InitServerArchive(PgConnection& conn,
                                   std::int64_t version = PgReadoutServer::kSchemaVersion);

}  // namespace logwick
