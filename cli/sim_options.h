// The options of `logwick-cli simulate` and how they become a panel.
#pragma once

#include <string>
#include <vector>

#include "sim/pty_panel.h"
#include "sim/virtual_panel.h"

namespace CLI {
class App;
}

namespace logwick::cli {

struct SimOptions {
  sim::PanelConfig panel;
  std::string version = "3.12";        // major.minor
  std::string release = "2021-06-14";  // firmware release date
  std::string clock;                   // "YYYY-MM-DD HH:MM:SS"; empty: after the newest event
  std::vector<std::string> texts;      // replaces the sample texts when given
  int sampleTexts = 16;
  std::vector<std::string> silentOn;
  std::vector<unsigned> badChecksumOn;
  bool pace = false;
  bool echo = false;
  std::string lineMode;  // "normal", "gaz" or empty (both)
  unsigned asCom = 0;
};

void AddSimOptions(CLI::App& cmd, SimOptions& o);
// Turns the options into the panel's configuration; throws CliError.
sim::PanelConfig MakePanelConfig(const SimOptions& o);
// The line's behaviour of the options (pacing, echo, line mode).
sim::PtyOptions MakeLineOptions(const SimOptions& o);

}  // namespace logwick::cli
