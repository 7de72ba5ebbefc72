// Where this program keeps the user's own data (the panel history archive,
// recovered read-outs), found the way the desktop expects it:
//
//     $XDG_DATA_HOME/Ormet/logwick          (XDG_DATA_HOME defaulting to ~/.local/share)
//     %LOCALAPPDATA%\Ormet\Logwick          (Windows)
#pragma once

#include <string>

namespace logwick {

// An environment variable as UTF-8; empty when unset or empty.
std::string EnvironmentText(const char* name);

// The program's data folder; empty when the user has none (no HOME, no
// LOCALAPPDATA). Not created here.
std::string UserDataFolder();

// `name` inside `folder`, with the platform's separator.
std::string InFolder(const std::string& folder, const std::string& name);

}  // namespace logwick
