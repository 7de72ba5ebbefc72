#include "cli/report_output.h"

#include "cli/commands.h"
#include "cli/list_io.h"

namespace logwick::cli {
namespace {

constexpr std::size_t kFlushAt = 64 * 1024;

}  // namespace

void PrintReport(std::FILE* out, const CT7KEventList& list, const EventPredicate& admit) {
  std::string buffer;
  bool failed = false;
  auto flush = [&] {
    if (!failed && std::fwrite(buffer.data(), 1, buffer.size(), out) != buffer.size()) failed = true;
    buffer.clear();
  };
  ForEachReportLine(list, admit, [&](std::string_view line) {
    buffer += line;
    buffer += '\n';
    if (buffer.size() >= kFlushAt) flush();
  });
  flush();
  if (std::fflush(out) != 0) failed = true;
  if (failed) throw CliError("logwick-cli: cannot write the standard output", kExitFailure);
}

void ExportReportOrThrow(const std::string& path, const CT7KEventList& list,
                         const EventPredicate& admit) {
  const StoreOutcome r = WriteReportFile(path, list, admit);
  if (!r.ok) throw CliError(FileMessage(kMsgReportWriteError, path, r.osError), kExitCannotWrite);
}

}  // namespace logwick::cli
