#include "history/archive_location.h"

#include <cstdlib>

#ifdef _WIN32
#include "events/codec.h"
#endif

namespace logwick {
namespace {

// An environment variable as UTF-8; empty when unset or empty.
std::string Environment(const char* name) {
#ifdef _WIN32
  const wchar_t* v = _wgetenv(Utf8ToWide(name).c_str());
  return v ? WideToUtf8(v) : std::string();
#else
  const char* v = std::getenv(name);
  return v ? std::string(v) : std::string();
#endif
}

}  // namespace

std::string DefaultArchivePath() {
#ifdef _WIN32
  const std::string local = Environment("LOCALAPPDATA");
  return local.empty() ? std::string() : local + "\\Ormet\\Logwick\\archive.sqlite";
#else
  // The base directory specification ignores relative paths.
  std::string data = Environment("XDG_DATA_HOME");
  if (data.empty() || data.front() != '/') {
    const std::string home = Environment("HOME");
    if (home.empty()) return {};
    data = home + "/.local/share";
  }
  return data + "/Ormet/logwick/archive.sqlite";
#endif
}

std::string ResolveArchivePath(const std::string& option) {
  if (!option.empty()) return option;
  if (std::string env = Environment(kArchiveEnvironmentVariable); !env.empty()) return env;
  return DefaultArchivePath();
}

}  // namespace logwick
