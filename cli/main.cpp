// logwick-cli: the command-line face of Logwick.
#include <CLI/CLI.hpp>

#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/console.h"
#include "cli/helper_program.h"
#include "version/program_version.h"

int main(int argc, char** argv) {
  logwick::cli::PrepareConsole(argc, argv);
  logwick::cli::RememberArguments(argc, argv);
  CLI::App app{"Logwick: reads, shows and exports the event log of Тарвел alarm panels", "logwick-cli"};
  app.require_subcommand(1);
  app.set_version_flag("--version", logwick::VersionLine("logwick-cli"), "Print the version and exit");
  logwick::cli::AddShowCommand(app);
  logwick::cli::AddExportCommand(app);
  logwick::cli::AddStatsCommand(app);
  logwick::cli::AddCheckCommand(app);
  logwick::cli::AddReadCommand(app);
  logwick::cli::AddSimulateCommand(app);
  logwick::cli::AddSampleCommand(app);
  logwick::cli::AddPortsCommand(app);
  logwick::cli::AddProbeCommand(app);
#ifdef LOGWICK_WITH_ARCHIVE
  logwick::cli::AddArchiveCommand(app);
#endif
  app.footer(
      "Exit status: 0 success; 1 other failure; 2 \"Ошибка формата файла\" (event file refused\n"
      "or cut short) or a failed read-out; 3 \"Не могу прочитать файл\"; 4 \"Ошибка записи\n"
      "файла\" or \"Не могу создать файл\"; 5 the shared archive's server failed or refused\n"
      "(archive sync, server-init); 6 a synchronisation skipped a read-out or put off\n"
      "sending; 130 stopped with Ctrl-C; 100 and above: wrong arguments.");
  return logwick::cli::RunCommandLine(app, argc, argv);
}
