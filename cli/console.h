// Terminal set-up: UTF-8 output everywhere (on Windows the console code page and
// the arguments are switched to UTF-8).
#pragma once

namespace logwick::cli {

// May replace argv with UTF-8 arguments (Windows); call first in main.
void PrepareConsole(int& argc, char**& argv);

// Whether stderr is a terminal, where progress is drawn as one live line.
bool StderrIsTerminal();

}  // namespace logwick::cli
