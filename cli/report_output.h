// The report for the commands: on the terminal as UTF-8 lines, or as the
// report file the desktop program writes.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "lists/report.h"
#include "lists/report_formats.h"

namespace logwick::cli {

// Writes text to out, or throws CliError when it cannot.
void WriteOrThrow(std::FILE* out, std::string_view text);

// Header and event lines, UTF-8, LF line ends, control characters shown as
// '?'. Throws CliError when the output cannot be written.
void PrintReport(std::FILE* out, const CT7KEventList& list, const EventPredicate& admit, GapMarks gaps = {});

// Text from a file or an archive made safe for the terminal: control
// characters shown as '?'.
std::string TerminalText(std::string_view text);

// Throws CliError "Ошибка записи файла: PATH (reason)" (kExitCannotWrite).
void ExportReportOrThrow(const std::string& path, const CT7KEventList& list, const EventPredicate& admit,
                         const ReportOptions& options = {});

}  // namespace logwick::cli
