// The archive window ("Операции" → "Архив ..."): the panels of the panel
// history archive in a sortable table that a text field narrows by serial
// number or configuration name; "Открыть" loads the chosen panel's history
// for the main window; a check box says whether every reading is filed; and,
// where the program is built with it, "Синхронизировать" exchanges read-outs
// with the shared server on a worker thread, with a progress bar and a button
// that stops it.
//
// The window never creates the archive: a missing one shows an empty table
// and says where it will be, a damaged one is named in a message and left as
// it is. Closing the window while a synchronisation runs stops it and closes
// once it has ended.
#pragma once

#include <QDialog>
#include <memory>
#include <optional>

#include "app/sync_worker.h"
#include "history/history_archive.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSortFilterProxyModel;
class QStandardItemModel;
class QTableView;

class CArchiveDlg : public QDialog {
 public:
  // The window's and its controls' ids (their objectNames).
  enum Id : int {
    kIdDialog = 140,
    kIdPath = 1101,
    kIdNarrow = 1102,
    kIdTable = 1103,
    kIdOpen = 1104,
    kIdArchiveReadings = 1105,
    kIdServer = 1106,
    kIdSync = 1107,
    kIdStop = 1108,
    kIdProgress = 1109,
    kIdStatus = 1110,
    kIdClose = 1111,
  };
  // The table's columns, as `logwick-cli archive list` prints them.
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

  // syncJob empty: SyncWithServer where the program has it.
  explicit CArchiveDlg(QWidget* parent = nullptr, logwick::SyncWorker::Job syncJob = {});
  ~CArchiveDlg() override;

  int exec() override;
  // Esc, the close box and "Закрыть": while a synchronisation runs, stop it
  // and close once it has ended.
  void reject() override;

  // Rereads the table from the archive (the window does so when it opens and
  // after each synchronisation); a failure is shown and empties the table.
  void Refresh();
  // Selects the panel's row; false when the table does not show it.
  bool SelectPanel(const logwick::PanelKey& panel);
  // "Открыть": loads the selected panel's history and ends the window with
  // Accepted; a failure is shown and the window stays.
  void OnOpen();
  // "Синхронизировать" with the server address of the field.
  void OnSync();
  void OnStop();

  // The history "Открыть" loaded, once the window has ended.
  std::optional<logwick::PanelHistory> TakeHistory() { return std::move(m_history); }

  bool Syncing() const { return m_sync && m_sync->Running(); }
  const std::string& ArchivePath() const { return m_path; }
  // The rows the table shows, in its order (narrowed and sorted).
  int ShownPanelCount() const;
  logwick::PanelKey PanelAt(int shownRow) const;

 private:
  void BuildControls();
  void AddPanelRow(const logwick::PanelSummary& p);
  void ShowStatus(const QString& text);
  void SetSyncing(bool on);
  void OnSyncProgress(const logwick::SyncProgress& p);
  void OnSyncFinished(logwick::SyncOutcome outcome);
  std::optional<logwick::PanelKey> SelectedPanel() const;

  std::string m_path;
  logwick::SyncWorker::Job m_syncJob;
  std::unique_ptr<logwick::SyncWorker> m_sync;
  bool m_closeWhenSynced = false;
  std::optional<logwick::PanelHistory> m_history;

  QStandardItemModel* m_model;
  QSortFilterProxyModel* m_narrowed;
  QLabel* m_labelPath;
  QLineEdit* m_editNarrow;
  QTableView* m_table;
  QPushButton* m_buttonOpen;
  QCheckBox* m_checkArchive;
  QLineEdit* m_editServer = nullptr;
  QPushButton* m_buttonSync = nullptr;
  QPushButton* m_buttonStop = nullptr;
  QProgressBar* m_progress = nullptr;
  QLabel* m_labelStatus;
  QPushButton* m_buttonClose;
};
