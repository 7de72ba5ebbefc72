// Folder and path helpers of the program's shell: the folder remembered for
// the event-file dialogs, and the forms of the program's own path that the
// file-type registration writes. Plain C++ (also built for Windows).
#pragma once

#include <string>

// The path cut before its last separator, without that separator:
// "C:\Logs\a.t7kev" gives "C:\Logs", "C:\a.t7kev" gives "C:", "a.t7kev" gives "".
// On Windows only the backslash separates; elsewhere the slash does as well.
std::string DirectoryOf(const std::string& path);

namespace logwick {

// The longest folder text the event-file dialogs accept (a 260-character
// buffer with its terminating zero).
constexpr std::size_t kMaxFolderText = 259;

// What the event-file dialogs start in, given the stored folder text and the
// user's documents folder: the stored folder when it is set and short enough,
// the documents folder when it is empty, nothing (the dialog's own default)
// when it is too long.
std::string ChooseEventsFolder(const std::string& stored, const std::string& documents);

// The short (8.3) form of a path on Windows; the path itself when there is
// none or elsewhere.
std::string ShortPathOf(const std::string& path);

}  // namespace logwick
