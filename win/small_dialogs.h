// The dialogs that show a value or nothing: the report options (template
// 138), the About box (100) and the help window (144).
#pragma once

#include <windows.h>

namespace logwick::win {

// The report's scope: 0 the filtered events, 1 all; true on OK.
bool RunTextParamDialog(HWND owner, int& scope);
void RunAboutBox(HWND owner);
void RunHelp(HWND owner);

}  // namespace logwick::win
