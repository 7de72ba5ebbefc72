#include "app/app_icons.h"

// The resources live in a static library: name them once so the linker keeps them.
static void InitResources() { Q_INIT_RESOURCE(logwick); }

namespace logwick {

QIcon ProgramIcon() {
  InitResources();
  return QIcon(":/icons/logwick.png");
}

QIcon EventFileIcon() {
  InitResources();
  return QIcon(":/icons/t7kev.png");
}

}  // namespace logwick
