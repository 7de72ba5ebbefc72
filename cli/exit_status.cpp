#include "cli/exit_status.h"

namespace logwick::cli {

ExitStatus ExitStatusOf(ReadoutStatus status) {
  switch (status) {
    case ReadoutStatus::Ok:
      return kExitOk;
    case ReadoutStatus::Cancelled:
      return kExitCancelled;
    default:
      return kExitReadFailed;
  }
}

}  // namespace logwick::cli
