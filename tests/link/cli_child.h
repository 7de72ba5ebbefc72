// logwick-cli in a child process, as an engineer runs it beside a simulated
// panel: its exit status and what it printed.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include "tests/lists/test_files.h"

extern char** environ;

namespace logwick::test {

inline const std::string kCli = std::string(LOGWICK_BIN_DIR) + "/logwick-cli";

// logwick-cli with `args`, with stdout and stderr in <files>.out and .err.
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

// Runs logwick-cli commands beside a simulated panel, in a folder of its own;
// every read-out they file goes into that folder's own archive.
class CliRunner : public ::testing::Test {
 protected:
  CliRunner() { ::setenv("LOGWICK_ARCHIVE", archive_.c_str(), 1); }
  ~CliRunner() override { ::unsetenv("LOGWICK_ARCHIVE"); }
  std::unique_ptr<Child> Run(const char* command, std::vector<std::string> args) {
    args.insert(args.begin(), command);
    return std::make_unique<Child>(std::move(args), dir_.File(command));
  }
  // Starts the simulator; its device path, the first line it prints.
  std::string Simulate(std::vector<std::string> args) {
    sim_ = Run("simulate", std::move(args));
    for (int i = 0; i < 500 && sim_->Out().find('\n') == std::string::npos; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    const std::string out = sim_->Out();
    EXPECT_NE(out.find('\n'), std::string::npos) << "the simulator printed no device: " << sim_->Err();
    return out.substr(0, out.find('\n'));
  }

  TempDir dir_;
  const std::string archive_ = dir_.File("archive.sqlite");
  std::unique_ptr<Child> sim_;
};

}  // namespace logwick::test
