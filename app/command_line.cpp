#include "app/command_line.h"

#include "events/strformat.h"

std::string CT29CommandLine::ParseParam(const std::string& arg) {
  // A lone "-" or "/" is a switch with an empty name, as the runtime's parser
  // would hand it over.
  if (!arg.empty() && (arg[0] == '-' || arg[0] == '/')) {
#ifndef _WIN32
    // An absolute path starts with '/' here; only Windows takes it as a switch.
    if (arg[0] == '/' && arg.size() > 1) {
      if (m_strFileName.empty()) {
        m_strFileName = arg;
        return {};
      }
      return "Указано больше одного файла";
    }
#endif
    return logwick::StrFormat("Неизвестный ключ %s", arg.c_str() + 1);
  }
  if (m_strFileName.empty()) {
    m_strFileName = arg;
    return {};
  }
  return "Указано больше одного файла";
}

std::vector<std::string> CT29CommandLine::ParseAll(const std::vector<std::string>& args) {
  std::vector<std::string> messages;
  for (const auto& arg : args) {
    std::string m = ParseParam(arg);
    if (!m.empty()) messages.push_back(std::move(m));
  }
  return messages;
}
