// The program's two icons: the program itself and its event files.
#pragma once

#include <QIcon>
#include <QString>

namespace logwick {
QIcon ProgramIcon();
QIcon EventFileIcon();

// The resources behind them: 48x48 PNG files.
QString ProgramIconResource();
QString EventFileIconResource();
}  // namespace logwick
