#include "history/sqlite_db.h"

#include <sqlite3.h>

#include <string>

namespace logwick {

bool SqliteError::IsDamage() const {
  return m_code == SQLITE_CORRUPT || m_code == SQLITE_NOTADB || m_code == SQLITE_FORMAT;
}

bool SqliteError::IsBusy() const { return m_code == SQLITE_BUSY || m_code == SQLITE_LOCKED; }

bool SqliteError::IsSqlError() const { return m_code == SQLITE_ERROR; }

SqliteError SqliteError::Corrupt(const std::string& message) { return SqliteError(SQLITE_CORRUPT, message); }

SqliteDb SqliteDb::Open(const std::string& path, int flags) {
  sqlite3* db = nullptr;
  const int rc = sqlite3_open_v2(path.c_str(), &db, flags | SQLITE_OPEN_NOMUTEX, nullptr);
  if (rc != SQLITE_OK) {
    const std::string message = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    sqlite3_close(db);
    throw SqliteError(rc & 0xFF, message);
  }
  sqlite3_extended_result_codes(db, 1);
  return SqliteDb(db);
}

SqliteDb SqliteDb::OpenExisting(const std::string& path) { return Open(path, SQLITE_OPEN_READWRITE); }

SqliteDb SqliteDb::OpenOrCreate(const std::string& path) {
  return Open(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
}

SqliteDb::~SqliteDb() {
  if (m_db) sqlite3_close_v2(m_db);
}

void SqliteDb::Fail(int rc) const { throw SqliteError(rc & 0xFF, sqlite3_errmsg(m_db)); }

void SqliteDb::Exec(const char* sql) {
  const int rc = sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) Fail(rc);
}

SqliteStatement SqliteDb::Prepare(std::string_view sql) {
  sqlite3_stmt* stmt = nullptr;
  const int rc = sqlite3_prepare_v2(m_db, sql.data(), static_cast<int>(sql.size()), &stmt, nullptr);
  if (rc != SQLITE_OK) Fail(rc);
  return SqliteStatement(this, stmt);
}

std::int64_t SqliteDb::LastInsertRowid() const { return sqlite3_last_insert_rowid(m_db); }

void SqliteDb::SetBusyTimeout(int ms) { sqlite3_busy_timeout(m_db, ms); }

std::int64_t SqliteDb::PragmaInt(const char* name) {
  SqliteStatement st = Prepare(std::string("PRAGMA ") + name);
  return st.Step() ? st.Int(0) : 0;
}

SqliteStatement::~SqliteStatement() {
  if (m_stmt) sqlite3_finalize(m_stmt);
}

SqliteStatement& SqliteStatement::Bind(int i, std::int64_t v) {
  const int rc = sqlite3_bind_int64(m_stmt, i, v);
  if (rc != SQLITE_OK) m_db->Fail(rc);
  return *this;
}

SqliteStatement& SqliteStatement::Bind(int i, std::string_view text) {
  const int rc = sqlite3_bind_text64(m_stmt, i, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
  if (rc != SQLITE_OK) m_db->Fail(rc);
  return *this;
}

SqliteStatement& SqliteStatement::BindBlob(int i, std::span<const std::uint8_t> bytes) {
  // A zero-length blob is still a blob, not NULL.
  static const std::uint8_t kEmpty = 0;
  const void* data = bytes.empty() ? &kEmpty : bytes.data();
  const int rc = sqlite3_bind_blob64(m_stmt, i, data, bytes.size(), SQLITE_TRANSIENT);
  if (rc != SQLITE_OK) m_db->Fail(rc);
  return *this;
}

SqliteStatement& SqliteStatement::BindNull(int i) {
  const int rc = sqlite3_bind_null(m_stmt, i);
  if (rc != SQLITE_OK) m_db->Fail(rc);
  return *this;
}

bool SqliteStatement::Step() {
  const int rc = sqlite3_step(m_stmt);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  sqlite3_reset(m_stmt);
  m_db->Fail(rc);
}

void SqliteStatement::Run() {
  while (Step()) {
  }
  Reset();
}

void SqliteStatement::Reset() { sqlite3_reset(m_stmt); }

std::int64_t SqliteStatement::Int(int col) const { return sqlite3_column_int64(m_stmt, col); }

std::string SqliteStatement::Text(int col) const {
  const auto* p = sqlite3_column_text(m_stmt, col);
  return p ? std::string(reinterpret_cast<const char*>(p),
                         static_cast<std::size_t>(sqlite3_column_bytes(m_stmt, col)))
           : std::string();
}

std::span<const std::uint8_t> SqliteStatement::Blob(int col) const {
  const auto* p = static_cast<const std::uint8_t*>(sqlite3_column_blob(m_stmt, col));
  const int n = sqlite3_column_bytes(m_stmt, col);
  return p ? std::span<const std::uint8_t>(p, static_cast<std::size_t>(n)) : std::span<const std::uint8_t>();
}

bool SqliteStatement::IsNull(int col) const { return sqlite3_column_type(m_stmt, col) == SQLITE_NULL; }

SqliteTransaction::SqliteTransaction(SqliteDb& db, Mode mode) : m_db(db) {
  m_db.Exec(mode == Write ? "BEGIN IMMEDIATE" : "BEGIN");
}

SqliteTransaction::~SqliteTransaction() {
  if (!m_open) return;
  try {
    m_db.Exec("ROLLBACK");
  } catch (const SqliteError&) {
    // SQLite has already rolled back after the error that brought us here.
  }
}

void SqliteTransaction::Commit() {
  m_db.Exec("COMMIT");
  m_open = false;
}

}  // namespace logwick
