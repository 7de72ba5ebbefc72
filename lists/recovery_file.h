// Where a read-out goes when its own target cannot take it after all (a full
// disk, a pulled stick): a file in the user's data folder, so that what was
// read from the panel is never lost.
//
//     $XDG_DATA_HOME/Ormet/logwick/recovered/<serial>-<YYYYmmdd-HHMMSS>.t7kev
//     (XDG_DATA_HOME defaulting to ~/.local/share)
//     %LOCALAPPDATA%\Ormet\Logwick\recovered\<serial>-<YYYYmmdd-HHMMSS>.t7kev
#pragma once

#include <ctime>
#include <string>

#include "lists/t7k_event_list.h"

namespace logwick {

// The folder of recovered read-outs; empty when the user has no data folder.
std::string RecoveryFolder();

struct RecoveryOutcome {
  bool ok = false;
  std::string path;     // the file written, or the one that could not be
  std::string osError;  // the system's reason when !ok
};

// Stores the list in the recovery folder, made when missing, under the panel's
// serial number and the local time `when`; a name already taken gets "-2",
// "-3" ... before the extension.
RecoveryOutcome StoreRecoveryFile(const CT7KEventList& list, std::time_t when);

}  // namespace logwick
