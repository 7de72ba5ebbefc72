// The filter options shared by the commands that print or export events:
// --from/--to (local calendar days), --beams/--devices A-B and the --no-*
// switches that leave out one kind of event each.
#pragma once

#include <string>

#include "lists/t7k_ev_filter.h"

namespace CLI {
class App;
class Option;
}  // namespace CLI

namespace logwick::cli {

struct FilterOptions {
  std::string from, to;        // YYYY-MM-DD
  std::string beams, devices;  // A-B or A
  bool noBeams = false, noDevices = false, noUnits = false;
  bool noSlaves = false, noMessages = false, noModes = false;

  // Registers the options on cmd; when needed is given, each of them needs
  // that option too.
  void AddTo(CLI::App& cmd, CLI::Option* needed = nullptr);
  // The filter these options describe; the defaults where none is given.
  CT7KEvFilter Build() const;
};

}  // namespace logwick::cli
