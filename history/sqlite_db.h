// A thin owner of SQLite's C handles: a connection, prepared statements and a
// transaction that rolls back unless committed. Every failure throws
// SqliteError with SQLite's code and words, and nothing else leaks SQLite's
// types to the callers.
#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace logwick {

class SqliteError : public std::runtime_error {
 public:
  SqliteError(int code, const std::string& message) : std::runtime_error(message), m_code(code) {}
  int Code() const { return m_code; }  // primary result code (SQLITE_BUSY, SQLITE_CORRUPT, ...)
  bool IsDamage() const;               // the file is not a sound database
  bool IsBusy() const;                 // another connection held the lock past the time-out
  bool IsSqlError() const;             // a statement the database cannot run (a missing table, ...)
  // Damage found by the caller in what the database holds.
  static SqliteError Corrupt(const std::string& message);

 private:
  int m_code;
};

class SqliteStatement;

class SqliteDb {
 public:
  // Opens an existing database for reading and writing; never creates one.
  static SqliteDb OpenExisting(const std::string& path);
  // Opens the database at path, creating an empty file when there is none.
  static SqliteDb OpenOrCreate(const std::string& path);

  SqliteDb(SqliteDb&& other) noexcept : m_db(other.m_db) { other.m_db = nullptr; }
  SqliteDb& operator=(SqliteDb&&) = delete;
  SqliteDb(const SqliteDb&) = delete;
  ~SqliteDb();

  void Exec(const char* sql);
  SqliteStatement Prepare(std::string_view sql);
  std::int64_t LastInsertRowid() const;
  void SetBusyTimeout(int ms);
  // The value of a pragma that answers with one integer (user_version, ...).
  std::int64_t PragmaInt(const char* name);
  [[noreturn]] void Fail(int rc) const;

 private:
  explicit SqliteDb(sqlite3* db) : m_db(db) {}
  static SqliteDb Open(const std::string& path, int flags);

  sqlite3* m_db;
};

class SqliteStatement {
 public:
  SqliteStatement(SqliteStatement&& other) noexcept : m_db(other.m_db), m_stmt(other.m_stmt) {
    other.m_stmt = nullptr;
  }
  SqliteStatement(const SqliteStatement&) = delete;
  SqliteStatement& operator=(const SqliteStatement&) = delete;
  ~SqliteStatement();

  // Parameters count from 1, as in SQL.
  SqliteStatement& Bind(int i, std::int64_t v);
  SqliteStatement& Bind(int i, std::string_view text);
  SqliteStatement& BindBlob(int i, std::span<const std::uint8_t> bytes);
  SqliteStatement& BindNull(int i);

  // One step: true when a row is ready, false when the statement is done.
  bool Step();
  // Steps a statement that returns no rows.
  void Run();
  // Makes the statement ready to run again; bindings stay.
  void Reset();
  const SqliteDb& Db() const { return *m_db; }

  // Columns count from 0.
  std::int64_t Int(int col) const;
  std::string Text(int col) const;
  std::span<const std::uint8_t> Blob(int col) const;  // valid until the next step
  bool IsNull(int col) const;

 private:
  friend class SqliteDb;
  SqliteStatement(const SqliteDb* db, sqlite3_stmt* stmt) : m_db(db), m_stmt(stmt) {}

  const SqliteDb* m_db;
  sqlite3_stmt* m_stmt;
};

// A writing transaction begins IMMEDIATE: the write lock is taken at once
// (waiting up to the busy time-out), so two writers never deadlock on an
// upgrade. A reading one sees one snapshot of the database throughout.
class SqliteTransaction {
 public:
  enum Mode { Read, Write };
  explicit SqliteTransaction(SqliteDb& db, Mode mode = Write);
  ~SqliteTransaction();
  SqliteTransaction(const SqliteTransaction&) = delete;
  SqliteTransaction& operator=(const SqliteTransaction&) = delete;
  void Commit();

 private:
  SqliteDb& m_db;
  bool m_open = true;
};

}  // namespace logwick
