#include "cli/archive_access.h"

#include <cstdio>

#include "cli/commands.h"
#include "events/strformat.h"
#include "history/archive_location.h"
#include "lists/panel_types.h"

namespace logwick::cli {

ExitStatus ArchiveExitStatus(ArchiveError::Kind kind) {
  using K = ArchiveError::Kind;
  switch (kind) {
    case K::Damaged:
    case K::Foreign:
    case K::NewerVersion:
      return kExitFormat;
    case K::Missing:
    case K::CannotOpen:
    case K::Busy:
      return kExitCannotRead;
    case K::CannotWrite:
      return kExitCannotWrite;
  }
  return kExitFailure;
}

void ThrowArchiveError(const ArchiveError& e) { throw CliError(e.what(), ArchiveExitStatus(e.GetKind())); }

std::string ArchivePathOrThrow(const std::string& option) {
  const std::string path = ResolveArchivePath(option);
  if (path.empty()) throw CliError("no archive: give --archive PATH or set LOGWICK_ARCHIVE (no home folder)");
  return path;
}

std::unique_ptr<HistoryArchive> OpenArchiveOrThrow(const std::string& option, bool create) {
  const std::string path = ArchivePathOrThrow(option);
  try {
    return HistoryArchive::Open(path, create);
  } catch (const ArchiveError& e) {
    ThrowArchiveError(e);
  }
}

std::string FilingLine(const std::string& name, const FilingResult& r, bool partial) {
  return StrFormat("%s: %s (с/н %d): %zu new events, %zu already known, %s%s%s", name.c_str(),
                   PanelTypeName(r.panel.type).c_str(), r.panel.serial, r.newEvents, r.knownEvents,
                   r.gapMarkSet ? "gap mark set" : "no gap mark", partial ? ", partial" : "",
                   r.alreadyFiled ? " (already filed)" : "");
}

void FileAndReport(HistoryArchive& archive, const CT7KEventList& list, const ReadoutOrigin& origin,
                   const std::string& name) {
  try {
    const FilingResult r = archive.File(list, origin);
    std::printf("%s\n", FilingLine(name, r, origin.partial).c_str());
    std::fflush(stdout);
  } catch (const ArchiveError& e) {
    ThrowArchiveError(e);
  }
}

}  // namespace logwick::cli
