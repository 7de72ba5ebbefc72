#include "sync/pg_connection.h"

#include <libpq-fe.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>

#include "sync/sync_error.h"

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#define poll WSAPoll
#else
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#endif

namespace logwick {
namespace {

using Clock = std::chrono::steady_clock;
using Kind = SyncError::Kind;

// Every time-out of the exchange with the server, in one place. They are
// libpq's and the server's own settings, given before the address so that an
// address that sets one wins:
// - connect_timeout: seconds to reach the server and log in (this program
//   waits on the connection itself, so it keeps the limit too);
// - keepalives: a peer that went silent (a cut cable, a sleeping laptop's
//   network) is given up after about idle + interval * count seconds;
// - tcp_user_timeout: milliseconds for data sent to be acknowledged;
// - statement_timeout and lock_timeout bound one request on the server;
//   idle_in_transaction_session_timeout lets the server end a session of ours
//   whose program vanished in the middle of a transaction; lock_timeout also
//   bounds the wait for the turn to store a read-out, so that a session that
//   holds the turn delays the sending, never the whole exchange.
constexpr const char* kConnectionDefaults[][2] = {
    {"connect_timeout", "10"},
    {"keepalives", "1"},
    {"keepalives_idle", "10"},
    {"keepalives_interval", "5"},
    {"keepalives_count", "3"},
    {"tcp_user_timeout", "30000"},
    {"options", "-c statement_timeout=120s -c lock_timeout=10s -c idle_in_transaction_session_timeout=60s"},
    {"application_name", "logwick"},
};
// How often a wait on the server looks at the cancel flag.
constexpr int kPollMs = 100;

// PostgreSQL's type numbers for the parameters.
constexpr unsigned kBoolOid = 16;
constexpr unsigned kByteaOid = 17;
constexpr unsigned kInt8Oid = 20;
constexpr unsigned kInt4Oid = 23;
constexpr unsigned kTextOid = 25;
constexpr unsigned kByteaArrayOid = 1001;

std::string BigEndian(std::uint64_t v, int bytes) {
  std::string out(static_cast<std::size_t>(bytes), '\0');
  for (int i = bytes - 1; i >= 0; --i, v >>= 8)
    out[static_cast<std::size_t>(i)] = static_cast<char>(v & 0xFF);
  return out;
}

// libpq's words on one line: its lines joined, each told once (a refusal is
// said again for every address and for the retry without TLS).
std::string OneLine(const char* text) {
  std::vector<std::string> lines;
  std::string s = text ? text : "";
  for (std::size_t begin = 0; begin < s.size();) {
    std::size_t end = s.find('\n', begin);
    if (end == std::string::npos) end = s.size();
    std::string line = s.substr(begin, end - begin);
    line.erase(0, line.find_first_not_of(" \t"));
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t' || line.back() == '\r'))
      line.pop_back();
    if (!line.empty() && std::find(lines.begin(), lines.end(), line) == lines.end()) lines.push_back(line);
    begin = end + 1;
  }
  std::string out;
  for (const std::string& line : lines) (out += out.empty() ? "" : "; ") += line;
  return out;
}

bool Contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

// "user@host:port/database", leaving out what is not known.
std::string NameOf(const char* user, const char* host, const char* port, const char* db) {
  auto given = [](const char* v) { return v && *v; };
  std::string name;
  if (given(user)) (name += user) += '@';
  name += given(host) ? host : "localhost";
  if (given(port)) (name += ':') += port;
  if (given(db)) (name += '/') += db;
  return name;
}

// The option of a parsed or live connection's settings, empty when unset.
std::string OptionOf(PQconninfoOption* options, const char* keyword) {
  for (PQconninfoOption* o = options; o && o->keyword; ++o)
    if (std::strcmp(o->keyword, keyword) == 0 && o->val) return o->val;
  return {};
}

// A bare name (no "=", no URI) is a database name, as libpq takes it.
bool IsBareName(const std::string& url) {
  return url.find('=') == std::string::npos && !url.starts_with("postgresql://") &&
         !url.starts_with("postgres://");
}

struct ConnInfo {
  PQconninfoOption* options;
  ~ConnInfo() { PQconninfoFree(options); }
};

// Whether none of the address's host names is known (a socket folder or a
// numeric address always is).
bool NoHostKnown(PGconn* conn) {
  ConnInfo info{PQconninfo(conn)};
  if (!OptionOf(info.options, "hostaddr").empty()) return false;
  const std::string hosts = OptionOf(info.options, "host");
  if (hosts.empty()) return false;
  std::size_t begin = 0;
  while (begin <= hosts.size()) {
    std::size_t end = hosts.find(',', begin);
    if (end == std::string::npos) end = hosts.size();
    const std::string host = hosts.substr(begin, end - begin);
    if (host.empty() || host[0] == '/' || host[0] == '@') return false;
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const int rc = getaddrinfo(host.c_str(), nullptr, &hints, &found);
    if (found) freeaddrinfo(found);
    if (rc != EAI_NONAME && rc != EAI_FAIL) return false;
    begin = end + 1;
  }
  return true;
}

// Why a connection attempt failed, by what libpq knows and, where it tells
// no more, by its words.
Kind FailureOf(PGconn* conn, const std::string& detail) {
  if (PQconnectionNeedsPassword(conn)) return Kind::NoPassword;
  if (PQconnectionUsedPassword(conn) && (Contains(detail, "password") || Contains(detail, "парол")))
    return Kind::WrongPassword;
  if (Contains(detail, "certificate")) return Kind::CertificateRefused;
  // An option of the address that libpq or the server cannot take.
  if (Contains(detail, "invalid ") && Contains(detail, " value")) return Kind::BadAddress;
  if (Contains(detail, "timeout expired")) return Kind::TimedOut;
  if (NoHostKnown(conn)) return Kind::UnknownHost;
  if (PQconnectionUsedPassword(conn) || Contains(detail, "FATAL") || Contains(detail, "ВАЖНО"))
    return Kind::Refused;  // the server answered, and said no
  return Kind::Unreachable;
}

[[noreturn]] void ThrowConnectFailure(PGconn* conn, const std::string& name) {
  const std::string detail = OneLine(PQerrorMessage(conn));
  const Kind kind = FailureOf(conn, detail);
  PQfinish(conn);
  throw SyncError(kind, name, detail);
}

// Waits until the socket is ready for reading or writing, the deadline
// passed (false) or a cancel came (SyncError).
bool WaitSocket(PGconn* conn, bool forWrite, Clock::time_point deadline, const std::atomic<bool>& cancel,
                const std::string& name) {
  for (;;) {
    if (cancel) throw SyncError(Kind::Cancelled, name);
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return false;
    const int socket = PQsocket(conn);  // a SOCKET, unsigned, on Windows
    if (socket < 0) return true;        // no socket: libpq tells what is wrong
    pollfd fd{};
    fd.fd = socket;
    fd.events = forWrite ? POLLOUT : POLLIN;
    const int rc = poll(&fd, 1, static_cast<int>(std::min<long long>(left, kPollMs)));
    if (rc > 0) return true;
#ifdef _WIN32
    if (rc < 0) return true;  // WSAPoll is never interrupted; let libpq find out what is wrong
#else
    if (rc < 0 && errno != EINTR) return true;  // let libpq find out what is wrong
#endif
  }
}

}  // namespace

PgParam PgParam::Int4(std::int32_t v) { return {kInt4Oid, BigEndian(static_cast<std::uint32_t>(v), 4)}; }
PgParam PgParam::Int8(std::int64_t v) { return {kInt8Oid, BigEndian(static_cast<std::uint64_t>(v), 8)}; }
PgParam PgParam::Bool(bool v) { return {kBoolOid, std::string(1, v ? '\1' : '\0')}; }
PgParam PgParam::Text(std::string_view utf8) { return {kTextOid, std::string(utf8)}; }

PgParam PgParam::Bytea(std::span<const std::uint8_t> bytes) {
  PgParam p(kByteaOid, {});
  p.m_external = bytes.empty() ? "" : reinterpret_cast<const char*>(bytes.data());
  p.m_size = bytes.size();
  return p;
}

PgParam PgParam::Null(unsigned type) {
  PgParam p(type, {});
  p.m_null = true;
  return p;
}

PgParam PgParam::Binary(unsigned type, std::span<const std::uint8_t> bytes) {
  PgParam p = Bytea(bytes);
  p.m_type = type;
  return p;
}

// The binary array form: dimensions, flags, element type, then per dimension
// its length and lower bound, then each element's length and bytes.
PgParam PgParam::ByteaArray(std::span<const std::span<const std::uint8_t>> items) {
  std::string out = BigEndian(1, 4) + BigEndian(0, 4) + BigEndian(kByteaOid, 4);
  out += BigEndian(items.size(), 4) + BigEndian(1, 4);
  for (const auto& item : items) {
    out += BigEndian(item.size(), 4);
    out.append(reinterpret_cast<const char*>(item.data()), item.size());
  }
  return {kByteaArrayOid, std::move(out)};
}

PgResult::PgResult(PgResult&& other) noexcept
    : m_result(other.m_result), m_server(std::move(other.m_server)) {
  other.m_result = nullptr;
}

PgResult::~PgResult() { PQclear(m_result); }

int PgResult::Rows() const { return PQntuples(m_result); }

bool PgResult::IsNull(int row, int col) const { return PQgetisnull(m_result, row, col) != 0; }

std::int64_t PgResult::Int(int row, int col) const {
  const auto bytes = Bytes(row, col);
  if (bytes.size() != 2 && bytes.size() != 4 && bytes.size() != 8)
    throw SyncError(Kind::ServerFailed, m_server, "an integer of an unexpected size");
  std::uint64_t v = bytes[0] & 0x80 ? ~std::uint64_t{0} : 0;  // sign-extended
  for (std::uint8_t b : bytes) v = v << 8 | b;
  return static_cast<std::int64_t>(v);
}

bool PgResult::Bool(int row, int col) const {
  const auto bytes = Bytes(row, col);
  if (bytes.size() != 1) throw SyncError(Kind::ServerFailed, m_server, "a truth value of an unexpected size");
  return bytes[0] != 0;
}

std::span<const std::uint8_t> PgResult::Bytes(int row, int col) const {
  return {reinterpret_cast<const std::uint8_t*>(PQgetvalue(m_result, row, col)),
          static_cast<std::size_t>(PQgetlength(m_result, row, col))};
}

std::optional<std::span<const std::uint8_t>> PgResult::Value(int row, int col) const {
  if (IsNull(row, col)) return std::nullopt;
  return Bytes(row, col);
}

int PgResult::Columns() const { return PQnfields(m_result); }

std::string PgResult::Text(int row, int col) const {
  const auto bytes = Bytes(row, col);
  return {bytes.begin(), bytes.end()};
}

std::unique_ptr<PgConnection> PgConnection::Open(const std::string& url, const std::atomic<bool>& cancel) {
  if (url.empty()) throw SyncError(Kind::NoServer, "");
  // A password in the address would be kept in plain text wherever the
  // address is (settings, shell history, the process list): refused before
  // anything is sent.
  if (AddressHoldsPassword(url)) throw SyncError(Kind::PasswordInAddress, "");
  // A bare name (no "=", no URI) is a database name.
  if (!IsBareName(url)) {
    char* parseError = nullptr;
    ConnInfo parsed{PQconninfoParse(url.c_str(), &parseError)};
    const std::string why = OneLine(parseError);
    PQfreemem(parseError);
    if (!parsed.options) throw SyncError(Kind::BadAddress, "", why);
  }

  std::vector<const char*> keys, values;
  for (const auto& [key, value] : kConnectionDefaults) {
    keys.push_back(key);
    values.push_back(value);
  }
  keys.push_back("dbname");
  values.push_back(url.c_str());
  // The rows travel as UTF-8 whatever the address says.
  keys.push_back("client_encoding");
  values.push_back("UTF8");
  keys.push_back(nullptr);
  values.push_back(nullptr);

  PGconn* conn = PQconnectStartParams(keys.data(), values.data(), 1);
  if (!conn) throw SyncError(Kind::ServerFailed, ServerNameOf(url), "out of memory");
  const std::string name = NameOf(PQuser(conn), PQhost(conn), PQport(conn), PQdb(conn));
  if (PQstatus(conn) == CONNECTION_BAD) ThrowConnectFailure(conn, name);

  int seconds = 0;
  {
    ConnInfo live{PQconninfo(conn)};
    seconds = std::atoi(OptionOf(live.options, "connect_timeout").c_str());
  }
  const Clock::time_point deadline =
      seconds > 0 ? Clock::now() + std::chrono::seconds(std::max(seconds, 2)) : Clock::time_point::max();
  PostgresPollingStatusType state = PGRES_POLLING_WRITING;
  try {
    while (state != PGRES_POLLING_OK) {
      if (state == PGRES_POLLING_FAILED) ThrowConnectFailure(conn, name);
      if (!WaitSocket(conn, state == PGRES_POLLING_WRITING, deadline, cancel, name)) {
        PQfinish(conn);
        throw SyncError(Kind::TimedOut, name);
      }
      state = PQconnectPoll(conn);
    }
  } catch (const SyncError& e) {
    if (e.GetKind() == Kind::Cancelled) PQfinish(conn);
    throw;
  }
  // The server's notices (a warning before it shuts down, ...) are not ours
  // to print; what matters arrives as an error.
  PQsetNoticeProcessor(
      conn, [](void*, const char*) {}, nullptr);
  // Names given as defaults (the user, the socket folder) are filled in now.
  return std::unique_ptr<PgConnection>(
      new PgConnection(conn, NameOf(PQuser(conn), PQhost(conn), PQport(conn), PQdb(conn)), cancel));
}

PgConnection::~PgConnection() { PQfinish(m_conn); }

[[noreturn]] void PgConnection::Fail(pg_result* r) {
  const char* code = r ? PQresultErrorField(r, PG_DIAG_SQLSTATE) : nullptr;
  const std::string state = code ? code : "";
  const char* primary = r ? PQresultErrorField(r, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
  const std::string detail = OneLine(primary ? primary : PQerrorMessage(m_conn));
  PQclear(r);
  Kind kind = Kind::ServerFailed;
  // Class 08 is a broken connection; 57P01 to 57P03 a server shutting down.
  if (PQstatus(m_conn) == CONNECTION_BAD || state.starts_with("08") || state.starts_with("57P"))
    kind = Kind::ConnectionLost;
  else if (state == "42501")
    kind = Kind::AccessDenied;
  else if (state.starts_with("22") || state.starts_with("23"))
    kind = Kind::RowRefused;  // a value the server's checks refuse
  else if (state == "55P03")
    kind = Kind::Busy;  // lock_timeout
  else if (state == "57014")
    kind = Kind::TimedOut;  // statement_timeout
  else if (state == "42P01" || state == "3F000")
    kind = Kind::NoSchema;
  throw SyncError(kind, m_name, detail);
}

PgResult PgConnection::TakeResult() {
  while (PQisBusy(m_conn)) {
    WaitSocket(m_conn, false, Clock::time_point::max(), m_cancel, m_name);
    if (!PQconsumeInput(m_conn)) Fail(nullptr);
  }
  // The first failure, or else the last result.
  PGresult* kept = nullptr;
  while (PGresult* r = PQgetResult(m_conn)) {
    if (kept && PQresultStatus(kept) == PGRES_FATAL_ERROR) {
      PQclear(r);
    } else {
      PQclear(kept);
      kept = r;
    }
  }
  const ExecStatusType status = kept ? PQresultStatus(kept) : PGRES_FATAL_ERROR;
  if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) Fail(kept);
  return PgResult(kept, m_name);
}

PgResult PgConnection::Query(const char* sql, const std::vector<PgParam>& params) {
  std::vector<Oid> types;
  std::vector<const char*> values;
  std::vector<int> lengths;
  const std::vector<int> formats(params.size(), 1);
  for (const PgParam& p : params) {
    types.push_back(p.Type());
    values.push_back(p.Data());
    lengths.push_back(p.Size());
  }
  if (!PQsendQueryParams(m_conn, sql, static_cast<int>(params.size()), types.data(), values.data(),
                         lengths.data(), formats.data(), 1))
    Fail(nullptr);
  return TakeResult();
}

void PgConnection::Run(const char* sql) {
  if (!PQsendQuery(m_conn, sql)) Fail(nullptr);
  TakeResult();
}

std::string ServerNameOf(const std::string& url) {
  ConnInfo parsed{PQconninfoParse(url.c_str(), nullptr)};
  if (!parsed.options) return {};
  const std::string user = OptionOf(parsed.options, "user"), host = OptionOf(parsed.options, "host"),
                    port = OptionOf(parsed.options, "port"), db = OptionOf(parsed.options, "dbname");
  return NameOf(user.c_str(), host.c_str(), port.c_str(), db.c_str());
}

bool AddressHoldsPassword(const std::string& url) {
  if (IsBareName(url)) return false;
  ConnInfo parsed{PQconninfoParse(url.c_str(), nullptr)};
  if (parsed.options) return !OptionOf(parsed.options, "password").empty();
  // An address libpq cannot parse may hold one all the same, and its words on
  // the address would quote it.
  if (url.find("password") != std::string::npos) return true;
  const std::size_t scheme = url.find("://");
  if (scheme == std::string::npos) return false;
  const std::string authority = url.substr(scheme + 3, url.find_first_of("/?", scheme + 3) - scheme - 3);
  const std::size_t at = authority.rfind('@');
  return at != std::string::npos && authority.find(':') < at;
}

}  // namespace logwick
