// How logwick-cli and its helper program end: parse the arguments, run the
// command, and turn what it threw into a message on stderr and an exit status.
#pragma once

namespace CLI {
class App;
}

namespace logwick::cli {

int RunCommandLine(CLI::App& app, int argc, char** argv);

}  // namespace logwick::cli
