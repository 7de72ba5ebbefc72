// A throwaway PostgreSQL cluster for the tests. The user "engineer" logs in
// with a password (scram-sha-256), everyone else without one. On Linux each
// test process starts its own (pg_test_cluster_local.cpp); under Wine they
// share one, on the loopback over TLS (pg_test_cluster_wine.cpp).
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

#ifndef _WIN32
#include "tests/lists/child_process.h"
#endif

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

  void Start();
  // Fast shutdown (sessions are ended, as when the server is stopped by its
  // administrator) or immediate (as a crash); waits until it is down.
  void Stop(bool immediate = false);

  std::string Url(const std::string& db, const std::string& user = "admin") const;
  // A URL over TCP (no options) where Url() reaches a Unix socket and the
  // cluster has TLS beside it; empty otherwise.
  std::string TcpUrl(const std::string& db, const std::string& user = "admin") const;
  // Runs SQL as the superuser, failing the test on an error; its first value, as text.
  std::string Sql(const std::string& sql, const std::string& db = "postgres") const;
  // Runs SQL as user; the server's error (SQLSTATE and words), empty when none.
  std::string Try(const std::string& sql, const std::string& db, const std::string& user) const;
  std::string NewDatabase();  // empty, with a name of its own
  // "user@host:port/database", as the program names the server.
  std::string Name(const std::string& db, const std::string& user = "admin") const;
  bool Tls() const { return m_tls; }  // Url() speaks TLS
  // The certificate authority of the server's TLS, and one that did not sign it.
  std::string Certificate() const;
  std::string OtherCertificate() const;

 private:
  // A file of the cluster's folder, with forward slashes, fit for a connection string.
  std::string File(const std::string& name) const;
#ifdef _WIN32
  void Control(const char* action, bool up);
#else
  bool MakeCertificates();
  std::optional<ChildProcess> m_server;
#endif

  std::string m_dir, m_host, m_port, m_options;  // Url() reaches the server at host, port and options
  std::string m_databasePrefix = "archive";
  bool m_tls = false;
  int m_tcpPort = 0, m_databases = 0;  // TcpUrl()'s port (0: none), databases made
};

// A socket on a free port of the loopback that takes connections and never
// says a word (port 0: none could be opened).
struct SilentServer {
  SilentServer();
  ~SilentServer();
  std::intptr_t fd;
  int port = 0;
};

}  // namespace logwick::test
