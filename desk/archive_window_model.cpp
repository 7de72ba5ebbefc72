#include "desk/archive_window_model.h"

#include <algorithm>
#include <cctype>

#include "events/strformat.h"
#include "lists/panel_types.h"
#include "lists/row_search.h"

#include "sync/pg_connection.h"

namespace logwick {

namespace {

const char kNoFolder[] = "Не известна папка для архива: задайте переменную LOGWICK_ARCHIVE";

std::string StampText(std::optional<std::uint32_t> stamp) {
  if (!stamp) return "-";
  CT7KEvent ev;
  ev.SetTimeStamp(*stamp);
  return ev.GetTimeText();
}

// Letter case aside, ё as е, as the find bar compares; a text with a
// character no folding knows compares as typed.
std::string Folded(const std::string& text) {
  std::string folded;
  return FoldForSearch(text, folded) ? folded : text;
}


// The order of two panels by a column's value (not its text).
bool Before(const PanelSummary& a, const PanelSummary& b, int column) {
  using C = ArchiveWindowModel::Column;
  switch (static_cast<C>(column)) {
    case C::kColType:
      return a.panel.type < b.panel.type;
    case C::kColSerial:
      return a.panel.serial < b.panel.serial;
    case C::kColConfig:
      return Folded(a.configName) < Folded(b.configName);
    case C::kColEvents:
      return a.events < b.events;
    case C::kColReadouts:
      return a.readouts < b.readouts;
    case C::kColFirstEvent:
      return a.firstEvent < b.firstEvent;  // none first
    case C::kColLastEvent:
      return a.lastEvent < b.lastEvent;
    case C::kColLastRead:
      return a.lastRead < b.lastRead;  // year first, then month ... second
    case C::kColGapMarks:
    case C::kColumnCount:
      break;
  }
  return a.gapMarks < b.gapMarks;
}

}  // namespace

const std::array<const char*, ArchiveWindowModel::kColumnCount> ArchiveWindowModel::kHeaders = {
    "Прибор", "С/н", "Конфигурация", "Событий", "Чтений", "Первое событие", "Последнее событие",
    "Последнее чтение", "Пропусков",
};

ArchiveWindowModel::ArchiveWindowModel(IDeskFace& face, IProfile& profile, std::string archivePath,
                                       SyncWorker::Job syncJob)
    : m_face(face), m_profile(profile), m_path(std::move(archivePath)), m_syncJob(std::move(syncJob)) {
  if (!m_syncJob) m_syncJob = SyncWithServer;
  m_state.pathLine = "Архив: " + (m_path.empty() ? std::string("не задан") : m_path);
}

ArchiveWindowModel::~ArchiveWindowModel() = default;

void ArchiveWindowModel::Changed() {
  if (m_changed) m_changed();
}

void ArchiveWindowModel::ShowStatus(std::string text) {
  m_state.statusLine = std::move(text);
  Changed();
}

std::string ArchiveWindowModel::Cell(std::size_t row, int column) const {
  const PanelSummary& p = Row(row);
  switch (static_cast<Column>(column)) {
    case kColType:
      return PanelTypeName(p.panel.type);
    case kColSerial:
      return std::to_string(p.panel.serial);
    case kColConfig:
      return p.configName;
    case kColEvents:
      return std::to_string(p.events);
    case kColReadouts:
      return std::to_string(p.readouts);
    case kColFirstEvent:
      return StampText(p.firstEvent);
    case kColLastEvent:
      return StampText(p.lastEvent);
    case kColLastRead:
      return ReadTimeText(p.lastRead);
    case kColGapMarks:
    case kColumnCount:
      break;
  }
  return std::to_string(p.gapMarks);
}

bool ArchiveWindowModel::RightAligned(int column) {
  return column == kColSerial || column == kColEvents || column == kColReadouts || column == kColGapMarks;
}

void ArchiveWindowModel::Reorder() {
  ++m_state.rowsGeneration;
  m_shown.clear();
  for (std::size_t i = 0; i < m_panels.size(); ++i) {
    const PanelSummary& p = m_panels[i];
    if (m_narrow.empty() ||
        (std::to_string(p.panel.serial) + '\n' + Folded(p.configName)).find(m_narrow) != std::string::npos)
      m_shown.push_back(i);
  }
  std::stable_sort(m_shown.begin(), m_shown.end(), [this](std::size_t a, std::size_t b) {
    return m_ascending ? Before(m_panels[a], m_panels[b], m_sortColumn)
                       : Before(m_panels[b], m_panels[a], m_sortColumn);
  });
  // The selection stays on its panel while the panel is shown; else the
  // first row is selected.
  if (!m_selected || !SelectPanel(*m_selected)) Select(m_shown.empty() ? std::nullopt : std::optional(0));
}

void ArchiveWindowModel::Narrow(const std::string& text) {
  m_narrow = Folded(text);
  Reorder();
  Changed();
}

void ArchiveWindowModel::SortBy(int column, bool ascending) {
  if (column < 0 || column >= kColumnCount) return;
  m_sortColumn = column;
  m_ascending = ascending;
  Reorder();
  Changed();
}

std::optional<std::size_t> ArchiveWindowModel::Selected() const {
  if (!m_selected) return std::nullopt;
  for (std::size_t row = 0; row < m_shown.size(); ++row)
    if (Row(row).panel == *m_selected) return row;
  return std::nullopt;
}

void ArchiveWindowModel::Select(std::optional<std::size_t> row) {
  m_selected.reset();
  if (row && *row < m_shown.size()) m_selected = Row(*row).panel;
}

bool ArchiveWindowModel::SelectPanel(const PanelKey& panel) {
  for (std::size_t row = 0; row < m_shown.size(); ++row)
    if (Row(row).panel == panel) {
      m_selected = panel;
      return true;
    }
  return false;
}

void ArchiveWindowModel::Refresh() {
  m_panels.clear();
  m_shown.clear();
  ++m_state.rowsGeneration;
  if (m_path.empty()) return ShowStatus(kNoFolder);
  try {
    m_panels = HistoryArchive::Open(m_path, false)->Panels();
  } catch (const ArchiveError& e) {
    if (e.GetKind() == ArchiveError::Kind::Missing)
      return ShowStatus("Архив ещё не создан: он появится с первым сохранённым чтением");
    ShowStatus(e.what());
    m_face.ShowMessage({e.what(), MsgCaption::Error, MsgIcon::Exclamation, MsgOwner::Archive});
    return;
  }
  Reorder();
  if (!Syncing()) m_state.statusLine = StrFormat("Приборов в архиве: %zu", m_panels.size());
  Changed();
}

bool ArchiveWindowModel::OnOpen() {
  const std::optional<std::size_t> row = Selected();
  if (!row || Syncing()) return false;
  std::string failure;
  try {
    m_history = HistoryArchive::Open(m_path, false)->History(Row(*row).panel);
    if (!m_history) failure = "Прибора больше нет в архиве: " + m_path;
  } catch (const ArchiveError& e) {
    failure = e.what();
  }
  if (failure.empty()) return true;
  m_face.ShowMessage({failure, MsgCaption::Error, MsgIcon::Exclamation, MsgOwner::Archive});
  Refresh();
  return false;
}

bool ArchiveWindowModel::ArchivesEveryReading() const { return logwick::ArchivesEveryReading(m_profile); }

void ArchiveWindowModel::SetArchivesEveryReading(bool on) { logwick::SetArchivesEveryReading(m_profile, on); }

std::string ArchiveWindowModel::ServerUrl() const {
  return m_profile.ReadString(kSettingServerUrl).value_or("");
}

void ArchiveWindowModel::OnSync(const std::string& typed) {
  if (!m_syncJob || Syncing()) return;
  const auto first = typed.find_first_not_of(" \t");
  const std::string url =
      first == std::string::npos ? std::string() : typed.substr(first, typed.find_last_not_of(" \t") - first + 1);
  auto refuse = [this](const char* text) {
    m_face.ShowMessage({text, MsgCaption::Title, MsgIcon::Exclamation, MsgOwner::Archive});
  };
  if (url.empty())
    return refuse("Укажите адрес сервера общего архива, например postgresql://инженер@сервер/logwick");
  if (AddressHoldsPassword(url))
    return refuse(
        "Адрес сервера содержит пароль, а Logwick паролей не хранит. Уберите пароль из адреса: "
        "PostgreSQL возьмёт его из файла ~/.pgpass или из переменной PGPASSWORD.");
  if (m_path.empty()) return ShowStatus(kNoFolder);
  m_profile.WriteString(kSettingServerUrl, url);
  m_sync = std::make_unique<SyncWorker>(
      m_face, m_syncJob, [this](const SyncProgress& p) { OnSyncProgress(p); },
      [this](SyncOutcome r) { OnSyncFinished(std::move(r)); });
  m_state.syncing = true;
  m_state.stopping = false;
  m_state.details.clear();
  m_state.progressUpper = 0;  // busy until a step counts read-outs
  m_state.progress = 0;
  ShowStatus(SyncStepText(SyncStep::Connecting));
  m_sync->Start(m_path, url);
}

void ArchiveWindowModel::OnStop() {
  if (!Syncing()) return;
  m_sync->Cancel();
  m_state.stopping = true;
  ShowStatus("Синхронизация останавливается ...");
}

void ArchiveWindowModel::OnSyncProgress(const SyncProgress& p) {
  if (m_state.stopping) return;  // keep saying so
  std::string text = SyncStepText(p.step);
  m_state.progressUpper = static_cast<int>(p.total);
  m_state.progress = static_cast<int>(p.done);
  if (p.total > 0) text += StrFormat(": %zu из %zu", p.done, p.total);
  ShowStatus(std::move(text));
}

void ArchiveWindowModel::OnSyncFinished(SyncOutcome r) {
  m_state.syncing = false;
  m_state.stopping = false;
  m_state.progressUpper = 1;
  m_state.progress = 0;
  Refresh();
  const std::string summary = SyncSummary(r);
  switch (r.status) {
    case SyncStatus::Done:
      m_state.details.clear();
      ShowStatus("Синхронизация с сервером " + r.server + " завершена: " + summary);
      break;
    case SyncStatus::Cancelled:
      m_state.details.clear();
      ShowStatus("Синхронизация остановлена (" + summary + "): следующая завершит её");
      break;
    default: {
      // The status line stays one line; the library's or the server's own
      // words are only behind the message box's "Подробности".
      const std::string why = r.message.empty() ? std::string("Синхронизация не удалась") : r.message;
      m_state.details = r.detail;
      ShowStatus(why + " Синхронизация не завершена (" + summary + "): следующая завершит её");
      if (!m_closeWhenSynced)
        m_face.ShowMessage({why + "\nСинхронизация не завершена (" + summary + "): следующая завершит её",
                            MsgCaption::Title, MsgIcon::Warning, MsgOwner::Archive, r.detail});
      break;
    }
  }
  if (m_closeWhenSynced && m_close) m_close();
}

bool ArchiveWindowModel::OnClose() {
  if (!Syncing()) return true;
  m_closeWhenSynced = true;
  OnStop();
  return false;
}

}  // namespace logwick
