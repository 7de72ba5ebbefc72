#include "desk/main_window_model.h"

#include <algorithm>
#include <cassert>
#include <cctype>

#include "desk/filter_dialog.h"
#include "desk/settings_dialog.h"
#include "events/strformat.h"
#include "link/port_list.h"
#include "link/system_view.h"
#include "lists/event_file.h"
#include "lists/panel_types.h"
#include "lists/report.h"
#include "lists/report_formats.h"

#ifdef LOGWICK_WITH_ARCHIVE
#include "desk/archive_window_model.h"
#include "history/archive_location.h"
#include "history/history_archive.h"
#endif

namespace logwick {

namespace {

const std::vector<FileType> kEventFileTypes = {{"Списки событий (*.t7kev)", "*.t7kev"},
                                               {"Все файлы (*.*)", "*.*"}};
// The report's own type first; the data and printable forms are chosen by
// their file type.
const std::vector<FileType> kReportFileTypes = {{"Текстовые файлы (*.txt)", "*.txt"},
                                                {"CSV (*.csv)", "*.csv"},
                                                {"JSON Lines (*.jsonl)", "*.jsonl"},
                                                {"HTML (*.html *.htm)", "*.html;*.htm"},
                                                {"Все файлы (*.*)", "*.*"}};

const char kNotFiled[] = "Чтение не сохранено в архиве:\n";
const char kExitQuestion[] = "Считанные события не сохранены. Выйти из программы?";

// The report form a file name asks for by its extension; the text report for
// any other.
ReportFormat ReportFormatOf(const std::string& path) {
  const auto dot = path.find_last_of("./\\");
  if (dot == std::string::npos || path[dot] != '.') return ReportFormat::Text;
  std::string suffix = path.substr(dot);
  for (char& c : suffix) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (suffix == ".htm") return ReportFormat::Html;
  for (const ReportFormatName& f : kReportFormats)
    if (suffix == f.extension) return f.format;
  return ReportFormat::Text;
}

}  // namespace

MainWindowModel::MainWindowModel(IDeskFace& face, IProfile& profile, DeskServices services)
    : m_face(face),
      m_profile(profile),
      m_services(std::move(services)),
      m_find([this](RowSearch& index) { RebuildFindIndex(index); }) {}

MainWindowModel::~MainWindowModel() = default;

void MainWindowModel::Message(const std::string& text, MsgCaption caption, MsgIcon icon) {
  m_face.ShowMessage({text, caption, icon, MsgOwner::Main});
}

void MainWindowModel::OnInitDialog(const std::string& fileToOpen) {
  m_lines = {};
  m_lines[static_cast<std::size_t>(InfoLine::Count)] = "База сообщений пуста";
  m_face.Changed(kChangedLines);
  m_nPortNumber = LoadReadoutSettings(m_profile);
  if (!fileToOpen.empty() && ReadEventFile(fileToOpen) == 1) FillList();
}

std::string MainWindowModel::RowText(std::size_t row) const {
  const GapRows::Row r = m_viewRows.At(row);
  if (r.gapMark) return kGapMarkLine;
  std::string text;
  AppendEventLine(text, m_events[m_rows.EventAt(r.shown)], m_events.m_texts);
  return text;
}

std::optional<std::size_t> MainWindowModel::EventOfRow(std::size_t row) const {
  const GapRows::Row r = m_viewRows.At(row);
  if (r.gapMark) return std::nullopt;
  return m_rows.EventAt(r.shown);
}

void MainWindowModel::RebuildFindIndex(RowSearch& index) const {
  // One index row per view row: the marks between events too.
  index.Reserve(RowCount());
  for (std::size_t shown = 0; shown < m_rows.Count(); ++shown) {
    if (m_viewRows.MarkBefore(shown)) index.AddRow(kGapMarkLine);
    index.AddEvent(m_events[m_rows.EventAt(shown)], m_events.m_texts);
  }
}

void MainWindowModel::FillList() {
  m_rows = ShownRows(m_events, [this](const CT7KEvent& ev) { return m_filter.Accept(ev); });
  m_viewRows = GapRows(m_rows, m_gapMarks);
  assert(RowCount() >= m_rows.Count());
  m_selection.Reset(RowCount());
  m_statistics.reset();
  m_findings.reset();
  m_find.RowsChanged();

  const CT7KEventList& l = m_events;
  auto line = [this](InfoLine at) -> std::string& { return m_lines[static_cast<std::size_t>(at)]; };
  line(InfoLine::Count) = StrFormat("В базе %d событий", static_cast<int>(l.GetCount()));
  line(InfoLine::Filter) = m_rows.ShowsAll(l.GetCount())
                               ? std::string("Показываются все события")
                               : StrFormat("Показывается %d событий", static_cast<int>(m_rows.Count()));
  line(InfoLine::Read) = StrFormat("Считано %02d/%02d/%04d %02d:%02d:%02d", l.m_nReadDay, l.m_nReadMonth,
                                   l.m_nReadYear, l.m_nReadHour, l.m_nReadMin, l.m_nReadSec);
  line(InfoLine::Panel) = StrFormat("Прибор %s (с/н %d)", PanelTypeName(l.m_nPanelType).c_str(), l.m_nSerNum);
  line(InfoLine::Version) = StrFormat("Версия v%d.%d выпущен %02d/%02d/%04d", l.m_nVerMajor, l.m_nVerMinor,
                                      l.m_nRelDay, l.m_nRelMonth, l.m_nRelYear);
  line(InfoLine::Config) = StrFormat("Конфигурация %s", l.ConfigNameText().c_str());
  unsigned changed = kChangedRows | kChangedLines | kChangedSelection | kChangedWindows;
  if (m_find.IsOpen()) {
    m_find.Search(m_find.Needle(), 0);
    changed |= kChangedFound;
  }
  m_face.Changed(changed);
}

int MainWindowModel::ReadEventFile(const std::string& path) {
  const LoadOutcome outcome = LoadEventFile(path, m_events);
  switch (outcome.status) {
    case LoadStatus::Loaded:
      m_gapMarks.clear();
      m_readingUnsaved = false;
      break;
    case LoadStatus::FormatRefused:
      // The list's own refusal: reported, but the load has ended normally.
      m_face.ShowMessage(
          {LoadMessage(outcome.status, path), MsgCaption::Error, MsgIcon::Exclamation, MsgOwner::None});
      break;
    case LoadStatus::EndOfFile:
    case LoadStatus::ReadError:
    case LoadStatus::WriteError:  // not a load's
      Message(LoadMessage(outcome.status, path), MsgCaption::Error);
      return 2;
  }
  SaveEventsFilesDir(m_profile, path);
  return 1;
}

void MainWindowModel::OnReadFromFile() {
  const std::optional<std::string> path =
      m_face.ChooseFile({false, "dat", kEventFileTypes, GetEventsFilesDir(m_profile)});
  if (path && ReadEventFile(*path) == 1) FillList();
}

void MainWindowModel::OnWriteToFile() {
  const std::optional<std::string> path =
      m_face.ChooseFile({true, "t7kev", kEventFileTypes, GetEventsFilesDir(m_profile)});
  if (!path) return;
  SaveEventsFilesDir(m_profile, *path);
  // A panel's history may hold more than a file can: the file takes the newest.
  const bool whole = m_events.GetCount() <= CT7KEventList::kMaxEvents;
  if (!StoreEventFile(*path, whole ? m_events : FileableHead(m_events)).ok) {
    Message(kMsgCannotCreate, MsgCaption::Title);
    return;
  }
  m_readingUnsaved = false;
  if (!whole)
    Message(StrFormat("Файл событий вмещает не более %u событий: записаны последние %u "
                      "из %zu событий истории прибора",
                      CT7KEventList::kMaxEvents, CT7KEventList::kMaxEvents, m_events.GetCount()),
            MsgCaption::Title, MsgIcon::Information);
}

void MainWindowModel::OnWriteText() {
  ReportScope params{1};
  if (!m_face.RunReportOptions(params)) return;
  const std::optional<std::string> path =
      m_face.ChooseFile({true, "txt", kReportFileTypes, GetEventsFilesDir(m_profile)});
  if (!path) return;
  // The filtered report holds the events the list shows.
  ReportOptions options;
  options.format = ReportFormatOf(*path);
  options.gaps = m_gapMarks;
  const bool all = params.m_nScope == 1;
  if (!WriteReportFile(*path, m_events, all ? ShownRows(m_events, {}) : m_rows, options).ok)
    Message(kMsgReportWriteError, MsgCaption::Title);
}

void MainWindowModel::OnReadFromPanel() {
  if (static_cast<unsigned>(m_nPortNumber) > 255) {
    Message("Не указан номер порта для связи", MsgCaption::Title);
    return;
  }
  ReadoutResult result;
  {
    // The reading dialog returns what it read; only now, with its worker
    // gone, does the list change.
    ReadingSession reading(m_face, ReadoutSettingsNow(m_nPortNumber), m_services.readout);
    m_face.RunReadingDialog(reading);
    result = reading.TakeResult();
  }
  const std::string notFiled = FileReading(result);
  if (PutReadListInPlace(std::move(result), m_events)) {
    m_gapMarks.clear();
    m_readingUnsaved = !notFiled.empty() || !FilesEveryReading();
  }
  FillList();
  if (!notFiled.empty()) Message(notFiled, MsgCaption::Title);
}

bool MainWindowModel::FilesEveryReading() {
#ifdef LOGWICK_WITH_ARCHIVE
  return ArchivesEveryReading(m_profile);
#else
  return false;  // a program without an archive files nothing, whatever the setting says
#endif
}

std::string MainWindowModel::ArchivePath() const {
#ifdef LOGWICK_WITH_ARCHIVE
  return m_services.archivePath ? m_services.archivePath() : ResolveArchivePath({});
#else
  return {};
#endif
}

std::string MainWindowModel::FileReading(const ReadoutResult& result) {
#ifdef LOGWICK_WITH_ARCHIVE
  if (!result.list || !ArchivesEveryReading(m_profile)) return {};
  const std::string path = ArchivePath();
  if (path.empty())
    return kNotFiled + std::string("не известна папка для архива (задайте переменную LOGWICK_ARCHIVE)");
  const ReadoutOrigin origin{StrFormat("COM%u", static_cast<unsigned>(m_nPortNumber)),
                             result.status != ReadoutStatus::Ok};
  try {
    HistoryArchive::Open(path, true)->File(*result.list, origin);
    return {};
  } catch (const std::exception& e) {  // ArchiveError names the file
    return kNotFiled + std::string(e.what());
  }
#else
  (void)result;
  return {};
#endif
}

void MainWindowModel::PutHistoryInPlace(PanelHistory&& history) {
#ifdef LOGWICK_WITH_ARCHIVE
  m_events = std::move(history.list);
  m_gapMarks = std::move(history.gapMarks);
  m_readingUnsaved = false;
#else
  (void)history;
#endif
}

void MainWindowModel::OnArchive() {
#ifdef LOGWICK_WITH_ARCHIVE
  std::unique_ptr<ArchiveWindowModel> archive =
      m_services.archiveWindow ? m_services.archiveWindow(m_face, m_profile)
                               : std::make_unique<ArchiveWindowModel>(m_face, m_profile, ArchivePath());
  if (!m_face.RunArchiveWindow(*archive)) return;
  if (std::optional<PanelHistory> history = archive->TakeHistory()) {
    PutHistoryInPlace(std::move(*history));
    FillList();
  }
#endif
}

void MainWindowModel::OnFilter() {
  FilterDialog dlg(m_face, m_filter);
  if (m_face.RunFilterDialog(dlg)) {
    m_filter = dlg.Filter();
    // Beam numbers are bytes; the device range is taken as entered.
    m_filter.m_nFirstBeam = std::min<std::uint32_t>(m_filter.m_nFirstBeam, 255);
    m_filter.m_nLastBeam = std::min<std::uint32_t>(m_filter.m_nLastBeam, 255);
  }
  FillList();
}

void MainWindowModel::OnSettings() {
  const std::vector<PortListing> ports = m_services.ports ? m_services.ports() : ListPorts(HostSystemView());
  SettingsDialog dlg(m_face, ReadoutSettingsNow(m_nPortNumber), ports);
  if (!m_face.RunSettingsDialog(dlg)) return;
  TakeReadoutSettings(dlg.Settings(), m_nPortNumber);
  StoreReadoutSettings(m_profile, m_nPortNumber);
}

void MainWindowModel::PrintThrough(const std::string& path,
                                   const std::function<bool(const std::string&)>& open) {
  ReportOptions options;
  options.format = ReportFormat::Html;
  options.gaps = m_gapMarks;
  if (!WriteReportFile(path, m_events, m_rows, options).ok)
    Message(kMsgReportWriteError, MsgCaption::Title);
  else if (!open(path))
    Message("Не удалось открыть отчёт для печати:\n" + path, MsgCaption::Title);
}

void MainWindowModel::OnAbout() { m_face.OpenWindow(DeskWindow::About); }
void MainWindowModel::OnHelp() { m_face.OpenWindow(DeskWindow::Help); }
void MainWindowModel::OnPrint() { m_face.OpenWindow(DeskWindow::PrintPreview); }

bool MainWindowModel::OnExit() {
  // A reading only the window holds would be gone with it.
  if (m_readingUnsaved &&
      !m_face.AskYesNo({kExitQuestion, MsgCaption::Title, MsgIcon::Question, MsgOwner::Main}))
    return false;
  m_face.CloseMainWindow();
  return true;
}

void MainWindowModel::Select(std::size_t row, SelectAct act) {
  if (row >= RowCount()) return;
  switch (act) {
    case SelectAct::Only:
      m_selection.Select(row);
      break;
    case SelectAct::Extend:
      m_selection.ExtendTo(row);
      break;
    case SelectAct::Toggle:
      m_selection.Toggle(row);
      break;
  }
  m_face.Changed(kChangedSelection);
  m_face.ShowRow(row, ScrollTo::Least);
}

std::size_t MainWindowModel::FoundRow() const {
  return m_find.Found().Current() ? m_find.Found().CurrentRow() : kNoRow;
}

void MainWindowModel::SelectAll() {
  m_selection.SelectAll();
  m_face.Changed(kChangedSelection);
}

std::string MainWindowModel::SelectedText() const {
  std::string text;
  for (std::size_t row : m_selection.SelectedRows()) text += RowText(row) + '\n';
  return text;
}

void MainWindowModel::CopySelection() {
  if (m_selection.SelectedCount() > 0) m_face.CopyText(SelectedText());
}

void MainWindowModel::OnFind() {
  const bool wasOpen = m_find.IsOpen();
  m_find.Open();
  m_face.OpenWindow(DeskWindow::FindBar);
  if (!wasOpen) FindText(m_find.Needle());
}

void MainWindowModel::FindText(const std::string& needle) {
  if (!m_find.IsOpen()) return;
  m_find.Search(needle, m_face.TopRow());
  if (m_find.Found().Current()) {
    m_selection.Select(m_find.Found().CurrentRow());
    m_face.ShowRow(m_find.Found().CurrentRow(), ScrollTo::TopIfHidden);
  }
  m_face.Changed(kChangedFound | kChangedSelection);
}

void MainWindowModel::FindNext() {
  if (!m_find.IsOpen()) return OnFind();
  if (!m_find.Found().Current()) return;
  const std::size_t at = m_selection.Current();
  if (at != RowSelection::kNone) m_find.Next(at);
  m_selection.Select(m_find.Found().CurrentRow());
  m_face.Changed(kChangedFound | kChangedSelection);
  m_face.ShowRow(m_find.Found().CurrentRow(), ScrollTo::TopIfHidden);
}

void MainWindowModel::FindPrevious() {
  if (!m_find.IsOpen()) return OnFind();
  if (!m_find.Found().Current()) return;
  const std::size_t at = m_selection.Current();
  if (at != RowSelection::kNone) m_find.Previous(at);
  m_selection.Select(m_find.Found().CurrentRow());
  m_face.Changed(kChangedFound | kChangedSelection);
  m_face.ShowRow(m_find.Found().CurrentRow(), ScrollTo::TopIfHidden);
}

void MainWindowModel::CloseFind() {
  if (!m_find.IsOpen()) return;
  m_find.Close();
  m_face.Changed(kChangedFound);
}

void MainWindowModel::OnStatistics() { m_face.OpenWindow(DeskWindow::Statistics); }
void MainWindowModel::OnIntegrity() { m_face.OpenWindow(DeskWindow::Integrity); }

const EventStatistics& MainWindowModel::Statistics() {
  if (!m_statistics) {
    StatisticsBuilder stats;
    for (ShownRows::EventIndex i : m_rows) stats.Add(m_events[i]);
    m_statistics = stats.Result();
  }
  return *m_statistics;
}

const std::vector<Finding>& MainWindowModel::Findings() {
  if (!m_findings) m_findings = CheckIntegrity(m_events);
  return *m_findings;
}

void MainWindowModel::GoToShown(std::size_t shown, ScrollTo how) {
  if (m_rows.Count() == 0) return;
  const std::size_t row = m_viewRows.RowOfShown(std::min(shown, m_rows.Count() - 1));
  m_selection.Select(row);
  m_face.Changed(kChangedSelection);
  m_face.ShowRow(row, how);
}

void MainWindowModel::GoToDay(std::size_t day) {
  // The list runs newest first: the day's newest event at the top, the rest
  // of the day below it.
  const EventStatistics& stats = Statistics();
  if (day < stats.days.size()) GoToShown(stats.days[day].newestRow, ScrollTo::Top);
}

void MainWindowModel::GoToFinding(std::size_t finding) {
  const std::vector<Finding>& findings = Findings();
  if (finding >= findings.size()) return;
  // A finding whose event the filter hides goes to the next shown row.
  const auto at = std::lower_bound(m_rows.begin(), m_rows.end(), findings[finding].row) - m_rows.begin();
  GoToShown(static_cast<std::size_t>(at), ScrollTo::TopIfHidden);
}

}  // namespace logwick
