// What the helper program logwick-sync does for `archive sync` and
// `archive server-init`: the exchange with the server through libpq, its
// progress on stderr, its summary on stdout, its warnings and failures on
// stderr and its exit status.
#pragma once

#include "cli/commands.h"

namespace logwick::cli {

void RunSync(const SyncRequest& request);
void RunServerInit(const SyncRequest& request);

}  // namespace logwick::cli
