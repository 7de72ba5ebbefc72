#include "app/app_icons.h"

// The resources live in a static library: name them once so the linker keeps them.
static void InitResources() { Q_INIT_RESOURCE(logwick); }

namespace logwick {

QString ProgramIconResource() {
  InitResources();
  return ":/icons/logwick.png";
}

QString EventFileIconResource() {
  InitResources();
  return ":/icons/t7kev.png";
}

QIcon ProgramIcon() { return QIcon(ProgramIconResource()); }

}  // namespace logwick
