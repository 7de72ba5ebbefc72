// The program's command line: at most one event-file name. Its only switches
// are --version and --help, answered before any window exists; "--" ends the
// switches, so that a file named like one still opens ("logwick -- --help",
// or "logwick ./--help").
#pragma once

#include <string>
#include <vector>

class CT29CommandLine {
 public:
  // One argument as the runtime split it. Returns the message to show for it
  // (UTF-8), or an empty text when the argument was taken quietly.
  std::string ParseParam(const std::string& arg);

  // Parses every argument after the program name; returns the messages in
  // the order they arose. After "--" every argument is a file name.
  std::vector<std::string> ParseAll(const std::vector<std::string>& args);

  std::string m_strFileName;

 private:
  std::string TakeFileName(const std::string& arg);
};

namespace logwick {

enum class InfoRequest { kNone, kVersion, kHelp };

// The first of --version and --help among the arguments before "--".
InfoRequest FindInfoRequest(const std::vector<std::string>& args);

// What --help prints (the manual page is made from it).
std::string DesktopHelpText();

}  // namespace logwick
