// The desktop program files what it reads into the panel history archive as
// `logwick-cli read` does: every reading that reached its event step, one
// that stopped or failed there marked partial, into the archive that
// LOGWICK_ARCHIVE or the default names (created at the first filing). Off
// when the setting ArchiveReadings is 0.
#pragma once

#include <QString>

#include "link/readout.h"

namespace logwick {

bool ArchivesEveryReading();
void SetArchivesEveryReading(bool on);

// Files the reading's list, named by the port it came from; the message to
// show when filing failed, empty when it was filed or there was nothing to
// file.
QString FileReading(const ReadoutResult& result, unsigned portNumber);

}  // namespace logwick
