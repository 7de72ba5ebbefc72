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

// Exit statuses, one per kind of failure (listed in --help). Usage errors get
// the argument parser's own statuses (100 and above).
enum ExitStatus : int {
  kExitOk = 0,
  kExitFailure = 1,      // any failure without a status of its own
  kExitFormat = 2,       // "Ошибка формата файла": refused or cut-short event file
  kExitCannotRead = 3,   // "Не могу прочитать файл"
  kExitCannotWrite = 4,  // "Ошибка записи файла" / "Не могу создать файл"
};

struct CliError : std::runtime_error {
  CliError(const std::string& message, int status = 1) : std::runtime_error(message), status(status) {}
  int status;
};

void AddShowCommand(CLI::App& app);
void AddExportCommand(CLI::App& app);
void AddReadCommand(CLI::App& app);
void AddSimulateCommand(CLI::App& app);
void AddSampleCommand(CLI::App& app);
void AddPortsCommand(CLI::App& app);
void AddProbeCommand(CLI::App& app);

}  // namespace logwick::cli
