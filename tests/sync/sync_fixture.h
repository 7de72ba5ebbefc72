// The one set-up of the synchronisation suites: a fresh database of the
// throwaway server (pg_test_cluster.h) holding the shared archive, the user
// "engineer" with its password file, and a scratch folder for the archives.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>

#include "sync/pg_connection.h"
#include "sync/server_sync.h"
#include "tests/cli/cli_runner.h"
#include "tests/lists/test_env.h"
#include "tests/sync/pg_test_cluster.h"
#include "tests/sync/sync_checks.h"

namespace logwick::test {

// Skipped, saying why, where there is no server.
struct SyncFixture : ::testing::Test {
  void SetUp() override {
    if (PgTestCluster::BinDir().empty())
      GTEST_SKIP() << "PostgreSQL server binaries (initdb, postgres) not found in /usr/lib/postgresql/*/bin"
                      " or $LOGWICK_PG_BINDIR: install postgresql-15 (scripts/install-deps.sh core)";
    cluster_ = &PgTestCluster::Shared();
    for (const char* name : {"PGPASSWORD", "LOGWICK_SERVER", "LOGWICK_ARCHIVE"}) SetEnv(name, nullptr);
    SetEnv("PGPASSFILE", dir_.File("pgpass").c_str());
    db_ = cluster_->NewDatabase();
    url_ = cluster_->Url(db_);
    engineer_ = cluster_->Url(db_, "engineer");
    ASSERT_EQ(InitServer(url_).status, SyncStatus::Done);
    cluster_->Sql(
        "DO $$ BEGIN CREATE ROLE engineer LOGIN IN ROLE logwick_engineer; EXCEPTION WHEN"
        " duplicate_object THEN NULL; END $$; ALTER ROLE engineer PASSWORD 'пароль'");
    SetPassword("пароль");
  }

  // The engineer's password as the password file gives it ("": no file).
  void SetPassword(const std::string& password) {
    const std::string file = dir_.File("pgpass");
    std::error_code ec;  // read-only stops Windows' removal
    std::filesystem::permissions(file, std::filesystem::perms::owner_all, ec);
    std::filesystem::remove(file);
    if (!password.empty()) std::ofstream(file) << "*:*:*:engineer:" << password << "\n";
    std::filesystem::permissions(file, std::filesystem::perms::owner_read, ec);
  }

  // The archive `name` in the scratch folder, with these read-outs filed as
  // event files of a laptop's folder.
  std::unique_ptr<HistoryArchive> Archive(const std::string& name,
                                          const std::vector<CT7KEventList>& readouts = {}) {
    auto a = HistoryArchive::Open(dir_.File(name), true);
    for (const CT7KEventList& r : readouts) a->File(r, {"/home/engineer/visits/" + name + ".t7kev", false});
    return a;
  }

  SyncOutcome Sync(const std::string& archive, const std::optional<std::string>& url = {},
                   bool retry = false) {
    SyncView view;
    return RunSync({dir_.File(archive), url.value_or(url_), retry}, view, never_);
  }
  // What a synchronisation that completed did, or why it did not complete.
  static std::string Summary(const SyncOutcome& r) {
    return r.status == SyncStatus::Done ? SyncSummary(r) : "failed: " + r.message + " (" + r.detail + ")";
  }

  std::unique_ptr<PgConnection> Connect(const std::string& url) { return PgConnection::Open(url, never_); }

  Result Cli(const std::vector<std::string>& args) { return RunCli(args, dir_); }

  std::size_t ServerReadouts() {
    return std::stoul(cluster_->Sql("SELECT count(*) FROM logwick.readout", db_));
  }

  PgTestCluster* cluster_ = nullptr;
  TempDir dir_;
  std::string db_, url_, engineer_;
  const std::atomic<bool> never_{false};  // no cancel
};

}  // namespace logwick::test
