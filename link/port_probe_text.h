// A port probe's findings as an engineer reads them, in Russian: which port,
// what was found, what to do about it, and what each line mode brought.
#pragma once

#include <string>
#include <vector>

#include "link/port_probe.h"

namespace logwick {

// The report as lines (UTF-8, no line ends).
std::vector<std::string> ProbeReportLines(const ProbeReport& report);

}  // namespace logwick
