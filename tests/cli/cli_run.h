// Runs the built logwick-cli with its output captured in files of a scratch
// folder (through the shell of the platform: see cli_runner.h).
#pragma once

#include <string>
#include <vector>

#include "tests/cli/cli_runner.h"

namespace logwick::test {

using CliResult = Result;

// The arguments may hold anything but '"', '$' and '`'.
inline CliResult RunCli(const TempDir& dir, const std::vector<std::string>& args) {
  return RunProgram(kProgram, args, dir);
}

}  // namespace logwick::test
