#include "lists/user_folders.h"

#include <cstdlib>

#ifdef _WIN32
#include "events/codec.h"
#endif

namespace logwick {

std::string EnvironmentText(const char* name) {
#ifdef _WIN32
  const wchar_t* value = _wgetenv(Utf8ToWide(name).c_str());
  return value ? WideToUtf8(value) : std::string();
#else
  const char* value = std::getenv(name);
  return value ? std::string(value) : std::string();
#endif
}

std::string UserDataFolder() {
#ifdef _WIN32
  const std::string local = EnvironmentText("LOCALAPPDATA");
  return local.empty() ? std::string() : local + "\\Ormet\\Logwick";
#else
  // The base directory specification ignores relative paths.
  std::string data = EnvironmentText("XDG_DATA_HOME");
  if (data.empty() || data.front() != '/') {
    const std::string home = EnvironmentText("HOME");
    if (home.empty()) return {};
    data = home + "/.local/share";
  }
  return data + "/Ormet/logwick";
#endif
}

std::string InFolder(const std::string& folder, const std::string& name) {
#ifdef _WIN32
  return folder + "\\" + name;
#else
  return folder + "/" + name;
#endif
}

}  // namespace logwick
