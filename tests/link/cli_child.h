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

#include "tests/lists/child_process.h"

namespace logwick::test {

inline const std::string kCli = std::string(LOGWICK_BIN_DIR) + "/logwick-cli";

// Runs logwick-cli commands beside a simulated panel, in a folder of its own;
// every read-out they file goes into that folder's own archive.
class CliRunner : public ::testing::Test {
 protected:
  CliRunner() { ::setenv("LOGWICK_ARCHIVE", archive_.c_str(), 1); }
  ~CliRunner() override { ::unsetenv("LOGWICK_ARCHIVE"); }
  std::unique_ptr<ChildProcess> Run(const char* command, std::vector<std::string> args) {
    args.insert(args.begin(), command);
    return std::make_unique<ChildProcess>(ChildProcess::Program(kCli, std::move(args), {dir_.File(command)}));
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
  std::unique_ptr<ChildProcess> sim_;
};

}  // namespace logwick::test
