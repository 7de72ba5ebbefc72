// The model's messages and questions as the system's message boxes: UTF-8 in,
// W functions out. A message with details shows them behind "Подробности".
#pragma once

#include <windows.h>

#include <string>

#include "desk/face.h"

namespace logwick::win {

// The application title that message boxes without a caption of their own
// carry: the executable's base name ("logwick").
std::string AppTitle();

// owner: the window the box belongs to and is centred on (null for none).
void ShowMessage(HWND owner, const logwick::Message& message);
// Да and Нет, Нет the default; true for Да.
bool AskYesNo(HWND owner, const logwick::Message& message);

}  // namespace logwick::win
