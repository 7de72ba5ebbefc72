// The dialogs that show a value or nothing: the report options (template
// 138), the About box (100) and the help window (143).
#pragma once

#include <windows.h>

#include "desk/main_window_model.h"

namespace logwick::win {

// The report's scope; true on OK.
bool RunReportOptions(HWND owner, logwick::ReportScope& scope);
void RunAboutBox(HWND owner);
void RunHelp(HWND owner);

}  // namespace logwick::win
