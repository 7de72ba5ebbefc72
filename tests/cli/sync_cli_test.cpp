// logwick-cli archive server-init and sync as a user runs them, against a
// throwaway PostgreSQL server: what they print, where the server comes from,
// and the statuses of failures.
#include <gtest/gtest.h>

#include <cstdlib>

#include "lists/event_file.h"
#include "tests/cli/cli_run.h"
#include "tests/lists/test_env.h"
#include "tests/sync/pg_test_cluster.h"
#include "tests/sync/sync_checks.h"

using namespace logwick;
using namespace logwick::test;

namespace {

using Result = CliResult;

class SyncCli : public WithPgCluster {
 protected:
  void SetUp() override {
    WithPgCluster::SetUp();
    if (IsSkipped()) return;
    SetEnv("LOGWICK_SERVER", nullptr);
    SetEnv("LOGWICK_ARCHIVE", nullptr);
    db_ = cluster_->NewDatabase();
    url_ = cluster_->Url(db_);
  }

  Result Run(const std::vector<std::string>& args) { return RunCli(dir_, args); }

  // Files read-outs into an archive with `archive add`.
  void Add(const std::string& archive, const std::vector<CT7KEventList>& readouts) {
    std::vector<std::string> args{"archive", "add", "--archive", dir_.File(archive)};
    for (const CT7KEventList& r : readouts) {
      args.push_back(dir_.File(archive + std::to_string(args.size()) + ".t7kev"));
      ASSERT_TRUE(StoreEventFile(args.back(), r).ok);
    }
    ASSERT_EQ(Run(args).status, 0);
  }

  TempDir dir_;
  std::string db_, url_;
};

TEST_F(SyncCli, ServerInitThenSyncTellsWhatWentEachWay) {
  Result r = Run({"archive", "server-init", url_});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(r.out.starts_with("Общий архив создан на сервере admin@")) << r.out;
  EXPECT_TRUE(r.out.ends_with("/" + db_ + " (версия 1)\n")) << r.out;
  r = Run({"archive", "server-init", url_});
  EXPECT_NE(r.out.find("уже создан (версия 1)"), std::string::npos) << r.out;

  const TwoEngineers visits = VisitsByTurns(3, 200);
  Add("a.sqlite", visits.first);
  Add("b.sqlite", visits.second);
  auto line = [&](int sent, int fetched) {
    return "/" + db_ + ": отправлено " + std::to_string(sent) + ", получено " + std::to_string(fetched) +
           "\n";
  };
  r = Run({"archive", "sync", "--server", url_, "--archive", dir_.File("a.sqlite")});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(r.out.starts_with("Синхронизация с сервером admin@")) << r.out;
  EXPECT_TRUE(r.out.ends_with(line(4, 0))) << r.out;
  EXPECT_NE(r.err.find("Отправка на сервер, чтений: 4\n"), std::string::npos) << r.err;
  // The option wins over the environment, which serves without it.
  SetEnv("LOGWICK_SERVER", cluster_->Url("nowhere").c_str());
  SetEnv("LOGWICK_ARCHIVE", dir_.File("b.sqlite").c_str());
  r = Run({"archive", "sync", "--server", url_});
  EXPECT_TRUE(r.out.ends_with(line(2, 3))) << r.out << r.err;
  SetEnv("LOGWICK_SERVER", url_.c_str());
  r = Run({"archive", "sync", "--archive", dir_.File("a.sqlite")});
  EXPECT_TRUE(r.out.ends_with(line(0, 2))) << r.out << r.err;
  const std::string shown = Run({"archive", "show", "--archive", dir_.File("a.sqlite"), "5151"}).out;
  EXPECT_EQ(shown, Run({"archive", "show", "--archive", dir_.File("b.sqlite"), "5151"}).out);
  EXPECT_NE(shown, "");
}

TEST_F(SyncCli, FailuresExitWithTheirStatusAndSayWhy) {
  const std::string archive = dir_.File("a.sqlite"), damaged = dir_.File("damaged.sqlite");
  const std::string ready = cluster_->NewDatabase();
  ASSERT_EQ(Run({"archive", "server-init", cluster_->Url(ready)}).status, 0);
  WriteBytes(damaged, Bytes(5000, 'x'));
  const std::tuple<std::vector<std::string>, int, std::string> cases[] = {
      {{"archive", "sync", "--archive", archive},
       5,
       "Не задан адрес сервера общего архива: укажите --server URL или переменную LOGWICK_SERVER\n"},
      {{"archive", "sync", "--archive", archive, "--server", url_},
       5,
       "нет общего архива Logwick: создайте его командой logwick-cli archive server-init"},
      {{"archive", "server-init", cluster_->Url("nowhere")}, 5, "/nowhere отказал в подключении"},
      {{"archive", "sync", "--archive", damaged, "--server", cluster_->Url(ready)},
       2,
       "Архив повреждён: " + damaged},
  };
  for (const auto& [args, status, message] : cases) {
    const Result r = Run(args);
    EXPECT_EQ(r.status, status) << args[1];
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
  }
  EXPECT_FALSE(std::filesystem::exists(archive));
  EXPECT_EQ(ReadBytes(damaged), Bytes(5000, 'x'));
}

}  // namespace
