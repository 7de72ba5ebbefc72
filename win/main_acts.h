// What the user does in the main window, forwarded to the desktop model: the
// window's commands and what is typed in the find bar.
#pragma once

#include <string>

namespace logwick::win {

enum class MainCommand {
  ReadFromPanel,
  ReadFromFile,
  WriteToFile,
  WriteText,
  Filter,
  Settings,
  About,
  Help,
  Exit,  // the exit button and menu item, Enter, the close box
  Archive,
  Find,  // Ctrl+F
  FindNext,
  FindPrevious,
  FindClose,  // Esc in the find bar
  Print,
  Statistics,
  Integrity,
};

class IMainActs {
 public:
  virtual ~IMainActs() = default;
  virtual void Command(MainCommand command) = 0;
  virtual void FindTextChanged(const std::string& utf8) = 0;
};

}  // namespace logwick::win
