// The system's file dialogs, asked for a file name to open or to save as the
// model's request says.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "desk/face.h"

namespace logwick::win {

// The full path chosen (UTF-8), or none when the user cancelled. A name typed
// without an extension takes the chosen type's, else the default one (the
// system's dialogs do so); saving asks before overwriting; neither shows the
// read-only box.
std::optional<std::string> AskFileName(HWND owner, const logwick::FileRequest& request);

}  // namespace logwick::win
