// `read` files what it read into the panel history archive: every read-out
// that reached its event step, a partial one too. --no-archive leaves the
// archive out; --archive PATH chooses it as for the archive commands. In a
// build without the archive these options do not exist and nothing is filed.
#pragma once

#include <string>

#include "cli/exit_status.h"
#include "lists/t7k_event_list.h"

namespace CLI {
class App;
}

namespace logwick::cli {

struct ReadoutFiling {
  std::string archive;
  bool off = false;

  void AddTo(CLI::App& cmd);
  // Files the read-out and prints its filing line, naming it by `source`,
  // the port it was read on. A failing archive is reported on stderr;
  // returns its exit status (kExitOk when filed or when filing is off).
  ExitStatus File(const CT7KEventList& list, const std::string& source, bool partial) const;
};

}  // namespace logwick::cli
