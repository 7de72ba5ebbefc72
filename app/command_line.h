// The program's command line: at most one event-file name, no switches.
#pragma once

#include <string>
#include <vector>

class CT29CommandLine {
 public:
  // One argument as the runtime split it. Returns the message to show for it
  // (UTF-8), or an empty text when the argument was taken quietly.
  std::string ParseParam(const std::string& arg);

  // Parses every argument after the program name; returns the messages in
  // the order they arose.
  std::vector<std::string> ParseAll(const std::vector<std::string>& args);

  std::string m_strFileName;
};
