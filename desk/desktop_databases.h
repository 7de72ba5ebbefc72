// The desktop learns of a new file type only through its caches: the shared
// MIME database (update-mime-database) and the cache of which programs open
// which types (update-desktop-database). After the program has written its
// files into the user's data folder it brings both up to date, as Debian's
// triggers do for the system folders. Both tools are optional.
#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace logwick {

// The longest any of the tools may run before it is stopped.
constexpr std::chrono::seconds kDesktopToolTimeout{10};

// Runs each tool whose cache under dataHome is missing or older than the
// program's own file it is built from; a tool that is not installed is
// skipped quietly. Does nothing on Windows (the shell is notified instead).
void UpdateDesktopDatabases(const std::string& dataHome);

// Runs the program argv[0], looked up on PATH, with no input and its output
// discarded. True when it ran and exited with status 0 within limit; one that
// overruns is killed.
bool RunQuietly(const std::vector<std::string>& argv, std::chrono::milliseconds limit);

}  // namespace logwick
