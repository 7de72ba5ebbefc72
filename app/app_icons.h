// The program's two icons: the program itself and its event files.
#pragma once

#include <QIcon>

namespace logwick {
QIcon ProgramIcon();
QIcon EventFileIcon();
}  // namespace logwick
