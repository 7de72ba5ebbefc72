#include "cli/report_output.h"

#include "cli/commands.h"
#include "cli/list_io.h"

namespace logwick::cli {
namespace {

constexpr std::size_t kFlushAt = 64 * 1024;

// Texts from an event file reach the terminal here: control characters in
// them (C0, DEL, and C1 as U+0080..U+009F) could move the cursor, start escape
// sequences or forge lines, so they are shown as '?'.
void AppendForTerminal(std::string& out, std::string_view line) {
  for (std::size_t i = 0; i < line.size(); ++i) {
    const auto c = static_cast<unsigned char>(line[i]);
    if (c < 0x20 || c == 0x7F) {
      out += '?';
    } else if (c == 0xC2 && i + 1 < line.size() && static_cast<unsigned char>(line[i + 1]) >= 0x80 &&
               static_cast<unsigned char>(line[i + 1]) <= 0x9F) {
      out += '?';
      ++i;
    } else {
      out += static_cast<char>(c);
    }
  }
}

}  // namespace

void WriteOrThrow(std::FILE* out, std::string_view text) {
  if (std::fwrite(text.data(), 1, text.size(), out) != text.size() || std::fflush(out) != 0)
    throw CliError("logwick-cli: cannot write the standard output", kExitFailure);
}

std::string TerminalText(std::string_view text) {
  std::string out;
  AppendForTerminal(out, text);
  return out;
}

void PrintReport(std::FILE* out, const CT7KEventList& list, const EventPredicate& admit, GapMarks gaps) {
  std::string buffer;
  ForEachReportLine(
      list, admit,
      [&](std::string_view line) {
        AppendForTerminal(buffer, line);
        buffer += '\n';
        if (buffer.size() >= kFlushAt) {
          WriteOrThrow(out, buffer);
          buffer.clear();
        }
      },
      gaps);
  WriteOrThrow(out, buffer);
}

void ExportReportOrThrow(const std::string& path, const CT7KEventList& list, const EventPredicate& admit,
                         const ReportOptions& options) {
  const FileOutcome r = WriteReportFile(path, list, admit, options);
  if (!r.ok) throw CliError(FileMessage(kMsgReportWriteError, path, r.osError), kExitCannotWrite);
}

}  // namespace logwick::cli
