// What the test cluster offers through libpq, alike wherever it runs.
#include "tests/sync/pg_test_cluster.h"

#include <gtest/gtest.h>
#include <libpq-fe.h>

namespace logwick::test {
namespace {

struct Conn {
  PGconn* c;
  ~Conn() { PQfinish(c); }
};

}  // namespace

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
  if (!m_tcpPort) return {};
  return "postgresql://" + user + "@127.0.0.1:" + std::to_string(m_tcpPort) + "/" + db;
}

void PgTestCluster::Sql(const std::string& sql, const std::string& db) const {
  Conn conn{PQconnectdb(Url(db).c_str())};
  ASSERT_EQ(PQstatus(conn.c), CONNECTION_OK) << PQerrorMessage(conn.c);
  PGresult* r = PQexec(conn.c, sql.c_str());
  const ExecStatusType status = PQresultStatus(r);
  EXPECT_TRUE(status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK)
      << sql << ": " << PQerrorMessage(conn.c);
  PQclear(r);
}

std::string PgTestCluster::Try(const std::string& sql, const std::string& db, const std::string& user) const {
  Conn conn{PQconnectdb(Url(db, user).c_str())};
  if (PQstatus(conn.c) != CONNECTION_OK) return PQerrorMessage(conn.c);
  PGresult* r = PQexec(conn.c, sql.c_str());
  const ExecStatusType status = PQresultStatus(r);
  std::string error;
  if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
    const char* state = PQresultErrorField(r, PG_DIAG_SQLSTATE);
    error = std::string(state ? state : "?") + " " + PQerrorMessage(conn.c);
  }
  PQclear(r);
  return error;
}

std::string PgTestCluster::Value(const std::string& sql, const std::string& db) const {
  Conn conn{PQconnectdb(Url(db).c_str())};
  PGresult* r = PQexec(conn.c, sql.c_str());
  std::string value = PQresultStatus(r) == PGRES_TUPLES_OK && PQntuples(r) > 0 ? PQgetvalue(r, 0, 0) : "";
  EXPECT_EQ(PQresultStatus(r), PGRES_TUPLES_OK) << sql << ": " << PQerrorMessage(conn.c);
  PQclear(r);
  return value;
}

void PgTestCluster::SetEngineer(const std::string& password) const {
  Sql("DO $$ BEGIN CREATE ROLE engineer LOGIN IN ROLE logwick_engineer;"
      " EXCEPTION WHEN duplicate_object THEN NULL; END $$;"
      " ALTER ROLE engineer PASSWORD '" +
      password + "'");
}

std::string PgTestCluster::NewDatabase() {
  const std::string name = m_databasePrefix + std::to_string(++m_databases);
  Sql("CREATE DATABASE " + name);
  return name;
}

}  // namespace logwick::test
