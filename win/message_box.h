// Message boxes with the program's texts: UTF-8 in, W functions out.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace logwick::win {

enum class MsgIcon : UINT {
  Exclamation = MB_ICONEXCLAMATION,
  Warning = MB_ICONWARNING,
  Stop = MB_ICONSTOP,
  Information = MB_ICONINFORMATION,
};

// The application title that message boxes without a caption of their own
// carry: the executable's base name ("logwick").
std::string AppTitle();

// An OK box; caption empty: the application title.
void ShowMessage(HWND owner, std::string_view text, std::string_view caption, MsgIcon icon);

}  // namespace logwick::win
