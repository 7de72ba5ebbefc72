// The archive window's model ("Операции" → "Архив ..."): the panels of the
// panel history archive as table rows with the columns of `archive list`,
// narrowed by a text (serial number or configuration name) and sorted by a
// column; "Открыть" loads the chosen panel's history for the main window;
// whether every reading is filed; and "Синхронизировать" with the shared server on a worker thread, with its
// progress, status line and a stop.
//
// The window never creates the archive: a missing one shows an empty table
// and says where it will be, a damaged one is named in a message and left as
// it is. Closing the window while a synchronisation runs stops it and closes
// once it has ended.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "desk/face.h"
#include "desk/profile.h"
#include "desk/sync_worker.h"
#include "history/history_archive.h"

namespace logwick {

class ArchiveWindowModel {
 public:
  enum Column : int {
    kColType,
    kColSerial,
    kColConfig,
    kColEvents,
    kColReadouts,
    kColFirstEvent,
    kColLastEvent,
    kColLastRead,
    kColGapMarks,
    kColumnCount
  };
  static const std::array<const char*, kColumnCount> kHeaders;

  // What the window draws beyond its table; the face redraws it on each
  // call of `changed` (SetChanged).
  struct State {
    std::string pathLine;    // "Архив: ..."
    std::string statusLine;  // one line, never a library's own words
    std::string details;     // a failure's library or server words, for "Подробности"
    bool syncing = false;    // "Синхронизировать", the address and "Открыть" off, "Остановить" on
    bool stopping = false;   // "Остановить" off too
    int progressUpper = 1;   // 0: busy
    int progress = 0;
    unsigned rowsGeneration = 0;  // grows whenever the rows or their order change
  };

  // syncJob empty: SyncWithServer.
  ArchiveWindowModel(IDeskFace& face, IProfile& profile, std::string archivePath, SyncWorker::Job syncJob = {});
  ~ArchiveWindowModel();

  // Called after every change of the rows or the state.
  void SetChanged(std::function<void()> changed) { m_changed = std::move(changed); }
  // Called when the window is to end (a stop asked for by closing has ended).
  void SetClose(std::function<void()> close) { m_close = std::move(close); }

  // Rereads the table from the archive (the window does so when it opens and
  // after each synchronisation); a failure is shown and empties the table.
  void Refresh();

  // The rows shown, narrowed and sorted.
  std::size_t RowCount() const { return m_shown.size(); }
  const PanelSummary& Row(std::size_t row) const { return m_panels[m_shown[row]]; }
  std::string Cell(std::size_t row, int column) const;
  static bool RightAligned(int column);
  void Narrow(const std::string& text);
  void SortBy(int column, bool ascending);
  int SortColumn() const { return m_sortColumn; }
  bool SortAscending() const { return m_ascending; }
  // The selected row (kept on its panel through narrowing and sorting).
  std::optional<std::size_t> Selected() const;
  void Select(std::optional<std::size_t> row);
  bool SelectPanel(const PanelKey& panel);

  // "Открыть": loads the selected panel's history; true when the window is
  // to end with it. A failure is shown and the window stays.
  bool OnOpen();
  std::optional<PanelHistory> TakeHistory() { return std::move(m_history); }

  bool ArchivesEveryReading() const;
  void SetArchivesEveryReading(bool on);

  std::string ServerUrl() const;
  // "Синхронизировать" with the address of the field.
  void OnSync(const std::string& url);
  void OnStop();
  bool Syncing() const { return m_sync && m_sync->Running(); }
  // Esc, the close box and "Закрыть": true when the window may end now;
  // while a synchronisation runs it is stopped and the window closes once it
  // has ended.
  bool OnClose();

  const State& GetState() const { return m_state; }
  const std::string& ArchivePath() const { return m_path; }

 private:
  void Changed();
  void ShowStatus(std::string text);
  void Reorder();
  void OnSyncProgress(const SyncProgress& p);
  void OnSyncFinished(SyncOutcome outcome);

  IDeskFace& m_face;
  IProfile& m_profile;
  std::string m_path;
  SyncWorker::Job m_syncJob;
  std::unique_ptr<SyncWorker> m_sync;
  bool m_closeWhenSynced = false;
  std::optional<PanelHistory> m_history;
  std::function<void()> m_changed, m_close;

  std::vector<PanelSummary> m_panels;
  std::vector<std::size_t> m_shown;  // indices into m_panels
  std::string m_narrow;              // folded
  int m_sortColumn = kColSerial;
  bool m_ascending = true;
  std::optional<PanelKey> m_selected;
  State m_state;
};

}  // namespace logwick
