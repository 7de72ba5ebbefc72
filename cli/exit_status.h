// How logwick-cli ends: one exit status per kind of failure (listed in
// --help), and the error that carries a message and its status to main.
// Wrong arguments end with the argument parser's own statuses, 100 and up.
#pragma once

#include <stdexcept>
#include <string>

#include "link/readout_status.h"

namespace logwick::cli {

enum ExitStatus : int {
  kExitOk = 0,
  kExitFailure = 1,      // any failure without a status of its own
  kExitFormat = 2,       // "Ошибка формата файла": refused or cut-short event file
  kExitReadFailed = 2,   // a read-out that failed (its message said why)
  kExitCannotRead = 3,   // "Не могу прочитать файл"
  kExitCannotWrite = 4,  // "Ошибка записи файла" / "Не могу создать файл"
  kExitServer = 5,       // the shared archive's server failed, refused or is not given
  kExitSkipped = 6,      // a synchronisation skipped a read-out or put off sending
  kExitCancelled = 130,  // a read-out or a synchronisation stopped with Ctrl-C
};

// The status a read-out's end gives the command.
ExitStatus ExitStatusOf(ReadoutStatus status);

// An empty message ends the program with the status and says nothing more.
struct CliError : std::runtime_error {
  explicit CliError(const std::string& message, ExitStatus status = kExitFailure)
      : std::runtime_error(message), status(status) {}
  ExitStatus status;
};

}  // namespace logwick::cli
