// logwick-cli archive server-init and sync against a throwaway PostgreSQL
// server: what they print, where the server comes from, their statuses. What
// the exchange does is tested below, in tests/sync.
#include <gtest/gtest.h>

#include <chrono>

#include "tests/sync/sync_fixture.h"

using namespace logwick;
using namespace logwick::test;

namespace {

using SyncCli = SyncFixture;

TEST_F(SyncCli, ServerInitThenSyncTellsWhatWentEachWay) {
  const std::string db = cluster_->NewDatabase(), fresh = cluster_->Url(db);
  Result r = Cli({"archive", "server-init", fresh});
  EXPECT_EQ(std::make_pair(r.status, r.out),
            std::make_pair(0, "Общий архив создан на сервере " + cluster_->Name(db) + " (версия 2)\n"));
  r = Cli({"archive", "server-init", "--server", fresh});
  EXPECT_NE(r.out.find("уже создан (версия 2)"), std::string::npos) << r.out;

  const TwoEngineers visits = VisitsByTurns(3, 200);
  Archive("a.sqlite", visits.first);
  Archive("b.sqlite", visits.second);
  const std::string line = "Синхронизация с сервером " + cluster_->Name(db_) + ": отправлено ";
  r = Cli({"archive", "sync", "--server", url_, "--archive", dir_.File("a.sqlite")});
  EXPECT_EQ(std::make_pair(r.status, r.out), std::make_pair(0, line + "4, получено 0\n")) << r.err;
  EXPECT_NE(r.err.find("Отправка на сервер, чтений: 4\n"), std::string::npos) << r.err;
  // The option wins over the environment, which serves without it.
  SetEnv("LOGWICK_SERVER", cluster_->Url("nowhere").c_str());
  SetEnv("LOGWICK_ARCHIVE", dir_.File("b.sqlite").c_str());
  r = Cli({"archive", "sync", "--server", url_});
  EXPECT_EQ(r.out, line + "2, получено 3\n") << r.err;
  SetEnv("LOGWICK_SERVER", url_.c_str());
  r = Cli({"archive", "sync", "--archive", dir_.File("a.sqlite")});
  EXPECT_EQ(r.out, line + "0, получено 2\n") << r.err;
}

TEST_F(SyncCli, FailuresExitWithTheirStatusAndSayWhyOnce) {
  const std::string archive = dir_.File("a.sqlite"), damaged = dir_.File("damaged.sqlite");
  WriteBytes(damaged, Bytes(5000, 'x'));
  const std::string password =
      "Пароль в адресе сервера не допускается: храните его в ~/.pgpass или PGPASSWORD\n";
  const std::string noServer =
      "Не задан адрес сервера общего архива: укажите --server URL или переменную LOGWICK_SERVER\n";
  const std::tuple<const char*, int, std::string, std::vector<std::string>> cases[] = {
      {"", 5, noServer, {"archive", "sync", "--archive", archive}},
      {"", 5, "/nowhere отказал в подключении (", {"archive", "server-init", cluster_->Url("nowhere")}},
      {"", 2, "Архив повреждён: " + damaged, {"archive", "sync", "--archive", damaged, "--server", url_}},
      {"host=nowhere.invalid password=тайна", 5, password, {"archive", "sync", "--archive", archive}},
      {"postgresql://admin@nowhere.invalid/x?password=тайна", 5, password, {"archive", "server-init"}},
  };
  for (const auto& [environment, status, message, args] : cases) {
    SCOPED_TRACE(args.back());
    SetEnv("LOGWICK_SERVER", environment);
    const Result r = Cli(args);
    EXPECT_EQ(std::make_pair(r.status, r.out), std::make_pair(status, std::string())) << r.err;
    EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("тайна"), std::string::npos) << r.err;
    // libpq's words once (kept apart by the library, sync/).
    EXPECT_EQ(r.err.find("failed:", r.err.find("failed:") + 1), std::string::npos) << r.err;
  }
  EXPECT_FALSE(std::filesystem::exists(archive));
  EXPECT_EQ(ReadBytes(damaged), Bytes(5000, 'x'));
}

// A skipped read-out, listed until taken again, and a held turn both exit 6.
TEST_F(SyncCli, ASkippedReadOutOrAHeldTurnExitsSix) {
  const TwoEngineers visits = VisitsByTurns(3, 100);
  Archive("p.sqlite", visits.first);
  ASSERT_EQ(Sync("p.sqlite").status, SyncStatus::Done);
  const std::string sha = cluster_->Sql(
      "ALTER TABLE logwick.readout DROP CONSTRAINT readout_filed_at; UPDATE logwick.readout SET filed_at ="
      " 'infinity' WHERE seq = 1; SELECT encode(sha256, 'hex') FROM logwick.readout WHERE seq = 1",
      db_);
  const std::string z = dir_.File("z.sqlite"),
                    line = "Синхронизация с сервером " + cluster_->Name(db_) + ": ";

  Result r = Cli({"archive", "sync", "--server", url_, "--archive", z});
  EXPECT_EQ(std::make_pair(r.status, r.out),
            std::make_pair(6, line + "отправлено 0, получено 3, пропущено 1\n"));
  // The warning's own text is the library's (server_sync_test).
  EXPECT_NE(r.err.find("\nПропущено чтение № 1 на сервере: "), std::string::npos) << r.err;
  r = Cli({"archive", "sync", "--server", url_, "--archive", z});
  EXPECT_EQ(std::make_pair(r.status, r.out), std::make_pair(0, line + "отправлено 0, получено 0\n")) << r.err;
  r = Cli({"archive", "list", "--skipped", "--archive", z});
  EXPECT_TRUE(r.out.starts_with("4242\t" + sha.substr(0, 16) + "\tПропущено чтение № 1 ")) << r.out;
  EXPECT_EQ(std::ranges::count(r.out, '\n'), 1) << r.out;

  cluster_->Sql("UPDATE logwick.readout SET filed_at = now() WHERE seq = 1", db_);
  r = Cli({"archive", "sync", "--server", url_, "--archive", z, "--retry-skipped"});
  EXPECT_EQ(std::make_pair(r.status, r.out), std::make_pair(0, line + "отправлено 0, получено 1\n")) << r.err;
  EXPECT_EQ(Cli({"archive", "list", "--skipped", "--archive", z}).out, "");

  // The sending waits out its time limit (about 10 s) before it is put off.
  Archive("z2.sqlite", visits.second);
  auto holder = Connect(engineer_);
  holder->Run("BEGIN");
  holder->Query("SELECT pg_advisory_xact_lock(1280789320, 1)");

  const auto start = std::chrono::steady_clock::now();
  r = Cli({"archive", "sync", "--server", engineer_, "--archive", dir_.File("z2.sqlite")});
  const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_EQ(r.status, 6) << r.err;
  EXPECT_TRUE(r.out.ends_with(": сервер занят: отправка отложена; отправлено 0, получено " +
                              std::to_string(visits.first.size() - 1) + "\n"))
      << r.out << r.err;
  EXPECT_TRUE(seconds >= 9 && seconds <= 25) << seconds;
  EXPECT_EQ(ServerReadouts(), visits.first.size());
}

}  // namespace
