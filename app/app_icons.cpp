#include "app/app_icons.h"

namespace logwick {

QIcon ProgramIcon() { return QIcon(":/icons/logwick.png"); }
QIcon EventFileIcon() { return QIcon(":/icons/t7kev.png"); }

}  // namespace logwick
