// What the test cluster offers through libpq, alike wherever it runs.
#include "tests/sync/pg_test_cluster.h"

#include <gtest/gtest.h>
#include <libpq-fe.h>
#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace logwick::test {
namespace {

// The server's error (SQLSTATE and words, empty when none) and the first value.
std::pair<std::string, std::string> Ask(const std::string& url, const std::string& sql) {
  PGconn* conn = PQconnectdb(url.c_str());
  std::pair<std::string, std::string> out{PQerrorMessage(conn), ""};
  if (PQstatus(conn) == CONNECTION_OK) {
    PGresult* r = PQexec(conn, sql.c_str());
    const ExecStatusType status = PQresultStatus(r);
    const char* state = PQresultErrorField(r, PG_DIAG_SQLSTATE);
    out.first = status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK
                    ? ""
                    : std::string(state ? state : "?") + " " + PQerrorMessage(conn);
    if (status == PGRES_TUPLES_OK && PQntuples(r) > 0) out.second = PQgetvalue(r, 0, 0);
    PQclear(r);
  }
  PQfinish(conn);
  return out;
}

}  // namespace

SilentServer::SilentServer() {
#ifdef _WIN32
  WSADATA data;
  WSAStartup(MAKEWORD(2, 2), &data);
#endif
  const auto s = ::socket(AF_INET, SOCK_STREAM, 0);
  fd = static_cast<std::intptr_t>(s);
  sockaddr_in a{.sin_family = AF_INET};
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof a;
  auto* address = reinterpret_cast<sockaddr*>(&a);
  if (::bind(s, address, size) == 0 && ::listen(s, 4) == 0 && ::getsockname(s, address, &size) == 0)
    port = ntohs(a.sin_port);
}

SilentServer::~SilentServer() {
#ifdef _WIN32
  ::closesocket(static_cast<SOCKET>(fd));
  WSACleanup();
#else
  ::close(static_cast<int>(fd));
#endif
}

PgTestCluster& PgTestCluster::Shared() {
  static PgTestCluster cluster;
  return cluster;
}

std::string PgTestCluster::Url(const std::string& db, const std::string& user) const {
  return "host=" + m_host + " port=" + m_port + m_options + " dbname=" + db + " user=" + user;
}

std::string PgTestCluster::Name(const std::string& db, const std::string& user) const {
  return user + "@" + m_host + ":" + m_port + "/" + db;
}

std::string PgTestCluster::File(const std::string& name) const { return m_dir + "/" + name; }

std::string PgTestCluster::TcpUrl(const std::string& db, const std::string& user) const {
  return m_tcpPort ? "postgresql://" + user + "@127.0.0.1:" + std::to_string(m_tcpPort) + "/" + db : "";
}

std::string PgTestCluster::Try(const std::string& sql, const std::string& db, const std::string& user) const {
  return Ask(Url(db, user), sql).first;
}

std::string PgTestCluster::Sql(const std::string& sql, const std::string& db) const {
  const auto [error, value] = Ask(Url(db), sql);
  EXPECT_EQ(error, "") << sql;
  return value;
}

std::string PgTestCluster::NewDatabase() {
  const std::string name = m_databasePrefix + std::to_string(++m_databases);
  Sql("CREATE DATABASE " + name);
  return name;
}

}  // namespace logwick::test
