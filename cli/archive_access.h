// The archive for the commands: opened at the path that --archive,
// LOGWICK_ARCHIVE or the default names, its failures turned into CliError
// with a status of their own, and the line that tells what a filing did.
#pragma once

#include <memory>
#include <string>

#include "cli/exit_status.h"
#include "history/history_archive.h"

namespace logwick::cli {

// The exit status of an archive failure: kExitFormat for a damaged, foreign
// or newer archive, kExitCannotRead when it is missing or cannot be opened,
// kExitCannotWrite when a change cannot be written.
ExitStatus ArchiveExitStatus(ArchiveError::Kind kind);
// Throws CliError with the archive's message and status.
[[noreturn]] void ThrowArchiveError(const ArchiveError& e);

// The archive's path; throws CliError when none can be told (no home folder).
std::string ArchivePathOrThrow(const std::string& option);

// Opens the archive; a missing one is created when create is set.
std::unique_ptr<HistoryArchive> OpenArchiveOrThrow(const std::string& option, bool create);

// "NAME: Тарвел-7К (с/н 123): 25 new events, 4071 already known, no gap mark",
// with ", partial" for a partial read-out and " (already filed)" when it was.
std::string FilingLine(const std::string& name, const FilingResult& r, bool partial = false);

// Files a read-out and prints its filing line on standard output.
void FileAndReport(HistoryArchive& archive, const CT7KEventList& list, const ReadoutOrigin& origin,
                   const std::string& name);

}  // namespace logwick::cli
