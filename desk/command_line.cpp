#include "desk/command_line.h"

#include "events/strformat.h"

namespace {

constexpr const char* kEndOfSwitches = "--";

}  // namespace

std::string CT29CommandLine::ParseParam(const std::string& arg) {
  // A lone "-" or "/" is a switch with an empty name, as the runtime's parser
  // would hand it over.
  if (!arg.empty() && (arg[0] == '-' || arg[0] == '/')) {
#ifndef _WIN32
    // An absolute path starts with '/' here; only Windows takes it as a switch.
    if (arg[0] == '/' && arg.size() > 1) return TakeFileName(arg);
#endif
    return logwick::StrFormat("Неизвестный ключ %s", arg.c_str() + 1);
  }
  return TakeFileName(arg);
}

std::string CT29CommandLine::TakeFileName(const std::string& arg) {
  if (!m_strFileName.empty()) return "Указано больше одного файла";
  m_strFileName = arg;
  return {};
}

std::vector<std::string> CT29CommandLine::ParseAll(const std::vector<std::string>& args) {
  std::vector<std::string> messages;
  bool switches = true;
  for (const auto& arg : args) {
    if (switches && arg == kEndOfSwitches) {
      switches = false;
      continue;
    }
    std::string m = switches ? ParseParam(arg) : TakeFileName(arg);
    if (!m.empty()) messages.push_back(std::move(m));
  }
  return messages;
}

namespace logwick {

InfoRequest FindInfoRequest(const std::vector<std::string>& args) {
  for (const auto& arg : args) {
    if (arg == kEndOfSwitches) break;
    if (arg == "--version") return InfoRequest::kVersion;
    if (arg == "--help") return InfoRequest::kHelp;
  }
  return InfoRequest::kNone;
}

std::string DesktopHelpText() {
  return "Usage: logwick [FILE]\n"
         "  or:  logwick -- FILE\n"
         "Reads, shows and exports the event log of Тарвел alarm panels: the desktop program.\n"
         "\n"
         "Opens the event file FILE (.t7kev) when one is given. Every start registers the\n"
         "event-file type with the desktop for the current user.\n"
         "\n"
         "Options:\n"
         "  --help     print this help and exit\n"
         "  --version  print the version and exit\n"
         "  --         end of options: what follows is a file name, even if it begins with '-'\n"
         "\n"
         "Any other argument beginning with '-' is reported as an unknown switch in the window\n"
         "and otherwise ignored.\n";
}

}  // namespace logwick
