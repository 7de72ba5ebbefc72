// logwick-cli: the command-line face of Logwick.
#include <CLI/CLI.hpp>

#include <cstdio>
#include <iostream>

#include "cli/commands.h"
#include "cli/console.h"
#include "version/program_version.h"

int main(int argc, char** argv) {
  logwick::cli::PrepareConsole(argc, argv);
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
      "(archive sync, server-init); 130 stopped with Ctrl-C; 100 and above: wrong arguments.");
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    return app.exit(e);
  } catch (const logwick::cli::CliError& e) {
    std::cout.flush();
    std::fprintf(stderr, "%s\n", e.what());
    return e.status;
  } catch (const std::exception& e) {
    std::cout.flush();
    std::fprintf(stderr, "logwick-cli: %s\n", e.what());
    return logwick::cli::kExitFailure;
  }
  return logwick::cli::kExitOk;
}
