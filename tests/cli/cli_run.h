// The name the synchronisation's command-line tests run logwick-cli by.
#pragma once

#include "tests/cli/cli_runner.h"

namespace logwick::test {

using CliResult = Result;

inline CliResult RunCli(const TempDir& dir, const std::vector<std::string>& args) {
  return RunProgram(kProgram, args, dir);
}

}  // namespace logwick::test
