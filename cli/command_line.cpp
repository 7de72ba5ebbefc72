#include "cli/command_line.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <iostream>

#include "cli/exit_status.h"

namespace logwick::cli {

int RunCommandLine(CLI::App& app, int argc, char** argv) {
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    return app.exit(e);
  } catch (const CliError& e) {
    std::cout.flush();
    std::fflush(stdout);
    if (*e.what()) std::fprintf(stderr, "%s\n", e.what());
    return e.status;
  } catch (const std::exception& e) {
    std::cout.flush();
    std::fflush(stdout);
    std::fprintf(stderr, "logwick-cli: %s\n", e.what());
    return kExitFailure;
  }
  return kExitOk;
}

}  // namespace logwick::cli
