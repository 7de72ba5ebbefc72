// Where this program keeps the user's own data (the panel history archive,
// recovered read-outs), found the way the desktop expects it:
//
//     $XDG_DATA_HOME/Ormet/logwick          (XDG_DATA_HOME defaulting to ~/.local/share)
//     %LOCALAPPDATA%\Ormet\Logwick          (Windows)
//
// and the user's documents folder, where the event-file dialogs start.
#pragma once

#include <string>
#include <string_view>

namespace logwick {

// An environment variable as UTF-8; empty when unset or empty.
std::string EnvironmentText(const char* name);

// The program's data folder; empty when the user has none (no HOME, no
// LOCALAPPDATA). Not created here.
std::string UserDataFolder();

// The user's documents folder, not created when missing. On Windows the
// shell's; elsewhere the one the desktop's user-dirs file names
// ($XDG_CONFIG_HOME/user-dirs.dirs, e.g. XDG_DOCUMENTS_DIR="$HOME/Документы"),
// ~/Documents when it names none, and the home folder when that folder does
// not exist. Empty without a home folder.
std::string DocumentsFolder();

// The folder that user-dirs.dirs text gives for `key` ("XDG_DOCUMENTS_DIR"):
// "$HOME/..." with `home` put in, or an absolute path; the last line for the
// key wins, as when the shell reads the file. Empty when no line gives it, or
// gives a relative path (which the format does not allow).
std::string UserDirsEntry(std::string_view text, std::string_view key, const std::string& home);

// `name` inside `folder`, with the platform's separator.
std::string InFolder(const std::string& folder, const std::string& name);

}  // namespace logwick
