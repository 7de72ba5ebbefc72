#include "cli/readout_filing.h"

#include <CLI/CLI.hpp>

#include <cstdio>

#include "cli/commands.h"

#ifdef LOGWICK_WITH_ARCHIVE
#include "cli/archive_access.h"
#endif

namespace logwick::cli {

#ifdef LOGWICK_WITH_ARCHIVE

void ReadoutFiling::AddTo(CLI::App& cmd) {
  cmd.add_flag("--no-archive", off, "do not file the read-out into the panel history archive");
  cmd.add_option("--archive", archive,
                 "archive file (default: $LOGWICK_ARCHIVE, else the user's data folder)");
}

ExitStatus ReadoutFiling::File(const CT7KEventList& list, const std::string& source, bool partial) const {
  if (off) return kExitOk;
  try {
    auto opened = OpenArchiveOrThrow(archive, true);
    FileAndReport(*opened, list, {source, partial}, source);
    return kExitOk;
  } catch (const CliError& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return e.status;
  }
}

#else

void ReadoutFiling::AddTo(CLI::App&) {}

ExitStatus ReadoutFiling::File(const CT7KEventList&, const std::string&, bool) const { return kExitOk; }

#endif

}  // namespace logwick::cli
