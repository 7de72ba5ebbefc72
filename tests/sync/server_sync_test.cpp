// Synchronisation through a real PostgreSQL server started for the test:
// archives that meet there, a server stopped in the middle, logins and
// servers that fail, and the shared archive's own set-up.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <thread>

#include "sync/pg_connection.h"
#include "sync/pg_readout_server.h"
#include "sync/server_sync.h"
#include "tests/lists/test_env.h"
#include "tests/sync/pg_test_cluster.h"
#include "tests/sync/sync_checks.h"

using namespace logwick;
using namespace logwick::test;

namespace {

struct Steps : ISyncView {
  void OnProgress(const SyncProgress& p) override {
    if (onProgress) onProgress(p);
  }
  std::function<void(const SyncProgress&)> onProgress;
};

class ServerSync : public WithPgCluster {
 protected:
  void SetUp() override {
    WithPgCluster::SetUp();
    if (IsSkipped()) return;
    SetEnv("PGPASSWORD", nullptr);
    SetEnv("PGPASSFILE", dir_.File("pgpass").c_str());
    db_ = cluster_->NewDatabase();
    url_ = cluster_->Url(db_);
    InitServer(url_);
  }

  SyncOutcome Sync(const std::string& archive, const std::string& url) {
    const std::atomic<bool> cancel{false};
    Steps view;
    return SyncWithServer(dir_.File(archive), url, view, cancel);
  }
  SyncOutcome Sync(const std::string& archive) { return Sync(archive, url_); }

  std::unique_ptr<HistoryArchive> Archive(const std::string& name,
                                          const std::vector<CT7KEventList>& readouts = {}) {
    auto a = HistoryArchive::Open(dir_.File(name), true);
    for (const CT7KEventList& r : readouts) a->File(r, {name, false});
    return a;
  }

  std::size_t ServerReadouts() {
    return std::stoul(cluster_->Value("SELECT count(*) FROM logwick.readout", db_));
  }

  TempDir dir_;
  std::string db_, url_;
  const TwoEngineers visits_ = VisitsByTurns(4, 300);
};

TEST_F(ServerSync, TwoArchivesMeetThroughTheServerWithTheSameHistories) {
  // The second engineer logs in with a password from the password file, with
  // no more rights than server-init gives the engineers' role.
  cluster_->SetEngineer("пароль 1");
  std::ofstream(dir_.File("pgpass")) << "*:*:*:engineer:пароль 1\n";
  std::filesystem::permissions(dir_.File("pgpass"), std::filesystem::perms::owner_read);
  const std::string engineer = cluster_->Url(db_, "engineer");
  Archive("a.sqlite", visits_.first);
  Archive("b.sqlite", visits_.second);

  SyncOutcome r = Sync("a.sqlite");
  ASSERT_EQ(r.status, SyncStatus::Done) << r.message;
  EXPECT_EQ(std::tie(r.counts.sent, r.counts.fetched), std::make_tuple(visits_.first.size(), std::size_t{0}));
  EXPECT_EQ(r.server, cluster_->Name(db_));
  r = Sync("b.sqlite", engineer);
  ASSERT_EQ(r.status, SyncStatus::Done) << r.message;
  EXPECT_EQ(std::tie(r.counts.sent, r.counts.fetched),
            std::make_tuple(visits_.second.size() - 1, visits_.first.size() - 1));
  r = Sync("a.sqlite");
  EXPECT_EQ(std::tie(r.counts.sent, r.counts.fetched),
            std::make_tuple(std::size_t{0}, visits_.second.size() - 1));
  r = Sync("a.sqlite");
  EXPECT_EQ(std::tie(r.counts.sent, r.counts.fetched), std::make_tuple(std::size_t{0}, std::size_t{0}));

  auto a = Archive("a.sqlite");
  auto b = Archive("b.sqlite");
  auto all = Archive("all.sqlite", visits_.first);
  for (const CT7KEventList& l : visits_.second) all->File(l, {"all", false});
  ExpectSameArchives(*a, *b);
  ExpectSameArchives(*a, *all);
  EXPECT_EQ(ServerReadouts(), ShaSet(*all).size());
  EXPECT_EQ(cluster_->Value("SELECT count(DISTINCT sent_by) FROM logwick.readout", db_), "2");
}

// The server goes away after the second read-out of a step (stopped by its
// administrator, or crashed) or the user stops the exchange there; the next
// exchange completes the work and neither side holds anything twice.
TEST_F(ServerSync, AnExchangeCutShortIsCompletedByTheNext) {
  enum How { Stopped, Crashed, Cancelled };
  int round = 0;
  for (SyncStep step : {SyncStep::Sending, SyncStep::Fetching}) {
    for (How how : {Stopped, Crashed, Cancelled}) {
      if (step == SyncStep::Fetching && how == Cancelled) continue;  // as when sending
      SCOPED_TRACE(testing::Message() << SyncStepText(step) << ", " << how);
      cluster_->Sql("TRUNCATE logwick.readout", db_);
      const std::string a = "a" + std::to_string(++round), b = "b" + std::to_string(round);
      Archive(a, visits_.first);
      Archive(b, visits_.second);
      ASSERT_EQ(Sync(step == SyncStep::Fetching ? b : a).status, SyncStatus::Done);
      const std::string cut = step == SyncStep::Fetching ? a : b;

      std::atomic<bool> cancel{false};
      Steps view;
      view.onProgress = [&](const SyncProgress& p) {
        if (p.step != step || p.done != 2) return;
        if (how == Cancelled)
          cancel = true;
        else
          cluster_->Stop(how == Crashed);
      };
      const SyncOutcome r = SyncWithServer(dir_.File(cut), url_, view, cancel);
      cluster_->Start();
      EXPECT_EQ(r.status, how == Cancelled ? SyncStatus::Cancelled : SyncStatus::ServerFailed) << r.message;
      EXPECT_EQ(step == SyncStep::Sending ? r.counts.sent : r.counts.fetched, 2u);
      if (how != Cancelled) {
        EXPECT_EQ(r.serverError, SyncError::Kind::ConnectionLost) << r.message;
        EXPECT_NE(r.message.find(r.server), std::string::npos) << r.message;
      }

      ASSERT_EQ(Sync(cut).status, SyncStatus::Done);
      ASSERT_EQ(Sync(a).status, SyncStatus::Done);
      ASSERT_EQ(Sync(b).status, SyncStatus::Done);
      ExpectSameArchives(*Archive(a), *Archive(b));
      EXPECT_EQ(ServerReadouts(), ShaSet(*Archive(a)).size());
    }
  }
}

// Each failure names the server (never the password) and leaves the local
// side as it was: a missing archive is not even created.
TEST_F(ServerSync, FailuresNameTheServerAndChangeNothingLocally) {
  cluster_->SetEngineer("верный");
  std::ofstream(dir_.File("pgpass")) << "*:*:*:engineer:неверный\n";
  std::filesystem::permissions(dir_.File("pgpass"), std::filesystem::perms::owner_read);
  const std::string bare = cluster_->NewDatabase();
  const std::string newer = cluster_->NewDatabase();
  InitServer(cluster_->Url(newer));
  cluster_->Sql("UPDATE logwick.meta SET version = 99", newer);
  Archive("held.sqlite", visits_.first);
  const Bytes held = ReadBytes(dir_.File("held.sqlite"));

  using K = SyncError::Kind;
  const std::tuple<const char*, std::string, K, std::string> cases[] = {
      {"wrong password", cluster_->Url(db_, "engineer"), K::WrongPassword, "engineer@"},
      {"password in the address", cluster_->Url(db_, "engineer") + " password=тайна", K::WrongPassword,
       "engineer@"},
      {"unknown host", "postgresql://admin@logwick-no-such-host.invalid/archive", K::UnknownHost,
       "admin@logwick-no-such-host.invalid:"},
      {"no shared archive", cluster_->Url(bare), K::NoSchema, "/" + bare},
      {"newer shared archive", cluster_->Url(newer), K::NewerSchema, "/" + newer},
      {"no such database", cluster_->Url("nowhere"), K::Refused, "/nowhere"},
      {"unparsable address", "postgresql://admin:тайна@[::1/archive", K::BadAddress, ""},
      {"no address", "", K::NoServer, ""},
  };
  for (const auto& [what, url, kind, name] : cases) {
    SCOPED_TRACE(what);
    for (const char* archive : {"held.sqlite", "missing.sqlite"}) {
      const SyncOutcome r = Sync(archive, url);
      EXPECT_EQ(r.status, SyncStatus::ServerFailed);
      EXPECT_EQ(r.serverError, kind) << r.message;
      EXPECT_NE(r.message.find(name), std::string::npos) << r.message;
      EXPECT_EQ(r.message.find("тайна"), std::string::npos) << r.message;
      EXPECT_EQ(r.message.find("неверный"), std::string::npos) << r.message;
    }
    EXPECT_EQ(ReadBytes(dir_.File("held.sqlite")), held);
    EXPECT_FALSE(std::filesystem::exists(dir_.File("missing.sqlite")));
  }

  // A server that is down, and one without the password at hand.
  std::filesystem::permissions(dir_.File("pgpass"), std::filesystem::perms::owner_all);  // Windows' read-only
  std::filesystem::remove(dir_.File("pgpass"));
  SyncOutcome r = Sync("missing.sqlite", cluster_->Url(db_, "engineer"));
  EXPECT_EQ(r.serverError, K::NoPassword) << r.message;
  cluster_->Stop();
  r = Sync("missing.sqlite");
  cluster_->Start();
  EXPECT_EQ(r.serverError, K::Unreachable) << r.message;
  EXPECT_NE(r.message.find(r.server), std::string::npos) << r.message;
  EXPECT_FALSE(std::filesystem::exists(dir_.File("missing.sqlite")));
}

TEST_F(ServerSync, ServerInitCreatesTakesOnAndRefuses) {
  const std::string fresh = cluster_->NewDatabase();
  ServerInitOutcome r = InitServer(cluster_->Url(fresh));
  EXPECT_EQ(std::tie(r.before, r.now), std::make_tuple(std::int64_t{0}, PgReadoutServer::kSchemaVersion));
  r = InitServer(cluster_->Url(fresh));
  EXPECT_EQ(r.before, PgReadoutServer::kSchemaVersion);
  // Each shared archive has an id of its own.
  EXPECT_NE(cluster_->Value("SELECT server_id FROM logwick.meta", fresh),
            cluster_->Value("SELECT server_id FROM logwick.meta", db_));

  cluster_->Sql("CREATE DATABASE latin ENCODING 'LATIN1' LC_COLLATE 'C' LC_CTYPE 'C' TEMPLATE template0");
  cluster_->Sql("UPDATE logwick.meta SET version = 99", fresh);
  for (const std::string& db : {std::string("latin"), fresh}) {
    try {
      InitServer(cluster_->Url(db));
      ADD_FAILURE() << db << " was taken on";
    } catch (const SyncError& e) {
      EXPECT_EQ(e.GetKind(), db == fresh ? SyncError::Kind::NewerSchema : SyncError::Kind::ServerFailed);
    }
  }
  EXPECT_EQ(cluster_->Value("SELECT to_regclass('logwick.meta')::text IS NULL", "latin"), "t");
  EXPECT_EQ(cluster_->Value("SELECT version FROM logwick.meta", fresh), "99");
}

// Arrivals take turns, so that the server's numbers follow the order in which
// read-outs became visible: one waits while another holds the turn.
TEST_F(ServerSync, ArrivalsTakeTurns) {
  const std::atomic<bool> never{false};
  auto holder = PgConnection::Open(url_, never);
  holder->Run("BEGIN");
  holder->Query("SELECT pg_advisory_xact_lock(1280789320, 1)");
  std::atomic<bool> stored{false};
  std::thread sender([&] {
    auto conn = PgConnection::Open(url_, never);
    PgReadoutServer server(*conn);
    const CT7KEventList l = visits_.first[0];
    stored = server.Put({l, {"x", false}, 0}, EventListSha256(l));
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_FALSE(stored);
  holder->Run("COMMIT");
  sender.join();
  EXPECT_TRUE(stored);
}

// Over TLS (the server of the Windows tests): sslmode=verify-full takes only
// the server whose certificate the given authority signed for the name asked
// for; another name or another authority is refused before any exchange.
TEST_F(ServerSync, VerifyFullTrustsOnlyTheCertifiedServer) {
  if (!cluster_->Tls()) GTEST_SKIP() << "the test server listens on a Unix socket, without TLS";
  Archive("held.sqlite", visits_.first);
  const Bytes held = ReadBytes(dir_.File("held.sqlite"));
  const std::pair<const char*, std::string> refusals[] = {
      {"another host name", " host=logwick-wrong-name.invalid"},
      {"an unknown authority", " sslrootcert=" + cluster_->File("other-ca.crt")},
  };
  for (const auto& [what, change] : refusals) {
    SCOPED_TRACE(what);
    const SyncOutcome r = Sync("held.sqlite", url_ + change);
    EXPECT_EQ(r.status, SyncStatus::ServerFailed);
    EXPECT_NE(r.message.find("certificate"), std::string::npos) << r.message;
    EXPECT_EQ(ReadBytes(dir_.File("held.sqlite")), held);
  }
  EXPECT_EQ(ServerReadouts(), 0u);
  const SyncOutcome r = Sync("held.sqlite");
  EXPECT_EQ(r.status, SyncStatus::Done) << r.message;
  EXPECT_EQ(ServerReadouts(), visits_.first.size());
}

}  // namespace
