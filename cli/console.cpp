#include "cli/console.h"

#include <cstdio>

#ifdef _WIN32
#include <io.h>
#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

#include "events/codec.h"
#else
#include <unistd.h>
#endif

namespace logwick::cli {

void PrepareConsole(int& argc, char**& argv) {
#ifdef _WIN32
  SetConsoleOutputCP(CP_UTF8);
  SetConsoleCP(CP_UTF8);
  int n = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &n);
  if (!wide) return;
  static std::vector<std::string> storage;
  static std::vector<char*> pointers;
  storage.clear();
  for (int i = 0; i < n; ++i) {
    storage.push_back(WideToUtf8(wide[i]));
  }
  LocalFree(wide);
  pointers.clear();
  for (auto& s : storage) pointers.push_back(s.data());
  pointers.push_back(nullptr);
  argc = n;
  argv = pointers.data();
#else
  (void)argc;
  (void)argv;
#endif
}

bool StderrIsTerminal() {
#ifdef _WIN32
  return _isatty(_fileno(stderr)) != 0;
#else
  return isatty(fileno(stderr)) != 0;
#endif
}

}  // namespace logwick::cli
