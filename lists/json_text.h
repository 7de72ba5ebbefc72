// JSON text pieces (RFC 8259) for the data report and the command line.
#pragma once

#include <string>
#include <string_view>

namespace logwick {

// text (UTF-8) as a JSON string, quotes included: '"', '\' and the control
// characters below U+0020 escaped (\n, \r, \t, else \u00xx), so the result
// never holds a raw line break; every other character as it is.
void AppendJsonString(std::string& out, std::string_view text);

}  // namespace logwick
