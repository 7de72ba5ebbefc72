// The program's two icons: the program itself and its event files.
#pragma once

#include <QIcon>
#include <QString>

namespace logwick {
QIcon ProgramIcon();

// The resources behind them (48x48 PNG files); the event files' icon goes to the desktop's file types.
QString ProgramIconResource();
QString EventFileIconResource();
}  // namespace logwick
