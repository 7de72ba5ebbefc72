#include "lists/report.h"

#include <cerrno>

#include "events/codec.h"
#include "events/strformat.h"
#include "lists/file_errors.h"
#include "lists/file_system.h"
#include "lists/panel_types.h"

namespace logwick {
namespace {

constexpr std::size_t kFlushAt = 64 * 1024;
constexpr char kLineEnd[] = "\r\n";

void WriteOut(std::FILE* out, const std::string& path, const std::string& bytes) {
  errno = 0;
  if (std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size()) {
    int err = errno ? errno : EIO;
    throw CFileException(CFileException::CauseOf(err), path, ErrnoText(err));
  }
}

}  // namespace

std::array<std::string, 4> ReportHeaderLines(const CT7KEventList& l) {
  return {
      StrFormat("Список событий прибора %s (с/н %d), считанный %02d/%02d/%04d %02d:%02d:%02d",
                PanelTypeName(l.m_nPanelType).c_str(), l.m_nSerNum, l.m_nReadDay, l.m_nReadMonth,
                l.m_nReadYear, l.m_nReadHour, l.m_nReadMin, l.m_nReadSec),
      StrFormat("Прибор версии %d.%d выпущен %02d/%02d/%04d", l.m_nVerMajor, l.m_nVerMinor, l.m_nRelDay,
                l.m_nRelMonth, l.m_nRelYear),
      "Системная конфигурация " + l.ConfigNameText(),
      std::string(75, '='),
  };
}

void AppendEventLine(std::string& out, const CT7KEvent& ev, const std::vector<std::string>& texts) {
  ev.AppendTimeText(out);
  out += ' ';
  ev.AppendText(out, texts);
}

void ForEachReportLine(const CT7KEventList& list, const EventPredicate& admit,
                       const std::function<void(std::string_view)>& sink, GapMarks gaps) {
  for (const std::string& line : ReportHeaderLines(list)) sink(line);
  std::string line;
  auto mark = gaps.begin();
  bool shown = false, gapSince = false;  // a mark passed since the last exported event
  for (std::size_t i = 0; i < list.GetCount(); ++i) {
    for (; mark != gaps.end() && *mark <= i; ++mark) gapSince = true;
    const CT7KEvent& ev = list[i];
    if (admit && !admit(ev)) continue;
    if (gapSince && shown) sink(kGapMarkLine);
    shown = true;
    gapSince = false;
    line.clear();
    AppendEventLine(line, ev, list.m_texts);
    sink(line);
  }
}

void WriteReport(std::FILE* out, const std::string& path, const CT7KEventList& list,
                 const EventPredicate& admit, GapMarks gaps) {
  std::string buffer;
  buffer.reserve(kFlushAt + 1024);
  ForEachReportLine(
      list, admit,
      [&](std::string_view line) {
        AppendUtf8AsCp1251(buffer, line);
        buffer += kLineEnd;
        if (buffer.size() >= kFlushAt) {
          WriteOut(out, path, buffer);
          buffer.clear();
        }
      },
      gaps);
  WriteOut(out, path, buffer);
}

StoreOutcome WriteReportFile(const std::string& path, const CT7KEventList& list, const EventPredicate& admit,
                             GapMarks gaps) {
  try {
    AtomicFile file(path);
    WriteReport(file.Stream(), path, list, admit, gaps);
    file.Commit();
    return {true, {}};
  } catch (const CFileException& e) {
    return {false, e.m_strOsError};
  }
}

}  // namespace logwick
