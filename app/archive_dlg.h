// The archive window ("Операции" → "Архив ..."): draws the archive window's
// model — the panels table (a click on a heading sorts it), the narrowing
// field, "Открыть", whether every reading is filed, the server's address,
// "Синхронизировать" with its progress bar and "Остановить", the status line
// — and forwards the user's acts to it.
#pragma once

#include <QDialog>

#include "desk/archive_window_model.h"
#include "desk/control_ids.h"

class CElidedLine;
class QCheckBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;

class CArchiveDlg : public QDialog {
 public:
  // The window's and its controls' ids (their objectNames).
  enum Id : int {
    kIdDialog = IDD_ARCHIVE,
    kIdPath = IDC_ARCHIVE_PATH,
    kIdNarrow = IDC_ARCHIVE_NARROW,
    kIdTable = IDC_ARCHIVE_TABLE,
    kIdOpen = IDC_ARCHIVE_OPEN,
    kIdArchiveReadings = IDC_ARCHIVE_READINGS,
    kIdServer = IDC_ARCHIVE_SERVER,
    kIdSync = IDC_ARCHIVE_SYNC,
    kIdStop = IDC_ARCHIVE_STOP,
    kIdProgress = IDC_ARCHIVE_PROGRESS,
    kIdStatus = IDC_ARCHIVE_STATUS,
    kIdClose = IDC_ARCHIVE_CLOSE,
  };

  CArchiveDlg(logwick::ArchiveWindowModel& model, QWidget* parent = nullptr);
  ~CArchiveDlg() override;

  int exec() override;
  // Esc, the close box and "Закрыть": while a synchronisation runs, stop it
  // and close once it has ended.
  void reject() override;

  logwick::ArchiveWindowModel& Model() { return m_model; }

 private:
  void BuildControls();
  // Draws the model: the table when its rows changed, the rest always.
  void Redraw();
  void FillTable();
  void OnOpen();

  logwick::ArchiveWindowModel& m_model;
  QLabel* m_labelPath;
  QLineEdit* m_editNarrow;
  QTableWidget* m_table;
  QPushButton* m_buttonOpen;
  QCheckBox* m_checkArchive;
  QLineEdit* m_editServer;
  QPushButton* m_buttonSync;
  QPushButton* m_buttonStop;
  QProgressBar* m_progress;
  CElidedLine* m_labelStatus;
  QPushButton* m_buttonClose;
  bool m_filling = false;
  unsigned m_drawnRows = ~0u;  // the rows generation the table shows
};
