// Runs the built logwick-cli through the POSIX shell, its output captured in
// files of a scratch folder.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/lists/test_files.h"

namespace logwick::test {

struct CliResult {
  int status;
  std::string out, err;
};

// The arguments may hold anything but a single quote.
inline CliResult RunCli(const TempDir& dir, const std::vector<std::string>& args) {
  std::string cmd = "'" + std::string(LOGWICK_BIN_DIR) + "/logwick-cli'";
  for (const auto& a : args) cmd += " '" + a + "'";
  const std::string out = dir.File("stdout"), err = dir.File("stderr");
  const int raw = std::system((cmd + " >'" + out + "' 2>'" + err + "'").c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadText(out), ReadText(err)};
}

}  // namespace logwick::test
