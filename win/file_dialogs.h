// The system's file dialogs, asked for a file name to open or to save.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace logwick::win {

struct FileType {
  std::string name;     // "Списки событий (*.t7kev)"
  std::string pattern;  // "*.t7kev"
};

struct FileAsk {
  bool save = false;
  std::string defaultExtension;  // without its dot; given to a name typed without one
  std::vector<FileType> types;
  std::string folder;  // the first folder (UTF-8); empty: the system's choice
};

struct FileAnswer {
  std::string path;      // UTF-8
  std::size_t type = 0;  // the chosen type, from 0
};

// The name chosen, or none when the user cancelled. Saving asks before
// overwriting; neither shows the read-only box.
std::optional<FileAnswer> AskFileName(HWND owner, const FileAsk& ask);

}  // namespace logwick::win
