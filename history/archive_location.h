// Where the archive lives: --archive PATH wins over the environment variable
// LOGWICK_ARCHIVE, which wins over the default file,
// $XDG_DATA_HOME/Ormet/logwick/archive.sqlite (~/.local/share when
// XDG_DATA_HOME is unset) or %LOCALAPPDATA%\Ormet\Logwick\archive.sqlite on
// Windows.
#pragma once

#include <string>

namespace logwick {

inline constexpr char kArchiveEnvironmentVariable[] = "LOGWICK_ARCHIVE";

// The default file (UTF-8); empty when the environment names no home folder.
std::string DefaultArchivePath();

// The archive to use given the --archive option (empty when not given).
std::string ResolveArchivePath(const std::string& option);

}  // namespace logwick
