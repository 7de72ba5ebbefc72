// A thin owner of libpq's connection and results for the shared archive. The
// address is a libpq connection string or URI; passwords, TLS and the like
// come from libpq's own sources (~/.pgpass, PGPASSWORD, PGSSLMODE, ...), never
// from this program. Every wait on the server looks at a cancel flag, and
// every failure is a SyncError that names the server without a password.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

struct pg_conn;
struct pg_result;

namespace logwick {

// One query parameter, sent in binary form with its type.
class PgParam {
 public:
  static PgParam Int4(std::int32_t v);
  static PgParam Int8(std::int64_t v);
  static PgParam Bool(bool v);
  static PgParam Text(std::string_view utf8);
  static PgParam Bytea(std::span<const std::uint8_t> bytes);  // not copied: keep it alive
  static PgParam Null(unsigned type = 17);
  // A value already in the binary form of its type; not copied: keep it alive.
  static PgParam Binary(unsigned type, std::span<const std::uint8_t> bytes);
  // An array of bytea values, one dimension.
  static PgParam ByteaArray(std::span<const std::span<const std::uint8_t>> items);

  unsigned Type() const { return m_type; }
  const char* Data() const { return m_null ? nullptr : m_external ? m_external : m_owned.data(); }
  int Size() const { return static_cast<int>(m_external ? m_size : m_owned.size()); }

 private:
  PgParam(unsigned type, std::string owned) : m_type(type), m_owned(std::move(owned)) {}
  unsigned m_type = 0;
  std::string m_owned;
  const char* m_external = nullptr;
  std::size_t m_size = 0;
  bool m_null = false;
};

// A query's rows in binary form. Reading a value of another length than its
// type's is a SyncError (the server holds something this program never wrote).
class PgResult {
 public:
  PgResult(pg_result* r, std::string server) : m_result(r), m_server(std::move(server)) {}
  PgResult(PgResult&& other) noexcept;
  PgResult(const PgResult&) = delete;
  PgResult& operator=(const PgResult&) = delete;
  ~PgResult();

  int Rows() const;
  bool IsNull(int row, int col) const;
  std::int64_t Int(int row, int col) const;  // int2, int4 or int8
  bool Bool(int row, int col) const;
  std::span<const std::uint8_t> Bytes(int row, int col) const;  // bytea, or text as UTF-8
  // The value's bytes in binary form; none for NULL.
  std::optional<std::span<const std::uint8_t>> Value(int row, int col) const;
  int Columns() const;
  std::string Text(int row, int col) const;

 private:
  pg_result* m_result;
  std::string m_server;
};

class PgConnection {
 public:
  // Connects to the server at url within the connect time-out; a cancel ends
  // the wait with Kind::Cancelled. An empty address is Kind::NoServer, one
  // with a password in it Kind::PasswordInAddress (before anything is sent).
  static std::unique_ptr<PgConnection> Open(const std::string& url, const std::atomic<bool>& cancel);
  ~PgConnection();
  PgConnection(const PgConnection&) = delete;
  PgConnection& operator=(const PgConnection&) = delete;

  // "user@host:port/database".
  const std::string& Name() const { return m_name; }

  // One statement; its rows come back in binary form.
  PgResult Query(const char* sql, const std::vector<PgParam>& params = {});
  // Statements without parameters or rows (BEGIN, COMMIT, the schema).
  void Run(const char* sql);

 private:
  PgConnection(pg_conn* conn, std::string name, const std::atomic<bool>& cancel)
      : m_conn(conn), m_name(std::move(name)), m_cancel(cancel) {}
  PgResult TakeResult();
  [[noreturn]] void Fail(pg_result* r);

  pg_conn* m_conn;
  std::string m_name;
  const std::atomic<bool>& m_cancel;
};

// The name of the server that url addresses, as messages give it; empty when
// the address does not parse. Never holds the password.
std::string ServerNameOf(const std::string& url);
// Whether the address itself holds a password (which would then be kept in
// plain text wherever the address is kept).
bool AddressHoldsPassword(const std::string& url);

}  // namespace logwick
