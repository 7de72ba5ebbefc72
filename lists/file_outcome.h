// How a load or a store of a file by its path ended: one shape for both, a
// status and the system's own words for a failure of the file itself.
#pragma once

#include <string>
#include <utility>

namespace logwick {

enum class FileStatus {
  Done,           // loaded into the caller's list, or stored in place
  FormatRefused,  // load: the list refused the file's tag, count or panel type
  EndOfFile,      // load: the file ended before its format said it would
  ReadError,      // load: the file could not be opened or read
  WriteError,     // store: the file could not be made, written or put in place
  Loaded = Done,  // the name loads are read by
};

struct FileOutcome {
  FileOutcome(FileStatus status = FileStatus::Done, std::string osError = {})
      : status(status), osError(std::move(osError)), ok(status == FileStatus::Done) {}

  FileStatus status;
  std::string osError;  // the system's reason for a ReadError or WriteError
  bool ok;              // status is Done: set with it, never on its own
};

// The names the two directions had before they shared one shape.
using LoadStatus = FileStatus;
using LoadOutcome = FileOutcome;
using StoreOutcome = FileOutcome;

}  // namespace logwick
