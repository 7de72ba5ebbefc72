// Putting text on the clipboard as Unicode text.
#pragma once

#include <windows.h>

#include <string_view>

namespace logwick::win {

// false when the clipboard could not be had.
bool CopyText(HWND owner, std::string_view utf8);

}  // namespace logwick::win
