#include "history/archive_location.h"

#include "lists/user_folders.h"

namespace logwick {

std::string DefaultArchivePath() {
  const std::string folder = UserDataFolder();
  return folder.empty() ? folder : InFolder(folder, "archive.sqlite");
}

std::string ResolveArchivePath(const std::string& option) {
  if (!option.empty()) return option;
  if (std::string env = EnvironmentText(kArchiveEnvironmentVariable); !env.empty()) return env;
  return DefaultArchivePath();
}

}  // namespace logwick
