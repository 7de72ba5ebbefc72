// A throwaway PostgreSQL cluster for the tests: initdb into a fresh temporary
// folder, the server on a Unix socket in that folder only (no TCP), run as
// "nobody" when the tests run as root. The server is a child of the test
// process that the kernel stops should the test process die, and the folder
// goes at the end; folders that a killed test left are swept the next time.
// The user "engineer" logs in with a password (scram-sha-256), everyone else
// without one. It also listens on a free TCP port of 127.0.0.1 with TLS (a
// certificate for "localhost" that openssl makes for it): "admin" over TLS
// without a password, "engineer" with one, with or without TLS.
#pragma once

#include <gtest/gtest.h>
#include <sys/types.h>

#include <string>

namespace logwick::test {

class PgTestCluster {
 public:
  // The folder of the server binaries (Debian's PostgreSQL 15 first, or
  // LOGWICK_PG_BINDIR); empty when there are none, and the tests skip.
  static std::string BinDir();
  // The cluster of this test process, started on first use.
  static PgTestCluster& Shared();

  PgTestCluster();
  ~PgTestCluster();
  PgTestCluster(const PgTestCluster&) = delete;
  PgTestCluster& operator=(const PgTestCluster&) = delete;

  void Start();
  // Fast shutdown (sessions are ended, as when the server is stopped by its
  // administrator) or immediate (as a crash); waits until it is down.
  void Stop(bool immediate = false);

  // A connection string for a database of this cluster, over its socket or
  // over TCP (empty when it has no TLS: the TLS tests skip).
  std::string Url(const std::string& db, const std::string& user = "admin") const;
  std::string TcpUrl(const std::string& db, const std::string& user = "admin") const;
  // The server's certificate, and one that did not sign it.
  std::string Certificate() const { return m_dir + "/data/server.crt"; }
  std::string OtherCertificate() const { return m_dir + "/other.crt"; }
  // Runs SQL as the superuser; fails the test on an error.
  void Sql(const std::string& sql, const std::string& db = "postgres") const;
  // Runs SQL as user; the server's error (SQLSTATE and words), empty when none.
  std::string Try(const std::string& sql, const std::string& db, const std::string& user) const;
  // One value of a query, as text.
  std::string Value(const std::string& sql, const std::string& db) const;
  // The user "engineer", a member of the engineers' role, with this password.
  void SetEngineer(const std::string& password) const;
  // A fresh empty database with a name of its own.
  std::string NewDatabase();

 private:
  bool MakeCertificates();

  std::string m_dir;
  int m_tcpPort = 0;  // 0: no TLS
  pid_t m_server = -1;
  int m_databases = 0;
};

// Tests against the server: skipped, saying why, where there is none.
class WithPgCluster : public ::testing::Test {
 protected:
  void SetUp() override {
    if (PgTestCluster::BinDir().empty())
      GTEST_SKIP() << "PostgreSQL server binaries (initdb, postgres) not found in /usr/lib/postgresql/*/bin"
                      " or $LOGWICK_PG_BINDIR: install postgresql-15 (scripts/install-deps.sh core)";
    cluster_ = &PgTestCluster::Shared();
  }
  PgTestCluster* cluster_ = nullptr;
};

}  // namespace logwick::test
