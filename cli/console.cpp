#include "cli/console.h"

#ifdef _WIN32
#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>
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
    int len = WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
    std::string s(len > 0 ? len - 1 : 0, '\0');
    if (len > 1) WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, s.data(), len, nullptr, nullptr);
    storage.push_back(std::move(s));
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

}  // namespace logwick::cli
