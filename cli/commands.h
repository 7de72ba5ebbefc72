// The subcommands of logwick-cli. Each Add*Command registers its options on the
// application and sets the callback that runs it; a callback reports failure
// by throwing CliError (message printed on stderr, exit status non-zero).
#pragma once

#include <stdexcept>
#include <string>

namespace CLI {
class App;
}

namespace logwick::cli {

struct CliError : std::runtime_error {
  CliError(const std::string& message, int status = 1) : std::runtime_error(message), status(status) {}
  int status;
};

void AddShowCommand(CLI::App& app);
void AddExportCommand(CLI::App& app);
void AddReadCommand(CLI::App& app);
void AddSimulateCommand(CLI::App& app);

}  // namespace logwick::cli
