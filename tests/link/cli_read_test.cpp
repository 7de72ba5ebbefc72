// logwick-cli read against logwick-cli simulate, as an engineer runs them:
// exit statuses, messages, the event file and the trace.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <thread>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include "lists/event_file.h"
#include "tests/lists/test_files.h"

extern char** environ;

using namespace logwick;
using namespace logwick::test;

namespace {

const std::string kCli = std::string(LOGWICK_BIN_DIR) + "/logwick-cli";

// logwick-cli with `args` in a child process, with stdout and stderr in <files>.out and .err.
struct Child {
  Child(std::vector<std::string> args, const std::string& files) : files(files) {
    std::vector<char*> argv{const_cast<char*>(kCli.c_str())};
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    const std::string out = files + ".out", err = files + ".err";
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&fa, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (posix_spawn(&pid, kCli.c_str(), &fa, nullptr, argv.data(), environ) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&fa);
  }
  ~Child() {
    Signal(SIGKILL);
    Wait();
  }
  void Signal(int sig) {
    if (pid > 0) ::kill(pid, sig);
  }
  int Wait() {
    int status = 0;
    if (pid > 0 && ::waitpid(pid, &status, 0) == pid) pid = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
  std::string Out() const { return ReadText(files + ".out"); }
  std::string Err() const { return ReadText(files + ".err"); }

  pid_t pid = -1;
  std::string files;
};

class CliRead : public ::testing::Test {
 protected:
  // Each read is filed into the panel history archive: this test's own.
  CliRead() { ::setenv("LOGWICK_ARCHIVE", archive_.c_str(), 1); }
  ~CliRead() override { ::unsetenv("LOGWICK_ARCHIVE"); }
  std::unique_ptr<Child> Run(const char* command, std::vector<std::string> args) {
    args.insert(args.begin(), command);
    return std::make_unique<Child>(std::move(args), dir_.File(command));
  }
  std::unique_ptr<Child> Read(std::vector<std::string> args) { return Run("read", std::move(args)); }
  // Starts the simulator; its device path, the first line it prints.
  std::string Simulate(std::vector<std::string> args) {
    sim_ = Run("simulate", std::move(args));
    for (int i = 0; i < 500 && sim_->Out().find('\n') == std::string::npos; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    const std::string out = sim_->Out();
    EXPECT_NE(out.find('\n'), std::string::npos) << "the simulator printed no device: " << sim_->Err();
    return out.substr(0, out.find('\n'));
  }
  CT7KEventList Load() {
    CT7KEventList list;
    EXPECT_EQ(LoadEventFile(file_, list).status, LoadStatus::Loaded);
    return list;
  }

  TempDir dir_;
  const std::string file_ = dir_.File("out.t7kev");
  const std::string archive_ = dir_.File("archive.sqlite");
  std::unique_ptr<Child> sim_;
};

}  // namespace

TEST_F(CliRead, ReadsBySerialWithATraceAndByPortNumberWithSearch) {
  ::setenv("LOGWICK_PORTS_DIR", dir_.File("ports").c_str(), 1);
  const std::string dev = Simulate({"--serial", "700123", "--events", "60", "--ring", "25", "--block", "8",
                                    "--type", "4", "--as-com", "42", "--bad-checksum", "3"});
  const std::string trace = dir_.File("trace.txt");
  auto r = Read({"--device", dev, "--serial", "700123", "-o", file_, "--trace", trace});
  ASSERT_EQ(r->Wait(), 0) << r->Err();
  const CT7KEventList list = Load();
  EXPECT_EQ(std::make_tuple(list.GetCount(), list.m_nSerNum, list.m_nPanelType, list.m_texts.size()),
            std::make_tuple(56u, 700123, 2, 16u));
  EXPECT_NE(r->Err().find("56 events"), std::string::npos);
  EXPECT_EQ(r->Out(), dev + ": Тарвел-7Л (с/н 700123): 56 new events, 0 already known, no gap mark\n");
  const std::string t = ReadText(trace);
  const std::string info = "ReadDeviceInfo    -> 81 13 38";  // twice: the simulator damaged reply 3
  EXPECT_TRUE(t.find(info) != std::string::npos && t.find(info) != t.rfind(info)) << t.substr(0, 600);
  EXPECT_NE(t.find("ReadEventBlock    <- 81 08 "), std::string::npos);
  EXPECT_EQ(t.find("StartSearch"), std::string::npos);  // --serial: no search

  // The same panel as COM42 through the simulator's link, found by search.
  std::filesystem::remove(file_);
  r = Read({"--port", "42", "--gaz", "-o", file_});
  EXPECT_EQ(r->Wait(), 0) << r->Err();
  EXPECT_EQ(Load().m_nSerNum, 700123);
  EXPECT_TRUE(r->Out().starts_with("COM42: Тарвел-7Л (с/н 700123): 0 new events, 56 already known"))
      << r->Out();
  r = Read({"--device", dev, "--serial", "700123", "-o", file_, "--no-archive"});
  EXPECT_EQ(r->Wait(), 0) << r->Err();
  EXPECT_EQ(r->Out(), "");
  sim_->Signal(SIGTERM);
  EXPECT_EQ(sim_->Wait(), 0);
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(dir_.File("ports/COM42"))));
  ::unsetenv("LOGWICK_PORTS_DIR");
}

TEST_F(CliRead, FailuresReportTheMessageAndTheirOwnStatus) {
  // A failure before the events (here the port; which step failed is the
  // read-out's business): the existing file is not touched.
  WriteBytes(file_, {1, 2, 3});
  auto r = Read({"--device", dir_.File("no-such-tty"), "-o", file_});
  EXPECT_EQ(r->Wait(), 2);
  EXPECT_NE(r->Err().find("Не могу открыть порт"), std::string::npos) << r->Err();
  EXPECT_EQ(ReadBytes(file_), (Bytes{1, 2, 3}));

  // A complete reading that cannot be stored is a write failure.
  const std::string dev = Simulate({"--events", "20"});
  const std::string nowhere = dir_.File("none/out.t7kev");
  r = Read({"--device", dev, "--serial", "4660", "-o", nowhere});
  EXPECT_EQ(r->Wait(), 4);
  EXPECT_NE(r->Err().find("Не могу создать файл: " + nowhere), std::string::npos) << r->Err();
}

TEST_F(CliRead, InterruptStopsBetweenBlocksAndWritesTheEventsSoFar) {
  // Each block costs a read time-out for its one "not ready" answer (~170 ms).
  const std::string dev = Simulate({"--events", "200", "--block", "4", "--not-ready", "1"});
  auto r = Read({"--device", dev, "--serial", "4660", "-o", file_});
  std::this_thread::sleep_for(std::chrono::milliseconds(900));
  r->Signal(SIGINT);
  EXPECT_EQ(r->Wait(), 130) << r->Err();
  const std::size_t n = Load().GetCount();
  EXPECT_TRUE(n > 0 && n < 196 && n % 4 == 0) << n;
  EXPECT_TRUE(
      r->Out().ends_with(": " + std::to_string(n) + " new events, 0 already known, no gap mark, partial\n"))
      << r->Out();
}
